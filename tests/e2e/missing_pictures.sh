# The program in a folder without its pictures: the window is released and the
# program ends with exit code 0 after "Initialization Failed.".
. "$(dirname "$0")/lib.sh"
mkdir "$work/bare"
cp "$SKARVEL" "$work/bare/skarvel"
SKARVEL="$work/bare/skarvel"
watch_windows
SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel /s
wait_exit 60
[ "$rc" -eq 0 ] || fail "exit code $rc"
grep -q "^OpenGL! ERROR: Initialization Failed.$" "$work/stderr" || fail "no box"
echo "e2e missing pictures: passed"
