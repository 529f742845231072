#include "BoundedFileRead.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BoundedFileRead
{
namespace
{
bool readUpTo (int fd, size_t limit, juce::MemoryBlock& data)
{
    data.setSize (limit);
    size_t filled = 0;

    while (filled < data.getSize())
    {
        const auto n = ::read (fd, static_cast<char*> (data.getData()) + filled, data.getSize() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        filled += (size_t) n;
    }

    data.setSize (filled);
    return true;
}
} // namespace

Outcome read (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& data)
{
    data.reset();
    if (file == juce::File())
        return Outcome::cannotRead;

    // Opened without blocking; what was opened is then checked, not what the
    // path named a moment before.
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Outcome::cannotRead;

    struct stat info {};
    const bool regular = ::fstat (fd, &info) == 0 && S_ISREG (info.st_mode);
    const bool read = regular && readUpTo (fd, (size_t) maxBytes + 1, data);
    ::close (fd);

    if (! regular)
        return Outcome::notRegularFile;

    return read ? Outcome::ok : Outcome::cannotRead;
}
} // namespace BoundedFileRead
