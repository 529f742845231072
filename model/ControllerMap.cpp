#include "ControllerMap.h"

#include "Arrays.h"

//==============================================================================
namespace
{
const juce::StringArray& modeSlugs()
{
    static const juce::StringArray slugs { "mackie", "logic", "pro-tools", "user-defined", "cubase", "samplitude",
                                           "ableton-live", "reaper", "studio-one", "reason", "bitwig" };
    return slugs;
}

const juce::StringArray& modeNames()
{
    static const juce::StringArray names { "MCP", "Logic", "HUI", "User Defined (MCP)", "Cubase", "Samplitude",
                                           "Ableton Live", "Reaper", "Studio One", "Reason", "Bitwig" };
    return names;
}

const juce::StringArray& typeSlugs()
{
    static const juce::StringArray slugs { "note", "cc", "pitch" };
    return slugs;
}

const juce::StringArray& kindSlugs()
{
    static const juce::StringArray slugs { "button", "knob", "jog-wheel", "fader", "master-fader" };
    return slugs;
}

// StringArray::operator[] already yields an empty string outside the array.
juce::String entryOrEmpty (const juce::StringArray& table, int index) { return table[index]; }
} // namespace

//==============================================================================
CtMode::CtMode (const juce::String& text) : value (0)
{
    // The order in which slugs are tried; the first equal one wins.
    static const std::pair<const char*, int> parseOrder[] = {
        { "mackie", 0 },       { "cubase", 4 },    { "logic", 1 },      { "samplitude", 5 },
        { "ableton-live", 6 }, { "pro-tools", 2 }, { "reaper", 7 },     { "studio-one", 8 },
        { "reason", 9 },       { "bitwig", 10 },   { "user-defined", 3 }
    };

    const auto slug = text.trim();
    for (const auto& [candidate, modeValue] : parseOrder)
    {
        if (slug == candidate)
        {
            value = modeValue;
            return;
        }
    }
}

juce::String CtMode::slugForType (int modeValue) { return entryOrEmpty (modeSlugs(), modeValue); }
juce::String CtMode::nameForType (int modeValue) { return entryOrEmpty (modeNames(), modeValue); }

juce::String CtType::slugForType (int typeValue) { return entryOrEmpty (typeSlugs(), typeValue); }

juce::String CtKind::slugForType (int kindValue) { return entryOrEmpty (kindSlugs(), kindValue); }

int CtKind::forId (int controlId) noexcept
{
    if (controlId >= 1 && controlId <= 90) return button;
    if (controlId >= 91 && controlId <= 98) return knob;
    if (controlId == 99) return jogWheel;
    if (controlId >= 100 && controlId <= 107) return fader;
    if (controlId == 108) return masterFader;
    return -1;
}

int CtKind::ordinalForId (int controlId) noexcept
{
    switch (forId (controlId))
    {
        case button: return controlId - 1;
        case knob: return controlId - 91;
        case fader: return controlId - 100;
        default: return 0;
    }
}

//==============================================================================
CtMap::CtMap (CtMode mode)
{
    // Modes without row tables get no map: nothing could show or send it.
    if (! mode.isWorkingMode())
        return;

    tree = juce::ValueTree (Tags::map);
    addMissingProperties();
    tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
    tree.setProperty (Tags::name, CtMode::nameForType (mode), nullptr);
    setDefaultValues();
}

void CtMap::addMissingProperties()
{
    tree.setProperty (Tags::mode, CtMode::slugForType (CtMode::mackie), nullptr);
    tree.setProperty (Tags::name, CtMode::nameForType (CtMode::mackie), nullptr);

    auto controls = tree.getChildWithName (Tags::controls);
    if (! controls.isValid())
    {
        controls = juce::ValueTree (Tags::controls);
        tree.appendChild (controls, nullptr);
    }

    for (int i = controls.getNumChildren(); --i >= 0;)
        controls.removeChild (i, nullptr);

    for (int id = CtKind::firstControlId; id <= CtKind::lastControlId; ++id)
    {
        juce::ValueTree control ("control");
        control.setProperty (Tags::id, id, nullptr);
        control.setProperty (Tags::kind, CtKind::slugForType (CtKind::forId (id)), nullptr);
        control.setProperty (Tags::type, CtType::slugForType (0), nullptr);
        control.setProperty (Tags::chan, 1, nullptr);
        control.setProperty (Tags::value, 0, nullptr);
        controls.addChild (control, id - 1, nullptr);
    }
}

CtMode CtMap::getCtMode() const
{
    return CtMode (tree.getProperty (Tags::mode, juce::String()).toString());
}

//==============================================================================
namespace
{
juce::String typeSlugForNibble (int statusNibble)
{
    switch (statusNibble)
    {
        case 0x9: return "note";
        case 0xE: return "pitch";
        default: return "cc"; // control change, and every nibble without a type of its own
    }
}

int defaultValueFor (int mode, int controlId, const uint8_t* row)
{
    const int k = CtKind::ordinalForId (controlId);
    const bool hui = mode == CtMode::proTools;

    switch (CtKind::forId (controlId))
    {
        case CtKind::button:
            if (k <= 39)
                return hui ? k + 19 : k;
            return hui ? protoolsButtonDefaults[k - 40] : row[2];
        case CtKind::knob: return hui ? protoolsKnobIndexes[k] : abletonLiveKnobValues[k];
        case CtKind::jogWheel: return hui ? protoolsJogWheelIndexes[0] : 60;
        case CtKind::fader: return hui ? protoolsFaderIndexes[k] : abletonLiveFaderValues[k];
        case CtKind::masterFader: return hui ? protoolsMasterFaderIndexes[0] : abletonLiveMasterFaderValues[0];
        default: return 0;
    }
}
} // namespace

void CtMap::setDefaultValues()
{
    const CtMode mode = getCtMode();

    // Only the working modes have tables; a map of another mode (from a file)
    // is left as it is.
    if (! mode.isWorkingMode())
        return;

    // ud holds the user's edits: only a reset of the user-defined map itself
    // may discard them. Maps of modes 0 and 1 read cb or lg, never ud.
    if (mode != CtMode::proTools)
        std::memcpy (cb, cubaseButtons0ForDlm, sizeof (RowTable));
    if (mode == CtMode::userDefined)
        std::memcpy (ud, cubaseButtons0ForDlm, sizeof (RowTable));

    auto controls = tree.getChildWithName (Tags::controls);
    const int count = juce::jmin (controls.getNumChildren(), CtKind::numControls);

    for (int i = 0; i < count; ++i)
    {
        auto control = controls.getChild (i);
        const int id = control.getProperty (Tags::id);
        const uint8_t* row = Defa::findRow (mode, id);

        if (row == nullptr) // no row for this id: keep the node as it is
            continue;

        control.setProperty (Tags::type, typeSlugForNibble (row[0]), nullptr);
        control.setProperty (Tags::chan, (row[1] & 0x0F) + 1, nullptr);
        control.setProperty (Tags::value, defaultValueFor (mode, id, row), nullptr);
    }
}

//==============================================================================
int ControlSorter::compareElements (const juce::ValueTree& first, const juce::ValueTree& second)
{
    const int a = first.getProperty (Tags::id);
    const int b = second.getProperty (Tags::id);
    return a < b ? -1 : (b < a ? 1 : 0);
}
