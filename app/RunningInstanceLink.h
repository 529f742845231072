// Hands a second start of the editor to the copy that the same user already
// runs, so that one comes to the front instead of a second window opening.
//
// JUCE's own mechanism does not work on Linux: it detects the running copy
// through one lock file in /var/tmp for the whole machine (another user's
// editor, or a lock left by a crashed one, would make ours quit silently) and
// never delivers the hand-over. This link is a local socket per user instead,
// in the user's runtime folder ($XDG_RUNTIME_DIR, else a folder of the user's
// own in /tmp; either only if no other user can reach into it). Beside the
// socket lies a lock file that the running copy holds locked: the system lets
// go of the lock when that copy dies, so a live copy, however busy, keeps its
// socket, and a dead one's socket is replaced at once.
#pragma once

#include <juce_core/juce_core.h>

#include <functional>

class RunningInstanceLink
{
public:
    /** How long a new copy waits for a busy running copy to take its command
        line (some waits on a device block the running copy for 5 s). */
    static constexpr int answerTimeoutMs = 10000;

    /** Whether this platform uses the link (elsewhere JUCE's mechanism works). */
    static constexpr bool isAvailable()
    {
       #if JUCE_LINUX || JUCE_BSD
        return true;
       #else
        return false;
       #endif
    }

    /** The socket for an application and the current user; no file when no
        folder safe from other users is to be had (the editor then runs without
        the link). */
    static juce::File socketFileFor (const juce::String& applicationName);

    explicit RunningInstanceLink (const juce::File& socketFile);

    /** Stops listening, removes the socket and lets go of the lock. */
    ~RunningInstanceLink();

    /** Gives the command line to the running copy, trying again while that one
        sets up its socket or its queue is full. True only when it answered
        within the timeout: it then has the command line, and this copy should
        quit. False at once when no copy runs: this one then holds the lock and
        is to listen. False also when the running copy stayed silent; its socket
        is left alone. */
    bool handOver (const juce::String& commandLine, int timeoutMs = answerTimeoutMs);

    /** Becomes the running copy: takes the lock unless handOver already did,
        takes the socket (replacing a dead copy's) and, for every later
        hand-over, calls the handler on the message thread with its command
        line before answering. False when another copy holds the lock or the
        socket cannot be had; the editor then simply runs without the link. */
    bool listen (std::function<void (const juce::String&)> handler);

private:
    enum class Lock { taken, heldElsewhere, unavailable };

    Lock tryLock();
    void answerOneHandOver();

    juce::File socketFile;
    int lockFile = -1;
    int listeningSocket = -1;
    std::function<void (const juce::String&)> onHandOver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RunningInstanceLink)
};
