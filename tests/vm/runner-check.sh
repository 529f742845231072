#!/usr/bin/env bash
# Checks run-in-vm.sh itself with short runs: the command inside sees the
# sequencer with its "Midi Through" client, and its stdout, stderr and exit
# status come back apart, as the runner's own; a runner interrupted while its
# command runs still hands back what the command printed; and a runner
# stopped while it fills its cache leaves no part-made file there, and clears
# those that an earlier run left. Arguments go to the runner.
set -uo pipefail

runner="$(dirname "$0")/run-in-vm.sh"
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
# Job control: each runner started in the background gets a process group of
# its own, which a signal reaches as Ctrl-C would, and SIGINT is not ignored.
set -m
failed=""

show_output() {
    echo "--- stdout:"; cat "$work/stdout"
    echo "--- stderr:"; cat "$work/stderr"
}

"$runner" "$@" -- sh -c '
    test -c /dev/snd/seq || { echo "no /dev/snd/seq" >&2; exit 1; }
    grep -q "Midi Through" /proc/asound/seq/clients || { echo "no Midi Through client" >&2; exit 1; }
    echo "to stdout"; echo "to stderr" >&2; exit 7' >"$work/stdout" 2>"$work/stderr"
status=$?

run_failed=""
[ "$status" -eq 7 ] || { echo "expected exit status 7, got $status"; run_failed=yes; }
[ "$(cat "$work/stdout")" = "to stdout" ] || { echo "stdout was not handed back alone"; run_failed=yes; }
[ "$(cat "$work/stderr")" = "to stderr" ] || { echo "stderr was not handed back alone"; run_failed=yes; }
[ -z "$run_failed" ] || { show_output; failed=yes; }

# Ctrl-C once the command has printed and is waiting: its output so far, a
# word on why the run ended, and the status of a SIGINT.
mkdir "$work/job"
# shellcheck disable=SC2016  # expanded inside the machine
"$runner" "$@" --job "$work/job" -- sh -c '
    echo "printed before"; echo "complained before" >&2
    : >"$RUN_IN_VM_JOB/printed"; exec sleep 600' >"$work/stdout" 2>"$work/stderr" &
runner_pid=$!
while [ ! -e "$work/job/printed" ] && kill -0 "$runner_pid" 2>/dev/null; do sleep 0.2; done
kill -INT -- -"$runner_pid" 2>/dev/null
wait "$runner_pid"
status=$?

run_failed=""
[ "$status" -eq 130 ] || { echo "interrupted by SIGINT: expected exit status 130, got $status"; run_failed=yes; }
[ "$(cat "$work/stdout")" = "printed before" ] || { echo "interrupted: the command's stdout so far was not handed back"; run_failed=yes; }
grep -qx "complained before" "$work/stderr" || { echo "interrupted: the command's stderr so far was not handed back"; run_failed=yes; }
grep -q "^run-in-vm: .*interrupted" "$work/stderr" || { echo "interrupted: the runner did not say so"; run_failed=yes; }
[ -z "$run_failed" ] || { show_output; failed=yes; }

# An empty cache, but for a part-made kernel of a run that is gone and one of
# a run that lives (this script). The runner is stopped as soon as a file of
# its own shows there: while it unpacks the kernel, or else while it builds
# the initramfs. Whichever it was, no part of it may stay behind.
cache=$work/cache
mkdir "$cache"
sh -c : & gone_pid=$!
wait "$gone_pid"
echo partial >"$cache/vmlinux-0.0.0-0-amd64-0123456789abcdef.$gone_pid"
echo partial >"$cache/vmlinux-0.0.0-0-amd64-0123456789abcdef.$$"
"$runner" "$@" --cache "$cache" -- true >"$work/stdout" 2>"$work/stderr" &
runner_pid=$!
made=""
while [ -z "$made" ] && kill -0 "$runner_pid" 2>/dev/null; do
    made=$(find "$cache" -name "*.$runner_pid" -print -quit)
done
[ -z "$made" ] || kill -TERM -- -"$runner_pid" 2>/dev/null
wait "$runner_pid"
status=$?

run_failed=""
if [ -z "$made" ]; then
    echo "(the runner had filled its cache before it could be stopped: a stop during that was not checked)"
else
    echo "(stopped the runner while it made $(basename "$made"))"
    [ "$status" -eq 143 ] || { echo "stopped by SIGTERM: expected exit status 143, got $status"; run_failed=yes; }
    grep -q "^run-in-vm: .*interrupted" "$work/stderr" || { echo "stopped: the runner did not say it was interrupted"; run_failed=yes; }
    [ ! -e "$made" ] || { echo "stopped while making $(basename "$made") ($(stat -c %s "$made") bytes): it stayed in the cache"; run_failed=yes; }
fi
[ ! -e "$cache/vmlinux-0.0.0-0-amd64-0123456789abcdef.$gone_pid" ] ||
    { echo "the part-made kernel of a run that is gone stayed in the cache"; run_failed=yes; }
[ -e "$cache/vmlinux-0.0.0-0-amd64-0123456789abcdef.$$" ] ||
    { echo "the part-made kernel of a run that lives was removed"; run_failed=yes; }
[ -z "$run_failed" ] || { ls -l "$cache"; show_output; failed=yes; }

[ -z "$failed" ] || exit 1
echo "The command saw the sequencer and its output and status came back, also when interrupted; a stopped runner left nothing part-made in its cache."
