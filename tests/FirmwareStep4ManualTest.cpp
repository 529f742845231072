// Step 4 in manual mode: a file picked by hand is loaded only when its name
// (without folder and extension, in any letter case) fits the product;
// otherwise a box refuses it. A cancel ends the step quietly.
#include "support/WizardRig.h"

TEST (FirmwareStep4Manual, EveryProductTakesOnlyFilesNamedForIt)
{
    // A fitting name and the nearest miss for each product; products without
    // a naming rule take any file, and get a cancel instead of a miss.
    const std::tuple<int, const char*, const char*> cases[] = {
        { 79, "DOLM_AR_ET_v1.BIN", "stavel_k_v1.bin" },
        { 89, "zevo_dolm_ar_et_2.01.bin", "dolm_ar_et_/dolm_ar_et.bin" },
        { 94, "dolm_ar_r_1.12.bin", "dolm_ar_rt_1.40.bin" },
        { 130, "dolm_ar_rt_1.40.bin", "dolm_ar_r_1.12.bin" },
        { 176, "dolmarv2_dolmetv2_3.bin", "dolmarv2_3.bin" },
        { 177, "DolmarV2_DolmetV2_3.bin", "dolm_ar_et_3.bin" },
        { 117, "stavel_k_1.bin", "stavel_k+_1.bin" },
        { 118, "stavel_r_1.bin", "stavelr_1.bin" },
        { 156, "stavel_k+_1.bin", "stavel_kx_1.bin" },
        { 161, "stavel_r+_1.bin", "stavel_rx_1.bin" },
        { 179, "stavel_mini_1.bin", "stavelmini_1.bin" },
        { 186, "stavel_lume_1.bin", "stavel-lume-1.bin" },
        { 147, "brimtal_2r_1.bin", "brimtal_2t_1.bin" },
        { 151, "brimtal_6_mk2r_1.bin", "brimtal_6_mk2.bin" },
        { 133, "brimtal_2t_vst_1.bin", "brimtal_2t_1.bin" },
        { 135, "brimtal_4t_velto_v_2.bin", "brimtal_4t_vst.bin" },
        { 111, "brimtal_2t_1.bin", "brimtal_2t_vst_1.bin" },
        { 110, "brimtal-5t-1.bin", "brimtal_3t_velto_v_1.bin" },
        { 126, "brimtal_6t_1.bin", "brimtal_6t.bin" },
        { 101, "anything.bin", nullptr },
        { 170, "dolm_ar_et_1.bin", nullptr },
        { 2000, "random.bin", nullptr },
    };
    for (const auto& [product, fitting, miss] : cases)
        for (const auto* name : { fitting, miss })
        {
            testsupport::WizardRig rig;
            testsupport::PickedFile picked (name != nullptr ? juce::File ("/firmware").getChildFile (name) : juce::File());
            rig.openWindow (product);
            rig.pressKey ('m');

            rig.wizard().doStep4();

            const auto context = juce::String (product) + " " + (name != nullptr ? name : "cancel");
            EXPECT_EQ (rig.state(), name == fitting ? "--ASU" : "--AS-") << context;
            const bool refused = miss != nullptr && name == miss;
            EXPECT_EQ (rig.boxes.shown(), refused ? "! Load File / Not the matching firmware!" : "") << context;
        }
}
