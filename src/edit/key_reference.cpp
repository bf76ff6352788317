#include "edit/key_reference.h"

#include <cctype>

#include "edit/edit_op.h"
#include "edit/help_screen.h"
#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "edit/list_jump.h"
#include "edit/position_editor.h"
#include "edit/presets_screen.h"
#include "edit/setup_screen.h"

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// What must be held with the key: the table's modifier and the entry's own.
std::string held(const KeyCommandTable& table, const KeyCommand& command) {
  std::string parts = modifier_names(table.modifier);
  const std::string own = modifier_names(command.any_of);
  if (!own.empty()) parts += (parts.empty() ? "" : " + ") + own;
  return parts;
}

template <size_t N>
KeySection screen_section(const char* title, const ScreenKey (&keys)[N]) {
  KeySection section{title, KeySectionKind::kScreen, {}};
  for (const ScreenKey& key : keys)
    if (key.what)
      section.lines.push_back(
          {"", key.caps ? key.caps : key_caps(key.first_key, key.last_key), key.what});
  return section;
}

std::vector<KeySection> build() {
  std::vector<KeySection> sections;
  const char* titles[kKeyCommandTableCount] = {"Keys", "Super (left Windows key) +", "Ctrl +",
                                               "Alt +"};
  for (int32_t t = 0; t < kKeyCommandTableCount; ++t) {
    const KeyCommandTable& table = kKeyCommandTables[t];
    KeySection section{titles[t], KeySectionKind::kCommands, {}};
    for (int32_t i = 0; i < table.count; ++i) {
      const KeyCommand& command = table.commands[i];
      section.lines.push_back(
          {held(table, command), key_caps(command.first_key, command.last_key),
           std::string(command.what) + (command.once ? "" : " (repeats while held)")});
    }
    sections.push_back(std::move(section));
  }
  sections.push_back(screen_section("Disk op, while it is open", kDiskOpKeys));
  sections.push_back(
      screen_section("Position editor (POS), while it is open", kPositionEditorKeys));
  sections.push_back(screen_section("Edit-op screen, while it is open", kEditOpKeys));
  sections.push_back(screen_section("Setup screen (SETUP), while it is open", kSetupKeys));
  sections.push_back(screen_section("Presets screen (PRESETS), while it is open", kPresetsKeys));
  sections.push_back(screen_section("Help screen (HELP), while it is open", kHelpKeys));
  sections.push_back(
      {"Window",
       KeySectionKind::kWindow,
       {{"", "F11", "full screen on and off"},
        {"", "F12", "stereo or mono output (the sound restarts)"},
        {"Shift", "F12", "next output model: exact, a500, a1200 (named on the message line)"}}});
  return sections;
}

}  // namespace

const std::vector<KeySection>& key_reference() {
  static const std::vector<KeySection> sections = build();
  return sections;
}

std::string key_cap(int32_t key_index) {
  switch (key_index) {
    case kKeyEsc:
      return "Esc";
    case kKeyBackspace:
      return "Backspace";
    case kKeyReturn:
      return "Return";
    case kKeySpace:
      return "Space";
    case kKeyRightAlt:
      return "right Alt";
    case kKeyRightAmiga:
      return "right Ctrl";
    case kKeyRightShift:
      return "right Shift";
    case kKeyStopAll:
      return "the key left of Z (ISO keyboards)";
    case kKeyNumLock:
      return "Num Lock";
    case kKeyNumDiv:
      return "keypad /";
    case kKeyNumMul:
      return "keypad *";
    case kKeyNumMinus:
      return "keypad -";
    case kKeyNumPlus:
      return "keypad +";
    case kKeyNumEnter:
      return "keypad Enter";
    case kKeyNumDel:
      return "keypad .";
    case kKeyIns:
      return "Insert";
    default:
      break;
  }
  const int32_t code = key_code_of_index(key_index);
  const KeyRecord* typed = find_key_record(kPlainChars, code);
  if (!is_end_record(typed) && !typed->edits_text) return upper(typed->text);
  const KeyRecord* named = find_key_record(kKeyNames, code);
  if (is_end_record(named)) return "?";
  std::string name = named->text;
  if (name.rfind("NUM", 0) == 0) return "keypad " + name.substr(3);
  return name;
}

std::string key_caps(int32_t first_key, int32_t last_key) {
  if (first_key == last_key) return key_cap(first_key);
  std::string keys;
  for (int32_t k = first_key; k <= last_key; ++k) {
    if (key_code_of_index(k) < 0) continue;
    if (!keys.empty()) keys += ", ";
    keys += key_cap(k);
  }
  return keys;
}

std::string modifier_names(int32_t flags) {
  std::string text;
  const struct {
    int32_t flag;
    const char* name;
  } names[] = {{kModifierAmiga, "Super"},
               {kModifierCtrl, "Ctrl"},
               {kModifierShift, "Shift"},
               {kModifierAlt, "Alt"}};
  for (const auto& n : names)
    if (flags & n.flag) text += std::string(text.empty() ? "" : "/") + n.name;
  return text;
}
