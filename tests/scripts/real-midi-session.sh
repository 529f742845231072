#!/usr/bin/env bash
# Uses the real editor as a person would (see editor-session.sh) against the
# simulated unit as a client of a real ALSA sequencer. It runs inside the test
# machine of tests/vm/run-in-vm.sh, where there is a sequencer:
#
#   real-midi-session.sh EDITOR UNIT EXPECTED-UPLOAD
#
# UNIT is kivra_alsa_unit; EXPECTED-UPLOAD is the upload of the editor's first
# mode (tests/data/upload), whose pauses are not messages. In one editor run:
#  1. the unit is plugged in after the editor started; Connect offers it, it is
#     chosen from the box, and Send Data brings it exactly the expected
#     messages, after which the "Send Mapping" box's message is as short as
#     "Done!" (its text is measured in pixels, not read);
#  2. the unit is unplugged during Send Data: the box's message is several
#     times longer (a failure text), and the editor still answers clicks and keys;
#  3. a unit plugged in again is flashed through Firmware Upgrade: Connect,
#     Erase, Activate, Load File (manual mode, the file typed into the file
#     chooser) and Upgrade; its image equals the file padded to whole blocks.
# Then the wizard closes and the editor quits with Escape, exiting 0. The
# machine is emulated and slow: every wait is long, and nothing is timed.
set -euo pipefail

# The emulated machine, with no window manager, now and then loses an input
# event (a click or a key that the editor never sees, about one run in six;
# a lost click is clicked again below, a lost key is not). A failed session
# is run once more from the start, with its failure left in the log above.
# A test that passes shows no log: where KIVRA_SESSION_FIRST_FAILURE names a
# file, the first run's failure (its step and what went wrong) is written
# there too, for the test run to show, and no such file means no failure.
if [ -z "${KIVRA_SESSION_RUN:-}" ]; then
    [ -z "${KIVRA_SESSION_FIRST_FAILURE:-}" ] || rm -f -- "$KIVRA_SESSION_FIRST_FAILURE"
    KIVRA_SESSION_RUN=1 "$0" "$@" && exit 0
    echo "--- the session failed (above); once more from the start"
    KIVRA_SESSION_RUN=2 exec "$0" "$@"
fi

unit_program=$(readlink -f "$2")
expected_upload=$(readlink -f "$3")
unit_name="Dolm AR"
upgrade_port="Zevo firmware upgrade"
upload_title="Send Mapping"
warning_title="Firmware Upgrader about to start"
wizard_title="Firmware Upgrade"
port_chooser_title="Choose Your Zevo Device"
file_chooser_title="Choose The Firmware File"
patience=60 # seconds for every window to show or go
source "$(dirname "$0")/editor-session.sh"

unit_pid=""
unit_number=0
stop_unit_now() { [ -n "$unit_pid" ] && kill -9 "$unit_pid" 2>/dev/null || true; }
current_step="the start"
failure=""
# Any end but success counts, also a command that failed under set -e.
note_first_failure() {
    [ "$1" -ne 0 ] && [ "$KIVRA_SESSION_RUN" = 1 ] && [ -n "${KIVRA_SESSION_FIRST_FAILURE:-}" ] || return 0
    echo "$current_step: ${failure:-a command failed with status $1}" >"$KIVRA_SESSION_FIRST_FAILURE" || true
}
trap 'note_first_failure $?; stop_unit_now; cleanup' EXIT

fail() {
    failure=$*
    echo "FAIL: $*"
    if [ -n "${KIVRA_SCREENSHOT_DIR:-}" ]; then /usr/bin/import -window root "$KIVRA_SCREENSHOT_DIR/real-midi-failure.png" || true; fi
    [ -f "$work/editor.log" ] && sed 's/^/editor: /' "$work/editor.log"
    for log in "$work"/unit-*.log; do [ -f "$log" ] && sed "s|^|$(basename "$log"): |" "$log"; done
    exit 1
}

[ -c /dev/snd/seq ] || fail "no ALSA sequencer here: run this through tests/vm/run-in-vm.sh"
# The test machine's own device node, root-only as its kernel makes it; the
# editor runs as an unprivileged user.
if [ -n "${RUN_IN_VM_JOB:-}" ] && [ "$(id -u)" -eq 0 ]; then chmod a+rw /dev/snd/seq; fi

