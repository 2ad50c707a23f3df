# The running saver with full audio, on a virtual display:
#  - on OpenAL's null device its turns run, it says nothing on stderr (no
#    error, no box) and ends with exit code 0 on Escape;
#  - on OpenAL's wave-file writer, given only the start-up sound, it plays it
#    within the first seconds of its output, at its level;
#  - given only the tunes, the music reaches the output at its level.
# Levels are read against full scale (the recording is floating point).
# Called as: saver_sound.sh SKARVEL - SOUND_LEVEL
. "$(dirname "$0")/../e2e/lib.sh"
LEVEL=$3
build=$PWD
unset ALSOFT_DRIVERS ALSOFT_CONF

start_saver() {
    SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
    window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$skarvel_pid" | head -1)
    [ -n "$window" ] || fail "no window"
}

end_saver() {
    kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
    escape_until_exit "$window"
    [ "$rc" -eq 0 ] || fail "exit code $rc"
    [ -s "$work/stderr" ] && fail "the program wrote on stderr"
}

export ALSOFT_DRIVERS=null
start_saver
probe_arena
turns=$(probed turns)
probe_arena 100
[ "$(probed turns)" -gt "$turns" ] || fail "the turns stopped at $turns"
end_saver
unset ALSOFT_DRIVERS

# record NAME LEVEL SECONDS FILES...: the saver with only these sound files
# (sounds are found under the current folder), on OpenAL's wave writer into
# $work/NAME.wav, until the recording holds SECONDS after the first 10 ms
# louder than LEVEL, which sets onset. A sound that has not begun within the
# first 9 s of the recording (a busy machine takes seconds to make the window
# and the arena) is not heard: onset stays empty.
record() {
    local name=$1 level=$2 seconds=$3 file tries=0 whole
    shift 3
    rm -rf "$work/run"
    mkdir -p "$work/run/sounds/data"
    for file in "$@"; do
        ln -s "$build/sounds/data/$file" "$work/run/sounds/data/$file"
    done
    printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$work/$name.wav" >"$work/alsoft.conf"
    cd "$work/run" || fail "no run folder"
    ALSOFT_CONF="$work/alsoft.conf" start_saver
    cd "$build" || fail "no build folder"
    onset=""
    until [ -n "$onset" ] && "$LEVEL" "$work/$name.wav" 0 "$(after "$seconds")" >/dev/null 2>&1; do
        if [ -z "$onset" ]; then
            # Whether the first 9 s are recorded is asked before they are searched.
            "$LEVEL" "$work/$name.wav" 0 9 >/dev/null 2>&1 && whole=1 || whole=0
            onset=$("$LEVEL" --onset "$work/$name.wav" "$level" 9 2>/dev/null)
            [ -z "$onset" ] && [ "$whole" = 1 ] && break
        fi
        tries=$((tries + 1))
        [ "$tries" -gt 600 ] && fail "$name: the recording did not grow"
        kill -0 "$skarvel_pid" 2>/dev/null || fail "the program ended by itself"
        sleep 0.2
    done
    end_saver
}
# after SECONDS: that long after the onset.
after() {
    awk -v a="$onset" -v b="$1" 'BEGIN { print a + b }'
}

# The least levels (dB of full scale, RMS of the mono mix) for the start-up
# sound over 1 s from its onset and for the tunes over 3 s from theirs: 8 dB
# below what bench/sound_mix.sh measures for the same stretches ("start-up
# sound alone" -25.9 dB, "tunes from their start" -31.9 dB). The margin
# holds the spread between runs and machines; a sound at half its loudness
# (-6 dB) still passes, while tunes played at the synthesizer's default gain
# (0.2 for 1.06, 14.5 dB less) fail.
chime_least=-33.9
music_least=-39.9
# at_least NAME VALUE LEAST: VALUE (of full scale) is LEAST dB or more.
at_least() {
    awk -v v="$2" -v least="$3" 'BEGIN { exit !(v > 0 && 20 * log(v) / log(10) >= least) }' ||
        fail "$1 was too soft: $(db "$2") dB, less than $3 dB"
}
db() { awk -v v="$1" 'BEGIN { printf "%.1f", (v > 0 ? 20 * log(v) / log(10) : -999) }'; }

record chime 0.005 1 coin.wav
[ -n "$onset" ] || fail "the start-up sound was not heard"
chime=$("$LEVEL" "$work/chime.wav" "$onset" "$(after 1)") || fail "the start-up sound's recording was not read"
at_least "the start-up sound" "$chime" "$chime_least"
chime_onset=$onset

record music 0.001 3 unforgiven.mid mi2.mid letthebeat.mid
[ -n "$onset" ] || fail "the music was not heard"
music=$("$LEVEL" "$work/music.wav" "$onset" "$(after 3)") || fail "the music's recording was not read"
at_least "the music" "$music" "$music_least"
echo "audio saver: passed (start-up sound at $chime_onset s: $(db "$chime") dB; music at $onset s: $(db "$music") dB)"
