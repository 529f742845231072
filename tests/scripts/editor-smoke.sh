#!/usr/bin/env bash
# Starts the real editor as a person would: in a window on a virtual display,
# found by its title, photographed, sent a key, and quit with Escape. It must
# exit cleanly and leave its settings file behind.
#
# As root the editor would write its all-users settings under /var, so it runs
# as an unprivileged user here; its settings then go to the user's file, in a
# temporary home folder.
set -euo pipefail

editor=$(readlink -f "$1")
title="Dolmar/Dolmet Kivra V1.14"
work=$(mktemp -d /tmp/kivra-editor-smoke-XXXXXX)
chmod 777 "$work"
mkdir -m 777 "$work/home"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(runuser -u nobody --)
    # The build folder may sit where that user cannot reach (below /root, say).
    cp "$editor" "$work/Kivra"
    chmod 755 "$work/Kivra"
    editor="$work/Kivra"
fi

display=90
while [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb_pid=$!
editor_pid=""
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 1

# Under the sanitizers, the X and font libraries that JUCE loads and unloads at
# run time leave allocations that LeakSanitizer can no longer attribute; the
# unit tests check our own code for leaks.
asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

"${as_user[@]}" env HOME="$work/home" DISPLAY="$DISPLAY" ASAN_OPTIONS="$asan_options" "$editor" >"$work/editor.log" 2>&1 &
editor_pid=$!

window=""
for _ in $(seq 100); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "FAIL: no window titled '$title'"; cat "$work/editor.log"; exit 1
fi

sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window $window: ${WIDTH}x${HEIGHT}"
if [ "$WIDTH" -ne 1010 ] || [ "$HEIGHT" -lt 670 ]; then
    echo "FAIL: expected the 1010 x 670 view, got ${WIDTH}x${HEIGHT}"; exit 1
fi

shot="$work/editor.png"
/usr/bin/import -window root "$shot"
if [ -n "${KIVRA_SCREENSHOT_DIR:-}" ]; then cp "$shot" "$KIVRA_SCREENSHOT_DIR/"; fi
colours=$(/usr/bin/convert "$shot" -format "%k" info:)
echo "screenshot: $colours colours"
if [ "$colours" -lt 2 ]; then echo "FAIL: the screen is blank"; exit 1; fi

# Any key but Escape is passed over; Escape quits.
# No window manager runs here: give the window the focus and type into it.
xdotool windowfocus "$window" 2>/dev/null || true
xdotool key a
sleep 0.3
kill -0 "$editor_pid" || { echo "FAIL: a plain key ended the editor"; exit 1; }
xdotool key Escape

status=0
for _ in $(seq 100); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$editor_pid" 2>/dev/null; then echo "FAIL: Escape did not quit the editor"; exit 1; fi
wait "$editor_pid" || status=$?
editor_pid=""
if [ "$status" -ne 0 ]; then echo "FAIL: the editor exited with $status"; cat "$work/editor.log"; exit 1; fi

settings="$work/home/Zevosonic/Dolmaris/Dolmaris.conf"
if [ "$(id -u)" -ne 0 ] && [ -w /var ]; then settings="/var/Zevosonic/Dolmaris/Dolmaris.conf"; fi
if [ ! -s "$settings" ]; then echo "FAIL: no settings file at $settings"; ls -laR "$work/home"; exit 1; fi
echo "PASS: window shown, Escape quit cleanly, settings written to $settings"
