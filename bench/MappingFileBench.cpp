// Time to save the current map to a mapping file and to load one back.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

#include <benchmark/benchmark.h>

namespace
{
// A model on a fresh state, with its settings and its file kept in a
// temporary folder that goes when the benchmark ends.
struct MappingFileFixture
{
    MappingFileFixture()
    {
        folder.createDirectory();
        SettingsLocation::redirectBelow (folder);
        model.impl = std::make_unique<Dolmaris::Impl>();
        model.impl->setCurrentMode (CtMode (CtMode::userDefined));
    }

    ~MappingFileFixture() { folder.deleteRecursively(); }

    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getNonexistentChildFile ("kivra-bench", {}, false);
    Dolmaris& model = *Dolmaris::getInstance();
    juce::File mappingFile = folder.getChildFile ("bench.kivra");
};

void BM_SaveCurrentMapping (benchmark::State& state)
{
    MappingFileFixture fixture;

    for (auto _ : state)
        if (fixture.model.saveCurrentMapping (fixture.mappingFile).failed())
            state.SkipWithError ("save failed");

    state.SetBytesProcessed (state.iterations() * fixture.mappingFile.getSize());
}
BENCHMARK (BM_SaveCurrentMapping)->Unit (benchmark::kMicrosecond);

void BM_OpenFile (benchmark::State& state)
{
    MappingFileFixture fixture;
    if (fixture.model.saveCurrentMapping (fixture.mappingFile).failed())
        state.SkipWithError ("save failed");

    for (auto _ : state)
        if (fixture.model.openFile (fixture.mappingFile).failed())
            state.SkipWithError ("load failed");

    state.SetBytesProcessed (state.iterations() * fixture.mappingFile.getSize());
}
BENCHMARK (BM_OpenFile)->Unit (benchmark::kMicrosecond);
} // namespace

namespace
{
// The costliest file the loader accepts: close to the size and element
// limits, every attribute name distinct (each one enters JUCE's string pool).
void BM_OpenFileAtTheLimits (benchmark::State& state)
{
    MappingFileFixture fixture;
    juce::String text ("<map mode=\"user-defined\"><controls>");
    for (int element = 0; element < 2600; ++element)
    {
        text << "<control id=\"" << (element % 108 + 1) << "\"";
        for (int attribute = 0; attribute < 6; ++attribute)
            text << " n" << element << "x" << attribute << "=\"1\"";
        text << "/>";
    }
    text << "</controls></map>";
    fixture.mappingFile.replaceWithText (text);

    for (auto _ : state)
        if (fixture.model.openFile (fixture.mappingFile).failed())
            state.SkipWithError ("load failed");

    state.SetBytesProcessed (state.iterations() * fixture.mappingFile.getSize());
}
BENCHMARK (BM_OpenFileAtTheLimits)->Unit (benchmark::kMillisecond);
} // namespace
