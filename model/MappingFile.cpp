#include "Dolmaris.h"

juce::Result Dolmaris::saveCurrentMapping (const juce::File&) { return juce::Result::fail ("Failed to write mapping file"); }
juce::Result Dolmaris::openFile (const juce::File&) { return juce::Result::fail ("Could not load mapping data"); }
