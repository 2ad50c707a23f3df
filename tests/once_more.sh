# Runs a test program of the sanitizer build: once_more.sh PROGRAM ARGS...
# When its only fault is that LeakSanitizer's tracer died as it ended (every
# case passed, no leak or sanitizer report: tracer.sh), its leak check was not
# made: it runs once more, and that run's verdict counts.
. "$(dirname "$0")/tracer.sh"
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
if [ "$status" -ne 0 ] && tracer_died "$err" && grep -q "^\[  PASSED  \]" "$out" && ! grep -q "^\[  FAILED  \]" "$out"; then
    echo "LeakSanitizer's tracer died as $(basename "$1") ended, with every case passed; it runs once more, and that run's verdict counts:" >&2
    "$@"
    status=$?
fi
exit "$status"
