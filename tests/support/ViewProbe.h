// Small probes for the views of the unit: find their mappable buttons and
// labels, and click a button the way JUCE delivers a click.
#pragma once

#include "app/MappableButton.h"

#include <vector>

namespace testsupport
{
inline std::vector<MappableButton*> mappableChildren (juce::Component& parent)
{
    std::vector<MappableButton*> result;
    for (auto* child : parent.getChildren())
        if (auto* button = dynamic_cast<MappableButton*> (child))
            result.push_back (button);
    return result;
}

inline std::vector<juce::Label*> labelChildren (juce::Component& parent)
{
    std::vector<juce::Label*> result;
    for (auto* child : parent.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            result.push_back (label);
    return result;
}

/** The mappable child bound to a control id, or nullptr. */
inline MappableButton* buttonWithId (juce::Component& parent, int controlId)
{
    for (auto* button : mappableChildren (parent))
        if (button->id == controlId)
            return button;
    return nullptr;
}

/** The child whose top-left corner is at (x, y), or nullptr. */
inline juce::Component* childAt (juce::Component& parent, int x, int y)
{
    for (auto* child : parent.getChildren())
        if (child->getPosition() == juce::Point<int> (x, y))
            return child;
    return nullptr;
}

/** Records the buttons that reported a click. */
struct ClickRecorder : juce::Button::Listener
{
    void buttonClicked (juce::Button* button) override { clicked.push_back (button); }
    std::vector<juce::Button*> clicked;
};

/** triggerClick() arrives through the message queue: run the queue until the
    click has been delivered (or a generous bound has passed). */
inline void clickAndDeliver (juce::Button& button, const ClickRecorder& recorder)
{
    const auto before = recorder.clicked.size();
    button.triggerClick();
    for (int i = 0; i < 200 && recorder.clicked.size() == before; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
}

/** A mouse event as the desktop would deliver it to `component`. */
inline juce::MouseEvent mouseEventFor (juce::Component& component)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {},
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &component, &component, now, {}, now, 0, false);
}
} // namespace testsupport
