// Answers modal windows from a timer, as a person would: each queued action
// runs on the next window that becomes modal (a DialogWindow, an AlertWindow),
// once that window is showing. Timers fire only while a modal or dispatch loop
// runs, which is exactly when a modal window waits for an answer.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>
#include <vector>

namespace testsupport
{
class ModalAnswerer final : private juce::Timer
{
public:
    using Action = std::function<void (juce::Component& modal)>;

    ModalAnswerer() { startTimer (10); }

    /** Queues an action for the next modal window. */
    ModalAnswerer& then (Action action)
    {
        actions.push_back (std::move (action));
        return *this;
    }

    int pending() const { return (int) actions.size(); }

    /** The first component below `root` of this class that matches, nearest
        level first, or nullptr. */
    template <typename Child>
    static Child* find (juce::Component& root, std::function<bool (Child&)> matches = [] (Child&) { return true; })
    {
        for (auto* child : root.getChildren())
            if (auto* typed = dynamic_cast<Child*> (child); typed != nullptr && matches (*typed))
                return typed;
        for (auto* child : root.getChildren())
            if (auto* found = find (*child, matches))
                return found;
        return nullptr;
    }

    static juce::Button* findButton (juce::Component& root, const juce::String& text)
    {
        return find<juce::Button> (root, [text] (auto& button) { return button.getButtonText() == text; });
    }

    /** An action that clicks the button with this text, as a mouse click would. */
    static Action click (const juce::String& text)
    {
        return [text] (juce::Component& modal) {
            if (auto* button = findButton (modal, text))
                button->triggerClick();
            else
                modal.exitModalState (-100); // a wrong window: end it so the test fails, not hangs
        };
    }

private:
    void timerCallback() override
    {
        // A window that is modal again once a dialog above it has gone (the
        // wizard's, between its choosers) is not a new window to answer.
        auto* modal = juce::Component::getCurrentlyModalComponent();
        if (modal == nullptr || actions.empty() || ! modal->isShowing()
            || std::any_of (answered.begin(), answered.end(), [modal] (auto& window) { return window == modal; }))
            return;

        answered.emplace_back (modal);
        auto action = std::move (actions.front());
        actions.pop_front();
        action (*modal);
    }

    std::deque<Action> actions;
    std::vector<juce::Component::SafePointer<juce::Component>> answered;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModalAnswerer)
};
} // namespace testsupport
