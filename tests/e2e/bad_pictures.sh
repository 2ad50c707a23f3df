# Broken pictures beside the program, one at a time, each in a fresh copy of the
# program's folder. A picture that cannot be decoded, or a FIFO in its place (at
# once, with no writer), ends "/s" with exit code 0 after a stderr line naming
# the file and the box "Initialization Failed."; a JPEG or GIF cut short is
# drawn with what could be decoded, and the saver runs on until Escape.
. "$(dirname "$0")/lib.sh"
export SKARVEL_MESSAGE_BOX_ANSWER=no ALSOFT_DRIVERS=null
build=$(dirname "$SKARVEL")
# Sounds come from the working folder, the pictures from the program's.
cd "$build" || fail "no build folder"
built=$SKARVEL
SKARVEL="$work/copy/skarvel"

# fresh_copy: the program with its pictures in $work/copy.
fresh_copy() {
    rm -rf "$work/copy"
    mkdir "$work/copy"
    cp "$built" "$SKARVEL"
    cp -r "$build/data" "$build/info" "$work/copy/"
}

half() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$1.cut" && mv "$1.cut" "$1"; }
garbage() { head -c 4000 /dev/urandom >"$1"; }
empty() { : >"$1"; }
folder() { rm -rf "$1" && mkdir "$1"; }
plain_file() { rm -rf "$1" && garbage "$1"; }
fifo() { rm -rf "$1" && mkfifo "$1"; }

# refused BREAK FILE [FAILING]: FILE broken by BREAK stops the start; the stderr
# line names FAILING (FILE unless given).
refused() {
    fresh_copy
    "$1" "$work/copy/$2"
    start_skarvel /s
    wait_exit 60
    [ "$rc" -eq 0 ] || fail "$1 $2: exit code $rc"
    grep -q "\"$work/copy/${3:-$2}\"" "$work/stderr" || fail "$1 $2: the file was not named"
    grep -q "^OpenGL! ERROR: Initialization Failed\.$" "$work/stderr" || fail "$1 $2: no box"
}

refused half data/lowres.bmp
refused garbage data/bb1.jpg
refused empty data/bb3.gif
refused garbage data/pac.bmp
refused folder data/map.bmp
refused empty info/13.jpg
refused plain_file info info/1.jpg
refused fifo data/lowres.bmp

# Cut short, yet decodable: the saver runs.
for name in data/bb2.jpg data/bb3.gif; do
    fresh_copy
    half "$work/copy/$name"
    rm -f "$work/windows"
    watch_windows
    start_skarvel /s
    wait_window 1024x768
    wait_for "$work/windows" "^title $window FPS: " 60 || fail "half $name: no turn ran"
    kill -0 "$skarvel_pid" 2>/dev/null || fail "half $name: the program ended by itself"
    end_with_escape "$window"
    quiet_stderr
done
echo "e2e bad pictures: passed"
