# "/s" on a display without the stored size (640x480 on an 800x600 display):
# the question is asked; Yes gives an ordinary window of the stored size titled
# "Start".
. "$(dirname "$0")/lib.sh"
store_size 640 480
watch_windows
SKARVEL_MESSAGE_BOX_ANSWER=yes start_skarvel /s
wait_window 640x480
grep -q "^title $window Start$" "$work/windows" || fail "the window was never titled Start"
grep -q "^GL: The Requested Fullscreen Mode Is Not Supported By$" "$work/stderr" || fail "no question"
escape_until_exit "$window"
[ "$rc" -eq 0 ] || fail "exit code $rc"
echo "e2e refused mode, Yes: passed"
