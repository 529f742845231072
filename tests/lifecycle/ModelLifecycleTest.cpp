// The settings file that the model object's deletion writes. Each test runs
// in a process of its own, since the object can be deleted only once.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cstdlib>

namespace
{
/** JUCE's compressed binary properties files start with "CPRP". */
bool isCompressedPropertiesFile (const juce::File& file)
{
    juce::MemoryBlock data;
    return file.loadFileAsData (data) && data.getSize() > 4 && std::memcmp (data.getData(), "CPRP", 4) == 0;
}

/** The settings file holds one value, "modes": the modes tree as one line of XML. */
void expectSettingsHold (const juce::File& file, const juce::ValueTree& modes, const juce::String& current)
{
    ASSERT_TRUE (file.existsAsFile());
    EXPECT_TRUE (isCompressedPropertiesFile (file));

    const auto stored = juce::PropertiesFile (file, SettingsLocation::options()).getAllProperties();
    EXPECT_EQ (stored.getAllKeys(), juce::StringArray ("modes"));
    const auto text = stored["modes"];
    EXPECT_FALSE (text.containsAnyOf ("\r\n") || text.startsWith ("<?xml"));

    const auto root = juce::parseXML (text);
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getStringAttribute ("current"), current);
    EXPECT_TRUE (juce::ValueTree::fromXml (*root).isEquivalentTo (modes)) << text.substring (0, 200);
    EXPECT_TRUE (text.contains ("<control id=\"108\" kind=\"master-fader\" type=\"pitch\" chan=\"9\" value=\"0\"/>"))
        << "attributes in the order they were first set";
}

/** A new folder of this process's own: the scenarios run in parallel, and
    must not share (or delete) each other's files. */
juce::File makeTemporaryFolder()
{
    auto path = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("kivra-lifecycle-XXXXXX")
                    .getFullPathName()
                    .toStdString();
    if (mkdtemp (path.data()) == nullptr)
        return {};
    return juce::File (path);
}

//==============================================================================
/** Moves both settings files and the home folder into a temporary folder,
    and deletes it afterwards. */
class ModelLifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = makeTemporaryFolder();
        ASSERT_TRUE (folder.isDirectory());
        const auto home = folder.getChildFile ("home");
        ASSERT_TRUE (home.createDirectory());
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        SettingsLocation::redirectBelow (folder);

        common = SettingsLocation::commonFile();
        user = SettingsLocation::userFile();
        ASSERT_TRUE (common.isAChildOf (folder)) << common.getFullPathName();
        ASSERT_TRUE (user.isAChildOf (folder)) << user.getFullPathName();
        ASSERT_NE (common, user);
    }

    void TearDown() override
    {
        if (folder.isDirectory())
            folder.deleteRecursively();
    }

    juce::File folder, common, user;
};
} // namespace

//==============================================================================
TEST_F (ModelLifecycle, SettingsAreWrittenToTheCommonFileAtDeletion)
{
    auto& impl = *Dolmaris::getInstance()->impl;
    impl.setCurrentMode (CtMode (2));
    impl.currentMap.getChildWithName (Tags::controls).getChild (4).setProperty (Tags::value, 99, nullptr);
    const auto expected = impl.modes.createCopy();
    EXPECT_FALSE (common.exists() || user.exists());

    Dolmaris::deleteInstance();

    EXPECT_FALSE (user.exists());
    expectSettingsHold (common, expected, "pro-tools");
}

TEST_F (ModelLifecycle, SettingsFallBackToTheUsersFileWhenTheCommonOneCannotBeWritten)
{
    // Tests run as root, for whom no permission bit blocks a write: a regular
    // file where the common folder should be does.
    const auto blocker = common.getParentDirectory().getParentDirectory();
    ASSERT_TRUE (blocker.isAChildOf (folder));
    ASSERT_TRUE (blocker.getParentDirectory().createDirectory());
    ASSERT_TRUE (blocker.replaceWithText ("not a folder"));

    auto& impl = *Dolmaris::getInstance()->impl;
    impl.setCurrentMode (CtMode (3));
    const auto expected = impl.modes.createCopy();

    Dolmaris::deleteInstance();

    EXPECT_FALSE (common.exists());
    EXPECT_EQ (blocker.loadFileAsString(), "not a folder");
    expectSettingsHold (user, expected, "user-defined");
}
