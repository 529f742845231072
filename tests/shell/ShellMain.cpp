// Runs one application-shell scenario per process, as the editor runs: the
// main thread is the message thread, HOME, the settings files and the user's
// runtime folder (where the running editor listens) lie in a temporary folder.
#include "model/SettingsLocation.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace
{
juce::JUCEApplicationBase* createNoApplication() { return nullptr; }

juce::File useTemporaryFolders()
{
    char folder[] = "/tmp/kivra-shell-XXXXXX";
    if (mkdtemp (folder) == nullptr)
        std::abort();

    const juce::File root (folder);
    root.getChildFile ("home").createDirectory();
    setenv ("HOME", root.getChildFile ("home").getFullPathName().toRawUTF8(), 1);
    setenv ("XDG_RUNTIME_DIR", root.getFullPathName().toRawUTF8(), 1);
    SettingsLocation::redirectBelow (root);
    return root;
}
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    if (! ::testing::GTEST_FLAG (list_tests))
    {
        if (argc != 2)
        {
            std::cerr << "usage: " << argv[0] << " <scenario>   (--gtest_list_tests lists them)\n";
            return 2;
        }
        ::testing::GTEST_FLAG (filter) = std::string ("ApplicationShell.") + argv[1];
    }

    const auto root = useTemporaryFolders();
    // Without a creation function JUCE skips its X error handler.
    juce::JUCEApplicationBase::createInstance = &createNoApplication;
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }
    root.deleteRecursively();

    // A misspelt scenario would otherwise pass by running nothing.
    if (! ::testing::GTEST_FLAG (list_tests) && ::testing::UnitTest::GetInstance()->test_to_run_count() != 1)
    {
        std::cerr << "no such scenario: " << argv[1] << "\n";
        return 2;
    }
    return result;
}
