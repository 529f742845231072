// The upgrader's box layer for tests: every box is recorded (kind, title,
// text) and answered at once, for as long as the object lives.
#pragma once

#include "modules/zevo_firmware/UpgraderBoxes.h"

#include <vector>

class RecordedBoxes final : public zevo::UpgraderBoxes
{
public:
    struct Box
    {
        juce::MessageBoxIconType kind;
        juce::String title, text;
    };

    /** Installs itself; OK/Cancel boxes get `okAnswer`. */
    explicit RecordedBoxes (bool okAnswer = true) : answer (okAnswer), previous (install (this)) {}
    ~RecordedBoxes() override { install (previous); }

    void showMessageBox (juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                         juce::Component*) override
    {
        boxes.push_back ({ kind, title, text });
    }

    bool showOkCancelBox (juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                          juce::Component*) override
    {
        boxes.push_back ({ kind, title, text });
        return answer;
    }

    /** One "title / text" line a box, "! " before a warning's. */
    juce::String shown() const
    {
        juce::StringArray lines;
        for (const auto& b : boxes)
            lines.add ((b.kind == juce::MessageBoxIconType::WarningIcon ? "! " : "") + b.title + " / " + b.text);
        return lines.joinIntoString ("\n");
    }

    std::vector<Box> boxes;
    const bool answer;

private:
    UpgraderBoxes* previous;

    JUCE_DECLARE_NON_COPYABLE (RecordedBoxes)
};
