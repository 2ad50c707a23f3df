#include "render/program_dir.h"

char programDir[260];
std::string programDirTooLong;
