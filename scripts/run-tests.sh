#!/usr/bin/env bash
# Builds and runs every test: the normal build, its tests through a real ALSA
# sequencer inside a small emulated machine, the other tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the MIDI, upgrader and
# firmware server tests under ThreadSanitizer, and bounded runs of the
# mapping-file and firmware catalogue fuzzers. Any failure fails the whole
# run. The firmware server tests make a private mount namespace (unshare -m)
# and are skipped where that is impossible.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${KIVRA_FUZZ_SECONDS:-60}

scripts/install-deps.sh

step() { echo; echo "=== $* (after ${SECONDS} s) ==="; }

step "Release build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
(cd build && ../scripts/with-virtual-display.sh ctest --output-on-failure -j"$jobs" -LE real_midi)

# These machines have no sound devices: the tests through a real ALSA
# sequencer run inside a small emulated machine that has one.
step "Real MIDI: the tests inside a machine with an ALSA sequencer"
# The editor session there runs once more when it fails, and CTest shows
# nothing of a test that passes: the session's first failure is shown here,
# whatever CTest's outcome, from the file it writes into the build folder.
session_first_failure=build/real-midi-session-first-failure
rm -f "$session_first_failure"
real_midi_status=0
(cd build && ctest --output-on-failure -L real_midi) || real_midi_status=$?
if [ -s "$session_first_failure" ]; then
    if [ "$real_midi_status" -eq 0 ]; then
        echo "Real MIDI: the editor session passed on its second run; its first run failed at: $(cat "$session_first_failure")"
    else
        echo "Real MIDI: the editor session's first run failed at: $(cat "$session_first_failure")"
    fi
fi
[ "$real_midi_status" -eq 0 ] || exit "$real_midi_status"

# One clang build serves both the sanitizer run and the fuzzer, so JUCE is
# compiled twice in all, not three times.
step "Sanitizer build and tests"
CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG -gline-tables-only" -DCMAKE_C_FLAGS_RELEASE="-O1 -DNDEBUG" \
    -DKIVRA_SANITIZE=ON -DKIVRA_FUZZ=ON -DKIVRA_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-sanitize && ../scripts/with-virtual-display.sh ctest --output-on-failure -j"$jobs")

# The MIDI ports and the upgrader hand data between the MIDI thread and the
# message thread, the firmware requests between their own thread and the
# message thread: their tests run once more under ThreadSanitizer.
step "ThreadSanitizer build and the MIDI, upgrader and firmware server tests"
CC=clang CXX=clang++ cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG -gline-tables-only" -DCMAKE_C_FLAGS_RELEASE="-O1 -DNDEBUG" \
    -DKIVRA_TSAN=ON -DKIVRA_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target kivra_tests kivra_realtime_tests kivra_network_tests
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ../scripts/with-virtual-display.sh ctest --output-on-failure -j"$jobs" \
    -R '^(MappingUpload|MidiInputHandler|Upgrade|FirmwareWizard|firmware_server)')

step "Fuzzing the mapping-file loader for ${fuzz_seconds} s"
fuzz/run-fuzzer.sh build-sanitize/fuzz/OpenFileFuzzer "$fuzz_seconds"

step "Fuzzing the firmware catalogue reader for ${fuzz_seconds} s"
fuzz/run-fuzzer.sh build-sanitize/fuzz/CatalogueFuzzer "$fuzz_seconds"

step "All tests passed"
