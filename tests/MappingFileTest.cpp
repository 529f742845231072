// Saving and loading mapping files through the model.
#include "model/Arrays.h"
#include "model/Dolmaris.h"

#include <gtest/gtest.h>

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
        model().impl = std::make_unique<Dolmaris::Impl>();
    }

    void TearDown() override { folder.deleteRecursively(); }

    static Dolmaris& model() { return *Dolmaris::getInstance(); }
    static Dolmaris::Impl& state() { return *model().impl; }

    juce::File fileWith (const juce::String& text)
    {
        auto file = folder.getChildFile ("written" + juce::String (++numWritten) + ".kivra");
        file.replaceWithText (text, false, false, "\n");
        return file;
    }

    static juce::ValueTree control (const juce::ValueTree& map, int id)
    {
        return map.getChildWithName (Tags::controls).getChild (id - 1);
    }

    static void fillUd (uint8_t byte) { std::memset (ud, byte, sizeof (RowTable)); }

    static std::vector<uint8_t> udBytes() { return { &ud[0][0], &ud[0][0] + sizeof (RowTable) }; }

    static std::vector<uint8_t> udRow (int id) { return { ud[id - 1][0], ud[id - 1][1], ud[id - 1][2] }; }

    juce::File folder;
    int numWritten = 0;
};

//==============================================================================
TEST_F (MappingFileTest, SavedTextHasDeclarationBlankLineCrLfAndAttributeOrder)
{
    const auto file = folder.getChildFile ("default.kivra");
    ASSERT_TRUE (model().saveCurrentMapping (file).wasOk());

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    const auto text = bytes.toString();

    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                  "\r\n"
                                  "<map mode=\"mackie\" name=\"MCP\">\r\n"
                                  "  <controls>\r\n"
                                  "    <control id=\"1\" kind=\"button\" type=\"note\" chan=\"1\" value=\"0\"/>\r\n"
                                  "    <control id=\"2\" kind=\"button\" type=\"note\" chan=\"1\" value=\"1\"/>\r\n"));
    EXPECT_TRUE (text.endsWith ("    <control id=\"108\" kind=\"master-fader\" type=\"pitch\" chan=\"9\" value=\"0\"/>\r\n"
                                "  </controls>\r\n"
                                "</map>\r\n"));

    EXPECT_EQ (text.replace ("\r\n", "").indexOfAnyOf ("\r\n"), -1) << "a bare CR or LF";
    EXPECT_EQ (text.length() - text.removeCharacters ("\n").length(), 2 + 1 + 1 + 108 + 2) << "lines";
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1); // no temporary left over
}

// The default map of every working mode, byte for byte as the expected
// files hold it (these also seed the fuzzer).
TEST_F (MappingFileTest, SavedDefaultMapsAreByteForByteTheExpectedFiles)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const auto slug = CtMode::slugForType (mode);
        state().setCurrentMode (CtMode (mode));
        const auto file = folder.getChildFile (slug + ".kivra");
        ASSERT_TRUE (model().saveCurrentMapping (file).wasOk());

        juce::MemoryBlock saved, expected;
        ASSERT_TRUE (file.loadFileAsData (saved));
        ASSERT_TRUE (juce::File (KIVRA_TEST_DATA_DIR "/mapping/" + slug + "-default.kivra").loadFileAsData (expected));
        EXPECT_TRUE (saved == expected) << slug;
    }
}

TEST_F (MappingFileTest, LongAttributesWrapAfterSixtyCharacters)
{
    auto map = state().currentMap;
    map.setProperty (Tags::name, juce::String::repeatedString ("n", 60), nullptr);
    map.setProperty ("extra", "x", nullptr);

    const auto file = folder.getChildFile ("wrapped.kivra");
    ASSERT_TRUE (model().saveCurrentMapping (file).wasOk());

    // The wrapped attribute lines up under the first one: indent = tag length + 1.
    EXPECT_TRUE (file.loadFileAsString().contains ("<map mode=\"mackie\" name=\"" + juce::String::repeatedString ("n", 60)
                                                   + "\"\r\n     extra=\"x\">\r\n"));
}

TEST_F (MappingFileTest, SaveWithoutCurrentMapWritesNothing)
{
    state().setCurrentMode (CtMode (5)); // no map exists for it
    const auto file = folder.getChildFile ("none.kivra");

    EXPECT_EQ (model().saveCurrentMapping (file).getErrorMessage(), "Could not save current mapping to disk");
    EXPECT_FALSE (file.exists());
}

