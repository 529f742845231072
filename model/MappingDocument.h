// Reading a mapping file's XML without trusting it. A mapping file comes from
// anywhere the user can browse to, and JUCE's XmlDocument, handed a file, will
// read whatever a DOCTYPE names beside it, expands entities without bound, and
// recurses once per nesting level. A file this editor writes holds about a
// hundred elements, no DOCTYPE and a few kilobytes, so the limits below never
// touch a real mapping file.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace MappingDocument
{
/** Files larger than this are not mapping files (one is about 10 KB). */
constexpr juce::int64 maxFileSize = 256 * 1024;

/** A map holds 110 elements; this bounds the parser's recursion depth. */
constexpr int maxElements = 4096;

/** A map nests three levels deep. Each level adds to the cost of building
    the tree (every insertion notifies the whole inserted subtree). */
constexpr int maxDepth = 64;

/** The failure text of every refused file, and the start of the longer ones. */
extern const char* const loadFailure;

/** Reads and parses the whole file into a tree (node type = tag, properties
    = attributes in file order). On failure `map` is left invalid and the
    result says why. */
juce::Result read (const juce::File& file, juce::ValueTree& map);
} // namespace MappingDocument
