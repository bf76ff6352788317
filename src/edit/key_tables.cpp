#include "edit/key_tables.h"

// The names follow a Nordic key-cap layout; they are labels only.
const KeyRecord kKeyNames[kKeyNameCount + 1] = {
    {"ESC", 0x01, 1},       {"Down", 0xD0, 2},      {"Up", 0xC8, 3},       {"Left", 0xCB, 4},
    {"Right", 0xCD, 5},     {"Tab", 0x0F, 6},       {"Del", 0xD3, 7},      {"Space", 0x39, 8},
    {"RAlt", 0xB8, 9},      {"RAmiga", 0x9D, 10},   {"RShift", 0x36, 11},  {"F1", 0x3B, 12},
    {"F2", 0x3C, 13},       {"F3", 0x3D, 14},       {"F4", 0x3E, 15},      {"F5", 0x3F, 16},
    {"F6", 0x40, 17},       {"F7", 0x41, 18},       {"F8", 0x42, 19},      {"F9", 0x43, 20},
    {"F10", 0x44, 21},      {"1", 0x02, 22},        {"2", 0x03, 23},       {"3", 0x04, 24},
    {"4", 0x05, 25},        {"5", 0x06, 26},        {"6", 0x07, 27},       {"7", 0x08, 28},
    {"8", 0x09, 29},        {"9", 0x0A, 30},        {"0", 0x0B, 31},       {"+", 0x0C, 32},
    {"\xC2\xB4", 0x0D, 33}, {"BKSPC", 0x0E, 35},    {"Q", 0x10, 36},       {"W", 0x11, 37},
    {"E", 0x12, 38},        {"R", 0x13, 39},        {"T", 0x14, 40},       {"Y", 0x15, 41},
    {"U", 0x16, 42},        {"I", 0x17, 43},        {"O", 0x18, 44},       {"P", 0x19, 45},
    {"\xC3\x85", 0x1A, 46}, {"^", 0x1B, 47},        {"RET", 0x1C, 48},     {"A", 0x1E, 49},
    {"S", 0x1F, 50},        {"D", 0x20, 51},        {"F", 0x21, 52},       {"G", 0x22, 53},
    {"H", 0x23, 54},        {"J", 0x24, 55},        {"K", 0x25, 56},       {"L", 0x26, 57},
    {"\xC3\x96", 0x27, 58}, {"\xC3\x84", 0x28, 59}, {"*", 0x2B, 60},       {"<", 0x56, 61},
    {"Z", 0x2C, 62},        {"X", 0x2D, 63},        {"C", 0x2E, 64},       {"V", 0x2F, 65},
    {"B", 0x30, 66},        {"N", 0x31, 67},        {"M", 0x32, 68},       {",", 0x33, 69},
    {".", 0x34, 70},        {"-", 0x35, 71},        {"NUM0", 0x52, 81},    {"NUM1", 0x4F, 72},
    {"NUM2", 0x50, 73},     {"NUM3", 0x51, 74},     {"NUM4", 0x4B, 75},    {"NUM5", 0x4C, 76},
    {"NUM6", 0x4D, 77},     {"NUM7", 0x47, 78},     {"NUM8", 0x48, 79},    {"NUM9", 0x49, 80},
    {"NUMDEL", 0x53, 82},   {"NUMENTER", 0x9C, 83}, {"NUMPLUS", 0x4E, 84}, {"NUMMINUS", 0x4A, 85},
    {"NUMMUL", 0x37, 86},   {"NUMDIV", 0xB5, 87},   {"NUMLOCK", 0x45, 88}, {"Ins", 0xD2, 89},
    {"Home", 0xC7, 90},     {"End", 0xCF, 91},      {"", -1, -1},
};

