# The mouse ends the saver: with "/s", a move of more than 44 pixels from
# where the mouse was first seen ends it with exit code 0, a smaller one does
# not. In the preview ("/p <host>") such a move only takes the texts away; the
# saver runs on until Escape. Each move is seen once turns have run after it
# (the program takes one message a turn).
. "$(dirname "$0")/lib.sh"
export SKARVEL_MESSAGE_BOX_ANSWER=no

# wait_running TITLE_PATTERN: until a window of the program shows the rate in
# its title, so that turns are running and messages are taken.
wait_running() {
    for _ in $(seq 1 600); do
        kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
        running=$(xdotool search --name "$1" 2>/dev/null | head -1)
        [ -n "$running" ] && return 0
        sleep 0.1
    done
    fail "no window titled $1"
}

# leave: 100 pixels from the first place. The position is read as a move is
# taken, so turns run between moves (in a repeat of the run the first move may
# end it already, should the first place be where the pointer was left).
leave() {
    xdotool mousemove 500 400
    turns_or_end 10
    xdotool mousemove 600 400
}
start_skarvel /s
wait_running '^FPS: [0-9.]+$'
xdotool mousemove 500 400
probe_arena 10
xdotool mousemove 540 420  # 40 and 20 pixels on
probe_arena 10
kill -0 "$skarvel_pid" 2>/dev/null || fail "a move of 40 pixels ended the saver"
ends_with '^FPS: ' leave
wait_exit 60
[ "$rc" -eq 0 ] || fail "exit code $rc after the mouse moved"
grep -q "ERROR" "$work/stderr" && fail "a box reported an error"

open_host
# red_texts: the red text pixels in the preview.
red_texts() {
    "$XHELPER" shot "$preview" "$work/preview.ppm" || fail "no picture of the preview"
    set -- $("$XHELPER" region "$work/preview.ppm" 0 0 320 240)
    [ "$#" -eq 8 ] || fail "preview not read"
    echo "$4"
}

start_skarvel /p "$host"
wait_running '^FPS: [0-9.]+$'
preview=$running
for _ in $(seq 1 40); do
    sleep 0.5
    before=$(red_texts)
    [ "$before" -gt 0 ] && break
done
xdotool mousemove 100 100
probe_arena 10
xdotool mousemove 200 100
# The texts go within 20 s, however slowly the turns come.
for _ in $(seq 1 40); do
    after=$(red_texts)
    [ "$after" -lt $((before / 3)) ] && break
    sleep 0.5
done
kill -0 "$skarvel_pid" 2>/dev/null || fail "a far move ended the preview"
[ "$after" -lt $((before / 3)) ] || fail "the texts stayed in the preview ($before, then $after)"
xdotool mousemove 200 200
probe_arena 10
xdotool mousemove 100 100
probe_arena 10
kill -0 "$skarvel_pid" 2>/dev/null || fail "a second far move ended the preview"
end_with_escape "$preview"
echo "e2e mouse: passed (red text pixels $before, then $after)"
