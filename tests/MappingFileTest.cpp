// Saving and loading mapping files through the model.
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

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
        SettingsLocation::redirectBelow (folder);
        model().impl = std::make_unique<Dolmaris::Impl>();
    }

    void TearDown() override { folder.deleteRecursively(); }

    static Dolmaris& model() { return *Dolmaris::getInstance(); }
    static Dolmaris::Impl& state() { return *model().impl; }

    juce::File fileWith (const juce::String& text, const juce::String& name = "written.kivra") const
    {
        auto file = folder.getChildFile (name);
        file.replaceWithText (text, false, false, "\n");
        return file;
    }

    static juce::ValueTree control (const juce::ValueTree& map, int id)
    {
        return map.getChildWithName (Tags::controls).getChild (id - 1);
    }

    static std::vector<juce::String> modeOrder()
    {
        std::vector<juce::String> order;
        for (const auto& map : state().modes)
            order.push_back (map.getProperty (Tags::mode).toString());
        return order;
    }

    static void fillUd (uint8_t byte) { std::memset (ud, byte, sizeof (RowTable)); }

    static std::vector<uint8_t> udBytes() { return { &ud[0][0], &ud[0][0] + sizeof (RowTable) }; }

    static std::vector<uint8_t> udRow (int id) { return { ud[id - 1][0], ud[id - 1][1], ud[id - 1][2] }; }

    juce::File folder;
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

    // Every line ends in CR LF: no bare LF, no bare CR.
    for (int i = 0; i < text.length(); ++i)
    {
        if (text[i] == '\n')
        {
            ASSERT_TRUE (i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
        if (text[i] == '\r')
        {
            ASSERT_TRUE (text[i + 1] == '\n') << "bare CR at " << i;
        }
    }

    juce::StringArray lines;
    lines.addLines (text);
    EXPECT_EQ (lines.size(), 2 + 1 + 1 + 108 + 2 + 1); // the final CR LF leaves an empty last line
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1); // no temporary left over
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
    const auto blocker = fileWith ("plain file", "blocker");
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
    EXPECT_EQ (modeOrder(), (std::vector<juce::String> { "mackie", "logic", "pro-tools", "user-defined" }));
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

TEST_F (MappingFileTest, RootTagNeedNotBeMap)
{
    const auto file = fileWith ("<mapping mode=\"logic\" name=\"Logic\"><controls/></mapping>");
    ASSERT_TRUE (model().openFile (file).wasOk());

    EXPECT_EQ ((int) model().getCurrCtMode(), 1);
    EXPECT_EQ (state().currentMap.getType().toString(), "mapping");
    EXPECT_EQ (state().modes.getChild (1), state().currentMap);
    EXPECT_EQ (state().modes.getNumChildren(), 4);
}

TEST_F (MappingFileTest, UserDefinedWithoutControlsMakesEveryRowANoteOnChannelOne)
{
    fillUd (0x55);
    ASSERT_TRUE (model().openFile (fileWith ("<map mode=\"user-defined\"/>")).wasOk());

    for (int id = 1; id <= 108; ++id)
        ASSERT_EQ (udRow (id), (std::vector<uint8_t> { 9, 0x90, 0 })) << "id " << id;
}

TEST_F (MappingFileTest, UserDefinedRowsFollowTheLoadedAttributes)
{
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

    const juce::String plainFailure ("Could not load mapping data");
    const juce::String unknownMode ("Could not load mapping data: unknown control mode");
    const juce::String doctype ("Could not load mapping data: document type declarations are not accepted");

    folder.getChildFile ("secret.dtd").replaceWithText ("<!ENTITY b \"logic\">");
    const std::pair<juce::File, juce::String> cases[] = {
        { folder.getChildFile ("missing.kivra"), plainFailure },
        { fileWith ("", "empty.kivra"), plainFailure },
        { fileWith ("mode=logic, not XML", "text.kivra"), plainFailure },
        { fileWith ("<map mode=\"logic\"><controls>", "unclosed.kivra"), plainFailure },
        { folder, plainFailure },
        // An attribute twice is not well-formed; the tree would read one and write the other.
        { fileWith ("<map mode=\"logic\" mode=\"mackie\"/>", "twice.kivra"), plainFailure },
        { fileWith ("<map mode=\"logic\"><controls><control id=\"1\" chan=\"2\" chan=\"3\"/></controls></map>",
                    "twicedeep.kivra"),
          plainFailure },
        { fileWith ("<map name=\"Logic\"/>", "nomode.kivra"), unknownMode },
        { fileWith ("<map mode=\" logic \"/>", "padded.kivra"), unknownMode },
        { fileWith ("<map mode=\"Logic\"/>", "case.kivra"), unknownMode },
        { fileWith ("<map mode=\"MCP\"/>", "display.kivra"), unknownMode },
        { fileWith ("<map mode=\"cubase\" name=\"Cubase\"/>", "cubase.kivra"), unknownMode },
        { fileWith ("<map mode=\"bitwig\"/>", "bitwig.kivra"), unknownMode },
        { fileWith ("<map base64:mode=\"" + juce::MemoryBlock ("logic", 5).toBase64Encoding() + "\"/>", "binary.kivra"), unknownMode },
        // An external DTD would be read from beside the file, a self-referencing
        // entity would recurse until the stack runs out.
        { fileWith ("<!DOCTYPE map SYSTEM \"secret.dtd\"><map mode=\"&b;\"/>", "external.kivra"), doctype },
        { fileWith ("<!DOCTYPE x [<!ENTITY a \"x&a;\">]><map mode=\"&a;\"/>", "recursive.kivra"), doctype },
        // Text after a processing instruction inside an element makes the parser loop forever.
        { fileWith ("<map mode=\"logic\"><?p?>x</map>", "instruction.kivra"),
          "Could not load mapping data: processing instructions are not accepted" },
        { fileWith ("<map mode=\"logic\" pad=\"" + juce::String::repeatedString ("x", 300 * 1024) + "\"/>", "large.kivra"),
          "Could not load mapping data: file too large" },
        // Nested deep enough to exhaust the parser's stack, yet small.
        { fileWith ("<map mode=\"logic\">" + juce::String::repeatedString ("<a>", 60000), "deep.kivra"),
          "Could not load mapping data: too many elements" },
        { fileWith ("<map mode=\"logic\">" + juce::String::repeatedString ("<a>", 100)
                        + juce::String::repeatedString ("</a>", 100) + "</map>",
                    "nested.kivra"),
          "Could not load mapping data: elements nested too deeply" },
    };

    for (const auto& [file, expectedText] : cases)
    {
        EXPECT_EQ (model().openFile (file).getErrorMessage(), expectedText) << file.getFileName();
        EXPECT_TRUE (state().modes.isEquivalentTo (modesBefore)) << file.getFileName();
        EXPECT_EQ (state().currentMap, currentBefore) << file.getFileName();
        EXPECT_EQ (udBytes(), udBefore) << file.getFileName();
    }
}

TEST_F (MappingFileTest, ByteOrderMarksAndExtraElementsAreAccepted)
{
    const auto utf8 = folder.getChildFile ("bom8.kivra");
    utf8.replaceWithText ("<map mode=\"pro-tools\"><controls/><controls/><other/></map>", false, true, "\n");
    ASSERT_TRUE (model().openFile (utf8).wasOk());
    EXPECT_EQ ((int) model().getCurrCtMode(), 2);
    EXPECT_EQ (state().currentMap.getNumChildren(), 3);

    const auto utf16 = folder.getChildFile ("bom16.kivra");
    utf16.replaceWithText ("<map mode=\"logic\"/>", true, true, "\n");
    ASSERT_TRUE (model().openFile (utf16).wasOk());
    EXPECT_EQ ((int) model().getCurrCtMode(), 1);
}
} // namespace
