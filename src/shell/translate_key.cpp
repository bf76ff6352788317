#include "shell/translate_key.h"

#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "platform/platform.h"
#include "shell/screens.h"

namespace {

struct RawKey {
  uint8_t raw;
  uint8_t key_code;
};

// Each key gives the PC set-1 scan code of the key in the same place on a PC
// keyboard (0xE0-prefixed codes as 0x80 + the second byte). Escape acts on
// its release; every other release is absent and so yields no key.
constexpr RawKey kKeyTable[] = {
    {kRawEscapeRelease, 0x01},
    {0x01, 0x02},
    {0x02, 0x03},
    {0x03, 0x04},
    {0x04, 0x05},
    {0x05, 0x06},
    {0x06, 0x07},
    {0x07, 0x08},
    {0x08, 0x09},
    {0x09, 0x0A},
    {0x0A, 0x0B},
    {0x0B, 0x0C},
    {0x0C, 0x0D},
    {0x41, 0x0E},
    {0x42, 0x0F},
    {0x10, 0x10},
    {0x11, 0x11},
    {0x12, 0x12},
    {0x13, 0x13},
    {0x14, 0x14},
    {0x15, 0x15},
    {0x16, 0x16},
    {0x17, 0x17},
    {0x18, 0x18},
    {0x19, 0x19},
    {0x1A, 0x1A},
    {0x1B, 0x1B},
    {0x44, 0x1C},
    {0x20, 0x1E},
    {0x21, 0x1F},
    {0x22, 0x20},
    {0x23, 0x21},
    {0x24, 0x22},
    {0x25, 0x23},
    {0x26, 0x24},
    {0x27, 0x25},
    {0x28, 0x26},
    {0x29, 0x27},
    {0x2A, 0x28},
    {0x2B, 0x2B},
    {0x30, 0x56},
    {0x31, 0x2C},
    {0x32, 0x2D},
    {0x33, 0x2E},
    {0x34, 0x2F},
    {0x35, 0x30},
    {0x36, 0x31},
    {0x37, 0x32},
    {0x38, 0x33},
    {0x39, 0x34},
    {0x3A, 0x35},
    {0x5D, 0x37},
    {0x40, 0x39},
    {0x50, 0x3B},
    {0x51, 0x3C},
    {0x52, 0x3D},
    {0x53, 0x3E},
    {0x54, 0x3F},
    {0x55, 0x40},
    {0x56, 0x41},
    {0x57, 0x42},
    {0x58, 0x43},
    {0x59, 0x44},
    {0x79, 0x45},
    {0x3D, 0x47},
    {0x3E, 0x48},
    {0x3F, 0x49},
    {0x4A, 0x4A},
    {0x2D, 0x4B},
    {0x2E, 0x4C},
    {0x2F, 0x4D},
    {0x5E, 0x4E},
    {0x1D, 0x4F},
    {0x1E, 0x50},
    {0x1F, 0x51},
    {0x0F, 0x52},
    {0x3C, 0x53},
    {0x43, 0x9C},
    {0x5C, 0xB5},
    {0x4C, 0xC8},
    {0x4F, 0xCB},
    {0x4E, 0xCD},
    {0x4D, 0xD0},
    {0x46, 0xD3},
    {0x5F, 0xD2},
};

}  // namespace

int32_t key_code_for_raw(int32_t raw, int32_t qualifier) {
  // The right-hand qualifiers are keys of their own; a later one wins.
  int32_t key_code = 0;
  if (qualifier & kQualRightShift) key_code = 0x36;
  if (qualifier & kQualRightAlt) key_code = 0xB8;
  if (qualifier & kQualRightCommand) key_code = 0x9D;
  for (const RawKey& key : kKeyTable)
    if (key.raw == raw) return key.key_code;
  return key_code;
}

void translate_key(int32_t raw, int32_t qualifier, EditorState* state) {
  state->input.key_code = key_code_for_raw(raw, qualifier);
  int32_t modifiers =
      state->input.modifiers & ~(kModifierShift | kModifierAlt | kModifierAmiga | kModifierCtrl);
  if (qualifier & kQualLeftShift) modifiers |= kModifierShift;
  if (qualifier & kQualLeftAlt) modifiers |= kModifierAlt;
  if (qualifier & kQualCtrl) modifiers |= kModifierCtrl;
  if (qualifier & kQualLeftCommand) modifiers |= kModifierAmiga;
  state->input.modifiers = modifiers;
  EditContext edit = edit_context(*state);
  state->input.screen_key = 0;
  const int32_t key_code = state->input.key_code;
  const int32_t key_index = key_index_of_code(key_code);
  // A typed line takes every key.
  const bool typing = state->status.dialog == kDialogLineEntry;
  if ((typing && key_code != 0) || (key_index > 0 && keyboard_is_free(&edit) &&
                                    screens_take_key(*state, key_index, modifiers))) {
    // The screen acts on the first frame of the press; the keyboard handler
    // sees the key as used, so it neither plays a note nor runs a command.
    if (state->keys.key_held != key_code)
      state->input.screen_key = key_index > 0 ? key_index : kScreenKeyOther;
    track_held_key(&edit, key_code);
    state->keys.key_consumed = 1;
    state->keys.note_key_latch = 1;
  }
  handle_key(key_code, &edit);
}
