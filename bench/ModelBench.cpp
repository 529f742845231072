// What the model costs at start-up and on the editor's reset key, and how
// fast port names are recognised (the editor asks for every output it lists).
#include "model/Dolmaris.h"
#include "model/Product.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// Building the state builds the four default maps: 4 x 108 control nodes.
void BM_BuildDefaultMaps (benchmark::State& state)
{
    for (auto _ : state)
    {
        auto impl = std::make_unique<Dolmaris::Impl>();
        benchmark::DoNotOptimize (impl.get());
    }
    state.SetItemsProcessed (state.iterations() * 4);
    state.SetLabel ("maps");
}
BENCHMARK (BM_BuildDefaultMaps)->Unit (benchmark::kMicrosecond);

// The editor's reset key: one map, per working mode.
void BM_SetDefaultValues (benchmark::State& state)
{
    CtMap map { CtMode (static_cast<int> (state.range (0))) };
    for (auto _ : state)
        map.setDefaultValues();
    state.SetItemsProcessed (state.iterations() * CtKind::numControls);
    state.SetLabel (CtMode::slugForType (static_cast<int> (state.range (0))).toStdString() + ", controls");
}
BENCHMARK (BM_SetDefaultValues)->DenseRange (0, 3)->Unit (benchmark::kMicrosecond);

// Port names as a MIDI system lists them: the two surfaces, other products of
// the range (early, late and middle patterns) and names of no product, which
// try all 43 patterns.
const juce::StringArray& realisticPortNames()
{
    static const juce::StringArray names {
        "Zevo Dolm AR RT MIDI 1",   "Zevo Dolm AR V2 Port 1",    "Zevo Dolm AR MIDI 1",
        "Zevo Dolm ET MIDI 1",      "Zevo Stavel K+ MIDI",       "Zevo Stavel Lume",
        "Zevo Brimtal 4R MIDI 1",   "Zevo Brimtal 2T VST",       "Zevo Brimtal 6T (VO V)",
        "Zevo Brimtal 3T MIDI 1",   "Zevo Brimtal 5 Mini",       "Zevo Brim Tal 6 Port 2",
        "Zevo firmware upgrade",    "Midi Through Port-0",       "IAC Driver Bus 1",
        "USB MIDI Interface MIDI 1"
    };
    return names;
}

void BM_FromDeviceName (benchmark::State& state)
{
    const auto& names = realisticPortNames();
    for (auto _ : state)
        for (const auto& name : names)
            benchmark::DoNotOptimize (zevo::Product::fromDeviceName (name).pid);
    state.SetItemsProcessed (state.iterations() * names.size());
    state.SetLabel ("port names");
}
BENCHMARK (BM_FromDeviceName);

// The slowest case: a name of no product, tried against every pattern.
void BM_FromDeviceNameNoMatch (benchmark::State& state)
{
    const juce::String name ("USB MIDI Interface MIDI 1");
    for (auto _ : state)
        benchmark::DoNotOptimize (zevo::Product::fromDeviceName (name).pid);
    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (BM_FromDeviceNameNoMatch);
} // namespace
