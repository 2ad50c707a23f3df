// The folder of the program file, ending with '/': relative data names are read
// from there. Written once at start by the shell; empty until then.
#pragma once

#include <string>

extern char programDir[260];

// The folder's whole name when it does not fit in programDir (which then stays
// empty); empty otherwise. Every picture path made from it is too long to load.
extern std::string programDirTooLong;
