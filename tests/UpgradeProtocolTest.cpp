// The upgrade-mode protocol byte by byte: the erase argument, blocks, where the
// pauses fall, the Erase burst and the reset at close. The simulated unit checks
// every packet's header and checksum; the reset's bytes are spelt out below.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

namespace
{
using Lines = std::vector<std::string>;

void append (Lines& lines, const Lines& part, int times = 1)
{
    for (int i = 0; i < times; ++i)
        lines.insert (lines.end(), part.begin(), part.end());
}
} // namespace

// Blocks 0..n-1 in order (the unit checks), the last one filled with zeros,
// and the erase argument of the product as the unit receives it: 0x71 for
// 94, 130, 182 and 183, 0x70 for the other codes below 200.
TEST (UpgradeProtocol, ImagesGoOutInWholeBlocks)
{
    for (const auto& [size, product, blocks, eraseArgument] : { std::tuple { 512, 94, 1, 0x71 }, std::tuple { 513, 79, 2, 0x70 },
                                                              std::tuple { 512, 130, 1, 0x71 }, std::tuple { 512, 182, 1, 0x71 },
                                                              std::tuple { 512, 199, 1, 0x70 }, std::tuple { 63'487, 183, 0x7C, 0x71 } })
    {
        SCOPED_TRACE (size);
        UpgradeBench bench (VirtualMidiPorts::Pauses::recordOnly, product);
        auto image = bench.loadImage ((size_t) size);
        ASSERT_TRUE (bench.upgrade());

        image.resize ((size_t) blocks * 512, 0);
        EXPECT_TRUE (bench.unit.getImage() == image);
        EXPECT_EQ (bench.unit.getProblems(), Lines());
        EXPECT_EQ (bench.unit.getPackets()[1].argument, eraseArgument);
    }
}

// 1 ms before each connect byte, 1 ms after each erase byte and 100 ms after
// the last, 1 ms before every second write byte (the count runs on across
// blocks), 2 ms before each reset byte; a poll wherever a reply is still
// awaited; 800, 600 and 300 ms at the end.
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
            append (expected, macMajor >= 15 ? Lines { "S", "pause 1", "S" } : Lines { "S", "S" }, 265);
            append (expected, { "poll 33" });
        }
        append (expected, { "pause 2", "S" }, 17);
        append (expected, { "poll 33", "pause 800", "pause 600", "pause 300" });

        Lines shape;
        for (const auto& event : bench.ports->getEvents())
            shape.push_back (event.isPause() || event.isPoll() ? event.describe() : "S");
        EXPECT_TRUE (shape == expected);
    }
}

// The mode message twice, each with its companion for product 103; nothing
// when no output has the name chosen at Connect. (Product 79's burst: the
// wizard's end-to-end test.)
TEST (UpgradeProtocol, EraseBurst)
{
    const std::string mode103 = "F0 1D 03 00 67 00 7F 7F F7", companion103 = "F0 1D 03 00 67 55 7F F7";
    const std::tuple<const char*, int, bool, Lines> cases[] = {
        { "Brimtal 4", 103, true, { mode103, companion103, mode103, companion103, "pause 1300" } },
        { "brimtal 4", 103, false, {} },
    };
    for (const auto& [output, product, sent, expected] : cases)
    {
        ScopedVirtualMidiPorts ports;
        ports->addOutput (output);
        RecordingSink sink;
        EXPECT_EQ (zevo::enterUpgradeMode ("Brimtal 4", product, sink), sent) << product;
        EXPECT_EQ (ports->describeEvents(), expected) << product;
        EXPECT_EQ (sink.steps, sent ? std::vector<int> { 1 } : std::vector<int>()) << product;
    }
}

// Only outputs whose name holds "Zevo firmware upgrade" as it stands, and that open.
TEST (UpgradeProtocol, ResetAtCloseGoesToEveryUpgradeModeOutput)
{
    ScopedVirtualMidiPorts ports;
    for (const auto* name : { "Zevo firmware upgrade 1", "ZEVO FIRMWARE UPGRADE 2", "Dolm AR", "Zevo firmware upgrade 3", "Zevo firmware upgrade 4" })
        ports->addOutput (name, ! juce::String (name).endsWith ("3")); // 3 does not open

    zevo::resetUpgradeModeUnits();

    // Ten 55s, 1D 03 00 49, reset (02), argument 00, checksum BD: a nibble pair per byte.
    Lines packet (10, "9F 05 05"), expected, received;
    append (packet, { "9F 01 0D", "9F 00 03", "9F 00 00", "9F 04 09", "9F 00 02", "9F 00 00", "9F 0B 0D" });
    for (const auto* output : { "0 ", "4 " })
    {
        for (const auto& message : packet)
            append (expected, { "pause 2", output + message });
        append (expected, { "pause 10" });
    }
    for (const auto& event : ports->getEvents())
        received.push_back (event.isPause() ? event.describe() : std::to_string (event.outputIndex) + " " + event.describe());
    EXPECT_EQ (received, expected);
}
