// Mapping files through the model: the exact saved text, what a load changes,
// and files made to hurt the editor, each refused with a reason and changing
// nothing, or loaded without harm and the same again after a save.
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "model/MappingDocument.h"
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"
#include "support/ScratchFolder.h"

#include <cstring>
#include <sys/stat.h>

namespace
{
std::string times (int n, const std::string& piece)
{
    std::string all;
    while (n-- > 0)
        all += piece;
    return all;
}

// The texts of prefix, number, suffix for each number from 1 to n - 1.
std::string numbered (int n, const std::string& prefix, const std::string& suffix)
{
    std::string all;
    for (int i = 1; i < n; ++i)
        all += prefix + std::to_string (i) + suffix;
    return all;
}

std::string mapWithAttributes (int n) { return "<map mode=\"logic\"" + numbered (n, " a", "=\"\"") + "/>"; }
std::string mapWithControls (int n) { return "<map mode=\"logic\"><controls>" + times (n, "<control/>") + "</controls></map>"; }
std::string utf16 (const std::u16string& text) { return "\xff\xfe" + std::string ((const char*) text.data(), text.size() * 2); } // little-endian here

class MappingFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::useFreshModel().setCurrentMode (CtMode (2));
        std::memset (ud, 0x55, sizeof (RowTable)); // what a load must rebuild, or leave alone
    }

    juce::File fileWith (const std::string& bytes) { return scratch.withBytes ("file" + juce::String (++numWritten) + ".kivra", bytes); }
    static std::vector<uint8_t> udBytes() { return { &ud[0][0], &ud[0][0] + sizeof (RowTable) }; }
    static std::vector<uint8_t> udRow (int id) { return { ud[id - 1], ud[id - 1] + 3 }; }

    /** Opens the file; where that fails, model and ud must be as they were. */
    juce::Result open (const juce::File& file, const juce::String& name)
    {
        const auto modesBefore = state().modes.createCopy();
        const auto currentBefore = state().currentMap;
        const auto udBefore = udBytes();
        const auto result = model.openFile (file);
        EXPECT_TRUE (result.wasOk() || (state().modes.isEquivalentTo (modesBefore) && state().currentMap == currentBefore && udBytes() == udBefore)) << name;
        return result;
    }

    /** The loaded map saves to at most a mapping file's size and loads back the same. */
    void expectSavesAndLoadsAgain (const juce::String& name)
    {
        const auto loaded = state().currentMap.createCopy();
        const auto saved = scratch.folder.getChildFile ("saved.kivra");
        ASSERT_TRUE (model.saveCurrentMapping (saved).wasOk()) << name;
        EXPECT_LE (saved.getSize(), MappingDocument::maxFileSize) << name;
        ASSERT_TRUE (model.openFile (saved).wasOk()) << name;
        EXPECT_TRUE (state().currentMap.isEquivalentTo (loaded)) << name;
    }

    Dolmaris& model = *Dolmaris::getInstance();
    Dolmaris::Impl& state() { return *model.impl; }
    testsupport::ScratchFolder scratch;
    int numWritten = 0;
};

//==============================================================================
// Declaration, blank line, CRLF, attribute order and every value, byte for byte.
TEST_F (MappingFileTest, SavedDefaultMapsAreByteForByteTheExpectedFiles)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const auto slug = CtMode::slugForType (mode);
        state().setCurrentMode (CtMode (mode));
        const auto file = scratch.folder.getChildFile (slug + ".kivra");
        ASSERT_TRUE (model.saveCurrentMapping (file).wasOk());

        juce::MemoryBlock saved, expected;
        ASSERT_TRUE (file.loadFileAsData (saved) && testsupport::dataFile ("mapping/" + slug + "-default.kivra").loadFileAsData (expected));
        EXPECT_TRUE (saved == expected) << slug;
    }
    EXPECT_EQ (scratch.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 4); // no temporary left over
}

