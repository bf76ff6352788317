// The key reference in words, taken from the tables the keyboard handler
// and the screens run on: the help screen shows it and the key reference
// in docs/ is printed from it, so neither can drift from the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct KeyLine {
  std::string held;  // modifiers to hold, empty when none
  std::string keys;
  std::string does;
};

enum class KeySectionKind : int32_t { kCommands, kScreen, kWindow };

struct KeySection {
  const char* title;
  KeySectionKind kind;
  std::vector<KeyLine> lines;
};

// The four command tables (plain, Super, Ctrl, Alt), the keys each open
// screen takes, then the window's own keys. Keys not built yet are left out.
const std::vector<KeySection>& key_reference();
// A key's cap as on a US PC keyboard; keys are read by place, so on another
// layout the key in the same place does the same.
std::string key_cap(int32_t key_index);
// The caps of key indices first..last, comma separated.
std::string key_caps(int32_t first_key, int32_t last_key);
// Modifier flags as "Super/Ctrl/Shift/Alt" names joined by '/'.
std::string modifier_names(int32_t flags);
