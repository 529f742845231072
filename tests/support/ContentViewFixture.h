// The main view on a fresh model with virtual MIDI ports, and the means to
// drive it as a user does: clicks, box choices, mouse presses, and the modal
// windows (dialogs, alerts) that they open.
#pragma once

#include "app/ContentComponent.h"
#include "model/Arrays.h"
#include "support/FreshModel.h"
#include "support/ViewProbe.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace testsupport
{
inline void runMessageLoop (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }

/** A modal window's title and, for an alert, its message. */
struct ModalText
{
    juce::String title, message;
};

/** Waits for a modal window, reads it and closes it; empty when none came. */
inline ModalText takeModalWindow()
{
    for (int i = 0; i < 100 && juce::Component::getCurrentlyModalComponent() == nullptr; ++i)
        runMessageLoop (10);

    auto* modal = juce::Component::getCurrentlyModalComponent();
    if (modal == nullptr)
        return {};

    // An alert describes itself as "<title>. <message>".
    const ModalText text { modal->getName(), modal->getDescription().fromFirstOccurrenceOf (". ", false, false) };
    modal->exitModalState (0);
    runMessageLoop (20);
    return text;
}

/** Calls `step` with the modal window every 20 ms while one is up, with the
    number of earlier calls, until it returns true. */
class ModalDriver : private juce::Timer
{
public:
    explicit ModalDriver (std::function<bool (juce::Component&, int)> stepToTake) : step (std::move (stepToTake)) { startTimer (20); }
    ~ModalDriver() override { stopTimer(); }

private:
    void timerCallback() override
    {
        if (auto* modal = juce::Component::getCurrentlyModalComponent())
            if (step (*modal, calls++))
                stopTimer();
    }

    std::function<bool (juce::Component&, int)> step;
    int calls = 0;
};

template <typename ChildType>
ChildType* childOf (juce::Component& parent, std::function<bool (ChildType&)> matches)
{
    for (auto* child : parent.getChildren())
        if (auto* typed = dynamic_cast<ChildType*> (child); typed != nullptr && matches (*typed))
            return typed;
    return nullptr;
}

class ContentViewFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_lastSelectedDevice = {};
        model = &useFreshModel();
    }

    void TearDown() override
    {
        view.reset();
        for (int i = 0; i < 20 && juce::Component::getCurrentlyModalComponent() != nullptr; ++i)
        {
            juce::Component::getCurrentlyModalComponent()->exitModalState (0);
            runMessageLoop (20);
        }
        g_lastSelectedDevice = {};
    }

    ContentComponent& makeView()
    {
        view = std::make_unique<ContentComponent>();
        return *view;
    }

    MappableButton& control (int controlId)
    {
        for (auto* section : view->getChildren())
            if (auto* button = buttonWithId (*section, controlId))
                return *button;
        ADD_FAILURE() << "no control " << controlId;
        return fallback;
    }

    /** The selection boxes stand at x 25 (mode), 255 (type), 395 (channel), 535 (message). */
    juce::ComboBox& boxAt (int x)
    {
        return *childOf<juce::ComboBox> (*view, [x] (auto& box) { return box.getX() == x; });
    }

    juce::ComboBox& modeBox() { return boxAt (25); }
    juce::ComboBox& typeBox() { return boxAt (255); }
    juce::ComboBox& channelBox() { return boxAt (395); }
    MapComboBox& messageBox() { return dynamic_cast<MapComboBox&> (boxAt (535)); }

    juce::Button& command (const juce::String& text)
    {
        return *childOf<juce::Button> (*view, [text] (auto& button) { return button.getButtonText() == text; });
    }

    /** A click as JUCE delivers it, through the message queue. */
    static void click (juce::Button& button)
    {
        button.triggerClick();
        runMessageLoop (30);
    }

    static void choose (juce::ComboBox& box, int itemId) { box.setSelectedId (itemId, juce::sendNotificationSync); }

    void pressAt (int x, int y)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::Point<float> at ((float) x, (float) y);
        view->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), at, {}, 1.0f, 0.0f, 0.0f,
                                           0.0f, 0.0f, view.get(), view.get(), now, at, now, 1, false));
    }

    ScopedVirtualMidiPorts ports;
    Dolmaris::Impl* model = nullptr;
    std::unique_ptr<ContentComponent> view;
    MappableButton fallback { "missing" };
};
} // namespace testsupport
