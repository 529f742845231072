#!/usr/bin/env bash
# Start-up benchmark: starts a bare JUCE window (KivraBareWindow) and the
# editor on a virtual display, alternately, and measures for each start the
# time from exec to its window being mapped, and its resident memory once the
# window is shown. Prints the medians and the ratio editor / bare program
# (the goal is at most 1.2 for both). A figure, not a test: nothing fails on it.
#
#   bench/startup-bench.sh [build folder, default build] [rounds, default 10]
set -euo pipefail

build=$(readlink -f "${1:-build}")
rounds=${2:-10}
editor="$build/app/KivraEditor_artefacts/Release/Kivra"
bare="$build/bench/KivraBareWindow_artefacts/Release/KivraBareWindow"
for program in "$editor" "$bare"; do
    [ -x "$program" ] || { echo "missing $program: build the targets KivraEditor and KivraBareWindow first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kivra-startup-bench-XXXXXX)
mkdir -m 700 "$work/home" "$work/run"
source "$(dirname "$0")/../scripts/virtual-display.sh"
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null || true
    stop_virtual_display
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_virtual_display -screen 0 1280x1024x24
# JUCE writes ~/.cache and the editor its settings: into the temporary home.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"

# One start: prints "<ms to mapped> <resident KiB>".
measure() { # program title
    local started mapped
    started=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    program_pid=$!
    until xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1; do
        kill -0 "$program_pid" 2>/dev/null || { echo "$1 ended before its window showed" >&2; exit 1; }
    done
    mapped=$(date +%s%N)
    sleep 1 # the first paint, and whatever the program does right after showing
    local rss
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$program_pid/status")
    kill -TERM "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
    echo "$(( (mapped - started) / 1000000 )) $rss"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A first start of each warms the caches (fonts, libraries) and is not counted.
measure "$bare" "Kivra Bare Window" >/dev/null
measure "$editor" "Dolmar/Dolmet Kivra V1.14" >/dev/null

: >"$work/bare" && : >"$work/editor"
for round in $(seq "$rounds"); do
    measure "$bare" "Kivra Bare Window" >>"$work/bare"
    measure "$editor" "Dolmar/Dolmet Kivra V1.14" >>"$work/editor"
    echo "round $round: bare $(tail -n 1 "$work/bare"), editor $(tail -n 1 "$work/editor") (ms, KiB)"
done

bare_ms=$(cut -d' ' -f1 "$work/bare" | median);   editor_ms=$(cut -d' ' -f1 "$work/editor" | median)
bare_kib=$(cut -d' ' -f2 "$work/bare" | median);  editor_kib=$(cut -d' ' -f2 "$work/editor" | median)
echo
echo "median of $rounds starts     bare JUCE window    editor    editor / bare (goal <= 1.2)"
awk -v b="$bare_ms" -v e="$editor_ms" 'BEGIN { printf "exec to window mapped      %10s ms  %8s ms   %.2f\n", b, e, e / b }'
awk -v b="$bare_kib" -v e="$editor_kib" 'BEGIN { printf "resident memory once shown %10s KiB %8s KiB  %.2f\n", b, e, e / b }'
