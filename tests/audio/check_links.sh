#!/bin/sh
# Checks which sound libraries a program needs, by audio configuration:
#   full    needs OpenAL and FluidSynth;
#   cue     needs OpenAL and no MIDI library, not even indirectly;
#   silent  needs no sound library of its own.
# Usage: check_links.sh CONFIGURATION PROGRAM [strict]
# With "strict" the silent check covers indirect needs too (for a program that
# has no window library, which brings the system's sound libraries along).
set -eu
config=$1
program=$2
strict=${3:-}
needed=$(readelf -d "$program" | sed -n 's/.*Shared library: \[\(.*\)\].*/\1/p')
all=$(ldd "$program" | awk '{print $1}')
fail() { echo "$program ($config): $*" >&2; exit 1; }
has() { printf '%s\n' "$1" | grep -q "$2"; }

case $config in
full)
  has "$needed" '^libopenal' || fail "does not link OpenAL"
  has "$needed" '^libfluidsynth' || fail "does not link FluidSynth"
  ;;
cue)
  has "$needed" '^libopenal' || fail "does not link OpenAL"
  has "$all" 'fluidsynth' && fail "needs a MIDI library"
  ;;
silent)
  for lib in openal fluidsynth sndfile asound pulse; do
    has "$needed" "$lib" && fail "links $lib"
    if [ "$strict" = strict ]; then has "$all" "$lib" && fail "needs $lib"; fi
  done
  ;;
*) fail "unknown configuration" ;;
esac
echo "$program: sound libraries as the $config configuration wants"
