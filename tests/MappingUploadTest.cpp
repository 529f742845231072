// The mapping upload, watched through virtual ports: the exact messages, their
// order, where the pauses fall, and the failures that send nothing.
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

namespace
{
using Lines = std::vector<std::string>;

std::string hex (int byte)
{
    char text[3];
    std::snprintf (text, sizeof (text), "%02X", byte & 0xFF);
    return text;
}

//==============================================================================
// The expected stream, worked out here from the protocol's rules rather than
// from the code under test.

struct ControlSpec
{
    int id;
    std::optional<std::string> kind;  // none: the property is missing
    std::optional<int> value;         // none: the property is missing
};

enum Column { buttonColumn, knobColumn, faderColumn };

// Type code by the row's status nibble, for the button, knob/jog wheel and fader/master fader columns.
const std::map<int, std::array<int, 3>> typeCodes {
    { 0x9, { 0, 0, 0 } }, { 0xB, { 2, 2, 0 } }, { 0xC, { 3, 0, 0 } }, { 0xE, { 0, 1, 1 } }, { 0x0, { 0, 0, 0 } },
};

const int modeBytes[] = { 0x01, 0x03, 0x06, 0x07 };

struct ExpectedUpload
{
    Lines lines;

    void record (int first, int second)
    {
        lines.push_back ("block 9F " + hex (first) + " " + hex (second));
        lines.push_back ("pause 2");
    }

    void typeRecord (const ControlSpec& control, int mode, Column column)
    {
        if (control.id < 1 || control.id > 108)
            return record (0, 0);

        const auto* row = arrForMoid[mode][control.id - 1];
        record (row[1] & 0x0F, typeCodes.at (row[0])[(size_t) column]);
    }

    void valueRecord (const ControlSpec& control, bool button)
    {
        const int v = control.value.value_or (0);
        const int hi = (v >> 4) & 0x0F, lo = v & 0x0F;
        if (button && v == 126)
            record (0x07, 0x0E);
        else
            record (button ? hi | 0x08 : hi, lo);
    }
};

Lines expectedUpload (int mode, int idHi, int idLo, std::vector<ControlSpec> controls)
{
    std::stable_sort (controls.begin(), controls.end(), [] (auto& a, auto& b) { return a.id < b.id; });

    std::map<std::string, std::vector<ControlSpec>> groups;
    for (const auto& control : controls)
    {
        const auto kind = control.kind.value_or ("");
        const bool known = kind == "knob" || kind == "jog-wheel" || kind == "fader" || kind == "master-fader";
        groups[known ? kind : "button"].push_back (control);
    }

    ExpectedUpload expected;
    for (int n = 0; n < 32; ++n)
        expected.record (n, 0);

    expected.lines.push_back ("message F0 1D 03 " + hex (idHi) + " " + hex (idLo) + " 00 " + hex (modeBytes[mode]) + " 7F F7");

    for (auto& c : groups["button"]) expected.typeRecord (c, mode, buttonColumn);
    for (auto& c : groups["button"]) expected.valueRecord (c, true);
    for (auto& c : groups["knob"]) expected.typeRecord (c, mode, knobColumn);
    for (auto& c : groups["jog-wheel"]) expected.typeRecord (c, mode, knobColumn);
    for (auto& c : groups["fader"]) expected.typeRecord (c, mode, faderColumn);
    for (auto& c : groups["master-fader"]) expected.typeRecord (c, mode, faderColumn);
    for (const char* kind : { "knob", "jog-wheel", "fader", "master-fader" })
        for (auto& c : groups[kind])
            expected.valueRecord (c, false);

    expected.lines.push_back ("message 9E 7F 7F");
    return expected.lines;
}

std::vector<ControlSpec> specsOf (const juce::ValueTree& map)
{
    std::vector<ControlSpec> specs;
    for (const auto& control : map.getChildWithName ("controls"))
        specs.push_back ({ (int) control["id"], control["kind"].toString().toStdString(), (int) control["value"] });
    return specs;
}

//==============================================================================
juce::ValueTree makeMap (const juce::String& modeSlug, const std::vector<ControlSpec>& controls)
{
    juce::ValueTree map ("map");
    map.setProperty ("mode", modeSlug, nullptr);
    juce::ValueTree list ("controls");
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
    }

