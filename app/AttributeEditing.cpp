// The main view's attribute boxes: they show the selected control's channel,
// message type and message (or function) in the current mode, and in the
// user-defined mode a choice in them rewrites the control's node and its row
// of ud, which the captions and the upload read.
#include "ContentComponent.h"

#include "Strcat0.h"
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "model/Dolmaris.h"
#include "model/NameTables.h"

#include <cstdlib>
#include <string>

namespace
{
constexpr int numChannels = 16;
constexpr int numMessageValues = 128;

int currentMode()
{
    return Dolmaris::getInstance()->getCurrCtMode();
}

bool isButtonId (int controlId)
{
    return CtKind::forId (controlId) == CtKind::button;
}

/** The message-type choices a control offers, as positions in tyvaOfSele and
    msgTypes: a button Note, CC, Program; every other control CC, Pitch. */
struct Choices
{
    const int* positions;
    int count;
};

Choices choicesFor (bool isButton)
{
    static const int buttonChoices[] = { noteChoice, ccChoice, programChoice };
    static const int otherChoices[] = { ccChoice, pitchChoice };
    return isButton ? Choices { buttonChoices, 3 } : Choices { otherChoices, 2 };
}

/** Where a row's status nibble stands among the control kind's choices; 0 when
    it is none of them. */
int choiceIndexOfNibble (int kind, int nibble)
{
    const auto choices = choicesFor (kind == CtKind::button);
    for (int j = 0; j < choices.count; ++j)
        if (tyvaOfSele[choices.positions[j]] == nibble)
            return j;

    return 0;
}

/** The node's "type" text for a choice: Program has no type of its own and is
    stored as the empty text. */
juce::String typeSlugForChoice (int position)
{
    static const int typeCodes[] = { 0, 1, 9, 2 }; // Note, CC, Program, Pitch
    return CtType::slugForType (typeCodes[position]);
}

const NameField (&functionNamesFor (int mode))[128]
{
    switch (mode)
    {
        case CtMode::logic:       return logicNotes;
        case CtMode::userDefined: return nuendoNotes;
        default:                  return cubaseNotes;
    }
}

/** A button's message name: the MIDI name, two spaces, the DAW's function. */
juce::String buttonMessageName (int choiceIndex, int mode, int value)
{
    auto midiName = nameAt (NCPP[choiceIndex], value).toStdString();
    auto functionName = nameAt (functionNamesFor (mode), value).toStdString();
    char twoSpaces[] = "  ";

    auto* joined = strcat_0 (midiName.data(), twoSpaces, functionName.data(), static_cast<char*> (nullptr));
    const auto name = juce::String::fromUTF8 (joined);
    if (joined != midiName.data())
        std::free (joined);

    return name;
}

void addValueItem (MapComboBox& box, const juce::String& text, int value)
{
    box.addItem (text, box.getNumItems() + 1);
    box.values.add (value);
}
} // namespace

//==============================================================================
MappableButton* ContentComponent::findSelectedControl()
{
    const int n = juce::jmax (mixerSection.getNumChildComponents(), controlSection.getNumChildComponents());

    for (int i = 0; i < n; ++i)
        for (auto* section : { static_cast<juce::Component*> (&mixerSection), static_cast<juce::Component*> (&controlSection) })
            if (auto* button = dynamic_cast<MappableButton*> (section->getChildComponent (i)))
                if (button->getToggleState())
                    return button;

    return nullptr;
}

void ContentComponent::clearToggleStates()
{
    for (auto* section : { static_cast<juce::Component*> (&mixerSection), static_cast<juce::Component*> (&controlSection) })
        for (auto* child : section->getChildren())
            if (auto* button = dynamic_cast<MappableButton*> (child))
                button->setToggleState (false, juce::dontSendNotification);
}

void ContentComponent::updAttrBoxesWith (MappableButton& control)
{
    const int mode = currentMode();

    updWith (channelBox, control);
    updWith (msgTypeBox, control);
    updWith (messageBox, control);

    const bool showsFunctions = mode == CtMode::logic || mode == CtMode::proTools;
    messageLabel.setText (showsFunctions ? "Function" : "Message", juce::dontSendNotification);
}

