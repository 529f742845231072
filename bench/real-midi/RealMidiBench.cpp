// Wall time of the mapping upload and of the firmware upload through JUCE's
// real ports and a real ALSA sequencer, to the simulated unit answering 1-2 ms
// after each packet, beside the floor the protocol's own pauses set. Run in
// the test machine by bench/real-midi-bench.sh: a figure of an emulated
// machine, not a test.
#include "FirmwareFloor.h"
#include "alsa/AlsaUnit.h"
#include "model/ControllerMap.h"
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"
#include "support/ScratchFolder.h"
#include "support/UpgradeBench.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <chrono>
#include <cstdio>

namespace
{
// 32 preamble records and 2 x 108 control records, each followed by 2 ms.
constexpr double uploadFloorMs = 248 * 2;

using Clock = std::chrono::steady_clock;
double msSince (Clock::time_point start) { return std::chrono::duration<double, std::milli> (Clock::now() - start).count(); }

bool waitUntil (const std::function<bool()>& condition)
{
    for (int i = 0; i < 3000 && ! condition(); ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    return condition();
}

bool listed (const juce::String& name)
{
    return MidiPorts::get().getOutputNames().contains (name) && MidiPorts::get().getInputNames().contains (name);
}

void benchUpload (int rounds)
{
    AlsaUnit unit (AlsaUnit::fullUnitName);
    waitUntil ([] { return listed (AlsaUnit::fullUnitName); });
    auto& model = *Dolmaris::getInstance()->impl;
    model.outputDeviceName = AlsaUnit::fullUnitName;
    model.productId = 79;
    model.currentMap = CtMap (CtMode (CtMode::mackie)).tree;

    for (int round = 0; round < rounds; ++round)
    {
        const auto heardBefore = unit.getRecord().size();
        const auto start = Clock::now();
        const bool ok = Dolmaris::getInstance()->sendCurrentMapping().wasOk();
        const double sentMs = msSince (start);
        const bool whole = waitUntil ([&] { return unit.getRecord().size() >= heardBefore + 250; });
        std::printf ("mapping upload:  wall %7.1f ms  floor %6.1f ms  wall/floor %.3f  (all heard %7.1f ms)%s\n", sentMs,
                     uploadFloorMs, sentMs / uploadFloorMs, msSince (start), ok && whole ? "" : "  FAILED");
    }
}

void benchFirmware()
{
    zevo::_mac_major = juce::SystemStats::getOperatingSystemType() - 0x100;
    AlsaUnit unit (AlsaUnit::fullUnitName);
    testsupport::ScratchFolder scratch;
    RecordingSink sink;
    RecordedBoxes boxes;
    zevo::FirmwareUpgradeComponent::MidiInputHandler handler (nullptr, 79);
    const auto image = makeImage (63'487);
    handler.openProgram (scratch.withBytes ("firmware.bin", { image.begin(), image.end() }));

    waitUntil ([] { return listed (AlsaUnit::fullUnitName); });
    zevo::enterUpgradeMode (AlsaUnit::fullUnitName, 79, sink);
    waitUntil ([] { return listed (zevo::upgradeModePortName); });

    const auto start = Clock::now();
    const bool ok = handler.openPorts (zevo::upgradeModePortName) && zevo::runUpgradeSequence (handler, sink);
    const double wallMs = msSince (start), floorMs = protocolFloorMs (124);
    std::printf ("firmware upload: wall %7.1f ms  floor %6.1f ms  wall/floor %.3f  (63,487 bytes, 124 blocks)%s\n", wallMs,
                 floorMs, wallMs / floorMs, ok ? "" : "  FAILED");
}

juce::JUCEApplicationBase* createNoApplication() { return nullptr; }
} // namespace

int main()
{
    const testsupport::ScratchFolder scratch;
    setenv ("HOME", scratch.folder.getFullPathName().toRawUTF8(), 1);
    SettingsLocation::redirectBelow (scratch.folder);
    juce::JUCEApplicationBase::createInstance = &createNoApplication;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        std::printf ("processors: %d\n", juce::SystemStats::getNumCpus());
        benchUpload (3);
        benchFirmware();
        Dolmaris::deleteInstance();
    }
    return 0;
}
