#include "Product.h"

#include <iterator>

namespace zevo
{
namespace
{
struct PortNamePattern
{
    const char* wildcard;
    Product::PID code;
};

// Tried from the top; the first that fits wins. A pattern that contains
// another must come before it ("dolm ar rt" before "dolm ar r" before
// "dolm ar", "stavel k+" before "stavel k", each Velto V model before its
// plain T model), or the general one would swallow the specific names.
// All patterns are lower case: names are lower-cased before matching.
constexpr PortNamePattern portNamePatterns[] = {
    { "*dolm ar rt*", Product::dolmarRT },
    { "*dolm ar r*", Product::dolmarR },
    { "*dolm?ar?v2*", Product::dolmarV2 },
    { "*dolm?et*v2*", Product::dolmetV2 },
    { "*dolm ar*", Product::dolmar },
    { "*dolm et*", Product::dolmet },
    { "*stavel?k+*", Product::stavelKPlus },
    { "*stavel?k*", Product::stavelK },
    { "*stavel?r+*", Product::stavelRPlus },
    { "*stavel?r*", Product::stavelR },
    { "*stavel?d+*", Product::stavelDPlus },
    { "*stavel?lume*", Product::stavelLume },
    { "*stavelmini*", Product::stavelMini },
    { "*brimtal?2r*", Product::brimtal2R },
    { "*brimtal?3r*", Product::brimtal3R },
    { "*brimtal?4r*", Product::brimtal4R },
    { "*brimtal?5r*", Product::brimtal5R },
    { "*brimtal?6r*", Product::brimtal6R },
    { "*brimtal?2t?vst*", Product::brimtal2TVeltoV },
    { "*brimtal?2t?(vo?v)*", Product::brimtal2TVeltoV },
    { "*brimtal?3t?vst*", Product::brimtal3TVeltoV },
    { "*brimtal?3t?(vo?v)*", Product::brimtal3TVeltoV },
    { "*brimtal?4t?vst*", Product::brimtal4TVeltoV },
    { "*brimtal?4t?(vo?v)*", Product::brimtal4TVeltoV },
    { "*brimtal?5t?vst*", Product::brimtal5TVeltoV },
    { "*brimtal?5t?(vo?v)*", Product::brimtal5TVeltoV },
    { "*brimtal?6t?vst*", Product::brimtal6TVeltoV },
    { "*brimtal?6t?(vo?v)*", Product::brimtal6TVeltoV },
    { "*brimtal?2t*", Product::brimtal2T },
    { "*brimtal?3t*", Product::brimtal3T },
    { "*brimtal?4t*", Product::brimtal4T },
    { "*brimtal?5t*", Product::brimtal5T },
    { "*brimtal?6t*", Product::brimtal6T },
    { "*brimtal?2?mini*", Product::brimtal2Mini },
    { "*brimtal?3?mini*", Product::brimtal3Mini },
    { "*brimtal?4?mini*", Product::brimtal4Mini },
    { "*brimtal?5?mini*", Product::brimtal5Mini },
    { "*brimtal?6?mini*", Product::brimtal6Mini },
    { "*brim?tal?2*", Product::brimtal2 },
    { "*brim?tal?3*", Product::brimtal3 },
    { "*brim?tal?4*", Product::brimtal4 },
    { "*brim?tal?5*", Product::brimtal5 },
    { "*brim?tal?6*", Product::brimtal6 },
};

static_assert (std::size (portNamePatterns) == 43, "one row per port-name pattern");
} // namespace

Product Product::fromDeviceName (const juce::String& portName)
{
    const auto name = portName.toLowerCase().trim();

    // Both sides are lower case by now, so case-sensitive matching is exact.
    for (const auto& pattern : portNamePatterns)
        if (name.matchesWildcard (pattern.wildcard, false))
            return { pattern.code };

    return { unknown };
}

juce::String Product::getName (PID code)
{
    switch (code)
    {
        case dolmar: return "Dolmar";
        case dolmet: return "Dolmet";
        case dolmarR: return "Dolmar R";
        case brimtal2: return "Brimtal 2";
        case brimtal3: return "Brimtal 3";
        case brimtal4: return "Brimtal 4";
        case brimtal5: return "Brimtal 5";
        case brimtalT: return "Brimtal T";
        case brimtal2T: return "Brimtal 2T";
        case brimtal3T: return "Brimtal 3T";
        case brimtal4T: return "Brimtal 4T";
        case brimtal5T: return "Brimtal 5T";
        case stavelK: return "Stavel K";
        case stavelR: return "Stavel R";
        case brimtal6: return "Brimtal 6";
        case brimtal6T: return "Brimtal 6T";
        case dolmarRT: return "Dolmar RT";
        case brimtal2TVeltoV: return "Brimtal 2T (Velto V)";
        case brimtal3TVeltoV: return "Brimtal 3T (Velto V)";
        case brimtal4TVeltoV: return "Brimtal 4T (Velto V)";
        case brimtal5TVeltoV: return "Brimtal 5T (Velto V)";
        case brimtal6TVeltoV: return "Brimtal 6T (Velto V)";
        case brimtal2Mini: return "Brimtal 2 Mini";
        case brimtal3Mini: return "Brimtal 3 Mini";
        case brimtal4Mini: return "Brimtal 4 Mini";
        case brimtal5Mini: return "Brimtal 5 Mini";
        case brimtal6Mini: return "Brimtal 6 Mini";
        case brimtal2R: return "Brimtal 2R";
        case brimtal3R: return "Brimtal 3R";
        case brimtal4R: return "Brimtal 4R";
        case brimtal5R: return "Brimtal 5R";
        case brimtal6R: return "Brimtal 6R";
        case stavelKPlus: return "Stavel K+";
        case stavelRPlus: return "Stavel R+";
        case stavelDPlus: return "Stavel D+";
        case dolmarV2: return "Dolmar V2";
        case dolmetV2: return "Dolmet V2";
        case stavelMini: return "StavelMini";
        case stavelLume: return "Stavel Lume";
        case unknown: break;
    }
    return "Unknown";
}
} // namespace zevo
