// The mapping upload, watched through virtual ports: the exact messages, their
// order, where the pauses fall, and the failures that send nothing.
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "support/ExpectedFile.h"
#include "support/VirtualMidiPorts.h"

#include <cstring>
#include <optional>

namespace
{
using Lines = std::vector<std::string>;

struct Control
{
    int id;
    std::optional<const char*> kind; // none: the property is missing
    std::optional<int> value;        // none: the property is missing
};

juce::ValueTree makeMap (const juce::String& modeSlug, const std::vector<Control>& controls)
{
    juce::ValueTree map ("map"), list ("controls");
    map.setProperty ("mode", modeSlug, nullptr);
    for (const auto& wanted : controls)
    {
        juce::ValueTree control ("control");
        control.setProperty ("id", wanted.id, nullptr);
        if (wanted.kind)
            control.setProperty ("kind", juce::String (*wanted.kind), nullptr);
        if (wanted.value)
            control.setProperty ("value", *wanted.value, nullptr);
        list.appendChild (control, nullptr);
    }
    map.appendChild (list, nullptr);
    return map;
}

class MappingUpload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model->impl = std::make_unique<Dolmaris::Impl>();
        model->impl->productId = 79;
        model->impl->outputDeviceName = "Dolm AR";
        ports->addOutput ("Dolm AR");
    }

    void TearDown() override
    {
        // The row tables are process-wide: leave them as a fresh model has them.
        std::memcpy (ud, cubaseButtons0ForDlm, sizeof (RowTable));
        std::memcpy (cb, cubaseButtons0ForDlm, sizeof (RowTable));
    }

    juce::Result send() { return model->sendCurrentMapping(); }

    /** The records of the controls alone: no preamble, mode message, pauses or terminator. */
    Lines recordsFor (const std::vector<Control>& controls, const juce::String& slug = "mackie")
    {
        ports->clearEvents();
        model->impl->currentMap = makeMap (slug, controls);
        EXPECT_TRUE (send().wasOk());
        const auto sent = ports->describeEvents();
        Lines records;
        for (size_t i = 65; i + 1 < sent.size(); i += 2)
            records.push_back (sent[i]);
        return records;
    }

    Dolmaris* model = Dolmaris::getInstance();
    ScopedVirtualMidiPorts ports;
};
} // namespace

//==============================================================================
// The whole stream of every working mode's default map, message by message
// and pause by pause. The expected files were checked against the protocol
// rules once, by hand and by an independent computation; any change in a
// table, a rule or the order shows up here as the first differing line. The
// device id comes from the model's product code at the time of sending.
TEST_F (MappingUpload, EveryWorkingModeSendsExactlyItsExpectedStream)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const auto slug = CtMode::slugForType (mode);
        ports->clearEvents();
        model->impl->setCurrentMode (CtMode (mode));
        ASSERT_TRUE (send().wasOk());
        juce::StringArray sent;
        for (const auto& line : ports->describeEvents())
            sent.add (line);
        testsupport::expectLinesOfFile (sent, "upload/" + slug + ".txt");
    }

    model->impl->productId = 177;
    ports->clearEvents();
    ASSERT_TRUE (send().wasOk());
    EXPECT_EQ (ports->describeEvents().at (64), "F0 1D 03 01 30 00 07 7F F7");
}

// A lower bound only: the pause is a real sleep here.
TEST (MappingUploadTiming, RealPausesKeepRecordsAtLeastTwoMillisecondsApart)
{
    ScopedVirtualMidiPorts ports (VirtualMidiPorts::Pauses::recordAndSleep);
    ports->addOutput ("Dolm AR");
    auto* model = Dolmaris::getInstance();
    model->impl = std::make_unique<Dolmaris::Impl>();
    model->impl->outputDeviceName = "Dolm AR";
    model->impl->currentMap = makeMap ("mackie", { { 1, "button", 0 } });
    ASSERT_TRUE (model->sendCurrentMapping().wasOk());

    std::vector<VirtualMidiPorts::Event> sends;
    for (const auto& event : ports->getEvents())
        if (! event.isPause())
            sends.push_back (event);
    for (size_t i = 0; i + 1 < sends.size(); ++i)
        EXPECT_TRUE (sends[i].bytes[0] != 0x9F || sends[i + 1].nanoseconds - sends[i].nanoseconds >= 2'000'000) << "after send " << i;
}

