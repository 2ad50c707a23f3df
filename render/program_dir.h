// The folder of the program file, ending with '/': relative data names are read
// from there. Written once at start by the shell; empty until then, and empty
// when the folder's name does not fit.
#pragma once

extern char programDir[260];
