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
#include <cstdlib>
#include <cstring>

namespace
{
juce::File workFolder;

void require (bool condition)
{
    if (! condition)
        std::abort();
}

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
int replacedMap = -1;          // the map an accepted input put in place

// Every input meets a model as it is after construction. Building one costs
// more than most inputs, so after an accepted input only the map it replaced
// is put back, from a copy, and the default mode is made current again.
Dolmaris& freshModel()
{
    auto& model = *Dolmaris::getInstance();
    if (model.impl == nullptr || ! defaultModes.isValid())
    {
        model.impl = std::make_unique<Dolmaris::Impl>();
        defaultModes = model.impl->modes.createCopy();
        model.impl->modes.addListener (&modesChanges);
    }
    else if (replacedMap >= 0)
    {
        auto& modes = model.impl->modes;
        modes.removeChild (replacedMap, nullptr);
        modes.addChild (defaultModes.getChild (replacedMap).createCopy(), replacedMap, nullptr);
        model.impl->setCurrentMode (CtMode (0));
    }

    replacedMap = -1;

    modesChanges.changes = 0;
    return model;
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
    auto& model = freshModel();
    const bool throughFiles = goesThroughFiles (data, size);

    const auto result = load (model, data, size, throughFiles);
    requireCurrentWorkingMap (model);

    // JUCE pools every name it meets; names this input brought are let go
    // now, so libFuzzer does not take the pool's growth for a leak and stop
    // to look for one.
    juce::StringPool::getGlobalPool().garbageCollect();

    if (result.failed())
    {
        require (result.getErrorMessage().startsWith (MappingDocument::loadFailure));
        require (modesChanges.changes == 0);
        return 0;
    }

    replacedMap = model.impl->modes.indexOf (model.impl->currentMap);
    requireRoundTrip (model, throughFiles);
    requireCurrentWorkingMap (model);
    return 0;
}
