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
    # A path without "." and ".." parts ("render/../shell/x.h" is "shell/x.h").
    function normal(path,   part, n, i, kept, depth, out) {
      n = split(path, part, "/")
      for (i = 1; i <= n; ++i) {
        if (part[i] == "" || part[i] == ".") continue
        if (part[i] == ".." && depth > 0 && kept[depth] != "..") --depth
        else kept[++depth] = part[i]
      }
      for (i = 1; i <= depth; ++i) out = out (i > 1 ? "/" : "") kept[i]
      return out
    }
    function judge(folder, name, angled,   top) {
      top = name
      if (!sub(/\/.*/, "", top)) top = ""
      if (top in project && !((folder " " top) in allowed))
        return folder "/ may not include " top "/"
      if (folder != "platform" && angled &&
          name ~ /^(SDL|X11\/|AL\/|fluidsynth|gtk|gdk|glib|ft2build|freetype|fontconfig\/|sndfile|alsa\/)/)
        return "only platform/ includes the system libraries"
      if (folder == "formats" && angled && name !~ /^c?[a-z_]+$/)
        return "formats/ includes only the standard library"
      return ""
    }
    !/^[ \t]*#[ \t]*include/ { next }
    {
      folder = FILENAME
      sub(/\/.*/, "", folder)
      if ((folder " *") in allowed)
        next
      header = $0
      sub(/^[ \t]*#[ \t]*include[ \t]*/, "", header)
      angled = substr(header, 1, 1) == "<"
      name = substr(header, 2)
      name = substr(name, 1, index(name, angled ? ">" : "\"") - 1)
      # A quoted name is judged in both places the compiler looks for it: beside
      # the including file and from the source root.
      here = FILENAME
      sub(/[^\/]*$/, "", here)
      why = judge(folder, normal(name), angled)
      if (why == "" && !angled)
        why = judge(folder, normal(here name), angled)
      if (why != "") { print FILENAME ":" FNR ": " why ": " $0; bad = 1 }
    }
    END { exit bad }'
