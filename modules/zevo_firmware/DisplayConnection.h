// The program's connection to the window system, where it has one of its own
// that holds requests back: X11's on Linux.
#pragma once

namespace zevo::DisplayConnection
{
/** Hands what the windows have been told so far (a new title, say) to the
    window system at once. Xlib keeps requests in the connection's buffer until
    the message loop next runs, so a step that blocks the message thread would
    hold them back until it ends. Elsewhere it does nothing. */
void flush();
} // namespace zevo::DisplayConnection
