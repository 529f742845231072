// A fresh model and one view of the unit built on it, for the tests of the
// mixer and control sections.
#pragma once

#include "support/FreshModel.h"
#include "support/ViewProbe.h"

#include <gtest/gtest.h>

#include <memory>

namespace testsupport
{
template <typename Section>
class SectionFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = &useFreshModel();
        section = std::make_unique<Section>();
    }

    MappableButton& control (int controlId)
    {
        auto* button = buttonWithId (*section, controlId);
        if (button == nullptr)
            ADD_FAILURE() << "no control with id " << controlId;
        return button != nullptr ? *button : fallback;
    }

    /** What the view shows for a control: its caption label's text if it has one. */
    juce::String shownCaption (int controlId)
    {
        auto& button = control (controlId);
        return button.captionLabel != nullptr ? button.captionLabel->getText() : button.getButtonText();
    }

    Dolmaris::Impl* model = nullptr;
    std::unique_ptr<Section> section;
    MappableButton fallback { "missing" };
};
} // namespace testsupport
