#include "shell/program_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace {

bool has_data(const std::string& root) {
  struct stat info {};
  return stat((root + "/data").c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string program_dir() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string path(buffer, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string data_root(const std::string& exe_dir) {
  if (has_data(exe_dir)) return exe_dir;
  const std::string installed = exe_dir + "/../share/tetrad";
  return has_data(installed) ? installed : exe_dir;
}

std::string program_path(const char* relative) {
  // Looked up once: the answer cannot change while the program runs.
  static const std::string root = data_root(program_dir());
  return root + "/" + relative;
}
