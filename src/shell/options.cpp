#include "shell/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kMaxFrames = 1000000;

// A whole number in [low, high], nothing else in the text.
bool parse_number(const char* text, int32_t low, int32_t high, int32_t* out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

}  // namespace

const char* parse_live_options(int argc, char** argv, LiveOptions& options) {
  options = LiveOptions{0, false, false, nullptr, nullptr, 1, nullptr};
  bool frames_given = false;
  bool window_options = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (std::strcmp(arg, "--scale") == 0) {
      if (!parse_number(next, 1, 4, &options.scale)) return "--scale takes a number from 1 to 4";
      window_options = true;
      ++i;
    } else if (std::strcmp(arg, "--fullscreen") == 0) {
      options.fullscreen = true;
      window_options = true;
    } else if (std::strcmp(arg, "--play") == 0) {
      options.play = true;
    } else if (std::strcmp(arg, "--screenshot") == 0) {
      if (!next || !*next) return "--screenshot takes an output file";
      options.screenshot = next;
      ++i;
    } else if (std::strcmp(arg, "--script") == 0) {
      if (!next || !*next) return "--script takes an input script";
      options.script = next;
      ++i;
    } else if (std::strcmp(arg, "--frames") == 0) {
      if (!parse_number(next, 1, kMaxFrames, &options.frames))
        return "--frames takes a number from 1 to 1000000";
      frames_given = true;
      ++i;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return "unknown option";
    } else {
      if (options.module) return "only one module can be given";
      options.module = arg;
    }
  }
  if (frames_given && !options.screenshot) return "--frames needs --screenshot";
  if (window_options && (options.screenshot || options.script))
    return "--screenshot and --script open no window";
  if (options.screenshot && options.script) return "--script writes its own pictures";
  return nullptr;
}
