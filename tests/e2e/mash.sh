# Key mashing: "/s" on a 1024x768 display driven by a random stream of the
# saver's keys and of mouse moves that stay within 40 pixels of where the mouse
# was first seen. First every tunable is held to its limit, the lower limits
# together and then the upper ones; then come MASH_SECONDS (60 unless set) of
# random presses and holds. The saver must keep running with every body finite,
# end with exit code 0 on Escape, and say nothing on stderr but the effect
# pool's question: no box, no ODE message, no sanitizer report. MASH_SEED
# repeats a stream (the seed of each run is printed).
. "$(dirname "$0")/lib.sh"
seconds=${MASH_SECONDS:-60}
seed=${MASH_SEED:-$$}
RANDOM=$seed
export SKARVEL_MESSAGE_BOX_ANSWER=no ALSOFT_DRIVERS=null
echo "mash seed $seed"

watch_windows
start_skarvel /s
wait_window 1024x768
xdotool windowfocus "$window" 2>/dev/null

# The origin of the mouse rule: the pointer where the window appeared under it
# (the middle of the screen), or where this first move takes it.
xdotool mousemove 512 384
sleep 0.5

running() {
    kill -0 "$skarvel_pid" 2>/dev/null && return
    wait "$skarvel_pid"
    fail "the program ended during $1 (exit code $?)"
}

# hold SECONDS KEY...: holds the keys together.
hold() {
    local time=$1
    shift
    xdotool keydown "$@" sleep "$time" keyup "$@"
}

# Lower limits: physics step, thrust and altitude down, altitude force down,
# while plane 0 flies, turns and fires; then the upper ones.
hold 6 minus bracketleft z b Up Left Control_L
running "the lower limits"
hold 6 equal bracketright a ctrl+g Up Right space
running "the upper limits"
hold 4 plus r
running "the row held"
# Back to small steps for the random part.
hold 6 minus
running "the step coming down"
probe_arena
[ "$(probed nonfinite)" = 0 ] || fail "after the limits: $(probed nonfinite) bodies are not finite"
echo "after the limits: step $(probed step), turns $(probed turns)"

keys=(bracketleft bracketright equal plus minus a z b ctrl+g r m n c w q p F5 comma period
      Up Down Left Right space Control_L Control_R KP_3 shift x Return Tab F1 1 9)
end=$((SECONDS + seconds))
batches=0
while [ "$SECONDS" -lt "$end" ]; do
    # About a second of events per xdotool call.
    commands=()
    for _ in $(seq 1 12); do
        key=${keys[RANDOM % ${#keys[@]}]}
        case $((RANDOM % 4)) in
        0) commands+=(keydown "$key" sleep "0.$((RANDOM % 4))" keyup "$key") ;;
        1) commands+=(mousemove $((472 + RANDOM % 81)) $((344 + RANDOM % 81))) ;;
        *) commands+=(key "$key") ;;
        esac
        commands+=(sleep "0.0$((RANDOM % 10))")
    done
    xdotool "${commands[@]}"
    batches=$((batches + 1))
    running "the random keys (batch $batches)"
done
# Nothing stays held.
xdotool keyup "${keys[@]}" 2>/dev/null

probe_arena
[ "$(probed nonfinite)" = 0 ] || fail "after the random keys: $(probed nonfinite) bodies are not finite"
turns=$(probed turns)
step=$(probed step)
end_with_escape "$window"
quiet_stderr
echo "e2e mash: passed ($batches batches, $turns turns, step $step)"
