// Test entry point: the main thread becomes JUCE's message thread, as in the
// editor, so GUI components can be built, clicked and run modally.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"
#include "support/ScratchFolder.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

// Without a creation function JUCE skips its X error handler, and the first X
// error would end the process.
static juce::JUCEApplicationBase* createNoApplication() { return nullptr; }

// JUCE opens the X libraries at run time and closes them at exit. What they
// still hold then looks to LeakSanitizer like a leak of ours, since nothing
// loaded refers to it any more; kept loaded, they keep referring to it.
static void keepXLibrariesLoaded()
{
    for (const auto* name : { "libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXinerama.so.1",
                              "libXrender.so.1", "libXrandr.so.2", "libXss.so.1" })
        dlopen (name, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

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

    keepXLibrariesLoaded();
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
