# Which of the program's roads read the stored settings: the full-screen run
# does, the preview never does.
#
#   settings_roads_test.sh SKARVEL X_HELPER
#
# The stored settings hold values that the program notes on stderr when it reads
# them (a colour depth no display has, a gravity that is no number), so reading
# shows up there.
. "$(dirname "$0")/../lib.sh"

export XDG_CONFIG_HOME="$work/config"
export SKARVEL_MESSAGE_BOX_ANSWER=no
mkdir -p "$XDG_CONFIG_HOME/skarvel"
settings="$XDG_CONFIG_HOME/skarvel/settings.ini"
printf '[Software\\ScreenSaverKestrova]\nbitsPP=1000\nscreenWidth=640\nscreenHeight=480\nsGravity=junk\n' >"$settings"
cp "$settings" "$work/stored"

# Full screen: the notes come before any window is made; then the run is ended.
start_skarvel /s
wait_for "$work/stderr" "colour depth \(bitsPP\) 1000" 30 || fail "full screen: the stored colour depth was not read"
grep -q "sGravity" "$work/stderr" || fail "full screen: the stored gravity was not read"
kill "$skarvel_pid"
wait "$skarvel_pid" 2>/dev/null

# Preview: runs in a host window (until its first turn shows the rate in the
# title), then the host goes away.
"$XHELPER" host 320 240 600 >"$work/host" &
host_pid=$!
children="$children $host_pid"
wait_for "$work/host" "^[0-9]+$" 20 || fail "no host window"
start_skarvel /p "$(head -n 1 "$work/host")"
timeout 60 xdotool search --sync --name '^FPS: ' >/dev/null || fail "preview: no turn ran"
kill "$host_pid"
wait_exit 60
grep -q "skarvel: the stored" "$work/stderr" && fail "preview: the stored settings were read"

cmp -s "$settings" "$work/stored" || fail "the stored settings changed"
echo "settings roads: 2 passed, 0 failed"
