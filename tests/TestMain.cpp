// Test entry point: the main thread becomes JUCE's message thread, as in the
// editor, so GUI components can be built, clicked and run modally.
#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include <alsa/asoundlib.h>
#include <cstdlib>

namespace
{
juce::JUCEApplicationBase* createNoApplication() { return nullptr; }

// ALSA complains on every call when there is no sequencer; the tests don't care.
void silenceAlsa (const char*, int, const char*, int, const char*, ...) {}

// JUCE runs dconf and writes ~/.cache at start-up: keep that in a temporary home.
void useTemporaryHome()
{
    char folder[] = "/tmp/kivra-test-home-XXXXXX";
    if (mkdtemp (folder) != nullptr)
        setenv ("HOME", folder, 1);
}
} // namespace

int main (int argc, char** argv)
{
    useTemporaryHome();
    snd_lib_error_set_handler (silenceAlsa);
    ::testing::InitGoogleTest (&argc, argv);

    // Without a creation function JUCE skips its X error handler, and the
    // first X error would end the process.
    juce::JUCEApplicationBase::createInstance = &createNoApplication;
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
