// The upload of a firmware image to a simulated unit: every way it ends, the
// reply waits counted in polls, and what the wizard is told on the way.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
using Unit = SimulatedUnit;
constexpr int command = 17, block = 530, all = 3 * command + 2 * block, late = 1000;
const char* const wrongFile = "Wrong file or cannot find this file!";
const char* const noConnect = "Could not connect to hardware";
const char* const noErase = "Could not erase existing firmware";
const char* const noWrite = "Could not write new firmware";
const char* const upgraded = "Your firmware has been upgraded!";

struct Case
{
    const char* name;
    std::function<void (UpgradeBench&)> arrange;
    juce::String text; // of the box at the end
    int messagesSent;  // to the unit, all told
};

// Timeouts are counted in polls: a command gets 180 (the erase reply's first
// two waits are its last byte's pause and the 100 ms); write blocks share a
// count of 179 and each then has 30 of its own.
const Case cases[] = {
    { "no input", [] (UpgradeBench& b) { b.handler.output = b.ports->openOutput ("Zevo firmware upgrade 1"); },
      "No MIDI input device is open", 0 },
    { "no output", [] (UpgradeBench& b) { b.handler.input = b.ports->openInput ("Zevo firmware upgrade 1", &b.handler); },
      "No MIDI output device is open", 0 },
    { "511 bytes", [] (UpgradeBench& b) { b.loadImage (511); }, wrongFile, 0 },
    { "63,488 bytes", [] (UpgradeBench& b) { b.loadImage (63'488); }, wrongFile, 0 },
    { "size without the bytes", [] (UpgradeBench& b) { b.handler.image.resize (512); }, wrongFile, 0 },
    { "file gone", [] (UpgradeBench& b) { b.handler.openProgram (b.scratch.folder.getChildFile ("gone.bin")); }, wrongFile, 0 },
    // A file too large for an image, or a device, is refused without being read.
    { "3 MB", [] (UpgradeBench& b) { b.loadImage (3'000'000); EXPECT_TRUE (b.handler.image.empty()); }, wrongFile, 0 },
    { "a device", [] (UpgradeBench& b) { b.handler.openProgram (juce::File ("/dev/zero")); }, wrongFile, 0 },
    { "connect at poll 180", [] (UpgradeBench& b) { b.unit.answer (Unit::connect, 180); }, upgraded, all },
    { "connect at poll 181", [] (UpgradeBench& b) { b.unit.answer (Unit::connect, 181); }, noConnect, command },
    { "erase at poll 180", [] (UpgradeBench& b) { b.unit.answer (Unit::erase, 182); }, upgraded, all },
    { "erase at poll 181", [] (UpgradeBench& b) { b.unit.answer (Unit::erase, 183); }, noErase, 2 * command },
    { "no erase argument for code 200", [] (UpgradeBench& b) { b.handler.productCode = 200; }, noErase, command },
    { "block 0 at poll 209", [] (UpgradeBench& b) { b.unit.answer (Unit::write, 209, 0, 0); }, upgraded, all },
    { "block 0 at poll 210", [] (UpgradeBench& b) { b.unit.answer (Unit::write, 210, 0, 0); }, noWrite, 2 * command + block },
    { "block 0 at 179, block 1 at 30",
      [] (UpgradeBench& b) { b.unit.answer (Unit::write, 179, 0, 0); b.unit.answer (Unit::write, 30, 0, 1); }, upgraded, all },
    { "block 0 at 179, block 1 at 31",
      [] (UpgradeBench& b) { b.unit.answer (Unit::write, 179, 0, 0); b.unit.answer (Unit::write, 31, 0, 1); },
      noWrite, 2 * command + 2 * block },
    // Block 0's second acknowledgement arrives while block 1 is being sent:
    // it must not count for block 1.
    { "late duplicate of block 0, block 1 unanswered",
      [] (UpgradeBench& b) { b.unit.answer (Unit::write, 1, 10, 0); b.unit.answer (Unit::write, late, 0, 1); },
      noWrite, 2 * command + 2 * block },
    // A quick unit answers before the sender has gone on from the last byte.
    { "every block answered as its last byte arrives", [] (UpgradeBench& b) { b.unit.answer (Unit::write, 0); }, upgraded, all },
    { "unit vanishes in block 1", [] (UpgradeBench& b) { b.unit.vanishDuringBlock (1); }, noWrite, 2 * command + 2 * block },
    { "reset at poll 180", [] (UpgradeBench& b) { b.unit.answer (Unit::reset, 180); }, upgraded, all },
    { "reset at poll 181", [] (UpgradeBench& b) { b.unit.answer (Unit::reset, 181); },
      "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, then turn back on for changes to "
      "take effect", all },
};
} // namespace

// Nothing more is sent after a failure, both ports end closed, and the box
// shows the text; a success reports every stage on the way.
TEST (UpgradeSequence, EveryWayItEndsStopsSendingClosesThePortsAndShowsItsBox)
{
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        UpgradeBench bench;
        bench.loadImage (1000);
        c.arrange (bench);
        if (bench.handler.input == nullptr && bench.handler.output == nullptr)
            bench.handler.openPorts ("Zevo firmware upgrade 1");
        const bool success = c.text == upgraded;

        EXPECT_EQ (zevo::runUpgradeSequence (bench.handler, bench.sink), success);

        int sent = 0;
        for (const auto& event : bench.ports->getEvents())
            sent += event.isPause() || event.isPoll() ? 0 : 1;
        EXPECT_EQ (sent, c.messagesSent);
        EXPECT_EQ (bench.ports->getEvents().back().describe(), "pause 300");
        EXPECT_EQ (bench.handler.input, nullptr);
        EXPECT_EQ (bench.handler.output, nullptr);
        ASSERT_EQ (bench.boxes.boxes.size(), 1u);
        EXPECT_EQ (bench.boxes.boxes[0].title, success ? "Firmware Upgrade Success" : "Firmware Upgrade Error");
        EXPECT_EQ (bench.boxes.boxes[0].text, c.text);
        EXPECT_EQ (bench.sink.steps, success ? std::vector<int> { 4 } : std::vector<int>());
        EXPECT_TRUE (bench.unit.getProblems().empty());
        if (! success)
            continue;

        // D = 1003: connect, erase, then each block adds 512, so the last passes 1.0.
        const std::vector<double> progress { 0, 1, 2, 512, 1024 };
        ASSERT_EQ (bench.sink.progress.size(), progress.size());
        for (size_t i = 0; i < progress.size(); ++i)
            EXPECT_DOUBLE_EQ (bench.sink.progress[i], 0.8 + 0.2 * progress[i] / 1003) << "stage " << i;
        EXPECT_EQ (bench.sink.statuses,
                   juce::StringArray ({ "Connecting...", "Erasing...", "Installing...", "Resetting...", "Firmware Upgrade" }));
    }
}

// Replies keep arriving on the MIDI thread while the handler goes away: the
// input must be stopped before the flags it writes are gone (the sanitizer
// builds see the difference).
TEST (MidiInputHandler, DeletedWhileRepliesKeepArriving)
{
    for (int round = 0; round < 20; ++round)
    {
        ScopedVirtualMidiPorts ports;
        const int input = ports->addInput ("Zevo firmware upgrade 1");
        ports->addOutput ("Zevo firmware upgrade 1");
        auto handler = std::make_unique<zevo::FirmwareUpgradeComponent::MidiInputHandler> (nullptr, 79);
        ASSERT_TRUE (handler->openPorts ("Zevo firmware upgrade 1"));

        std::atomic<bool> talking { true };
        std::thread unit ([&] {
            while (talking)
            {
                ports->deliverToInput (input, juce::MidiMessage (0x9F, 0x7F, 0x00));
                std::this_thread::sleep_for (std::chrono::microseconds (20));
            }
        });
        while (! handler->connectReplied)
            std::this_thread::yield();
        handler.reset();
        talking = false;
        unit.join();
    }
}
