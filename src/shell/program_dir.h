// Where the program's own files are: the images, the demo and the sample
// library sit in data/ and ST/ beside the executable (a build folder), or
// under ../share/tetrad relative to it (an installed program).
#pragma once

#include <string>

// The directory that holds the executable.
std::string program_dir();
// The folder holding data/ and ST/ for an executable in `exe_dir`: the
// executable's own folder when it has data/, else ../share/tetrad when that
// has it, else the executable's folder (whose missing images are then named).
std::string data_root(const std::string& exe_dir);
// data_root(program_dir()) joined with a relative path.
std::string program_path(const char* relative);
