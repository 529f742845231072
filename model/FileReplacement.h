// Putting new contents in place of a file so that, whatever fails, the file
// holds either all of its old bytes or all of the new ones. JUCE's
// FileOutputStream takes a short write() on a full disk for success, and
// XmlElement::writeTo then moves the cut-off temporary file over the target;
// this writes the temporary file itself and checks every step.
#pragma once

#include <juce_core/juce_core.h>

namespace FileReplacement
{
/** Writes the bytes to a new file beside the target (the file a symbolic link
    finally points to, so the link stays a link), syncs it to disk and renames
    it over the target. An existing target keeps its permission bits, and one
    whose mode bits deny the user writing is not replaced, also for root.
    When any step fails, the target is untouched, no temporary file is left,
    and the result holds the system's reason ("No space left on device"), or
    "Not a regular file" for a FIFO, a socket or a device. */
juce::Result replaceWith (const juce::File& target, const void* data, size_t size);
} // namespace FileReplacement
