// Key codes, key indices and the constant tables every keyboard consumer
// reads. Key codes are PC set-1 scan codes (0xE0-prefixed keys as 0x80 plus
// the second byte); consumers dispatch on the key index, so another keyboard
// needs only another key-name table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/periods.h"

// Bits of EditorState::modifiers. Only the left-hand keys are modifiers; the
// right-hand ones arrive as keys of their own.
enum Modifier : int32_t {
  kModifierShift = 1,
  kModifierAlt = 2,
  kModifierAmiga = 4,  // the left command key
  kModifierCtrl = 8,
};

// Key indices of the key-name table (34 is not used).
enum KeyIndex : int32_t {
  kKeyEsc = 1,
  kKeyDown = 2,
  kKeyUp = 3,
  kKeyLeft = 4,
  kKeyRight = 5,
  kKeyTab = 6,
  kKeyDel = 7,
  kKeySpace = 8,
  kKeyRightAlt = 9,
  kKeyRightAmiga = 10,
  kKeyRightShift = 11,
  kKeyF1 = 12,
  kKeyF2 = 13,
  kKeyF3 = 14,
  kKeyF4 = 15,
  kKeyF5 = 16,
  kKeyF6 = 17,
  kKeyF10 = 21,
  kKey1 = 22,
  kKey2 = 23,
  kKey3 = 24,
  kKey4 = 25,
  kKey5 = 26,
  kKey6 = 27,
  kKey7 = 28,
  kKey8 = 29,
  kKey9 = 30,
  kKey0 = 31,
  kKeyMinus = 32,  // right of 0: '-' on a US keyboard
  kKeyBackspace = 35,
  kKeyQ = 36,
  kKeyW = 37,
  kKeyE = 38,
  kKeyR = 39,
  kKeyT = 40,
  kKeyY = 41,
  kKeyU = 42,
  kKeyI = 43,
  kKeyO = 44,
  kKeyP = 45,
  kKeyReturn = 48,
  kKeyA = 49,
  kKeyS = 50,
  kKeyD = 51,
  kKeyF = 52,
  kKeyG = 53,
  kKeyH = 54,
  kKeyJ = 55,
  kKeyK = 56,
  kKeyL = 57,
  kKeyStopAll = 61,  // the ISO key left of Z
  kKeyZ = 62,
  kKeyX = 63,
  kKeyC = 64,
  kKeyV = 65,
  kKeyB = 66,
  kKeyN = 67,
  kKeyM = 68,
  kKeyNum1 = 72,
  kKeyNum2 = 73,
  kKeyNum3 = 74,
  kKeyNum4 = 75,
  kKeyNum5 = 76,
  kKeyNum6 = 77,
  kKeyNum7 = 78,
  kKeyNum8 = 79,
  kKeyNum9 = 80,
  kKeyNum0 = 81,
  kKeyNumDel = 82,
  kKeyNumEnter = 83,
  kKeyNumPlus = 84,
  kKeyNumMinus = 85,
  kKeyNumMul = 86,
  kKeyNumDiv = 87,
  kKeyNumLock = 88,
  kKeyIns = 89,
};

// One entry of the key tables. A record with key code and key index -1 ends
// a table. In the character tables the text-editing keys (cursor, delete,
// return, escape) type nothing: they are flagged and carry their key index.
struct KeyRecord {
  char text[16];
  int32_t key_code;
  int32_t key_index;
  bool edits_text = false;
};

constexpr int32_t kKeyNameCount = 88;
constexpr int32_t kNoteKeyCount = 38;
constexpr int32_t kCharKeyCount = 56;
constexpr int32_t kNotePeriodCount = 36;

// A key an open screen takes for itself, before the keyboard handler: key
// indices first_key .. last_key.
struct ScreenKey {
  int32_t first_key;
  int32_t last_key;
  const char* what;  // for the key reference
};
// Whether a table of screen keys has the key, held without modifiers.
template <size_t N>
constexpr bool screen_takes_key(const ScreenKey (&keys)[N], int32_t key_index, int32_t modifiers) {
  if (modifiers != 0) return false;
  for (const ScreenKey& key : keys)
    if (key_index >= key.first_key && key_index <= key.last_key) return true;
  return false;
}

// Each table has its count of records followed by the end record.
extern const KeyRecord kKeyNames[kKeyNameCount + 1];
extern const KeyRecord kNoteKeys[kNoteKeyCount + 1];
extern const KeyRecord kPlainChars[kCharKeyCount + 1];
extern const KeyRecord kShiftedChars[kCharKeyCount + 1];
// The finetune-0 periods in the order the note keys reach them: octave 3,
// then 2, then 1, each c .. b.
inline constexpr std::array<int16_t, kNotePeriodCount> kNotePeriods = [] {
  std::array<int16_t, kNotePeriodCount> periods{};
  for (int32_t i = 0; i < kNotePeriodCount; ++i)
    periods[i] = kPeriodTable[0][(2 - i / 12) * 12 + i % 12];
  return periods;
}();

// The first record of the table with the key code, or the table's end
// record. Key code 0 (no key) is in no table.
const KeyRecord* find_key_record(const KeyRecord* table, int32_t key_code);
inline bool is_end_record(const KeyRecord* record) {
  return record->key_index < 0;
}
// The key code of the key with that index, or -1 when there is none.
int32_t key_code_of_index(int32_t key_index);
// The key index of a key code, or -1 for keys the system does not know.
int32_t key_index_of_code(int32_t key_code);
// Position of a key in the note-key table, or -1.
int32_t note_key_ordinal(int32_t key_code);
// Value 0..15 of a hexadecimal-digit key, or -1.
int32_t hex_digit_value(int32_t key_index);

// What a note key plays at an octave offset of 0 or 12.
enum : int32_t { kNoNote = -1, kStopAllNote = -2 };
// Index into kNotePeriods for the note key at `ordinal`, kStopAllNote for
// the silence key, or kNoNote where the key has no note at this octave.
int32_t note_period_index(int32_t ordinal, int32_t octave_offset);
