# "/p <host>": the saver draws over the whole client area of the host's window;
# Escape ends it while the preview has the keyboard focus, and so does the host
# window going away; both with exit code 0.
. "$(dirname "$0")/lib.sh"
open_host

# Waits until nearly every pixel of the host has been drawn over, and the
# picture is not all black.
wait_until_drawn() {
    for _ in $(seq 1 120); do
        kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
        set -- $("$XHELPER" drawn "$host")
        # drawn N nonblack N total N
        [ "$#" -eq 6 ] && [ "$2" -ge $(($6 * 95 / 100)) ] && [ "$4" -gt 0 ] && return 0
        sleep 0.5
    done
    fail "the host window was not drawn over: $*"
}

SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /p "$host"
wait_until_drawn
preview=$(xdotool search --name '^(Kestrova|FPS: [0-9.]+)$' | head -1)
[ -n "$preview" ] || fail "no preview window titled Kestrova (or, once it runs, FPS: ...)"
end_with_escape "$preview"

SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /p "$host"
wait_until_drawn
ends_with '^FPS: ' close_host
wait_exit 60
[ "$rc" -eq 0 ] || fail "exit code $rc after the host went away"
grep -q "ERROR" "$work/stderr" && fail "a box reported an error"
echo "e2e preview: passed"
