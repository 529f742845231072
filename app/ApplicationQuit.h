// Asking the editor to quit from wherever the request arrives. JUCE's message
// loop on Linux looks for a quit only after it has handled an event. A quit
// asked for inside a nested loop (a modal dialog, the upgrader's waits) ends
// that loop at once, and the outer loop may then sleep in poll for good: no
// message can be posted once the quit is, and window events that Xlib has
// already read off the display connection do not wake it. So the request also
// readies a wake-up of its own for the outer loop.
#pragma once

namespace ApplicationQuit
{
/** Quits the application's message loop, also when called from a nested one
    (message thread only). */
void request();
} // namespace ApplicationQuit
