#!/usr/bin/env bash
# Runs a fuzzer (the mapping-file loader's or the firmware catalogue reader's)
# for a bounded time from its seed corpus, and prints how many inputs it tried.
# A crash, a leak or an input that takes longer than 10 s fails the run; the
# inputs that did it are kept and named.
#
#   run-fuzzer.sh FUZZER [SECONDS] [libFuzzer options...]
#
# The default is the test command's short run of 60 s in one process; a longer
# run on two cores, going on past each finding to collect them all:
#   run-fuzzer.sh FUZZER 1800 -fork=2 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1
set -euo pipefail

fuzzer=$(readlink -f "$1")
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
here=$(cd "$(dirname "$0")" && pwd)

# Everything of this run, the fuzzer's own folders and fork mode's files
# included, lives in one fresh folder that goes when the run ends.
work=$(mktemp -d "${TMPDIR:-/tmp}/kivra-fuzz-run-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/findings"

# Seeds: the hostile files here, and the real documents the tests read (the
# default maps, or the test server's catalogues).
case "$(basename "$fuzzer")" in
    CatalogueFuzzer)
        seeds=("$here/catalogue-corpus")
        dictionary="$here/catalogue.dict" ;;
    *)
        seeds=("$here/corpus" "$here/../tests/data/mapping")
        dictionary="$here/mapping.dict" ;;
esac

status=0
(cd "$work" && TMPDIR="$work" "$fuzzer" "$work/corpus" "${seeds[@]}" \
        -dict="$dictionary" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/findings/" -print_final_stats=1 "$@") >"$work/fuzz.log" 2>&1 || status=$?

# One process reports "Done N runs"; fork mode reports its running total on
# its "#N" lines.
tried=$(grep -oE '^Done [0-9]+ runs' "$work/fuzz.log" | tail -n 1 | grep -oE '[0-9]+' || true)
if [ -z "$tried" ]; then
    tried=$(grep -oE '^#[0-9]+' "$work/fuzz.log" | tail -n 1 | tr -d '#' || true)
fi

if [ "$status" -eq 0 ] && [ -z "$(ls -A "$work/findings")" ]; then
    tail -n 12 "$work/fuzz.log"
    echo "fuzzing: no crash, leak or hang in ${seconds} s; inputs tried: ${tried:-unknown}"
else
    tail -n 60 "$work/fuzz.log"
    kept=$(mktemp -d "${TMPDIR:-/tmp}/kivra-fuzz-findings-XXXXXX")
    cp "$work/fuzz.log" "$kept/"
    cp -r "$work/findings/." "$kept/"
    echo "fuzzing FAILED after ${tried:-unknown} inputs; the log and the offending inputs are kept in $kept"
    exit 1
fi
