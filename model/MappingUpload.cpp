#include "Dolmaris.h"

juce::Result Dolmaris::sendCurrentMapping() { return juce::Result::fail ("No device selected"); }
