#!/bin/bash
# The mix as a listener hears it. Three full-screen runs of the real saver on a
# virtual display, each recorded by OpenAL's wave writer: the tunes alone (the
# start-up, effect and gun sounds left out of its sounds folder), the effects
# alone (the tunes left out) and everything. In each, once the demonstration
# flies, the period key is pressed twice: the first press ends the
# demonstration, the second makes plane 1 the controlled plane, so that the
# listener rides a plane that carries a tune at distance 0 while the others fly
# and fight on. The recording is then measured for SECONDS from the keys.
# Prints the loudness (dB RMS), the loudest sample (dB of full scale) and the
# frames that reach full scale of each, and of the whole mix also from the
# start of its run (the start-up sound and the first hand-off of the tunes),
# with the tune that plane 1 carried in the tunes' run. Also, as
# tests/audio/saver_sound.sh measures them (dB of full scale, RMS of the mono
# mix): the start-up sound over 1 s from its onset in the effects' run, and the
# tunes over 3 s from theirs in the tunes' run.
# Targets: the tunes alone at least -24 dB RMS; no frame of the whole mix at
# full scale.
#
#   bench/sound_mix.sh [BUILD_FOLDER [SECONDS]]
#
# BUILD_FOLDER (./build by default) is a build with full audio and its
# benchmarks; SECONDS is 20 by default. Needs xvfb-run, xdotool and gdb. With
# SOUND_MIX_KEEP set to a folder, the three recordings are kept there.
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
seconds=${2:-20}
for program in skarvel sound_mix_levels; do
    [ -x "$build/$program" ] || { echo "no $program in $build" >&2; exit 1; }
done
if [ -z "${SOUND_MIX_DISPLAY:-}" ]; then
    SOUND_MIX_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$build" "$seconds"
fi

. "$here/../tests/e2e/lib.sh" "$build/skarvel" -
export SKARVEL_MESSAGE_BOX_ANSWER=no
unset ALSOFT_DRIVERS
# Pinned, so that the recording's length in bytes tells the time.
rate=44100
frame_bytes=8

# record NAME [LEVEL SECONDS]: runs the saver with the sound files that NAME
# keeps; the levels of the measured stretch go to $work/NAME.levels. With LEVEL
# and SECONDS, the onset of the first sound louder than LEVEL and its level for
# SECONDS go to $work/NAME.start, measured before the keys are pressed (as the
# saver's sound test hears the saver, left alone).
record() {
    local name=$1 run="$work/$1" file
    mkdir -p "$run/sounds/data"
    for file in "$build"/sounds/data/*; do
        case "$name/$(basename "$file")" in
        tunes/[0-9].wav | tunes/gun.wav | tunes/coin.wav | effects/*.mid) ;;
        *) cp "$file" "$run/sounds/data/" ;;
        esac
    done
    printf '[general]\ndrivers = wave\nchannels = stereo\nsample-type = float32\nfrequency = %s\n[wave]\nfile = %s\n' \
        "$rate" "$run/out.wav" >"$run/alsoft.conf"
    # Sounds are found under the current folder, pictures beside the program.
    cd "$run" || fail "no run folder"
    ALSOFT_CONF="$run/alsoft.conf" start_skarvel /s
    cd - >/dev/null || fail "no way back"
    window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$skarvel_pid" | head -1)
    [ -n "$window" ] || fail "$name: no window"

    local tries=0
    if [ $# -eq 3 ]; then
        until "$build/sound_mix_levels" --from-onset "$run/out.wav" "$2" "$3" >"$work/$name.start" 2>/dev/null; do
            tries=$((tries + 1))
            [ "$tries" -gt 600 ] && fail "$name: no sound began"
            kill -0 "$skarvel_pid" 2>/dev/null || fail "$name: the program ended by itself"
            sleep 0.1
        done
    fi
    tries=0
    until probe_arena && [ "$(probed demo)" = 1 ]; do
        tries=$((tries + 1))
        [ "$tries" -gt 60 ] && fail "$name: the demonstration did not start"
        sleep 0.5
    done
    xdotool windowfocus "$window" 2>/dev/null
    xdotool key period period
    local size from
    size=$(stat -c %s "$run/out.wav")
    from=$(awk -v s="$size" -v r="$rate" -v b="$frame_bytes" 'BEGIN { printf "%.3f", (s - 68) / (r * b) }')
    local until_bytes=$((68 + (${from%.*} + seconds + 1) * rate * frame_bytes))
    tries=0
    while [ "$(stat -c %s "$run/out.wav")" -lt "$until_bytes" ]; do
        tries=$((tries + 1))
        [ "$tries" -gt $((seconds * 30)) ] && fail "$name: the recording stopped growing"
        kill -0 "$skarvel_pid" 2>/dev/null || fail "$name: the program ended by itself"
        sleep 0.1
    done
    probe_arena
    [ "$(probed plane)" = 1 ] && [ "$(probed demo)" = 0 ] ||
        fail "$name: plane $(probed plane) was controlled, demonstration $(probed demo)"
    # Which tune plane 1 carries (0 to 2; -1 for none).
    carried=$(timeout 60 gdb -batch -nx -p "$skarvel_pid" "/proc/$skarvel_pid/exe" \
        -ex 'print musicClips[0].odeBodyID == planes[1].fuselage.body ? 0 : musicClips[1].odeBodyID == planes[1].fuselage.body ? 1 : musicClips[2].odeBodyID == planes[1].fuselage.body ? 2 : -1' \
        2>/dev/null | sed -n 's/^\$1 = //p')
    echo "$carried" >"$work/$name.carried"
    escape_until_exit "$window"
    [ "$rc" -eq 0 ] || fail "$name: exit code $rc"
    local to
    to=$(awk -v f="$from" -v s="$seconds" 'BEGIN { print f + s }')
    "$build/sound_mix_levels" "$run/out.wav" "$from" "$to" >"$work/$name.levels" &&
        "$build/sound_mix_levels" "$run/out.wav" 0 "$to" >"$work/$name.whole" ||
        fail "$name: the recording could not be read"
    [ -n "${SOUND_MIX_KEEP:-}" ] && cp "$run/out.wav" "$SOUND_MIX_KEEP/$name.wav"
    return 0
}

# The onsets as tests/audio/saver_sound.sh finds them.
record tunes 0.001 3
record effects 0.005 1
record all
# Each file holds: dB RMS, peak dBFS, frames at full scale.
show() {
    set -- $(cat "$1")
    echo "$1 dB RMS, peak $2 dBFS, $3 frames at full scale"
}
case $(cat "$work/tunes.carried") in
0) carried=unforgiven.mid ;;
1) carried=mi2.mid ;;
2) carried=letthebeat.mid ;;
*) carried="no tune" ;;
esac
echo "tunes alone: $(show "$work/tunes.levels") (target: at least -24 dB RMS), plane 1 carrying $carried"
echo "effects alone: $(show "$work/effects.levels")"
echo "everything: $(show "$work/all.levels") (target: none)"
echo "everything from the start: $(show "$work/all.whole") (target: none)"
# from_onset FILE SECONDS: FILE holds the onset (s) and the dB RMS of the mono
# mix over SECONDS from there.
from_onset() {
    local seconds=$2
    set -- $(cat "$1")
    echo "$2 dB RMS over $seconds s from its onset at $1 s"
}
echo "start-up sound alone: $(from_onset "$work/effects.start" 1) (audio_saver_sound: at least 8 dB less)"
echo "tunes from their start: $(from_onset "$work/tunes.start" 3) (audio_saver_sound: at least 8 dB less)"
