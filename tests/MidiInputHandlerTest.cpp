// The handler: loading a firmware file, and its life while a unit keeps
// talking to it.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

#include <thread>

using Handler = zevo::FirmwareUpgradeComponent::MidiInputHandler;

// imageSize is the file's length, but the bytes are read only when it can be
// an image: a huge file or a device is never read whole. A file that cannot
// be read gives 0.
TEST (MidiInputHandler, OpenProgramReadsOnlyWhatCanBeAnImage)
{
    UpgradeBench bench;
    const std::pair<const char*, uint64_t> cases[] = { { "3 MB", 3'000'000 }, { "/dev/zero", 0 }, { "missing", 0 }, { ".", 0 } }; // "." is the folder
    for (const auto& [name, imageSize] : cases)
    {
        bench.loadImage (700); // an earlier image is always dropped
        if (imageSize > 0)
            bench.loadImage (imageSize);
        else
            bench.handler.openProgram (name[0] == '/' ? juce::File (name) : bench.folder.getChildFile (name));
        EXPECT_EQ (bench.handler.imageSize, imageSize) << name;
        EXPECT_TRUE (bench.handler.image.empty()) << name;
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
        auto handler = std::make_unique<Handler> (nullptr, 79);
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
