// Feeds arbitrary bytes to the settings reader: it must neither crash nor
// read out of bounds, every skipped line has a number and a reason, and
// whatever it takes stays in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<SettingsProblem> problems;
  const Settings s =
      parse_settings(std::string_view(reinterpret_cast<const char*>(data), size), problems);
  if (s.autosave_seconds < 0 || s.autosave_seconds > 86400 || s.repeat_delay_ms < 0 ||
      s.repeat_delay_ms > 2000)
    std::abort();
  for (const SettingsProblem& problem : problems)
    if (problem.line < 1 || problem.reason.empty()) std::abort();
  return 0;
}
