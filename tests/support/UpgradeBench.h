// What the upgrader's tests share: a simulated unit on virtual ports, the
// recording box layer, a sink that keeps what the upload reports, and
// firmware files of any size in a temporary folder.
#pragma once

#include "RecordedBoxes.h"
#include "SimulatedUnit.h"
#include "VirtualMidiPorts.h"
#include "modules/zevo_firmware/UpgradePackets.h"
#include "modules/zevo_firmware/UpgradeSequence.h"


struct RecordingSink final : zevo::UpgradeProgressSink
{
    void setUpgradeProgress (double value) override { progress.push_back (value); }
    void setUpgradeStatus (const juce::String& text) override { statuses.add (text); }
    void updateProgress (int step) override { steps.push_back (step); }

    std::vector<double> progress;
    juce::StringArray statuses;
    std::vector<int> steps;
};

/** Bytes that differ from block to block and from their neighbours. */
inline std::vector<uint8_t> makeImage (size_t size)
{
    std::vector<uint8_t> image (size);
    for (size_t i = 0; i < size; ++i)
        image[i] = (uint8_t) ((i * 7 + i / 512 * 13 + 1) & 0xFF);
    return image;
}

class UpgradeBench
{
public:
    using Handler = zevo::FirmwareUpgradeComponent::MidiInputHandler;

    explicit UpgradeBench (VirtualMidiPorts::Pauses pauses = VirtualMidiPorts::Pauses::recordOnly, int productCode = 79)
        : ports (pauses), handler (nullptr, productCode)
    {
        zevo::_mac_major = juce::SystemStats::getOperatingSystemType() - 0x100;
        folder.createDirectory();
    }

    ~UpgradeBench() { folder.deleteRecursively(); }

    juce::File writeFile (const std::vector<uint8_t>& bytes)
    {
        auto file = folder.getChildFile ("firmware" + juce::String (++files) + ".bin");
        file.replaceWithData (bytes.data(), bytes.size());
        return file;
    }

    /** Loads an image of this size into the handler; returns its bytes. */
    std::vector<uint8_t> loadImage (size_t size)
    {
        auto bytes = makeImage (size);
        handler.openProgram (writeFile (bytes));
        return bytes;
    }

    bool upgrade()
    {
        handler.openPorts ("Zevo firmware upgrade 1");
        return zevo::runUpgradeSequence (handler, sink);
    }

    /** The messages that reached the unit's port. */
    int messagesToUnit()
    {
        int count = 0;
        for (const auto& event : ports->getEvents())
            count += event.outputIndex == unit.outputIndex ? 1 : 0;
        return count;
    }

    /** Everything logged after the last message sent to anyone. */
    std::vector<std::string> afterLastMessage()
    {
        const auto events = ports->getEvents();
        std::vector<std::string> tail;
        for (const auto& event : events)
        {
            if (! event.isPause() && ! event.isPoll())
                tail.clear();
            else
                tail.push_back (event.describe());
        }
        return tail;
    }

    juce::File folder { juce::File::createTempFile ("upgrade") };
    int files = 0;
    ScopedVirtualMidiPorts ports;
    SimulatedUnit unit { *ports };
    RecordedBoxes boxes;
    RecordingSink sink;
    Handler handler;
};