TEST_F (MappingFileTest, UserDefinedRowsFollowTheLoadedAttributes)
{
    ASSERT_TRUE (model.openFile (fileWith ("<map mode=\"user-defined\"><controls><control id=\"6\" type=\"pitch\" chan=\"0\" value=\"-1\"/>"
                                           "<control id=\"10\" type=\"cc\" chan=\"+16\" value=\"127\"/><control id=\"10\" type=\"note\"/>"
                                           "<control id=\"7\" type=\"\" chan=\"5\" value=\"10\"/><control id=\"8\" chan=\"3\"/>"
                                           "</controls></map>")).wasOk());
    EXPECT_EQ (udRow (7), (std::vector<uint8_t> { 0x0C, 0xC4, 10 })) << "an empty type is how a program change is saved";
    EXPECT_EQ (udRow (8), (std::vector<uint8_t> { 9, 0x92, 0 })) << "no type at all";
    EXPECT_EQ (udRow (6), (std::vector<uint8_t> { 0x0E, 0xFF, 0xFF })) << "the low 8 bits of the rule";
    EXPECT_EQ (udRow (10), (std::vector<uint8_t> { 0x0B, 0xBF, 127 })) << "the first node of an id wins; \"+16\" reads as the tree reads it";
    EXPECT_EQ (udRow (108), (std::vector<uint8_t> { 9, 0x90, 0 })) << "not in the file";
}