    void TearDown() override
    {
        // The row tables are process-wide: leave them as a fresh model has them.
        std::memcpy (ud, cubaseButtons0ForDlm, sizeof (RowTable));
        std::memcpy (cb, cubaseButtons0ForDlm, sizeof (RowTable));
    }

    juce::Result send() { return model->sendCurrentMapping(); }

    Lines sentFor (const std::vector<ControlSpec>& controls, const juce::String& slug = "mackie")
    {
        model->impl->currentMap = makeMap (slug, controls);
        EXPECT_TRUE (send().wasOk());
        return ports->describeEvents();
    }

    /** The records of the controls alone: no preamble, mode message or terminator. */
    static Lines controlRecords (const Lines& all)
    {
        Lines records;
        for (size_t i = 65; i + 1 < all.size(); ++i)
            if (all[i] != "pause 2")
                records.push_back (all[i].substr (6)); // drop "block "
        return records;
    }

    void expectNothingSent()
    {
        EXPECT_TRUE (ports->getEvents().empty());
        EXPECT_EQ (ports->getNumOpenOutputs(), 0);
        for (int i = 0; i < ports->getOutputNames().size(); ++i)
            EXPECT_EQ (ports->getNumTimesOutputOpened (i), 0) << "output " << i;
    }

    Dolmaris* model = Dolmaris::getInstance();
    ScopedVirtualMidiPorts ports;
    const int unit = ports->addOutput ("Dolm AR");
};
} // namespace

//==============================================================================
TEST_F (MappingUpload, EveryWorkingModeSendsItsDefaultMapExactly)
{
    const char* slugs[] = { "mackie", "logic", "pro-tools", "user-defined" };

    for (int mode = 0; mode < 4; ++mode)
    {
        SCOPED_TRACE (slugs[mode]);
        ports->clearEvents();
        model->impl->setCurrentMode (CtMode (mode));

        ASSERT_TRUE (send().wasOk());
        EXPECT_EQ (ports->describeEvents(), expectedUpload (mode, 0x00, 0x4F, specsOf (model->impl->currentMap)));
        EXPECT_EQ (ports->getNumOpenOutputs(), 0);
        EXPECT_EQ (ports->getNumTimesOutputOpened (unit), mode + 1);
    }
}

TEST_F (MappingUpload, DefaultMackieMapLandmarks)
{
    ASSERT_TRUE (send().wasOk());
    const auto sent = ports->describeEvents();

    ASSERT_EQ (sent.size(), 32u * 2 + 1 + 108u * 2 * 2 + 1);
    EXPECT_EQ (sent[0], "block 9F 00 00");
    EXPECT_EQ (sent[62], "block 9F 1F 00");
    EXPECT_EQ (sent[64], "message F0 1D 03 00 4F 00 01 7F F7");

    const auto records = controlRecords (sent);
    ASSERT_EQ (records.size(), 216u);
    EXPECT_EQ (records[0], "9F 00 00");    // button 1: note, channel 1
    EXPECT_EQ (records[90], "9F 08 00");   // button 1's value 0, with the button flag
    EXPECT_EQ (records[90 + 39], "9F 0A 07");  // button 40: value id - 1 = 27
    EXPECT_EQ (records[90 + 59], "9F 0B 0D");  // button 60: the row's data byte 61 = 3D
    EXPECT_EQ (records[180], "9F 00 02");  // knob 91: control change
    EXPECT_EQ (records[188], "9F 00 02");  // jog wheel
    EXPECT_EQ (records[189], "9F 00 01");  // fader 100: pitch bend, channel 1
    EXPECT_EQ (records[196], "9F 07 01");  // fader 107: channel 8
    EXPECT_EQ (records[197], "9F 08 01");  // master fader: channel 9
    EXPECT_EQ (records[198], "9F 01 00");  // knob 91's value 16
    EXPECT_EQ (records[206], "9F 03 0C");  // jog wheel's value 60
    EXPECT_EQ (records[215], "9F 00 00");  // master fader's value 0
    EXPECT_EQ (sent.back(), "message 9E 7F 7F");
}

