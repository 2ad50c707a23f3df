// Where the program's files are, and file names written the way the data tables
// write them (with backslashes) turned into this system's form.
#pragma once

#include <string>

namespace platform {

// The folder that holds the running program, ending with '/'. Empty when it
// cannot be found.
std::string programDirectory();

// The current working directory, ending with '/'. Empty when it cannot be read.
std::string currentDirectory();

// A name with every backslash turned into '/'.
std::string nativePath(const std::string& name);

} // namespace platform
