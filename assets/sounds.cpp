#include "assets/assets.h"

bool writeSounds(const std::string&) { return true; }
