// The directory that holds the executable: images, the sample library and
// the default directories resolve against it.
#pragma once

#include <string>

std::string program_dir();
// program_dir() joined with a relative path.
std::string program_path(const char* relative);
