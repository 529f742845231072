// Wall time of a whole firmware upload (63,487 bytes, 124 blocks) to the
// simulated unit answering at once, with real pauses and real polls, beside
// the floor that the protocol's required pauses and poll periods set.
#include "FirmwareFloor.h"
#include "ProcessorTime.h"
#include "support/UpgradeBench.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace
{
void FirmwareUploadToAnImmediateUnit (benchmark::State& state)
{
    double wallMs = 0, loggedMs = 0, cpuSeconds = 0;
    for (auto _ : state)
    {
        UpgradeBench bench (VirtualMidiPorts::Pauses::recordAndSleep);
        bench.loadImage (63'487);

        const auto start = std::chrono::steady_clock::now();
        const auto cpuAtStart = processorSeconds();
        const bool upgraded = bench.upgrade();
        cpuSeconds += processorSeconds() - cpuAtStart;
        wallMs += std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();

        if (! upgraded)
            state.SkipWithError ("the upgrade failed");
        for (const auto& event : bench.ports->getEvents())
            loggedMs += event.pauseMs + event.pollMs;
    }

    const auto runs = (double) state.iterations();
    const double floorMs = protocolFloorMs (124);
    state.counters["floor_ms"] = floorMs;
    state.counters["waits_logged_ms"] = loggedMs / runs;
    state.counters["wall_ms"] = wallMs / runs;
    state.counters["wall_per_floor"] = wallMs / runs / floorMs;
    state.counters["cpu_s"] = cpuSeconds / runs;
    state.counters["cpu_per_wall"] = cpuSeconds * 1000.0 / wallMs;
}
} // namespace

BENCHMARK (FirmwareUploadToAnImmediateUnit)->Unit (benchmark::kMillisecond)->UseRealTime()->Iterations (1);
