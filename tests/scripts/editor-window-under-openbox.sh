#!/usr/bin/env bash
# Starts the real editor again and again under openbox (see editor-session.sh)
# and checks, once each start has settled, that the window is 1010 x 670 and
# that the view fills it. Openbox applies a client's resizes late; a window
# that is shown before it has its size can be left squashed, and then only
# now and then, so one start proves little. KIVRA_STARTS and
# KIVRA_WINDOW_MANAGER (icewm, say) try other counts and window managers.
set -euo pipefail

starts=${KIVRA_STARTS:-20}
window_manager=${KIVRA_WINDOW_MANAGER:-openbox}
source "$(dirname "$0")/editor-session.sh"

start_window_manager "$window_manager"

window_size() { xwininfo -id "$window" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# The "Control Mode" label sits at the view's foot: in a view squashed to the
# top of its window it is not there, whatever the window's own size.
view_fills_window() {
    local level
    level=$(/usr/bin/import -window "$window" -crop 200x20+25+586 +repage -colorspace Gray \
                -format '%[fx:int(255*minima)]' info: 2>/dev/null) || return 1
    [ "${level:-255}" -lt 60 ]
}

# A start settles within a few event-loop turns: once the view shows at full
# size, a squashing resize would already be on its way.
check_start() {
    for _ in $(seq 30); do
        [ "$(window_size)" = 1010x670 ] && view_fills_window && break
        sleep 0.1
    done
    sleep 0.3
    local size
    size=$(window_size)
    [ "$size" = 1010x670 ] || { echo "start $1: the window is $size, not 1010x670"; return 1; }
    view_fills_window || { echo "start $1: the view does not fill its window"; return 1; }
}

echo "--- $starts starts under $window_manager"
failed=0
for start in $(seq "$starts"); do
    "${editor_command[@]}" >"$work/editor.log" 2>&1 &
    editor_pid=$!
    window=$(wait_for_window "$title")
    [ -n "$window" ] || fail "start $start: no window titled '$title'"
    editor_process=$(xdotool getwindowpid "$window")
    check_start "$start" || failed=$((failed + 1))
    kill -TERM "$editor_process"
    expect_clean_exit "SIGTERM after start $start"
done
[ "$failed" -eq 0 ] || fail "$failed of $starts starts did not come up whole"
echo "PASS: $starts starts came up whole"
