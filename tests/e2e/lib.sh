# Shared by the end-to-end scripts. Each script runs on an X server of its own
# and is called as: script.sh SKARVEL X_HELPER
set -u
SKARVEL=$1
XHELPER=$2
work=$(mktemp -d)
children="" hosts_opened=0 skarvel_waited=""
# The script's own X server answers before anything is started on it.
if [ -n "${DISPLAY:-}" ]; then
    for _ in $(seq 1 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
fi
# The stored settings are the test's own (none unless a script writes some).
export XDG_CONFIG_HOME="$work/config"

# Whatever the script leaves running ends with it: the helpers, and a program
# that a failing check left behind (it would otherwise outlive its display).
# Only processes that are still this shell's children are killed: the number of
# one that has ended may already belong to another test's program or server.
cleanup() {
    for pid in $children $(jobs -p); do
        [ "$(cut -d' ' -f4 "/proc/$pid/stat" 2>/dev/null)" = "$$" ] && { kill -9 "$pid" && wait "$pid"; } 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# fail WHY: ends the test with what it saw, the program's stderr above all.
# On stderr, so that a check inside $(...) still shows; from there it ends
# the script as well.
fail() {
    {
        echo "FAIL: $*"
        for f in "$work"/*; do
            [ -f "$f" ] || continue
            # the program's stderr whatever it holds; other files when they
            # are text (the work folder may hold recordings)
            case $f in
            */stderr*) ;;
            *) [ -s "$f" ] && ! grep -Iq . "$f" 2>/dev/null && continue ;;
            esac
            echo "--- $(basename "$f")"
            cat -v "$f"
        done
    } >&2
    [ "$BASHPID" = "$$" ] || kill -USR1 "$$"
    exit 1
}
trap 'exit 1' USR1
# skip WHY: the machine cannot show what the test looks for.
skip() {
    echo "e2e skipped: $*"
    exit 0
}
# CTest's timeout would end the test without a word: the script ends itself
# before it (E2E_SECONDS, set by CTest), through fail.
if [ -n "${E2E_SECONDS:-}" ]; then
    trap 'fail "the test ran out of its $E2E_SECONDS s"' TERM
    (sleep "$E2E_SECONDS" && kill -TERM "$$") >/dev/null 2>&1 &
    children="$children $!"
fi

# store_size WIDTH HEIGHT: stores the full-screen size the way the settings
# dialog's OK does.
store_size() {
    mkdir -p "$XDG_CONFIG_HOME/skarvel"
    printf '[Software\\ScreenSaverKestrova]\nscreenWidth=%s\nscreenHeight=%s\n' "$1" "$2" \
        >"$XDG_CONFIG_HOME/skarvel/settings.ini"
}

# Reports the top-level windows that appear into $work/windows, from before
# anything is started.
watch_windows() {
    "$XHELPER" watch 600 >"$work/windows" &
    children="$children $!"
    wait_for "$work/windows" "^watching$" 60 || fail "the windows cannot be watched"
}

# wait_for FILE PATTERN SECONDS: until an extended regular expression matches a line.
wait_for() {
    local tries=$(($3 * 10))
    while ! grep -Eq -- "$2" "$1" 2>/dev/null; do
        tries=$((tries - 1))
        [ "$tries" -le 0 ] && return 1
        sleep 0.1
    done
    return 0
}

# start_skarvel ARGS...: runs the program in the background; stderr to $work/stderr.
start_skarvel() {
    start_command "$SKARVEL" "$@"
}

# start_command COMMAND...: as start_skarvel, for a command line that starts the
# program through another (env --default-signal=INT "$SKARVEL" /c). The command,
# its environment and folder are kept for a repeat of the run.
start_command() {
    skarvel_command=("$@") skarvel_args=("${@:2}") skarvel_folder=$PWD
    mapfile -d '' skarvel_environment < <(env -0)
    skarvel_ready="" skarvel_ending=()
    "$@" 2>"$work/stderr" >"$work/stdout" &
    skarvel_pid=$!
}

# ends_with TITLE COMMAND...: runs COMMAND (a signal, a mouse move, the host
# window going), which ends the program, and notes it: a repeat of the run waits
# for a shown window titled TITLE (an extended regular expression) and then ends
# the same way.
ends_with() {
    skarvel_ready=$1
    shift
    skarvel_ending=("$@")
    "$@"
}
signal_skarvel() { kill -"$1" "$skarvel_pid"; }

# open_host: a screen-saver host's window (320x240) for the preview; sets host
# and host_pid. close_host: it goes away.
open_host() {
    local file="$work/host.$((++hosts_opened))"
    "$XHELPER" host 320 240 600 >"$file" &
    host_pid=$!
    children="$children $host_pid"
    wait_for "$file" "^[0-9]+$" 20 || fail "no host window"
    host=$(head -1 "$file")
}
close_host() {
    kill "$host_pid"
    wait "$host_pid" 2>/dev/null
}

# A run of the sanitizer build whose only fault is a dead leak-check tracer
# (tracer.sh) is repeated.
. "$(dirname "${BASH_SOURCE[0]}")/../tracer.sh"

