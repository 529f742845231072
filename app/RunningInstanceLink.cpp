#include "RunningInstanceLink.h"

#if JUCE_LINUX || JUCE_BSD

#include <juce_events/juce_events.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
/** The longest command line that a hand-over carries; the rest is dropped. */
constexpr size_t maxCommandLineBytes = 64 * 1024;

/** How long the running copy waits for a command line once connected. */
constexpr int readTimeoutMs = 500;

/** The pause before a start tries the running copy's socket again. */
constexpr int retryPauseMs = 10;

constexpr char answer = 'k';

enum class Offer { answered, unanswered, unreachable };

/** Closes a descriptor when it goes out of scope. */
struct Descriptor
{
    explicit Descriptor (int f) : fd (f) {}
    ~Descriptor() { if (fd >= 0) ::close (fd); }
    Descriptor (const Descriptor&) = delete;
    Descriptor& operator= (const Descriptor&) = delete;
    int fd;
};

bool makeAddress (const juce::File& file, sockaddr_un& address)
{
    const auto path = file.getFullPathName().toStdString();
    std::memset (&address, 0, sizeof (address));
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof (address.sun_path))
        return false;
    std::memcpy (address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

/** Another user's process must not be able to steer ours, nor ours theirs. */
bool peerIsThisUser (int fd)
{
   #ifdef SO_PEERCRED
    ucred credentials {};
    socklen_t size = sizeof (credentials);
    return getsockopt (fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == getuid();
   #else
    uid_t uid = 0;
    gid_t gid = 0;
    return getpeereid (fd, &uid, &gid) == 0 && uid == getuid();
   #endif
}

/** A socket at the path that this user made; anything else is left alone. */
bool isOurSocketFile (const juce::File& file)
{
    struct stat info {};
    return lstat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISSOCK (info.st_mode)
           && info.st_uid == getuid();
}

/** Milliseconds on the monotonic clock, as a double: unlike the 32-bit counter
    it does not wrap (every 49.7 days), which would end a wait at once or never. */
double now()
{
    return juce::Time::getMillisecondCounterHiRes();
}

/** Waits until the descriptor is ready, at most until the deadline. */
bool waitFor (int fd, short events, double deadline)
{
    for (;;)
    {
        const auto left = deadline - now();
        if (left <= 0)
            return false;

        pollfd entry { fd, events, 0 };
        const int ready = poll (&entry, 1, (int) std::ceil (left));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool sendAll (int fd, const char* data, size_t size, double deadline)
{
    while (size > 0)
    {
        const auto sent = ::send (fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor (fd, POLLOUT, deadline))))
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= (size_t) sent;
    }
    return true;
}

/** Reads until the peer stops writing, the limit or the deadline. */
juce::String receiveCommandLine (int fd, double deadline)
{
    juce::MemoryBlock received;
    char buffer[4096];

    while (received.getSize() < maxCommandLineBytes && waitFor (fd, POLLIN, deadline))
    {
        const auto count = ::recv (fd, buffer, sizeof (buffer), 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        received.append (buffer, juce::jmin ((size_t) count, maxCommandLineBytes - received.getSize()));
    }

    // JUCE's UTF-8 checks let malformed text through, and the editor does not
    // act on the command line anyway: only plain ASCII is passed on.
    juce::String text;
    const auto* bytes = static_cast<const unsigned char*> (received.getData());
    for (size_t i = 0; i < received.getSize(); ++i)
        text += (juce::juce_wchar) (bytes[i] > 0 && bytes[i] < 0x80 ? bytes[i] : '?');
    return text;
}

/** What the running copy answers, waited for until the deadline. */
Offer awaitAnswer (int fd, double deadline)
{
    char reply = 0;
    while (waitFor (fd, POLLIN, deadline))
    {
        const auto count = ::recv (fd, &reply, 1, 0);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        // Closed without an answer: that copy is quitting, and another may follow.
        return count == 1 && reply == answer ? Offer::answered : Offer::unreachable;
    }
    return Offer::unanswered;
}

/** One try at giving the command line to the copy behind the socket. */
Offer offerCommandLine (const juce::File& socketFile, const std::string& text, double deadline)
{
    sockaddr_un address {};
    if (! isOurSocketFile (socketFile) || ! makeAddress (socketFile, address))
        return Offer::unreachable;

    // Not blocking: while the running copy's queue of connections is full, or
    // its socket is not there yet, the start tries again after a pause.
    Descriptor connection (::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (connection.fd < 0 || ::connect (connection.fd, (const sockaddr*) &address, sizeof (address)) != 0
        || ! peerIsThisUser (connection.fd) || ! sendAll (connection.fd, text.data(), text.size(), deadline))
        return Offer::unreachable;

    ::shutdown (connection.fd, SHUT_WR);
    return awaitAnswer (connection.fd, deadline);
}

/** A listening socket at the path, replacing the one a dead copy left; -1 when it cannot be had. */
int bindListeningSocket (const juce::File& socketFile)
{
    sockaddr_un address {};
    if (! makeAddress (socketFile, address))
        return -1;

    if (isOurSocketFile (socketFile))
        ::unlink (address.sun_path);

    Descriptor server (::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (server.fd < 0 || ::bind (server.fd, (const sockaddr*) &address, sizeof (address)) != 0
        || ::listen (server.fd, SOMAXCONN) != 0)
        return -1;
    return std::exchange (server.fd, -1);
}

/** A folder that no other user can put anything into or look into: a folder
    itself (not a link that could be pointed elsewhere), this user's, with no
    bits for the group or others. */
bool isPrivateFolder (const juce::File& folder)
{
    struct stat info {};
    return lstat (folder.getFullPathName().toRawUTF8(), &info) == 0 && S_ISDIR (info.st_mode)
           && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

/** The runtime folder that the session names, if it is private; whoever set the
    variable may have pointed it at a folder that others can write to. */
juce::File privateRuntimeFolder()
{
    const auto path = juce::SystemStats::getEnvironmentVariable ("XDG_RUNTIME_DIR", {});
    if (! juce::File::isAbsolutePath (path))
        return {};
    const juce::File folder (path);
    return isPrivateFolder (folder) ? folder : juce::File();
}

/** Without a private runtime folder: one of this user's own in /tmp; none when
    the name is taken by anything else. */
juce::File privateFolderInTmp (const juce::String& name)
{
    const juce::File folder ("/tmp/" + name);
    ::mkdir (folder.getFullPathName().toRawUTF8(), 0700);
    return isPrivateFolder (folder) ? folder : juce::File();
}

bool fitsAnAddress (const juce::File& socketFile)
{
    sockaddr_un address {};
    return makeAddress (socketFile, address);
}
} // namespace

juce::File RunningInstanceLink::socketFileFor (const juce::String& applicationName)
{
    const auto baseName = applicationName.retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                          + "-" + juce::String ((juce::int64) getuid());
    const auto name = baseName + ".socket";

    const auto runtimeFolder = privateRuntimeFolder();
    if (runtimeFolder != juce::File() && fitsAnAddress (runtimeFolder.getChildFile (name)))
        return runtimeFolder.getChildFile (name);

    const auto folder = privateFolderInTmp (baseName);
    return folder == juce::File() ? juce::File() : folder.getChildFile (name);
}

RunningInstanceLink::RunningInstanceLink (const juce::File& file) : socketFile (file) {}

RunningInstanceLink::~RunningInstanceLink()
{
    if (listeningSocket >= 0)
    {
        juce::LinuxEventLoop::unregisterFdCallback (listeningSocket);
        ::close (listeningSocket);
        ::unlink (socketFile.getFullPathName().toRawUTF8());
    }

    // Only now: a copy that takes the lock next must find this socket gone.
    if (lockFile >= 0)
        ::close (lockFile);
}

bool RunningInstanceLink::handOver (const juce::String& commandLine, int timeoutMs)
{
    const auto deadline = now() + juce::jmax (0, timeoutMs);
    const auto text = commandLine.toStdString();

    // Asked again on every try: a copy that quits or dies meanwhile lets go of it.
    while (tryLock() == Lock::heldElsewhere)
    {
        const auto offer = offerCommandLine (socketFile, text, deadline);
        if (offer != Offer::unreachable)
            return offer == Offer::answered;
        if (now() >= deadline)
            return false;
        juce::Thread::sleep (retryPauseMs);
    }
    return false;
}

bool RunningInstanceLink::listen (std::function<void (const juce::String&)> handler)
{
    jassert (listeningSocket < 0);
    if (lockFile < 0 && tryLock() != Lock::taken)
        return false;

    listeningSocket = bindListeningSocket (socketFile);
    if (listeningSocket < 0)
    {
        // Later starts need not wait on a copy that cannot be reached.
        ::close (std::exchange (lockFile, -1));
        return false;
    }

    onHandOver = std::move (handler);
    juce::LinuxEventLoop::registerFdCallback (listeningSocket, [this] (int) { answerOneHandOver(); });
    return true;
}

RunningInstanceLink::Lock RunningInstanceLink::tryLock()
{
    if (lockFile >= 0)
        return Lock::taken;

    // Never removed: a lock file replaced under a waiting start would let two copies run.
    const auto lockPath = socketFile.withFileExtension ("lock").getFullPathName();
    Descriptor file (socketFile == juce::File() ? -1
                                                : ::open (lockPath.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    struct stat info {};
    if (file.fd < 0 || fstat (file.fd, &info) != 0 || ! S_ISREG (info.st_mode) || info.st_uid != getuid())
        return Lock::unavailable;

    if (flock (file.fd, LOCK_EX | LOCK_NB) == 0)
    {
        lockFile = std::exchange (file.fd, -1);
        return Lock::taken;
    }
    return errno == EWOULDBLOCK ? Lock::heldElsewhere : Lock::unavailable;
}

void RunningInstanceLink::answerOneHandOver()
{
    Descriptor connection (::accept4 (listeningSocket, nullptr, nullptr, SOCK_CLOEXEC));
    if (connection.fd < 0 || ! peerIsThisUser (connection.fd))
        return;

    const auto commandLine = receiveCommandLine (connection.fd, now() + readTimeoutMs);
    if (onHandOver != nullptr)
        onHandOver (commandLine);

    // Answer only after the hand-over was handled, so the new copy quits only
    // when this one really took over.
    sendAll (connection.fd, &answer, 1, now() + readTimeoutMs);
}

#else

juce::File RunningInstanceLink::socketFileFor (const juce::String&) { return {}; }
RunningInstanceLink::RunningInstanceLink (const juce::File& file) : socketFile (file) {}
RunningInstanceLink::~RunningInstanceLink() = default;
bool RunningInstanceLink::handOver (const juce::String&, int) { return false; }
bool RunningInstanceLink::listen (std::function<void (const juce::String&)>) { return false; }
RunningInstanceLink::Lock RunningInstanceLink::tryLock() { return Lock::unavailable; }
void RunningInstanceLink::answerOneHandOver() {}

#endif
