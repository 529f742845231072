// Benchmarks of the model, the upload and the product table. They print
// figures; nothing here fails on a time.
#include <juce_gui_basics/juce_gui_basics.h>
#include <benchmark/benchmark.h>

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
