// The one way into the MIDI system. Every port the editor and the upgrader
// open, list or send to goes through MidiPorts::get(), so the same code runs
// on JUCE's ports (ALSA or CoreMIDI) and, in the tests, on in-memory ports
// that record what was sent.
#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

/** An open MIDI output. Destroying it closes the port. */
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    virtual juce::String getName() const = 0;

    /** Hands one complete message to the port at once. */
    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;

    /** Hands every message of the buffer to the port at once, in order. */
    virtual void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) = 0;
};

/** An open MIDI input. Its callback runs on the MIDI system's own thread,
    between start() and stop(); once stop() or the destructor has returned,
    the callback is no longer running and will not be called again. Ports
    that are not JUCE's pass a null source to the callback. */
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;

    virtual juce::String getName() const = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
};

/** The MIDI system: its ports in the system's order, and opening them. A
    port's index is its position in the list of names; names may repeat. */
class MidiPorts
{
public:
    virtual ~MidiPorts() = default;

    virtual juce::StringArray getOutputNames() = 0;
    virtual juce::StringArray getInputNames() = 0;

    /** The output at an index of getOutputNames(); nullptr when it cannot be opened. */
    virtual std::unique_ptr<MidiOutputPort> openOutput (int index) = 0;

    /** The input at an index of getInputNames(), not yet started; nullptr when
        it cannot be opened. The callback must outlive the port. */
    virtual std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) = 0;

    /** Blocks the calling thread between two messages that the device needs
        time to digest. A seam of its own so tests can see where pauses fall. */
    virtual void pause (int milliseconds) = 0;

    /** Runs the message loop for this long (message thread only), so windows
        stay live while a device's answer is awaited. The second seam of the
        upgrader's waits: tests count these polls instead of waiting them out. */
    virtual void runMessageLoop (int milliseconds);

    /** The first output whose name equals the given one exactly (case counts). */
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& exactName);

    /** The first input whose name equals the given one exactly (case counts). */
    std::unique_ptr<MidiInputPort> openInput (const juce::String& exactName, juce::MidiInputCallback* callback);

    /** The installed implementation, or JUCE's when none is installed. */
    static MidiPorts& get();

    /** Makes every later get() return `ports` (nullptr: JUCE's again). The
        caller keeps ownership and must uninstall before destroying it.
        Returns the implementation installed before. */
    static MidiPorts* install (MidiPorts* ports) noexcept;

    /** JUCE's MidiOutput and MidiInput, with ALSA's complaints silenced. */
    static MidiPorts& getJuceImplementation();
};
