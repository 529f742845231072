// The mapping upload, watched through virtual ports: the exact messages, their
// order, and the failures that send nothing. Where the pauses fall is in the
// expected upload files (tests/data/upload), which the Send Data test checks.
#include "model/Arrays.h"
#include "support/FreshModel.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

namespace
{
using Lines = std::vector<std::string>;

// A map as a loaded file gives it: every property is text.
juce::ValueTree makeMap (const juce::String& modeSlug, const juce::String& controls)
{
    return juce::ValueTree::fromXml ("<map mode=\"" + modeSlug + "\"><controls>" + controls + "</controls></map>");
}

class MappingUpload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model.productId = 79;
        model.outputDeviceName = "Dolm AR";
        ports->addOutput ("Dolm AR");
    }

    // The row tables are process-wide: leave them as a fresh model has them.
    void TearDown() override { CtMap reload { CtMode (CtMode::userDefined) }; }

    juce::Result send() { return Dolmaris::getInstance()->sendCurrentMapping(); }

    // The records of the controls alone: no preamble, mode message, pauses or terminator.
    Lines recordsFor (const juce::String& slug, const juce::String& controls)
    {
        ports->clearEvents();
        model.currentMap = makeMap (slug, controls);
        EXPECT_TRUE (send().wasOk());
        const auto sent = ports->describeEvents();
        Lines records;
        for (size_t i = 65; i + 1 < sent.size(); i += 2)
            records.push_back (sent[i]);
        return records;
    }

    Dolmaris::Impl& model = testsupport::useFreshModel();
    ScopedVirtualMidiPorts ports;
};
} // namespace

// Buttons first, by id whatever the tree order; unknown or missing kinds join
// them, on the button column and with the flag (08), except the unassigned
// value 126. The later groups keep their order even when their ids are low,
// controls without a row send an empty type, and only the low 8 bits travel.
// The type code depends on the row's status nibble and the group's column.
TEST_F (MappingUpload, GroupsKindsOrderAndValueRecords)
{
    const std::tuple<int, uint8_t, uint8_t> rows[] = { { 2, 0x0C, 0xC3 }, { 93, 0x0E, 0xE5 }, { 95, 0x00, 0x07 }, { 91, 0x0C, 0xC0 },
                                                       { 4, 0x0E, 0xE1 }, { 5, 0x0B, 0xB2 }, { 100, 0x0C, 0xC6 }, { 3, 0x0E, 0xE8 } };
    for (const auto& [id, nibble, status] : rows)
        std::tie (ud[id - 1][0], ud[id - 1][1]) = std::tie (nibble, status);

    EXPECT_EQ (recordsFor ("user-defined", R"(<control id="95" kind="slider" value="16"/> <control id="92" kind="KNOB" value="382"/>
        <control id="2" kind="Button" value="126"/> <control id="93" value="3"/> <control id="109" kind="knob" value="17"/>
        <control id="100" kind="fader" value="33"/> <control id="91" kind="knob" value="300"/> <control id="3" kind="master-fader" value="7"/>
        <control id="4" kind="jog-wheel" value="8"/> <control id="0" kind="button"/> <control id="5" kind="fader" value="256"/>)"),
               (Lines { "9F 00 00", "9F 03 03", "9F 00 02", "9F 05 00", "9F 07 00",  // button types 0 2 92 93 95
                        "9F 08 00", "9F 07 0E", "9F 0F 0E", "9F 08 03", "9F 09 00",  // their values
                        "9F 00 00", "9F 00 00", "9F 01 01",                          // knobs 91 109, jog 4
                        "9F 02 00", "9F 06 00", "9F 08 01",                          // faders 5 100, master 3
                        "9F 02 0C", "9F 01 01", "9F 00 08", "9F 00 00", "9F 02 01", "9F 00 07" }));
    EXPECT_EQ (recordsFor ("pro-tools", {}), Lines {}) << "a map without controls sends the frame only";
}

TEST_F (MappingUpload, FirstOfTwoOutputsWithTheSameNameIsUsedAndFailuresSendNothing)
{
    for (const auto* name : { "Other", "Twin", "Twin" })
        ports->addOutput (name);
    model.outputDeviceName = "Twin";
    ASSERT_TRUE (send().wasOk());
    for (const auto& event : ports->getEvents())
        EXPECT_TRUE (event.isPause() || event.outputIndex == 2) << event.describe();

    ports->clearEvents();
    ports->addOutput ("Broken", false);
    const std::tuple<const char*, const char*, const char*> failures[] = { // output, map mode (nullptr: no map), error
        { "", "mackie", "No device selected" },           { "dolm ar", "mackie", "dolm ar: device does not exist" },
        { "Dolm AR ", "mackie", "Dolm AR : device does not exist" }, { "Broken", "mackie", "Broken: could not open device" },
        { "Dolm AR", "cubase", "Cubase: mode cannot be sent" }, { "Dolm AR", nullptr, "No mapping to send" },
    };
    for (const auto& [outputName, mapMode, error] : failures)
    {
        model.outputDeviceName = outputName;
        model.currentMap = mapMode != nullptr ? makeMap (mapMode, "<control id=\"1\" kind=\"button\" value=\"0\"/>") : juce::ValueTree();
        EXPECT_EQ (send().getErrorMessage(), error);
    }
    EXPECT_TRUE (ports->getEvents().empty());
}

// JUCE's send calls report no errors: a unit unplugged during the upload was
// reported as having taken the map. Unplugged before the last record, it fails
// with the text of a unit that is not there; a unit listed again under the
// same name by the end (replugged) counts as there.
TEST_F (MappingUpload, UnitUnpluggedDuringTheUploadFails)
{
    model.currentMap = makeMap ("mackie", "<control id=\"1\" kind=\"button\" value=\"0\"/>");
    for (const bool replugged : { false, true })
    {
        if (ports->getOutputNames().indexOf ("Dolm AR") < 0)
            ports->addOutput ("Dolm AR");
        int heard = 0;
        ports->setSendListener ([&] (int, const juce::MidiMessage&) {
            if (++heard == 20)
            {
                ports->removeOutput (ports->getOutputNames().indexOf ("Dolm AR"));
                if (replugged)
                    ports->addOutput ("Dolm AR");
            }
        });
        EXPECT_EQ (send().getErrorMessage(), replugged ? "" : "Dolm AR: device does not exist") << replugged;
        EXPECT_GT (heard, 30) << "the upload goes on to its end";
        ports->setSendListener (nullptr);
    }
}