TEST_F (MappingUpload, EveryRecordIsABlockOfItsOwnFollowedByAPause)
{
    ASSERT_TRUE (send().wasOk());
    const auto events = ports->getEvents();
    using Kind = VirtualMidiPorts::Event::Kind;

    std::vector<int> blockNumbers;
    for (size_t i = 0; i < events.size(); ++i)
    {
        const auto& event = events[i];
        if (event.kind == Kind::block)
        {
            blockNumbers.push_back (event.blockNumber);
            ASSERT_LT (i + 1, events.size());
            EXPECT_EQ (events[i + 1].kind, Kind::pause) << "after event " << i;
            EXPECT_EQ (events[i + 1].milliseconds, 2);
        }
        if (event.kind == Kind::message && i + 1 < events.size())
        {
            EXPECT_NE (events[i + 1].kind, Kind::pause) << "after event " << i;
        }
        if (event.kind == Kind::pause)
        {
            EXPECT_EQ (events[i - 1].kind, Kind::block) << "pause " << i;
        }
    }

    EXPECT_EQ (blockNumbers.size(), 32u + 216u);
    EXPECT_TRUE (std::adjacent_find (blockNumbers.begin(), blockNumbers.end()) == blockNumbers.end());
    EXPECT_EQ (events.back().kind, Kind::message);
}

// A lower bound only: the pause is a real sleep here, so the next message
// cannot come sooner than 2 ms after a record.
TEST (MappingUploadTiming, RealPausesKeepRecordsAtLeastTwoMillisecondsApart)
{
    ScopedVirtualMidiPorts ports (VirtualMidiPorts::Pauses::recordAndSleep);
    ports->addOutput ("Dolm AR");
    auto* model = Dolmaris::getInstance();
    model->impl = std::make_unique<Dolmaris::Impl>();
    model->impl->outputDeviceName = "Dolm AR";

    ASSERT_TRUE (model->sendCurrentMapping().wasOk());

    std::vector<VirtualMidiPorts::Event> sends;
    for (const auto& event : ports->getEvents())
        if (event.kind != VirtualMidiPorts::Event::Kind::pause)
            sends.push_back (event);

    for (size_t i = 0; i + 1 < sends.size(); ++i)
    {
        if (sends[i].kind == VirtualMidiPorts::Event::Kind::block)
        {
            EXPECT_GE (sends[i + 1].nanoseconds - sends[i].nanoseconds, 2'000'000) << "after send " << i;
        }
    }
}

//==============================================================================
TEST_F (MappingUpload, ButtonValuesCarryTheFlagExceptTheUnassignedValue)
{
    const auto records = controlRecords (sentFor ({ { 1, "button", 126 },
                                                    { 2, "button", 0 },
                                                    { 3, "button", 60 },
                                                    { 4, "button", 382 },
                                                    { 5, "button", 126 + 256 },
                                                    { 6, "button", std::nullopt },
                                                    { 7, "button", -1 } }));

    EXPECT_EQ (records, (Lines { "9F 00 00", "9F 00 00", "9F 00 00", "9F 00 00", "9F 00 00", "9F 00 00", "9F 00 00",
                                 "9F 07 0E", "9F 08 00", "9F 0B 0C", "9F 0F 0E", "9F 0F 0E", "9F 08 00", "9F 0F 0F" }));
}

TEST_F (MappingUpload, OtherKindsSendTheLowEightBitsWithoutFlag)
{
    const auto records = controlRecords (sentFor ({ { 91, "knob", 16 },
                                                    { 92, "knob", 300 },
                                                    { 93, "knob", 126 },
                                                    { 99, "jog-wheel", 255 },
                                                    { 100, "fader", 256 },
                                                    { 108, "master-fader", 0 } }));

    EXPECT_EQ (records, (Lines { "9F 00 02", "9F 00 02", "9F 00 02", "9F 00 02", "9F 00 01", "9F 08 01",
                                 "9F 01 00", "9F 02 0C", "9F 07 0E", "9F 0F 0F", "9F 00 00", "9F 00 00" }));
}

