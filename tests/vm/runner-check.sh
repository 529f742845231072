#!/usr/bin/env bash
# Checks run-in-vm.sh itself with one short run: the command inside sees the
# sequencer with its "Midi Through" client, and its stdout, stderr and exit
# status come back apart, as the runner's own. Arguments go to the runner.
set -uo pipefail

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

"$(dirname "$0")/run-in-vm.sh" "$@" -- sh -c '
    test -c /dev/snd/seq || { echo "no /dev/snd/seq" >&2; exit 1; }
    grep -q "Midi Through" /proc/asound/seq/clients || { echo "no Midi Through client" >&2; exit 1; }
    echo "to stdout"; echo "to stderr" >&2; exit 7' >"$work/stdout" 2>"$work/stderr"
status=$?

failed=""
[ "$status" -eq 7 ] || { echo "expected exit status 7, got $status"; failed=yes; }
[ "$(cat "$work/stdout")" = "to stdout" ] || { echo "stdout was not handed back alone"; failed=yes; }
[ "$(cat "$work/stderr")" = "to stderr" ] || { echo "stderr was not handed back alone"; failed=yes; }
if [ -n "$failed" ]; then
    echo "--- stdout:"; cat "$work/stdout"
    echo "--- stderr:"; cat "$work/stderr"
    exit 1
fi
echo "The command saw the sequencer and its output and status came back."
