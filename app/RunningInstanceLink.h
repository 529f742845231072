// Hands a second start of the editor to the copy that the same user already
// runs, so that one comes to the front instead of a second window opening.
//
// JUCE's own mechanism does not work on Linux: it detects the running copy
// through one lock file in /var/tmp for the whole machine (another user's
// editor, or a lock left by a crashed one, would make ours quit silently) and
// never delivers the hand-over. This link is a local socket per user instead,
// in the user's runtime folder ($XDG_RUNTIME_DIR, else /tmp with the user id in
// the name). A running copy that does not answer within a short time (killed,
// hung, or a socket left behind) is taken for gone, and the new one starts.
#pragma once

#include <juce_core/juce_core.h>

#include <functional>

class RunningInstanceLink
{
public:
    /** How long a new copy waits for the running one to take its command line. */
    static constexpr int answerTimeoutMs = 2000;

    /** Whether this platform uses the link (elsewhere JUCE's mechanism works). */
    static constexpr bool isAvailable()
    {
       #if JUCE_LINUX || JUCE_BSD
        return true;
       #else
        return false;
       #endif
    }

    /** The socket for an application and the current user. */
    static juce::File socketFileFor (const juce::String& applicationName);

    explicit RunningInstanceLink (const juce::File& socketFile);

    /** Stops listening, and removes the socket unless another copy has taken
        its place in the meantime. */
    ~RunningInstanceLink();

    /** Gives the command line to the running copy. True only when that copy
        answered within the timeout: it then has the command line, and this
        copy should quit. */
    bool handOver (const juce::String& commandLine, int timeoutMs = answerTimeoutMs);

    /** Becomes the running copy: takes the socket (replacing one left behind)
        and, for every later hand-over, calls the handler on the message thread
        with its command line before answering. False when the socket cannot be
        had; the editor then simply runs without the link. */
    bool listen (std::function<void (const juce::String&)> handler);

private:
    void answerOneHandOver();
    bool socketIsStillOurs() const;

    juce::File socketFile;
    int listeningSocket = -1;
    unsigned long long socketDevice = 0, socketInode = 0;
    std::function<void (const juce::String&)> onHandOver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RunningInstanceLink)
};
