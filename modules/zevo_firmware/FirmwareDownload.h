// Fetching a firmware image from the firmware server into a file, while the
// window stays live.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo::FirmwareDownload
{
/** The warning shown when no image arrived. */
extern const char* const failureTitle;
extern const char* const failureText;

/** Far more than any image the unit takes; a larger answer is not an image,
    and is cut off rather than left to fill the disk. */
constexpr juce::int64 maxBytes = 1024 * 1024;

/** How long the message loop runs between two looks at the download. */
constexpr int sliceMs = 32;

/** Downloads `url` into `target`, running the message loop in slices until
    the transfer ends. True only when the whole body of a 2xx answer is in the
    file: a refused connection, an error status (whose error page would land
    in the file all the same), a body cut short or one larger than maxBytes
    all give false. The file is left for the caller to remove. */
bool toFile (const juce::URL& url, const juce::File& target);
} // namespace zevo::FirmwareDownload
