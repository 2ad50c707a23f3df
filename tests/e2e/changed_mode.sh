# An 800x600 full-screen run on 1024x768 whose main thread waits for good, writing (its pictures missing) to a
# full pipe: a stop ends it at once with exit code 0 and puts the display's mode and size back.
. "$(dirname "$0")/lib.sh"
"$XHELPER" mode 800x600 && store_size 800 600 && cp "$SKARVEL" "$work/skarvel" || fail "no 800x600 mode"
mkfifo "$work/full" && exec 3<>"$work/full" && dd if=/dev/zero bs=64k count=4 oflag=nonblock >&3 2>/dev/null
SKARVEL_MESSAGE_BOX_ANSWER=no ALSOFT_DRIVERS=null "$work/skarvel" /s 2>"$work/full" & skarvel_pid=$!
# blocked: the program's main thread sleeps in a write to its stderr, as the
# kernel tells through where it waits or what call it is in; 2 when it tells
# neither.
blocked() {
    local wchan call
    wchan=$(cat "/proc/$skarvel_pid/wchan" 2>/dev/null) call=$(cat "/proc/$skarvel_pid/syscall" 2>/dev/null)
    [ "$wchan" = pipe_write ] && return 0
    case $call in "1 0x2 "* | "20 0x2 "*) return 0 ;; esac
    [ "$(cut -d' ' -f3 "/proc/$skarvel_pid/stat" 2>/dev/null)" = S ] && [ "${wchan:-0}" = 0 ] && [ -z "$call" ] && return 2
    return 1
}
for _ in $(seq 600); do
    [ "$(xdotool getdisplaygeometry)" = "800 600" ] && { blocked; tells=$?; [ "$tells" -ne 1 ]; } && break
    sleep 0.1
done
[ "${tells:-1}" -ne 2 ] || skip "the kernel shows neither /proc/PID/wchan nor /proc/PID/syscall: no run can be seen blocked on its stderr"
[ "${tells:-1}" -eq 0 ] || fail "no 800x600 run blocked on its stderr"
kill -HUP "$skarvel_pid" && wait_exit 5
[ "$rc" -eq 0 ] && [ "$(xdotool getdisplaygeometry)" = "1024 768" ] || fail "rc $rc, $(xdotool getdisplaygeometry)"

# Another program cuts its connection (xkill): it ends with code 1, and the mode is put back.
ALSOFT_DRIVERS=null start_skarvel /s
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^FPS: ' | head -n 1)
[ -n "$window" ] && [ "$(xdotool getdisplaygeometry)" = "800 600" ] || fail "no 800x600 run"
xdotool windowkill "$window" && wait_exit 60 && [ "$rc" -eq 1 ] && [ "$(xdotool getdisplaygeometry)" = "1024 768" ] || fail "killed: rc $rc, $(xdotool getdisplaygeometry)"
echo "e2e changed mode: passed"