# repeat_leak_check: the leak check of such a run is made on a new run of the
# same command, environment and folder, ended the same way: as ends_with noted
# (a preview whose host went away gets a new host), by escape_until_exit, or by
# itself. Its exit code stands for the first run's; $work/stderr then holds
# what the first run said (but its tracer's lines) followed by what the repeat
# said, so that every check on it covers both. Should the repeat's tracer die
# too, that is the test's failure.
repeat_leak_check() {
    echo "LeakSanitizer's tracer died as '${skarvel_args[*]}' ended; its leak check is repeated:" >&2
    grep -E "$tracer_lines" "$work/stderr" >&2
    mv "$work/stderr" "$work/stderr.tracer"
    local repeating=1 command=("${skarvel_command[@]}") gone=${host:-} arg window
    if [ -n "$gone" ] && ! kill -0 "${host_pid:-}" 2>/dev/null; then
        open_host
        for arg in "${!command[@]}"; do
            [ "${command[arg]}" = "$gone" ] && command[arg]=$host
        done
    fi
    env -i -C "$skarvel_folder" "${skarvel_environment[@]}" "${command[@]}" 2>"$work/stderr" >"$work/stdout" &
    skarvel_pid=$!
    if [ -n "$skarvel_ready" ]; then
        window=$(timeout 60 xdotool search --sync --onlyvisible --name "$skarvel_ready" | head -n 1)
        [ -n "$window" ] || fail "the repeat showed no window titled $skarvel_ready"
        "${skarvel_ending[@]}"
    fi
    [ "$skarvel_waited" = "$skarvel_pid" ] || wait_exit 60
    ! tracer_died "$work/stderr" || fail "LeakSanitizer's tracer died in the repeat too"
    { grep -vE "$tracer_lines" "$work/stderr.tracer"; cat "$work/stderr"; } >"$work/stderr.both"
    mv "$work/stderr.both" "$work/stderr"
}

# wait_exit SECONDS: waits for the program; sets rc, or fails when it runs on.
wait_exit() {
    local tries=$(($1 * 10))
    while kill -0 "$skarvel_pid" 2>/dev/null; do
        tries=$((tries - 1))
        if [ "$tries" -le 0 ]; then
            kill -9 "$skarvel_pid" 2>/dev/null
            fail "the program did not end"
        fi
        sleep 0.1
    done
    wait "$skarvel_pid"
    rc=$? skarvel_waited=$skarvel_pid
    if [ "$rc" -ne 0 ] && [ -z "${repeating:-}" ] && tracer_died "$work/stderr"; then
        repeat_leak_check
    fi
}

# Holds Escape long enough for a turn without a message to see it, until the
# program ends (a repeat of the run does the same in its first window titled
# "FPS: ").
escape_until_exit() {
    local window=${1:-$window}
    skarvel_ready='^FPS: ' skarvel_ending=(escape_until_exit)
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        kill -0 "$skarvel_pid" 2>/dev/null || break
        xdotool windowfocus "$window" 2>/dev/null
        xdotool keydown Escape
        sleep 0.5
        xdotool keyup Escape
        sleep 0.5
    done
    wait_exit 60
}

# end_with_escape WINDOW: Escape ends the program, with exit code 0 and no
# error box.
end_with_escape() {
    escape_until_exit "$1"
    [ "$rc" -eq 0 ] || fail "exit code $rc after Escape"
    ! grep -q "ERROR" "$work/stderr" || fail "a box reported an error"
}

# wait_window GEOMETRY: until the program's window of that size is mapped at
# (0, 0) (watch_windows must have been started first); sets window.
wait_window() {
    wait_for "$work/windows" "^mapped [0-9]+ $1\+0\+0$" 60 || fail "no $1 window"
    window=$(grep -E "^mapped [0-9]+ $1" "$work/windows" | head -1 | cut -d' ' -f2)
}

# probe_arena [TURNS]: reads the running program's state through gdb
# (arena_probe.py) into $work/probe, at the end of the TURNS-th turn to end
# from now (1 unless given): a wait that turns are seen to run in. Fails when
# they do not end within a minute. probed NAME: one value of the last probe.
probe_arena() {
    # The program by its process: a rebuild may have replaced its file since.
    PROBE_TURNS=${1:-1} timeout 60 gdb -batch -nx -p "$skarvel_pid" "/proc/$skarvel_pid/exe" \
        -x "$(dirname "${BASH_SOURCE[0]}")/arena_probe.py" >"$work/probe.out" 2>&1
    grep -E "^[a-z]+ [-0-9.einfa]+$" "$work/probe.out" >"$work/probe"
    grep -q "^nonfinite " "$work/probe" && return
    local tries=100
    while [ -n "${probe_may_end:-}" ] && [ "$((tries -= 1))" -gt 0 ]; do
        kill -0 "$skarvel_pid" 2>/dev/null && ! grep -q ") Z" "/proc/$skarvel_pid/stat" 2>/dev/null || return
        sleep 0.1
    done
    fail "the program could not be probed (no turn ended?)"
}
# turns_or_end TURNS: waits until TURNS turns have ended, or the program has.
turns_or_end() {
    local probe_may_end=1
    probe_arena "$1"
}
probed() {
    grep "^$1 " "$work/probe" | cut -d' ' -f2
}

# resident_kb: the program's resident memory in kB.
resident_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$skarvel_pid/status" 2>/dev/null
}

# quiet_stderr: the program said nothing on stderr but the effect pool's
# report of a busy clip about to be reused: no box,
# no ODE message, no sanitizer report.
quiet_stderr() {
    if grep -v "^Error!: Sound buffer already in use\.$" "$work/stderr" >"$work/unexpected"; then
        fail "unexpected output on stderr"
    fi
}
