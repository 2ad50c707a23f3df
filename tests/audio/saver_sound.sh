# The running saver with full audio, on a virtual display:
#  - on OpenAL's null device it runs, says nothing on stderr (no error, no box)
#    and ends with exit code 0 on Escape;
#  - on OpenAL's wave-file writer the start-up sound and the music reach the
#    output.
# Called as: saver_sound.sh SKARVEL - SOUND_LEVEL
. "$(dirname "$0")/../e2e/lib.sh"
LEVEL=$3
unset ALSOFT_DRIVERS ALSOFT_CONF

run_saver() {
    SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
    window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$skarvel_pid" | head -1)
    [ -n "$window" ] || fail "no window"
    sleep 3
    kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
    escape_until_exit "$window"
    [ "$rc" -eq 0 ] || fail "exit code $rc"
}

export ALSOFT_DRIVERS=null
run_saver
[ -s "$work/stderr" ] && fail "the program wrote on stderr"
unset ALSOFT_DRIVERS

printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$work/out.wav" >"$work/alsoft.conf"
export ALSOFT_CONF="$work/alsoft.conf"
run_saver
[ -s "$work/stderr" ] && fail "the program wrote on stderr"
chime=$("$LEVEL" "$work/out.wav" 0 1) || fail "no sound file written"
later=$("$LEVEL" "$work/out.wav" 1.5 3) || fail "no sound file written"
awk -v v="$chime" 'BEGIN { exit !(v > 0.005) }' || fail "the start-up sound was not heard ($chime)"
awk -v v="$later" 'BEGIN { exit !(v > 0.0005) }' || fail "nothing was heard after the start-up sound ($later)"
echo "audio saver: passed (start-up $chime, then $later)"
