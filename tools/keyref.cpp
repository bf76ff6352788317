// Prints the key reference in Markdown from the tables the keyboard handler
// runs on, so the documentation cannot drift from the program.
//   keyref           the whole reference (docs/keys.md)
//   keyref --short   the table of first keys for the README
//   keyref --man     the same keys as tagged paragraphs of the manual page
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "edit/edit_op.h"
#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "edit/position_editor.h"
#include "edit/setup_screen.h"
#include "engine/periods.h"

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Key caps as they read on a PC keyboard (US layout). Keys are found by
// position, so on another layout the key in the same place does the same.
std::string key_name(int32_t key_index) {
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

std::string key_range(const KeyCommand& command) {
  if (command.first_key == command.last_key) return key_name(command.first_key);
  std::string keys;
  for (int32_t k = command.first_key; k <= command.last_key; ++k) {
    if (key_code_of_index(k) < 0) continue;
    if (!keys.empty()) keys += ", ";
    keys += key_name(k);
  }
  return keys;
}

std::string modifiers(int32_t flags) {
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

// What must be held with the key: the table's modifier and the entry's own.
std::string held(const KeyCommandTable& table, const KeyCommand& command) {
  std::string parts = modifiers(table.modifier);
  const std::string own = modifiers(command.any_of);
  if (!own.empty()) parts += (parts.empty() ? "" : " + ") + own;
  return parts;
}

std::string escape(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '|' || c == '*' || c == '_' || c == '<' || c == '`') out += '\\';
    out += c;
  }
  return out;
}

void print_notes() {
  std::printf("## Notes\n\n");
  std::printf(
      "The two letter rows are a piano keyboard. F2 selects the upper octaves, F1 the lower "
      "ones. A note key sounds the note on the cursor channel with the current sample; in edit "
      "mode it is also written into the cell and the cursor moves on by the edit skip.\n\n");
  std::printf("| key | F2 (upper) | F1 (lower) |\n|---|---|---|\n");
  for (int32_t ordinal = 0; ordinal < kNoteKeyCount; ++ordinal) {
    const KeyRecord& record = kNoteKeys[ordinal];
    std::string notes[2];
    for (int octave = 0; octave < 2; ++octave) {
      const int32_t index = note_period_index(ordinal, octave * 12);
      if (index == kStopAllNote)
        notes[octave] = "silence all channels";
      else if (index == kNoNote)
        notes[octave] = "";
      else
        notes[octave] = upper(note_name(kNotePeriods[index]));
    }
    std::printf("| %s | %s | %s |\n", escape(key_name(record.key_index)).c_str(), notes[0].c_str(),
                notes[1].c_str());
  }
  std::printf("\n");
}

void print_commands() {
  const char* titles[kKeyCommandTableCount] = {"Keys", "Super (left Windows key) +", "Ctrl +",
                                               "Alt +"};
  for (int32_t t = 0; t < kKeyCommandTableCount; ++t) {
    const KeyCommandTable& table = kKeyCommandTables[t];
    std::printf("## %s\n\n| held | key | does |\n|---|---|---|\n", titles[t]);
    for (int32_t i = 0; i < table.count; ++i) {
      const KeyCommand& command = table.commands[i];
      if (command.announced) continue;
      std::printf("| %s | %s | %s%s |\n", held(table, command).c_str(),
                  escape(key_range(command)).c_str(), escape(command.what).c_str(),
                  command.once ? "" : " (repeats while held)");
    }
    std::printf("\n");
  }
  std::printf(
      "## Not built yet\n\nThese keys say \"NOT IMPLEMENTED\" on the message line for now:\n\n");
  for (const KeyCommandTable& table : kKeyCommandTables)
    for (int32_t i = 0; i < table.count; ++i)
      if (table.commands[i].announced)
        std::printf("- %s\n", escape(table.commands[i].what).c_str());
  std::printf("\n");
}

template <size_t N>
void print_screen_keys(const char* title, const ScreenKey (&keys)[N]) {
  std::printf("## %s\n\n| key | does |\n|---|---|\n", title);
  for (const ScreenKey& key : keys) {
    const KeyCommand range{key.first_key, key.last_key, 0, 0, 1, nullptr, 0, key.what, 0};
    std::printf("| %s | %s |\n", escape(key_range(range)).c_str(), escape(key.what).c_str());
  }
  std::printf("\n");
}

