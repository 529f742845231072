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
// Files at the limits the loader accepts, each costly in its own way; the
// slowest of them is the slowest accepted file (the target is 50 ms).

// 4,094 controls whose ids match none of the 108 rows: rebuilding ud looks
// through every control for every row.
juce::String userDefinedUnmatchedIds()
{
    return "<map mode=\"user-defined\"><controls>" + juce::String::repeatedString ("<control id=\"x\"/>", 4094)
           + "</controls></map>";
}

// As many full controls as fit a mapping file once saved.
juce::String userDefinedFullControls()
{
    juce::String text ("<map mode=\"user-defined\"><controls>");
    for (int element = 0; element < 3700; ++element)
        text << "<control id=\"" << (element % 108 + 1) << "\" kind=\"button\" type=\"cc\" chan=\"16\" value=\"127\"/>";
    return text + "</controls></map>";
}

// 250 different attribute names, 60 attributes on each element.
juce::String manyNamesAndAttributes()
{
    juce::String text ("<map mode=\"logic\">");
    for (int element = 0; element < 350; ++element)
    {
        text << "<c";
        for (int attribute = 0; attribute < 60; ++attribute)
            text << " n" << (element * 60 + attribute) % 250 << "=\"\"";
        text << "/>";
    }
    return text + "</map>";
}

// Elements 60 deep, again and again, up to the element limit.
juce::String deepNesting()
{
    const auto branch = juce::String::repeatedString ("<a>", 60) + juce::String::repeatedString ("</a>", 60);
    return "<map mode=\"logic\">" + juce::String::repeatedString (branch, 24) + "</map>";
}

void BM_OpenAcceptedFileAtTheLimits (benchmark::State& state, juce::String (*makeText)())
{
    MappingFileFixture fixture;
    fixture.mappingFile.replaceWithText (makeText());

    for (auto _ : state)
        if (auto result = fixture.model.openFile (fixture.mappingFile); result.failed())
            state.SkipWithError (result.getErrorMessage().toRawUTF8());

    state.SetBytesProcessed (state.iterations() * fixture.mappingFile.getSize());
}
BENCHMARK_CAPTURE (BM_OpenAcceptedFileAtTheLimits, userDefinedUnmatchedIds, userDefinedUnmatchedIds)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_OpenAcceptedFileAtTheLimits, userDefinedFullControls, userDefinedFullControls)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_OpenAcceptedFileAtTheLimits, manyNamesAndAttributes, manyNamesAndAttributes)->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (BM_OpenAcceptedFileAtTheLimits, deepNesting, deepNesting)->Unit (benchmark::kMillisecond);

// The flood of the issue: 24,000 attributes on one element, refused before
// JUCE's parser builds anything.
void BM_RefuseAttributeFlood (benchmark::State& state)
{
    MappingFileFixture fixture;
    juce::String text ("<map mode=\"logic\"");
    for (int attribute = 0; attribute < 24000; ++attribute)
        text << " a" << attribute << "=\"\"";
    fixture.mappingFile.replaceWithText (text + "/>");

    for (auto _ : state)
        if (fixture.model.openFile (fixture.mappingFile).wasOk())
            state.SkipWithError ("the flood was accepted");
}
BENCHMARK (BM_RefuseAttributeFlood)->Unit (benchmark::kMillisecond);
} // namespace
