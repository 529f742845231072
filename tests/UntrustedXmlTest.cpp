// The shared reader of outside XML, with limits of its caller's choosing (the
// mapping-file tests cover the mapping file's own limits and hostile files).
#include "model/UntrustedXml.h"

#include <gtest/gtest.h>

namespace
{
juce::MemoryBlock raw (std::initializer_list<int> bytes)
{
    juce::MemoryBlock data;
    for (auto b : bytes)
        data.append (&b, 1); // little-endian: the low byte
    return data;
}

juce::String codePoints (std::initializer_list<juce::juce_wchar> cs)
{
    juce::String s;
    for (auto c : cs)
        s << juce::String::charToString (c);
    return s;
}

TEST (UntrustedXml, DecodesStrictUtf8AndUtf16ElseWindows1252)
{
    const struct { const char* name; juce::MemoryBlock bytes; juce::String text; } cases[] = {
        { "byte order mark only", raw ({ 0xef, 0xbb, 0xbf }), {} },
        { "UTF-8 after a byte order mark", raw ({ 0xef, 0xbb, 0xbf, 'a', 0xc3, 0xa9 }), codePoints ({ 'a', 0xe9 }) },
        { "4-byte UTF-8", raw ({ 0xf0, 0x9f, 0x8e, 0xb9 }), codePoints ({ 0x1f3b9 }) },
        { "text ends at a zero byte", raw ({ 'a', 0, 'b' }), "a" },
        { "overlong 2-byte form", raw ({ 0xc0, 0xaf }), codePoints ({ 0xc0, 0xaf }) },
        { "overlong 3-byte form", raw ({ 0xe0, 0x80, 0xaf }), codePoints ({ 0xe0, 0x20ac, 0xaf }) },
        { "lone continuation byte", raw ({ 'a', 0x80 }), codePoints ({ 'a', 0x20ac }) },
        { "UTF-16 little-endian", raw ({ 0xff, 0xfe, 'a', 0, 0x3c, 0xd8, 0xb9, 0xdf }), codePoints ({ 'a', 0x1f3b9 }) },
        { "UTF-16 big-endian", raw ({ 0xfe, 0xff, 0, 'a', 0x20, 0xac }), codePoints ({ 'a', 0x20ac }) },
        { "UTF-16 with a lone surrogate", raw ({ 0xff, 0xfe, 0x3c, 0xd8, 'a', 0 }), codePoints ({ 0xff, 0xfe, '<', 0xd8, 'a' }) },
    };

    for (const auto& c : cases)
        EXPECT_EQ (UntrustedXml::decodeText (c.bytes.getData(), c.bytes.getSize()), c.text) << c.name;
}

// Each limit holds exactly at its value and refuses one beyond it.
TEST (UntrustedXml, EveryLimitIsHonouredAtItsValue)
{
    const UntrustedXml::Limits limits { 64, 3, 2, 2, 4 };
    const struct { const char* text; const char* failure; } cases[] = {
        { "<r a=\"1\" b=\"2\"><c/><c/></r>", nullptr },
        { "<r a=\"1\" b=\"2\" c=\"3\"/>", "too many attributes on one element" },
        { "<r><c/><c/><c/></r>", "too many elements" },
        { "<r><c><d/></c></r>", "elements nested too deeply" },
        { "<r a=\"\"><c a=\"\"/><d/></r>", nullptr },
        { "<r a=\"\"><c b=\"\"/><d/></r>", "too many different names" },
        { "<r a=\"01234567890123456789012345678901234567890123456789012345\"/>", "file too large" },
        { "<r base64:a=\"1.A\"/>", "binary attributes are not accepted" },
        { "<r a=\"1\" a=\"2\"/>", "an attribute is given twice" },
        { "<?xml version=\"1.0\"?><r/>", nullptr },
        { "<r><?p?>x</r>", "processing instructions are not accepted" },
        { "<!DOCTYPE r><r/>", "document type declarations are not accepted" },
        { "<r a=\"&amp;&#233;&#x1F3B9;\"/>", nullptr },
        { "<r a=\"&unknown;\"/>", "not well-formed XML" },
        { "<r a=\"&#xD800;\"/>", "not well-formed XML" },
        { "<r>&#0;</r>", "not well-formed XML" },
        { "<r", "not well-formed XML" },
        // The comment opened by "<!-->" ends at the next "-->", as JUCE reads it.
        { "<r><!--><c/><c/><c/>--></r>", nullptr },
    };

    for (const auto& c : cases)
    {
        juce::ValueTree tree ("stale");
        const auto result = UntrustedXml::parse (c.text, std::strlen (c.text), limits, tree);
        if (c.failure == nullptr)
        {
            EXPECT_TRUE (result.wasOk()) << c.text << ": " << result.getErrorMessage();
            EXPECT_TRUE (tree.hasType ("r")) << c.text;
        }
        else
        {
            EXPECT_EQ (result.getErrorMessage(), juce::String (c.failure)) << c.text;
            EXPECT_FALSE (tree.isValid()) << c.text;
        }
    }
}
} // namespace
