// JUCE opens the X libraries at run time and closes them at exit. What they
// still hold then looks to LeakSanitizer like a leak of ours, since nothing
// loaded refers to it any more; kept loaded, they keep referring to it.
#pragma once

#include <dlfcn.h>

namespace testsupport
{
inline void keepXLibrariesLoaded()
{
    for (const auto* name : { "libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXinerama.so.1",
                              "libXrender.so.1", "libXrandr.so.2", "libXss.so.1" })
        dlopen (name, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}
} // namespace testsupport
