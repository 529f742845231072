// Mapping files made to hurt the editor: each is refused with a reason and
// changes nothing, or loads without harm and comes back the same after a save.
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "model/MappingDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

namespace
{
juce::MemoryBlock bytes (const juce::String& head, std::initializer_list<int> middle, int repeats, const juce::String& tail)
{
    juce::MemoryOutputStream out;
    out << head;
    for (int i = 0; i < repeats; ++i)
        for (auto b : middle)
            out.writeByte ((char) b);
    out << tail;
    return out.getMemoryBlock();
}

juce::MemoryBlock bytes (const juce::String& text) { return bytes (text, {}, 0, {}); }

/** The text of code points, repeated. */
juce::String repeated (std::initializer_list<juce::juce_wchar> codePoints, int repeats)
{
    juce::String piece;
    for (auto c : codePoints)
        piece << juce::String::charToString (c);
    return juce::String::repeatedString (piece, repeats);
}

juce::String mapWithAttributes (int numAttributes)
{
    juce::String text ("<map mode=\"logic\"");
    for (int i = 1; i < numAttributes; ++i)
        text << " a" << i << "=\"\"";
    return text + "/>";
}

juce::String mapWithDistinctNames (int numElements, int attributesEach)
{
    juce::String text ("<map mode=\"logic\">");
    for (int e = 0; e < numElements; ++e)
    {
        text << "<c";
        for (int a = 0; a < attributesEach; ++a)
            text << " n" << e << "_" << a << "=\"\"";
        text << "/>";
    }
    return text + "</map>";
}

juce::String mapWithControls (int numControls)
{
    return "<map mode=\"logic\"><controls>" + juce::String::repeatedString ("<control/>", numControls) + "</controls></map>";
}

class HostileMappingFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getNonexistentChildFile ("kivra-hostile-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()), {}, false);
        ASSERT_TRUE (folder.createDirectory().wasOk());
        model().impl = std::make_unique<Dolmaris::Impl>();
        model().impl->setCurrentMode (CtMode (2));
        std::memset (ud, 0x55, sizeof (RowTable));
    }

    void TearDown() override { folder.deleteRecursively(); }

    static Dolmaris& model() { return *Dolmaris::getInstance(); }

    juce::File fileWith (const juce::MemoryBlock& data)
    {
        auto file = folder.getChildFile ("hostile" + juce::String (++numWritten) + ".kivra");
        file.replaceWithData (data.getData(), data.getSize());
        return file;
    }

    /** The file is refused with the reason, and model and ud stay as they were. */
    void expectRefused (const juce::File& file, const juce::String& reason, const juce::String& name)
    {
        const auto modesBefore = model().impl->modes.createCopy();
        const std::vector<uint8_t> udBefore (&ud[0][0], &ud[0][0] + sizeof (RowTable));

        EXPECT_EQ (model().openFile (file).getErrorMessage(), "Could not load mapping data: " + reason) << name;
        EXPECT_TRUE (model().impl->modes.isEquivalentTo (modesBefore)) << name;
        EXPECT_EQ (model().impl->currentMap, model().impl->findMode (CtMode (2))) << name;
        EXPECT_EQ (std::vector<uint8_t> (&ud[0][0], &ud[0][0] + sizeof (RowTable)), udBefore) << name;
    }

    /** The file loads, and what it saves is at most a mapping file's size and loads back the same. */
    void expectLoadsAndSavesAgain (const juce::File& file, const juce::String& name)
    {
        ASSERT_TRUE (model().openFile (file).wasOk()) << name;
        const auto loaded = model().impl->currentMap.createCopy();

        const auto saved = folder.getChildFile ("saved.kivra");
        ASSERT_TRUE (model().saveCurrentMapping (saved).wasOk()) << name;
        EXPECT_LE (saved.getSize(), MappingDocument::maxFileSize) << name;
        ASSERT_TRUE (model().openFile (saved).wasOk()) << name;
        EXPECT_TRUE (model().impl->currentMap.isEquivalentTo (loaded)) << name;

        model().impl = std::make_unique<Dolmaris::Impl>();
        model().impl->setCurrentMode (CtMode (2));
    }

    juce::File folder;
    int numWritten = 0;
};

//==============================================================================
TEST_F (HostileMappingFiles, RefusedWithAReasonAndNothingChanges)
{
    const auto base64 = "binary attributes are not accepted";
    const struct { const char* name; juce::MemoryBlock data; const char* reason; } cases[] = {
        { "base64 size -1 (bad_alloc)", bytes ("<map mode=\"logic\" base64:x=\"-1.\"/>"), base64 },
        { "base64 asking for 100 MB", bytes ("<map mode=\"logic\" base64:x=\"100000000.\"/>"), base64 },
        { "base64 on a control", bytes ("<map mode=\"logic\"><controls><control base64:id=\"1.A\"/></controls></map>"), base64 },
        { "byte order mark only", bytes ("", { 0xef, 0xbb, 0xbf }, 1, ""), "not well-formed XML" },
        { "65 attributes on one element", bytes (mapWithAttributes (65)), "too many attributes on one element" },
        { "24,000 attributes", bytes (mapWithAttributes (24000)), "too many attributes on one element" },
        { "24,000 attributes on 800 elements, all names different", bytes (mapWithDistinctNames (800, 30)), "too many different names" },
        { "4,095 controls", bytes (mapWithControls (4095)), "too many elements" },
        { "saved escapes outgrow a mapping file",
          bytes ("<map mode=\"logic\" name='" + juce::String::repeatedString ("\"", 100000) + "'/>"), "map too large to be saved again" },
        { "indentation outgrows a mapping file",
          bytes ("<map mode=\"logic\">" + juce::String::repeatedString ("<a>", 60) + juce::String::repeatedString ("<b/>", 3900)
                 + juce::String::repeatedString ("</a>", 60) + "</map>"), "map too large to be saved again" },
    };

    for (const auto& c : cases)
        expectRefused (fileWith (c.data), c.reason, c.name);

    const auto fifo = folder.getChildFile ("fifo.kivra");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    expectRefused (fifo, "not a regular file", "a FIFO nobody writes to");

    const auto linkToFifo = folder.getChildFile ("fifo-link.kivra");
    ASSERT_TRUE (fifo.createSymbolicLink (linkToFifo, true));
    expectRefused (linkToFifo, "not a regular file", "a link to a FIFO");
}

