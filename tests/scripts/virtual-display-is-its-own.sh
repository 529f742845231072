#!/usr/bin/env bash
# The virtual display that the scripts start is their own, even when a
# stranger (another container on this host, with a /tmp of its own) runs an X
# server on the number that our /tmp shows as free: the abstract sockets of X
# servers are shared by the whole network namespace. A number picked from the
# lock files here would be the stranger's: our server would fail to start and
# the tests would drive the stranger's display. The stranger's root window
# carries a property that ours must not have.
#
# Exits 77 (skipped) where no private mount namespace can be made.
set -euo pipefail

scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
if ! unshare -m --propagation private true 2>/dev/null; then
    echo "SKIPPED: cannot make a private mount namespace here (unshare -m needs root)"
    exit 77
fi

work=$(mktemp -d /tmp/kivra-display-XXXXXX)
stranger_pid=""
cleanup() {
    [ -n "$stranger_pid" ] && kill "$stranger_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The stranger, with an empty /tmp, takes the lowest number whose abstract
# socket is free; -noreset keeps its mark after the marking client has gone.
unshare -m --propagation private sh -c 'mount -t tmpfs tmpfs /tmp && exec Xvfb -displayfd 3 -nolisten tcp -ac -noreset' \
    3>"$work/stranger" >"$work/stranger.log" 2>&1 &
stranger_pid=$!
for _ in $(seq 100); do [ -s "$work/stranger" ] && break; sleep 0.1; done
stranger=":$(head -n 1 "$work/stranger")"
[ "$stranger" != ":" ] || { cat "$work/stranger.log"; fail "the stranger's X server did not start"; }
DISPLAY=$stranger xprop -root -f KIVRA_STRANGER 8s -set KIVRA_STRANGER here \
    || fail "could not mark the stranger's display $stranger"

echo "--- a command run on a virtual display of its own, beside the stranger on $stranger"
status=0
"$scripts/with-virtual-display.sh" sh -c 'echo "display $DISPLAY"; xprop -root KIVRA_STRANGER' >"$work/ours" 2>&1 || status=$?
cat "$work/ours"
[ "$status" -eq 0 ] || fail "the command on our display ended with $status"
grep -q "^display $stranger\$" "$work/ours" && fail "our display took the stranger's number"
grep -q '"here"' "$work/ours" && fail "the command reached the stranger's display"

echo "--- a display that cannot start says so"
(
    source "$scripts/virtual-display.sh"
    if start_virtual_display -no-such-option 2>"$work/refused"; then fail "it started with a bad option"; fi
    grep -q "did not start" "$work/refused" || fail "no message: $(cat "$work/refused")"
)
echo "PASS"