//==============================================================================
// Buttons first, by id whatever the tree order; unknown or missing kinds join
// them, on the button column and with the flag (08), except the unassigned
// value 126. The later groups keep their order even when their ids are low,
// controls without a row send an empty type, and only the low 8 bits travel.
TEST_F (MappingUpload, GroupsKindsOrderAndValueRecords)
{
    EXPECT_EQ (recordsFor ({ { 95, "slider", 16 }, { 92, "KNOB", 382 }, { 2, "Button", 126 }, { 93, std::nullopt, 3 },
                             { 109, "knob", 17 }, { 91, "knob", 300 }, { 3, "master-fader", 7 }, { 4, "jog-wheel", 8 },
                             { 0, "button", std::nullopt }, { 5, "fader", 256 } }),
               (Lines { "9F 00 00", "9F 00 00", "9F 00 02", "9F 00 02", "9F 00 02",  // button types 0 2 92 93 95
                        "9F 08 00", "9F 07 0E", "9F 0F 0E", "9F 08 03", "9F 09 00",  // their values
                        "9F 00 02", "9F 00 00", "9F 00 00", "9F 00 00", "9F 00 00",  // knobs 91 109, jog 4, fader 5, master 3
                        "9F 02 0C", "9F 01 01", "9F 00 08", "9F 00 00", "9F 00 07" }));
    EXPECT_EQ (recordsFor ({}, "pro-tools"), Lines {}) << "a map without controls sends the frame only";
}

TEST_F (MappingUpload, TypeCodeByRowNibbleAndGroup)
{
    struct Row { int id; const char* kind; uint8_t nibble, status; const char* typeRecord; };
    const Row rows[] = {
        { 1, "button", 0x0C, 0xC3, "9F 03 03" },   { 2, "button", 0x0E, 0xE5, "9F 05 00" },
        { 3, "button", 0x0B, 0xBF, "9F 0F 02" },   { 4, "button", 0x00, 0x07, "9F 07 00" },
        { 91, "knob", 0x0C, 0xC0, "9F 00 00" },    { 92, "knob", 0x0E, 0xE1, "9F 01 01" },
        { 93, "knob", 0x09, 0x92, "9F 02 00" },    { 99, "jog-wheel", 0x0E, 0xE0, "9F 00 01" },
        { 100, "fader", 0x0B, 0xB0, "9F 00 00" },  { 101, "fader", 0x0C, 0xC0, "9F 00 00" },
        { 108, "master-fader", 0x0E, 0xE8, "9F 08 01" },
    };
    std::vector<Control> controls;
    for (const auto& row : rows)
    {
        ud[row.id - 1][0] = row.nibble;
        ud[row.id - 1][1] = row.status;
        controls.push_back ({ row.id, row.kind, 0 });
    }
    const auto records = recordsFor (controls, "user-defined");
    for (size_t i = 0; i < std::size (rows); ++i)
        EXPECT_EQ (records[i < 4 ? i : i + 4], rows[i].typeRecord) << rows[i].id; // button values follow the button types
}

//==============================================================================
TEST_F (MappingUpload, FirstOfTwoOutputsWithTheSameNameIsUsedAndFailuresSendNothing)
{
    for (const auto* name : { "Other", "Twin", "Twin" })
        ports->addOutput (name);
    model->impl->outputDeviceName = "Twin";
    ASSERT_TRUE (send().wasOk());
    for (const auto& event : ports->getEvents())
        EXPECT_TRUE (event.isPause() || event.outputIndex == 2) << event.describe();

    ports->clearEvents();
    ports->addOutput ("Broken", false);
    struct Failure { const char* outputName; const char* mapMode; const char* error; }; // mapMode nullptr: no current map
    const Failure failures[] = {
        { "", "mackie", "No device selected" },
        { "dolm ar", "mackie", "dolm ar: device does not exist" },
        { "Dolm AR ", "mackie", "Dolm AR : device does not exist" },
        { "Broken", "mackie", "Broken: could not open device" },
        { "Dolm AR", "cubase", "Cubase: mode cannot be sent" },
        { "Dolm AR", nullptr, "No mapping to send" },
    };
    for (const auto& failure : failures)
    {
        model->impl->outputDeviceName = failure.outputName;
        model->impl->currentMap = failure.mapMode != nullptr ? makeMap (failure.mapMode, { { 1, "button", 0 } }) : juce::ValueTree();
        EXPECT_EQ (send().getErrorMessage(), failure.error);
    }
    EXPECT_TRUE (ports->getEvents().empty());
}
