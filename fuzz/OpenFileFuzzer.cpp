// Feeds arbitrary bytes to the mapping-file loader. Whatever the bytes hold,
// the model must keep a current map of a working mode, a refused input must
// change nothing, and a loaded map must save and load again as it was.
//
// The bytes go through Dolmaris::openMappingData, the code openFile runs once
// it has read a file, so most inputs cost no file system work; a small share
// (chosen from the input itself, so a reproducer behaves the same) also goes
// through a real file both ways, openFile and saveCurrentMapping.
//
// Build and run (from the repository root), for 60 s or longer, e.g. on two cores:
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
//       -DKIVRA_FUZZ=ON -DKIVRA_TESTS=OFF -DKIVRA_BENCH=OFF
//   cmake --build build-fuzz --target OpenFileFuzzer -j3
//   fuzz/run-fuzzer.sh build-fuzz/fuzz/OpenFileFuzzer 1800 -fork=2
#include "model/Dolmaris.h"
#include "model/MappingDocument.h"
#include "model/SettingsLocation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
juce::File workFolder;

// Names the broken rule before the crash that libFuzzer reports.
void requireThat (bool condition, const char* rule)
{
    if (! condition)
    {
        std::fprintf (stderr, "broken: %s\n", rule);
        std::abort();
    }
}

#define require(condition) requireThat ((condition), #condition)

// Counts every change made to the modes tree, so a refused input can be
// checked for leaving it alone without copying and comparing the tree.
struct ChangeCounter : juce::ValueTree::Listener
{
    void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override { ++changes; }
    void valueTreeChildAdded (juce::ValueTree&, juce::ValueTree&) override { ++changes; }
    void valueTreeChildRemoved (juce::ValueTree&, juce::ValueTree&, int) override { ++changes; }
    void valueTreeChildOrderChanged (juce::ValueTree&, int, int) override { ++changes; }
    void valueTreeRedirected (juce::ValueTree&) override { ++changes; }

    int changes = 0;
};

ChangeCounter modesChanges;
juce::ValueTree defaultModes; // a copy of a new model's modes tree

Dolmaris& model()
{
    auto& model = *Dolmaris::getInstance();
    if (! defaultModes.isValid()) // the first input: a new model, its default maps kept
    {
        model.impl = std::make_unique<Dolmaris::Impl>();
        defaultModes = model.impl->modes.createCopy();
        model.impl->modes.addListener (&modesChanges);
    }

    return model;
}

// Every input meets the model as it is after construction. Building one costs
// more than most inputs, so after an accepted input only the map it replaced
// is put back, from a copy, and the default mode is made current again. This
// happens before the input's run ends: libFuzzer takes memory an input keeps
// for a possible leak, and stops to look for one.
void restoreDefaults (Dolmaris& model)
{
    auto& modes = model.impl->modes;
    const int replaced = modes.indexOf (model.impl->currentMap);
    require (replaced >= 0 && modes.getNumChildren() == CtMode::numWorkingModes);
    modes.removeChild (replaced, nullptr);
    modes.addChild (defaultModes.getChild (replaced).createCopy(), replaced, nullptr);
    model.impl->setCurrentMode (CtMode (0));
    modesChanges.changes = 0;
}

void requireCurrentWorkingMap (Dolmaris& model)
{
    auto& state = *model.impl;
    const auto mode = model.getCurrCtMode();

    require (state.currentMap.isValid());
    require (mode.isWorkingMode());
    require (state.currentMap.getProperty (Tags::mode).toString() == CtMode::slugForType (mode));
    require (state.currentMap == state.findMode (mode));
    require (state.modes.getNumChildren() == CtMode::numWorkingModes);
}

// One input in 64 takes the way through real files.
bool goesThroughFiles (const uint8_t* data, size_t size)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash % 64 == 0;
}

void requireRoundTrip (Dolmaris& model, bool throughFiles)
{
    const auto loaded = model.impl->currentMap.createCopy();

    if (throughFiles)
    {
        const auto saved = workFolder.getChildFile ("saved.kivra");
        require (model.saveCurrentMapping (saved).wasOk());
        require (saved.getSize() <= MappingDocument::maxFileSize);
        require (model.openFile (saved).wasOk());
    }
    else
    {
        const auto text = MappingDocument::toText (model.impl->currentMap);
        require ((juce::int64) text.getSize() <= MappingDocument::maxFileSize);
        require (model.openMappingData (text.getData(), text.getSize()).wasOk());
    }

    require (model.impl->currentMap.isEquivalentTo (loaded));
}

juce::Result load (Dolmaris& model, const uint8_t* data, size_t size, bool throughFiles)
{
    if (! throughFiles)
        return model.openMappingData (data, size);

    const auto input = workFolder.getChildFile ("input.kivra");
    require (input.replaceWithData (data, size));
    return model.openFile (input);
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // A folder of this process's own: with -fork several processes run at
    // once. run-fuzzer.sh points TMPDIR at a folder it removes afterwards,
    // since libFuzzer may leave without running exit handlers.
    auto path = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("kivra-fuzz-XXXXXX").getFullPathName().toStdString();
    require (mkdtemp (path.data()) != nullptr);
    workFolder = juce::File (path);
    SettingsLocation::redirectBelow (workFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& model = ::model();
    const bool throughFiles = goesThroughFiles (data, size);

    const auto result = load (model, data, size, throughFiles);
    requireCurrentWorkingMap (model);

    if (result.failed())
    {
        require (result.getErrorMessage().startsWith (MappingDocument::loadFailure));
        require (modesChanges.changes == 0);
    }
    else
    {
        requireRoundTrip (model, throughFiles);
        requireCurrentWorkingMap (model);
        restoreDefaults (model);
    }

    // JUCE pools every name it meets for good; the names this input brought
    // are let go, for the same reason.
    juce::StringPool::getGlobalPool().garbageCollect();
    return 0;
}
