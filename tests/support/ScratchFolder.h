// A folder of the test's own, removed with all it holds: CTest runs tests in
// parallel processes, so the name must not collide.
#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>

namespace testsupport
{
struct ScratchFolder
{
    ScratchFolder() { char path[] = "/tmp/kivra-test-XXXXXX"; if (mkdtemp (path) != nullptr) folder = juce::File (path); }
    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File withBytes (const juce::String& name, const std::string& bytes) const
    {
        auto file = folder.getChildFile (name);
        file.deleteFile();
        file.create();
        file.appendData (bytes.data(), bytes.size()); // also where empty: replaceWithData would delete it
        return file;
    }

    juce::File folder;
};
} // namespace testsupport
