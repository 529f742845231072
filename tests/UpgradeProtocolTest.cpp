// The upgrade-mode protocol byte by byte: packets and checksums, blocks, the
// erase argument, where the pauses fall, the reply table, the Erase burst and
// the reset sent when the wizard closes.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>
#include "modules/zevo_firmware/DeviceHelpers.h"

namespace
{
using Lines = std::vector<std::string>;

void append (Lines& lines, const Lines& part, int times = 1)
{
    for (int i = 0; i < times; ++i)
        lines.insert (lines.end(), part.begin(), part.end());
}

/** Sends as "S", pauses and polls as logged. */
Lines shapeOf (const VirtualMidiPorts& ports)
{
    Lines shape;
    for (const auto& event : ports.getEvents())
        shape.push_back (event.isPause() || event.isPoll() ? event.describe() : "S");
    return shape;
}
} // namespace

TEST (UpgradeProtocol, CommandPacketsAndTheirChecksums)
{
    struct Case
    {
        uint8_t* packet;
        uint8_t argument;
        uint8_t checksum;
    };
    const Case cases[] = { { zevo::midiConnect, 0x00, 0x3A }, { zevo::midiReset, 0x00, 0xBD },
                           { zevo::midiErase, 0x70, 0x2B }, { zevo::midiErase, 0x71, 0x2C } };
    for (const auto& c : cases)
    {
        uint8_t packet[zevo::commandPacketSize];
        std::copy_n (c.packet, zevo::commandPacketSize, packet);
        packet[15] = c.argument;
        zevo::completeCommandPacket (packet);
        EXPECT_EQ (packet[16], c.checksum) << "command " << (int) packet[14] << " argument " << (int) c.argument;
    }

    const auto nibbles = zevo::makeNibbleMessage (0xA7);
    EXPECT_EQ (std::vector<uint8_t> (nibbles.getRawData(), nibbles.getRawData() + 3), (std::vector<uint8_t> { 0x9F, 0x0A, 0x07 }));
}

TEST (UpgradeProtocol, EraseArgumentByProduct)
{
    for (int code = 0; code < 200; ++code)
    {
        const bool other = code == 94 || code == 130 || code == 182 || code == 183;
        EXPECT_EQ (zevo::eraseArgumentFor (code), std::optional<uint8_t> (other ? 0x71 : 0x70)) << code;
    }
    for (int code : { -1, 200, 2000 })
        EXPECT_FALSE (zevo::eraseArgumentFor (code).has_value()) << code;

    // What the unit receives for a product that takes 0x71.
    UpgradeBench bench (VirtualMidiPorts::Pauses::recordOnly, 94);
    bench.loadImage (512);
    ASSERT_TRUE (bench.upgrade());
    const auto packets = bench.unit.getPackets();
    ASSERT_GE (packets.size(), 2u);
    EXPECT_EQ (packets[1].command, SimulatedUnit::Command::erase);
    EXPECT_EQ (packets[1].argument, 0x71);
    EXPECT_EQ (packets[1].bytes.back(), 0x2C);
}

