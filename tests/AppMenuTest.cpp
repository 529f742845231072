// The application menu's only item, "About Dolmar" (id 100, in the application
// menu, whose index is negative): each choice opens one more About box, and
// nothing else in any menu opens one.
#include "app/DolmarisApplication.h"

#include <gtest/gtest.h>

namespace
{
int countAboutBoxes()
{
    int count = 0;
    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        if (juce::Desktop::getInstance().getComponent (i)->getName() == "About Dolmar/Dolmet Kivra")
            ++count;
    return count;
}

void closeAboutBoxes()
{
    while (auto* modal = juce::Component::getCurrentlyModalComponent())
        modal->exitModalState (0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50); // they delete themselves
}
} // namespace

TEST (AppMenu, OnlyTheAboutItemOfTheApplicationMenuOpensAnAboutBoxEachTime)
{
    struct Choice { int itemId, menuIndex, aboutBoxesAfter; };
    const Choice choices[] = {
        { 100, -1, 1 }, { 100, -1, 2 }, // twice: two boxes
        { 100, 0, 2 },  { 100, 3, 2 },  // the same id in another menu
        { 99, -1, 2 },  { 101, -1, 2 }, // another item of the application menu
    };

    DolmarisApplication::MainWindow::MenuBar menuBar;
    EXPECT_TRUE (menuBar.getMenuBarNames().isEmpty());
    for (const auto& choice : choices)
    {
        menuBar.menuItemSelected (choice.itemId, choice.menuIndex);
        EXPECT_EQ (countAboutBoxes(), choice.aboutBoxesAfter) << "item " << choice.itemId << " in menu " << choice.menuIndex;
    }
    closeAboutBoxes();
    EXPECT_EQ (countAboutBoxes(), 0);
}
