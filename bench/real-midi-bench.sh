#!/usr/bin/env bash
# The uploads through a real ALSA sequencer: starts the test machine of
# tests/vm/run-in-vm.sh (one processor, software emulation) and runs
# kivra_real_midi_bench in it, which prints the mapping upload's and the
# firmware upload's wall time beside the protocol's floor. A figure from an
# emulated machine, not a test: nothing fails on it. The machine's kernel and
# initramfs are kept in the build folder's vm-cache, as for the tests.
#
#   bench/real-midi-bench.sh [build folder, default build] [run-in-vm.sh options...]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(readlink -f "${1:-build}")
shift || true
bench="$build/bench/kivra_real_midi_bench"
[ -x "$bench" ] || { echo "missing $bench: build the target kivra_real_midi_bench first" >&2; exit 1; }

exec "$here/../tests/vm/run-in-vm.sh" --timeout 600 --cache "$build/vm-cache" --workdir / --share "$build" "$@" -- "$bench"