// The position in this table matters: it decides the note (see
// note_period_index). 0-11 upper piano row, 12-23 lower row, 24 silence,
// 25-29 lower row continued, 30-37 upper row continued.
const KeyRecord kNoteKeys[kNoteKeyCount + 1] = {
    {"Q", 0x10, 36}, {"2", 0x03, 23},        {"W", 0x11, 37}, {"3", 0x04, 24}, {"E", 0x12, 38},
    {"R", 0x13, 39}, {"5", 0x06, 26},        {"T", 0x14, 40}, {"6", 0x07, 27}, {"Y", 0x15, 41},
    {"7", 0x08, 28}, {"U", 0x16, 42},        {"Z", 0x2C, 62}, {"S", 0x1F, 50}, {"X", 0x2D, 63},
    {"D", 0x20, 51}, {"C", 0x2E, 64},        {"V", 0x2F, 65}, {"G", 0x22, 53}, {"B", 0x30, 66},
    {"H", 0x23, 54}, {"N", 0x31, 67},        {"J", 0x24, 55}, {"M", 0x32, 68}, {"<", 0x56, 61},
    {",", 0x33, 69}, {"L", 0x26, 57},        {".", 0x34, 70}, {";", 0x27, 58}, {"/", 0x35, 71},
    {"I", 0x17, 43}, {"9", 0x0A, 30},        {"O", 0x18, 44}, {"0", 0x0B, 31}, {"P", 0x19, 45},
    {"[", 0x1A, 46}, {"\xC2\xB4", 0x0D, 33}, {"^", 0x1B, 47}, {"", -1, -1},
};

const KeyRecord kPlainChars[kCharKeyCount + 1] = {
    {"1", 0x02, 0},      {"2", 0x03, 0},       {"3", 0x04, 0},       {"4", 0x05, 0},
    {"5", 0x06, 0},      {"6", 0x07, 0},       {"7", 0x08, 0},       {"8", 0x09, 0},
    {"9", 0x0A, 0},      {"0", 0x0B, 0},       {"A", 0x1E, 0},       {"B", 0x30, 0},
    {"C", 0x2E, 0},      {"D", 0x20, 0},       {"E", 0x12, 0},       {"F", 0x21, 0},
    {"G", 0x22, 0},      {"H", 0x23, 0},       {"I", 0x17, 0},       {"J", 0x24, 0},
    {"K", 0x25, 0},      {"L", 0x26, 0},       {"M", 0x32, 0},       {"N", 0x31, 0},
    {"O", 0x18, 0},      {"P", 0x19, 0},       {"Q", 0x10, 0},       {"R", 0x13, 0},
    {"S", 0x1F, 0},      {"T", 0x14, 0},       {"U", 0x16, 0},       {"V", 0x2F, 0},
    {"W", 0x11, 0},      {"X", 0x2D, 0},       {"Y", 0x15, 0},       {"Z", 0x2C, 0},
    {"-", 0x0C, 0},      {"=", 0x0D, 0},       {"[", 0x1A, 0},       {"]", 0x1B, 0},
    {";", 0x27, 0},      {"'", 0x28, 0},       {"#", 0x2B, 0},       {"<", 0x56, 0},
    {",", 0x33, 0},      {".", 0x34, 0},       {"/", 0x35, 0},       {" ", 0x39, 0},
    {"", 0xD0, 2, true}, {"", 0xC8, 3, true},  {"", 0xCB, 4, true},  {"", 0xCD, 5, true},
    {"", 0xD3, 7, true}, {"", 0x0E, 35, true}, {"", 0x1C, 48, true}, {"", 0x01, 1, true},
    {"", -1, -1},
};

