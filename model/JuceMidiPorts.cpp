// JUCE's MIDI ports behind the MidiPorts interface. JUCE 7 opens ports by
// identifier; the rest of the system speaks of names and their positions, so
// an index is turned into the identifier of that entry of the device list.
#include "MidiPorts.h"
#include "Pacing.h"

#if JUCE_LINUX && JUCE_ALSA
 #include <alsa/asoundlib.h>
#endif

namespace
{
#if JUCE_LINUX && JUCE_ALSA
// Without a sequencer ALSA prints "open /dev/snd/seq failed" on every call;
// JUCE already copes by listing no ports, so the text is only noise.
void ignoreAlsaError (const char*, int, const char*, int, const char*, ...) {}
#endif

void silenceAlsa()
{
   #if JUCE_LINUX && JUCE_ALSA
    snd_lib_error_set_handler (ignoreAlsaError);
   #endif
}

juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
{
    juce::StringArray names;
    for (const auto& device : devices)
        names.add (device.name);
    return names;
}

//==============================================================================
class JuceOutputPort final : public MidiOutputPort
{
public:
    explicit JuceOutputPort (std::unique_ptr<juce::MidiOutput> openedOutput) : output (std::move (openedOutput)) {}

    juce::String getName() const override { return output->getName(); }
    void sendMessageNow (const juce::MidiMessage& message) override { output->sendMessageNow (message); }
    void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override { output->sendBlockOfMessagesNow (buffer); }

private:
    std::unique_ptr<juce::MidiOutput> output;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (JuceOutputPort)
};

class JuceInputPort final : public MidiInputPort
{
public:
    explicit JuceInputPort (std::unique_ptr<juce::MidiInput> openedInput) : input (std::move (openedInput)) {}

    juce::String getName() const override { return input->getName(); }
    void start() override { input->start(); }
    void stop() override { input->stop(); }

private:
    std::unique_ptr<juce::MidiInput> input;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (JuceInputPort)
};

//==============================================================================
class JuceMidiPorts final : public MidiPorts
{
public:
    JuceMidiPorts() { silenceAlsa(); }

    juce::StringArray getOutputNames() override { return namesOf (juce::MidiOutput::getAvailableDevices()); }
    juce::StringArray getInputNames() override { return namesOf (juce::MidiInput::getAvailableDevices()); }

    std::unique_ptr<MidiOutputPort> openOutput (int index) override
    {
        const auto devices = juce::MidiOutput::getAvailableDevices();
        if (! juce::isPositiveAndBelow (index, devices.size()))
            return nullptr;

        // The identifier overload: openDevice ({}) would silently pick the
        // deprecated int one.
        const juce::String identifier = devices.getReference (index).identifier;
        if (auto output = juce::MidiOutput::openDevice (identifier))
            return std::make_unique<JuceOutputPort> (std::move (output));
        return nullptr;
    }

    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) override
    {
        const auto devices = juce::MidiInput::getAvailableDevices();
        if (callback == nullptr || ! juce::isPositiveAndBelow (index, devices.size()))
            return nullptr;

        const juce::String identifier = devices.getReference (index).identifier;
        if (auto input = juce::MidiInput::openDevice (identifier, callback))
            return std::make_unique<JuceInputPort> (std::move (input));
        return nullptr;
    }

    void pause (int milliseconds) override { Pacing::sleepFor (milliseconds); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (JuceMidiPorts)
};
} // namespace

MidiPorts& MidiPorts::getJuceImplementation()
{
    static JuceMidiPorts ports;
    return ports;
}
