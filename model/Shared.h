// Constants every source file of the editor shares. Each file holds its own
// copy (internal linkage); juce::Identifier pools its text, so copies built in
// different files still compare equal.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include "SharedStatics.h"

namespace Tags
{
// Names of the map tree's nodes and properties.
static const juce::Identifier id ("id");
static const juce::Identifier kind ("kind");
static const juce::Identifier type ("type");
static const juce::Identifier chan ("chan");
static const juce::Identifier value ("value");
static const juce::Identifier name ("name");
// Kept for the header's older readers; nothing in the editor reads these.
static const juce::Identifier knobs ("knobs");
static const juce::Identifier faders ("faders");
static const juce::Identifier buttons ("buttons");
static const juce::Identifier control ("control");
// The tree of maps.
static const juce::Identifier controls ("controls");
static const juce::Identifier map ("map");
static const juce::Identifier mode ("mode");
static const juce::Identifier modes ("modes");
// Kept for the header's older readers; nothing in the editor reads these.
static const juce::Identifier aid ("aid");
static const juce::Identifier right_value ("right_value");
static const juce::Identifier pt_val ("pt_val");
static const juce::Identifier pt_val_rt ("pt_val_rt");
} // namespace Tags

// Node names of the expression trees the shared header also serves; unused here.
namespace TreeTag
{
static const juce::Identifier sym ("sym");
static const juce::Identifier tid ("tid");
static const juce::Identifier siz ("siz");
static const juce::Identifier val ("val");
static const juce::Identifier pre ("pre");
static const juce::Identifier car ("car");
static const juce::Identifier cdr ("cdr");
static const juce::Identifier lit ("lit");
} // namespace TreeTag
