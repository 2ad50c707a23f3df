# "/s" on a display without the stored size, answered No: "Program Will Now
# Close.", no window, exit code 0.
. "$(dirname "$0")/lib.sh"
watch_windows
SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
wait_exit 60
[ "$rc" -eq 0 ] || fail "exit code $rc"
grep -q "^GL: The Requested Fullscreen Mode Is Not Supported By$" "$work/stderr" || fail "no question"
grep -q "^ERROR: Program Will Now Close.$" "$work/stderr" || fail "no closing box"
sleep 0.3
grep -q "^mapped" "$work/windows" && fail "a window was shown"
echo "e2e refused mode, No: passed"
