// The editor's port lists on a real sequencer, where the units sit among the
// system's own ports ("Midi Through", the virtual raw MIDI ports).
#include "RealMidiRig.h"
#include "app/DeviceSelectComponent.h"
#include "model/ControllerMap.h"
#include "model/Dolmaris.h"
#include "model/Product.h"
#include "support/FreshModel.h"
#include "support/ModalAnswerer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace realmidi;

namespace
{
juce::StringArray comboItems (juce::ComboBox& box)
{
    juce::StringArray items;
    for (int i = 0; i < box.getNumItems(); ++i)
        items.add (box.getItemText (i));
    return items;
}
} // namespace

TEST (RealPorts, TheSystemsOwnPortsAreNotOfferedAndTheUnitsAreIdentified)
{
    ASSERT_EQ (&MidiPorts::get(), &MidiPorts::getJuceImplementation()) << "JUCE's own ports, none of ours";
    AlsaUnit full (AlsaUnit::fullUnitName), extender (AlsaUnit::extenderName);
    ASSERT_TRUE (waitUntil ([] { return isListed (AlsaUnit::fullUnitName) && isListed (AlsaUnit::extenderName); }));

    // The filter must have had something to refuse.
    const auto all = MidiPorts::get().getOutputNames().joinIntoString ("|");
    EXPECT_TRUE (all.contains ("Midi Through") && all.contains ("VirMIDI")) << all;

    const juce::StringArray units { AlsaUnit::fullUnitName, AlsaUnit::extenderName };
    EXPECT_EQ (supportedOutputNames(), units);
    DeviceSelectComponent dialog;
    EXPECT_EQ (comboItems (*testsupport::ModalAnswerer::find<juce::ComboBox> (dialog)), units);
    EXPECT_EQ (findSupportedOutputDevice(), AlsaUnit::fullUnitName) << "the first unit listed";

    // As JUCE lists them, by the product table the editor uses.
    const std::pair<juce::String, int> products[] = { { AlsaUnit::fullUnitName, 79 }, { AlsaUnit::extenderName, 89 },
                                                      { AlsaUnit::upgradeModeName, zevo::Product::unknown } };
    for (const auto& [name, code] : products)
        EXPECT_EQ ((int) zevo::Product::fromDeviceName (name).pid, code) << name;
}

// The process a script starts: it appears once ready, takes an upload, and
// leaves the list when stopped.
TEST (RealPorts, AUnitPluggedInLaterIsOfferedAtTheNextListing)
{
    testsupport::ScratchFolder scratch;
    const auto ready = scratch.folder.getChildFile ("ready"), record = scratch.folder.getChildFile ("record");
    ASSERT_TRUE (supportedOutputNames().isEmpty()) << supportedOutputNames().joinIntoString ("|");

    UnitProcess unit ({ "--name", AlsaUnit::extenderName, "--ready", ready.getFullPathName().toStdString(),
                        "--record", record.getFullPathName().toStdString() });
    ASSERT_TRUE (unit.started());
    ASSERT_TRUE (waitUntil ([&] { return ready.existsAsFile(); }));
    EXPECT_EQ (ready.loadFileAsString(), juce::String (AlsaUnit::extenderName) + "\n");
    EXPECT_EQ (findSupportedOutputDevice(), AlsaUnit::extenderName);

    auto& model = testsupport::useFreshModel();
    model.outputDeviceName = AlsaUnit::extenderName;
    model.productId = 89;
    model.currentMap = CtMap (CtMode (CtMode::mackie)).tree;
    EXPECT_TRUE (Dolmaris::getInstance()->sendCurrentMapping().wasOk());
    juce::StringArray lines;
    EXPECT_TRUE (waitUntil ([&] { lines = juce::StringArray::fromLines (record.loadFileAsString().trimEnd()); return lines.size() >= 250; }));
    EXPECT_EQ (lines.size(), 250);
    EXPECT_EQ (lines[lines.size() - 1], "9E 7F 7F") << "the terminator, last";

    EXPECT_EQ (unit.stop(), 0);
    EXPECT_TRUE (waitUntil ([] { return supportedOutputNames().isEmpty(); }));
}
