// The caption rules that the default maps of the views (views.txt) do not
// reach: values without a name, the HUI lookup's counts, user-defined rows a
// file may hold, and ids outside the tables.
#include "app/MappableButton.h"
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
/** The caption a control shows in the current mode, bound as a view binds it. */
juce::String captionOf (int controlId, int kind)
{
    MappableButton button ("new button");
    button.type = kind;
    button.setMapping (currentControlNode (controlId));
    return button.getButtonText();
}

TEST (MappableButton, CaptionsOfValuesTheDefaultsDoNotHold)
{
    auto& model = useFreshModel();
    struct Case { int mode, id, kind, value; const char* caption; };
    const Case cases[] = {
        // Pro Tools: values without a name show their number, or nothing where the name table is empty.
        { 2, 89, CtKind::button, 112, "Right?" }, { 2, 5, CtKind::button, 118, "" },  { 2, 5, CtKind::button, 17, "17" },
        { 2, 5, CtKind::button, 119, "119" },     { 2, 5, CtKind::button, 250, "250" }, { 2, 5, CtKind::button, -3, "-3" },
        // The jog wheel's count is 4 but its list holds 17 alone: what follows 17 must not be found.
        { 2, 5, CtKind::jogWheel, 18, "18" },     { 2, 5, CtKind::jogWheel, 17, "Tape Tspt?" },
        // Places decide for knobs and faders, whatever the node holds.
        { 2, 91, CtKind::knob, 60, "Pan.1" },     { 2, 100, CtKind::fader, 77, "Vol.1" },
    };
    for (const auto& c : cases)
    {
        model.setCurrentMode (CtMode (c.mode));
        currentControlNode (c.id).setProperty (Tags::value, c.value, nullptr);
        EXPECT_EQ (captionOf (c.id, c.kind), c.caption) << "mode " << c.mode << ", id " << c.id << ", value " << c.value;
    }

    // User-defined captions follow the row, not the node.
    model.setCurrentMode (CtMode (3));
    auto* row = Defa::findUserRow (10);
    const struct { uint8_t status, data1, data2; const char* caption; } rows[] = {
        { 0x0C, 0xC0, 5, "PC5" },     { 0x0E, 0xE2, 0, "PB.3" },  { 0x0B, 0x00, 127, "CC127" },
        { 0x09, 0x90, 127, " G(9)" }, { 0x09, 0x90, 200, "200" }, { 0x0A, 0x90, 1, "eMidiType" },
    };
    for (const auto& r : rows)
    {
        row[0] = r.status, row[1] = r.data1, row[2] = r.data2;
        EXPECT_EQ (captionOf (10, CtKind::button), r.caption) << (int) r.status << " " << (int) r.data2;
    }

    // Ids outside the tables, and a mode without tables, show nothing.
    for (int mode : { 0, 2 })
        for (int badId : { 0, 109, -5 })
        {
            model.setCurrentMode (CtMode (mode));
            MappableButton button ("x");
            button.setMapping (juce::ValueTree ("control").setProperty (Tags::id, badId, nullptr));
            EXPECT_EQ (button.getButtonText() + button.getLabelText(), "") << badId;
        }
    model.currentMap.setProperty (Tags::mode, "cubase", nullptr);
    EXPECT_EQ (captionOf (1, CtKind::button) + captionOf (100, CtKind::fader), "");
}
} // namespace
