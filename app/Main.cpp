// The editor's entry point.
#include "DolmarisApplication.h"

START_JUCE_APPLICATION (DolmarisApplication)
