// Where the upgrader finds the maker's firmware: one HTTPS folder that holds
// the catalogues and the images they name. The program always uses the
// maker's server; only tests move it, to a server of their own on loopback.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo::FirmwareServer
{
/** The maker's firmware folder. Every path below it is appended as it stands. */
constexpr const char* defaultRoot = "https://firmware.zevosonic.com/upgrader/";

/** The folder in use: the default one unless a test has set another. */
juce::String getRoot();

/** Points every later request at another folder (an address ending in "/");
    an empty text restores the default. Called by tests only. */
void setRoot (const juce::String& root);

/** How long reading a catalogue or downloading an image may take, from the
    request to the last byte: a server that stalls or trickles fails then. */
constexpr int defaultTimeoutMs = 60000;

/** The time-out in use: the default one unless a test has set another. */
int getTimeoutMs();

/** Sets the time-out of every later transfer; 0 or less restores the
    default. Called by tests only, so that a stall fails in seconds. */
void setTimeoutMs (int timeoutMs);
} // namespace zevo::FirmwareServer
