#include "FirmwareServer.h"

namespace zevo::FirmwareServer
{
namespace
{
// Read and written on the message thread only, where every request starts.
juce::String& rootInUse()
{
    static juce::String root { defaultRoot };
    return root;
}

int& timeoutInUse()
{
    static int timeoutMs = defaultTimeoutMs;
    return timeoutMs;
}
} // namespace

juce::String getRoot()
{
    return rootInUse();
}

void setRoot (const juce::String& root)
{
    rootInUse() = root.isEmpty() ? juce::String (defaultRoot) : root;
}

int getTimeoutMs()
{
    return timeoutInUse();
}

void setTimeoutMs (int timeoutMs)
{
    timeoutInUse() = timeoutMs > 0 ? timeoutMs : defaultTimeoutMs;
}
} // namespace zevo::FirmwareServer
