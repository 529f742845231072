#include "FileReplacement.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplacement
{
namespace
{
// Follows symbolic links to the path they finally name, also when that file
// does not exist yet (a new file is then created there). 0, or the reason
// the links cannot be followed.
int resolveLinks (std::string& path)
{
    for (int hops = 0; hops < 40; ++hops)
    {
        struct stat info {};
        if (::lstat (path.c_str(), &info) != 0)
            return errno == ENOENT ? 0 : errno;
        if (! S_ISLNK (info.st_mode))
            return 0;

        std::string linked (PATH_MAX, '\0');
        const auto length = ::readlink (path.c_str(), linked.data(), linked.size());
        if (length <= 0)
            return length < 0 ? errno : ENOENT; // an empty link names nothing
        if ((size_t) length >= linked.size())
            return ENAMETOOLONG; // the name it holds would not fit a path
        linked.resize ((size_t) length);

        if (linked[0] != '/')
            linked = path.substr (0, path.rfind ('/') + 1) + linked;
        path = linked;
    }

    return ELOOP; // a loop of links, or a chain longer than the system follows
}

bool inGroup (gid_t group)
{
    if (::getegid() == group)
        return true;

    gid_t groups[256];
    const int count = ::getgroups (256, groups);
    for (int i = 0; i < count; ++i)
        if (groups[i] == group)
            return true;

    return false;
}

// Renaming over a file needs only the folder's permission, so the file's own
// is checked here. Root passes every access check; for root a file counts as
// writable when any of its write bits is set, so a 0444 file is not replaced.
bool modeAllowsWriting (const std::string& path, const struct stat& info)
{
    if (::geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;

    const bool bitsAllow = ::geteuid() == info.st_uid ? (info.st_mode & S_IWUSR) != 0
                         : inGroup (info.st_gid)      ? (info.st_mode & S_IWGRP) != 0
                                                      : (info.st_mode & S_IWOTH) != 0;

    return bitsAllow && ::access (path.c_str(), W_OK) == 0;
}

bool writeAll (int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const auto n = ::write (fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= (size_t) n;
    }

    return true;
}

// A name of its own beside the target, created exclusively so no other
// file is ever opened in its place.
int createTemporaryBeside (const std::string& target, std::string& temporary)
{
    const auto slash = target.rfind ('/');
    const auto folder = slash == std::string::npos ? std::string() : target.substr (0, slash + 1);
    const auto name = slash == std::string::npos ? target : target.substr (slash + 1);

    for (int attempt = 0; attempt < 16; ++attempt)
    {
        temporary = folder + "." + name + "." + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()).toStdString() + ".tmp";
        const int fd = ::open (temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }

    return -1;
}

bool writeTemporary (int fd, const struct stat* old, const void* data, size_t size)
{
    return (old == nullptr || ::fchmod (fd, old->st_mode & 07777) == 0)
           && writeAll (fd, static_cast<const char*> (data), size)
           && ::fsync (fd) == 0;
}

juce::Result failBecause (int error)
{
    return juce::Result::fail (juce::String (std::strerror (error)));
}

// A short write with no error of its own means the disk is full.
juce::Result failOnWrite (int error)
{
    return failBecause (error != 0 ? error : ENOSPC);
}
} // namespace

juce::Result replaceWith (const juce::File& target, const void* data, size_t size)
{
    std::string path = target.getFullPathName().toStdString();
    if (path.empty())
        return failBecause (ENOENT);
    if (const int error = resolveLinks (path); error != 0)
        return failBecause (error);

    struct stat old {};
    const bool exists = ::stat (path.c_str(), &old) == 0;
    if (exists && S_ISDIR (old.st_mode))
        return failBecause (EISDIR);
    // Renaming over a FIFO, socket or device would put a plain file in its
    // place; no system error names this refusal.
    if (exists && ! S_ISREG (old.st_mode))
        return juce::Result::fail ("Not a regular file");
    if (exists && ! modeAllowsWriting (path, old))
        return failBecause (EACCES);

    std::string temporary;
    const int fd = createTemporaryBeside (path, temporary);
    if (fd < 0)
        return failBecause (errno);

    errno = 0;
    const bool written = writeTemporary (fd, exists ? &old : nullptr, data, size);
    const int writeError = errno;
    const bool closed = ::close (fd) == 0;
    const int closeError = errno;

    if (! (written && closed))
    {
        ::unlink (temporary.c_str());
        return failOnWrite (written ? closeError : writeError);
    }

    if (::rename (temporary.c_str(), path.c_str()) != 0)
    {
        const int renameError = errno;
        ::unlink (temporary.c_str());
        return failBecause (renameError);
    }

    return juce::Result::ok();
}
} // namespace FileReplacement