# Plugs a unit in: its port exists once its ready file names it.
plug_in_unit() {
    unit_number=$((unit_number + 1))
    record="$work/record-$unit_number"
    image="$work/image-$unit_number"
    ready="$work/ready-$unit_number"
    "$unit_program" --name "$unit_name" --ready "$ready" --record "$record" --image "$image" \
        >"$work/unit-$unit_number.log" 2>&1 &
    unit_pid=$!
    wait_for_unit_port "$unit_name" || fail "the unit never showed its port"
}
wait_for_unit_port() {
    local started=$SECONDS
    while waiting_since "$started"; do
        [ "$(cat "$ready" 2>/dev/null)" = "$1" ] && return 0
        kill -0 "$unit_pid" 2>/dev/null || fail "the unit ended before showing its port '$1'"
        sleep 0.1
    done
    return 1
}
# Unplugs the unit; it must have seen nothing wrong (its status 3 says it did).
unplug_unit() {
    kill -TERM "$unit_pid" 2>/dev/null || true
    local status=0
    wait "$unit_pid" || status=$?
    unit_pid=""
    [ "$status" -eq 0 ] || fail "the unit ended with status $status"
}
ready_file_names() { [ "$(cat "$ready" 2>/dev/null)" = "$1" ]; }
received_more_than() { [ "$(lines_in "$record")" -gt "$1" ]; }
lines_in() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }

# The editor's own windows that are shown: its menus have no title to find them by.
shown_windows() { xdotool search --onlyvisible --pid "$editor_process" 2>/dev/null | wc -l || true; }
has_windows() { [ "$(shown_windows)" -eq "$1" ]; }
wait_for_windows() {
    local started=$SECONDS
    while waiting_since "$started"; do has_windows "$1" && return 0; sleep 0.1; done
    return 1
}
# A window found by its title may not be mapped or drawn yet, and a click then
# lands on what lies below: wait until it shows some colours, and a moment more.
wait_for_drawn_window() {
    local found="" started=$SECONDS
    while waiting_since "$started"; do
        found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$found" ] && /usr/bin/import -window "$found" "$work/drawn.png" 2>/dev/null &&
            [ "$("$convert" "$work/drawn.png" -format %k info:)" -ge 4 ]; then
            sleep 1
            echo "$found"
            return 0
        fi
        sleep 0.3
    done
}
# Whether a window comes to be titled $2.
gets_title() {
    local started=$SECONDS
    while waiting_since "$started"; do
        [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ] && return 0
        sleep 0.3
    done
    return 1
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.5; }
# In the emulated machine, with no window manager, a click is now and then
# lost: the pointer moved (the button lit up) but nothing was pressed. As a
# person would, click again when a click has brought nothing after a while;
# the log says so. Only for clicks whose effect is seen and that are harmless
# to repeat once it has come. Usage: click_until WINDOW X Y CONDITION...
click_until() {
    local window=$1 x=$2 y=$3 attempt started
    shift 3
    for attempt in 1 2 3; do
        click "$window" "$x" "$y"
        started=$SECONDS
        while [ "$SECONDS" -lt $((started + 15)) ]; do "$@" && return 0; sleep 0.2; done
        echo "(a click at $x, $y brought nothing after 15 s: clicking again)"
    done
    "$@"
}
shows() { [ -n "$(find_window "$1")" ]; }
gone() { [ -z "$(find_window "$1")" ]; }
shot() { /usr/bin/import -window "$1" "$work/$2.png"; }
# The width in pixels of the light text in a rectangle of a shot.
text_width() {
    "$convert" "$work/$1.png" -crop "$2" +repage -colorspace Gray -threshold 60% -trim -format '%w' info:
}

# The choosers' dialogs (300 x 200 as laid out) may be given more room than
# that: their box sits across the middle, their OK button 160 px left of the
# right edge and 28 px above the bottom.
chooser_ok() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    click "$1" $((WIDTH - 160)) $((HEIGHT - 28))
}
# The same button when it should close the chooser titled $2.
chooser_ok_closes() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    click_until "$1" $((WIDTH - 160)) $((HEIGHT - 28)) gone "$2"
}

# A chooser's box gets the last port of its list, picked from its menu with
# the keys: a unit's client comes after the system's.
choose_last_port() {
    local dialog=$1 windows
    windows=$(shown_windows)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    click_until "$dialog" $((WIDTH / 2)) $((HEIGHT / 2 - 12)) has_windows $((windows + 1)) ||
        fail "the port box of '$2' opened no menu"
    xdotool key Up; sleep 0.3
    xdotool key Return
    wait_for_windows "$windows" || fail "the menu of '$2' did not close"
}

# The box of a finished Send Data: how wide its message is (into message_width),
# then closed with Return.
measure_upload_message() {
    local box
    box=$(wait_for_drawn_window "$upload_title")
    [ -n "$box" ] || fail "no '$upload_title' box after Send Data"
    sleep 1 # its first paint
    shot "$box" "$1"
    eval "$(xdotool getwindowgeometry --shell "$box")"
    # The message line, right of the icon and below the title.
    message_width=$(text_width "$1" "$((WIDTH - 70))x30+70+58")
    key "$box" Return
    wait_until_gone "$upload_title" || fail "Return did not close the '$upload_title' box"
}

