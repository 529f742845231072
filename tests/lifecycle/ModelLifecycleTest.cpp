// The settings file that the model object's deletion writes. Each test runs
// in a process of its own, since the object can be deleted only once.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
// Moves both settings files and the home folder into a temporary folder of
// this process's own (scenarios run in parallel), sets a mode, deletes the
// model, and checks the one file written.
class ModelLifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char path[] = "/tmp/kivra-lifecycle-XXXXXX";
        ASSERT_NE (mkdtemp (path), nullptr);
        folder = juce::File (path);
        ASSERT_TRUE (folder.getChildFile ("home").createDirectory());
        setenv ("HOME", folder.getChildFile ("home").getFullPathName().toRawUTF8(), 1);
        SettingsLocation::redirectBelow (folder);
        const auto common = SettingsLocation::commonFile(), user = SettingsLocation::userFile();
        ASSERT_TRUE (common.isAChildOf (folder) && user.isAChildOf (folder) && common != user) << common.getFullPathName() << " " << user.getFullPathName();
    }

    void TearDown() override { folder.deleteRecursively(); }

    // The file holds one value, "modes": the modes tree as XML, in JUCE's
    // compressed form ("CPRP").
    void expectDeletionWritesOnly (const juce::File& written, const juce::File& notWritten, int mode, const juce::String& slug)
    {
        auto& impl = *Dolmaris::getInstance()->impl;
        impl.setCurrentMode (CtMode (mode));
        impl.currentMap.getChildWithName (Tags::controls).getChild (4).setProperty (Tags::value, 99, nullptr);
        const auto expected = impl.modes.createCopy();

        Dolmaris::deleteInstance();

        EXPECT_FALSE (notWritten.exists());
        ASSERT_TRUE (written.existsAsFile());
        EXPECT_EQ (juce::FileInputStream (written).readInt(), (int) juce::ByteOrder::littleEndianInt ("CPRP"));
        const auto stored = juce::PropertiesFile (written, SettingsLocation::options()).getAllProperties();
        EXPECT_EQ (stored.getAllKeys(), juce::StringArray ("modes"));
        const auto modes = juce::ValueTree::fromXml (stored["modes"]);
        EXPECT_EQ (modes["current"].toString(), slug);
        EXPECT_TRUE (modes.isEquivalentTo (expected)) << stored["modes"].substring (0, 200);
    }

    juce::File folder;
};
} // namespace

TEST_F (ModelLifecycle, SettingsAreWrittenToTheCommonFileAtDeletion)
{
    expectDeletionWritesOnly (SettingsLocation::commonFile(), SettingsLocation::userFile(), 2, "pro-tools");
}

// Tests run as root, for whom no permission bit blocks a write: a regular file
// where the common folder should be does.
TEST_F (ModelLifecycle, SettingsFallBackToTheUsersFileWhenTheCommonOneCannotBeWritten)
{
    const auto blocker = SettingsLocation::commonFile().getParentDirectory().getParentDirectory();
    ASSERT_TRUE (blocker.isAChildOf (folder) && blocker.getParentDirectory().createDirectory());
    ASSERT_TRUE (blocker.replaceWithText ("not a folder"));
    expectDeletionWritesOnly (SettingsLocation::userFile(), SettingsLocation::commonFile(), 3, "user-defined");
    EXPECT_EQ (blocker.loadFileAsString(), "not a folder");
}
