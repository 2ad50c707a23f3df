# A termination signal ends the saver with exit code 0 and the settings
# untouched, through its own waits, which the signal wakes: while a box waits
# (no answer is set, so it shows), in the main loop of a full-screen run and of
# a preview, and in the settings dialog. (How soon it ends is the stop
# watcher's, which its unit test checks: a loaded machine may take longer.)
# SIGINT is reset to its default first: a script's background jobs start with
# it ignored, and an ignored signal stays ignored.
. "$(dirname "$0")/lib.sh"
unset SKARVEL_MESSAGE_BOX_ANSWER
export ALSOFT_DRIVERS=null
store_size 1024 768
stored() { md5sum "$XDG_CONFIG_HOME"/skarvel/*; ls -l --time-style=full-iso "$XDG_CONFIG_HOME"/skarvel; }
stored >"$work/settings.before"

# ends_on SIGNAL WHAT TITLE: the signal, sent once a window titled TITLE shows,
# ends the program at once, as its own end does.
ends_on() {
    ends_with "$3" signal_skarvel "$1"
    wait_exit 60
    [ "$rc" -eq 0 ] || fail "$2: exit code $rc after SIG$1"
    stored >"$work/settings.after"
    cmp -s "$work/settings.before" "$work/settings.after" || fail "$2: the settings changed"
    ! grep -q "ERROR" "$work/stderr" || [ "$2" = box ] || fail "$2: a box reported an error"
    # the program's own end, begun by a wait that the signal woke: no note of
    # the program's but the stop watcher's that the end took too long
    ! grep -v "^skarvel: the program's end after the stop signal took too long" "$work/stderr" |
        grep -q "^skarvel: " || fail "$2: the program noted something"
}

# A box: "/p" with no window shows "Window Creation Error." and waits (said to a stderr nobody reads).
mkfifo "$work/gone" && exec 8<>"$work/gone" 9>"$work/gone" 8<&-
watch_windows
start_command sh -c 'exec "$0" /p 0 2>&9' "$SKARVEL"
wait_for "$work/windows" "^title [0-9]+ ERROR$" 60 || fail "no box"
box=$(grep -E "^title [0-9]+ ERROR$" "$work/windows" | head -1 | cut -d' ' -f2)
wait_for "$work/windows" "^mapped $box " 60 || fail "the box was not shown"
kill -0 "$skarvel_pid" 2>/dev/null || fail "the box did not wait"
ends_on TERM box "^ERROR$"

# The full-screen run's main loop, once the first turn has set the title.
start_skarvel /s
wait_window 1024x768
wait_for "$work/windows" "^title $window FPS: " 60 || fail "no turn of the main loop"
ends_on TERM "full screen" "^FPS: "

# The preview's main loop: its child window is titled by the first turn.
open_host
start_skarvel /p "$host"
timeout 60 xdotool search --sync --name '^FPS: [0-9.]+$' >/dev/null || fail "no turn of the preview's main loop"
ends_on HUP preview "^FPS: "

# The settings dialog: cancelled, nothing stored.
NO_AT_BRIDGE=1 start_command env --default-signal=INT "$SKARVEL" /c
timeout 60 xdotool search --sync --onlyvisible --name '^Screen Saver Config\.$' >/dev/null || fail "no settings dialog"
ends_on INT "settings dialog" "^Screen Saver Config\.$"

# A sound server that never answers holds the start 30 s, before main: a stop then ends it with code 0.
# (The server is a socket in gdb's Python, which the long runs' probe needs anyway.)
gdb -nx -batch -ex "python import socket, time; s = socket.socket(socket.AF_UNIX); s.bind('$work/sound'); s.listen(8)" \
    -ex "python print('listening', flush=True); c = s.accept(); print('asked', flush=True); time.sleep(120)" >"$work/server" 2>&1 &
children="$children $!" && wait_for "$work/server" "^listening$" 60 || fail "no sound server"
ALSOFT_DRIVERS=pulse PULSE_SERVER="unix:$work/sound" start_skarvel /c
wait_for "$work/server" "^asked$" 60 && signal_skarvel TERM && wait_exit 20 && [ "$rc" -eq 0 ] ||
    fail "a stop while the sound server was asked: exit code ${rc:-none}"

echo "e2e stop signals: passed"
