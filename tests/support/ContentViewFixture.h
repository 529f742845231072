// The main view on a fresh model with virtual MIDI ports, driven as a user
// drives it: clicks, box choices, presses, and the modal windows they open.
#pragma once

#include "app/ContentComponent.h"
#include "model/Arrays.h"
#include "support/FreshModel.h"
#include "support/ModalAnswerer.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

namespace testsupport
{
inline void runMessageLoop (int ms) { juce::MessageManager::getInstance()->runDispatchLoopUntil (ms); }

/** Waits for a modal window and closes it. Returns "<title>. <message>" for an
    alert, the title for other windows, empty when none came. */
inline juce::String takeModalWindow()
{
    for (int i = 0; i < 100 && juce::Component::getCurrentlyModalComponent() == nullptr; ++i)
        runMessageLoop (10);
    auto* modal = juce::Component::getCurrentlyModalComponent();
    if (modal == nullptr)
        return {};
    const auto text = modal->getDescription().isNotEmpty() ? modal->getDescription() : modal->getName();
    modal->exitModalState (0);
    runMessageLoop (20);
    return text;
}

/** A click as JUCE delivers it, through the message queue. */
inline void click (juce::Button& button)
{
    button.triggerClick();
    runMessageLoop (30);
}

inline void choose (juce::ComboBox& box, int itemId) { box.setSelectedId (itemId, juce::sendNotificationSync); }

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
            takeModalWindow();
    }

    void makeView() { view = std::make_unique<ContentComponent>(); }

    MappableButton& control (int controlId)
    {
        for (auto* section : view->getChildren())
            for (auto* child : section->getChildren())
                if (auto* button = dynamic_cast<MappableButton*> (child); button != nullptr && button->id == controlId)
                    return *button;
        throw std::runtime_error ("no control " + std::to_string (controlId));
    }

    /** The boxes stand at x 25 (mode), 255 (type), 395 (channel), 535 (message). */
    juce::ComboBox& boxAt (int x) { return *ModalAnswerer::find<juce::ComboBox> (*view, [x] (auto& b) { return b.getX() == x; }); }
    juce::ComboBox& modeBox() { return boxAt (25); }
    juce::ComboBox& typeBox() { return boxAt (255); }
    juce::ComboBox& channelBox() { return boxAt (395); }
    MapComboBox& messageBox() { return dynamic_cast<MapComboBox&> (boxAt (535)); }
    juce::Button& command (const juce::String& text) { return *ModalAnswerer::findButton (*view, text); }

    void pressAt (int x, int y)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::Point<float> at ((float) x, (float) y);
        view->mouseDown ({ juce::Desktop::getInstance().getMainMouseSource(), at, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                           view.get(), view.get(), now, at, now, 1, false });
    }

    ScopedVirtualMidiPorts ports;
    Dolmaris::Impl* model = nullptr;
    std::unique_ptr<ContentComponent> view;
};
} // namespace testsupport
