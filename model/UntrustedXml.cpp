#include "UntrustedXml.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace UntrustedXml
{
namespace
{
using Byte = unsigned char;

bool isContinuation (Byte b) { return (b & 0xc0) == 0x80; }

// Length of the well-formed UTF-8 sequence at p, or 0 when there is none:
// the ranges of the second byte rule out overlong forms, surrogates and code
// points above U+10FFFF; 5- and 6-byte forms have no valid lead byte.
size_t sequenceLength (const Byte* p, const Byte* end)
{
    const auto left = (size_t) (end - p);
    const Byte lead = p[0];

    if (lead < 0x80)
        return 1;

    size_t length = 0;
    Byte low = 0x80, high = 0xbf;

    if (lead >= 0xc2 && lead <= 0xdf)      { length = 2; }
    else if (lead == 0xe0)                 { length = 3; low = 0xa0; }
    else if (lead == 0xed)                 { length = 3; high = 0x9f; }
    else if (lead >= 0xe1 && lead <= 0xef) { length = 3; }
    else if (lead == 0xf0)                 { length = 4; low = 0x90; }
    else if (lead >= 0xf1 && lead <= 0xf3) { length = 4; }
    else if (lead == 0xf4)                 { length = 4; high = 0x8f; }
    else                                   return 0;

    if (left < length || p[1] < low || p[1] > high)
        return 0;

    for (size_t i = 2; i < length; ++i)
        if (! isContinuation (p[i]))
            return 0;

    return length;
}

bool isStrictUtf8 (const Byte* p, const Byte* end)
{
    while (p < end)
    {
        const auto length = sequenceLength (p, end);
        if (length == 0)
            return false;
        p += length;
    }

    return true;
}

// The code points of Windows-1252's bytes 0x80 to 0x9F; the five bytes it
// leaves undefined stand for the control characters of the same value.
constexpr juce::juce_wchar windows1252High[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021,
    0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008d, 0x017d, 0x008f,
    0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
    0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178
};

void appendUtf8 (std::string& out, juce::juce_wchar c)
{
    if (c < 0x80)
    {
        out += (char) c;
    }
    else if (c < 0x800)
    {
        out += (char) (0xc0 | (c >> 6));
        out += (char) (0x80 | (c & 0x3f));
    }
    else
    {
        out += (char) (0xe0 | (c >> 12));
        out += (char) (0x80 | ((c >> 6) & 0x3f));
        out += (char) (0x80 | (c & 0x3f));
    }
}

// Every byte is a code point of the Basic Multilingual Plane, so the UTF-8
// built here is valid by construction.
std::string windows1252ToUtf8 (const Byte* p, const Byte* end)
{
    std::string out;
    out.reserve ((size_t) (end - p) * 2);

    for (; p < end; ++p)
        appendUtf8 (out, (*p >= 0x80 && *p < 0xa0) ? windows1252High[*p - 0x80] : (juce::juce_wchar) *p);

    return out;
}

// JUCE looks at the first byte even of an empty range, which for a file of
// only a byte order mark lies past the end of the data.
juce::String fromValidUtf8 (const char* start, size_t size)
{
    if (size == 0)
        return {};

    return juce::String (juce::CharPointer_UTF8 (start), juce::CharPointer_UTF8 (start + size));
}

// UTF-16 is taken only with its byte order mark, and only when every
// surrogate is paired; the text ends at the first zero code unit.
bool utf16ToUtf8 (const Byte* p, const Byte* end, bool bigEndian, std::string& out)
{
    if ((end - p) % 2 != 0)
        return false;

    auto unitAt = [bigEndian] (const Byte* q) { return bigEndian ? (juce::juce_wchar) ((q[0] << 8) | q[1])
                                                                 : (juce::juce_wchar) ((q[1] << 8) | q[0]); };
    for (; p < end; p += 2)
    {
        auto c = unitAt (p);
        if (c == 0)
            break;

        if (c >= 0xdc00 && c <= 0xdfff)
            return false;

        if (c >= 0xd800 && c <= 0xdbff)
        {
            if (end - p < 4)
                return false;
            const auto low = unitAt (p + 2);
            if (low < 0xdc00 || low > 0xdfff)
                return false;
            c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
            p += 2;
            out += (char) (0xf0 | (c >> 18));
            out += (char) (0x80 | ((c >> 12) & 0x3f));
            out += (char) (0x80 | ((c >> 6) & 0x3f));
            out += (char) (0x80 | (c & 0x3f));
            continue;
        }

        appendUtf8 (out, c);
    }

    return true;
}

// The text of bytes as valid UTF-8: the bytes themselves when they are strict
// UTF-8, otherwise a copy converted from UTF-16 or Windows-1252.
struct Utf8Text
{
    Utf8Text (const void* bytes, size_t numBytes)
    {
        if (numBytes == 0)
            return; // also no data pointer to look at

        auto start = static_cast<const Byte*> (bytes);
        auto end = start + numBytes;

        if (numBytes >= 2 && (start[0] == 0xff || start[0] == 0xfe) && start[1] == (start[0] ^ 0x01)
            && utf16ToUtf8 (start + 2, end, start[0] == 0xfe, storage))
        {
            point (storage);
            return;
        }

        storage.clear();
        if (numBytes >= 3 && start[0] == 0xef && start[1] == 0xbb && start[2] == 0xbf)
            start += 3;

        if (const auto* zero = std::memchr (start, 0, (size_t) (end - start)))
            end = static_cast<const Byte*> (zero);

        if (isStrictUtf8 (start, end))
        {
            data = reinterpret_cast<const char*> (start);
            size = (size_t) (end - start);
            return;
        }

        storage = windows1252ToUtf8 (start, end);
        point (storage);
    }

    void point (const std::string& s) { data = s.data(); size = s.size(); }

    const char* data = "";
    size_t size = 0;
    std::string storage;

    JUCE_DECLARE_NON_COPYABLE (Utf8Text)
};

//==============================================================================
// A walk over the markup that mirrors JUCE's parser closely enough to count
// what it would build, before it builds anything: JUCE pools every tag and
// attribute name for the life of the process, and entering a new name costs
// time in proportion to the names already there, so a file of many distinct
// names takes seconds. Where this walk meets markup it does not expect, JUCE's
// parser would report an error and go on from a place of its own choosing, so
// the walk refuses the document wherever JUCE might differ from it: names are
// ASCII XML names, white space is ASCII, and an '&' starts one of XML's five
// named entities or a numeric one (JUCE reads any other up to the next ';',
// wherever that is, and parses what it finds there as elements).
//
// The walk also refuses what JUCE's parser mishandles: a DOCTYPE (its entities
// can be read from disk or expand without bound) and a processing instruction
// other than the leading declaration (inside an element, one followed by text
// sends the parser into an endless loop).
class MarkupScan
{
public:
    MarkupScan (const char* text, size_t size, const Limits& limits)
        : p (text), end (text + size), limits (limits) {}

    juce::String run()
    {
        skipSpace();
        const auto* declarationPlace = p;

        while (problem.isEmpty() && skipText())
        {
            if (startsWith ("<!--"))              skipPast ("<!--", "-->");
            else if (startsWith ("<![CDATA["))    skipPast ("<![CDATA[", "]]>");
            else if (startsWith ("<!DOCTYPE"))    problem = "document type declarations are not accepted";
            else if (startsWith ("<!"))           problem = "not well-formed XML";
            else if (startsWith ("<?xml") && p == declarationPlace) skipPast ("<?xml", "?>");
            else if (startsWith ("<?"))           problem = "processing instructions are not accepted";
            else if (startsWith ("</"))           { skipPast ("</", ">"); --depth; }
            else                                  startTag();
        }

        return problem;
    }

private:
    static bool isSpace (char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool isNameChar (char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
               || c == '_' || c == ':' || c == '.' || c == '-';
    }

    static bool isDigit (char c, bool hex)
    {
        return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    }

    // At an '&': steps over one entity reference, or refuses the document.
    bool skipEntity()
    {
        for (const char* named : { "&amp;", "&quot;", "&apos;", "&lt;", "&gt;" })
        {
            if (startsWith (named))
            {
                p += std::strlen (named);
                return true;
            }
        }

        // A numeric one must name a valid character: JUCE would put any
        // number into a String, and text holding an invalid code point is
        // what makes JUCE's string functions read past their buffers.
        const bool hex = startsWith ("&#x");
        const auto* digits = p + (hex ? 3 : 2);
        const auto* q = digits;
        juce::int64 value = 0;
        if (startsWith ("&#"))
            for (; q < end && q - digits < 7 && isDigit (*q, hex); ++q)
                value = value * (hex ? 16 : 10) + juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) *q);

        const bool validCharacter = value > 0 && value <= 0x10ffff && ! (value >= 0xd800 && value <= 0xdfff);
        if (q == digits || q == end || *q != ';' || ! validCharacter)
        {
            problem = "not well-formed XML";
            return false;
        }

        p = q + 1;
        return true;
    }

    // Steps over text up to the next '<'; false at the end or on a bad entity.
    bool skipText()
    {
        while (p < end && *p != '<')
            if (*p != '&')
                ++p;
            else if (! skipEntity())
                return false;

        return p < end;
    }

    // At a quote: steps over the quoted value.
    bool skipQuoted()
    {
        const char quote = *p++;
        while (p < end && *p != quote)
            if (*p != '&')
                ++p;
            else if (! skipEntity())
                return false;

        if (p == end)
        {
            problem = "not well-formed XML";
            return false;
        }

        ++p;
        return true;
    }

    bool startsWith (const char* s) const
    {
        const auto n = std::strlen (s);
        return (size_t) (end - p) >= n && std::memcmp (p, s, n) == 0;
    }

    // Steps over a construct; its end is looked for after its opening, as
    // JUCE does, so "<!-->" does not end the comment it opens.
    void skipPast (const char* opening, const char* closing)
    {
        p += std::strlen (opening);
        while (p < end && ! startsWith (closing))
            ++p;
        p = std::min (end, p + std::strlen (closing));
    }

    void skipSpace() { while (p < end && isSpace (*p)) ++p; }

    std::string name()
    {
        const auto* start = p;
        while (p < end && isNameChar (*p))
            ++p;
        return { start, p };
    }

    void addName (std::string n)
    {
        if (names.insert (std::move (n)).second && (int) names.size() > limits.maxDistinctNames)
            problem = "too many different names";
    }

    void startTag()
    {
        ++p;
        skipSpace(); // the parser allows a gap after '<'
        auto tag = name();
        if (tag.empty())
            { problem = "not well-formed XML"; return; }

        addName (std::move (tag));
        if (++elements > limits.maxElements)
            problem = "too many elements";

        for (int attributes = 0; problem.isEmpty(); ++attributes)
        {
            if (attributes > limits.maxAttributesPerElement)
                { problem = "too many attributes on one element"; return; }

            skipSpace();
            if (startsWith ("/>"))
                { p += 2; return; }
            if (startsWith (">"))
            {
                ++p;
                if (++depth > limits.maxDepth)
                    problem = "elements nested too deeply";
                return;
            }

            auto attribute = name();
            skipSpace();
            if (attribute.empty() || ! startsWith ("="))
                { problem = "not well-formed XML"; return; }
            ++p;
            skipSpace();
            if (p == end || (*p != '"' && *p != '\''))
                { problem = "not well-formed XML"; return; }

            if (! skipQuoted())
                return;
            addName (std::move (attribute));
        }
    }

    const char* p;
    const char* const end;
    const Limits& limits;
    std::unordered_set<std::string> names;
    int elements = 0, depth = 0;
    juce::String problem;
};

// XML forbids an attribute twice on one element, but JUCE's parser keeps
// both, and the tree would then read the first and write back the last.
bool repeatsAnAttribute (const juce::XmlElement& element)
{
    std::vector<const void*> names;
    for (int i = 0; i < element.getNumAttributes(); ++i)
        names.push_back (element.getAttributeName (i).getCharPointer().getAddress()); // pooled: one address per name

    std::sort (names.begin(), names.end());
    return std::adjacent_find (names.begin(), names.end()) != names.end();
}

// Walks the element tree without recursion, so a limit that allows deep
// documents cannot overflow the stack here.
juce::String checkElements (const juce::XmlElement& root, const Limits& limits)
{
    std::vector<std::pair<const juce::XmlElement*, int>> pending { { &root, 1 } };

    while (! pending.empty())
    {
        const auto [element, depth] = pending.back();
        pending.pop_back();

        if (element->isTextElement())
            continue;

        if (depth > limits.maxDepth)
            return "elements nested too deeply";

        const auto numAttributes = element->getNumAttributes();
        if (numAttributes > limits.maxAttributesPerElement)
            return "too many attributes on one element";

        for (int i = 0; i < numAttributes; ++i)
            if (element->getAttributeName (i).startsWith ("base64:"))
                return "binary attributes are not accepted";

        if (repeatsAnAttribute (*element))
            return "an attribute is given twice";

        for (const auto* child : element->getChildIterator())
            pending.emplace_back (child, depth + 1);
    }

    return {};
}

} // namespace

