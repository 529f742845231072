#include "RunningInstanceLink.h"

#if JUCE_LINUX || JUCE_BSD

#include <juce_events/juce_events.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
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

constexpr char answer = 'k';

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

/** Waits until the descriptor is ready, at most until the deadline. */
bool waitFor (int fd, short events, juce::uint32 deadline)
{
    for (;;)
    {
        const auto now = juce::Time::getMillisecondCounter();
        if (now >= deadline)
            return false;

        pollfd entry { fd, events, 0 };
        const int ready = poll (&entry, 1, (int) (deadline - now));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool sendAll (int fd, const char* data, size_t size, juce::uint32 deadline)
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
juce::String receiveCommandLine (int fd, juce::uint32 deadline)
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
} // namespace

juce::File RunningInstanceLink::socketFileFor (const juce::String& applicationName)
{
    const auto name = applicationName.retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                      + "-" + juce::String ((juce::int64) getuid()) + ".socket";

    sockaddr_un address {};
    const juce::File runtimeFolder (juce::SystemStats::getEnvironmentVariable ("XDG_RUNTIME_DIR", {}));
    if (juce::File::isAbsolutePath (runtimeFolder.getFullPathName()) && runtimeFolder.isDirectory()
        && makeAddress (runtimeFolder.getChildFile (name), address))
        return runtimeFolder.getChildFile (name);

    return juce::File ("/tmp").getChildFile (name);
}

RunningInstanceLink::RunningInstanceLink (const juce::File& file) : socketFile (file) {}

RunningInstanceLink::~RunningInstanceLink()
{
    if (listeningSocket < 0)
        return;

    juce::LinuxEventLoop::unregisterFdCallback (listeningSocket);
    ::close (listeningSocket);
    if (socketIsStillOurs())
        ::unlink (socketFile.getFullPathName().toRawUTF8());
}

bool RunningInstanceLink::handOver (const juce::String& commandLine, int timeoutMs)
{
    sockaddr_un address {};
    if (! isOurSocketFile (socketFile) || ! makeAddress (socketFile, address))
        return false;

    // Not blocking: a hung copy whose queue of connections is full refuses
    // at once instead of holding this start up.
    Descriptor connection (::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (connection.fd < 0 || ::connect (connection.fd, (const sockaddr*) &address, sizeof (address)) != 0
        || ! peerIsThisUser (connection.fd))
        return false;

    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) juce::jmax (0, timeoutMs);
    const auto text = commandLine.toStdString();
    if (! sendAll (connection.fd, text.data(), text.size(), deadline))
        return false;
    ::shutdown (connection.fd, SHUT_WR);

    char reply = 0;
    while (waitFor (connection.fd, POLLIN, deadline))
    {
        const auto count = ::recv (connection.fd, &reply, 1, 0);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        return count == 1 && reply == answer;
    }
    return false;
}

bool RunningInstanceLink::listen (std::function<void (const juce::String&)> handler)
{
    jassert (listeningSocket < 0);
    sockaddr_un address {};
    if (! makeAddress (socketFile, address))
        return false;

    // Whatever socket of ours is still there did not answer: its copy is gone.
    if (isOurSocketFile (socketFile))
        ::unlink (socketFile.getFullPathName().toRawUTF8());

    Descriptor server (::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    struct stat info {};
    if (server.fd < 0 || ::bind (server.fd, (const sockaddr*) &address, sizeof (address)) != 0
        || ::listen (server.fd, 8) != 0 || stat (address.sun_path, &info) != 0)
        return false;

    socketDevice = (unsigned long long) info.st_dev;
    socketInode = (unsigned long long) info.st_ino;
    onHandOver = std::move (handler);
    listeningSocket = std::exchange (server.fd, -1);
    juce::LinuxEventLoop::registerFdCallback (listeningSocket, [this] (int) { answerOneHandOver(); });
    return true;
}

void RunningInstanceLink::answerOneHandOver()
{
    Descriptor connection (::accept4 (listeningSocket, nullptr, nullptr, SOCK_CLOEXEC));
    if (connection.fd < 0 || ! peerIsThisUser (connection.fd))
        return;

    const auto commandLine = receiveCommandLine (connection.fd, juce::Time::getMillisecondCounter() + readTimeoutMs);
    if (onHandOver != nullptr)
        onHandOver (commandLine);

    // Answer only after the hand-over was handled, so the new copy quits only
    // when this one really took over.
    sendAll (connection.fd, &answer, 1, juce::Time::getMillisecondCounter() + readTimeoutMs);
}

bool RunningInstanceLink::socketIsStillOurs() const
{
    struct stat info {};
    return lstat (socketFile.getFullPathName().toRawUTF8(), &info) == 0
           && (unsigned long long) info.st_dev == socketDevice && (unsigned long long) info.st_ino == socketInode;
}

#else

juce::File RunningInstanceLink::socketFileFor (const juce::String&) { return {}; }
RunningInstanceLink::RunningInstanceLink (const juce::File& file) : socketFile (file) {}
RunningInstanceLink::~RunningInstanceLink() = default;
bool RunningInstanceLink::handOver (const juce::String&, int) { return false; }
bool RunningInstanceLink::listen (std::function<void (const juce::String&)>) { return false; }
void RunningInstanceLink::answerOneHandOver() {}
bool RunningInstanceLink::socketIsStillOurs() const { return false; }

#endif