TEST_F (MappingFileTest, WriteFailureKeepsTheOldTarget)
{
    const auto blocker = fileWith ("plain file");
    EXPECT_EQ (model().saveCurrentMapping (blocker.getChildFile ("sub").getChildFile ("m.kivra")).getErrorMessage(),
               "Failed to write mapping file");
    EXPECT_EQ (blocker.loadFileAsString(), "plain file");

    // A name at the length limit leaves no room for the temporary file's
    // longer name beside it, so the write fails with the target in place.
    const auto longName = juce::String::repeatedString ("a", 249) + ".kivra";
    const auto target = folder.getChildFile (longName);
    {
        juce::FileOutputStream out (target); // replaceWithText would need the temporary name too
        ASSERT_TRUE (out.openedOk());
        out << "old contents";
    }
    EXPECT_EQ (model().saveCurrentMapping (target).getErrorMessage(), "Failed to write mapping file");
    EXPECT_EQ (target.loadFileAsString(), "old contents");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 2);
}

//==============================================================================
TEST_F (MappingFileTest, RoundTripReplacesTheModeInPlaceAndMakesItCurrent)
{
    control (state().currentMap, 7).setProperty (Tags::value, 99, nullptr);
    const auto file = folder.getChildFile ("mackie.kivra");
    ASSERT_TRUE (model().saveCurrentMapping (file).wasOk());
    const auto saved = state().currentMap.createCopy();

    model().impl = std::make_unique<Dolmaris::Impl>();
    state().setCurrentMode (CtMode (2));
    const auto logicMap = state().modes.getChild (1);

    ASSERT_TRUE (model().openFile (file).wasOk());

    EXPECT_EQ ((int) model().getCurrCtMode(), 0);
    EXPECT_EQ (state().modes.getProperty ("current").toString(), "mackie");
    juce::StringArray order;
    for (const auto& map : state().modes)
        order.add (map[Tags::mode]);
    EXPECT_EQ (order.joinIntoString (","), "mackie,logic,pro-tools,user-defined");
    EXPECT_EQ (state().currentMap, state().modes.getChild (0));
    EXPECT_TRUE (state().currentMap.isEquivalentTo (saved));
    EXPECT_EQ (state().modes.getChild (1), logicMap); // other modes untouched
    EXPECT_EQ (control (state().currentMap, 7).getProperty (Tags::value).toString(), "99");
}

TEST_F (MappingFileTest, UserDefinedRoundTripRebuildsUd)
{
    state().setCurrentMode (CtMode (3));
    auto node = control (state().currentMap, 92);
    node.setProperty (Tags::type, "note", nullptr);
    node.setProperty (Tags::chan, 5, nullptr);
    node.setProperty (Tags::value, 77, nullptr);
    const auto file = folder.getChildFile ("ud.kivra");
    ASSERT_TRUE (model().saveCurrentMapping (file).wasOk());

    fillUd (0x55);
    state().setCurrentMode (CtMode (0));
    ASSERT_TRUE (model().openFile (file).wasOk());

    EXPECT_EQ ((int) model().getCurrCtMode(), 3);
    EXPECT_EQ (udRow (92), (std::vector<uint8_t> { 9, 0x94, 77 }));
    EXPECT_EQ (udRow (1), (std::vector<uint8_t> { 9, 0x90, 0 }));
    EXPECT_EQ (udRow (95), (std::vector<uint8_t> { 0x0B, 0xB0, 20 }));
    EXPECT_EQ (udRow (108), (std::vector<uint8_t> { 0x0E, 0xE8, 0 }));
}

TEST_F (MappingFileTest, OtherRootTagsByteOrderMarksAndExtraElementsAreAccepted)
{
    struct Case { const char* text; bool utf16, bom; int mode, numChildren; const char* rootTag; };
    const Case cases[] = { { "<mapping mode=\"logic\" name=\"Logic\"><controls/></mapping>", false, false, 1, 1, "mapping" },
                           { "<map mode=\"pro-tools\"><controls/><controls/><other/></map>", false, true, 2, 3, "map" },
                           { "<map mode=\"logic\"/>", true, true, 1, 0, "map" } };
    for (const auto& c : cases)
    {
        const auto file = folder.getChildFile ("accepted.kivra");
        file.replaceWithText (c.text, c.utf16, c.bom, "\n");
        ASSERT_TRUE (model().openFile (file).wasOk()) << c.text;
        EXPECT_EQ ((int) model().getCurrCtMode(), c.mode);
        EXPECT_EQ (state().currentMap.getType().toString(), c.rootTag);
        EXPECT_EQ (state().currentMap.getNumChildren(), c.numChildren);
        EXPECT_EQ (state().modes.getChild (c.mode), state().currentMap);
        EXPECT_EQ (state().modes.getNumChildren(), 4);
    }
}

