#include "FirmwareFileRule.h"

#include "model/Product.h"

namespace zevo::FirmwareFileRule
{
namespace
{
bool matches (const juce::String& name, const char* wildcard)
{
    // Both sides are lower case; "_" and "+" stand for themselves.
    return name.matchesWildcard (wildcard, false);
}

// The Velto V models' files carry "vst" or "velto v" after the T; the plain T
// models' files share the same start, so those two forms must be ruled out
// for them.
bool isVeltoVFile (const juce::String& name)
{
    return matches (name, "*brimtal??t?vst?*") || matches (name, "*brimtal??t?velto?v?*");
}
} // namespace

bool nameFits (const juce::String& name, int productCode)
{
    switch (productCode)
    {
        case Product::dolmar:
        case Product::dolmet:
            return matches (name, "*dolm_ar_et_*");

        case Product::dolmarR: return matches (name, "*dolm_ar_r_*");
        case Product::dolmarRT: return matches (name, "*dolm_ar_rt_*");

        case Product::dolmarV2:
        case Product::dolmetV2:
            return matches (name, "*dolmarv2_dolmetv2_*");

        case Product::stavelK: return matches (name, "*stavel_k_*");
        case Product::stavelR: return matches (name, "*stavel_r_*");
        case Product::stavelKPlus: return matches (name, "*stavel_k+_*");
        case Product::stavelRPlus: return matches (name, "*stavel_r+_*");
        case Product::stavelMini: return matches (name, "*stavel_mini_*");
        case Product::stavelLume: return matches (name, "*stavel_lume_*");

        case Product::brimtal2R:
        case Product::brimtal3R:
        case Product::brimtal4R:
        case Product::brimtal5R:
        case Product::brimtal6R:
            return matches (name, "*brimtal_*r_*");

        case Product::brimtal2TVeltoV:
        case Product::brimtal3TVeltoV:
        case Product::brimtal4TVeltoV:
        case Product::brimtal5TVeltoV:
        case Product::brimtal6TVeltoV:
            return isVeltoVFile (name);

        case Product::brimtalT:
        case Product::brimtal2T:
        case Product::brimtal3T:
        case Product::brimtal4T:
        case Product::brimtal5T:
        case Product::brimtal6T:
            return ! isVeltoVFile (name) && matches (name, "*brimtal??t?*");

        default:
            return true;
    }
}

bool fits (const juce::File& firmwareFile, int productCode)
{
    return nameFits (firmwareFile.getFileNameWithoutExtension().toLowerCase().trim(), productCode);
}
} // namespace zevo::FirmwareFileRule
