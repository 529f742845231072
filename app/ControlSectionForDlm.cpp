#include "ControlSectionForDlm.h"

#include "UnitViewSupport.h"
#include "model/ControllerMap.h"

namespace
{
// The order in which the buttons are created, and so their order among the
// panel's children; the jog wheel, its label and the master fader follow.
const int buttonCreationOrder[ControlSection::numButtons] = {
    41, 42, 43, 44, 45, 47, 48, 49, 50, 51, 52, 53, 54, 57, 58, 59, 60, 63, 64, 65, 66, 67, 68, 69, 70,
    71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 85, 86, 87, 88, 89, 46, 55, 56, 61, 62, 83, 84, 90,
};

// Texts by control id 41 to 90. All but the empty ones are replaced by the
// captions before the panel is shown.
const char* const buttonTexts[ControlSection::numButtons] = {
    "Name/ Value", "SMPTE", "<<", ">>", "DAW", "", "View Selecter", "Track/ Clip", "Show/Hide Browser",
    "Show/Clip Detail", "", "", "", "", "I/O", "Pan", "Send", "Instrmt Rack", "Return Track", "",
    "Draw Mode", "Follow", "Punch In", "Punch Out", "", "Undo", "Prev", "Add", "Next", "",
    "Start", "End", "", "", "Lock", "Flip", "", "", "<<8", "8>>",
    "1<", ">1", "Rewind", "FastFwd", "Loop", "Stop", "Play", "Record", "Scrub", "Down",
};

struct Place
{
    int controlId, x, y;
};

// Every button of the control area is 51 x 25.
const Place buttonPlaces[ControlSection::numButtons] = {
    { 47, 136, 40 },  { 48, 200, 40 },  { 49, 264, 40 },  { 50, 328, 40 },  { 51, 392, 40 },
    { 41, 2, 96 },    { 42, 2, 136 },   { 43, 2, 176 },   { 44, 2, 216 },   { 45, 2, 256 },   { 46, 2, 296 },
    { 53, 200, 104 }, { 54, 264, 104 }, { 55, 328, 104 }, { 56, 392, 104 },
    { 52, 136, 125 },
    { 57, 200, 144 }, { 58, 264, 144 }, { 59, 328, 144 }, { 60, 392, 144 },
    { 61, 72, 208 },  { 62, 136, 208 }, { 63, 200, 208 }, { 64, 264, 208 }, { 65, 328, 208 }, { 66, 392, 208 },
    { 67, 72, 248 },  { 68, 136, 248 }, { 69, 200, 248 }, { 70, 264, 248 }, { 71, 328, 248 }, { 72, 392, 248 },
    { 73, 72, 312 },  { 74, 136, 312 }, { 75, 200, 312 }, { 76, 264, 312 }, { 77, 328, 312 }, { 78, 392, 312 },
    { 79, 72, 352 },  { 80, 136, 352 }, { 81, 200, 352 }, { 82, 264, 352 }, { 83, 328, 352 }, { 84, 392, 352 },
    { 86, 136, 416 }, { 85, 264, 416 },
    { 87, 72, 456 },  { 88, 136, 456 }, { 89, 200, 456 },
    { 90, 136, 496 },
};

constexpr int buttonWidth = 51, buttonHeight = 25;
const juce::Rectangle<int> jogWheelBounds { 343, 429, 96, 96 };
const juce::Rectangle<int> jogLabelBounds { 344, 528, 96, 32 };
const juce::Rectangle<int> masterFaderBounds { 2, 435, 42, 68 };

juce::String translatedUnlessEmpty (const juce::String& text) { return text.isEmpty() ? text : juce::translate (text); }
} // namespace

//==============================================================================
ControlSection::ControlSection()
{
    setName ("ControlSection");

    for (auto controlId : buttonCreationOrder)
        createButton (controlId);

    createButton (jogWheelId);
    createJogLabel();
    createButton (masterFaderId);

    setSize (600, 400);
    setButtonTypes();
}

// The children go one by one in the order they were created, not in the
// reverse order of their members.
ControlSection::~ControlSection()
{
    for (auto controlId : buttonCreationOrder)
        slotFor (controlId).reset();

    jogWheel.reset();
    jogLabel.reset();
    masterFader.reset();
}

std::unique_ptr<MappableButton>& ControlSection::slotFor (int controlId)
{
    if (controlId == jogWheelId)
        return jogWheel;
    if (controlId == masterFaderId)
        return masterFader;
    return buttons[(size_t) (controlId - firstButtonId)];
}

void ControlSection::createButton (int controlId)
{
    const juce::String text = controlId == jogWheelId      ? ""
                              : controlId == masterFaderId ? "Vol.M"
                                                           : buttonTexts[controlId - firstButtonId];
    auto& button = slotFor (controlId);
    button = std::make_unique<MappableButton> ("new button");
    addAndMakeVisible (*button);
    button->setButtonText (translatedUnlessEmpty (text));
    button->addListener (this);
}

void ControlSection::createJogLabel()
{
    jogLabel = std::make_unique<juce::Label> ("jogLabel", juce::translate ("Tape Tspt"));
    addAndMakeVisible (*jogLabel);
    UnitViewSupport::styleLabel (*jogLabel);
}

//==============================================================================
void ControlSection::setButtonTypes()
{
    const auto map = UnitViewSupport::currentMap();

    for (size_t k = 0; k < numButtons; ++k)
        buttons[k]->setMapping (UnitViewSupport::findControlNode (map, firstButtonId + (int) k));

    jogWheel->captionLabel = jogLabel.get();
    jogWheel->type = CtKind::jogWheel;
    jogWheel->setMapping (UnitViewSupport::findControlNode (map, jogWheelId));

    masterFader->type = CtKind::masterFader;
    masterFader->setMapping (UnitViewSupport::findControlNode (map, masterFaderId));
}

void ControlSection::paint (juce::Graphics&) {}

// Fixed pixel positions: the main view gives the panel its real bounds, and
// the panel neither scales nor clips its children.
void ControlSection::resized()
{
    for (const auto& place : buttonPlaces)
        buttons[(size_t) (place.controlId - firstButtonId)]->setBounds (place.x, place.y, buttonWidth, buttonHeight);

    jogWheel->setBounds (jogWheelBounds);
    jogLabel->setBounds (jogLabelBounds);
    masterFader->setBounds (masterFaderBounds);
}

void ControlSection::buttonClicked (juce::Button*) {}