TEST_F (MappingFileTest, UserDefinedRowsFollowTheLoadedAttributes)
{
    fillUd (0x55);
    ASSERT_TRUE (model().openFile (fileWith ("<map mode=\"user-defined\"/>")).wasOk());
    for (int id = 1; id <= 108; ++id)
        ASSERT_EQ (udRow (id), (std::vector<uint8_t> { 9, 0x90, 0 })) << "without controls, id " << id;

    fillUd (0x55);
    const auto file = fileWith ("<map mode=\"user-defined\"><controls>"
                                "<control id=\"5\" type=\"\" chan=\"3\" value=\"200\"/>"
                                "<control id=\"6\" type=\"pitch\" chan=\"0\" value=\"-1\"/>"
                                "<control id=\"7\" type=\"cc\" value=\"300\"/>"
                                "<control id=\" 8\" type=\"cc\" chan=\"2\" value=\"5\"/>"
                                "<control id=\"9\" type=\"Note\" chan=\"99999999999999\" value=\"-2147483648\"/>"
                                "<control id=\"10\" type=\"cc\" chan=\"16\" value=\"127\"/>"
                                "<control id=\"10\" type=\"note\" chan=\"1\" value=\"1\"/>"
                                "</controls></map>");
    ASSERT_TRUE (model().openFile (file).wasOk());

    EXPECT_EQ (udRow (5), (std::vector<uint8_t> { 9, 0x92, 200 }));       // empty type is sent as a note
    EXPECT_EQ (udRow (6), (std::vector<uint8_t> { 0x0E, 0xFF, 0xFF }));   // low 8 bits of the rule
    EXPECT_EQ (udRow (7), (std::vector<uint8_t> { 0x0B, 0xB0, 44 }));     // no chan: channel 1
    EXPECT_EQ (udRow (8), (std::vector<uint8_t> { 9, 0x90, 0 }));         // " 8" is not the id 8
    EXPECT_EQ (udRow (9), (std::vector<uint8_t> { 9, 0xFE, 0 }));         // letter case matters; digits wrap
    EXPECT_EQ (udRow (10), (std::vector<uint8_t> { 0x0B, 0xBF, 127 }));   // the first node of an id wins
    EXPECT_EQ (udRow (11), (std::vector<uint8_t> { 9, 0x90, 0 }));

    // The tree keeps what the file said.
    const auto node = state().currentMap.getChildWithName (Tags::controls).getChild (0);
    EXPECT_TRUE (node.hasProperty (Tags::type));
    EXPECT_EQ (node.getProperty (Tags::type).toString(), "");
    EXPECT_EQ (node.getNumProperties(), 4);
}

TEST_F (MappingFileTest, OtherModesLeaveUdAlone)
{
    for (const auto* slug : { "mackie", "logic", "pro-tools" })
    {
        fillUd (0x55);
        const auto before = udBytes();
        ASSERT_TRUE (model().openFile (fileWith (juce::String ("<map mode=\"") + slug + "\"><controls>"
                                                 "<control id=\"1\" type=\"cc\" chan=\"4\" value=\"9\"/>"
                                                 "</controls></map>")).wasOk())
            << slug;
        EXPECT_EQ (udBytes(), before) << slug;
        EXPECT_EQ (state().currentMap.getProperty (Tags::mode).toString(), slug);
    }
}

//==============================================================================
TEST_F (MappingFileTest, RefusedFilesChangeNothing)
{
    state().setCurrentMode (CtMode (1));
    fillUd (0x55);
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
        EXPECT_EQ (model().openFile (file).getErrorMessage(), expectedText) << file.getFileName();
        EXPECT_TRUE (state().modes.isEquivalentTo (modesBefore)) << file.getFileName();
        EXPECT_EQ (state().currentMap, currentBefore) << file.getFileName();
        EXPECT_EQ (udBytes(), udBefore) << file.getFileName();
    }
}

} // namespace
