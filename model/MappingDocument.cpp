#include "MappingDocument.h"

#include "BoundedFileRead.h"

namespace MappingDocument
{
const char* const loadFailure = "Could not load mapping data";

namespace
{
juce::Result refuse (const juce::String& reason)
{
    return juce::Result::fail (juce::String (loadFailure) + ": " + reason);
}

juce::XmlElement::TextFormat mappingFileFormat()
{
    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;
    format.newLineChars = "\r\n";
    return format;
}

} // namespace

UntrustedXml::Limits limits()
{
    return { maxFileSize, maxElements, maxDepth, maxAttributesPerElement, maxDistinctNames };
}

juce::Result readFile (const juce::File& file, juce::MemoryBlock& data)
{
    switch (BoundedFileRead::read (file, maxFileSize, data))
    {
        case BoundedFileRead::Outcome::ok:             return juce::Result::ok();
        case BoundedFileRead::Outcome::notRegularFile: return refuse ("not a regular file");
        case BoundedFileRead::Outcome::cannotRead:     break;
    }

    return refuse ("the file cannot be read");
}

juce::Result parse (const void* data, size_t size, juce::ValueTree& map)
{
    map = {};

    juce::ValueTree tree;
    if (auto parsed = UntrustedXml::parse (data, size, limits(), tree); parsed.failed())
        return refuse (parsed.getErrorMessage());

    // Escaping and indentation can make the saved text larger than the file
    // it came from.
    if ((juce::int64) toText (tree).getSize() > maxFileSize)
        return refuse ("map too large to be saved again");

    map = tree;
    return juce::Result::ok();
}

juce::MemoryBlock toText (const juce::ValueTree& map)
{
    juce::MemoryOutputStream text;
    if (const auto xml = map.createXml())
        xml->writeTo (text, mappingFileFormat());

    return text.getMemoryBlock();
}
} // namespace MappingDocument
