#include "FirmwareRequest.h"

#include <juce_events/juce_events.h>

#include <optional>

namespace zevo
{
namespace
{
const juce::String httpsScheme { "https://" };

bool isHttps (const juce::String& address)
{
    return address.startsWithIgnoreCase (httpsScheme);
}

bool isRedirect (int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// JUCE splits each header line at ": " and keeps a line without that space
// whole, as a name: the line is put together again and split at its colon.
juce::StringArray headerValues (const juce::StringPairArray& headers, const juce::String& name)
{
    juce::StringArray values;
    for (int i = 0; i < headers.size(); ++i)
    {
        const auto value = headers.getAllValues()[i];
        const auto line = headers.getAllKeys()[i] + (value.isEmpty() ? "" : ": " + value);
        if (line.upToFirstOccurrenceOf (":", false, false).trim().equalsIgnoreCase (name))
            values.add (line.fromFirstOccurrenceOf (":", false, false).trim());
    }
    return values;
}

// Only bytes as the server keeps them are an image or a catalogue: curl
// would inflate a transfer coding without bound, and leave a content coding
// for the unit to be written with.
bool hasOnlyPlainCodings (const juce::StringPairArray& headers)
{
    for (const auto* name : { "Content-Encoding", "Transfer-Encoding" })
        for (const auto& value : headerValues (headers, name))
            for (auto coding : juce::StringArray::fromTokens (value, ",", ""))
                if (coding = coding.trim(); coding.isNotEmpty() && ! coding.equalsIgnoreCase ("identity")
                                            && ! coding.equalsIgnoreCase ("chunked"))
                    return false;
    return true;
}

// A reference with a scheme of its own ("http:", "https:" ...) stands alone.
bool hasScheme (const juce::String& reference)
{
    const auto scheme = reference.upToFirstOccurrenceOf (":", false, false);
    return reference.containsChar (':') && scheme.isNotEmpty()
        && scheme.containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.");
}

// A Location made a whole address, read against the address that gave it.
juce::String resolve (const juce::String& from, const juce::String& location)
{
    if (hasScheme (location))
        return location; // its scheme is judged by the caller
    if (location.startsWith ("//"))
        return "https:" + location;

    const auto path = from.upToFirstOccurrenceOf ("?", false, false);
    const auto endOfOrigin = path.indexOfChar (httpsScheme.length(), '/');
    if (endOfOrigin < 0)
        return path + (location.startsWithChar ('/') ? "" : "/") + location;
    if (location.startsWithChar ('/'))
        return path.substring (0, endOfOrigin) + location;
    return path.upToLastOccurrenceOf ("/", true, false) + location;
}

// Where a redirect leads; nothing when it names no single place.
std::optional<juce::String> redirectTarget (const juce::String& from, const juce::StringPairArray& headers)
{
    const auto locations = headerValues (headers, "Location");
    if (locations.size() != 1 || locations[0].isEmpty())
        return std::nullopt;
    return resolve (from, locations[0]);
}
} // namespace

FirmwareRequest::FirmwareRequest (const juce::URL& url, int timeout, juce::int64 bodyCap)
    : juce::Thread (threadName), address (url), timeoutMs (juce::jmax (1, timeout)), maxBytes (bodyCap)
{
}

FirmwareRequest::~FirmwareRequest()
{
    stop();
    waitForThreadToExit (-1);
}

bool FirmwareRequest::answers (const juce::URL& url, int timeoutMs, const CancelCheck& cancelled)
{
    FirmwareRequest request (url, timeoutMs, -1);
    return request.runToEnd (cancelled);
}

bool FirmwareRequest::fetch (const juce::URL& url, int timeoutMs, juce::int64 maxBytes, juce::MemoryBlock& body,
                             const CancelCheck& cancelled)
{
    FirmwareRequest request (url, timeoutMs, maxBytes);
    if (! request.runToEnd (cancelled))
        return false;

    body = std::move (request.body);
    return true;
}

// After a quit request runDispatchLoopUntil returns at once: the loop ends
// there instead of spinning. A close or a quit in the slice in which the
// transfer ended still wins, so the check comes after every slice, the last
// one too: the caller may be gone by then, and its target with it.
bool FirmwareRequest::runToEnd (const CancelCheck& cancelled)
{
    const auto deadline = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    startThread();

    for (;;)
    {
        if (shouldStop (deadline, cancelled))
        {
            stop();
            break;
        }
        if (finished)
            break;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (sliceMs);
    }

    waitForThreadWithMessageLoopRunning();
    const juce::ScopedLock lock (streamLock);
    return succeeded && ! stopped;
}

// A cancelled stream lets go only when curl next wakes, up to about a second
// later; the windows stay live meanwhile. The wait between two runs keeps
// this from spinning after a quit request.
void FirmwareRequest::waitForThreadWithMessageLoopRunning()
{
    while (! waitForThreadToExit (endPollMs))
        juce::MessageManager::getInstance()->runDispatchLoopUntil (endPollMs);
}

bool FirmwareRequest::shouldStop (double deadline, const CancelCheck& cancelled) const
{
    return juce::MessageManager::getInstance()->hasStopMessageBeenSent()
        || juce::Time::getMillisecondCounterHiRes() >= deadline || (cancelled && cancelled());
}

void FirmwareRequest::stop()
{
    const juce::ScopedLock lock (streamLock);
    stopped = true;
    if (current != nullptr)
        current->cancel();
}

void FirmwareRequest::run()
{
    auto url = address.toString (true);
    for (int hop = 0; hop <= maxRedirects && isHttps (url); ++hop)
    {
        auto stream = connect (url);
        if (stream == nullptr)
            break;

        const int status = stream->getStatusCode();
        const auto target = isRedirect (status) ? redirectTarget (url, stream->getResponseHeaders()) : std::nullopt;
        if (! target.has_value())
        {
            succeeded = takeAnswer (*stream, status);
            release (std::move (stream));
            break;
        }

        url = *target;
        release (std::move (stream));
    }
    finished = true;
}

bool FirmwareRequest::takeAnswer (juce::WebInputStream& stream, int status)
{
    if (maxBytes < 0)
        return status >= 200 && status <= 299;

    return status == 200 && hasOnlyPlainCodings (stream.getResponseHeaders()) && readBody (stream);
}

// Reads in chunks, so that an oversized or endless body costs no more than
// the cap and a chunk.
bool FirmwareRequest::readBody (juce::WebInputStream& stream)
{
    const auto announced = stream.getTotalLength();
    if (announced > maxBytes)
        return false;

    juce::MemoryOutputStream out (body, false);
    char chunk[8192];
    for (int got; (got = stream.read (chunk, (int) sizeof (chunk))) > 0;)
        if (! out.write (chunk, (size_t) got) || (juce::int64) out.getDataSize() > maxBytes)
            return false;
    out.flush();

    // A transfer that broke off, or a body shorter than announced, is not whole.
    return ! stream.isError() && (announced < 0 || (juce::int64) body.getSize() == announced);
}

// Redirects are followed here, not by curl, which would follow them to any
// address. The time-out is curl's too: it ends a connection that does not
// come up or a transfer slower than 100 bytes a second over that time.
std::unique_ptr<juce::WebInputStream> FirmwareRequest::connect (const juce::String& url)
{
    auto stream = std::make_unique<juce::WebInputStream> (juce::URL (url), false);
    // JUCE on curl loses the first header line of every answer, so a coding
    // named there escapes the check; asking for none keeps honest servers
    // from sending one.
    stream->withNumRedirectsToFollow (0).withConnectionTimeout (timeoutMs).withExtraHeaders ("Accept-Encoding: identity");
    {
        const juce::ScopedLock lock (streamLock);
        if (stopped)
            return nullptr;
        current = stream.get();
    }

    if (stream->connect (nullptr))
        return stream;

    release (std::move (stream));
    return nullptr;
}

void FirmwareRequest::release (std::unique_ptr<juce::WebInputStream> stream)
{
    const juce::ScopedLock lock (streamLock);
    current = nullptr;
    stream.reset();
}
} // namespace zevo
