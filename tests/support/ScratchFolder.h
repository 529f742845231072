// A folder of the test's own, removed with all it holds: CTest runs tests in
// parallel processes, so the name must not collide.
#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <fstream>

namespace testsupport
{
struct ScratchFolder
{
    ScratchFolder() { char path[] = "/tmp/kivra-test-XXXXXX"; if (mkdtemp (path) != nullptr) folder = juce::File (path); }
    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File withBytes (const juce::String& name, const std::string& bytes) const
    {
        const auto file = folder.getChildFile (name); // (replaceWithData would delete an empty file)
        std::ofstream (file.getFullPathName().toStdString(), std::ios::binary).write (bytes.data(), (std::streamsize) bytes.size());
        return file;
    }

    juce::File folder;
};
} // namespace testsupport
