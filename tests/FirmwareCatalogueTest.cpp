// Reading the firmware catalogue from bytes, and keeping the connected
// product's entries. The network side is tested against a local server
// (tests/network).
#include "modules/zevo_firmware/FirmwareCatalogue.h"
#include "modules/zevo_firmware/FirmwareServer.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace catalogue = zevo::FirmwareCatalogue;

namespace
{
juce::MemoryBlock bytesOf (const juce::String& relativePath)
{
    juce::MemoryBlock data;
    juce::File (KIVRA_TEST_DATA_DIR "/firmware").getChildFile (relativePath).loadFileAsData (data);
    return data;
}

juce::ValueTree readOk (const juce::MemoryBlock& data)
{
    juce::ValueTree tree;
    const auto result = catalogue::read (data.getData(), data.getSize(), tree);
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    return tree;
}

juce::StringArray versionsOf (const juce::ValueTree& tree)
{
    juce::StringArray versions;
    for (const auto& entry : tree)
        versions.add (entry.getProperty ("version").toString());
    return versions;
}
} // namespace

TEST (FirmwareCatalogue, KeepsTheProductsEntriesInDocumentOrder)
{
    struct Case
    {
        const char* file;
        int product;
        std::vector<const char*> versions;
    };
    // "0079" reads as 79, "130abc" as 130, an entry without "pid" as 0; "790"
    // is not 79. Elements nested in an entry and other attributes are ignored.
    const Case cases[] = {
        { "firmware.xml", 79, { "2.01", "1.98", "1.90" } },
        { "firmware.xml", 89, { "2.01" } },
        { "firmware.xml", 0, { "0.1" } },
        { "firmware.xml", 133, { "3.2" } },
        { "firmware-special.xml", 130, { "1.40", "1.35" } },
        { "firmware-special.xml", 94, { "1.12" } },
        { "nomatch/firmware.xml", 79, {} },
        { "empty/firmware.xml", 79, {} },
    };
    for (const auto& c : cases)
    {
        auto tree = readOk (bytesOf (c.file));
        catalogue::keepProduct (tree, c.product);
        EXPECT_EQ (versionsOf (tree), juce::StringArray (c.versions.data(), (int) c.versions.size()))
            << c.file << " for " << c.product;
    }
}

TEST (FirmwareCatalogue, ProductCodesReadLikeJuceIntegersWithoutOverflow)
{
    const std::pair<const char*, int> cases[] = {
        { "130abc", 130 }, { " 79", 79 }, { "-5", -5 }, { "abc", 0 }, { "", 0 },
        { "99999999999999999999", INT_MAX }, { "-2147483648", -INT_MAX }, { "4294967375", INT_MAX },
    };
    for (const auto& [text, code] : cases)
        EXPECT_EQ (catalogue::productCodeOf (juce::ValueTree ("f").setProperty ("pid", text, nullptr)), code) << text;

    EXPECT_EQ (catalogue::productCodeOf (juce::ValueTree ("f")), 0);
}

TEST (FirmwareCatalogue, SpecialProductsHaveTheirOwnCatalogue)
{
    for (const int code : { 94, 130 })
        EXPECT_EQ (catalogue::fileNameFor (code), "firmware-special.xml") << code;
    for (const int code : { 79, 89, 131, 176, 2000, 0, -94 })
        EXPECT_EQ (catalogue::fileNameFor (code), "firmware.xml") << code;
}

TEST (FirmwareCatalogue, UntrustedDocumentsAreRefusedAsAConnectionError)
{
    const juce::String entry = "<f pid=\"79\" name=\"n\" version=\"1\" fw=\"a.bin\"/>";
    juce::MemoryOutputStream oversized;
    oversized << "<firmwares>";
    while ((juce::int64) oversized.getDataSize() <= catalogue::limits.maxBytes)
        oversized << entry;
    oversized << "</firmwares>";

    const juce::String documents[] = {
        bytesOf ("notxml/firmware.xml").toString(),
        bytesOf ("doctype/firmware.xml").toString(),
        "<firmwares>" + entry, // cut short
        oversized.toString(),
        "<a><b><c><d><e><f><g><h><i><j><k><l><m><n><o><p><q/></p></o></n></m></l></k></j></i></h></g></f></e></d></c></b></a>",
    };
    for (const auto& document : documents)
    {
        juce::ValueTree tree { "previous" };
        const auto result = catalogue::read (document.toRawUTF8(), document.getNumBytesAsUTF8(), tree);
        EXPECT_EQ (result.getErrorMessage(), "Error connecting to server") << document.substring (0, 60);
        EXPECT_FALSE (tree.isValid());
    }
}

TEST (FirmwareCatalogue, FirmwareAddressIsTheRootAndTheEntrysPath)
{
    zevo::FirmwareServer::setRoot ("https://127.0.0.1:9/fw/");
    const auto tree = readOk (bytesOf ("firmware-special.xml"));

    EXPECT_EQ (catalogue::firmwareUrl (tree, 1).toString (false), "https://127.0.0.1:9/fw/images/dolm_ar_rt_v140.bin");
    EXPECT_TRUE (catalogue::firmwareUrl (tree, -1).isEmpty());
    EXPECT_TRUE (catalogue::firmwareUrl (tree, tree.getNumChildren()).isEmpty());

    zevo::FirmwareServer::setRoot ({});
    EXPECT_EQ (zevo::FirmwareServer::getRoot(), zevo::FirmwareServer::defaultRoot);
}
