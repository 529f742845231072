# A virtual display (Xvfb) of a script's own, sourced by the scripts that need
# one.
#
# Xvfb picks the display number itself (-displayfd): the first whose lock file
# and sockets are all free. A number chosen beforehand from the lock files in
# /tmp is not safe. An X server also listens on an abstract socket, and those
# are shared by everything in the network namespace, other containers with
# their own /tmp included. There, such a server fails to start, and its
# clients quietly reach a stranger's display, which may close under them.

virtual_display_pid=""

# Starts Xvfb with the given options, exports DISPLAY and sets
# virtual_display_pid; says why and returns 1 when no display came up.
# Xvfb runs in a session of its own, so a Ctrl-C reaches the programs on it
# first and the display stays until the caller stops it.
start_virtual_display() {
    local number_file number=""
    number_file=$(mktemp)
    setsid Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$number_file" >/dev/null 2>&1 &
    virtual_display_pid=$!
    # Xvfb writes the number once it takes clients.
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        kill -0 "$virtual_display_pid" 2>/dev/null || break
        sleep 0.1
    done
    number=$(head -n 1 "$number_file")
    rm -f "$number_file"
    if [ -z "$number" ]; then
        echo "The virtual display (Xvfb) did not start." >&2
        stop_virtual_display
        return 1
    fi
    export DISPLAY=":$number"
}

stop_virtual_display() {
    [ -n "$virtual_display_pid" ] || return 0
    kill -TERM "$virtual_display_pid" 2>/dev/null || true
    wait "$virtual_display_pid" 2>/dev/null || true
    virtual_display_pid=""
}
