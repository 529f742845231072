// What the upgrader's tests and benchmark share: a simulated unit on virtual
// ports, the recording box layer, a sink that keeps what the upload reports,
// and firmware files of any size in a temporary folder.
#pragma once

#include "RecordedBoxes.h"
#include "ScratchFolder.h"
#include "SimulatedUnit.h"
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

struct UpgradeBench
{
    explicit UpgradeBench (VirtualMidiPorts::Pauses pauses = VirtualMidiPorts::Pauses::recordOnly, int productCode = 79)
        : ports (pauses), handler (nullptr, productCode)
    {
        zevo::_mac_major = juce::SystemStats::getOperatingSystemType() - 0x100;
    }

    /** Loads a file of an image of this size into the handler; returns the image. */
    std::vector<uint8_t> loadImage (size_t size)
    {
        const auto bytes = makeImage (size);
        handler.openProgram (scratch.withBytes ("firmware" + juce::String (++files) + ".bin", { bytes.begin(), bytes.end() }));
        return bytes;
    }

    bool upgrade()
    {
        handler.openPorts ("Zevo firmware upgrade 1");
        return zevo::runUpgradeSequence (handler, sink);
    }

    testsupport::ScratchFolder scratch;
    int files = 0;
    ScopedVirtualMidiPorts ports;
    SimulatedUnit unit { *ports };
    RecordedBoxes boxes;
    RecordingSink sink;
    zevo::FirmwareUpgradeComponent::MidiInputHandler handler;
};
