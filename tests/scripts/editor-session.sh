# What the smoke tests of the real editor share, sourced with the editor's
# path as $1: a virtual display of their own, a temporary home, the editor run
# as an unprivileged user when the tests run as root (as root it would write
# its all-users settings under /var), and the helpers that start it, find its
# windows and wait for its clean exit. A sourcing script may set patience: how
# many seconds each wait may last (an emulated machine is many times slower
# than this one, and each call of xdotool costs it a noticeable time).
editor=$(readlink -f "$1")
patience=${patience:-15}
title="Dolmar/Dolmet Kivra V1.14"
work=$(mktemp -d /tmp/kivra-smoke-XXXXXX)
chmod 755 "$work"
mkdir -m 700 "$work/home" "$work/run"
convert=/usr/bin/convert

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(runuser -u nobody --)
    chown nobody "$work/home" "$work/run"
    # The build folder may sit where that user cannot reach (below /root, say).
    cp "$editor" "$work/Kivra"
    chmod 755 "$work/Kivra"
    editor="$work/Kivra"
fi

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual-display.sh"
editor_pid=""
editor_process=""
cleanup() {
    [ -n "$editor_process" ] && kill -9 "$editor_process" 2>/dev/null || true
    [ -n "$editor_pid" ] && kill -9 "$editor_pid" 2>/dev/null || true
    stop_virtual_display
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# -ac: the editor runs as another user when the tests run as root.
start_virtual_display -screen 0 1280x1024x24 -ac || { echo "FAIL: no virtual display"; exit 1; }
# True until the patience counted from its start has run out.
waiting_since() { [ "$SECONDS" -lt $(($1 + patience)) ]; }

# Under the sanitizers, the X and font libraries that JUCE loads and unloads at
# run time leave allocations that LeakSanitizer can no longer attribute; the
# unit tests check our own code for leaks.
asan_options="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
editor_command=("${as_user[@]}" env HOME="$work/home" XDG_RUNTIME_DIR="$work/run" DISPLAY="$DISPLAY"
                ASAN_OPTIONS="$asan_options" "$editor")

fail() { echo "FAIL: $*"; [ -f "$work/editor.log" ] && cat "$work/editor.log"; exit 1; }

find_window() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true; }
wait_for_window() {
    local found="" started=$SECONDS
    while waiting_since "$started"; do
        found=$(find_window "$1")
        [ -n "$found" ] && break
        sleep 0.1
    done
    echo "$found"
}
wait_until_gone() {
    local started=$SECONDS
    while waiting_since "$started"; do [ -z "$(find_window "$1")" ] && return 0; sleep 0.1; done
    return 1
}
# Darkest and brightest grey level (0..255) of a rectangle of $work/<shot>.png:
# text shows as dark pixels on a light label, and as light pixels in a dark box.
darkest() { "$convert" "$work/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:int(255*minima)]' info:; }
brightest() { "$convert" "$work/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:int(255*maxima)]' info:; }
still_running() { kill -0 "$editor_pid" 2>/dev/null || fail "$1 ended the editor"; }
key() { xdotool windowfocus --sync "$1" 2>/dev/null || true; xdotool key "$2"; sleep 0.5; }

# Starts a window manager (openbox unless named), which keeps its configuration
# and cache in the temporary folder and is stopped on exit, and waits until it runs.
start_window_manager() {
    local window_manager=${1:-openbox}
    mkdir "$work/wm"
    HOME="$work/wm" XDG_CONFIG_HOME="$work/wm" XDG_CACHE_HOME="$work/wm" XDG_DATA_HOME="$work/wm" \
        "$window_manager" >"$work/wm.log" 2>&1 &
    wm_pid=$!
    trap 'kill "$wm_pid" 2>/dev/null || true; cleanup' EXIT
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || { cat "$work/wm.log"; fail "$window_manager did not start"; }
}

# Arguments, if any, are a command that starts the editor, such as nohup.
start_editor() {
    "$@" "${editor_command[@]}" >"$work/editor.log" 2>&1 &
    editor_pid=$!
    window=$(wait_for_window "$title")
    [ -n "$window" ] || fail "no window titled '$title'"
    # The editor itself, for signals: as root the started process is runuser.
    editor_process=$(xdotool getwindowpid "$window")
    sleep 1 # the first paint
}

# The "Firmware Upgrade" button: (35, 637), 94 x 23 in the 1010 x 670 view.
click_firmware_button() { xdotool mousemove --window "$window" 82 648 click 1; }

# Opens the upgrade wizard as a person would: the button, then OK (Return) in
# the warning box. Needs warning_title and wizard_title; sets warning and wizard.
open_wizard() {
    click_firmware_button
    warning=$(wait_for_window "$warning_title")
    [ -n "$warning" ] || fail "no box titled '$warning_title' after a click on Firmware Upgrade"
    key "$warning" Return
    wizard=$(wait_for_window "$wizard_title")
    [ -n "$wizard" ] || fail "no window titled '$wizard_title' after OK"
}

# Waits for the editor to end; its exit status must be 0.
expect_clean_exit() {
    local started=$SECONDS
    while waiting_since "$started"; do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$editor_pid" 2>/dev/null && fail "$1 did not quit the editor"
    local status=0
    wait "$editor_pid" || status=$?
    editor_pid=""
    [ "$status" -eq 0 ] || fail "after $1 the editor exited with $status"
}

