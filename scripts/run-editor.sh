#!/usr/bin/env bash
# Builds the editor and starts it. Without a display it starts a virtual one.
# Stopping this script (Ctrl-C, kill) stops the editor the way the system
# asks a program to quit, so it writes its settings, and then the virtual
# display; nothing it started is left behind.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target KivraEditor -j"$(nproc)"

editor=build/app/KivraEditor_artefacts/Release/Kivra
editor_pid=""
xvfb_pid=""
display_file=""

stop_all() {
    trap - INT TERM HUP EXIT
    if [ -n "$editor_pid" ] && kill -0 "$editor_pid" 2>/dev/null; then
        kill -TERM "$editor_pid" 2>/dev/null || true
        wait "$editor_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill -TERM "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [ -z "$display_file" ] || rm -f "$display_file"
}
trap 'stop_all; exit 130' INT
trap 'stop_all; exit 143' TERM HUP
trap stop_all EXIT

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting the editor on a virtual display (Xvfb); it will not be visible."
    # Xvfb picks a free display and names it; in a session of its own, so a
    # Ctrl-C reaches the editor first and the display stays until it is gone.
    display_file=$(mktemp)
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
    display=$(head -n 1 "$display_file")
    rm -f "$display_file"
    if [ -z "$display" ]; then echo "The virtual display did not start." >&2; exit 1; fi
    export DISPLAY=":$display"
fi

"$editor" &
editor_pid=$!
status=0
wait "$editor_pid" || status=$?
editor_pid=""
exit "$status"
