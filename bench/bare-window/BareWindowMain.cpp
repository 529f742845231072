// The smallest JUCE program with a window like the editor's: one 1010 x 670
// document window with a native title bar, built on the same JUCE library.
// The start-up benchmark measures the editor against it.
#include <juce_gui_basics/juce_gui_basics.h>

class BareWindowApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Kivra Bare Window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<juce::DocumentWindow> (getApplicationName(), juce::Colour (0xffeeeeee),
                                                         juce::DocumentWindow::minimiseButton
                                                             | juce::DocumentWindow::closeButton);
        window->setUsingNativeTitleBar (true);
        window->centreWithSize (1010, 670);
        window->setVisible (true);
    }

    void shutdown() override { window = nullptr; }

private:
    std::unique_ptr<juce::DocumentWindow> window;
};

START_JUCE_APPLICATION (BareWindowApplication)
