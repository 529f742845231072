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
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
mode_t modeOf (const juce::File& file)
{
    struct stat info {};
    return ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

mode_t typeOf (const juce::File& file)
{
    struct stat info {};
    return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

/** What the path to be saved to is, before the save. */
enum class Target { file, linkToFile, fifo, socket, linkTooLongToFollow, loopOfLinks };

bool makeSocketAt (const juce::File& path)
{
    sockaddr_un address { AF_UNIX, {} };
    path.getFullPathName().copyToUTF8 (address.sun_path, sizeof (address.sun_path));
    const int fd = ::socket (AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind (fd, (const sockaddr*) &address, sizeof (address)) == 0;
    ::close (fd); // the socket file stays
    return bound;
}

/** Makes the path what the target says; the file beside it always holds the old text. */
bool makeTarget (Target target, const juce::File& path, const juce::File& file)
{
    // A relative name that, joined to the folder, is longer than any path may be.
    const auto tooLong = juce::String::repeatedString ("d/", 2047) + "x";
    switch (target)
    {
        case Target::file:                return path == file;
        case Target::linkToFile:          return file.createSymbolicLink (path, true);
        case Target::fifo:                return ::mkfifo (path.getFullPathName().toRawUTF8(), 0600) == 0;
        case Target::socket:              return makeSocketAt (path);
        case Target::linkTooLongToFollow: return ::symlink (tooLong.toRawUTF8(), path.getFullPathName().toRawUTF8()) == 0;
        case Target::loopOfLinks:         return path.getSiblingFile ("loop").createSymbolicLink (path, true)
                                                 && path.createSymbolicLink (path.getSiblingFile ("loop"), true);
    }
    return false;
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

    const struct { const char* name; mode_t mode; Target target; off_t bytesFree; const char* failure; } cases[] = {
        { "a 0600 file stays private", 0600, Target::file, -1, nullptr },
        { "a 0444 file is not replaced, even by root", 0444, Target::file, -1, "Permission denied" },
        { "a link: the linked file gets the text", 0640, Target::linkToFile, -1, nullptr },
        { "a full disk", 0600, Target::file, 0, "No space left on device" },
        { "a nearly full disk: the first write succeeds in part", 0600, Target::file, 4096, "No space left on device" },
        // Nothing forbids the user writing there: the refusal is for what the path is.
        { "a FIFO is not replaced by a file", 0600, Target::fifo, -1, "Not a regular file" },
        { "a socket is not replaced by a file", 0600, Target::socket, -1, "Not a regular file" },
        { "a link whose target is too long to follow", 0600, Target::linkTooLongToFollow, -1, "File name too long" },
        { "a loop of links", 0600, Target::loopOfLinks, -1, "Too many levels of symbolic links" },
    };
    const auto file = folder().getChildFile ("mapping.kivra"), other = folder().getChildFile ("other.kivra"), filler = folder().getChildFile ("filler");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto path = c.target == Target::file ? file : other;
        ASSERT_TRUE (file.replaceWithText (oldText) && ::chmod (file.getFullPathName().toRawUTF8(), c.mode) == 0);
        ASSERT_TRUE (makeTarget (c.target, path, file));
        const auto pathType = typeOf (path);
        if (c.bytesFree >= 0)
            fillDiskLeaving (filler, c.bytesFree);
        const auto numFiles = folder().getNumberOfChildFiles (juce::File::findFilesAndDirectories);

        const bool saves = c.failure == nullptr;
        EXPECT_EQ (Dolmaris::getInstance()->saveCurrentMapping (path).getErrorMessage(),
                   saves ? "" : "Failed to write mapping file " + path.getFullPathName() + ": " + c.failure);
        juce::MemoryBlock saved;
        EXPECT_TRUE (file.loadFileAsData (saved) && saved == (saves ? newText : juce::MemoryBlock (oldText.toRawUTF8(), oldText.getNumBytesAsUTF8())));
        EXPECT_EQ (modeOf (file), c.mode);
        EXPECT_EQ (folder().getNumberOfChildFiles (juce::File::findFilesAndDirectories), numFiles) << "a temporary file is left";
        EXPECT_EQ (typeOf (path), pathType) << "the path is no longer what it was";

        for (const auto& f : { other, folder().getChildFile ("loop"), filler })
            ::unlink (f.getFullPathName().toRawUTF8());
    }
}
} // namespace
