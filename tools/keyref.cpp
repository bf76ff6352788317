// Prints the key reference in Markdown from the tables the keyboard handler
// runs on, so the documentation cannot drift from the program.
//   keyref           the whole reference (docs/keys.md)
//   keyref --short   the table of first keys for the README
//   keyref --man     the same keys as tagged paragraphs of the manual page
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "edit/key_reference.h"
#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "engine/periods.h"

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
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
    std::printf("| %s | %s | %s |\n", escape(key_cap(record.key_index)).c_str(), notes[0].c_str(),
                notes[1].c_str());
  }
  std::printf("\n");
}

// The command tables, the screens' keys and the window's, in the
// reference's order.
void print_sections() {
  for (const KeySection& section : key_reference()) {
    if (section.kind == KeySectionKind::kCommands) {
      std::printf("## %s\n\n| held | key | does |\n|---|---|---|\n", section.title);
      for (const KeyLine& line : section.lines)
        std::printf("| %s | %s | %s |\n", line.held.c_str(), escape(line.keys).c_str(),
                    escape(line.does).c_str());
    } else {
      std::printf("## %s\n\n| key | does |\n|---|---|\n", section.title);
      for (const KeyLine& line : section.lines) {
        const std::string keys = line.held.empty() ? line.keys : line.held + " + " + line.keys;
        std::printf("| %s | %s |\n", escape(keys).c_str(), escape(line.does).c_str());
      }
    }
    std::printf("\n");
  }
}

const KeyCommand* find_command(int32_t table_modifier, int32_t key_index, int32_t any_of) {
  for (const KeyCommandTable& table : kKeyCommandTables) {
    if (table.modifier != table_modifier) continue;
    for (int32_t i = 0; i < table.count; ++i) {
      const KeyCommand& c = table.commands[i];
      if (key_index >= c.first_key && key_index <= c.last_key && c.any_of == any_of) return &c;
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
    std::string keys = modifier_names(pick.table_modifier | pick.any_of);
    if (!keys.empty()) keys += " + ";
    keys += key_caps(command->first_key, command->last_key);
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
  print_sections();
  return 0;
}
