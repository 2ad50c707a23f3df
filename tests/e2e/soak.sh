# The saver left alone: "/s" on a 1024x768 display with OpenAL's null device,
# nobody at the keyboard, so the demonstration runs and moves on to the next
# plane every 11 s. For SOAK_SECONDS (150 unless set) it must keep running,
# every body of the arena must keep a finite position and velocity, and Escape
# must end it with exit code 0 and nothing on stderr but the effect pool's
# question. It prints the resident memory at the end of the warm-up
# (SOAK_WARMUP seconds, 30 unless set) and at the end, the turns and the
# completed building rounds. With SOAK_MAX_GROWTH_KB set, the resident memory
# may grow by at most that much after the warm-up.
. "$(dirname "$0")/lib.sh"
seconds=${SOAK_SECONDS:-150}
warmup=${SOAK_WARMUP:-30}
export SKARVEL_MESSAGE_BOX_ANSWER=no ALSOFT_DRIVERS=null

watch_windows
start_skarvel /s
wait_window 1024x768
started=$SECONDS

# check_probe WHEN: the arena is finite and the demonstration still runs; the
# controlled plane joins those seen.
planes_seen=""
check_probe() {
    probe_arena
    [ "$(probed nonfinite)" = 0 ] || fail "$1: $(probed nonfinite) bodies are not finite"
    [ "$(probed demo)" = 1 ] || fail "$1: the demonstration is not running"
    case "$planes_seen " in *" $(probed plane) "*) ;; *) planes_seen="$planes_seen $(probed plane)" ;; esac
}

sleep "$warmup"
kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended during the warm-up"
check_probe "after the warm-up"
first_rss=$(resident_kb)
first_turns=$(probed turns)
peak_rss=$first_rss
echo "after the warm-up: resident ${first_rss} kB, turns $first_turns"

# Memory every 10 s, the arena every 5 minutes.
next_probe=$((SECONDS + 300))
while [ $((SECONDS - started)) -lt "$seconds" ]; do
    sleep 10
    kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself after $((SECONDS - started)) s"
    rss=$(resident_kb)
    [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
    if [ "$SECONDS" -ge "$next_probe" ]; then
        check_probe "after $((SECONDS - started)) s"
        echo "after $((SECONDS - started)) s: resident $rss kB, turns $(probed turns), rounds $(($(probed hits) / 7))"
        next_probe=$((SECONDS + 300))
    fi
done

check_probe "at the end"
last_rss=$(resident_kb)
elapsed=$((SECONDS - started))
turns=$(probed turns)
rounds=$(($(probed hits) / 7))
end_with_escape "$window"
quiet_stderr

growth=$((last_rss - first_rss))
span=$((elapsed > warmup ? elapsed - warmup : 1))
echo "soak: ${elapsed} s; resident ${first_rss} kB after the warm-up, ${last_rss} kB at the end" \
     "(growth ${growth} kB, peak ${peak_rss} kB); turns $turns ($(((turns - first_turns) / span)) a second" \
     "after the warm-up); building rounds $rounds; controlled planes seen:$planes_seen"
if [ -n "${SOAK_MAX_GROWTH_KB:-}" ] && [ "$growth" -gt "$SOAK_MAX_GROWTH_KB" ]; then
    fail "the resident memory grew by $growth kB (at most $SOAK_MAX_GROWTH_KB allowed)"
fi
echo "e2e soak: passed"