//==============================================================================
bool isStrictUtf8 (const void* data, size_t size)
{
    if (size == 0)
        return true;

    auto start = static_cast<const Byte*> (data);
    if (size >= 3 && start[0] == 0xef && start[1] == 0xbb && start[2] == 0xbf)
    {
        start += 3;
        size -= 3;
    }

    return std::memchr (start, 0, size) == nullptr && isStrictUtf8 (start, start + size);
}

juce::String decodeText (const void* data, size_t size)
{
    const auto text = Utf8Text (data, size);
    return fromValidUtf8 (text.data, text.size);
}

juce::Result parse (const void* data, size_t size, const Limits& limits, juce::ValueTree& tree)
{
    tree = {};

    if ((juce::uint64) size > (juce::uint64) limits.maxBytes)
        return juce::Result::fail ("file too large");

    const auto utf8 = Utf8Text (data, size);
    if (auto problem = MarkupScan (utf8.data, utf8.size, limits).run(); problem.isNotEmpty())
        return juce::Result::fail (problem);

    const auto text = fromValidUtf8 (utf8.data, utf8.size);

    // From text, not from a file: the parser then has no folder to resolve
    // any external name against.
    const auto element = juce::XmlDocument (text).getDocumentElement();
    if (element == nullptr)
        return juce::Result::fail ("not well-formed XML");

    if (auto problem = checkElements (*element, limits); problem.isNotEmpty())
        return juce::Result::fail (problem);

    tree = juce::ValueTree::fromXml (*element);
    return juce::Result::ok();
}
} // namespace UntrustedXml
