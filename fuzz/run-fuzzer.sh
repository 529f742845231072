#!/usr/bin/env bash
# Runs the mapping-file fuzzer for a bounded time from the seed corpus. A crash,
# a leak or an input that takes longer than 10 s fails the run; the input that
# did it is kept and named.
set -euo pipefail

fuzzer=$(readlink -f "$1")
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/kivra-fuzz-run-XXXXXX)
trap 'rm -rf "$work/corpus"' EXIT
mkdir "$work/corpus"

# Seeds: the malformed files here, and the default maps the tests compare against.
if "$fuzzer" "$work/corpus" "$here/corpus" "$here/../tests/data/mapping" \
        -dict="$here/mapping.dict" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/" -print_final_stats=1 >"$work/fuzz.log" 2>&1; then
    tail -n 12 "$work/fuzz.log"
    rm -rf "$work"
    echo "fuzzing: no crash, leak or hang in ${seconds} s"
else
    tail -n 60 "$work/fuzz.log"
    echo "fuzzing FAILED; the offending input is kept in $work"
    exit 1
fi