TEST_F (MappingUpload, TypeCodesFollowTheRowAndTheGroup)
{
    const auto setRow = [] (int id, uint8_t nibble, uint8_t status) {
        ud[id - 1][0] = nibble;
        ud[id - 1][1] = status;
    };
    setRow (1, 0x0C, 0xC3);  // program change on a button: 3, channel 4
    setRow (2, 0x0E, 0xE5);  // pitch bend on a button: 0
    setRow (3, 0x0B, 0xBF);  // control change on a button: 2, channel 16
    setRow (4, 0x00, 0x07);  // empty row: 0, the channel still read
    setRow (91, 0x0C, 0xC0); // program change on a knob: 0
    setRow (92, 0x0E, 0xE1); // pitch bend on a knob: 1
    setRow (93, 0x09, 0x92); // note on a knob: 0
    setRow (99, 0x0E, 0xE0); // pitch bend on the jog wheel: 1
    setRow (100, 0x0B, 0xB0); // control change on a fader: 0
    setRow (101, 0x0C, 0xC0); // program change on a fader: 0
    setRow (108, 0x0B, 0xB2); // control change on the master fader: 0

    const auto records = controlRecords (sentFor ({ { 1, "button", 0 },
                                                    { 2, "button", 0 },
                                                    { 3, "button", 0 },
                                                    { 4, "button", 0 },
                                                    { 91, "knob", 0 },
                                                    { 92, "knob", 0 },
                                                    { 93, "knob", 0 },
                                                    { 99, "jog-wheel", 0 },
                                                    { 100, "fader", 0 },
                                                    { 101, "fader", 0 },
                                                    { 108, "master-fader", 0 } },
                                                  "user-defined"));

    const Lines types (records.begin(), records.begin() + 4);
    const Lines otherTypes (records.begin() + 8, records.begin() + 15);
    EXPECT_EQ (types, (Lines { "9F 03 03", "9F 05 00", "9F 0F 02", "9F 07 00" }));
    EXPECT_EQ (otherTypes, (Lines { "9F 00 00", "9F 01 01", "9F 02 00", "9F 00 01", "9F 00 00", "9F 00 00", "9F 02 00" }));
}

TEST_F (MappingUpload, UnknownOrMissingKindsGoWithTheButtons)
{
    const std::vector<ControlSpec> controls { { 95, "slider", 16 }, { 2, "Button", 1 },   { 94, "", 2 },
                                              { 93, std::nullopt, 3 }, { 92, "KNOB", 4 }, { 91, "knob", 5 },
                                              { 1, "button", 6 } };
    const auto sent = sentFor (controls);

    EXPECT_EQ (sent, expectedUpload (0, 0x00, 0x4F, controls));
    const auto records = controlRecords (sent);
    // Knob rows on the button column: control change gives 2 there too; values carry the flag.
    EXPECT_EQ (records[2], "9F 00 02");
    EXPECT_EQ (records[6 + 2], "9F 08 04");
    EXPECT_EQ (records[6 + 5], "9F 09 00");
}

TEST_F (MappingUpload, GroupsAreSortedByIdWhateverTheTreeOrderAndNodeType)
{
    auto map = makeMap ("logic", { { 108, "master-fader", 1 }, { 99, "jog-wheel", 2 }, { 7, "button", 3 },
                                   { 100, "fader", 4 },        { 3, "button", 5 },     { 98, "knob", 6 },
                                   { 91, "knob", 7 },          { 107, "fader", 8 },
                                   // Low ids in the later groups: merging groups would reorder them.
                                   { 5, "master-fader", 9 },   { 4, "jog-wheel", 10 } });
    map.getChildWithName ("controls").getChild (0).setProperty ("note", "renamed type stays", nullptr);
    juce::ValueTree oddNode ("slider");
    oddNode.setProperty ("id", 50, nullptr);
    oddNode.setProperty ("kind", "fader", nullptr);
    map.getChildWithName ("controls").appendChild (oddNode, nullptr);

    model->impl->currentMap = map;
    ASSERT_TRUE (send().wasOk());

    auto specs = specsOf (map);
    EXPECT_EQ (ports->describeEvents(), expectedUpload (1, 0x00, 0x4F, specs));
}

TEST_F (MappingUpload, ControlsWithoutARowSendAnEmptyTypeRecordAndTheirValue)
{
    const auto records = controlRecords (sentFor ({ { 0, "button", 5 }, { 109, "knob", 17 }, { -3, "fader", 2 } }));

    EXPECT_EQ (records, (Lines { "9F 00 00", "9F 08 05", "9F 00 00", "9F 00 00", "9F 01 01", "9F 00 02" }));
}

