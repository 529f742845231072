// The channel strips and the control area release their children in the
// order they created them, the About box in the order it declares them.
#include "app/AboutComponent.h"
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
/** The positions among the parent's children (creation order) in which the
    children were deleted. */
template <typename Parent>
std::vector<int> deletionOrder()
{
    struct Recorder : juce::ComponentListener
    {
        void componentBeingDeleted (juce::Component& child) override { deleted.push_back (positions.indexOf (&child)); }
        juce::Array<juce::Component*> positions;
        std::vector<int> deleted;
    } recorder;

    auto parent = std::make_unique<Parent>();
    for (auto* child : parent->getChildren())
    {
        recorder.positions.add (child);
        child->addComponentListener (&recorder);
    }
    parent.reset();
    return recorder.deleted;
}

std::vector<int> ascending (int count)
{
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        order.push_back (i);
    return order;
}

TEST (DestructionOrder, ChildrenGoFirstToLast)
{
    testsupport::useFreshModel();
    EXPECT_EQ (deletionOrder<MixerSection>(), ascending (80));
    EXPECT_EQ (deletionOrder<ControlSection>(), ascending (53));
    EXPECT_EQ (deletionOrder<AboutComponent>(), ascending (4));
}
} // namespace
