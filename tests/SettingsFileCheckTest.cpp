// Which settings files JUCE may read at quit, and what happens to the others.
#include "model/SettingsFileCheck.h"
#include "model/SettingsLocation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
juce::MemoryBlock bytesOf (std::initializer_list<juce::MemoryBlock> parts)
{
    juce::MemoryBlock all;
    for (const auto& part : parts)
        all.append (part.getData(), part.getSize());
    return all;
}

juce::MemoryBlock text (const juce::String& t) { return { t.toRawUTF8(), t.getNumBytesAsUTF8() }; }
juce::MemoryBlock raw (std::initializer_list<int> bytes)
{
    juce::MemoryBlock data;
    for (auto b : bytes)
        data.append (&b, 1); // little-endian: the low byte
    return data;
}

/** JUCE's binary form of one key and value: a count, then zero-ended texts. */
juce::MemoryBlock binaryValues (const juce::MemoryBlock& key, const juce::MemoryBlock& value)
{
    return bytesOf ({ raw ({ 1, 0, 0, 0 }), key, raw ({ 0 }), value, raw ({ 0 }) });
}

juce::MemoryBlock compressed (const juce::MemoryBlock& data)
{
    juce::MemoryOutputStream out;
    out.write ("CPRP", 4);
    {
        juce::GZIPCompressorOutputStream zipped (out, 9);
        zipped.write (data.getData(), data.getSize());
    }
    return out.getMemoryBlock();
}

juce::MemoryBlock written (juce::PropertiesFile::StorageFormat format, const juce::File& file)
{
    auto options = SettingsLocation::options();
    options.storageFormat = format;
    {
        juce::PropertiesFile properties (file, options);
        properties.setValue ("modes", "<modes current=\"mackie\"><map mode=\"mackie\"/></modes>");
    }
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    file.deleteFile();
    return data;
}

class SettingsFileCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getNonexistentChildFile ("kivra-settings-check-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()), {}, false);
        ASSERT_TRUE (folder.createDirectory().wasOk());
    }

    void TearDown() override { folder.deleteRecursively(); }

    juce::File folder;
};

//==============================================================================
TEST_F (SettingsFileCheckTest, JuceMayReadOnlyFilesThatPassTheMappingFileChecks)
{
    const auto scratch = folder.getChildFile ("scratch.conf");
    const auto invalidUtf8 = raw ({ 0xc1, 0xbb });
    const struct { const char* name; juce::MemoryBlock data; bool safe; } cases[] = {
        { "JUCE's compressed form", written (juce::PropertiesFile::storeAsCompressedBinary, scratch), true },
        { "JUCE's binary form", written (juce::PropertiesFile::storeAsBinary, scratch), true },
        { "JUCE's XML form", written (juce::PropertiesFile::storeAsXML, scratch), true },
        { "DOCTYPE", text ("<!DOCTYPE PROPERTIES [<!ENTITY a \"x&a;\">]><PROPERTIES/>"), false },
        { "processing instruction", text ("<PROPERTIES><VALUE name=\"a\"><?x?>text</VALUE></PROPERTIES>"), false },
        { "byte order mark only", raw ({ 0xef, 0xbb, 0xbf }), false },
        { "XML in Windows-1252", bytesOf ({ text ("<PROPERTIES><VALUE name=\""), invalidUtf8, text ("\"/></PROPERTIES>") }), false },
        { "XML in UTF-16", bytesOf ({ raw ({ 0xff, 0xfe, '<', 0, 'a', 0, '/', 0, '>', 0 }) }), false },
        { "bytes that are no text", bytesOf ({ raw ({ 0x8f, 0x02, 0xfe }), text ("<PROPERTIES/>") }), false },
        { "binary form, invalid UTF-8 key", bytesOf ({ text ("PROP"), binaryValues (invalidUtf8, text ("v")) }), false },
        { "compressed form, invalid UTF-8 value", compressed (binaryValues (text ("modes"), invalidUtf8)), false },
        { "compressed form, four maps of 256 KiB", compressed (binaryValues (text ("modes"), text (juce::String::repeatedString ("x", 1024 * 1024)))), true },
        { "compressed form, expands past 1.25 MiB", compressed (binaryValues (text ("modes"), text (juce::String::repeatedString ("x", 1300 * 1024)))), false },
        { "XML larger than 256 KiB", text ("<PROPERTIES>" + juce::String::repeatedString (" ", 256 * 1024) + "</PROPERTIES>"), false },
    };

    for (const auto& c : cases)
    {
        const auto file = folder.getChildFile ("Dolmaris.conf");
        ASSERT_TRUE (file.replaceWithData (c.data.getData(), c.data.getSize()));
        EXPECT_EQ (SettingsFileCheck::isSafeToRead (file), c.safe) << c.name;

        EXPECT_TRUE (SettingsFileCheck::setAsideIfUnsafe (file)) << c.name;
        juce::MemoryBlock kept;
        EXPECT_EQ (file.exists(), c.safe) << c.name;
        EXPECT_EQ (folder.getChildFile ("Dolmaris.conf.bad").loadFileAsData (kept), ! c.safe) << c.name;
        if (! c.safe)
        {
            EXPECT_TRUE (kept == c.data) << c.name;
        }

        file.deleteFile();
        folder.getChildFile ("Dolmaris.conf.bad").deleteFile();
    }
}

TEST_F (SettingsFileCheckTest, MissingFilesAndFoldersAreLeftAloneAFifoIsSetAside)
{
    EXPECT_TRUE (SettingsFileCheck::setAsideIfUnsafe (folder.getChildFile ("missing.conf")));
    EXPECT_TRUE (SettingsFileCheck::setAsideIfUnsafe (folder));
    EXPECT_TRUE (folder.isDirectory());

    // JUCE would block for ever opening a FIFO that nobody writes to.
    const auto fifo = folder.getChildFile ("fifo.conf");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    EXPECT_FALSE (SettingsFileCheck::isSafeToRead (fifo));
    EXPECT_TRUE (SettingsFileCheck::setAsideIfUnsafe (fifo));
    EXPECT_FALSE (fifo.exists());
    EXPECT_TRUE (folder.getChildFile ("fifo.conf.bad").exists());
}
} // namespace
