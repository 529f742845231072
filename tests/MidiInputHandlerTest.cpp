// Loading a firmware file into the handler, and the handler's life while a
// unit keeps talking to it.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
using Handler = zevo::FirmwareUpgradeComponent::MidiInputHandler;
} // namespace

// imageSize is the file's length; the bytes are read, and padded with zeros
// to whole blocks with room for one more byte, only when the length can be
// an image. A file that cannot be read gives 0.
TEST (MidiInputHandler, OpenProgramReadsOnlyWhatCanBeAnImage)
{
    UpgradeBench bench;
    struct Case
    {
        const char* name;
        juce::File file;
        uint64_t imageSize;
        size_t bufferSize; // 0: nothing read
    };
    const auto sized = [&] (size_t size) { return bench.writeFile (makeImage (size)); };
    const Case cases[] = {
        { "empty", sized (0), 0, 0 },
        { "511 bytes", sized (511), 511, 0 },
        { "512 bytes", sized (512), 512, 1024 },
        { "513 bytes", sized (513), 513, 1024 },
        { "1023 bytes", sized (1023), 1023, 1024 },
        { "63,487 bytes", sized (63'487), 63'487, 63'488 },
        { "63,488 bytes", sized (63'488), 63'488, 0 },
        { "3 MB", sized (3'000'000), 3'000'000, 0 },
        { "missing", bench.folder.getChildFile ("missing.bin"), 0, 0 },
        { "a folder", bench.folder, 0, 0 },
        { "a device", juce::File ("/dev/zero"), 0, 0 },
    };

    for (const auto& c : cases)
    {
        Handler handler (nullptr, 79);
        handler.openProgram (sized (700)); // an earlier image is always dropped
        handler.openProgram (c.file);

        EXPECT_EQ (handler.imageSize, c.imageSize) << c.name;
        EXPECT_EQ (handler.firmwareFile, c.file) << c.name;
        ASSERT_EQ (handler.image.size(), c.bufferSize) << c.name;
        if (c.bufferSize == 0)
            continue;

        auto expected = makeImage (c.imageSize);
        expected.resize (c.bufferSize, 0);
        EXPECT_TRUE (handler.image == expected) << c.name;
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
