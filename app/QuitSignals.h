// SIGTERM, SIGINT and SIGHUP are how Linux asks a program to quit (a session
// ending, `kill`, Ctrl-C in a terminal, the terminal it was started from being
// closed). They reach the editor as the operating system's quit request, on the
// message thread, so it quits as if its close button were pressed: a save in
// progress ends, and the settings are written. A signal that was ignored when
// the editor started (SIGHUP under `nohup`) stays ignored.
#pragma once

#include <juce_core/juce_core.h>

#include <functional>

class QuitSignals
{
public:
    /** Catches the signals that were not ignored at start until destroyed; at
        most one object at a time. */
    explicit QuitSignals (std::function<void()> onQuitRequest);

    /** Puts back the handlers that were there before. */
    ~QuitSignals();

private:
    void drainAndRequestQuit();

    std::function<void()> onQuitRequest;
    int pipeRead = -1;
    bool installed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuitSignals)
};
