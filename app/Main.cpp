// The editor's entry point: one application object, one main window.
#include "model/Arrays.h"
#include "model/Dolmaris.h"

#include <juce_gui_basics/juce_gui_basics.h>

class DolmarisApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Dolmar/Dolmet Kivra"; }
    const juce::String getApplicationVersion() override { return "1.14"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        Dolmaris::getInstance();
        mainWindow = std::make_unique<MainWindow> (getApplicationName() + " V" + getApplicationVersion());
    }

    void shutdown() override
    {
        mainWindow = nullptr;
        Dolmaris::getInstance(); // a model must exist to write the settings
        Dolmaris::deleteInstance();
    }

    void systemRequestedQuit() override { quit(); }

private:
    class MainWindow : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& title)
            : DocumentWindow (title, juce::Colour (0xffeeeeee), minimiseButton | closeButton)
        {
            setUsingNativeTitleBar (true);
            setSize (1010, 670);
            centreWithSize (getWidth(), getHeight());
            setVisible (true);
        }

        bool keyPressed (const juce::KeyPress& key) override
        {
            if (key.getKeyCode() != juce::KeyPress::escapeKey)
                return false;

            juce::JUCEApplication::quit();
            return true;
        }

        void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    std::unique_ptr<MainWindow> mainWindow;
};

START_JUCE_APPLICATION (DolmarisApplication)
