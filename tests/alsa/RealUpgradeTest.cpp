// The firmware upgrade through JUCE's real ports: the unit leaves the
// sequencer on the enter-upgrade-mode message, comes back as "Zevo firmware
// upgrade" and answers each packet a millisecond or two after its last byte,
// on its own threads, as a unit on USB does.
#include "RealMidiRig.h"
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

using namespace realmidi;

namespace
{
const juce::String success = "Firmware Upgrade Success / Your firmware has been upgraded!";

/** The Erase step's burst to the unit, then the upgrade on the ports it
    re-enumerated with, as the wizard's steps run them; the boxes shown. */
juce::String upgrade (AlsaUnit& unit, const std::vector<uint8_t>& image)
{
    zevo::_mac_major = juce::SystemStats::getOperatingSystemType() - 0x100;
    testsupport::ScratchFolder scratch;
    RecordingSink sink;
    RecordedBoxes boxes;
    zevo::FirmwareUpgradeComponent::MidiInputHandler handler (nullptr, 79);
    handler.openProgram (scratch.withBytes ("firmware.bin", { image.begin(), image.end() }));

    if (! waitUntil ([] { return isListed (AlsaUnit::fullUnitName); })
        || ! zevo::enterUpgradeMode (AlsaUnit::fullUnitName, 79, sink))
        return "the unit was not there";
    if (! waitUntil ([&] { return unit.isInUpgradeMode() && isListed (zevo::upgradeModePortName); }))
        return "the unit did not come back in upgrade mode";
    if (! handler.openPorts (zevo::upgradeModePortName))
        return "the upgrade-mode ports did not open";

    const bool upgraded = zevo::runUpgradeSequence (handler, sink);
    EXPECT_EQ (upgraded, boxes.shown() == success);
    EXPECT_EQ (handler.input, nullptr);
    return boxes.shown();
}

std::vector<uint8_t> paddedToBlocks (std::vector<uint8_t> image)
{
    image.resize ((image.size() + 511) / 512 * 512, 0);
    return image;
}
} // namespace

// The paced upload end to end through a real sequencer, on the test machine's
// one processor: the Erase step's mode message, then a whole image to a unit
// answering 1-2 ms after each packet, which ends in the success box and leaves
// the unit holding the image padded to whole blocks. (A reply that overtakes
// the sender is AUnitAnsweringAsThePacketEnds' case.)
TEST (RealUpgrade, WholeImageToAQuickUnit)
{
    std::cout << "[ info     ] processors: " << juce::SystemStats::getNumCpus() << std::endl;
    AlsaUnit unit (AlsaUnit::fullUnitName);
    const auto image = makeImage (63'487);

    EXPECT_EQ (upgrade (unit, image), success);
    EXPECT_TRUE (unit.getImage() == paddedToBlocks (image));
    EXPECT_TRUE (unit.getProblems().empty()) << unit.getProblems().front();
    EXPECT_EQ (unit.getRecord().front(), "F0 1D 03 00 4F 00 7F 7F F7") << "the mode message with the upgrade byte";
}

// With no delay of its own the unit's answer can overtake the sender between
// a packet's last byte and the sender's next step, whenever the system runs
// the receiving threads first.
TEST (RealUpgrade, AUnitAnsweringAsThePacketEnds)
{
    auto options = AlsaUnit::named (AlsaUnit::fullUnitName);
    options.minDelayMs = options.maxDelayMs = 0;
    AlsaUnit unit (options);
    const auto image = makeImage (16'000);

    EXPECT_EQ (upgrade (unit, image), success);
    EXPECT_TRUE (unit.getImage() == paddedToBlocks (image));
}

// Which packet the fault hits: 0 connect, 1 erase, 2.. the blocks (four of
// them here), 6 the reset. Faults that leave a packet unanswered show the
// failure text of that step and never hang; a unit that answers twice or
// between noise still upgrades, since a reply only sets its flag and noise
// carries no reply code (the second answer to a block comes long before the
// next block's flag is cleared, just before its last byte).
TEST (RealUpgrade, FaultyUnitsGiveTheStepsFailureOrAreTolerated)
{
    using Fault = AlsaUnit::Fault;
    const std::tuple<Fault, int, juce::String> cases[] = {
        { Fault::silent, 0, "! Firmware Upgrade Error / Could not connect to hardware" },
        { Fault::late, 1, "! Firmware Upgrade Error / Could not erase existing firmware" },
        { Fault::unplug, 2, "! Firmware Upgrade Error / Could not write new firmware" },
        { Fault::silent, 6, "! Firmware Upgrade Error / Your firmware has been upgraded! Power off your unit and wait for 5 seconds, "
                            "then turn back on for changes to take effect" },
        { Fault::twice, 0, success },
        { Fault::noise, 0, success },
    };
    const auto image = makeImage (2'000);
    for (const auto& [fault, after, shown] : cases)
    {
        auto options = AlsaUnit::named (AlsaUnit::fullUnitName);
        options.fault = fault;
        options.faultAfter = after;
        options.lateMs = 30'000; // beyond every wait, however slow the machine
        AlsaUnit unit (options);
        SCOPED_TRACE (testing::Message() << "fault " << (int) fault << " after " << after);

        EXPECT_EQ (upgrade (unit, image), shown);
        if (shown == success)
        {
            EXPECT_TRUE (unit.getImage() == paddedToBlocks (image));
        }
        EXPECT_TRUE (unit.getProblems().empty());
    }
}
