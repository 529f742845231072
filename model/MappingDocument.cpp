#include "MappingDocument.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Reads one byte more than allowed, so an oversized file (or an endless
// device) is recognised without reading all of it.
bool readBounded (int fd, juce::MemoryBlock& data)
{
    data.setSize ((size_t) maxFileSize + 1);
    size_t filled = 0;

    while (filled < data.getSize())
    {
        const auto n = ::read (fd, static_cast<char*> (data.getData()) + filled, data.getSize() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        filled += (size_t) n;
    }

    data.setSize (filled);
    return true;
}
} // namespace

UntrustedXml::Limits limits()
{
    return { maxFileSize, maxElements, maxDepth, maxAttributesPerElement, maxDistinctNames };
}

juce::Result readFile (const juce::File& file, juce::MemoryBlock& data)
{
    data.reset();
    if (file == juce::File())
        return refuse ("the file cannot be read");

    // Opened without blocking, so a FIFO that nobody writes to cannot hang the
    // editor; what is opened is then checked, not what the path named before.
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse ("the file cannot be read");

    struct stat info {};
    const bool regular = ::fstat (fd, &info) == 0 && S_ISREG (info.st_mode);
    const bool read = regular && readBounded (fd, data);
    ::close (fd);

    if (! regular)
        return refuse ("not a regular file");

    return read ? juce::Result::ok() : refuse ("the file cannot be read");
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