// Sizes at the edges: blocks, their numbers, the zeros that fill the last one,
// and the image the unit keeps.
TEST (UpgradeProtocol, ImagesGoOutInWholeBlocks)
{
    for (const size_t size : { (size_t) 512, (size_t) 513, (size_t) 63'487 })
    {
        SCOPED_TRACE (size);
        UpgradeBench bench;
        const auto image = bench.loadImage (size);
        ASSERT_TRUE (bench.upgrade());

        const size_t blocks = (size + 511) / 512;
        std::vector<int> numbers;
        for (const auto& packet : bench.unit.getPackets())
            if (packet.command == SimulatedUnit::Command::write)
                numbers.push_back (packet.argument);
        std::vector<int> expectedNumbers (blocks);
        std::iota (expectedNumbers.begin(), expectedNumbers.end(), 0);
        EXPECT_EQ (numbers, expectedNumbers);

        auto expectedImage = image;
        expectedImage.resize (blocks * 512, 0);
        EXPECT_TRUE (bench.unit.getImage() == expectedImage);
        EXPECT_TRUE (bench.unit.getProblems().empty()) << bench.unit.getProblems().front();
    }
}

// The pacing table, whole: 1 ms before each connect byte, 1 ms after each
// erase byte and 100 ms after the last, 1 ms before every second write byte
// (the count runs on across blocks), 2 ms before each reset byte; a poll
// wherever a reply is still awaited; 800, 600 and 300 ms at the end.
TEST (UpgradeProtocol, PausesFallWhereThePacingTablePutsThem)
{
    for (const int macMajor : { 15, 14 })
    {
        SCOPED_TRACE (macMajor);
        UpgradeBench bench;
        bench.loadImage (1024);
        zevo::_mac_major = macMajor;
        ASSERT_TRUE (bench.upgrade());

        Lines expected;
        append (expected, { "pause 1", "S" }, 17);
        append (expected, { "poll 33" });
        append (expected, { "S", "pause 1" }, 17);
        append (expected, { "pause 100" }); // the reply came during the last pause: no poll
        for (int block = 0; block < 2; ++block)
        {
            if (macMajor >= 15)
                append (expected, { "S", "pause 1", "S" }, 265);
            else
                append (expected, { "S" }, 530);
            append (expected, { "poll 33" });
        }
        append (expected, { "pause 2", "S" }, 17);
        append (expected, { "poll 33", "pause 800", "pause 600", "pause 300" });
        EXPECT_TRUE (shapeOf (*bench.ports) == expected);
    }
}

TEST (UpgradeProtocol, RepliesSetTheFlagOfTheirFirstDataByte)
{
    struct Case
    {
        std::vector<uint8_t> bytes;
        const char* flagSet; // "" for none
    };
    const Case cases[] = {
        { { 0x9F, 0x7F, 0x55 }, "connect" }, { { 0x90, 0x7F, 0x00 }, "connect" }, { { 0x9F, 0x00, 0x01 }, "erase" },
        { { 0xB0, 0x01, 0x7F }, "write" },   { { 0x80, 0x02, 0x00 }, "reset" },   { { 0x9F, 0x03, 0x00 }, "" },
        { { 0x9F, 0x10, 0x00 }, "" },        { { 0xF8 }, "" },
    };
    for (const auto& c : cases)
    {
        zevo::FirmwareUpgradeComponent::MidiInputHandler handler (nullptr, 79);
        handler.handleIncomingMidiMessage (nullptr, juce::MidiMessage (c.bytes.data(), (int) c.bytes.size()));
        const std::string set = handler.connectReplied ? "connect" : handler.eraseReplied ? "erase"
                                : handler.writeReplied ? "write" : handler.resetReplied ? "reset" : "";
        const int count = handler.connectReplied + handler.eraseReplied + handler.writeReplied + handler.resetReplied;
        EXPECT_EQ (set, c.flagSet) << juce::String::toHexString (c.bytes.data(), (int) c.bytes.size());
        EXPECT_LE (count, 1);
    }
}

TEST (UpgradeProtocol, EraseBurstSendsTheModeMessageTwice)
{
    struct Case
    {
        int productCode;
        std::vector<std::string> sent;
    };
    const std::string mode103 = "F0 1D 03 00 67 00 7F 7F F7", companion103 = "F0 1D 03 00 67 55 7F F7";
    const std::string mode79 = "F0 1D 03 00 4F 00 7F 7F F7";
    const Case cases[] = { { 103, { mode103, companion103, mode103, companion103, "pause 1300" } },
                           { 79, { mode79, mode79, "pause 1300" } } };
    for (const auto& c : cases)
    {
        ScopedVirtualMidiPorts ports;
        ports->addOutput ("Brimtal 4");
        RecordingSink sink;
        EXPECT_TRUE (zevo::enterUpgradeMode ("Brimtal 4", c.productCode, sink));
        EXPECT_EQ (ports->describeEvents(), c.sent) << c.productCode;
        EXPECT_EQ (sink.steps, std::vector<int> { 1 });
    }

    // No output of the name chosen at Connect: nothing sent, nothing reported.
    ScopedVirtualMidiPorts ports;
    ports->addOutput ("brimtal 4");
    RecordingSink sink;
    EXPECT_FALSE (zevo::enterUpgradeMode ("Brimtal 4", 103, sink));
    EXPECT_TRUE (ports->getEvents().empty());
    EXPECT_TRUE (sink.steps.empty());
}

TEST (UpgradeProtocol, ResetAtCloseGoesToEveryUpgradeModeOutput)
{
    ScopedVirtualMidiPorts ports;
    const int first = ports->addOutput ("Zevo firmware upgrade 1");
    ports->addOutput ("ZEVO FIRMWARE UPGRADE 2");
    ports->addOutput ("Dolm AR");
    ports->addOutput ("Zevo firmware upgrade 3", false); // does not open
    const int second = ports->addOutput ("Zevo firmware upgrade 4");

    zevo::resetUpgradeModeUnits();

    Lines expected;
    std::vector<int> expectedOutputs;
    for (const int output : { first, second })
    {
        uint8_t reset[zevo::commandPacketSize];
        std::copy_n (zevo::midiReset, zevo::commandPacketSize, reset);
        reset[16] = 0xBD;
        for (const auto byte : reset)
        {
            append (expected, { "pause 2", juce::String::toHexString (zevo::makeNibbleMessage (byte).getRawData(), 3).toUpperCase().toStdString() });
            expectedOutputs.push_back (output);
        }
        append (expected, { "pause 10" });
    }
    EXPECT_EQ (ports->describeEvents(), expected);

    std::vector<int> outputs;
    for (const auto& event : ports->getEvents())
        if (! event.isPause())
            outputs.push_back (event.outputIndex);
    EXPECT_EQ (outputs, expectedOutputs);
}

// The choosers list each port once, none blank, in the system's order, and
// keep letter case; inputs for false, outputs for true.
TEST (UpgradeProtocol, DeviceNamesDropRepeatsAndBlanks)
{
    ScopedVirtualMidiPorts ports;
    for (const auto* name : { "Dolm AR", "", "dolm ar", "Dolm AR", " \t", "Zevo firmware upgrade 1" })
        ports->addInput (name);
    ports->addOutput ("Out");

    EXPECT_EQ (zevo::DeviceHelpers::getDeviceNames (false),
               juce::StringArray ({ "Dolm AR", "dolm ar", "Zevo firmware upgrade 1" }));
    EXPECT_EQ (zevo::DeviceHelpers::getDeviceNames (true), juce::StringArray ({ "Out" }));
}
