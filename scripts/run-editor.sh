#!/usr/bin/env bash
# Builds the editor and starts it. Without a display it starts a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target KivraEditor -j"$(nproc)"

editor=build/app/KivraEditor_artefacts/Release/Kivra
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: starting the editor on a virtual display (Xvfb); it will not be visible."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$editor"
fi
exec "$editor"
