// Saving and loading mapping files through the model.
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "support/ExpectedFile.h"

#include <cstring>

namespace
{
class MappingFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // CTest runs tests in parallel processes: the name must not collide.
        const auto name = "kivra-mapping-test-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64());
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile (name, {}, false);
        ASSERT_TRUE (folder.createDirectory().wasOk());
        model.impl = std::make_unique<Dolmaris::Impl>();
        std::memset (ud, 0x55, sizeof (RowTable)); // what a load must rebuild, or leave alone
    }

    void TearDown() override { folder.deleteRecursively(); }

    juce::File fileWith (const juce::String& text)
    {
        auto file = folder.getChildFile ("written" + juce::String (++numWritten) + ".kivra");
        file.replaceWithText (text, false, false, "\n");
        return file;
    }

    static std::vector<uint8_t> udBytes() { return { &ud[0][0], &ud[0][0] + sizeof (RowTable) }; }
    static std::vector<uint8_t> udRow (int id) { return { ud[id - 1], ud[id - 1] + 3 }; }

    Dolmaris& model = *Dolmaris::getInstance();
    Dolmaris::Impl& state() { return *model.impl; }
    juce::ValueTree control (int id) { return state().currentMap.getChildWithName (Tags::controls).getChild (id - 1); }
    juce::File folder;
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
        const auto file = folder.getChildFile (slug + ".kivra");
        ASSERT_TRUE (model.saveCurrentMapping (file).wasOk());

        juce::MemoryBlock saved, expected;
        ASSERT_TRUE (file.loadFileAsData (saved));
        ASSERT_TRUE (testsupport::dataFile ("mapping/" + slug + "-default.kivra").loadFileAsData (expected));
        EXPECT_TRUE (saved == expected) << slug;
    }
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 4); // no temporary left over
}

TEST_F (MappingFileTest, LongAttributesWrapAfterSixtyCharactersUnderTheFirstOne)
{
    state().currentMap.setProperty (Tags::name, juce::String::repeatedString ("n", 60), nullptr);
    state().currentMap.setProperty ("extra", "x", nullptr);
    const auto file = folder.getChildFile ("wrapped.kivra");
    ASSERT_TRUE (model.saveCurrentMapping (file).wasOk());
    EXPECT_TRUE (file.loadFileAsString().contains ("name=\"" + juce::String::repeatedString ("n", 60) + "\"\r\n     extra=\"x\">\r\n"));
}

TEST_F (MappingFileTest, FailedSavesWriteNothingAndKeepTheOldTarget)
{
    state().setCurrentMode (CtMode (5)); // no map exists for it
    EXPECT_EQ (model.saveCurrentMapping (folder.getChildFile ("none.kivra")).getErrorMessage(), "Could not save current mapping to disk");
    state().setCurrentMode (CtMode (0));

    const auto blocker = fileWith ("plain file");
    EXPECT_EQ (model.saveCurrentMapping (blocker.getChildFile ("m.kivra")).getErrorMessage(), "Failed to write mapping file");

    // A name at the length limit leaves no room for the temporary file's
    // longer name beside it, so the write fails with the target in place.
    const auto target = folder.getChildFile (juce::String::repeatedString ("a", 249) + ".kivra");
    juce::FileOutputStream (target).writeText ("old contents", false, false, nullptr);
    EXPECT_EQ (model.saveCurrentMapping (target).getErrorMessage(), "Failed to write mapping file");
    EXPECT_EQ (target.loadFileAsString() + blocker.loadFileAsString(), "old contentsplain file");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 2);
}

