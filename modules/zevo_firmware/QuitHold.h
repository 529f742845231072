// A quit asked for while firmware is written to a unit (a quit signal, the
// main window's close button) would stop the message loop under the upload:
// the upload still runs to its end, but no window is drawn meanwhile, and a
// user facing a frozen editor may kill it and leave the unit half written.
// Such a quit waits instead, the way Escape in the wizard waits for its step,
// and goes ahead once the writing has ended.
#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace zevo::QuitHold
{
/** If firmware is being written, keeps `quit` to run when the writing ends,
    tells the terminal so and returns true; otherwise returns false and keeps
    nothing. A later request replaces an earlier one. Message thread only. */
bool holdWhileWriting (std::function<void()> quit);

/** Marks firmware being written for its lifetime (message thread only). */
class WhileWriting
{
public:
    WhileWriting() noexcept;

    /** Ends the writing if end() has not; a held quit goes ahead. */
    ~WhileWriting();

    /** Ends the writing: a held quit goes ahead, the outcome written to the
        terminal first, since the box that shows it will not wait for an answer. */
    void end (const juce::String& outcome);

private:
    bool writing = true;

    JUCE_DECLARE_NON_COPYABLE (WhileWriting)
};
} // namespace zevo::QuitHold