//==============================================================================
// One case per guard of the shared reader, at the level of the mapping file.
TEST_F (MappingFileTest, HostileFilesAreRefusedWithAReasonAndChangeNothing)
{
    const auto fifo = scratch.folder.getChildFile ("fifo.kivra");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    scratch.withBytes ("secret.dtd", "<!ENTITY b \"logic\">");

    const char *malformed = "not well-formed XML", *base64 = "binary attributes are not accepted", *doctype = "document type declarations are not accepted",
               *unknownMode = "unknown control mode", *twice = "an attribute is given twice";
    const struct { const char* name; juce::File file; const char* reason; } cases[] = {
        { "missing", scratch.folder.getChildFile ("missing.kivra"), "the file cannot be read" },
        { "a folder", scratch.folder, "not a regular file" },
        { "a FIFO nobody writes to", fifo, "not a regular file" },
        { "empty", fileWith (""), malformed },
        { "unclosed", fileWith ("<map mode=\"logic\"><controls>"), malformed },
        { "surrogate as a character reference", fileWith ("<map mode=\"logic\" name=\"&#xD800;\"/>"), malformed },
        { "no mode", fileWith ("<map name=\"Logic\"/>"), unknownMode },
        { "mode that is not a working mode", fileWith ("<map mode=\"cubase\"/>"), unknownMode },
        { "another document", fileWith ("<foo bar=\"1\"/>"), "not a mapping file" },
        // The tree would read one value and write the other.
        { "repeated attribute", fileWith ("<map mode=\"logic\" mode=\"mackie\"/>"), twice },
        { "base64 size -1 (bad_alloc)", fileWith ("<map mode=\"logic\" base64:x=\"-1.\"/>"), base64 },
        { "base64 on a control", fileWith ("<map mode=\"logic\"><controls><control base64:id=\"1.A\"/></controls></map>"), base64 },
        // A self-referencing entity recurses until the stack runs out; an external DTD (with no
        // internal subset to give it away) would be read from beside the file. Any DOCTYPE is refused unread.
        { "external DTD", fileWith ("<!DOCTYPE map SYSTEM \"secret.dtd\"><map mode=\"&b;\"/>"), doctype },
        { "DOCTYPE entity", fileWith ("<!DOCTYPE x [<!ENTITY a \"x&a;\">]><map mode=\"&a;\"/>"), doctype },
        // Text after a processing instruction inside an element makes JUCE's parser loop for ever.
        { "processing instruction", fileWith ("<map mode=\"logic\"><?p?>x</map>"), "processing instructions are not accepted" },
        { "300 KiB", fileWith ("<map mode=\"logic\" pad=\"" + times (300 * 1024, "x") + "\"/>"), "file too large" },
        { "60,000 open elements", fileWith ("<map mode=\"logic\">" + times (60000, "<a>")), "elements nested too deeply" },
        { "65 attributes", fileWith (mapWithAttributes (65)), "too many attributes on one element" },
        // Refused by the scan before JUCE parses it, so before its names count past the name limit.
        { "24,000 attributes", fileWith (mapWithAttributes (24000)), "too many attributes on one element" },
        { "4,095 controls", fileWith (mapWithControls (4095)), "too many elements" },
        { "257 different names", fileWith ("<map mode=\"logic\">" + numbered (256, "<c", "/>") + "</map>"), "too many different names" },
        { "saved escapes outgrow a mapping file", fileWith ("<map mode=\"logic\" name='" + times (100000, "\"") + "'/>"), "map too large to be saved again" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (open (c.file, c.name).getErrorMessage(), juce::String ("Could not load mapping data: ") + c.reason) << c.name;
}

// Invalid UTF-8 is read as Windows-1252, byte by byte; valid UTF-8 and UTF-16 as themselves.
TEST_F (MappingFileTest, OddButHarmlessFilesAndTheFuzzerCorpusLoadAndSaveAgain)
{
    const auto logic = "<map mode=\"logic\" name=\"", end = "\"/>";
    const struct { const char* name; std::string bytes; int mode; std::string expectedName; } cases[] = {
        { "other root tag, no name", "<mapping mode=\"mackie\"><controls/></mapping>", 0, "" },
        { "byte order mark, extra elements", "\xef\xbb\xbf<map mode=\"pro-tools\" name=\"P\"><controls/><controls/><other/></map>", 2, "P" },
        { "UTF-16", utf16 (u"<map mode='logic' name='a\U0001F3B9'/>"), 1, "a\xf0\x9f\x8e\xb9" },
        { "valid UTF-8 after a byte order mark", "\xef\xbb\xbf" + (logic + std::string ("\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e") + end), 1, "\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e" },
        { "character references", logic + std::string ("&amp;&#233;&#x1F3B9;") + end, 1, "&\xc3\xa9\xf0\x9f\x8e\xb9" },
        { "overlong 4-byte forms, 16 KB", logic + times (4000, "\xf0\x80\x81\xbb") + end, 1, times (4000, "\xc3\xb0\xe2\x82\xac\xc2\x81\xc2\xbb") },
        { "a surrogate", logic + std::string ("\xed\xa0\x80") + end, 1, "\xc3\xad\xc2\xa0\xe2\x82\xac" },
        { "a 5-byte form", logic + std::string ("\xf8\x88\x80\x80\x80") + end, 1, "\xc3\xb8\xcb\x86\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac" },
        { "64 attributes", mapWithAttributes (64), 1, "" },
        { "4,094 controls", mapWithControls (4094), 1, "" },
    };

    const auto udBefore = udBytes();
    for (const auto& c : cases)
    {
        const auto result = open (fileWith (c.bytes), c.name);
        ASSERT_TRUE (result.wasOk()) << c.name << ": " << result.getErrorMessage();
        // The mode of the file is replaced in place and made current; ud is only the user-defined mode's.
        EXPECT_EQ (state().modes.getProperty ("current").toString(), CtMode::slugForType (c.mode)) << c.name;
        EXPECT_TRUE (state().currentMap == state().modes.getChild (c.mode) && state().modes.getNumChildren() == 4 && udBytes() == udBefore) << c.name;
        EXPECT_EQ (state().currentMap[Tags::name].toString(), juce::String::fromUTF8 (c.expectedName.data(), (int) c.expectedName.size())) << c.name;
        expectSavesAndLoadsAgain (c.name);
    }

    // Every seed of the fuzzer, the reproducers of its findings among them.
    const auto corpus = juce::File (KIVRA_TEST_DATA_DIR "/../../fuzz/corpus").findChildFiles (juce::File::findFiles, false);
    ASSERT_FALSE (corpus.isEmpty());
    for (const auto& file : corpus)
        if (const auto result = open (file, file.getFileName()); result.wasOk())
            expectSavesAndLoadsAgain (file.getFileName());
        else
            EXPECT_TRUE (result.getErrorMessage().startsWith ("Could not load mapping data: ")) << file.getFileName();
}
} // namespace
