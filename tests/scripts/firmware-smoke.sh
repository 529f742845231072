#!/usr/bin/env bash
# Opens the firmware upgrader from the real editor as a person would (see
# editor-session.sh): "Firmware Upgrade", the warning box answered with Cancel
# (nothing opens) and then OK, the 514 x 491 wizard photographed and closed with
# Escape, and the editor's clean quit. The photograph goes to $KIVRA_SCREENSHOT_DIR if set.
set -euo pipefail

warning_title="Firmware Upgrader about to start"
wizard_title="Firmware Upgrade"
source "$(dirname "$0")/editor-session.sh"

start_editor

echo "--- the button asks first; Cancel leaves the editor as it was"
click_firmware_button
warning=$(wait_for_window "$warning_title")
[ -n "$warning" ] || fail "no box titled '$warning_title' after a click on Firmware Upgrade"
key "$warning" Escape
wait_until_gone "$warning_title" || fail "Cancel did not close the warning box"
still_running "Cancel in the warning box"
[ -z "$(find_window "$wizard_title")" ] || fail "Cancel opened the wizard all the same"

echo "--- OK opens the wizard at 514 x 491"
open_wizard
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wizard")"
[ "$WIDTH" -eq 514 ] && [ "$HEIGHT" -eq 491 ] || fail "the wizard's window is ${WIDTH}x${HEIGHT}, not 514x491"

shot="$work/firmware-wizard.png"
/usr/bin/import -window "$wizard" "$shot"
if [ -n "${KIVRA_SCREENSHOT_DIR:-}" ]; then cp "$shot" "$KIVRA_SCREENSHOT_DIR/"; fi
colours=$("$convert" "$shot" -format "%k" info:)
[ "$colours" -ge 8 ] || fail "the wizard's window shows $colours colours: nothing drawn"
# Black text in the Step 1 description (93, 130), 407 x 50.
[ "$(darkest firmware-wizard 407x50+93+130)" -lt 60 ] || fail "no text where the first step's description belongs"

echo "--- Escape closes the wizard and the editor goes on"
key "$wizard" Escape
wait_until_gone "$wizard_title" || fail "Escape did not close the wizard"
still_running "closing the wizard"
[ -n "$(find_window "$title")" ] || fail "the editor's window went with the wizard"

echo "--- Escape quits the editor cleanly"
key "$window" Escape
expect_clean_exit "Escape"

echo "PASS: warning box, Cancel, OK, the 514 x 491 wizard, its close and the editor's clean quit"
