// The editor as an application: start-up, the one main window, shut-down.
// It lives outside the entry point so that tests can build its main window.
#pragma once

#include "QuitSignals.h"
#include "RunningInstanceLink.h"

#include "model/ControllerMap.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class DolmarisApplication : public juce::JUCEApplication
{
public:
    /** The window of the editor; its content is the main view. */
    class MainWindow : public juce::DocumentWindow
    {
    public:
        /** The macOS application menu: only the extra "About Dolmar" item. */
        class MenuBar : public juce::MenuBarModel
        {
        public:
            MenuBar() = default;
            ~MenuBar() override = default;

            juce::StringArray getMenuBarNames() override { return {}; }
            juce::PopupMenu getMenuForIndex (int, const juce::String&) override { return {}; }
            void menuItemSelected (int menuItemID, int topLevelMenuIndex) override;

            static constexpr int aboutItemId = 100;

        private:
            JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MenuBar)
        };

        explicit MainWindow (const juce::String& title);
        ~MainWindow() override;

        /** Escape quits; every other key is passed on. */
        bool keyPressed (const juce::KeyPress& key) override;

        /** Hands the focus on to the view, which handles the editor's keys. */
        void focusGained (FocusChangeType cause) override;
        void closeButtonPressed() override;

    private:
        MenuBar menuBar;
        juce::PopupMenu extraAppleMenuItems;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    DolmarisApplication() = default;
    ~DolmarisApplication() override;

    const juce::String getApplicationName() override { return "Dolmar/Dolmet Kivra"; }
    const juce::String getApplicationVersion() override { return "1.14"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

private:
    bool handOverToRunningInstance (const juce::String& commandLine);

    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<CtMap> defaultMap;

    // Platform layers: the hand-over of a second start, and the quit signals.
    std::unique_ptr<RunningInstanceLink> instanceLink;
    std::unique_ptr<QuitSignals> quitSignals;
};
