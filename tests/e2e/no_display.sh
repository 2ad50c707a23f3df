# No display: with DISPLAY unset, or naming a server that does not exist, "/s"
# and "/p <window>" say why on stderr, as the settings dialog does, report
# "Failed To Register The Window Class." in a box and end with exit code 0.
# Nothing answers the box for them: trying to show it with no display must not
# keep the program waiting. A display lost while the saver runs ends it.
. "$(dirname "$0")/lib.sh"
unset SKARVEL_MESSAGE_BOX_ANSWER WAYLAND_DISPLAY
export ALSOFT_DRIVERS=null

# ends DISPLAY_ENV ARGS...: the program without a usable display.
ends() {
    local display=$1 own=$DISPLAY
    shift
    if [ -z "$display" ]; then
        unset DISPLAY
    else
        export DISPLAY=$display
    fi
    start_skarvel "$@"
    wait_exit 60
    export DISPLAY=$own
    local what="'$*' on display '${display}'" why="no display (DISPLAY is not set)"
    [ -z "$display" ] || why="cannot open the display $display"
    [ "$rc" -eq 0 ] || fail "$what: exit code $rc"
    grep -qxF "skarvel: the saver cannot start: $why" "$work/stderr" || fail "$what: the cause was not said"
    grep -q "^ERROR: Failed To Register The Window Class\.$" "$work/stderr" || fail "$what: no box"
}

ends "" /s
ends "" /p 12345
ends "" -S
ends ":4321" /s
ends ":4321" /p 12345
# A display that goes away under the running saver ends it at once (it cannot
# draw or release anything there any more) instead of leaving it waiting.
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset 3>"$work/display" >/dev/null 2>&1 &
server=$!
children="$children $server"
wait_for "$work/display" "^[0-9]+$" 20 || fail "no X server for the lost-display run"
export DISPLAY=":$(cat "$work/display")"
watch_windows
start_skarvel /s
wait_window 1024x768
wait_for "$work/windows" "^title $window FPS: " 60 || fail "the saver did not start on its display"
kill "$server"
wait_exit 20
[ "$rc" -ne 0 ] || fail "a lost display ended the saver as if nothing had happened"
grep -q "^skarvel: the X display was lost$" "$work/stderr" || fail "the lost display was not said"

echo "e2e no display: passed"