TEST_F (MappingUpload, MapWithoutControlsSendsFrameOnly)
{
    juce::ValueTree bare ("map");
    bare.setProperty ("mode", "pro-tools", nullptr);
    model->impl->currentMap = bare;
    ASSERT_TRUE (send().wasOk());
    EXPECT_EQ (ports->describeEvents(), expectedUpload (2, 0x00, 0x4F, {}));

    ports->clearEvents();
    bare.appendChild (juce::ValueTree ("controls"), nullptr);
    ASSERT_TRUE (send().wasOk());
    EXPECT_EQ (ports->describeEvents(), expectedUpload (2, 0x00, 0x4F, {}));
}

TEST_F (MappingUpload, DeviceIdFollowsTheProductCode)
{
    model->impl->setCurrentMode (CtMode (3));
    model->impl->productId = 89;
    ASSERT_TRUE (send().wasOk());
    EXPECT_EQ (ports->describeEvents().at (64), "message F0 1D 03 00 4F 00 07 7F F7");

    ports->clearEvents();
    model->impl->productId = 176;
    ASSERT_TRUE (send().wasOk());
    EXPECT_EQ (ports->describeEvents().at (64), "message F0 1D 03 01 30 00 07 7F F7");
}

//==============================================================================
TEST_F (MappingUpload, EmptyNameFailsBeforeAnythingIsOpened)
{
    model->impl->outputDeviceName = {};
    const auto result = send();
    EXPECT_EQ (result.getErrorMessage(), "No device selected");
    expectNothingSent();
}

TEST_F (MappingUpload, NameMustMatchExactly)
{
    for (const char* name : { "dolm ar", "DOLM AR", "Dolm AR ", " Dolm AR", "Dolm" })
    {
        model->impl->outputDeviceName = name;
        EXPECT_EQ (send().getErrorMessage(), juce::String (name) + ": device does not exist");
    }
    expectNothingSent();
}

TEST_F (MappingUpload, FirstOfTwoOutputsWithTheSameNameIsUsed)
{
    ports->addOutput ("Other");
    ports->addOutput ("Twin");
    const int firstTwin = ports->getOutputNames().indexOf ("Twin");
    ports->addOutput ("Twin");
    model->impl->outputDeviceName = "Twin";

    ASSERT_TRUE (send().wasOk());
    for (const auto& event : ports->getEvents())
    {
        if (event.kind != VirtualMidiPorts::Event::Kind::pause)
        {
            ASSERT_EQ (event.outputIndex, firstTwin);
        }
    }
    EXPECT_EQ (ports->getNumTimesOutputOpened (firstTwin + 1), 0);
}

TEST_F (MappingUpload, OutputThatCannotBeOpenedFails)
{
    ports->makeOutputFailToOpen (unit);
    EXPECT_EQ (send().getErrorMessage(), "Dolm AR: could not open device");
    expectNothingSent();
}

TEST_F (MappingUpload, ModeWithoutTableFailsBeforeOpening)
{
    model->impl->currentMap = makeMap ("cubase", { { 1, "button", 0 } });
    EXPECT_EQ (send().getErrorMessage(), "Cubase: mode cannot be sent");

    model->impl->currentMap = makeMap ("bitwig", {});
    EXPECT_EQ (send().getErrorMessage(), "Bitwig: mode cannot be sent");
    expectNothingSent();
}

TEST_F (MappingUpload, NoCurrentMapFailsBeforeOpening)
{
    model->impl->setCurrentMode (CtMode (5)); // no map of that mode: currentMap becomes invalid
    ASSERT_FALSE (model->impl->currentMap.isValid());
    EXPECT_EQ (send().getErrorMessage(), "No mapping to send");
    expectNothingSent();
}

TEST_F (MappingUpload, OutputIsClosedWhenAnExceptionPassesThrough)
{
    int sends = 0;
    ports->setSendListener ([&sends] (int, const juce::MidiMessage&) {
        if (++sends == 40)
            throw std::runtime_error ("port went away");
    });

    EXPECT_THROW (send(), std::runtime_error);
    EXPECT_EQ (ports->getNumOpenOutputs(), 0);
}
