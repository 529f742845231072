// The maker's MIDI products: which one a MIDI port name belongs to, and what a
// product code is called on screen. The table keeps no state.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo
{
/** One product, identified by its code. */
struct Product
{
    /** Product codes. Any int may arrive here (from a file or a caller's
        arithmetic); codes without a row are simply "Unknown". */
    enum PID : int
    {
        dolmar = 79,
        dolmet = 89,
        dolmarR = 94,
        brimtal2 = 101,
        brimtal3 = 102,
        brimtal4 = 103,
        brimtal5 = 104,
        brimtalT = 110,
        brimtal2T = 111,
        brimtal3T = 112,
        brimtal4T = 113,
        brimtal5T = 114,
        stavelK = 117,
        stavelR = 118,
        brimtal6 = 125,
        brimtal6T = 126,
        dolmarRT = 130,
        brimtal2TVeltoV = 133,
        brimtal3TVeltoV = 134,
        brimtal4TVeltoV = 135,
        brimtal5TVeltoV = 136,
        brimtal6TVeltoV = 137,
        brimtal2Mini = 141,
        brimtal3Mini = 142,
        brimtal4Mini = 143,
        brimtal5Mini = 144,
        brimtal6Mini = 145,
        brimtal2R = 147,
        brimtal3R = 148,
        brimtal4R = 149,
        brimtal5R = 150,
        brimtal6R = 151,
        stavelKPlus = 156,
        stavelRPlus = 161,
        stavelDPlus = 170,
        dolmarV2 = 176,
        dolmetV2 = 177,
        stavelMini = 179,
        stavelLume = 186,
        unknown = 2000
    };

    /** The product of a MIDI port name, found case-blind and ignoring blanks
        at either end; unknown when no product's pattern fits. */
    static Product fromDeviceName (const juce::String& portName);

    /** The display name of a code; "Unknown" for every code without a row. */
    static juce::String getName (PID code);

    /** The full control surface or its extender: the two units the editor
        shows and sends mappings to. */
    bool isFullUnitOrExtender() const noexcept { return pid == dolmar || pid == dolmet; }

    operator PID() const noexcept { return pid; }

    PID pid = unknown;
};
} // namespace zevo
