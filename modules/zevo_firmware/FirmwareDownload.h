// Fetching a firmware image from the firmware server into a file, while the
// window stays live.
#pragma once

#include "FirmwareRequest.h"

namespace zevo::FirmwareDownload
{
/** The warning shown when no image arrived. */
extern const char* const failureTitle;
extern const char* const failureText;

/** The largest image the unit takes is 63,487 bytes; a little more still
    reaches the image check, which says why it is refused. A larger answer is
    not an image, and is cut off rather than left to fill memory. */
constexpr juce::int64 maxBytes = 64 * 1024;

/** Downloads `url` into `target`, running the message loop in slices until
    the transfer ends. True only when the whole body of a plain 200 answer
    arrived within the server's time-out (FirmwareServer::getTimeoutMs); then
    the file holds it. A refused connection, an error status or any other
    answer, a redirect away from https, a body cut short, stalled or larger
    than maxBytes, a cancel and a quit request all give false, and leave the
    file unwritten. The target is held by value: the message loop may delete
    whoever named it before the file is written. */
bool toFile (const juce::URL& url, juce::File target, const FirmwareRequest::CancelCheck& cancelled = {});
} // namespace zevo::FirmwareDownload
