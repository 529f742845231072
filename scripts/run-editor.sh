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
source scripts/virtual-display.sh

stop_all() {
    trap - INT TERM HUP EXIT
    if [ -n "$editor_pid" ] && kill -0 "$editor_pid" 2>/dev/null; then
        kill -TERM "$editor_pid" 2>/dev/null || true
        wait "$editor_pid" 2>/dev/null || true
    fi
    stop_virtual_display
}
trap 'stop_all; exit 130' INT
trap 'stop_all; exit 143' TERM HUP
trap stop_all EXIT

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting the editor on a virtual display (Xvfb); it will not be visible."
    start_virtual_display -screen 0 1280x1024x24
fi

"$editor" &
editor_pid=$!
status=0
wait "$editor_pid" || status=$?
editor_pid=""
exit "$status"
