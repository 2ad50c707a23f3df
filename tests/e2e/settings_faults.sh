# Broken and unusable settings locations. On the "/s" road a settings file of
# garbage, a file cut short, a folder in place of the file and a configuration
# folder that is a file all leave the saver running, with the defaults for what
# cannot be read (a window of 1024x768) and every complete value of a cut file
# kept; the stored file is never changed. The dialog's OK with a location that
# cannot be written stores nothing, says so in a box, and ends with exit code 0
# once the box is closed. A stored gravity at either end keeps the arena finite.
. "$(dirname "$0")/lib.sh"
export SKARVEL_MESSAGE_BOX_ANSWER=yes ALSOFT_DRIVERS=null
settings="$work/config/skarvel/settings.ini"

# runs CASE GEOMETRY [SECONDS]: "/s" shows a window of that size and runs
# until Escape; given SECONDS, it runs that long and its arena stays finite.
runs() {
    rm -f "$work/windows"
    watch_windows
    start_skarvel /s
    wait_window "$2"
    wait_for "$work/windows" "^title $window FPS: " 60 || fail "$1: no turn ran"
    kill -0 "$skarvel_pid" 2>/dev/null || fail "$1: the program ended by itself"
    if [ -n "${3:-}" ]; then
        sleep "$3"
        probe_arena
        [ "$(probed nonfinite)" = 0 ] || fail "$1: $(probed nonfinite) bodies are not finite"
    fi
    end_with_escape "$window"
}

mkdir -p "$(dirname "$settings")"
head -c 3000 /dev/urandom >"$settings"
cp "$settings" "$work/stored"
runs "garbage" 1024x768
cmp -s "$settings" "$work/stored" || fail "garbage: the stored file changed"

printf '[Software\\ScreenSaverKestrova]\nscreenWidth=640\nscreenHei' >"$settings"
cp "$settings" "$work/stored"
runs "cut short" 640x768
grep -q "^GL: The Requested Fullscreen Mode Is Not Supported By$" "$work/stderr" ||
    fail "cut short: the stored width was not used"
cmp -s "$settings" "$work/stored" || fail "cut short: the stored file changed"

rm "$settings"
mkdir "$settings"
runs "a folder in place of the file" 1024x768
grep -q "cannot read $settings" "$work/stderr" || fail "folder: not said on stderr"

# Gravity at either end of what can be stored: the arena stays finite.
rm -r "$settings"
for gravity in -2147483648 2147483647; do
    printf '[Software\\ScreenSaverKestrova]\nsGravity=%s\n' "$gravity" >"$settings"
    runs "gravity $gravity" 1024x768 10
    quiet_stderr
done

rm -rf "$work/config"
echo "not a folder" >"$work/config"
runs "a file in place of the configuration folder" 1024x768
[ "$(cat "$work/config")" = "not a folder" ] || fail "the file in the way changed"

# The dialog: OK has the focus, Return presses it; then the real box does.
unset SKARVEL_MESSAGE_BOX_ANSWER
NO_AT_BRIDGE=1 start_skarvel /c
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Screen Saver Config\.$' | head -n 1)
[ -n "$dialog" ] || fail "the dialog did not show"
xdotool windowfocus --sync "$dialog"
xdotool key Return
box=$(timeout 30 xdotool search --sync --onlyvisible --name '^skarvel$' | head -n 1)
[ -n "$box" ] || fail "dialog: no box said that the settings were not stored"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_exit 30
[ "$rc" -eq 0 ] || fail "dialog: exit code $rc"
grep -q "^skarvel: the settings were not stored: " "$work/stderr" || fail "dialog: not said on stderr"
[ "$(cat "$work/config")" = "not a folder" ] || fail "dialog: the file in the way changed"
echo "e2e settings faults: passed"
