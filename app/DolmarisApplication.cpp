#include "DolmarisApplication.h"

#include "AboutComponent.h"
#include "ApplicationQuit.h"
#include "ContentComponent.h"

#include "model/Dolmaris.h"
#include "model/MidiPorts.h"
#include "modules/zevo_firmware/QuitHold.h"

namespace
{
const juce::Colour windowBackground (0xffeeeeee);
}

//==============================================================================
void DolmarisApplication::MainWindow::MenuBar::menuItemSelected (int menuItemID, int topLevelMenuIndex)
{
    // Only the application menu's own item; negative indexes are that menu's.
    if (menuItemID != aboutItemId || topLevelMenuIndex >= 0)
        return;

    AboutComponent::launch (true);
}

//==============================================================================
DolmarisApplication::MainWindow::MainWindow (const juce::String& title)
    : DocumentWindow (title, windowBackground, minimiseButton | closeButton, false)
{
    setUsingNativeTitleBar (true);
    extraAppleMenuItems.addItem (MenuBar::aboutItemId, "About Dolmar", true, false);
   #if JUCE_MAC
    juce::MenuBarModel::setMacMainMenu (&menuBar, &extraAppleMenuItems, {});
   #endif

    // The window takes the view's size, also when the view narrows to the
    // extender and widens again.
    setContentOwned (new ContentComponent(), true);
    centreWithSize (getWidth(), getHeight());

    // Only now is the native window made, at its final size and place. Made
    // before the view, it is shown at the frame's 128 x 128 minimum (the
    // switch to the native title bar shows it) and then resized through the
    // window manager; openbox applies that late, and a configure event read
    // in between hands the window, and then the view, the passing height.
    addToDesktop();
    setVisible (true);
}

// The menu goes first, while the view it may open things over still exists;
// the window's own destructor deletes the view.
DolmarisApplication::MainWindow::~MainWindow()
{
   #if JUCE_MAC
    juce::MenuBarModel::setMacMainMenu (nullptr, nullptr, {});
   #endif
}

bool DolmarisApplication::MainWindow::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() != juce::KeyPress::escapeKey)
        return false;

    juce::JUCEApplication::quit();
    return true;
}

// The focus lands on the window itself when it is shown and when it comes
// back from a dialog, an alert or a box's menu. The window has no use for any
// key but Escape, which still reaches it from the view.
void DolmarisApplication::MainWindow::focusGained (FocusChangeType)
{
    if (auto* view = getContentComponent())
        view->grabKeyboardFocus();
}

void DolmarisApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

//==============================================================================
DolmarisApplication::~DolmarisApplication()
{
    defaultMap.reset();
    mainWindow.reset();
}

void DolmarisApplication::initialise (const juce::String& commandLine)
{
    if (handOverToRunningInstance (commandLine))
    {
        quit();
        return;
    }

    quitSignals = std::make_unique<QuitSignals> ([this] { systemRequestedQuit(); });

    // Listed once so the MIDI system is up before the first click; no port opens.
    MidiPorts::get().getInputNames();
    MidiPorts::get().getOutputNames();

    // Building a default map loads the default row tables.
    defaultMap = std::make_unique<CtMap> (juce::ValueTree (Tags::map));
    defaultMap->addMissingProperties();
    defaultMap->setDefaultValues();

    Dolmaris::getInstance();
    mainWindow = std::make_unique<MainWindow> (getApplicationName() + " V" + getApplicationVersion());
}

void DolmarisApplication::shutdown()
{
    // A copy started from now on runs on its own instead of waiting on this one.
    instanceLink.reset();

    mainWindow.reset();

    // A copy that quit at start-up has no model yet; it still writes its settings.
    Dolmaris::getInstance();
    Dolmaris::deleteInstance();

    quitSignals.reset();
}

void DolmarisApplication::anotherInstanceStarted (const juce::String&)
{
    if (mainWindow == nullptr)
        return;

    // A minimised window would otherwise stay out of sight.
    if (mainWindow->isMinimised())
        mainWindow->setMinimised (false);
    mainWindow->toFront (true);
}

void DolmarisApplication::systemRequestedQuit()
{
    if (zevo::QuitHold::holdWhileWriting (ApplicationQuit::request))
        return;
    ApplicationQuit::request();
}

bool DolmarisApplication::handOverToRunningInstance (const juce::String& commandLine)
{
    if constexpr (! RunningInstanceLink::isAvailable())
        return sendCommandLineToPreexistingInstance();

    instanceLink = std::make_unique<RunningInstanceLink> (RunningInstanceLink::socketFileFor (getApplicationName()));
    if (instanceLink->handOver (commandLine))
    {
        instanceLink.reset();
        return true;
    }

    // Listening now already: a copy started while this one builds its window
    // waits in the queue and is answered once the window is there.
    instanceLink->listen ([this] (const juce::String& line) { anotherInstanceStarted (line); });
    return false;
}
