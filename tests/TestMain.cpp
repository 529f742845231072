// Test entry point: the main thread becomes JUCE's message thread, as in the
// editor, so GUI components can be built, clicked and run modally.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"
#include "support/KeepXLibrariesLoaded.h"
#include "support/ScratchFolder.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include <cstdlib>

// Without a creation function JUCE skips its X error handler, and the first X
// error would end the process.
static juce::JUCEApplicationBase* createNoApplication() { return nullptr; }

int main (int argc, char** argv)
{
    // JUCE runs dconf and writes ~/.cache at start-up, the model keeps settings
    // files, and a running-instance link makes a folder when there is no runtime
    // folder: all of it goes into one temporary folder, removed at the end.
    const testsupport::ScratchFolder scratch;
    const auto& root = scratch.folder;
    root.getChildFile ("home").createDirectory();
    setenv ("HOME", root.getChildFile ("home").getFullPathName().toRawUTF8(), 1);
    setenv ("XDG_RUNTIME_DIR", root.getFullPathName().toRawUTF8(), 1);
    SettingsLocation::redirectBelow (root);

    testsupport::keepXLibrariesLoaded();
    ::testing::InitGoogleTest (&argc, argv);
    juce::JUCEApplicationBase::createInstance = &createNoApplication;
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
        Dolmaris::deleteInstance(); // as the editor's shut-down does
    }
    return result;
}
