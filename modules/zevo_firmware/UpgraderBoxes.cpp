#include "UpgraderBoxes.h"

#include <atomic>

namespace zevo
{
namespace
{
class AlertWindowBoxes final : public UpgraderBoxes
{
public:
    void showMessageBox (juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                         juce::Component* associatedComponent) override
    {
        juce::AlertWindow::showMessageBox (kind, title, text, {}, associatedComponent);
    }

    void showMessageBoxAsync (juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                              juce::Component* associatedComponent) override
    {
        juce::AlertWindow::showMessageBoxAsync (kind, title, text, {}, associatedComponent);
    }

    bool showOkCancelBox (juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                          juce::Component* associatedComponent) override
    {
        return juce::AlertWindow::showOkCancelBox (kind, title, text, {}, {}, associatedComponent, nullptr);
    }
};

std::atomic<UpgraderBoxes*> installedBoxes { nullptr };
} // namespace

UpgraderBoxes& UpgraderBoxes::get()
{
    if (auto* boxes = installedBoxes.load())
        return *boxes;

    static AlertWindowBoxes alertWindows;
    return alertWindows;
}

UpgraderBoxes* UpgraderBoxes::install (UpgraderBoxes* boxes) noexcept
{
    return installedBoxes.exchange (boxes);
}
} // namespace zevo
