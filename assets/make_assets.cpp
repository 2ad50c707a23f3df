// Writes the program's data files (pictures, sounds, music and cue sounds) into
// the folder given on the command line, under the names the program reads.
#include "assets/assets.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    bool ok = writePictures(out) && writeSounds(out) && writeCues(out);
    if (!ok) {
        std::fprintf(stderr, "%s: could not write the data files into %s\n", argv[0], out.c_str());
        return 1;
    }
    return 0;
}
