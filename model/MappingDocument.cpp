#include "MappingDocument.h"

#include <algorithm>
#include <vector>

namespace MappingDocument
{
const char* const loadFailure = "Could not load mapping data";

namespace
{
juce::Result refuse (const juce::String& reason = {})
{
    return juce::Result::fail (reason.isEmpty() ? juce::String (loadFailure)
                                                : juce::String (loadFailure) + ": " + reason);
}

// Reads one byte more than allowed, so an oversized file (or an endless
// device) is recognised without reading all of it.
bool readBounded (const juce::File& file, juce::MemoryBlock& data)
{
    juce::FileInputStream in (file);
    if (! in.openedOk())
        return false;

    in.readIntoMemoryBlock (data, (ssize_t) maxFileSize + 1);
    return true;
}

// Inside an element, a processing instruction followed by text sends JUCE's
// parser into an endless loop (it skips the instruction, finds text, rewinds
// to before the instruction, and starts again). A mapping file has none
// beyond its leading XML declaration.
bool hasProcessingInstruction (const juce::String& text)
{
    auto afterDeclaration = text.trimStart();
    if (afterDeclaration.startsWith ("<?xml"))
        afterDeclaration = afterDeclaration.fromFirstOccurrenceOf ("?>", false, false);

    return afterDeclaration.contains ("<?");
}

// Every element the parser builds starts at a '<' that is not part of "</",
// also those inside entity texts, which are pieces of this same text. So this
// count bounds both the number of elements and their nesting depth.
int countElementStarts (const juce::String& text)
{
    int count = 0;
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        if (p.getAndAdvance() == '<' && *p != '/')
            ++count;

    return count;
}

// Recursion is safe here: the element count bounds the depth.
int depthOf (const juce::XmlElement& element)
{
    int deepestChild = 0;
    for (const auto* child : element.getChildIterator())
        deepestChild = std::max (deepestChild, depthOf (*child));

    return deepestChild + 1;
}

// XML forbids an attribute twice on one element, but JUCE's parser keeps
// both. The tree would then read the first and write back the last (even a
// second "mode"), so such a document is refused as malformed.
bool repeatsAProperty (const juce::ValueTree& node)
{
    std::vector<const void*> names;
    for (int i = 0; i < node.getNumProperties(); ++i)
        names.push_back (node.getPropertyName (i).getCharPointer().getAddress()); // pooled: one address per name

    std::sort (names.begin(), names.end());
    if (std::adjacent_find (names.begin(), names.end()) != names.end())
        return true;

    for (const auto& child : node)
        if (repeatsAProperty (child))
            return true;

    return false;
}
} // namespace

juce::Result read (const juce::File& file, juce::ValueTree& map)
{
    map = {};

    juce::MemoryBlock data;
    if (! readBounded (file, data))
        return refuse();

    if ((juce::int64) data.getSize() > maxFileSize)
        return refuse ("file too large");

    // Decoded here rather than by XmlDocument, so the parser has no file to
    // resolve a DOCTYPE's SYSTEM name against.
    const auto text = juce::String::createStringFromData (data.getData(), (int) data.getSize());

    // The parser honours only this exact spelling; without it no entity can
    // be declared, read from disk or expanded recursively.
    if (text.contains ("<!DOCTYPE"))
        return refuse ("document type declarations are not accepted");

    if (hasProcessingInstruction (text))
        return refuse ("processing instructions are not accepted");

    if (countElementStarts (text) > maxElements)
        return refuse ("too many elements");

    const auto element = juce::XmlDocument (text).getDocumentElement();
    if (element == nullptr)
        return refuse();

    if (depthOf (*element) > maxDepth)
        return refuse ("elements nested too deeply");

    auto tree = juce::ValueTree::fromXml (*element);
    if (repeatsAProperty (tree))
        return refuse();

    map = tree;
    return juce::Result::ok();
}
} // namespace MappingDocument