// The window's own keys, handled before the key tables.
void print_window_keys() {
  std::printf("## Window\n\n| key | does |\n|---|---|\n");
  std::printf("| F11 | full screen on and off |\n");
  std::printf("| F12 | stereo or mono output (the sound restarts) |\n");
  std::printf(
      "| Shift + F12 | next output model: exact, a500, a1200 (named on the message line) |\n\n");
}

const KeyCommand* find_command(int32_t table_modifier, int32_t key_index, int32_t any_of) {
  for (const KeyCommandTable& table : kKeyCommandTables) {
    if (table.modifier != table_modifier) continue;
    for (int32_t i = 0; i < table.count; ++i) {
      const KeyCommand& c = table.commands[i];
      if (key_index >= c.first_key && key_index <= c.last_key && c.any_of == any_of && !c.announced)
        return &c;
    }
  }
  return nullptr;
}

// A manual page line starting with . or ' would be read as a request, and
// a backslash as an escape.
std::string roff_text(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\\' ? std::string("\\e") : std::string(1, c);
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

// One row of the first keys: a Markdown table row, or a tagged paragraph.
void print_row(bool man, const std::string& keys, const std::string& does) {
  if (man) {
    std::printf(".TP\n.B %s\n%s\n", roff_text(keys).c_str(), roff_text(does).c_str());
  } else {
    std::printf("| %s | %s |\n", escape(keys).c_str(), escape(does).c_str());
  }
}

// The first keys a user needs, picked from the tables by key.
int print_short(bool man) {
  struct Pick {
    int32_t table_modifier, key_index, any_of;
  };
  const Pick picks[] = {
      {0, kKeyRightAlt, 0},
      {0, kKeyRightAmiga, 0},
      {0, kKeyRightShift, 0},
      {0, kKeySpace, 0},
      {0, kKeyF2, 0},
      {0, kKeyF1, 0},
      {0, kKeyLeft, 0},
      {0, kKeyRight, 0},
      {0, kKeyTab, 0},
      {0, kKeyDown, 0},
      {0, kKeyUp, 0},
      {0, kKeyDel, 0},
      {kModifierCtrl, kKey1, 0},
      {0, kKeyF3, kModifierShift},
      {0, kKeyF4, kModifierShift},
      {0, kKeyF5, kModifierShift},
      {0, kKeyF4, kModifierAlt},
      {0, kKeyF5, kModifierAlt},
      {kModifierCtrl, kKeyU, 0},
      {kModifierAlt, kKeyZ, 0},
      {kModifierAlt, kKeyE, 0},
      {kModifierAlt, kKeyI, 0},
      {kModifierCtrl, kKeyS, 0},
      {kModifierAlt, kKeyQ, 0},
  };
  if (!man) std::printf("| keys | does |\n|---|---|\n");
  print_row(man, "the two letter rows (Q... and Z...)", "play notes; in edit mode also write them");
  for (const Pick& pick : picks) {
    const KeyCommand* command = find_command(pick.table_modifier, pick.key_index, pick.any_of);
    if (command == nullptr) {
      std::fprintf(stderr, "keyref: no command for key %d in table %d\n", pick.key_index,
                   pick.table_modifier);
      return 1;
    }
    std::string keys = modifiers(pick.table_modifier | pick.any_of);
    if (!keys.empty()) keys += " + ";
    keys += key_range(*command);
    print_row(man, keys, command->what);
  }
  print_row(man, "F11 / F12", "full screen / stereo or mono");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--short") == 0) return print_short(false);
  if (argc == 2 && std::strcmp(argv[1], "--man") == 0) return print_short(true);
  if (argc != 1) {
    std::fprintf(stderr, "usage: keyref [--short | --man]\n");
    return 2;
  }
  std::printf("# Tetrad keys\n\n");
  std::printf(
      "Generated by `build/keyref` from the program's key tables. Keys are read by their "
      "position on the keyboard, so they sit in the same place on any layout; the names here are "
      "those of a US keyboard. Super is the left Windows key.\n\n");
  print_notes();
  print_commands();
  print_screen_keys("Position editor (POS), while it is open", kPositionEditorKeys);
  print_screen_keys("Edit-op screen, while it is open", kEditOpKeys);
  print_screen_keys("Setup screen (SETUP), while it is open", kSetupKeys);
  print_window_keys();
  return 0;
}
