// Reading a file that came from outside without letting it hang or exhaust
// the editor: a FIFO that nobody writes to would block open() for ever, and
// a device or a huge file would be read without end.
#pragma once

#include <juce_core/juce_core.h>

namespace BoundedFileRead
{
enum class Outcome { ok, cannotRead, notRegularFile };

/** Reads at most maxBytes + 1 bytes of a regular file (after following
    links), so that a caller sees a file that is too large without reading all
    of it. Anything else is refused without a blocking open. */
Outcome read (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& data);
} // namespace BoundedFileRead
