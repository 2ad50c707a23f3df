# "/s" with a display that has the stored size (1024x768): a full-screen window
# titled "Start" of that size, running until Escape; exit code 0.
. "$(dirname "$0")/lib.sh"
watch_windows
SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
wait_for "$work/windows" "^mapped [0-9]+ 1024x768\+0\+0$" 60 || fail "no 1024x768 window at (0, 0)"
window=$(grep -E "^mapped [0-9]+ 1024x768" "$work/windows" | head -1 | cut -d' ' -f2)
grep -q "^title $window Start$" "$work/windows" || fail "the window was never titled Start"
sleep 1
kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
escape_until_exit "$window"
[ "$rc" -eq 0 ] || fail "exit code $rc"
grep -q "ERROR" "$work/stderr" && fail "a box reported an error"
echo "e2e fullscreen: passed"
