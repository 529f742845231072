// One GET from the firmware server. JUCE on curl, left to itself, waits
// without end for a server that stalls, connects on the calling thread,
// follows redirects to plain HTTP and takes a 206 or an encoded answer as a
// whole one; so the request runs on a thread of its own, under rules of ours,
// while the caller's message loop goes on in slices.
#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>

namespace zevo
{
class FirmwareRequest final : private juce::Thread
{
public:
    /** Polled after every slice of the message loop, the one in which the
        transfer ended too: true ends the request as failed. The message loop
        also runs while a stopped request's thread ends, so whatever the
        caller reaches by reference may be gone when a request returns. */
    using CancelCheck = std::function<bool()>;

    /** The request thread's name; Linux leaves a thread with a longer name
        than 15 characters unnamed. */
    static constexpr const char* threadName = "Firmware fetch";

    /** How long the message loop runs between two looks at the request. */
    static constexpr int sliceMs = 32;

    /** How long the message loop runs between two looks at a stopping request's thread. */
    static constexpr int endPollMs = 10;

    /** Redirects to https:// addresses followed; a redirect elsewhere fails. */
    static constexpr int maxRedirects = 5;

    /** Whether the server answers at all: a 2xx status within `timeoutMs`.
        The body is left unread. */
    static bool answers (const juce::URL& url, int timeoutMs, const CancelCheck& cancelled = {});

    /** The whole body of a 200 answer, no larger than `maxBytes` and in no
        coding but identity and chunked, within `timeoutMs` of the start.
        Anything else, a cancel or a quit request gives false. */
    static bool fetch (const juce::URL& url, int timeoutMs, juce::int64 maxBytes, juce::MemoryBlock& body,
                       const CancelCheck& cancelled = {});

    ~FirmwareRequest() override;

private:
    /** maxBytes below 0: only the status counts, and the body is not read. */
    FirmwareRequest (const juce::URL& url, int timeoutMs, juce::int64 maxBytes);

    bool runToEnd (const CancelCheck& cancelled);
    bool shouldStop (double deadline, const CancelCheck& cancelled) const;
    void stop();
    void waitForThreadWithMessageLoopRunning();

    void run() override;
    bool takeAnswer (juce::WebInputStream& stream, int status);
    bool readBody (juce::WebInputStream& stream);
    std::unique_ptr<juce::WebInputStream> connect (const juce::String& url);
    void release (std::unique_ptr<juce::WebInputStream> stream);

    const juce::URL address;
    const int timeoutMs;
    const juce::int64 maxBytes;
    juce::MemoryBlock body;
    std::atomic<bool> finished { false }, succeeded { false };

    // The stream being read, so that a stop from the message thread can
    // cancel it wherever the request waits.
    juce::CriticalSection streamLock;
    juce::WebInputStream* current = nullptr;
    bool stopped = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareRequest)
};
} // namespace zevo
