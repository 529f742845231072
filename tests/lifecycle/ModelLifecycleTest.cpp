// The model object's life in one process: one object from the first call of
// the accessor until the shut-down deletes it, none after; and the settings
// file that the deletion writes. Each test runs in a process of its own.
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <cstdlib>
#include <thread>
#include <vector>

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
    const auto* control = root->getChildElement (3)->getChildByName ("controls")->getChildElement (107);
    ASSERT_NE (control, nullptr);
    juce::StringArray names;
    for (int i = 0; i < control->getNumAttributes(); ++i)
        names.add (control->getAttributeName (i));
    EXPECT_EQ (names.joinIntoString (","), "id,kind,type,chan,value");
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
TEST_F (ModelLifecycle, AccessorYieldsOneObjectUntilItIsDeleted)
{
    auto* model = Dolmaris::getInstance();
    ASSERT_NE (model, nullptr);
    EXPECT_EQ (Dolmaris::getInstance(), model);
    EXPECT_NE (model->impl, nullptr);

    Dolmaris::deleteInstance();
    EXPECT_EQ (Dolmaris::singletonHolder.instance.load(), nullptr);

    EXPECT_EQ (Dolmaris::getInstance(), nullptr);
    EXPECT_EQ (Dolmaris::getInstance(), nullptr);
    EXPECT_EQ (Dolmaris::singletonHolder.instance.load(), nullptr); // and nothing new was built

    Dolmaris::deleteInstance(); // a second shut-down finds nothing to delete
}

TEST_F (ModelLifecycle, ConcurrentFirstCallsShareOneObject)
{
    constexpr int numThreads = 8;
    std::vector<Dolmaris*> seen (numThreads, nullptr);
    std::atomic<bool> go { false };
    std::vector<std::thread> threads;

    for (int i = 0; i < numThreads; ++i)
        threads.emplace_back ([&, i]
                              {
                                  while (! go.load())
                                      std::this_thread::yield();
                                  seen[(size_t) i] = Dolmaris::getInstance();
                              });
    go = true;
    for (auto& t : threads)
        t.join();

    ASSERT_NE (seen[0], nullptr);
    for (auto* model : seen)
        EXPECT_EQ (model, seen[0]);
    EXPECT_EQ (Dolmaris::getInstance(), seen[0]);

    Dolmaris::deleteInstance();
    EXPECT_EQ (Dolmaris::getInstance(), nullptr);
}

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
