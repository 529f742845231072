// Which settings files JUCE may read at quit; the others are set aside, kept
// byte for byte with ".bad" added. (The XML guards and the refusal of what is
// not a regular file are the mapping file's, tested there.)
#include "model/SettingsFileCheck.h"
#include "model/SettingsLocation.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{
/** JUCE's binary form of one key and value: a count, then zero-ended texts. */
std::string binaryValues (const std::string& key, const std::string& value) { return std::string ("\1\0\0\0", 4) + key + '\0' + value + '\0'; }

std::string compressed (const std::string& data)
{
    juce::MemoryOutputStream out;
    out.write ("CPRP", 4);
    juce::GZIPCompressorOutputStream (out, 9).write (data.data(), data.size());
    return { (const char*) out.getData(), out.getDataSize() };
}

std::string bytesOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return { (const char*) data.getData(), data.getSize() };
}

// What the editor writes.
std::string writtenByJuce (const juce::File& file)
{
    juce::PropertiesFile (file, SettingsLocation::options()).setValue ("modes", "<modes current=\"mackie\"><map mode=\"mackie\"/></modes>");
    return bytesOf (file);
}

TEST (SettingsFileCheck, JuceMayReadOnlyFilesThatPassTheMappingFileChecks)
{
    testsupport::ScratchFolder scratch;
    const auto juceFile = scratch.folder.getChildFile ("juce.conf");
    const std::string invalidUtf8 ("\xc1\xbb");
    const struct { const char* name; std::string bytes; bool safe; } cases[] = {
        { "JUCE's compressed form", writtenByJuce (juceFile), true },
        { "DOCTYPE", "<!DOCTYPE PROPERTIES [<!ENTITY a \"x&a;\">]><PROPERTIES/>", false },
        { "XML in Windows-1252", "<PROPERTIES><VALUE name=\"" + invalidUtf8 + "\"/></PROPERTIES>", false },
        { "XML in UTF-16", std::string ("\xff\xfe<\0a\0/\0>\0", 10), false },
        { "binary form, invalid UTF-8 key", "PROP" + binaryValues (invalidUtf8, "v"), false },
        { "compressed form, invalid UTF-8 value", compressed (binaryValues ("modes", invalidUtf8)), false },
        { "compressed form, four maps of 256 KiB", compressed (binaryValues ("modes", std::string (1024 * 1024, 'x'))), true },
        { "compressed form, expands past 1.25 MiB", compressed (binaryValues ("modes", std::string (1300 * 1024, 'x'))), false },
        { "XML larger than 256 KiB", "<PROPERTIES>" + std::string (256 * 1024, ' ') + "</PROPERTIES>", false },
    };

    int n = 0;
    for (const auto& c : cases)
    {
        const auto file = scratch.withBytes ("Dolmaris" + juce::String (++n) + ".conf", c.bytes);

        EXPECT_EQ (SettingsFileCheck::isSafeToRead (file), c.safe) << c.name;
        EXPECT_TRUE (SettingsFileCheck::setAsideIfUnsafe (file)) << c.name;
        const auto aside = file.getSiblingFile (file.getFileName() + ".bad");
        EXPECT_EQ (aside.exists(), ! c.safe) << c.name;
        EXPECT_TRUE (c.safe || (! file.exists() && bytesOf (aside) == c.bytes)) << c.name;
    }
}
} // namespace
