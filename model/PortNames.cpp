#include "PortNames.h"

namespace
{
bool isBlankCharacter (juce::juce_wchar c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

bool isBlank (const juce::String& name)
{
    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
        if (! isBlankCharacter (*p))
            return false;

    return true;
}
} // namespace

juce::StringArray PortNames::withoutRepeatsOrBlanks (const juce::StringArray& names)
{
    juce::StringArray result (names);
    result.removeDuplicates (false);

    for (int i = result.size(); --i >= 0;)
        if (isBlank (result[i]))
            result.remove (i);

    return result;
}
