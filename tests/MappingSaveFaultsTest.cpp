// Saving a mapping file when the disk or the file is against it: the save puts
// the whole new text in place, or reports failure and leaves the old file as
// it was, with no temporary file left behind.
#include "model/Dolmaris.h"
#include "model/MappingDocument.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const juce::String writeFailure ("Failed to write mapping file");

juce::File makeTemporaryFolder()
{
    auto path = juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("kivra-save-faults-XXXXXX").getFullPathName().toStdString();
    return mkdtemp (path.data()) != nullptr ? juce::File (path) : juce::File();
}

mode_t modeOf (const juce::File& file)
{
    struct stat info {};
    return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

juce::MemoryBlock contentsOf (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

/** Fills the file system the file is on, by appending to the file until no
    byte more fits. */
void fillDisk (const juce::File& filler)
{
    const int fd = ::open (filler.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ASSERT_GE (fd, 0);
    const std::vector<char> block (4096, 'f');
    while (::write (fd, block.data(), block.size()) > 0) {}
    ::close (fd);
}

class MappingSaveFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = makeTemporaryFolder();
        ASSERT_TRUE (folder.isDirectory());
        model().impl = std::make_unique<Dolmaris::Impl>();
        model().impl->setCurrentMode (CtMode (0));
        newText = MappingDocument::toText (model().impl->currentMap);
    }

    void TearDown() override
    {
        if (mounted)
            ::umount (folder.getFullPathName().toRawUTF8());
        folder.deleteRecursively();
    }

    static Dolmaris& model() { return *Dolmaris::getInstance(); }

    /** A tmpfs of 64 KiB on the folder; false (and a skip) where mounting is not allowed. */
    bool mountSmallDisk()
    {
        mounted = ::mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", 0, "size=64k,mode=0700") == 0;
        return mounted;
    }

    juce::File oldFile (const juce::String& name, const juce::String& text, mode_t mode)
    {
        auto file = folder.getChildFile (name);
        EXPECT_TRUE (file.replaceWithText (text));
        EXPECT_EQ (::chmod (file.getFullPathName().toRawUTF8(), mode), 0);
        return file;
    }

    juce::StringArray namesInFolder() const
    {
        juce::StringArray names;
        for (const auto& f : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*", juce::File::FollowSymlinks::no))
            names.add (f.getFileName());
        names.sort (false);
        return names;
    }

    juce::File folder;
    bool mounted = false;
    juce::MemoryBlock newText;
};

//==============================================================================
TEST_F (MappingSaveFaults, PermissionsAndLinks)
{
    const auto old = juce::String::repeatedString ("old mapping ", 700); // larger than the new text

    // Private stays private; the mode is the old file's, not the default.
    const auto privateFile = oldFile ("private.kivra", old, 0600);
    EXPECT_TRUE (model().saveCurrentMapping (privateFile).wasOk());
    EXPECT_EQ (contentsOf (privateFile), newText);
    EXPECT_EQ (modeOf (privateFile), (mode_t) 0600);

    // Nobody may write it, not even its owner: it is not replaced (tests run as root).
    const auto readOnly = oldFile ("read-only.kivra", old, 0444);
    EXPECT_EQ (model().saveCurrentMapping (readOnly).getErrorMessage(), writeFailure);
    EXPECT_EQ (readOnly.loadFileAsString(), old);
    EXPECT_EQ (modeOf (readOnly), (mode_t) 0444);

    // Through a link: the linked file gets the text, the link stays a link.
    const auto linked = oldFile ("linked.kivra", old, 0640);
    const auto link = folder.getChildFile ("link.kivra");
    ASSERT_TRUE (linked.createSymbolicLink (link, true));
    EXPECT_TRUE (model().saveCurrentMapping (link).wasOk());
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (contentsOf (linked), newText);
    EXPECT_EQ (modeOf (linked), (mode_t) 0640);

    // A link to a file not there yet creates it where the link points.
    const auto dangling = folder.getChildFile ("dangling.kivra");
    ASSERT_TRUE (folder.getChildFile ("later.kivra").createSymbolicLink (dangling, true));
    EXPECT_TRUE (model().saveCurrentMapping (dangling).wasOk());
    EXPECT_TRUE (dangling.isSymbolicLink());
    EXPECT_EQ (contentsOf (folder.getChildFile ("later.kivra")), newText);

    EXPECT_EQ (namesInFolder().joinIntoString (","), "dangling.kivra,later.kivra,link.kivra,linked.kivra,private.kivra,read-only.kivra");
}

TEST_F (MappingSaveFaults, FullAndNearlyFullDisk)
{
    if (! mountSmallDisk())
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root or CAP_SYS_ADMIN); the disk-space faults are not tested";

    const auto old = juce::String::repeatedString ("old mapping ", 700);
    const auto existing = oldFile ("existing.kivra", old, 0600);
    const auto filler = folder.getChildFile ("filler");
    ASSERT_GT ((juce::int64) newText.getSize(), 4096);

    fillDisk (filler);
    EXPECT_EQ (model().saveCurrentMapping (existing).getErrorMessage(), writeFailure) << "full disk";
    EXPECT_EQ (existing.loadFileAsString(), old);

    // 4 KiB free: the first write succeeds in part, the next one fails.
    ASSERT_EQ (::truncate (filler.getFullPathName().toRawUTF8(), filler.getSize() - 4096), 0);
    EXPECT_EQ (model().saveCurrentMapping (existing).getErrorMessage(), writeFailure) << "nearly full disk";
    EXPECT_EQ (existing.loadFileAsString(), old);
    EXPECT_EQ (modeOf (existing), (mode_t) 0600);

    const auto newFile = folder.getChildFile ("new.kivra");
    EXPECT_EQ (model().saveCurrentMapping (newFile).getErrorMessage(), writeFailure) << "new file, nearly full disk";
    EXPECT_FALSE (newFile.exists());

    EXPECT_EQ (namesInFolder().joinIntoString (","), "existing.kivra,filler") << "no temporary file left";

    // With room again the same save goes through: the failures above were the disk's.
    ASSERT_TRUE (filler.deleteFile());
    EXPECT_TRUE (model().saveCurrentMapping (existing).wasOk());
    EXPECT_EQ (contentsOf (existing), newText);
    EXPECT_EQ (modeOf (existing), (mode_t) 0600);
}
} // namespace
