// What the tests on the real sequencer share: waits with a generous limit
// that keep the message loop running, JUCE's port lists, and a unit in a
// process of its own, as kivra_alsa_unit runs for scripts.
#pragma once

#include "AlsaUnit.h"
#include "model/MidiPorts.h"

#include <juce_events/juce_events.h>

#include <csignal>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>

namespace realmidi
{
// The test machine is emulated and slow: limits are generous, and only what
// happened is asserted, never how long it took.
constexpr int generousMs = 60'000;

/** Runs the message loop until the condition holds; false when the limit passed first. */
inline bool waitUntil (const std::function<bool()>& condition, int limitMs = generousMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + limitMs;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounterHiRes() > end)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
    return true;
}

inline bool isListed (const juce::String& name)
{
    auto& ports = MidiPorts::get();
    return ports.getOutputNames().contains (name) && ports.getInputNames().contains (name);
}

/** kivra_alsa_unit, built beside the test executable, run until stopped. */
class UnitProcess
{
public:
    explicit UnitProcess (const std::vector<std::string>& arguments)
    {
        const auto program = juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                                 .getSiblingFile ("kivra_alsa_unit").getFullPathName().toStdString();
        std::vector<std::string> all { program };
        all.insert (all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& argument : all)
            argv.push_back (argument.data());
        argv.push_back (nullptr);
        if (posix_spawn (&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            pid = -1;
    }

    ~UnitProcess() { stop(); }

    /** SIGTERM, then its exit status (-1 when it did not exit normally). */
    int stop()
    {
        if (pid <= 0)
            return status;
        kill (pid, SIGTERM);
        int waitStatus = 0;
        waitpid (pid, &waitStatus, 0);
        pid = -1;
        status = WIFEXITED (waitStatus) ? WEXITSTATUS (waitStatus) : -1;
        return status;
    }

    bool started() const { return pid > 0; }

private:
    pid_t pid = -1;
    int status = -1;
};
} // namespace realmidi
