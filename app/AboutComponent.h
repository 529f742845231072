// The content of the About dialog: title, version, legal notice and a link to
// the maker's site.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class AboutComponent : public juce::Component
{
public:
    AboutComponent();
    ~AboutComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Opens a new About box in a dialog of its own, without waiting; each
        call opens one more. The logo's box has JUCE's title bar, the
        application menu's the system's. */
    static void launch (bool useNativeTitleBar);

    static constexpr const char* applicationVersion = "1.14";
    static constexpr const char* buildNumber = "25";
    static constexpr const char* makerAddress = "https://www.zevosonic.com/";

private:
    std::unique_ptr<juce::Label> titleLabel;
    std::unique_ptr<juce::Label> noticeLabel;
    std::unique_ptr<juce::HyperlinkButton> aboutLinkButton;
    std::unique_ptr<juce::Label> versionLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutComponent)
};
