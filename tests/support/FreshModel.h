// Gives a test the model as the editor has it right after start-up: four
// default maps, mode 0 current, and the writable row tables reloaded. The
// model object itself lives for the whole process; only its state is renewed.
#pragma once

#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"

#include <memory>

namespace testsupport
{
inline Dolmaris::Impl& useFreshModel()
{
    // Nothing here saves settings, but keep any file the model might write
    // away from the real settings folders.
    static const bool redirected = []
    {
        SettingsLocation::redirectBelow (juce::File::getSpecialLocation (juce::File::tempDirectory)
                                             .getChildFile ("kivra-fresh-model-settings"));
        return true;
    }();
    juce::ignoreUnused (redirected);

    auto* model = Dolmaris::getInstance();
    model->impl = std::make_unique<Dolmaris::Impl>();
    return *model->impl;
}

/** The control node of an id in the model's current map. */
inline juce::ValueTree currentControlNode (int controlId)
{
    return Dolmaris::getInstance()->impl->currentMap.getChildWithName (Tags::controls)
        .getChildWithProperty (Tags::id, controlId);
}
} // namespace testsupport
