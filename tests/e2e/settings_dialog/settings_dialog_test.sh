# Drives the settings dialog as a user at the keyboard would, with xdotool on the
# X server this test runs on, and checks what reaches the settings file.
#
#   settings_dialog_test.sh PROGRAM X_HELPER [ARGUMENT...]
#
# PROGRAM [ARGUMENT...] must show the settings dialog and end when it closes.
# Every wait is bounded, so a dialog that never shows or never closes fails the
# test instead of hanging it.
. "$(dirname "$0")/../lib.sh"
shift 2
arguments=("$@")

# Starts the program with a configuration folder of its own and waits for its
# dialog to show.
start_dialog() {
    export XDG_CONFIG_HOME="$work/$1"
    start_skarvel "${arguments[@]}"
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Screen Saver Config\.$' | head -n 1)
    [ -n "$window" ] || fail "$1: the dialog did not show"
    xdotool windowfocus --sync "$window"
}

# The program must end by itself, with 0.
expect_end() {
    wait_exit 30
    [ "$rc" -eq 0 ] || fail "$1: exit code $rc"
}

# Replaces the text of the field that the next Tab reaches.
next_field() {
    xdotool key --delay 30 Tab ctrl+a
    xdotool type --delay 30 -- "$1"
}

# 1. No display: says so, stores nothing, ends with 0.
env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/nodisplay" \
    timeout 30 "$SKARVEL" "${arguments[@]}" 2>"$work/nodisplay.err"
rc=$?
[ "$rc" -eq 0 ] || fail "no display: exit code $rc"
grep -qi "display" "$work/nodisplay.err" || fail "no display: nothing said on stderr"
[ ! -e "$work/nodisplay/skarvel/settings.ini" ] || fail "no display: settings were stored"

# 2. Typed values reach the store after OK (Enter in a field presses OK). The
#    focus starts on OK; the tab order is OK, bits, Cancel, then the other fields.
start_dialog typed
next_field 16
xdotool key --delay 30 Tab
next_field 800
next_field 600
next_field 30
next_field -9.81
next_field "0.5 kg"
xdotool key Return
expect_end typed
settings="$work/typed/skarvel/settings.ini"
[ -f "$settings" ] || fail "typed: nothing was stored"
for line in '[Software\ScreenSaverKestrova]' bitsPP=16 screenWidth=800 screenHeight=600 dFps=30 \
    sGravity=-981000 boxMass=50000; do
    grep -qxF "$line" "$settings" || fail "typed: '$line' not stored in: $(cat "$settings")"
done

# 3. Escape and Cancel store nothing.
cp "$settings" "$work/before"
start_dialog typed
next_field 24
xdotool key Escape
expect_end Escape
cmp -s "$settings" "$work/before" || fail "Escape: the settings changed"

start_dialog typed
next_field 24
xdotool key Tab Return  # Cancel has the focus now
expect_end Cancel
cmp -s "$settings" "$work/before" || fail "Cancel: the settings changed"

# 4. OK with nothing typed stores what was read, number for number: the file stays as it was.
printf '%s\n' '[Software\ScreenSaverKestrova]' bitsPP=-2147483648 screenWidth=2147483647 screenHeight=-1 dFps=0 \
    sGravity=2147483647 boxMass=-2147483648 | tee "$settings" >"$work/before"
start_dialog typed
xdotool key Return
expect_end unchanged
cmp -s "$settings" "$work/before" || fail "unchanged: OK with nothing typed changed the settings: $(cat "$settings")"

echo "settings dialog: 5 passed, 0 failed"
