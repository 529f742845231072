// The one model object of the editor: the maps of the four working modes, the
// current mode, the product code and the chosen MIDI output.
#pragma once

#include "ControllerMap.h"

#include <juce_data_structures/juce_data_structures.h>

#include <memory>

class Dolmaris
{
public:
    /** The whole state; the editor's views work on it directly. */
    class Impl
    {
    public:
        /** Four default maps, modes 0 to 3 in order, with mode 0 current. */
        Impl();
        virtual ~Impl() = default;

        /** Makes the map of a mode current (an invalid tree when there is none). */
        void setCurrentMode (CtMode mode);

        /** The map whose "mode" is the mode's slug; an invalid tree when none. */
        juce::ValueTree findMode (CtMode mode) const;

        /** Puts the modes tree in the settings; the file is written when
            appProperties goes. */
        void saveSettings();

        int productId = 176;
        CtMode currentMode { 0 };
        juce::ApplicationProperties appProperties;
        juce::ValueTree modes;
        juce::ValueTree currentMap;
        juce::String deviceName;
        juce::String outputDeviceName;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Impl)
    };

    Dolmaris();
    virtual ~Dolmaris();

    /** The process-wide accessor: creates the model once per run, and yields
        nullptr once the shut-down has deleted it. */
    static Dolmaris* getInstance() { return singletonHolder.get(); }

    /** The shut-down's end of the model: deletes it under the holder's lock. */
    static void deleteInstance() { singletonHolder.deleteInstance(); }

    CtMode getCurrCtMode() const;

    juce::Result openFile (const juce::File& file);

    /** openFile's work once the file's bytes are read; the fuzzer feeds it
        bytes without a file. */
    juce::Result openMappingData (const void* data, size_t size);

    juce::Result saveCurrentMapping (const juce::File& file);
    juce::Result sendCurrentMapping();

    std::unique_ptr<Impl> impl;

    static juce::SingletonHolder<Dolmaris, juce::CriticalSection, true> singletonHolder;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Dolmaris)
};
