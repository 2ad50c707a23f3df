# "/s" on a 1024x768 display, driven with keys: the title shows the measured
# rate; cameras 1, 4 and 7 show the arena where they look and differ from each
# other; C changes the picture; F5 changes the texts; holding Up moves the
# controlled plane, which keeps still without it; Escape ends with exit code 0.
. "$(dirname "$0")/lib.sh"
export SKARVEL_MESSAGE_BOX_ANSWER=no
watch_windows
start_skarvel /s
wait_window 1024x768

# The first turn closes the first frame-rate window with the title FPS: 0.1.
wait_for "$work/windows" "^title $window FPS: 0\.1$" 60 || fail "the first title was not FPS: 0.1"
kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"

shots="$work/shots"
mkdir -p "$shots"
# shot NAME: the window's picture once the keys of the last step have been
# taken (one message a turn) and drawn: 20 turns on.
shot() {
    probe_arena 20
    "$XHELPER" shot "$window" "$shots/$1.ppm" || fail "no picture of the window"
}
# differing A B: the pixels that differ between two pictures.
differing() {
    set -- $("$XHELPER" differ "$shots/$1.ppm" "$shots/$2.ppm")
    [ "$#" -eq 4 ] || fail "pictures not compared"
    echo "$2"
}
# count KIND NAME X Y W H: pixels of a kind (black, red, green) in a rectangle.
count() {
    local kind=$1 name=$2
    shift 2
    set -- $("$XHELPER" region "$shots/$name.ppm" "$@")
    [ "$#" -eq 8 ] || fail "region not read"
    case $kind in
    black) echo "$2" ;;
    red) echo "$4" ;;
    green) echo "$6" ;;
    esac
}
key() {
    xdotool windowfocus "$window" 2>/dev/null
    xdotool key "$@"
}

total=$((1024 * 768))
much=$((total / 8))

# A key in the first second keeps the demonstration from starting: the other
# planes stay without autopilot and the arena keeps still, with the help text
# shown (top left). A later key ends the demonstration and hides the help
# text; W and Q then stop the other planes' autopilot and fighting.
key shift
shot start
if [ "$(count red start 0 0 620 300)" -lt 1500 ]; then
    key w q
    probe_arena 100
fi
shot camera1
key c c c
shot camera4
key c c c
shot camera7
shot camera7again

# Camera 1, behind plane 0: the black sky above, the grass below.
[ "$(count black camera1 0 0 1024 192)" -gt $((1024 * 192 * 6 / 10)) ] || fail "camera 1: no sky above"
[ "$(count green camera1 0 384 1024 384)" -gt $((1024 * 384 * 3 / 10)) ] || fail "camera 1: no grass below"
# Camera 4, high over the middle: the grass below the horizon.
[ "$(count green camera4 0 384 1024 384)" -gt $((1024 * 384 * 3 / 10)) ] || fail "camera 4: no grass below"
# Camera 7, straight down from high over the middle: grass in the middle,
# nothing beside the arena.
[ "$(count green camera7 256 192 512 384)" -gt $((512 * 384 * 6 / 10)) ] || fail "camera 7: no grass in the middle"
[ "$(count black camera7 0 0 100 500)" -gt $((100 * 500 * 9 / 10)) ] || fail "camera 7: the arena fills the side"
for pair in "camera1 camera4" "camera4 camera7" "camera1 camera7"; do
    set -- $pair
    [ "$(differing "$1" "$2")" -gt "$much" ] || fail "$1 and $2 look alike"
done

# Camera 7 keeps still; C moves on to camera 8.
still=$(differing camera7 camera7again)
[ "$still" -lt $((total / 50)) ] || fail "camera 7 does not keep still ($still)"

# F5: from the status lines and tables (the help text above them may be on or
# off), four presses lead to no text at all, one more to the status lines
# only. The status lines and tables stand in the lower left.
key F5 F5 F5 F5
shot notexts
key F5
shot status
text="0 560 620 208"
full=$(count red camera7again $text)
none=$(count red notexts $text)
status=$(count red status $text)
[ "$full" -gt $((none + 3000)) ] || fail "F5: the texts did not go ($full, then $none)"
[ "$status" -gt $((none + 1000)) ] || fail "F5: the status lines did not come back ($none, then $status)"
[ "$full" -gt $((status + 1000)) ] || fail "F5: the tables stayed ($full, then $status)"

key c
shot camera8
[ "$(differing status camera8)" -gt "$much" ] || fail "C did not change the picture"

# Once the title shows a measured rate (10 s after the first turn) the flight
# forces have their full scale. Plane 0 hovers where it is until Up is held:
# read through gdb at the ends of turns, it settles to less than 0.002 a turn
# (at rest some 0.00003), and held Up takes it more than 0.02 a turn (some 1.2
# at 40 frames per second, 0.5 at 120: the thrust comes at a steady rate in
# time, not per turn). Readings lie 100 turns apart (0.7 s at least): every
# one of three must keep still; held Up has ten tries.
tries=0
until [ "$(grep -cE "^title $window FPS: [0-9]+\.[0-9]$" "$work/windows")" -ge 2 ]; do
    tries=$((tries + 1))
    [ "$tries" -gt 300 ] && fail "the title did not show a measured rate"
    sleep 0.1
done
rate=$(grep -E "^title $window FPS: " "$work/windows" | tail -n 1 | sed 's/.*FPS: //')
apart=$(awk -v rate="$rate" 'BEGIN { s = 100 / rate; printf "%.2f", (s < 0.7 ? 0.7 : (s > 15 ? 15 : s)) }')
# travelled: how far plane 0 went a turn since the last reading, into per_turn.
reading() {
    probe_arena
    now="$(probed turns) $(probed planex) $(probed planey) $(probed planez)"
}
travelled() {
    local last=$now
    sleep "$apart"
    reading
    per_turn=$(echo "$last $now" | awk '{ printf "%.6f", sqrt(($6 - $2)^2 + ($7 - $3)^2 + ($8 - $4)^2) / ($5 - $1) }')
}
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
reading
for _ in 1 2 3; do
    travelled
    resting=$per_turn
    below "$resting" 0.002 || fail "plane 0 does not keep still ($resting a turn)"
done
xdotool keydown Up
for _ in 1 2 3 4 5 6 7 8 9 10; do
    travelled
    moving=$per_turn
    below 0.02 "$moving" && break
done
xdotool keyup Up
below 0.02 "$moving" || fail "holding Up did not move plane 0 ($resting, then $moving a turn)"

end_with_escape "$window"
echo "e2e keys: passed (still $still; texts $full, $none, $status; at FPS $rate, readings $apart s apart:" \
     "resting $resting, moving $moving a turn)"
