# "/p" without a window that exists: "Window Creation Error." and exit code 0,
# whatever follows the switch.
. "$(dirname "$0")/lib.sh"
"$XHELPER" host 50 50 0.2 >"$work/host"
gone=$(head -1 "$work/host")
for args in "/p $gone" "/p" "/p " "/p junk" "/p -5" "/p 0" "/p 99999999999999999999999" "-P 4294967296"; do
    SKARVEL_MESSAGE_BOX_ANSWER=no start_skarvel $args
    wait_exit 60
    [ "$rc" -eq 0 ] || fail "exit code $rc for '$args'"
    grep -q "^ERROR: Window Creation Error.$" "$work/stderr" || fail "no box for '$args'"
done
echo "e2e bad preview window: passed"
