#include "MidiPorts.h"

#include "Pacing.h"

#include <juce_events/juce_events.h>

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

void MidiPorts::runMessageLoop (int milliseconds)
{
    auto* messageManager = juce::MessageManager::getInstanceWithoutCreating();
    if (messageManager == nullptr || ! messageManager->isThisTheMessageThread())
    {
        Pacing::sleepFor (milliseconds);
        return;
    }

    // JUCE's loop counts whole milliseconds and may sleep one more, so it is
    // given the time less a millisecond and the wait ends on its deadline. A
    // quit request ends the loop early; the wait still lasts its time.
    const auto deadline = Pacing::deadlineAfter (milliseconds);
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (deadline - Pacing::now()).count();
        if (left <= 1 || ! messageManager->runDispatchLoopUntil ((int) left - 1))
            break;
    }
    Pacing::sleepUntil (deadline);
}
