// Settings files that a user or a tool has edited into something JUCE must not
// read, met when the model writes its settings at quit: the editor neither
// crashes nor hangs, the file is replaced by a fresh one and the old one is
// kept beside it with ".bad" added. Each scenario runs in a process of its own.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace
{
juce::File makeTemporaryFolder()
{
    auto path = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("kivra-hostile-settings-XXXXXX").getFullPathName().toStdString();
    return mkdtemp (path.data()) != nullptr ? juce::File (path) : juce::File();
}

juce::MemoryBlock randomBytes (int size)
{
    juce::MemoryBlock data ((size_t) size);
    juce::Random random (20261206);
    for (size_t i = 0; i < data.getSize(); ++i)
        data[i] = (char) random.nextInt (256);
    return data;
}

class HostileSettingsAtQuit : public ::testing::Test
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
        ASSERT_TRUE (common.isAChildOf (folder) && user.isAChildOf (folder));
    }

    void TearDown() override { folder.deleteRecursively(); }

    /** Puts the bytes in both settings files, quits, and checks what is left. */
    void quitWith (const juce::MemoryBlock& hostile)
    {
        for (const auto& file : { common, user })
        {
            ASSERT_TRUE (file.getParentDirectory().createDirectory());
            ASSERT_TRUE (file.replaceWithData (hostile.getData(), hostile.getSize()));
        }
        Dolmaris::getInstance()->impl->setCurrentMode (CtMode (1));

        Dolmaris::deleteInstance();

        for (const auto& file : { common, user })
        {
            juce::MemoryBlock kept;
            ASSERT_TRUE (file.getSiblingFile (file.getFileName() + ".bad").loadFileAsData (kept)) << file.getFullPathName();
            EXPECT_TRUE (kept == hostile) << file.getFullPathName();
        }

        // A fresh common file in JUCE's compressed form, holding the modes.
        juce::MemoryBlock fresh;
        ASSERT_TRUE (common.loadFileAsData (fresh));
        ASSERT_GT (fresh.getSize(), 4u);
        EXPECT_EQ (std::memcmp (fresh.getData(), "CPRP", 4), 0);
        const auto stored = juce::PropertiesFile (common, SettingsLocation::options()).getValue ("modes");
        EXPECT_TRUE (stored.startsWith ("<modes current=\"logic\">")) << stored.substring (0, 80);
    }

    juce::File folder, common, user;
};
} // namespace

juce::MemoryBlock text (const char* t) { return { t, std::strlen (t) }; }

// Without the check JUCE recurses until the stack runs out.
TEST_F (HostileSettingsAtQuit, DoctypeWithSelfReferencingEntity)
{
    quitWith (text ("<?xml version=\"1.0\"?><!DOCTYPE PROPERTIES [<!ENTITY a \"x&a;\">]>"
                    "<PROPERTIES><VALUE name=\"modes\" val=\"&a;\"/></PROPERTIES>"));
}

// Without the check JUCE loops for ever.
TEST_F (HostileSettingsAtQuit, ProcessingInstructionFollowedByText)
{
    quitWith (text ("<PROPERTIES><VALUE name=\"modes\"><?x?>text</VALUE></PROPERTIES>"));
}

TEST_F (HostileSettingsAtQuit, RandomBytes)
{
    quitWith (randomBytes (4096));
}
