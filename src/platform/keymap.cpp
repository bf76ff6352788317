#include "platform/keymap.h"

namespace {

struct KeyEntry {
  int32_t scancode;
  int32_t raw;
};

// USB HID usage numbers of the keyboard page.
constexpr KeyEntry kKeys[] = {
    // ` left of 1
    {53, 0x00},
    // 1..5
    {30, 0x01},
    {31, 0x02},
    {32, 0x03},
    {33, 0x04},
    {34, 0x05},
    // 6..0
    {35, 0x06},
    {36, 0x07},
    {37, 0x08},
    {38, 0x09},
    {39, 0x0A},
    // - =
    {45, 0x0B},
    {46, 0x0C},
    // keypad 0
    {98, 0x0F},
    // Q W E R T
    {20, 0x10},
    {26, 0x11},
    {8, 0x12},
    {21, 0x13},
    {23, 0x14},
    // Y U I O P
    {28, 0x15},
    {24, 0x16},
    {12, 0x17},
    {18, 0x18},
    {19, 0x19},
    // [ ]
    {47, 0x1A},
    {48, 0x1B},
    // keypad 1 2 3
    {89, 0x1D},
    {90, 0x1E},
    {91, 0x1F},
    // A S D F G
    {4, 0x20},
    {22, 0x21},
    {7, 0x22},
    {9, 0x23},
    {10, 0x24},
    // H J K L ;
    {11, 0x25},
    {13, 0x26},
    {14, 0x27},
    {15, 0x28},
    {51, 0x29},
    // '
    {52, 0x2A},
    // backslash (ANSI) and # (ISO) share the spot right of '
    {49, 0x2B},
    {50, 0x2B},
    // keypad 4 5 6
    {92, 0x2D},
    {93, 0x2E},
    {94, 0x2F},
    // ISO key left of Z
    {100, 0x30},
    // Z X C V B
    {29, 0x31},
    {27, 0x32},
    {6, 0x33},
    {25, 0x34},
    {5, 0x35},
    // N M , . /
    {17, 0x36},
    {16, 0x37},
    {54, 0x38},
    {55, 0x39},
    {56, 0x3A},
    // keypad .
    {99, 0x3C},
    // keypad 7 8 9
    {95, 0x3D},
    {96, 0x3E},
    {97, 0x3F},
    // Space
    {44, 0x40},
    // Backspace, Tab
    {42, 0x41},
    {43, 0x42},
    // keypad Enter, Return, Esc
    {88, 0x43},
    {40, 0x44},
    {41, 0x45},
    // Delete, Insert, Home, End
    {76, 0x46},
    {73, 0x5F},
    {74, 0x47},
    {77, 0x48},
    // keypad -
    {86, 0x4A},
    // F11
    {68, 0x4B},
    // up down right left
    {82, 0x4C},
    {81, 0x4D},
    {79, 0x4E},
    {80, 0x4F},
    // F1..F5
    {58, 0x50},
    {59, 0x51},
    {60, 0x52},
    {61, 0x53},
    {62, 0x54},
    // F6..F10
    {63, 0x55},
    {64, 0x56},
    {65, 0x57},
    {66, 0x58},
    {67, 0x59},
    // keypad / * +
    {84, 0x5C},
    {85, 0x5D},
    {87, 0x5E},
    // Shifts, Caps, Ctrl
    {225, 0x60},
    {229, 0x61},
    {57, 0x62},
    {224, 0x63},
    // Alts, left Super
    {226, 0x64},
    {230, 0x65},
    {227, 0x66},
    // right command: right Super, or right Ctrl where it is missing
    {231, 0x67},
    {228, 0x67},
    // F12
    {69, kRawStereoKey},
    // Num Lock
    {83, 0x79},
};

struct QualifierEntry {
  int32_t scancode;
  int32_t bit;
};

constexpr QualifierEntry kQualifiers[] = {
    {225, kQualLeftShift},    {229, kQualRightShift},   {224, kQualCtrl},
    {226, kQualLeftAlt},      {230, kQualRightAlt},     {227, kQualLeftCommand},
    {231, kQualRightCommand}, {228, kQualRightCommand},
};

}  // namespace

int32_t raw_key_for_scancode(int32_t scancode) {
  for (const KeyEntry& key : kKeys)
    if (key.scancode == scancode) return key.raw;
  return -1;
}

int32_t qualifier_for_scancode(int32_t scancode) {
  for (const QualifierEntry& q : kQualifiers)
    if (q.scancode == scancode) return q.bit;
  return 0;
}

void input_key_event(PlatformInput& input, int32_t scancode, bool pressed) {
  // The qualifier of an event includes the key itself while it is down, so
  // a right-hand qualifier held alone is seen as held.
  const int32_t bit = qualifier_for_scancode(scancode);
  if (pressed) {
    input.held_qualifiers |= bit;
  } else {
    input.held_qualifiers &= ~bit;
  }
  const int32_t raw = raw_key_for_scancode(scancode);
  if (raw < 0) return;
  // The layout's character for a press arrives as a separate event after it.
  input.text_char = 0;
  input.raw_key = pressed ? raw : raw | kRawReleaseBit;
  input.raw_qualifier = input.held_qualifiers;
}

void input_button_event(PlatformInput& input, int32_t button, bool pressed) {
  int32_t bit = 0;
  if (button == 1) bit = kButtonLeft;
  if (button == 3) bit = kButtonRight;
  if (pressed) {
    input.buttons |= bit;
  } else {
    input.buttons &= ~bit;
  }
}

void input_wheel_event(PlatformInput& input, int32_t notches) {
  input.wheel += notches;
}

void input_text_event(PlatformInput& input, const char* utf8) {
  const auto c = static_cast<unsigned char>(utf8[0]);
  // One plain character only; composed or non-ASCII text is left to the
  // built-in key tables.
  input.text_char = (c >= 32 && c < 127 && utf8[1] == 0) ? c : 0;
}

void input_focus_lost(PlatformInput& input) {
  input.raw_key = 0;
  input.text_char = 0;
  input.raw_qualifier = 0;
  input.held_qualifiers = 0;
  input.buttons = 0;
}
