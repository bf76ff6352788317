// The disk op's view of the file system: directory lists, path services and
// the places the volume button offers. The only disk-op code that touches
// POSIX or std::filesystem, so the screen logic is plain string work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "render/screen.h"

enum DirEntryType : int32_t { kEntryFile = 0, kEntryDirectory = 1 };

struct DirEntry {
  int32_t type;
  char name[256];  // NUL-terminated
  uint64_t size;   // bytes; 0 for directories
  time_t modified;
};

// Directories first, then regular files, each group in case-insensitive
// name order. Hidden entries (a leading '.') and anything that is neither a
// directory nor a regular file (FIFOs, devices, sockets, dangling links) are
// left out; links count as what they point to.
struct DirList {
  std::vector<DirEntry> entries;
  char path[kPathSize];  // the directory the entries were read from
  bool readable;         // false when the directory could not be opened
};

// Reads `path` into `list`; false (with an empty list) when the directory
// cannot be read.
bool read_directory(const char* path, DirList& list);
// The parent of an absolute path, without a trailing '/'. False, with `out`
// untouched, at "/" and when the parent does not fit in `size` bytes.
bool parent_directory(const char* path, char* out, size_t size);
// Appends "/name" to the path in place (no second '/' after a trailing one).
// False, with the path untouched, when the result does not fit in `size`
// bytes or the name is empty, "." or "..", or holds a '/'.
bool join_path(char* path, const char* name, size_t size);

// The places the volume button cycles through: home, the working directory,
// "/", then the mounted media under /media/$USER, /run/media/$USER and
// /mnt. Counted afresh each time, so media mounted later appear.
int32_t count_volumes();
// The index-th place (0-based) into `out`; false with `out` empty when
// there is no such place or it does not fit.
bool volume_name(int32_t index, char* out, size_t size);

// True when something exists at the path (the overwrite question).
bool path_exists(const char* path);
// Creates the directory and its missing parents; true when it is there.
bool make_directories(const char* path);
// The per-user data directory of the program: $XDG_DATA_HOME/tetrad, or
// ~/.local/share/tetrad. Empty when neither variable is set.
std::string data_directory();
// The working directory, or "/" when it cannot be had.
std::string working_directory();
// The absolute directory holding the file `path`.
std::string directory_of(const char* path);
