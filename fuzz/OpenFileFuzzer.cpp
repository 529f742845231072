// Feeds arbitrary bytes to Dolmaris::openFile as a mapping file. Whatever the
// file holds, the model must keep a current map of a working mode, a refused
// file must change nothing, and a loaded map must save and load again as it was.
//
// Build and run (from the repository root):
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
//       -DKIVRA_FUZZ=ON -DKIVRA_TESTS=OFF -DKIVRA_BENCH=OFF
//   cmake --build build-fuzz --target OpenFileFuzzer -j8
//   mkdir -p build-fuzz/corpus && build-fuzz/fuzz/OpenFileFuzzer build-fuzz/corpus fuzz/corpus \
//       -dict=fuzz/mapping.dict -max_total_time=60 -timeout=10
#include "model/Dolmaris.h"
#include "model/MappingDocument.h"
#include "model/SettingsLocation.h"

#include <cstdint>
#include <cstdlib>

namespace
{
juce::File workFolder;

void require (bool condition)
{
    if (! condition)
        std::abort();
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

void requireRoundTrip (Dolmaris& model)
{
    const auto loaded = model.impl->currentMap.createCopy();
    const auto saved = workFolder.getChildFile ("saved.kivra");
    require (model.saveCurrentMapping (saved).wasOk());

    // Escaping can make a large file larger than the loader accepts.
    if (saved.getSize() > MappingDocument::maxFileSize)
        return;

    require (model.openFile (saved).wasOk());
    require (model.impl->currentMap.isEquivalentTo (loaded));
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // libFuzzer may leave without running exit handlers, so one fixed folder
    // is reused (and emptied) by every run instead of removed at the end.
    workFolder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kivra-fuzz-open-file");
    workFolder.deleteRecursively();
    require (workFolder.createDirectory().wasOk());
    SettingsLocation::redirectBelow (workFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& model = *Dolmaris::getInstance();
    model.impl = std::make_unique<Dolmaris::Impl>(); // every input meets the same model

    const auto input = workFolder.getChildFile ("input.kivra");
    input.deleteFile();
    {
        juce::FileOutputStream out (input);
        require (out.openedOk() && out.write (data, size));
    }

    const auto modesBefore = model.impl->modes.createCopy();
    const auto result = model.openFile (input);
    requireCurrentWorkingMap (model);

    if (result.failed())
    {
        require (result.getErrorMessage().startsWith (MappingDocument::loadFailure));
        require (model.impl->modes.isEquivalentTo (modesBefore));
        return 0;
    }

    requireRoundTrip (model);
    requireCurrentWorkingMap (model);
    return 0;
}
