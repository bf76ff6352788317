// Named fields for the table-driven tests: a case sets fields from a
// "name=value ..." list before it runs and checks another list afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fields {

using Named = std::vector<std::pair<const char*, int32_t*>>;

// The field called `name`; a failure (and a scratch field) when none is.
inline int32_t* find(const Named& named, const std::string& name) {
  for (const auto& [n, field] : named)
    if (name == n) return field;
  ADD_FAILURE() << "no field " << name;
  static int32_t scratch;
  return &scratch;
}

// Calls `act` with the name and the value of each "name=value" in `list`.
inline void each(const std::string& list,
                 const std::function<void(const std::string&, const std::string&)>& act) {
  std::istringstream in(list);
  for (std::string item; in >> item;) {
    const size_t eq = item.find('=');
    act(item.substr(0, eq), item.substr(eq + 1));
  }
}

// The checks in `expect` that `get` does not meet, as " name=actual".
inline std::string wrong(const std::string& expect,
                         const std::function<std::string(const std::string&)>& get) {
  std::string out;
  each(expect, [&](const std::string& name, const std::string& value) {
    const std::string got = get(name);
    if (got != value) out += " " + name + "=" + got;
  });
  return out;
}

}  // namespace fields