# Clicks before the view is drawn may be lost: drawn, its REC button of strip 1 is dark.
wait_for_first_paint() {
    local started=$SECONDS
    while waiting_since "$started"; do
        shot "$window" first-paint
        [ "$("$convert" "$work/first-paint.png" -format '%[hex:p{27,238}]' info: | cut -c1-6)" = 222222 ] && return 0
        sleep 0.5
    done
    fail "the editor's view was not drawn"
}

# A step's heading, with the time so far: a figure for whoever reads the log.
step() { current_step=$*; echo "--- $* (after $SECONDS s)"; }

# Buttons of the 1010 x 670 view, and of the 514 x 491 wizard (step i at 17 + 96 i, 92).
connect_x=360 send_x=466 firmware_x=82 buttons_y=648
mode_box_x=125 mode_box_y=616
step_y=102
step_x() { echo $((62 + 96 * $1)); }

#-----------------------------------------------------------------------------
step "the editor starts with no unit; Connect offers nothing"
start_editor
wait_for_first_paint
click_until "$window" "$connect_x" "$buttons_y" shows "Select your device"
dialog=$(wait_for_drawn_window "Select your device")
[ -n "$dialog" ] || fail "no 'Select your device' dialog after Connect"
# With an empty box, Connect leaves the dialog open.
chooser_ok "$dialog"
[ -n "$(find_window "Select your device")" ] || fail "Connect with no unit offered closed the dialog"
key "$dialog" Escape
wait_until_gone "Select your device" || fail "Escape did not close the device dialog"

step "a unit plugged in now is offered at the next Connect, and Send Data reaches it"
plug_in_unit
click_until "$window" "$connect_x" "$buttons_y" shows "Select your device"
dialog=$(wait_for_drawn_window "Select your device")
[ -n "$dialog" ] || fail "no 'Select your device' dialog after the second Connect"
choose_last_port "$dialog" "Select your device"
chooser_ok_closes "$dialog" "Select your device" ||
    fail "Connect did not close the dialog: no unit of the family was chosen"
# An upload starts at once: its first messages show that the click came.
click_until "$window" "$send_x" "$buttons_y" test -s "$record"
measure_upload_message sent
done_width=$message_width
# The expected files have Windows line ends.
tr -d '\r' <"$expected_upload" | grep -v '^pause' >"$work/expected-upload"
diff "$work/expected-upload" "$record" >"$work/upload.diff" ||
    { head -n 5 "$record"; echo "..."; head -n 20 "$work/upload.diff"; fail "the unit did not receive the expected upload (its first lines above, then the difference)"; }
echo "the \"Done!\" message is $done_width pixels wide"
[ "$done_width" -gt 0 ] && [ "$done_width" -lt 80 ] ||
    fail "the box after a whole upload shows a message $done_width pixels wide, not \"Done!\""

step "the unit unplugged during Send Data: a failure text, and the editor goes on"
sent_before=$(lines_in "$record")
# Unplugged once a few messages of this upload have arrived. The whole upload
# takes about half a second, so the watch is running before the click and
# starts no program while it watches.
(
    deadline=$((SECONDS + 120))
    while [ "$SECONDS" -lt "$deadline" ]; do
        mapfile -t received <"$record"
        [ "${#received[@]}" -lt $((sent_before + 5)) ] || break
    done
    kill -TERM "$unit_pid"
) &
watch_pid=$!
click_until "$window" "$send_x" "$buttons_y" received_more_than "$sent_before"
wait "$watch_pid"
unplug_unit
measure_upload_message unplugged
failure_width=$message_width
sent_during=$(($(lines_in "$record") - sent_before))
echo "the unit received $sent_during messages before it went; the failure message is $failure_width pixels wide"
[ "$sent_during" -lt "$(wc -l <"$work/expected-upload")" ] ||
    fail "the whole upload arrived before the unit went: nothing was unplugged during Send Data"
[ "$failure_width" -gt $((3 * done_width)) ] ||
    fail "after the unit went the box shows a message $failure_width pixels wide, as short as \"Done!\""
still_running "the unplugged upload"
[ "$(find_window "$title")" = "$window" ] || fail "the editor's window cannot be found after the unplugged upload"
windows=$(shown_windows)
click "$window" "$mode_box_x" "$mode_box_y"
wait_for_windows $((windows + 1)) || fail "the mode box opened no menu after the unplugged upload"
# To the open menu: a key sent to the editor's window would quit it.
xdotool key Escape
wait_for_windows "$windows" || fail "Escape did not close the mode box's menu"
still_running "the mode box's menu"

