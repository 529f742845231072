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
    ~ModalAnswerer() override { stopTimer(); }

    /** Queues an action for the next modal window. */
    ModalAnswerer& then (Action action)
    {
        actions.push_back (std::move (action));
        return *this;
    }

    int pending() const { return (int) actions.size(); }

    /** The titles of the modal windows answered so far, in order. */
    juce::StringArray seenTitles;

    /** The first button below `root` whose text is `text`, or nullptr. */
    static juce::Button* findButton (juce::Component& root, const juce::String& text)
    {
        for (auto* child : root.getChildren())
        {
            if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
                return button;
            if (auto* found = findButton (*child, text))
                return found;
        }
        return nullptr;
    }

    /** The content of a DialogWindow as the given class, or nullptr. */
    template <typename Content>
    static Content* contentOf (juce::Component& modal)
    {
        if (auto* dialog = dynamic_cast<juce::DialogWindow*> (&modal))
            return dynamic_cast<Content*> (dialog->getContentComponent());
        return nullptr;
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
        auto* modal = juce::Component::getCurrentlyModalComponent();
        if (modal == nullptr || actions.empty() || ! modal->isShowing() || wasAnswered (modal))
            return;

        answered.emplace_back (modal);
        seenTitles.add (modal->getName());
        auto action = std::move (actions.front());
        actions.pop_front();
        action (*modal);
    }

    // Every window answered so far, while it lives: a window that is modal
    // again once a dialog above it has gone (the wizard's, between its
    // choosers) is not a new window to answer.
    bool wasAnswered (juce::Component* modal) const
    {
        for (const auto& window : answered)
            if (window.getComponent() == modal)
                return true;
        return false;
    }

    std::deque<Action> actions;
    std::vector<juce::Component::SafePointer<juce::Component>> answered;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModalAnswerer)
};

/** Runs `content` in a modal dialog that does not own it, as the upgrader does. */
inline int runInDialog (juce::Component& content, const juce::String& title)
{
    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&content);
    options.dialogTitle = title;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;
    return options.runModal();
}
} // namespace testsupport
