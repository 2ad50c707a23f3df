# A termination signal ends the saver within two seconds with exit code 0 and
# the settings untouched: while a box waits (no answer is set, so it shows), in
# the main loop of a full-screen run and of a preview, and in the settings
# dialog. SIGINT is reset to its default first: a script's background jobs
# start with it ignored, and an ignored signal stays ignored.
. "$(dirname "$0")/lib.sh"
unset SKARVEL_MESSAGE_BOX_ANSWER
export ALSOFT_DRIVERS=null
store_size 1024 768
stored() { md5sum "$XDG_CONFIG_HOME"/skarvel/*; ls -l --time-style=full-iso "$XDG_CONFIG_HOME"/skarvel; }
stored >"$work/settings.before"

# ends_on SIGNAL WHAT: the signal ends the program at once, as its own end does.
ends_on() {
    kill -"$1" "$skarvel_pid"
    wait_exit 2
    [ "$rc" -eq 0 ] || fail "$2: exit code $rc after SIG$1"
    stored >"$work/settings.after"
    cmp -s "$work/settings.before" "$work/settings.after" || fail "$2: the settings changed"
    ! grep -q "ERROR" "$work/stderr" || [ "$2" = box ] || fail "$2: a box reported an error"
}

# A box: "/p" with no window shows "Window Creation Error." and waits.
watch_windows
start_skarvel /p 0
wait_for "$work/windows" "^title [0-9]+ ERROR$" 60 || fail "no box"
box=$(grep -E "^title [0-9]+ ERROR$" "$work/windows" | head -1 | cut -d' ' -f2)
wait_for "$work/windows" "^mapped $box " 60 || fail "the box was not shown"
kill -0 "$skarvel_pid" 2>/dev/null || fail "the box did not wait"
ends_on TERM box

# The full-screen run's main loop, once the first turn has set the title.
start_skarvel /s
wait_window 1024x768
wait_for "$work/windows" "^title $window FPS: " 60 || fail "no turn of the main loop"
ends_on TERM "full screen"

# The preview's main loop: its child window is titled by the first turn.
"$XHELPER" host 320 240 600 >"$work/host" &
children="$children $!"
wait_for "$work/host" "^[0-9]+$" 20 || fail "no host window"
start_skarvel /p "$(head -1 "$work/host")"
timeout 60 xdotool search --sync --name '^FPS: [0-9.]+$' >/dev/null || fail "no turn of the preview's main loop"
ends_on HUP preview

# The settings dialog: cancelled, nothing stored.
NO_AT_BRIDGE=1 env --default-signal=INT "$SKARVEL" /c 2>"$work/stderr" >"$work/stdout" &
skarvel_pid=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Screen Saver Config\.$' >/dev/null || fail "no settings dialog"
ends_on INT "settings dialog"

echo "e2e stop signals: passed"
