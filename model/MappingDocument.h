// Reading a mapping file's XML without trusting it. A mapping file comes from
// anywhere the user can browse to, and JUCE's XmlDocument, handed a file, will
// read whatever a DOCTYPE names beside it, expands entities without bound, and
// recurses once per nesting level. A file this editor writes holds about a
// hundred elements, no DOCTYPE and a few kilobytes, so the limits below never
// touch a real mapping file.
#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace MappingDocument
{
/** Files larger than this are not mapping files (one is about 10 KB). */
constexpr juce::int64 maxFileSize = 256 * 1024;

/** A map holds 110 elements; this bounds the parser's recursion depth. */
constexpr int maxElements = 4096;

/** The failure text of every refused file, and the start of the longer ones. */
extern const char* const loadFailure;

/** Reads and parses the whole file. On success `element` holds the root;
    on failure it is left empty and the result says why. */
juce::Result read (const juce::File& file, std::unique_ptr<juce::XmlElement>& element);
} // namespace MappingDocument
