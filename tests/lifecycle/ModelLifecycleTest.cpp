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
juce::String singleLineXml (const juce::ValueTree& tree)
{
    return tree.createXml()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
}

juce::StringArray attributeNames (const juce::XmlElement& element)
{
    juce::StringArray names;
    for (int i = 0; i < element.getNumAttributes(); ++i)
        names.add (element.getAttributeName (i));
    return names;
}

/** JUCE's compressed binary properties files start with "CPRP". */
bool isCompressedPropertiesFile (const juce::File& file)
{
    juce::MemoryBlock data;
    return file.loadFileAsData (data) && data.getSize() > 4 && std::memcmp (data.getData(), "CPRP", 4) == 0;
}

juce::StringPairArray readSettings (const juce::File& file)
{
    juce::PropertiesFile stored (file, SettingsLocation::options());
    return stored.getAllProperties();
}

/** The stored value of "modes": one line of XML in the shape of the modes tree. */
void expectModesXml (const juce::String& text, const juce::String& expectedCurrent)
{
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));
    EXPECT_FALSE (text.startsWith ("<?xml"));

    const auto root = juce::parseXML (text);
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getTagName(), "modes");
    EXPECT_EQ (attributeNames (*root), juce::StringArray ("current"));
    EXPECT_EQ (root->getStringAttribute ("current"), expectedCurrent);

    const juce::StringArray slugs { "mackie", "logic", "pro-tools", "user-defined" };
    ASSERT_EQ (root->getNumChildElements(), 4);
    for (int m = 0; m < 4; ++m)
    {
        const auto* map = root->getChildElement (m);
        EXPECT_EQ (map->getTagName(), "map");
        EXPECT_EQ (attributeNames (*map), juce::StringArray ("mode", "name"));
        EXPECT_EQ (map->getStringAttribute ("mode"), slugs[m]);

        ASSERT_EQ (map->getNumChildElements(), 1);
        const auto* controls = map->getChildByName ("controls");
        ASSERT_NE (controls, nullptr);
        ASSERT_EQ (controls->getNumChildElements(), 108);
        for (int i = 0; i < 108; ++i)
        {
            const auto* control = controls->getChildElement (i);
            EXPECT_EQ (control->getTagName(), "control");
            EXPECT_EQ (attributeNames (*control), juce::StringArray ("id", "kind", "type", "chan", "value"));
            EXPECT_EQ (control->getStringAttribute ("id"), juce::String (i + 1));
        }
    }
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
    const auto expected = singleLineXml (impl.modes);

    EXPECT_FALSE (common.exists());
    EXPECT_FALSE (user.exists());

    Dolmaris::deleteInstance();

    ASSERT_TRUE (common.existsAsFile());
    EXPECT_FALSE (user.exists());
    EXPECT_TRUE (isCompressedPropertiesFile (common));

    const auto stored = readSettings (common);
    ASSERT_EQ (stored.size(), 1);
    EXPECT_EQ (stored.getAllKeys()[0], "modes");
    EXPECT_EQ (stored["modes"], expected);
    expectModesXml (stored["modes"], "pro-tools");

    const auto root = juce::parseXML (stored["modes"]);
    ASSERT_NE (root, nullptr);
    const auto* edited = root->getChildElement (2)->getChildByName ("controls")->getChildElement (4);
    EXPECT_EQ (edited->getStringAttribute ("value"), "99");
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
    const auto expected = singleLineXml (impl.modes);

    Dolmaris::deleteInstance();

    EXPECT_FALSE (common.exists());
    EXPECT_TRUE (blocker.existsAsFile());
    EXPECT_EQ (blocker.loadFileAsString(), "not a folder");

    ASSERT_TRUE (user.existsAsFile());
    EXPECT_TRUE (isCompressedPropertiesFile (user));

    const auto stored = readSettings (user);
    ASSERT_EQ (stored.size(), 1);
    EXPECT_EQ (stored.getAllKeys()[0], "modes");
    EXPECT_EQ (stored["modes"], expected);
    expectModesXml (stored["modes"], "user-defined");
}