// Invalid UTF-8 is read as Windows-1252, byte by byte; valid UTF-8 as itself.
TEST_F (HostileMappingFiles, TextIsDecodedStrictlyAsUtf8ElseWindows1252)
{
    const auto head = juce::String ("<map mode=\"logic\" name=\"");
    const struct { const char* name; juce::MemoryBlock data; juce::String expectedName; } cases[] = {
        { "overlong 4-byte forms, 16 KB", bytes (head, { 0xf0, 0x80, 0x81, 0xbb }, 4000, "\"/>"),
          repeated ({ 0xf0, 0x20ac, 0x81, 0xbb }, 4000) },
        { "the fuzzer's 64-byte overflow", bytes ("<?xml version=\"1.0\"?>" + head, { 0xc1, 0xbb }, 8, "\"/>"), repeated ({ 0xc1, 0xbb }, 8) },
        { "a surrogate", bytes (head, { 0xed, 0xa0, 0x80 }, 1, "\"/>"), repeated ({ 0xed, 0xa0, 0x20ac }, 1) },
        { "above U+10FFFF", bytes (head, { 0xf4, 0x90, 0x80, 0x80 }, 1, "\"/>"), repeated ({ 0xf4, 0x90, 0x20ac, 0x20ac }, 1) },
        { "a 5-byte form", bytes (head, { 0xf8, 0x88, 0x80, 0x80, 0x80 }, 1, "\"/>"), repeated ({ 0xf8, 0x2c6, 0x20ac, 0x20ac, 0x20ac }, 1) },
        { "a truncated sequence", bytes (head, { 0xe2, 0x82 }, 1, "\"/>"), repeated ({ 0xe2, 0x201a }, 1) },
        { "a lone continuation byte", bytes (head, { 0x9d }, 1, "\"/>"), repeated ({ 0x9d }, 1) },
        { "valid UTF-8 after a byte order mark", bytes ("", { 0xef, 0xbb, 0xbf }, 1, head + juce::String::fromUTF8 ("\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e") + "\"/>"),
          repeated ({ 0xe9, 0x20ac, 0x1d11e }, 1) },
    };

    for (const auto& c : cases)
    {
        const auto file = fileWith (c.data);
        const auto result = model().openFile (file);
        ASSERT_TRUE (result.wasOk()) << c.name << ": " << result.getErrorMessage();
        EXPECT_EQ (model().impl->currentMap.getProperty (Tags::name).toString(), c.expectedName) << c.name;
        expectLoadsAndSavesAgain (file, c.name);
    }
}

// The limits leave room for what the editor itself writes: at the element
// limit the saved file (which adds an XML declaration) loads again, and so
// does an element at the attribute limit.
TEST_F (HostileMappingFiles, FilesAtTheLimitsLoadAndSaveAgain)
{
    expectLoadsAndSavesAgain (fileWith (bytes (mapWithControls (4094))), "4,094 controls");
    expectLoadsAndSavesAgain (fileWith (bytes (mapWithAttributes (64))), "64 attributes");

    const auto original = fileWith (bytes (mapWithControls (3)));
    const auto link = folder.getChildFile ("link.kivra");
    ASSERT_TRUE (original.createSymbolicLink (link, true));
    expectLoadsAndSavesAgain (link, "a link to a mapping file");
}

// Every seed of the fuzzer, the reproducers of its findings among them.
TEST_F (HostileMappingFiles, FuzzerCorpusIsRefusedOrRoundTrips)
{
    const juce::File corpus (KIVRA_TEST_DATA_DIR "/../../fuzz/corpus");
    const auto files = corpus.findChildFiles (juce::File::findFiles, false);
    ASSERT_FALSE (files.isEmpty()) << corpus.getFullPathName();

    for (const auto& file : files)
    {
        const auto modesBefore = model().impl->modes.createCopy();
        const auto result = model().openFile (file);
        if (result.failed())
        {
            EXPECT_TRUE (result.getErrorMessage().startsWith ("Could not load mapping data")) << file.getFileName();
            EXPECT_TRUE (model().impl->modes.isEquivalentTo (modesBefore)) << file.getFileName();
        }
        else
        {
            expectLoadsAndSavesAgain (file, file.getFileName());
        }
    }
}
} // namespace
