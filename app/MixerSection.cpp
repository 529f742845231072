#include "MixerSection.h"

#include "UnitViewSupport.h"
#include "model/ControllerMap.h"

#include <vector>

namespace
{
struct ChildSlot
{
    bool isLabel;
    int row;   // a MixerSection::ButtonRow or LabelRow
    int strip; // 0 to 7
};

/** The order in which the children are created, which is also their order
    among the panel's children. */
std::vector<ChildSlot> creationOrder()
{
    using M = MixerSection;
    std::vector<ChildSlot> order { { false, M::knobRow, 0 }, { false, M::pushRow, 0 },       { false, M::recRow, 0 },
                                   { false, M::faderRow, 0 }, { true, M::knobCaptionRow, 0 }, { true, M::pushCaptionRow, 0 } };

    for (int strip = 1; strip < 7; ++strip) order.push_back ({ true, M::knobCaptionRow, strip });
    for (int strip = 1; strip < 7; ++strip) order.push_back ({ true, M::pushCaptionRow, strip });
    for (int strip = 0; strip < 7; ++strip) order.push_back ({ true, M::stripNumberRow, strip });
    for (int strip = 1; strip < 7; ++strip) order.push_back ({ false, M::faderRow, strip });

    order.insert (order.end(), { { true, M::knobCaptionRow, 7 }, { true, M::pushCaptionRow, 7 },
                                 { true, M::stripNumberRow, 7 }, { false, M::faderRow, 7 } });

    for (int strip = 1; strip < 8; ++strip)
        order.insert (order.end(), { { false, M::knobRow, strip }, { false, M::pushRow, strip } });

    order.insert (order.end(), { { false, M::soloRow, 0 }, { false, M::muteRow, 0 }, { false, M::selRow, 0 } });

    for (int strip = 1; strip < 8; ++strip)
        order.insert (order.end(), { { false, M::recRow, strip }, { false, M::soloRow, strip },
                                     { false, M::muteRow, strip }, { false, M::selRow, strip } });
    return order;
}

// Knobs and pushes keep an empty text: their captions go to their labels.
// The other texts are replaced by the captions before the panel is shown.
const char* const buttonTexts[MixerSection::numButtonRows] = { "", "", "REC", "SOLO", "MUTE", "SEL", "Fader" };

/** The first control id of each button row; strip n adds n. */
const int firstIds[MixerSection::numButtonRows] = { 91, 33, 1, 9, 17, 25, 100 };

struct ButtonRowLayout
{
    int firstX, y, width, height; // x grows by 64 per strip
};

const ButtonRowLayout buttonLayout[MixerSection::numButtonRows] = {
    { 24, 54, 51, 25 },  { 24, 80, 51, 25 },  { 24, 160, 51, 25 }, { 24, 200, 51, 25 },
    { 24, 240, 51, 25 }, { 24, 280, 51, 25 }, { 29, 391, 42, 68 },
};

struct LabelRowLayout
{
    int x[MixerSection::numStrips]; // the label columns are not all on the strips' grid
    int y;
};

const LabelRowLayout labelLayout[MixerSection::numLabelRows] = {
    { { 24, 88, 152, 217, 281, 344, 408, 472 }, 22 },
    { { 24, 88, 152, 216, 280, 343, 408, 472 }, 112 },
    { { 24, 85, 151, 216, 280, 344, 408, 471 }, 320 },
};

constexpr int labelWidth = 51, labelHeight = 24;
constexpr int stripPitch = 64;

juce::String translatedUnlessEmpty (const juce::String& text) { return text.isEmpty() ? text : juce::translate (text); }
} // namespace

//==============================================================================
MixerSection::MixerSection()
{
    for (const auto& slot : creationOrder())
    {
        if (slot.isLabel)
            createLabel (static_cast<LabelRow> (slot.row), slot.strip);
        else
            createButton (static_cast<ButtonRow> (slot.row), slot.strip);
    }

    setButtonTypes();
    setSize (600, 400);
}

// The children go one by one in the order they were declared and created,
// not in the reverse order the arrays would give.
MixerSection::~MixerSection()
{
    for (const auto& slot : creationOrder())
    {
        if (slot.isLabel)
            labels[(size_t) slot.row][(size_t) slot.strip].reset();
        else
            buttons[(size_t) slot.row][(size_t) slot.strip].reset();
    }
}

void MixerSection::createButton (ButtonRow row, int strip)
{
    const auto name = row == knobRow ? "pan" + juce::String (strip + 1) : juce::String ("new button");
    auto& button = buttons[(size_t) row][(size_t) strip];
    button = std::make_unique<MappableButton> (name);
    addAndMakeVisible (*button);
    button->setButtonText (translatedUnlessEmpty (buttonTexts[row]));
    button->addListener (this);
}

void MixerSection::createLabel (LabelRow row, int strip)
{
    static const char* const provisionalCaptions[] = { "Pan", "Push" };
    const auto text = row == stripNumberRow ? "(" + juce::String (strip + 1) + ")" : juce::String (provisionalCaptions[row]);

    auto& label = labels[(size_t) row][(size_t) strip];
    label = std::make_unique<juce::Label> ("new label", juce::translate (text));
    addAndMakeVisible (*label);
    UnitViewSupport::styleLabel (*label);
}

//==============================================================================
void MixerSection::setButtonTypes()
{
    const auto map = UnitViewSupport::currentMap();

    auto bind = [&map] (MappableButton& button, ButtonRow row, int strip)
    { button.setMapping (UnitViewSupport::findControlNode (map, firstIds[row] + strip)); };

    for (size_t strip = 0; strip < numStrips; ++strip)
    {
        auto& knob = *buttons[knobRow][strip];
        knob.captionLabel = labels[knobCaptionRow][strip].get();
        knob.type = CtKind::knob;
        bind (knob, knobRow, (int) strip);
    }

    for (size_t strip = 0; strip < numStrips; ++strip)
    {
        auto& fader = *buttons[faderRow][strip];
        fader.type = CtKind::fader;
        bind (fader, faderRow, (int) strip);
    }

    // Ids 1 to 40 ascending: REC, SOLO, MUTE, SEL, then the pushes.
    for (auto row : { recRow, soloRow, muteRow, selRow, pushRow })
    {
        for (size_t strip = 0; strip < numStrips; ++strip)
        {
            auto& button = *buttons[row][strip];
            if (row == pushRow)
                button.captionLabel = labels[pushCaptionRow][strip].get();
            bind (button, row, (int) strip);
        }
    }
}

void MixerSection::paint (juce::Graphics&) {}

// Fixed pixel positions: the main view gives the panel its real bounds, and
// the panel neither scales nor clips its children.
void MixerSection::resized()
{
    for (size_t row = 0; row < numButtonRows; ++row)
    {
        const auto& layout = buttonLayout[row];
        for (size_t strip = 0; strip < numStrips; ++strip)
            buttons[row][strip]->setBounds (layout.firstX + stripPitch * (int) strip, layout.y, layout.width, layout.height);
    }

    for (size_t row = 0; row < numLabelRows; ++row)
        for (size_t strip = 0; strip < numStrips; ++strip)
            labels[row][strip]->setBounds (labelLayout[row].x[strip], labelLayout[row].y, labelWidth, labelHeight);
}

void MixerSection::buttonClicked (juce::Button*) {}
