// Which local firmware file may go to which product, by its name.
#include "modules/zevo_firmware/FirmwareFileRule.h"

#include <gtest/gtest.h>

namespace
{
struct NameCase
{
    int productCode;
    const char* fileName; // as the file chooser gives it, extension included
    bool fits;
};

// One accepted and one refused name per row of the naming table; the refused
// name is the nearest miss (another family's name or a changed character).
const NameCase nameCases[] = {
    { 79, "DOLM_AR_ET_v1.bin", true },            // any letter case
    { 79, "stavel_k_v1.bin", false },
    { 89, "zevo_dolm_ar_et_2.01.bin", true },
    { 89, "dolm_ar_v1.bin", false },
    { 94, "dolm_ar_r_1.12.bin", true },
    { 94, "dolm_ar_rt_1.40.bin", false },         // "_r_" is not "_rt_"
    { 130, "dolm_ar_rt_1.40.bin", true },
    { 130, "dolm_ar_r_1.12.bin", false },
    { 176, "dolmarv2_dolmetv2_3.bin", true },
    { 177, "DolmarV2_DolmetV2_3.bin", true },
    { 177, "dolmarv2_3.bin", false },
    { 117, "stavel_k_1.bin", true },
    { 117, "stavel_k+_1.bin", false },            // "+" matches only itself
    { 118, "stavel_r_1.bin", true },
    { 118, "stavelr_1.bin", false },
    { 156, "stavel_k+_1.bin", true },
    { 156, "stavel_k_1.bin", false },
    { 161, "stavel_r+_1.bin", true },
    { 161, "stavel_rx_1.bin", false },
    { 179, "stavel_mini_1.bin", true },
    { 179, "stavelmini_1.bin", false },
    { 186, "stavel_lume_1.bin", true },
    { 186, "stavel-lume-1.bin", false },          // "_" matches only itself
    { 147, "brimtal_2r_1.bin", true },
    { 151, "brimtal_6_mk2r_1.bin", true },        // "*" between "brimtal_" and "r_"
    { 149, "brimtal_4t_1.bin", false },
    { 133, "brimtal_2t_vst_1.bin", true },
    { 133, "brimtal_2t_1.bin", false },
    { 135, "brimtal_4t_velto_v_2.bin", true },    // the second form
    { 137, "brimtal_6t_vst.bin", false },         // "vst?" needs one more character
    { 111, "brimtal_2t_1.bin", true },
    { 111, "brimtal_2t_vst_1.bin", false },       // a Velto V file is refused first
    { 110, "brimtal_3t_velto_v_1.bin", false },
    { 112, "brimtal_3t_x.bin", true },
    { 126, "brimtal_6t.bin", false },             // "t?" needs one more character
    { 114, "brimtal-5t-1.bin", true },            // "?" is any one character
    { 101, "anything.bin", true },                // no naming rule
    { 125, "stavel_k_1.bin", true },
    { 141, "x.bin", true },
    { 170, "dolm_ar_et_1.bin", true },
    { 2000, "random.bin", true },
};
} // namespace

TEST (FirmwareFileRule, EveryProductAcceptsItsOwnFilesOnly)
{
    for (const auto& c : nameCases)
    {
        const auto file = juce::File ("/firmware").getChildFile (c.fileName);
        EXPECT_EQ (zevo::FirmwareFileRule::fits (file, c.productCode), c.fits) << c.productCode << " " << c.fileName;
    }
}

TEST (FirmwareFileRule, OnlyTheNameCountsTrimmedAndWithoutItsExtension)
{
    // The extension is not part of the name, blanks around the name are
    // trimmed, and a name needs the trailing "_" of its pattern itself.
    EXPECT_TRUE (zevo::FirmwareFileRule::fits (juce::File ("/f/  Dolm_Ar_Et_2  .BIN"), 79));
    EXPECT_TRUE (zevo::FirmwareFileRule::fits (juce::File ("/f/dolm_ar_et_2.bin.bak"), 79));
    EXPECT_FALSE (zevo::FirmwareFileRule::fits (juce::File ("/dolm_ar_et_/firmware.bin"), 79));
    EXPECT_FALSE (zevo::FirmwareFileRule::fits (juce::File ("/f/dolm_ar_et.bin"), 79));
}
