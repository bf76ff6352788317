#include "diskop/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool entry_before(const DirEntry& a, const DirEntry& b) {
  if (a.type != b.type) return a.type == kEntryDirectory;
  const int folded = strcasecmp(a.name, b.name);
  if (folded != 0) return folded < 0;
  return std::strcmp(a.name, b.name) < 0;  // a fixed order for names differing in case only
}

bool fits(const char* text, size_t size) {
  return std::strlen(text) < size;
}

// Subdirectories of a mount root such as /media/$USER, in name order.
void add_mounts(const std::string& root, std::vector<std::string>& places) {
  DirList list{};
  if (!read_directory(root.c_str(), list)) return;
  for (const DirEntry& entry : list.entries)
    if (entry.type == kEntryDirectory) places.push_back(root + "/" + entry.name);
}

std::vector<std::string> places() {
  std::vector<std::string> result;
  if (const char* home = std::getenv("HOME"); home && *home == '/') result.push_back(home);
  result.push_back(working_directory());
  result.push_back("/");
  if (const char* user = std::getenv("USER"); user && *user && !std::strchr(user, '/')) {
    add_mounts(std::string("/media/") + user, result);
    add_mounts(std::string("/run/media/") + user, result);
  }
  add_mounts("/mnt", result);
  return result;
}

}  // namespace

bool read_directory(const char* path, DirList& list) {
  list.entries.clear();
  std::snprintf(list.path, sizeof list.path, "%s", path);
  list.readable = false;
  DIR* dir = opendir(path);
  if (!dir) return false;
  const int fd = dirfd(dir);
  while (const dirent* item = readdir(dir)) {
    const char* name = item->d_name;
    if (name[0] == '.' || std::strlen(name) >= sizeof DirEntry::name) continue;
    struct stat info;
    // stat, not lstat: a link to a directory is entered like one.
    if (fstatat(fd, name, &info, 0) != 0) continue;
    DirEntry entry{};
    if (S_ISDIR(info.st_mode)) {
      entry.type = kEntryDirectory;
    } else if (S_ISREG(info.st_mode)) {
      entry.type = kEntryFile;
      entry.size = static_cast<uint64_t>(info.st_size);
    } else {
      continue;
    }
    std::memcpy(entry.name, name, std::strlen(name) + 1);
    entry.modified = info.st_mtime;
    list.entries.push_back(entry);
  }
  closedir(dir);
  std::sort(list.entries.begin(), list.entries.end(), entry_before);
  list.readable = true;
  return true;
}

bool parent_directory(const char* path, char* out, size_t size) {
  std::string text(path);
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const size_t slash = text.rfind('/');
  if (text == "/" || slash == std::string::npos) return false;
  const std::string parent = slash == 0 ? "/" : text.substr(0, slash);
  if (!fits(parent.c_str(), size)) return false;
  std::memcpy(out, parent.c_str(), parent.size() + 1);
  return true;
}

bool join_path(char* path, const char* name, size_t size) {
  if (!*name || std::strchr(name, '/') || !std::strcmp(name, ".") || !std::strcmp(name, ".."))
    return false;
  const size_t length = std::strlen(path);
  const bool slash = length > 0 && path[length - 1] != '/';
  const size_t total = length + (slash ? 1 : 0) + std::strlen(name);
  if (total >= size) return false;
  if (slash) path[length] = '/';
  std::memcpy(path + length + (slash ? 1 : 0), name, std::strlen(name) + 1);
  return true;
}

int32_t count_volumes() {
  return static_cast<int32_t>(places().size());
}

bool volume_name(int32_t index, char* out, size_t size) {
  out[0] = 0;
  const std::vector<std::string> all = places();
  if (index < 0 || static_cast<size_t>(index) >= all.size()) return false;
  if (!fits(all[index].c_str(), size)) return false;
  std::memcpy(out, all[index].c_str(), all[index].size() + 1);
  return true;
}

bool path_exists(const char* path) {
  struct stat info;
  return lstat(path, &info) == 0;
}

bool make_directories(const char* path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

std::string data_directory() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
    return std::string(data) + "/tetrad";
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::string(home) + "/.local/share/tetrad";
  return {};
}

std::string working_directory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : "/";
}

std::string directory_of(const char* path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return working_directory();
  const std::string parent = absolute.lexically_normal().parent_path().string();
  return parent.empty() ? "/" : parent;
}
