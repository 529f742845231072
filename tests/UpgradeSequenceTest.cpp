// The upload of a firmware image to a simulated unit: every way it can fail,
// the reply waits counted in polls, and what the wizard is told on the way.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

namespace
{
using Command = SimulatedUnit::Command;
constexpr int command = 17, block = 530;

const juce::String noReset = "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, "
                             "then turn back on for changes to take effect";

struct FaultCase
{
    const char* name;
    std::function<void (UpgradeBench&)> arrange;
    const char* text;
    int messagesSent; // to the unit, before the upload gave up
};

// Each failure: the unit's side of it, the text shown, and how far the upload got.
const std::vector<FaultCase> faultCases = {
    { "no input", [] (UpgradeBench& b) { b.handler.output = b.ports->openOutput ("Zevo firmware upgrade 1"); },
      "No MIDI input device is open", 0 },
    { "no output", [] (UpgradeBench& b) { b.handler.input = b.ports->openInput ("Zevo firmware upgrade 1", &b.handler); },
      "No MIDI output device is open", 0 },
    { "511 bytes", [] (UpgradeBench& b) { b.loadImage (511); }, "Wrong file or cannot find this file!", 0 },
    { "63,488 bytes", [] (UpgradeBench& b) { b.loadImage (63'488); }, "Wrong file or cannot find this file!", 0 },
    { "size without the bytes", [] (UpgradeBench& b) { b.handler.image.resize (512); },
      "Wrong file or cannot find this file!", 0 },
    { "file gone before loading", [] (UpgradeBench& b) { b.handler.openProgram (b.folder.getChildFile ("gone.bin")); },
      "Wrong file or cannot find this file!", 0 },
    { "connect unanswered", [] (UpgradeBench& b) { b.unit.answer (Command::connect, { SimulatedUnit::never }); },
      "Could not connect to hardware", command },
    { "connect answered after 181 polls", [] (UpgradeBench& b) { b.unit.answer (Command::connect, { 181 }); },
      "Could not connect to hardware", command },
    { "erase unanswered", [] (UpgradeBench& b) { b.unit.answer (Command::erase, { SimulatedUnit::never }); },
      "Could not erase existing firmware", 2 * command },
    { "first block unanswered", [] (UpgradeBench& b) { b.unit.answer (Command::write, { SimulatedUnit::never }, 0); },
      "Could not write new firmware", 2 * command + block },
    { "second block unanswered", [] (UpgradeBench& b) { b.unit.answer (Command::write, { SimulatedUnit::never }, 1); },
      "Could not write new firmware", 2 * command + 2 * block },
    // Block 0's second acknowledgement arrives while block 1 is being sent:
    // it must not count for block 1.
    { "late duplicate of block 0, block 1 unanswered",
      [] (UpgradeBench& b) { b.unit.answer (Command::write, { 1, 10 }, 0); b.unit.answer (Command::write, { SimulatedUnit::never }, 1); },
      "Could not write new firmware", 2 * command + 2 * block },
    { "unit vanishes in block 1", [] (UpgradeBench& b) { b.unit.vanishDuringBlock (1); },
      "Could not write new firmware", 2 * command + 2 * block },
    { "reset unanswered", [] (UpgradeBench& b) { b.unit.answer (Command::reset, { SimulatedUnit::never }); },
      noReset.toRawUTF8(), 3 * command + 2 * block },
};
} // namespace

TEST (UpgradeSequence, EveryFailureStopsSendingClosesThePortsAndShowsItsText)
{
    for (const auto& fault : faultCases)
    {
        SCOPED_TRACE (fault.name);
        UpgradeBench bench;
        bench.loadImage (1000);
        fault.arrange (bench);
        if (bench.handler.input == nullptr && bench.handler.output == nullptr)
            bench.handler.openPorts ("Zevo firmware upgrade 1");

        EXPECT_FALSE (zevo::runUpgradeSequence (bench.handler, bench.sink));

        EXPECT_EQ (bench.messagesToUnit(), fault.messagesSent);
        const auto tail = bench.afterLastMessage();
        ASSERT_GE (tail.size(), 2u);
        EXPECT_EQ (std::vector<std::string> (tail.end() - 2, tail.end()), (std::vector<std::string> { "pause 800", "pause 300" }));
        EXPECT_EQ (bench.handler.input, nullptr);
        EXPECT_EQ (bench.handler.output, nullptr);
        ASSERT_EQ (bench.boxes.boxes.size(), 1u);
        EXPECT_EQ (bench.boxes.boxes[0].kind, juce::MessageBoxIconType::WarningIcon);
        EXPECT_EQ (bench.boxes.boxes[0].title, "Firmware Upgrade Error");
        EXPECT_EQ (bench.boxes.boxes[0].text, juce::String (fault.text));
        EXPECT_TRUE (bench.sink.steps.empty());
        EXPECT_TRUE (bench.unit.getProblems().empty());
    }
}

// Timeouts are counted in polls: a command gets 180; write blocks share a
// count of 179 and each then has 30 of its own.
TEST (UpgradeSequence, ReplyWaitsCountPolls)
{
    struct Case
    {
        const char* name;
        std::function<void (SimulatedUnit&)> arrange;
        bool succeeds;
    };
    const Case cases[] = {
        { "connect at the 180th poll", [] (SimulatedUnit& u) { u.answer (Command::connect, { 180 }); }, true },
        { "reset at the 180th poll", [] (SimulatedUnit& u) { u.answer (Command::reset, { 180 }); }, true },
        { "reset at the 181st poll", [] (SimulatedUnit& u) { u.answer (Command::reset, { 181 }); }, false },
        // The erase packet's last pause and the 100 ms pause come before its polls.
        { "erase at the 180th poll", [] (SimulatedUnit& u) { u.answer (Command::erase, { 182 }); }, true },
        { "erase at the 181st poll", [] (SimulatedUnit& u) { u.answer (Command::erase, { 183 }); }, false },
        { "block 0 at 179, block 1 at 30 polls",
          [] (SimulatedUnit& u) { u.answer (Command::write, { 179 }, 0); u.answer (Command::write, { 30 }, 1); }, true },
        { "block 0 at 179, block 1 at 31 polls",
          [] (SimulatedUnit& u) { u.answer (Command::write, { 179 }, 0); u.answer (Command::write, { 31 }, 1); }, false },
        { "block 0 at 209 polls", [] (SimulatedUnit& u) { u.answer (Command::write, { 209 }, 0); }, true },
        { "block 0 at 210 polls", [] (SimulatedUnit& u) { u.answer (Command::write, { 210 }, 0); }, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        UpgradeBench bench;
        bench.loadImage (1000);
        c.arrange (bench.unit);
        EXPECT_EQ (bench.upgrade(), c.succeeds);
    }
}

TEST (UpgradeSequence, SuccessReportsEveryStageAndEndsAtStepFour)
{
    UpgradeBench bench;
    const auto image = bench.loadImage (513);
    bench.unit.setReplyStatus (0xB0); // the status byte of a reply is not looked at

    ASSERT_TRUE (bench.upgrade());

    // D = 516: connect, erase, then each block adds 512, so the last passes 1.0.
    const double d = 516.0;
    const std::vector<double> expected { 0.8, 0.8 + 0.2 / d, 0.8 + 0.4 / d, 0.8 + 0.2 * 512 / d, 0.8 + 0.2 * 1024 / d };
    ASSERT_EQ (bench.sink.progress.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ (bench.sink.progress[i], expected[i]) << "stage " << i;

    EXPECT_EQ (bench.sink.statuses,
               juce::StringArray ({ "Connecting...", "Erasing...", "Installing...", "Resetting...", "Firmware Upgrade" }));
    EXPECT_EQ (bench.sink.steps, std::vector<int> { 4 });
    ASSERT_EQ (bench.boxes.boxes.size(), 1u);
    EXPECT_EQ (bench.boxes.boxes[0].kind, juce::MessageBoxIconType::InfoIcon);
    EXPECT_EQ (bench.boxes.boxes[0].title, "Firmware Upgrade Success");
    EXPECT_EQ (bench.boxes.boxes[0].text, "Your firmware has been upgraded!");
    EXPECT_EQ (bench.afterLastMessage().back(), "pause 300");
    EXPECT_EQ (bench.handler.input, nullptr);
    EXPECT_EQ (bench.handler.output, nullptr);

    // The image stays: a second upgrade only needs the ports again.
    bench.unit.setReplyStatus (0x9F);
    EXPECT_TRUE (bench.upgrade());
    auto expectedImage = image;
    expectedImage.resize (1024, 0);
    EXPECT_EQ (bench.unit.getImage(), expectedImage);
    EXPECT_TRUE (bench.unit.getProblems().empty());
}
