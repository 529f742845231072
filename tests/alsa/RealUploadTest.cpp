// The mapping upload through JUCE's real ports to a unit in the sequencer:
// what the unit hears must be the expected upload, message for message.
#include "RealMidiRig.h"
#include "app/DeviceSelectComponent.h"
#include "model/ControllerMap.h"
#include "model/Dolmaris.h"
#include "model/Product.h"
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

using namespace realmidi;

namespace
{
// The messages of an expected upload file, without its pauses: a sequencer
// carries messages, and the pauses are the virtual-port tests' business.
std::vector<std::string> expectedMessages (const juce::String& modeSlug)
{
    std::vector<std::string> messages;
    for (const auto& line : juce::StringArray::fromLines (testsupport::dataFile ("upload/" + modeSlug + ".txt").loadFileAsString()))
        if (line.isNotEmpty() && ! line.startsWith ("pause"))
            messages.push_back (line.toStdString());
    return messages;
}

class RealUpload : public ::testing::Test
{
protected:
    // The row tables are process-wide: leave them as a fresh model has them.
    void TearDown() override { CtMap reload { CtMode (CtMode::userDefined) }; }

    // The product as the editor finds it: from the name JUCE lists.
    void useUnit (const juce::String& name)
    {
        ASSERT_TRUE (waitUntil ([&] { return supportedOutputNames().contains (name); })) << name;
        model.outputDeviceName = name;
        model.productId = zevo::Product::fromDeviceName (name).pid;
    }

    juce::Result send (int mode)
    {
        model.currentMap = CtMap (CtMode (mode)).tree;
        return Dolmaris::getInstance()->sendCurrentMapping();
    }

    Dolmaris::Impl& model = testsupport::useFreshModel();
};
} // namespace

// Both units answer to the family's id, so one expected file serves both.
TEST_F (RealUpload, EveryModeReachesTheFullUnitAndTheExtenderAsExpected)
{
    for (const auto* name : { AlsaUnit::fullUnitName, AlsaUnit::extenderName })
    {
        AlsaUnit unit (name);
        useUnit (name);
        EXPECT_EQ (model.productId, juce::String (name) == AlsaUnit::extenderName ? 89 : 79) << name;
        size_t heardBefore = 0;
        for (int mode = 0; mode < 4; ++mode)
        {
            const auto expected = expectedMessages (CtMode::slugForType (mode));
            SCOPED_TRACE (juce::String (name) + ", mode " + juce::String (mode));
            ASSERT_TRUE (send (mode).wasOk());

            std::vector<std::string> heard;
            waitUntil ([&] { heard = unit.getRecord(); return heard.size() >= heardBefore + expected.size(); });
            ASSERT_EQ (heard.size(), heardBefore + expected.size());
            for (size_t i = 0; i < expected.size(); ++i)
                ASSERT_EQ (heard[heardBefore + i], expected[i]) << "message " << i;
            heardBefore = heard.size();
        }
        EXPECT_TRUE (unit.getProblems().empty());
    }
}

// JUCE's sends report nothing: a unit gone after 100 messages was reported
// as having taken the map.
TEST_F (RealUpload, AUnitUnpluggedDuringTheUploadGivesTheFailureText)
{
    auto options = AlsaUnit::named (AlsaUnit::fullUnitName);
    options.leaveAfterMessages = 100;
    AlsaUnit unit (options);
    useUnit (AlsaUnit::fullUnitName);

    EXPECT_EQ (send (CtMode::mackie).getErrorMessage(), "Dolm ar MIDI 1: device does not exist");
    EXPECT_EQ (unit.getRecord().size(), 100u);
    EXPECT_FALSE (unit.isPresent());
}
