#include "DisplayConnection.h"

#include <juce_core/juce_core.h>

#if JUCE_LINUX || JUCE_BSD
 // JUCE declares its X11 classes (the window system, its Xlib calls) only to
 // code that asks for them before its header.
 #define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#endif
#include <juce_gui_basics/juce_gui_basics.h>

namespace zevo
{
void DisplayConnection::flush()
{
#if JUCE_LINUX || JUCE_BSD
    // None before the first window, and none without a display.
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    if (windowSystem == nullptr || windowSystem->getDisplay() == nullptr)
        return;

    juce::XWindowSystemUtilities::ScopedXLock lock;
    juce::X11Symbols::getInstance()->xFlush (windowSystem->getDisplay());
#endif
}
} // namespace zevo
