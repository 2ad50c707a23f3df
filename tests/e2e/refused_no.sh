# "/s" on a display without the stored size, answered No: "Program Will Now
# Close.", no window, exit code 0.
. "$(dirname "$0")/lib.sh"
watch_windows
SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
wait_exit 60
[ "$rc" -eq 0 ] || fail "exit code $rc"
grep -q "^GL: The Requested Fullscreen Mode Is Not Supported By$" "$work/stderr" || fail "no question"
grep -q "^ERROR: Program Will Now Close.$" "$work/stderr" || fail "no closing box"
# A window of our own, mapped after the end: once the watcher reports it, it
# has reported every window mapped before it.
"$XHELPER" host 10 10 60 >"$work/marker" &
children="$children $!"
wait_for "$work/marker" "^[0-9]+$" 20 || fail "no marker window"
marker=$(cat "$work/marker")
wait_for "$work/windows" "^mapped $marker " 20 || fail "the marker window was not seen"
grep -v "^mapped $marker " "$work/windows" | grep -q "^mapped" && fail "a window was shown"
echo "e2e refused mode, No: passed"
