// Wall time of a whole upload of the default map, with the real 2 ms pauses,
// beside the time the pauses alone require: the ratio shows what sending and
// sleeping add on top of the protocol's own pacing.
#include "model/Dolmaris.h"
#include "model/MidiPorts.h"
#include "ProcessorTime.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

namespace
{
/** One output that swallows every message and really pauses. */
class SleepingPorts final : public MidiPorts
{
public:
    juce::StringArray getOutputNames() override { return { "Dolm AR" }; }
    juce::StringArray getInputNames() override { return {}; }

    std::unique_ptr<MidiOutputPort> openOutput (int index) override
    {
        return index == 0 ? std::make_unique<Output> (*this) : nullptr;
    }

    std::unique_ptr<MidiInputPort> openInput (int, juce::MidiInputCallback*) override { return nullptr; }

    // The editor's own pause, so the figure is the editor's.
    void pause (int milliseconds) override
    {
        pausedMs += milliseconds;
        MidiPorts::getJuceImplementation().pause (milliseconds);
    }

    std::atomic<int64_t> messages { 0 }, pausedMs { 0 };

private:
    class Output final : public MidiOutputPort
    {
    public:
        explicit Output (SleepingPorts& owner) : ports (owner) {}
        juce::String getName() const override { return "Dolm AR"; }
        void sendMessageNow (const juce::MidiMessage&) override { ++ports.messages; }
        void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override { ports.messages += buffer.getNumEvents(); }

    private:
        SleepingPorts& ports;
    };
};

void UploadDefaultMapWithRealPauses (benchmark::State& state)
{
    SleepingPorts ports;
    auto* previous = MidiPorts::install (&ports);

    auto* model = Dolmaris::getInstance();
    model->impl = std::make_unique<Dolmaris::Impl>();
    model->impl->productId = 79;
    model->impl->outputDeviceName = "Dolm AR";

    double wallSeconds = 0, cpuSeconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        const auto cpuAtStart = processorSeconds();
        const auto result = model->sendCurrentMapping();
        cpuSeconds += processorSeconds() - cpuAtStart;
        wallSeconds += std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();

        if (result.failed())
            state.SkipWithError (result.getErrorMessage().toRawUTF8());
    }

    MidiPorts::install (previous);

    const auto uploads = (double) state.iterations();
    const double requiredMs = (double) ports.pausedMs / uploads; // 32 + 2 x 108 pauses of 2 ms = 496 ms
    const double wallMs = 1000.0 * wallSeconds / uploads;

    state.counters["messages"] = (double) ports.messages / uploads;
    state.counters["pauses_ms"] = requiredMs;
    state.counters["wall_ms"] = wallMs;
    state.counters["wall_per_pause"] = wallMs / requiredMs;
    state.counters["cpu_s"] = cpuSeconds / uploads;
    state.counters["cpu_per_wall"] = cpuSeconds / wallSeconds;
}
} // namespace

BENCHMARK (UploadDefaultMapWithRealPauses)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (5);
