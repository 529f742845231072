#!/usr/bin/env bash
# Uses the real editor as a person would (see editor-session.sh): its window and
# what it shows, a strip button, R, the badge to the extender and back, the About
# box from the logo, a second start and a burst of starts while it is busy (all
# must hand over), Escape, kill -9, SIGTERM, and SIGHUP with and without nohup.
# Every quit must be clean and leave a settings file holding "modes".
# Screenshots go to $KIVRA_SCREENSHOT_DIR if set.
set -euo pipefail

about_title="About Dolmar/Dolmet Kivra"
source "$(dirname "$0")/editor-session.sh"

settings="$work/home/Zevosonic/Dolmaris/Dolmaris.conf"
if [ "$(id -u)" -ne 0 ] && [ -w /var ]; then settings="/var/Zevosonic/Dolmaris/Dolmaris.conf"; fi

# The settings file is JUCE's compressed binary form: "CPRP", then zlib data
# holding the number of values and each key and value as text.
expect_settings_with_modes() {
    [ -s "$settings" ] || fail "after $1 there is no settings file at $settings"
    python3 - "$settings" <<'EOF' || fail "after $1 the settings file holds no \"modes\" key with the modes tree"
import sys, zlib
data = open(sys.argv[1], "rb").read()
body = zlib.decompress(data[4:]) if data[:4] == b"CPRP" else b""
sys.exit(0 if b"\0modes\0<modes current=" in body else 1)
EOF
}

# The window manager-less server may answer a geometry query with an error
# while the window is being resized, so ask again for a short while.
expect_size() {
    local WIDTH=0 HEIGHT=0 geometry
    for _ in $(seq 50); do
        if geometry=$(xdotool getwindowgeometry --shell "$window" 2>/dev/null); then
            eval "$geometry"
            [ "$WIDTH" -eq "$1" ] && [ "$HEIGHT" -eq 670 ] && return 0
        fi
        sleep 0.1
    done
    fail "$2: expected a $1 x 670 window, got ${WIDTH}x${HEIGHT}"
}

shot() {
    /usr/bin/import -window "$window" "$work/$1.png"
    if [ -n "${KIVRA_SCREENSHOT_DIR:-}" ]; then cp "$work/$1.png" "$KIVRA_SCREENSHOT_DIR/editor-$1.png"; fi
}
pixel() { "$convert" "$work/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
# shot x y colour what
expect_pixel() { [ "$(pixel "$1" "$2" "$3")" = "$4" ] || fail "$1: $5 at ($2, $3) should be #$4, is #$(pixel "$1" "$2" "$3")"; }
expect_not_pixel() { [ "$(pixel "$1" "$2" "$3")" != "$4" ] || fail "$1: $5 at ($2, $3) should not be #$4"; }

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.5; }

background=EEEEEE panel=C8C8C8 control=222222 badge=23272D
rec1_x=49 rec1_y=238                    # REC of strip 1: mixer (0, 66) + (24, 160), 51 x 25
badge_x=369 badge_y=51                  # inside both badges: x from (556 - w) / 2 + 92, y from 24
logo_x=70 logo_y=40                     # inside the logo's zone: x 55..141, y 33..57
message_box=150x16+540+608              # the text of the message box (535, 605), 200 x 22

#-----------------------------------------------------------------------------
echo "--- the window and what it shows"
start_editor
expect_size 1010 "at start"
shot full
expect_pixel full 5 5 "$background" "the view's background"
expect_pixel full 500 560 "$panel" "the unit's panel"
expect_pixel full 300 55 "$badge" "the full unit's badge"
expect_pixel full 280 55 "$panel" "the panel left of the badge"
expect_pixel full 27 238 "$control" "the REC button of strip 1"
expect_pixel full 700 74 "$control" "a button of the control area"
[ "$(darkest full 200x20+25+586)" -lt 60 ] || fail "no \"Control Mode\" text over the mode box"
[ "$(darkest full 200x20+25+560)" -ge 200 ] || fail "something dark below the panel, where the label row is empty"
[ "$(brightest full "$message_box")" -lt 80 ] || fail "the message box shows text before a control is selected"

echo "--- a click on a strip button selects it and fills the boxes"
click "$rec1_x" "$rec1_y"
shot selected
expect_not_pixel selected 27 238 "$control" "the selected REC button"
[ "$(brightest selected "$message_box")" -ge 120 ] || fail "the message box shows no text after the click"