//==============================================================================
TEST_F (MappingFileTest, LoadReplacesTheModeInPlaceMakesItCurrentAndRebuildsUdOnlyForUserDefined)
{
    control (7).setProperty (Tags::value, 99, nullptr);
    const auto mackie = folder.getChildFile ("mackie.kivra");
    ASSERT_TRUE (model.saveCurrentMapping (mackie).wasOk());
    state().setCurrentMode (CtMode (3));
    control (92).setProperty (Tags::type, "note", nullptr).setProperty (Tags::chan, 5, nullptr).setProperty (Tags::value, 77, nullptr);
    const auto user = folder.getChildFile ("user.kivra");
    ASSERT_TRUE (model.saveCurrentMapping (user).wasOk());

    model.impl = std::make_unique<Dolmaris::Impl>();
    std::memset (ud, 0x55, sizeof (RowTable));
    const auto udBefore = udBytes();
    const auto logicMap = state().modes.getChild (1);
    ASSERT_TRUE (model.openFile (mackie).wasOk());
    EXPECT_EQ (udBytes(), udBefore);
    EXPECT_EQ (state().modes.getProperty ("current").toString(), "mackie");
    EXPECT_EQ (state().currentMap, state().modes.getChild (0));
    EXPECT_EQ (state().modes.getChild (1), logicMap); // other modes untouched
    EXPECT_EQ (control (7)[Tags::value].toString(), "99");

    ASSERT_TRUE (model.openFile (user).wasOk());
    juce::StringArray order;
    for (const auto& map : state().modes)
        order.add (map[Tags::mode]);
    EXPECT_EQ (order.joinIntoString (","), "mackie,logic,pro-tools,user-defined");
    EXPECT_EQ ((int) model.getCurrCtMode(), 3);
    const std::pair<int, std::vector<uint8_t>> rows[] = { { 92, { 9, 0x94, 77 } }, { 1, { 9, 0x90, 0 } }, { 95, { 0x0B, 0xB0, 20 } }, { 108, { 0x0E, 0xE8, 0 } } };
    for (const auto& [id, row] : rows)
        EXPECT_EQ (udRow (id), row) << id;
}

TEST_F (MappingFileTest, OtherRootTagsByteOrderMarksAndExtraElementsAreAccepted)
{
    struct Case { const char* text; bool utf16, bom; int mode, numChildren; };
    const Case cases[] = { { "<mapping mode=\"logic\" name=\"Logic\"><controls/></mapping>", false, false, 1, 1 },
                           { "<map mode=\"pro-tools\"><controls/><controls/><other/></map>", false, true, 2, 3 },
                           { "<map mode=\"logic\"/>", true, true, 1, 0 } };
    for (const auto& c : cases)
    {
        const auto file = folder.getChildFile ("accepted.kivra");
        file.replaceWithText (c.text, c.utf16, c.bom, "\n");
        ASSERT_TRUE (model.openFile (file).wasOk()) << c.text;
        EXPECT_EQ ((int) model.getCurrCtMode(), c.mode);
        EXPECT_EQ (state().currentMap.getNumChildren(), c.numChildren);
        EXPECT_TRUE (state().modes.getChild (c.mode) == state().currentMap && state().modes.getNumChildren() == 4);
    }
}

TEST_F (MappingFileTest, UserDefinedRowsFollowTheLoadedAttributes)
{
    ASSERT_TRUE (model.openFile (fileWith ("<map mode=\"user-defined\"/>")).wasOk());
    for (int id = 1; id <= 108; ++id)
        ASSERT_EQ (udRow (id), (std::vector<uint8_t> { 9, 0x90, 0 })) << "without controls, id " << id;

    const auto file = fileWith ("<map mode=\"user-defined\"><controls>"
                                "<control id=\"5\" type=\"\" chan=\"3\" value=\"200\"/>"
                                "<control id=\"6\" type=\"pitch\" chan=\"0\" value=\"-1\"/>"
                                "<control id=\"7\" type=\"cc\" value=\"300\"/>"
                                "<control id=\" 8\" type=\"cc\" chan=\"2\" value=\"5\"/>"
                                "<control id=\"9\" type=\"Note\" chan=\"99999999999999\" value=\"-2147483648\"/>"
                                "<control id=\"10\" type=\"cc\" chan=\"16\" value=\"127\"/>"
                                "<control id=\"10\" type=\"note\" chan=\"1\" value=\"1\"/>"
                                "</controls></map>");
    ASSERT_TRUE (model.openFile (file).wasOk());
    const std::pair<int, std::vector<uint8_t>> rows[] = {
        { 5, { 9, 0x92, 200 } },       // empty type is sent as a note
        { 6, { 0x0E, 0xFF, 0xFF } },   // low 8 bits of the rule
        { 7, { 0x0B, 0xB0, 44 } },     // no chan: channel 1
        { 8, { 9, 0x90, 0 } },         // " 8" is not the id 8
        { 9, { 9, 0xFE, 0 } },         // letter case matters; digits wrap
        { 10, { 0x0B, 0xBF, 127 } },   // the first node of an id wins
        { 11, { 9, 0x90, 0 } },
    };
    for (const auto& [id, row] : rows)
        EXPECT_EQ (udRow (id), row) << id;
    EXPECT_EQ (control (1).getNumProperties(), 4) << "the tree keeps what the file said";
}

