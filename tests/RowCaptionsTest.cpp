// What the two views show, row by row, in each working mode: every control of
// a row, on its button or on its caption label.
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/FreshModel.h"
#include "support/ViewProbe.h"

#include <gtest/gtest.h>

namespace
{
using namespace testsupport;

struct Row
{
    int firstId;
    std::vector<const char*> captions; // of firstId, firstId + 1, ...
};

struct ModeRows
{
    int mode;
    std::vector<Row> rows;
};

juce::String shownCaption (juce::Component& mixer, juce::Component& control, int controlId)
{
    auto* button = buttonWithId (mixer, controlId);
    if (button == nullptr)
        button = buttonWithId (control, controlId);
    if (button == nullptr)
        return "<no control " + juce::String (controlId) + ">";
    return button->captionLabel != nullptr ? button->captionLabel->getText() : button->getButtonText();
}

const std::vector<const char*> noteNamesFromC1 { " C(-1)", "C#(-1)", " D(-1)", "D#(-1)", " E(-1)", " F(-1)", "F#(-1)", " G(-1)" };
const std::vector<const char*> controllers16To23 { "CC16", "CC17", "CC18", "CC19", "CC20", "CC21", "CC22", "CC23" };
const std::vector<const char*> pitchBends1To8 { "PB.1", "PB.2", "PB.3", "PB.4", "PB.5", "PB.6", "PB.7", "PB.8" };
const std::vector<const char*> recordButtons { "REC.1", "REC.2", "REC.3", "REC.4", "REC.5", "REC.6", "REC.7", "REC.8" };

// Rows: REC (1-8), knobs (91-98, on their labels), pushes (33-40, on their
// labels), faders (100-107), the control area's row 61-66 and first and last
// buttons, jog wheel and master.
const std::vector<Row> mcpRows {
    { 1, noteNamesFromC1 },
    { 91, controllers16To23 },
    { 33, { "G#(1)", " A(1)", "A#(1)", " B(1)", " C(2)", "C#(2)", " D(2)", "D#(2)" } },
    { 100, pitchBends1To8 },
    { 61, { " E(2)", " F(2)", "F#(2)", " G(2)", "G#(2)", " A(2)" } },
    { 41, { " C(-1)", " D(3)" } },
    { 90, { "C#(7)" } },
    { 99, { "CC60" } },
    { 108, { "PB.9" } },
};

const std::vector<ModeRows> expectedRows {
    { 0, mcpRows },
    { 1, {
        { 1, recordButtons },
        { 91, controllers16To23 },
        { 33, { "Mon1", "Mon2", "Mon3", "Mon4", "Mon5", "Mon6", "Mon7", "Mon8" } },
        { 100, pitchBends1To8 },
        { 61, { "Track", "Pan/ Surround", "EQ", "Send", "Plug-in", "Inst." } },
        { 99, { "CC60" } },
        { 108, { "PB.9" } },
    } },
    { 2, {
        { 1, recordButtons },
        { 91, { "Pan.1", "Pan.2", "Pan.3", "Pan.4", "Pan.5", "Pan.6", "Pan.7", "Pan.8" } },
        { 33, { "Mon1", "Mon2", "Mon3", "Mon4", "Mon5", "Mon6", "Mon7", "Mon8" } },
        { 100, { "Vol.1", "Vol.2", "Vol.3", "Vol.4", "Vol.5", "Vol.6", "Vol.7", "Vol.8" } },
        { 61, { "Pan", "Plug-in", "Assign?", "Compare", "ByPass", "Mixer" } },
        { 99, { "Tape Tspt?" } },
        { 108, { "Vol.M?" } },
    } },
    { 3, mcpRows },
};
} // namespace

TEST (RowCaptions, WholeRowsShowTheirCaptionsInEveryWorkingMode)
{
    auto& model = useFreshModel();
    MixerSection mixer;
    ControlSection control;

    for (const auto& [mode, rows] : expectedRows)
    {
        model.setCurrentMode (CtMode (mode));
        mixer.setButtonTypes();
        control.setButtonTypes();

        for (const auto& row : rows)
            for (size_t i = 0; i < row.captions.size(); ++i)
            {
                const int id = row.firstId + (int) i;
                EXPECT_EQ (shownCaption (mixer, control, id), row.captions[i]) << "mode " << mode << ", control " << id;
            }
    }
}
