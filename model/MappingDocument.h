// A mapping file's bytes, both ways. A mapping file comes from anywhere the
// user can browse to (forums, mail), so reading goes through UntrustedXml with
// limits that a file this editor writes never touches: a map holds about a
// hundred elements, nests three levels deep, has at most five attributes per
// element and takes about 10 KB.
#pragma once

#include "UntrustedXml.h"

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

/** No element of a map has more than five attributes; building the tree
    costs more than linear time in their number. */
constexpr int maxAttributesPerElement = 64;

/** A map uses eight names. JUCE keeps every name it meets for the life of
    the process, and each new one costs time in proportion to those it has. */
constexpr int maxDistinctNames = 256;

/** The limits above, as the reader takes them. */
UntrustedXml::Limits limits();

/** The failure text of every refused file, and the start of the longer ones. */
extern const char* const loadFailure;

/** Reads at most maxFileSize + 1 bytes of a regular file (after following
    links); a FIFO, a device or a folder is refused without a blocking open. */
juce::Result readFile (const juce::File& file, juce::MemoryBlock& data);

/** Parses a mapping file's bytes into a tree (node type = tag, properties =
    attributes in file order). Also refused: a map whose saved text would be
    larger than a mapping file may be, so that every map this accepts loads
    again after it is saved. On failure `map` is left invalid and the result
    says why. */
juce::Result parse (const void* data, size_t size, juce::ValueTree& map);

/** The text of a mapping file holding the map, exactly as it is saved. */
juce::MemoryBlock toText (const juce::ValueTree& map);
} // namespace MappingDocument
