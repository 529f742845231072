// Runs one model-lifecycle scenario per process: the model can be created only
// once per run, so a second scenario in the same process would find it gone.
#include <juce_events/juce_events.h>
#include <gtest/gtest.h>

#include <iostream>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const bool listing = ::testing::GTEST_FLAG (list_tests);
    if (! listing)
        ::testing::GTEST_FLAG (filter) = std::string ("*.") + (argc == 2 ? argv[1] : "");

    // The settings file has a save timer and sends change messages, as in the
    // editor; both need the message manager.
    juce::ScopedJuceInitialiser_GUI juce;
    const int result = RUN_ALL_TESTS();

    // A missing or misspelt scenario would otherwise pass by running nothing.
    if (listing || ::testing::UnitTest::GetInstance()->test_to_run_count() == 1)
        return result;
    std::cerr << "usage: " << argv[0] << " <scenario>   (--gtest_list_tests lists them)\n";
    return 2;
}