step "a unit plugged in again is flashed through the wizard"
plug_in_unit
firmware="$work/dolm_ar_et_9.99.bin"
head -c 63487 /dev/urandom >"$firmware"
chmod 644 "$firmware"
click_until "$window" "$firmware_x" "$buttons_y" shows "$warning_title"
warning=$(wait_for_drawn_window "$warning_title")
[ -n "$warning" ] || fail "no '$warning_title' box after Firmware Upgrade"
key "$warning" Return
wizard=$(wait_for_drawn_window "$wizard_title")
[ -n "$wizard" ] || fail "no wizard after OK"
sleep 1

click_until "$wizard" "$(step_x 0)" "$step_y" shows "$port_chooser_title"
chooser=$(wait_for_drawn_window "$port_chooser_title")
[ -n "$chooser" ] || fail "no '$port_chooser_title' dialog after Connect"
choose_last_port "$chooser" "Connect"
chooser_ok_closes "$chooser" "$port_chooser_title" || fail "OK did not close the port chooser of Connect"
gets_title "$wizard" "$wizard_title: Dolmar" ||
    fail "after Connect the wizard is titled '$(xdotool getwindowname "$wizard")', not '$wizard_title: Dolmar'"

click_until "$wizard" "$(step_x 1)" "$step_y" ready_file_names "$upgrade_port"
wait_for_unit_port "$upgrade_port" || fail "Erase did not bring the unit into upgrade mode"

click_until "$wizard" "$(step_x 2)" "$step_y" shows "$port_chooser_title"
chooser=$(wait_for_drawn_window "$port_chooser_title")
[ -n "$chooser" ] || fail "no '$port_chooser_title' dialog after Activate"
choose_last_port "$chooser" "Activate"
chooser_ok_closes "$chooser" "$port_chooser_title" || fail "OK did not close the port chooser of Activate"
sleep 1
[ -z "$(find_window "Step 3")" ] || fail "Activate refused the chosen port: the last one offered was not '$upgrade_port'"

# The keys go to the wizard once its own background has been clicked.
click "$wizard" 5 300
key "$wizard" m
gets_title "$wizard" "$wizard_title [M]" ||
    fail "M did not switch the wizard to manual mode: it is titled '$(xdotool getwindowname "$wizard")'"
click_until "$wizard" "$(step_x 3)" "$step_y" shows "$file_chooser_title"
files=$(wait_for_drawn_window "$file_chooser_title")
[ -n "$files" ] || fail "no '$file_chooser_title' window after Load File"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$files")"
# Its file name box runs along the bottom, above the buttons.
click "$files" $((WIDTH / 2)) $((HEIGHT - 63))
xdotool type --delay 20 "$firmware"; sleep 0.5
# The first Return goes to the file's folder and selects it, the second opens it.
xdotool key Return; sleep 1
xdotool key Return
wait_until_gone "$file_chooser_title" || fail "the file chooser did not take $firmware"
sleep 1
[ -z "$(find_window "Load File")" ] || fail "Load File refused $firmware"

# The step buttons are disabled while the upgrade runs: a second click is lost harmlessly.
upgrade_sent_before=$(lines_in "$record")
click_until "$wizard" "$(step_x 4)" "$step_y" received_more_than "$upgrade_sent_before"
# Looked for seldom: with one processor, every look is time the upload waits for.
upgrade_started=$SECONDS
outcome=""
while [ -z "$outcome" ] && [ "$SECONDS" -lt $((upgrade_started + 600)) ]; do
    sleep 2
    outcome=$(xdotool search --name '^Firmware Upgrade (Success|Error)$' getwindowname 2>/dev/null | head -n 1 || true)
    still_running "the upgrade"
done
[ -n "$outcome" ] || fail "no box ten minutes after Upgrade"
[ "$outcome" = "Firmware Upgrade Success" ] || fail "the upgrade ended with a '$outcome' box"
success=$(find_window "$outcome")
echo "the upgrade took about $((SECONDS - upgrade_started)) s"
key "$success" Return
wait_until_gone "Firmware Upgrade Success" || fail "Return did not close the success box"

step "the wizard closes, and Escape quits the editor cleanly"
key "$wizard" Escape
closing_started=$SECONDS
while waiting_since "$closing_started"; do xdotool getwindowname "$wizard" >/dev/null 2>&1 || break; sleep 0.1; done
xdotool getwindowname "$wizard" >/dev/null 2>&1 && fail "Escape did not close the wizard"
still_running "closing the wizard"
key "$window" Escape
expect_clean_exit "Escape"
unplug_unit

cp "$firmware" "$work/expected-image"
truncate -s $(((63487 + 511) / 512 * 512)) "$work/expected-image"
cmp "$work/expected-image" "$image" || fail "the unit's image is not the file padded to whole 512-byte blocks"

echo "PASS: a unit plugged in late is offered and receives the upload, one unplugged during it gives a failure the editor survives, and the wizard flashes one"
