#include "MidiPorts.h"

#include <atomic>

namespace
{
std::atomic<MidiPorts*> installedPorts { nullptr };
} // namespace

std::unique_ptr<MidiOutputPort> MidiPorts::openOutput (const juce::String& exactName)
{
    const int index = getOutputNames().indexOf (exactName);
    return index >= 0 ? openOutput (index) : nullptr;
}

std::unique_ptr<MidiInputPort> MidiPorts::openInput (const juce::String& exactName, juce::MidiInputCallback* callback)
{
    const int index = getInputNames().indexOf (exactName);
    return index >= 0 ? openInput (index, callback) : nullptr;
}

MidiPorts& MidiPorts::get()
{
    if (auto* ports = installedPorts.load())
        return *ports;

    return getJuceImplementation();
}

MidiPorts* MidiPorts::install (MidiPorts* ports) noexcept
{
    return installedPorts.exchange (ports);
}