echo "--- R resets the map: the editor stays, the selection and its text too"
key "$window" r
still_running "R"
shot after-r
expect_not_pixel after-r 27 238 "$control" "the REC button still selected"
[ "$(brightest after-r "$message_box")" -ge 120 ] || fail "the message box lost its text after R"

echo "--- the badge switches to the extender and back"
click "$badge_x" "$badge_y"
expect_size 760 "after a badge click"
shot extender
expect_pixel extender 455 55 "$badge" "the extender's wider badge"
expect_pixel extender 700 74 "$panel" "the panel where the control area was"
expect_pixel extender 27 238 "$(pixel selected 27 238)" "the selected REC button"
click "$badge_x" "$badge_y"
expect_size 1010 "after a second badge click"

echo "--- the logo opens the About box; Escape closes it"
xdotool mousemove --window "$window" "$logo_x" "$logo_y"; sleep 0.3
click "$logo_x" "$logo_y"
about=$(wait_for_window "$about_title")
[ -n "$about" ] || fail "no window titled '$about_title' after a click on the logo"
key "$about" Escape
wait_until_gone "$about_title" || fail "Escape did not close the About box"
still_running "closing the About box"

echo "--- a second copy hands over, quits at once and the first window gets the focus"
[ "$(xdotool getwindowfocus)" != "$window" ] || fail "the main window has the focus already; the check would prove nothing"
status=0
started=$(date +%s%N)
timeout 20 "${editor_command[@]}" >"$work/second.log" 2>&1 || status=$?
echo "the second copy ran $(( ($(date +%s%N) - started) / 1000000 )) ms"
[ "$status" -eq 0 ] || { cat "$work/second.log"; fail "the second copy exited with $status"; }
sleep 0.3
[ "$(xdotool search --name "^${title}\$" | wc -l)" -eq 1 ] || fail "a second window opened"
[ "$(xdotool getwindowfocus)" = "$window" ] || fail "the first window did not get the focus"

echo "--- a burst of 50 starts during a 3 s busy spell hands over, and the editor stays reachable"
# Stopped, the editor answers nothing while the starts pile up in its queue; a
# wrapping runuser stops with it and must go on too.
kill -STOP "$editor_process"
burst=()
for _ in $(seq 50); do timeout 20 "${editor_command[@]}" >/dev/null 2>&1 & burst+=($!); done
sleep 3
kill -CONT "$editor_process" "$editor_pid"
for start in "${burst[@]}"; do wait "$start" || fail "a start of the burst exited with $? instead of handing over"; done
timeout 20 "${editor_command[@]}" >/dev/null 2>&1 || fail "after the burst a start did not hand over"
[ "$(xdotool search --name "^${title}\$" | wc -l)" -eq 1 ] || fail "the burst left more than one window"

echo "--- Escape quits cleanly and writes the settings"
key "$window" a
still_running "a plain key"
key "$window" Escape
expect_clean_exit "Escape"
expect_settings_with_modes "Escape"

echo "--- after kill -9 the editor starts again, and quits on SIGTERM writing its settings"
start_editor
kill -9 "$editor_process"
wait "$editor_pid" 2>/dev/null || true
editor_pid=""
rm -f "$settings"
start_editor
expect_size 1010 "after a restart"
kill -TERM "$editor_process"
expect_clean_exit "SIGTERM"
expect_settings_with_modes "SIGTERM"

echo "--- started under nohup the editor outlives a SIGHUP; started without, a SIGHUP quits it cleanly"
start_editor nohup
# Bit 0 of the mask is SIGHUP, which nohup set to be ignored and the editor must leave so.
(( 0x$(awk '/^SigIgn:/ { print $2 }' "/proc/$editor_process/status") & 1 )) \
    || fail "the editor under nohup no longer ignores SIGHUP"
kill -HUP "$editor_process"
sleep 1
still_running "SIGHUP under nohup"
kill -TERM "$editor_process"
expect_clean_exit "SIGTERM under nohup"
rm -f "$settings"
start_editor
kill -HUP "$editor_process"
expect_clean_exit "SIGHUP"
expect_settings_with_modes "SIGHUP"

echo "PASS: the editor shows its view, follows clicks and keys, hands a second start over, and quits cleanly"
