// Reading XML that came from outside: mapping files, settings files a user has
// edited, the firmware catalogue. JUCE 7.0.5 must not see such bytes raw: its
// UTF-8 decoding accepts invalid forms and then reads past its buffers, its
// parser loops on some processing instructions and follows a DOCTYPE's
// entities, and ValueTree::fromXml turns a "base64:" attribute into a block of
// whatever size the text asks for. Everything here checks first, then builds.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace UntrustedXml
{
/** Bounds on a document; anything beyond one of them is refused unread. */
struct Limits
{
    juce::int64 maxBytes;
    int maxElements;
    int maxDepth;
    int maxAttributesPerElement;
    int maxDistinctNames; // tag and attribute names together
};

/** Text from bytes: strict UTF-8 (a leading byte order mark dropped) when the
    bytes are that, otherwise Windows-1252. Strict means no overlong forms, no
    surrogates, nothing above U+10FFFF, no truncated sequences and no lone
    continuation bytes. Bytes that start with a UTF-16 byte order mark are read
    as UTF-16 when every surrogate in them is paired. The text ends at the
    first zero character. */
juce::String decodeText (const void* data, size_t size);

/** True when the bytes, after a leading byte order mark, are strict UTF-8
    and hold no zero byte: the only text that JUCE's own decoding reads safely. */
bool isStrictUtf8 (const void* data, size_t size);

/** Checks the bytes and the document against the limits, then builds the
    tree (node type = tag, properties = attributes in document order, children
    = child elements). Refused: more bytes than allowed, a DOCTYPE, a
    processing instruction other than the leading XML declaration, text that
    is not well-formed, too many elements, too deep a nesting, too many
    attributes on one element, too many different tag and attribute names, an
    attribute named "base64:...", and an attribute given twice on one element. On failure `tree` is invalid and the
    result's message says why, in a few words. */
juce::Result parse (const void* data, size_t size, const Limits& limits, juce::ValueTree& tree);
} // namespace UntrustedXml
