#!/bin/sh
# The folders depend one way. Fails, naming the line, when a source file of the
# program includes a header of a folder its own may not use, when a system
# library's header is included outside platform/, or when formats/ includes
# anything but the standard library. Every folder with a CMakeLists.txt needs a
# row below, so that a new folder is placed in the order before it is used.
#
#   tests/check_includes.sh [source root]
set -eu
cd "${1:-$(dirname "$0")/..}"

# A folder, then the folders it may include ("*": any).
rules='
formats  formats
platform platform formats
arena    arena platform formats
audio    audio arena platform formats
render   render arena platform formats
shell    shell render audio arena platform formats
assets   assets platform formats
tests    *
bench    *
'

folders=""
for dir in */; do
  dir=${dir%/}
  [ -f "$dir/CMakeLists.txt" ] && folders="$folders $dir"
done

find $folders \( -name '*.cpp' -o -name '*.h' \) -print | LC_ALL=C sort |
  xargs awk -v rules="$rules" -v folders="$folders" '
    BEGIN {
      n = split(folders, list, " ")
      for (i = 1; i <= n; ++i) project[list[i]] = 1
      lines = split(rules, row, "\n")
      for (i = 1; i <= lines; ++i) {
        w = split(row[i], word, " ")
        if (w == 0) continue
        placed[word[1]] = 1
        for (j = 2; j <= w; ++j) allowed[word[1] " " word[j]] = 1
      }
      for (f in project)
        if (!(f in placed)) { print "check_includes.sh: the folder " f "/ has no row"; bad = 1 }
    }
    !/^[ \t]*#[ \t]*include/ { next }
    {
      folder = FILENAME
      sub(/\/.*/, "", folder)
      header = $0
      sub(/^[ \t]*#[ \t]*include[ \t]*/, "", header)
      angled = substr(header, 1, 1) == "<"
      name = substr(header, 2)
      name = substr(name, 1, index(name, angled ? ">" : "\"") - 1)
      top = name
      if (!sub(/\/.*/, "", top)) top = ""
      why = ""
      if ((folder " *") in allowed)
        next
      if (top in project && !((folder " " top) in allowed))
        why = folder "/ may not include " top "/"
      else if (folder != "platform" && angled &&
               name ~ /^(SDL|X11\/|AL\/|fluidsynth|gtk|gdk|glib|ft2build|freetype|fontconfig\/|sndfile|alsa\/)/)
        why = "only platform/ includes the system libraries"
      else if (folder == "formats" && angled && name !~ /^c?[a-z_]+$/)
        why = "formats/ includes only the standard library"
      if (why != "") { print FILENAME ":" FNR ": " why ": " $0; bad = 1 }
    }
    END { exit bad }'
