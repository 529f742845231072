// The upgrader's MIDI companion: the unit's upgrade-mode ports, the firmware
// image to send, and the flags that the unit's replies set. The replies arrive
// on the MIDI system's thread and the upgrade polls the flags on the message
// thread, so the flags are atomic.
#pragma once

#include "FirmwareUpgradeComponent.h"
#include "model/MidiPorts.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace zevo
{
class FirmwareUpgradeComponent::MidiInputHandler : public juce::MidiInputCallback
{
public:
    MidiInputHandler (FirmwareUpgradeComponent* owner, int productCode);

    /** Stops the input first, so no reply runs into a handler being destroyed. */
    ~MidiInputHandler() override;

    /** Sets the flag named by the reply's first data byte (the reply codes). */
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

    /** Loads a firmware image. imageSize becomes the file's length; the bytes
        are read only when that length can be an image (512..63,487), so a
        huge file or a device file is refused without being read. A file
        that cannot be read, or that shrank or vanished, gives what was
        really read (0 when nothing). */
    void openProgram (const juce::File& file);

    /** Closes any earlier pair, then opens the input (started, this handler as
        its callback) and the output of this exact name. True when both opened. */
    bool openPorts (const juce::String& portName);

    /** Stops and closes the input and closes the output (both null afterwards). */
    void closePorts();

    void clearReplyFlags() noexcept;

    /** The image's size is one the unit takes: 512..63,487 bytes. */
    static bool isValidImageSize (uint64_t size) noexcept;

    static constexpr uint64_t minimumImageSize = 512;
    static constexpr uint64_t maximumImageSize = 63'487;
    static constexpr int blockSize = 512;

    FirmwareUpgradeComponent* owner;
    std::unique_ptr<MidiInputPort> input;
    std::unique_ptr<MidiOutputPort> output;
    juce::File firmwareFile;
    std::vector<uint8_t> image; // the image, then zeros up to a whole block; empty when none
    uint64_t imageSize = 0;
    int productCode;
    std::atomic<bool> resetReplied { false }, writeReplied { false }, eraseReplied { false }, connectReplied { false };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiInputHandler)
};
} // namespace zevo
