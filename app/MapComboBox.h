// An attribute box of the main view: a combo box that keeps, by item index,
// the value each item stands for.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MapComboBox : public juce::ComboBox
{
public:
    MapComboBox() : juce::ComboBox (juce::String()) {}
    ~MapComboBox() override = default;

    /** Filled and emptied in step with the items. Read with operator[], which
        gives 0 outside the array (as for index -1, nothing selected). */
    juce::Array<int> values;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MapComboBox)
};
