#include "SettingsFileCheck.h"

#include "BoundedFileRead.h"
#include "MappingDocument.h"
#include "UntrustedXml.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace SettingsFileCheck
{
namespace
{
// The settings hold the four maps, each at most a mapping file's size, in
// JUCE's binary form; in XML, which this editor never writes, the settings
// must pass a mapping file's limits.
constexpr juce::int64 maxBinaryBytes = 5 * MappingDocument::maxFileSize;

// JUCE's magic numbers, written as little-endian integers.
constexpr char binaryMagic[] = "PROP";
constexpr char compressedMagic[] = "CPRP";

bool startsWith (const juce::MemoryBlock& data, const char* magic)
{
    return data.getSize() >= 4 && std::memcmp (data.getData(), magic, 4) == 0;
}

// Inflates at most one byte more than the settings may hold, so a small file
// that expands without bound is recognised without expanding it all.
bool inflateBounded (const void* data, size_t size, juce::MemoryBlock& out)
{
    juce::MemoryInputStream compressed (data, size, false);
    juce::GZIPDecompressorInputStream inflater (compressed);
    juce::MemoryOutputStream inflated (out, false);

    const auto limit = maxBinaryBytes + 1;
    char buffer[8192];
    while (inflated.getDataSize() < (size_t) limit)
    {
        const auto n = inflater.read (buffer, (int) sizeof (buffer));
        if (n <= 0)
            break;
        inflated.write (buffer, (size_t) n);
    }

    inflated.flush();
    return (juce::int64) inflated.getDataSize() <= maxBinaryBytes;
}

// JUCE's binary form: a 32-bit count, then that many key and value texts,
// each ending in a zero byte (JUCE stops early at the end of the data). Each
// text JUCE would read must be strict UTF-8.
bool binaryTextsAreStrictUtf8 (const juce::MemoryBlock& data)
{
    if (data.getSize() < 4)
        return true;

    const auto* p = static_cast<const char*> (data.getData()) + 4;
    const auto* end = static_cast<const char*> (data.getData()) + data.getSize();
    const auto count = (juce::int64) juce::ByteOrder::littleEndianInt (data.getData());

    for (juce::int64 text = 0; text < 2 * count && p < end; ++text)
    {
        const auto* zero = static_cast<const char*> (std::memchr (p, 0, (size_t) (end - p)));
        const auto* textEnd = zero != nullptr ? zero : end;
        if (! UntrustedXml::isStrictUtf8 (p, (size_t) (textEnd - p)))
            return false;
        p = textEnd + 1;
    }

    return true;
}

bool xmlIsSafe (const juce::MemoryBlock& data)
{
    juce::ValueTree tree;
    return UntrustedXml::isStrictUtf8 (data.getData(), data.getSize())
           && UntrustedXml::parse (data.getData(), data.getSize(), MappingDocument::limits(), tree).wasOk();
}
} // namespace

bool isSafeToRead (const juce::File& file)
{
    struct stat info {};
    if (::lstat (file.getFullPathName().toRawUTF8(), &info) != 0)
        return true; // nothing there that JUCE could open either

    if (S_ISDIR (info.st_mode))
        return true;

    juce::MemoryBlock data;
    if (BoundedFileRead::read (file, maxBinaryBytes, data) != BoundedFileRead::Outcome::ok
        || (juce::int64) data.getSize() > maxBinaryBytes)
        return false;

    if (startsWith (data, binaryMagic))
        return binaryTextsAreStrictUtf8 (juce::MemoryBlock (data.begin() + 4, data.getSize() - 4));

    if (startsWith (data, compressedMagic))
    {
        juce::MemoryBlock inflated;
        return inflateBounded (data.begin() + 4, data.getSize() - 4, inflated) && binaryTextsAreStrictUtf8 (inflated);
    }

    return xmlIsSafe (data);
}

bool setAsideIfUnsafe (const juce::File& file)
{
    if (isSafeToRead (file))
        return true;

    const auto aside = file.getFullPathName() + ".bad";
    return std::rename (file.getFullPathName().toRawUTF8(), aside.toRawUTF8()) == 0;
}
} // namespace SettingsFileCheck
