// The settings file that the model object's deletion writes, also where a user
// or a tool has edited the old one into something JUCE must not read. Each
// test runs in a process of its own, since the object can be deleted only once.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
// Moves both settings files and the home folder into a scratch folder of this
// process's own (scenarios run in parallel).
class ModelLifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (scratch.folder.getChildFile ("home").createDirectory());
        setenv ("HOME", scratch.folder.getChildFile ("home").getFullPathName().toRawUTF8(), 1);
        SettingsLocation::redirectBelow (scratch.folder);
        common = SettingsLocation::commonFile();
        user = SettingsLocation::userFile();
        ASSERT_TRUE (common.isAChildOf (scratch.folder) && user.isAChildOf (scratch.folder) && common != user);
    }

    // Sets a mode, deletes the model, and checks the one file written: it holds
    // one value, "modes", the modes tree (the current mode among its
    // properties) as XML, in JUCE's compressed form.
    void expectDeletionWritesOnly (const juce::File& written, const juce::File& notWritten, int mode)
    {
        auto& impl = *Dolmaris::getInstance()->impl;
        impl.setCurrentMode (CtMode (mode));
        impl.currentMap.getChildWithName (Tags::controls).getChild (4).setProperty (Tags::value, 99, nullptr);
        const auto expected = impl.modes.createCopy();

        Dolmaris::deleteInstance();

        EXPECT_FALSE (notWritten.exists());
        EXPECT_EQ (juce::FileInputStream (written).readInt(), (int) juce::ByteOrder::littleEndianInt ("CPRP"));
        const auto stored = juce::PropertiesFile (written, SettingsLocation::options()).getAllProperties();
        EXPECT_EQ (stored.getAllKeys(), juce::StringArray ("modes"));
        EXPECT_TRUE (juce::ValueTree::fromXml (stored["modes"]).isEquivalentTo (expected)) << stored["modes"].substring (0, 200);
    }

    // Both settings files hold the text at quit: the editor neither crashes nor
    // hangs, writes a fresh common file, and keeps each old one with ".bad" added.
    void expectQuitSetsAside (const juce::String& hostile)
    {
        for (const auto& file : { common, user })
            ASSERT_TRUE (file.getParentDirectory().createDirectory() && file.replaceWithText (hostile));

        expectDeletionWritesOnly (common, user, 1);

        for (const auto& file : { common, user })
            EXPECT_EQ (file.getSiblingFile (file.getFileName() + ".bad").loadFileAsString(), hostile) << file.getFullPathName();
    }

    testsupport::ScratchFolder scratch;
    juce::File common, user;
};

using HostileSettingsAtQuit = ModelLifecycle;
} // namespace

// Tests run as root, for whom no permission bit blocks a write: a regular file
// where the common folder should be does.
TEST_F (ModelLifecycle, SettingsFallBackToTheUsersFileWhenTheCommonOneCannotBeWritten)
{
    const auto blocker = common.getParentDirectory().getParentDirectory();
    ASSERT_TRUE (blocker.isAChildOf (scratch.folder) && blocker.getParentDirectory().createDirectory());
    ASSERT_TRUE (blocker.replaceWithText ("not a folder"));
    expectDeletionWritesOnly (user, common, 3);
    EXPECT_EQ (blocker.loadFileAsString(), "not a folder");
}

// Checked before JUCE reads them: a DOCTYPE that makes JUCE recurse until the
// stack runs out. (Other files JUCE must not read: SettingsFileCheckTest.)
TEST_F (HostileSettingsAtQuit, DoctypeWithSelfReferencingEntity)
{
    expectQuitSetsAside ("<?xml version=\"1.0\"?><!DOCTYPE PROPERTIES [<!ENTITY a \"x&a;\">]>"
                         "<PROPERTIES><VALUE name=\"modes\" val=\"&a;\"/></PROPERTIES>");
}

// The other of JUCE's traps for XML settings: text after a processing
// instruction inside an element makes its parser loop for ever. Only this
// sees a settings check that keeps out DOCTYPEs and bad text but not that.
TEST_F (HostileSettingsAtQuit, ProcessingInstructionFollowedByText)
{
    expectQuitSetsAside ("<PROPERTIES><VALUE name=\"modes\"><?x?>text</VALUE></PROPERTIES>");
}
