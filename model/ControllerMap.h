// The words in which the editor speaks of a mapping: control modes, message
// types, control kinds, and the map tree that holds one mapping.
#pragma once

#include "Shared.h"

/** A control mode. Only modes 0 to 3 are working modes with tables and maps;
    4 to 10 can only be parsed and named. */
class CtMode
{
public:
    enum
    {
        mackie = 0,
        logic = 1,
        proTools = 2,
        userDefined = 3,
        numWorkingModes = 4
    };

    CtMode (int modeValue = 0) noexcept : value (modeValue) {}

    /** Parses a slug (trimmed, exact case); anything unknown is mode 0. */
    explicit CtMode (const juce::String& text);

    operator int() const noexcept { return value; }
    bool isWorkingMode() const noexcept { return value >= 0 && value < numWorkingModes; }

    /** The slug or display name of a mode value; empty outside 0..10. */
    static juce::String slugForType (int modeValue);
    static juce::String nameForType (int modeValue);

    int value;
};

/** The MIDI message type of a control: 0 note, 1 cc, 2 pitch. */
class CtType
{
public:
    CtType (int typeValue = 0) noexcept : value (typeValue) {}

    juce::String getSlug() const { return slugForType (value); }

    /** The slug of a type value; empty outside 0..2 (a program change). */
    static juce::String slugForType (int typeValue);

    int value;
};

/** The kind of a physical control, fixed by its id. */
class CtKind
{
public:
    enum
    {
        button = 0,
        knob = 1,
        jogWheel = 2,
        fader = 3,
        masterFader = 4
    };

    static constexpr int firstControlId = 1;
    static constexpr int lastControlId = 108;
    static constexpr int numControls = 108;

    static bool isValidId (int controlId) noexcept { return controlId >= firstControlId && controlId <= lastControlId; }

    /** The kind of a control id; -1 for an id outside 1..108. */
    static int forId (int controlId) noexcept;

    /** Position of the control among the controls of its kind (0 for the first). */
    static int ordinalForId (int controlId) noexcept;

    /** The slug of a kind value; empty outside 0..4. */
    static juce::String slugForType (int kindValue);
};

/** One mapping: a value type sharing one "map" tree with 108 control nodes.
    Copies share the node, so an edit through one is seen by all. */
class CtMap
{
public:
    /** Builds the complete default map of a working mode; for any other mode
        the tree stays invalid (no mode but 0 to 3 has tables to fill it). */
    explicit CtMap (CtMode mode);

    /** Wraps an existing map node without copying it. */
    explicit CtMap (juce::ValueTree mapNode) : tree (std::move (mapNode)) {}

    /** Resets the node to a "mackie" skeleton with 108 placeholder controls,
        leaving its other properties and children alone. */
    void addMissingProperties();

    /** Writes the defaults of the map's own mode into every control node, and
        reloads the writable row tables (unless the map is a HUI map). */
    void setDefaultValues();

    /** The mode named by the map's "mode" property; 0 when unknown or missing. */
    CtMode getCtMode() const;

    juce::ValueTree tree;
};

/** Orders control nodes by their integer "id", ascending. */
struct ControlSorter
{
    static int compareElements (const juce::ValueTree& first, const juce::ValueTree& second);
};
