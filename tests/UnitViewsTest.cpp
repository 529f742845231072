// Both views of the unit, child by child, in every working mode, against an
// exact expected file: a control moved, bound to another id, declared out of
// order or given a wrong caption shows as the line of that child.
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

namespace
{
juce::String describe (juce::Component& child)
{
    auto* button = dynamic_cast<MappableButton*> (&child);
    auto* label = dynamic_cast<juce::Label*> (&child);
    const auto text = button != nullptr ? button->getButtonText() : label != nullptr ? label->getText() : "<other>";
    return (button != nullptr ? juce::String (button->id) : "label") + " " + child.getBounds().toString().replaceCharacter (' ', ',')
           + " \"" + text + "\"" + (child.isVisible() ? "" : " hidden");
}
} // namespace

TEST (UnitViews, EveryChildShowsItsTextAtItsPlaceInEveryWorkingMode)
{
    auto& model = testsupport::useFreshModel();
    MixerSection mixer;
    ControlSection control;
    const std::pair<const char*, juce::Component*> sections[] = { { "mixer", &mixer }, { "control", &control } };

    juce::StringArray lines;
    for (int mode = 0; mode < 4; ++mode)
    {
        model.setCurrentMode (CtMode (mode));
        mixer.setButtonTypes();
        control.setButtonTypes();
        for (const auto& [name, section] : sections)
            for (int i = 0; i < section->getNumChildComponents(); ++i)
                lines.add (CtMode::slugForType (mode) + " " + name + " " + juce::String (i) + " " + describe (*section->getChildComponent (i)));
    }
    testsupport::expectLinesOfFile (lines, "views.txt");
}
