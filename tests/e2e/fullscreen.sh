# "/s" with a display that has the stored size (1024x768): a full-screen window
# titled "Start" of that size, whose turns run until Escape; exit code 0.
. "$(dirname "$0")/lib.sh"
watch_windows
SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
wait_window 1024x768
grep -q "^title $window Start$" "$work/windows" || fail "the window was never titled Start"
wait_for "$work/windows" "^title $window FPS: " 60 || fail "no turn ran"
probe_arena 30
kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
end_with_escape "$window"
echo "e2e fullscreen: passed ($(probed turns) turns before Escape)"
