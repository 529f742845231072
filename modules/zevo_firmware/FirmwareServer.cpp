#include "FirmwareServer.h"

namespace zevo::FirmwareServer
{
namespace
{
// Read and written on the message thread only, like every request.
juce::String& rootInUse()
{
    static juce::String root { defaultRoot };
    return root;
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
} // namespace zevo::FirmwareServer