const KeyRecord kShiftedChars[kCharKeyCount + 1] = {
    {"!", 0x02, 0},      {"@", 0x03, 0},       {"#", 0x04, 0},       {"$", 0x05, 0},
    {"%", 0x06, 0},      {"^", 0x07, 0},       {"&", 0x08, 0},       {"*", 0x09, 0},
    {"(", 0x0A, 0},      {")", 0x0B, 0},       {"A", 0x1E, 0},       {"B", 0x30, 0},
    {"C", 0x2E, 0},      {"D", 0x20, 0},       {"E", 0x12, 0},       {"F", 0x21, 0},
    {"G", 0x22, 0},      {"H", 0x23, 0},       {"I", 0x17, 0},       {"J", 0x24, 0},
    {"K", 0x25, 0},      {"L", 0x26, 0},       {"M", 0x32, 0},       {"N", 0x31, 0},
    {"O", 0x18, 0},      {"P", 0x19, 0},       {"Q", 0x10, 0},       {"R", 0x13, 0},
    {"S", 0x1F, 0},      {"T", 0x14, 0},       {"U", 0x16, 0},       {"V", 0x2F, 0},
    {"W", 0x11, 0},      {"X", 0x2D, 0},       {"Y", 0x15, 0},       {"Z", 0x2C, 0},
    {"_", 0x0C, 0},      {"+", 0x0D, 0},       {"{", 0x1A, 0},       {"}", 0x1B, 0},
    {":", 0x27, 0},      {"\"", 0x28, 0},      {"^", 0x2B, 0},       {">", 0x56, 0},
    {"<", 0x33, 0},      {">", 0x34, 0},       {"?", 0x35, 0},       {" ", 0x39, 0},
    {"", 0xD0, 2, true}, {"", 0xC8, 3, true},  {"", 0xCB, 4, true},  {"", 0xCD, 5, true},
    {"", 0xD3, 7, true}, {"", 0x0E, 35, true}, {"", 0x1C, 48, true}, {"", 0x01, 1, true},
    {"", -1, -1},
};

namespace {

struct HexDigit {
  int32_t value;
  int32_t key_index;
};

constexpr HexDigit kHexDigits[] = {
    {1, kKey1},  {2, kKey2},  {3, kKey3},  {4, kKey4},  {5, kKey5},  {6, kKey6},
    {7, kKey7},  {8, kKey8},  {9, kKey9},  {0, kKey0},  {10, kKeyA}, {11, kKeyB},
    {12, kKeyC}, {13, kKeyD}, {14, kKeyE}, {15, kKeyF},
};

}  // namespace

const KeyRecord* find_key_record(const KeyRecord* table, int32_t key_code) {
  // Key code 0 must not match anything; real codes are never 0 or -1.
  const KeyRecord* record = table;
  while (!is_end_record(record) && record->key_code != key_code) ++record;
  return record;
}

int32_t key_code_of_index(int32_t key_index) {
  for (const KeyRecord& record : kKeyNames)
    if (record.key_index >= 0 && record.key_index == key_index) return record.key_code;
  return -1;
}

int32_t key_index_of_code(int32_t key_code) {
  return find_key_record(kKeyNames, key_code)->key_index;
}

int32_t note_key_ordinal(int32_t key_code) {
  const KeyRecord* record = find_key_record(kNoteKeys, key_code);
  return is_end_record(record) ? -1 : static_cast<int32_t>(record - kNoteKeys);
}

int32_t hex_digit_value(int32_t key_index) {
  for (const HexDigit& digit : kHexDigits)
    if (digit.key_index == key_index) return digit.value;
  return -1;
}

int32_t note_period_index(int32_t ordinal, int32_t octave_offset) {
  constexpr int32_t kPianoKeys = 24;
  constexpr int32_t kLowerContinued = 25;
  constexpr int32_t kUpperContinued = 30;
  if (octave_offset != 0 && octave_offset != 12) return kNoNote;
  if (ordinal < 0 || ordinal >= kNoteKeyCount) return kNoNote;
  if (ordinal < kPianoKeys) return octave_offset + ordinal;
  if (ordinal == kPianoKeys) return kStopAllNote;
  // The continuations reach one octave above their row; the upper row at
  // the upper octaves has nothing above it in the period table.
  if (ordinal < kUpperContinued) return octave_offset + ordinal - kLowerContinued;
  return octave_offset == 0 ? kNoNote : ordinal - kUpperContinued;
}