//==============================================================================
TEST_F (MappingFileTest, RefusedFilesChangeNothing)
{
    state().setCurrentMode (CtMode (1));
    const auto modesBefore = state().modes.createCopy();
    const auto currentBefore = state().currentMap;
    const auto udBefore = udBytes();

    const juce::String plainFailure ("Could not load mapping data"), failure = plainFailure + ": ";
    const auto unknownMode = failure + "unknown control mode";
    const auto doctype = failure + "document type declarations are not accepted";
    const auto malformed = failure + "not well-formed XML", repeated = failure + "an attribute is given twice";

    folder.getChildFile ("secret.dtd").replaceWithText ("<!ENTITY b \"logic\">");
    const std::pair<juce::File, juce::String> cases[] = {
        { folder.getChildFile ("missing.kivra"), failure + "the file cannot be read" },
        { folder, failure + "not a regular file" },
        { fileWith (""), malformed },
        { fileWith ("mode=logic, not XML"), malformed },
        { fileWith ("<map mode=\"logic\"><controls>"), malformed },
        // An attribute twice is not well-formed; the tree would read one and write the other.
        { fileWith ("<map mode=\"logic\" mode=\"mackie\"/>"), repeated },
        { fileWith ("<map mode=\"logic\"><controls><control id=\"1\" chan=\"2\" chan=\"3\"/></controls></map>"), repeated },
        { fileWith ("<map name=\"Logic\"/>"), unknownMode },
        { fileWith ("<map mode=\" logic \"/>"), unknownMode },
        { fileWith ("<map mode=\"Logic\"/>"), unknownMode },
        { fileWith ("<map mode=\"MCP\"/>"), unknownMode },
        { fileWith ("<map mode=\"cubase\" name=\"Cubase\"/>"), unknownMode },
        { fileWith ("<map base64:mode=\"" + juce::MemoryBlock ("logic", 5).toBase64Encoding() + "\"/>"), failure + "binary attributes are not accepted" },
        // An external DTD would be read from beside the file, a self-referencing
        // entity would recurse until the stack runs out.
        { fileWith ("<!DOCTYPE map SYSTEM \"secret.dtd\"><map mode=\"&b;\"/>"), doctype },
        { fileWith ("<!DOCTYPE x [<!ENTITY a \"x&a;\">]><map mode=\"&a;\"/>"), doctype },
        // Text after a processing instruction inside an element makes the parser loop forever.
        { fileWith ("<map mode=\"logic\"><?p?>x</map>"), failure + "processing instructions are not accepted" },
        { fileWith ("<map mode=\"logic\" pad=\"" + juce::String::repeatedString ("x", 300 * 1024) + "\"/>"), failure + "file too large" },
        // Nested deep enough to exhaust the parser's stack, yet small.
        { fileWith ("<map mode=\"logic\">" + juce::String::repeatedString ("<a>", 60000)), failure + "elements nested too deeply" },
        { fileWith ("<map mode=\"logic\">" + juce::String::repeatedString ("<a>", 100) + juce::String::repeatedString ("</a>", 100) + "</map>"),
          failure + "elements nested too deeply" },
    };
    for (const auto& [file, expectedText] : cases)
    {
        EXPECT_EQ (model.openFile (file).getErrorMessage(), expectedText) << file.getFileName();
        EXPECT_TRUE (state().modes.isEquivalentTo (modesBefore) && state().currentMap == currentBefore && udBytes() == udBefore)
            << file.getFileName();
    }
}
} // namespace
