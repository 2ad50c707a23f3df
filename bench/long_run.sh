#!/bin/bash
# One hour of the real saver, left alone on a virtual display with the
# demonstration cycling: it must run throughout with every body finite, keep its
# resident memory flat after a two-minute warm-up (at most 20 MB more at the
# end), and end with exit code 0 on Escape. Prints the resident memory at the
# start and the end, the turns and the completed building rounds.
#
#   bench/long_run.sh [BUILD_FOLDER [SECONDS]]
#
# BUILD_FOLDER defaults to ./build, SECONDS to 3600. The program runs from a
# copy of the build's program and data files, so that a rebuild meanwhile
# changes nothing under it. Not part of the tests: they run the same script
# for a few minutes (e2e_soak).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
[ -x "$build/skarvel" ] && [ -x "$build/e2e_x_helper" ] || { echo "no skarvel or e2e_x_helper in $build" >&2; exit 1; }
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp -r "$build/skarvel" "$build/e2e_x_helper" "$build/data" "$build/info" "$build/sounds" "$run/"
cd "$run"
export SOAK_SECONDS=${2:-3600} SOAK_WARMUP=${SOAK_WARMUP:-120} SOAK_MAX_GROWTH_KB=${SOAK_MAX_GROWTH_KB:-20480}
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$here/../tests/e2e/soak.sh" "$run/skarvel" "$run/e2e_x_helper"
