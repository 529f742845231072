// The channel strips and the control area release their children in the
// order they created them, the About box in the order it declares them.
#include "app/AboutComponent.h"
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

namespace
{
/** Whether the children were deleted in their order among the parent's children. */
template <typename Parent>
bool childrenGoFirstToLast()
{
    struct Recorder : juce::ComponentListener
    {
        void componentBeingDeleted (juce::Component& child) override { deleted.add (&child); }
        juce::Array<juce::Component*> deleted;
    } recorder;

    auto parent = std::make_unique<Parent>();
    const auto children = parent->getChildren();
    for (auto* child : children)
        child->addComponentListener (&recorder);
    parent.reset();
    return recorder.deleted == children;
}

TEST (DestructionOrder, ChildrenGoFirstToLast)
{
    testsupport::useFreshModel();
    EXPECT_TRUE (childrenGoFirstToLast<MixerSection>());
    EXPECT_TRUE (childrenGoFirstToLast<ControlSection>());
    EXPECT_TRUE (childrenGoFirstToLast<AboutComponent>());
}
} // namespace
