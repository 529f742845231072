// Layout checks shared by the tests of the views of the unit.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include <vector>

namespace testsupport
{
inline std::vector<juce::Rectangle<int>> childBounds (juce::Component& parent)
{
    std::vector<juce::Rectangle<int>> result;
    for (auto* child : parent.getChildren())
        result.push_back (child->getBounds());
    return result;
}

inline void expectNoTwoChildrenOverlap (juce::Component& parent)
{
    const auto& children = parent.getChildren();
    for (int i = 0; i < children.size(); ++i)
        for (int j = i + 1; j < children.size(); ++j)
            EXPECT_FALSE (children[i]->getBounds().intersects (children[j]->getBounds()))
                << "children " << i << " and " << j << " overlap at "
                << children[i]->getBounds().toString() << " / " << children[j]->getBounds().toString();
}

} // namespace testsupport
