#include "MappingDocument.h"

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
} // namespace

juce::Result read (const juce::File& file, std::unique_ptr<juce::XmlElement>& element)
{
    element.reset();

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

    if (countElementStarts (text) > maxElements)
        return refuse ("too many elements");

    juce::XmlDocument document (text);
    element = document.getDocumentElement();
    return element != nullptr ? juce::Result::ok() : refuse();
}
} // namespace MappingDocument
