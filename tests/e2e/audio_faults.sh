# Broken sounds and no sound device: whatever the working folder holds in place
# of the sounds (nothing, a file, garbage, files cut short, empty files, folders,
# FIFOs no one writes, links to /dev/zero) and with no sound device at all, "/s"
# runs silent: it draws, its turns run on, no word on stderr (no box), exit code
# 0 on Escape. The full audio build's sounds are sounds/data/*, the cue build's
# data/*.wav, both in the working folder; the test runs in every audio build.
. "$(dirname "$0")/lib.sh"
export SKARVEL_MESSAGE_BOX_ANSWER=no ALSOFT_DRIVERS=null
build=$(cd "$(dirname "$SKARVEL")" && pwd)
SKARVEL="$build/$(basename "$SKARVEL")"

# fresh_folder: a working folder with the build's sounds and cues.
fresh_folder() {
    rm -rf "$work/run"
    mkdir -p "$work/run/data"
    cp -r "$build/sounds" "$work/run/"
    cp "$build"/data/*.wav "$work/run/data/"
}

# each BREAK: applies BREAK (a command taking a file) to every sound and cue.
each() {
    for f in "$work"/run/sounds/data/* "$work"/run/data/*.wav; do
        "$1" "$f"
    done
}
half() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$1.cut" && mv "$1.cut" "$1"; }
header() { head -c 44 "$1" >"$1.cut" && mv "$1.cut" "$1"; }
garbage() { head -c 3000 /dev/urandom >"$1"; }
empty() { : >"$1"; }
folder() { rm -f "$1" && mkdir "$1"; }
fifo() { rm -f "$1" && mkfifo "$1"; }
zero() { rm -f "$1" && ln -s /dev/zero "$1"; }

# silent CASE: the saver runs in $work/run and ends on Escape without a word.
silent() {
    rm -f "$work/windows"
    watch_windows
    cd "$work/run" || fail "$1: no working folder"
    start_skarvel /s
    wait_window 1024x768
    wait_for "$work/windows" "^title $window FPS: " 60 || fail "$1: no turn ran"
    probe_arena 100  # a hundred more turns end
    kill -0 "$skarvel_pid" 2>/dev/null || fail "$1: the program ended by itself"
    end_with_escape "$window"
    [ -s "$work/stderr" ] && fail "$1: the program wrote on stderr"
    cd "$work" || fail "no work folder"
    echo "$1: silent"
}

fresh_folder
rm -rf "$work/run/sounds" "$work/run/data"
silent "no sounds folder"
: >"$work/run/sounds"
: >"$work/run/data"
silent "files in place of the folders"
for damage in garbage half header empty folder fifo zero; do
    fresh_folder
    each "$damage"
    silent "every sound $damage"
done
fresh_folder
export ALSOFT_DRIVERS=no-such-backend
silent "no sound device"
echo "e2e audio faults: passed"
