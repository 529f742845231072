#include "QuitHold.h"

namespace zevo::QuitHold
{
namespace
{
int writers = 0;
std::function<void()> heldQuit;

void say (const juce::String& line)
{
    juce::Logger::writeToLog (line);
}
} // namespace

bool holdWhileWriting (std::function<void()> quit)
{
    if (writers == 0)
        return false;

    heldQuit = std::move (quit);
    say ("A firmware upgrade is being written to the unit: the editor will quit when it has ended.");
    return true;
}

WhileWriting::WhileWriting() noexcept
{
    ++writers;
}

WhileWriting::~WhileWriting()
{
    if (writing)
        end ({});
}

void WhileWriting::end (const juce::String& outcome)
{
    if (! std::exchange (writing, false) || --writers > 0 || heldQuit == nullptr)
        return;

    if (outcome.isNotEmpty())
        say (outcome);
    std::exchange (heldQuit, nullptr)();
}
} // namespace zevo::QuitHold
