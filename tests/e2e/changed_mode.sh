# An 800x600 full-screen run on 1024x768 whose main thread waits for good, writing (its pictures missing) to a
# full pipe: a stop ends it within a second with exit code 0 and puts the display's mode and size back.
. "$(dirname "$0")/lib.sh"
"$XHELPER" mode 800x600 && store_size 800 600 && cp "$SKARVEL" "$work/skarvel" || fail "no 800x600 mode"
mkfifo "$work/full" && exec 3<>"$work/full" && dd if=/dev/zero bs=64k count=4 oflag=nonblock >&3 2>/dev/null
SKARVEL_MESSAGE_BOX_ANSWER=no ALSOFT_DRIVERS=null "$work/skarvel" /s 2>"$work/full" & skarvel_pid=$!
timeout 60 sh -c 'until [ "$(xdotool getdisplaygeometry)" = "800 600" ] && grep -q pipe_write /proc/$0/wchan; do
    sleep 0.1; done' "$skarvel_pid" || fail "no 800x600 run blocked on its stderr"
kill -HUP "$skarvel_pid" && wait_exit 1
[ "$rc" -eq 0 ] && [ "$(xdotool getdisplaygeometry)" = "1024 768" ] || fail "rc $rc, $(xdotool getdisplaygeometry)"
echo "e2e changed mode: passed"