void ContentComponent::updWith (MapComboBox& box, MappableButton& control)
{
    const int mode = currentMode();
    const uint8_t* row = Defa::findRow (mode, control.id);
    const bool hui = mode == CtMode::proTools;

    box.clear (juce::dontSendNotification);
    box.values.clear();

    // A control without a row (not bound to a valid node) has nothing to show.
    if (row != nullptr)
    {
        if (&box == &channelBox)
        {
            for (int channel = 1; channel <= numChannels; ++channel)
                box.addItem (juce::String (channel), channel);

            if (! hui)
                box.setSelectedItemIndex (row[1] & 15, juce::dontSendNotification);
        }
        else if (&box == &msgTypeBox)
        {
            const auto choices = choicesFor (isButtonId (control.id));
            for (int j = 0; j < choices.count; ++j)
                box.addItem (juce::String (j + 1) + ") " + msgTypes[choices.positions[j]], j + 1);

            if (! hui)
                box.setSelectedItemIndex (choiceIndexOfNibble (control.type, row[0]), juce::dontSendNotification);
        }
        else if (&box == &messageBox)
        {
            fillMessageBox (control, mode, row);
        }
    }

    box.setEnabled (mode == CtMode::userDefined);
    control.updateText();
}

void ContentComponent::fillMessageBox (MappableButton& control, int mode, const uint8_t* row)
{
    if (mode == CtMode::proTools)
    {
        const auto hui = Defa::huiValuesOfKind (control.type, protoolsIndexCounts);
        for (int i = 0; i < hui.count; ++i)
        {
            const int value = hui.values[i];
            const auto name = nameAt (protoolsControlNames, value);
            addValueItem (messageBox, name.isNotEmpty() ? name : juce::String (value), value);
        }

        if (isButtonId (control.id))
            messageBox.setSelectedItemIndex (messageBox.values.indexOf ((int) control.valueRef.getValue()),
                                             juce::dontSendNotification);
        return;
    }

    const int choiceIndex = choiceIndexOfNibble (control.type, row[0]);
    for (int value = 0; value < numMessageValues; ++value)
    {
        const auto name = control.type == CtKind::button ? buttonMessageName (choiceIndex, mode, value)
                                                         : nameAt (NCPP[choiceIndex + 1], value);
        addValueItem (messageBox, juce::String (value) + ") " + name, value);
    }

    // Data bytes of 128 and above (a loaded file may hold them) select nothing.
    messageBox.setSelectedItemIndex (row[2], juce::dontSendNotification);
}

//==============================================================================
void ContentComponent::comboBoxChanged (juce::ComboBox* box)
{
    if (box == &controlModeBox)
    {
        const int mode = controlModeBox.getSelectedItemIndex();
        if (CtMode (mode).isWorkingMode())
        {
            Dolmaris::getInstance()->impl->setCurrentMode (CtMode (mode));
            rebindViews();
        }
        return;
    }

    auto* control = findSelectedControl();

    // A control without a row has nothing a choice could be written to.
    if (control == nullptr || ! CtKind::isValidId (control->id))
        return;

    if (box == &messageBox)
        messageChosen (*control);
    else if (box == &msgTypeBox)
        msgTypeChosen (*control);
    else if (box == &channelBox)
        channelChosen (*control);
}

void ContentComponent::messageChosen (MappableButton& control)
{
    const int value = messageBox.values[messageBox.getSelectedItemIndex()];

    if (currentMode() == CtMode::userDefined)
        Defa::findUserRow (control.id)[2] = (uint8_t) value;

    control.valueRef = value;
    control.updateText();
}

void ContentComponent::msgTypeChosen (MappableButton& control)
{
    const int chosen = msgTypeBox.getSelectedId() - 1;
    const int position = isButtonId (control.id) ? chosen : 2 * chosen + 1;
    if (chosen < 0 || position < 0 || position >= (int) std::size (tyvaOfSele))
        return;

    if (currentMode() == CtMode::userDefined)
    {
        auto* row = Defa::findUserRow (control.id);
        const auto nibble = (uint8_t) tyvaOfSele[position];
        row[0] = nibble;
        row[1] = (uint8_t) ((nibble << 4) | (row[1] & 0x0F));
    }

    control.typeRef = typeSlugForChoice (position);
    control.updateText();
    updWith (messageBox, control);
}

void ContentComponent::channelChosen (MappableButton& control)
{
    const int channel = channelBox.getSelectedId();
    if (channel < 1 || channel > numChannels)
        return;

    if (currentMode() == CtMode::userDefined)
    {
        auto* row = Defa::findUserRow (control.id);
        row[1] = (uint8_t) ((row[1] & 0xF0) | (channel - 1));
    }

    control.chanRef = channel;
    control.updateText();
}
