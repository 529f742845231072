// Saving a mapping file when the disk or the file is against it: the save puts
// the whole new text in place, or reports failure and leaves the old file as
// it was, with its mode, and no temporary file left behind.
#include "model/Dolmaris.h"
#include "model/MappingDocument.h"
#include "support/FreshModel.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
mode_t modeOf (const juce::File& file)
{
    struct stat info {};
    return ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

/** Fills the file system by appending to the filler until no byte more fits, then frees some. */
void fillDiskLeaving (const juce::File& filler, off_t bytesFree)
{
    const int fd = ::open (filler.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const std::vector<char> block (4096, 'f');
    while (fd >= 0 && ::write (fd, block.data(), block.size()) > 0) {}
    ::close (fd);
    ASSERT_EQ (::truncate (filler.getFullPathName().toRawUTF8(), filler.getSize() - bytesFree), 0);
}

struct MappingSaveFaults : ::testing::Test
{
    // A tmpfs of 64 KiB: the tests run as root.
    void SetUp() override { mounted = ::mount ("tmpfs", folder().getFullPathName().toRawUTF8(), "tmpfs", 0, "size=64k,mode=0700") == 0; }
    void TearDown() override { if (mounted) ::umount (folder().getFullPathName().toRawUTF8()); }
    const juce::File& folder() const { return scratch.folder; }

    testsupport::ScratchFolder scratch;
    bool mounted = false;
};

TEST_F (MappingSaveFaults, TheSaveReplacesTheWholeFileOrNothing)
{
    if (! mounted)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root or CAP_SYS_ADMIN); the save faults are not tested";

    testsupport::useFreshModel().setCurrentMode (CtMode (0));
    const auto newText = MappingDocument::toText (Dolmaris::getInstance()->impl->currentMap);
    const auto oldText = juce::String::repeatedString ("old mapping ", 700); // larger than the new text
    ASSERT_GT (newText.getSize(), 4096u);

    const struct { const char* name; mode_t mode; bool throughLink; off_t bytesFree; const char* failure; } cases[] = {
        { "a 0600 file stays private", 0600, false, -1, nullptr },
        { "a 0444 file is not replaced, even by root", 0444, false, -1, "Permission denied" },
        { "a link: the linked file gets the text", 0640, true, -1, nullptr },
        { "a full disk", 0600, false, 0, "No space left on device" },
        { "a nearly full disk: the first write succeeds in part", 0600, false, 4096, "No space left on device" },
    };
    const auto file = folder().getChildFile ("mapping.kivra"), link = folder().getChildFile ("link.kivra"), filler = folder().getChildFile ("filler");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ASSERT_TRUE (file.replaceWithText (oldText) && ::chmod (file.getFullPathName().toRawUTF8(), c.mode) == 0);
        ASSERT_TRUE (! c.throughLink || file.createSymbolicLink (link, true));
        if (c.bytesFree >= 0)
            fillDiskLeaving (filler, c.bytesFree);
        const auto numFiles = folder().getNumberOfChildFiles (juce::File::findFilesAndDirectories);

        const bool saves = c.failure == nullptr;
        EXPECT_EQ (Dolmaris::getInstance()->saveCurrentMapping (c.throughLink ? link : file).getErrorMessage(),
                   saves ? "" : "Failed to write mapping file " + file.getFullPathName() + ": " + c.failure);
        juce::MemoryBlock saved;
        EXPECT_TRUE (file.loadFileAsData (saved) && saved == (saves ? newText : juce::MemoryBlock (oldText.toRawUTF8(), oldText.getNumBytesAsUTF8())));
        EXPECT_EQ (modeOf (file), c.mode);
        EXPECT_EQ (folder().getNumberOfChildFiles (juce::File::findFilesAndDirectories), numFiles) << "a temporary file is left";
        EXPECT_TRUE (! c.throughLink || link.isSymbolicLink());

        link.deleteFile();
        filler.deleteFile();
    }
}
} // namespace
