#include "Strcat0.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

char* strcat_0 (char* first, ...)
{
    size_t total = 0;

    va_list texts;
    va_start (texts, first);
    for (auto* text = va_arg (texts, char*); text != nullptr; text = va_arg (texts, char*))
        total += std::strlen (text);
    va_end (texts);

    if (total == 0)
        return first;

    const auto firstLength = std::strlen (first);
    auto* joined = static_cast<char*> (std::malloc (firstLength + total + 1));
    if (joined == nullptr)
        return first;

    std::memcpy (joined, first, firstLength);
    auto* end = joined + firstLength;

    va_start (texts, first);
    for (auto* text = va_arg (texts, char*); text != nullptr; text = va_arg (texts, char*))
    {
        const auto length = std::strlen (text);
        std::memcpy (end, text, length);
        end += length;
    }
    va_end (texts);

    *end = '\0';
    return joined;
}
