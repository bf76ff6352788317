// What the lists of the screens share: Home and End, and typing to jump.
// Letters and digits typed within about a second of each other build a
// prefix; the list goes to the first entry whose name starts with it,
// letter case aside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "edit/key_tables.h"
#include "render/screen.h"

// A pause this long (a second of frames) starts a new prefix.
constexpr int32_t kJumpPauseFrames = 60;

struct ListJump {
  char prefix[16];
  int32_t length;
  int32_t idle_frames;  // frames since the last character typed
};

// One frame of typing: `typed` is the character typed in it, 0 for none.
// Returns the first of `count` entries whose name (`name_of`) starts with
// the prefix, else -1; a prefix nothing starts with is dropped. `name_of`
// gives an entry's name, or at least as many characters of it as asked for.
using EntryName = std::function<std::string(int32_t entry, int32_t characters)>;
int32_t list_jump_frame(ListJump& jump, char typed, int32_t count, const EntryName& name_of);
// The entry the frame's key (input.screen_key) marks on a list of `count`:
// Home the first, End the last, a letter or digit (the layout's own when
// the platform knows it) what list_jump_frame finds; -1 none.
int32_t list_key_entry(ListJump& jump, const FrameInput& input, int32_t count,
                       const EntryName& name_of);
// The first line's entry after the least scroll that shows `entry` on a
// list of `lines` lines.
int32_t top_showing(int32_t entry, int32_t top, int32_t lines, int32_t count);

// Whether a list's table of screen keys takes the key; a character key
// with Shift as well, since a capital jumps as its small letter does.
template <size_t N>
bool list_takes_key(const ScreenKey (&keys)[N], int32_t key_index, int32_t modifiers) {
  const KeyRecord* typed = find_key_record(kPlainChars, key_code_of_index(key_index));
  const bool character = !is_end_record(typed) && !typed->edits_text;
  return screen_takes_key(keys, key_index, character ? modifiers & ~kModifierShift : modifiers);
}

// The disk op's keys. They are listed here, beside what they share, for
// the key reference, which cannot see the disk op.
// The disk op takes every key of the four character rows but Backspace, so
// that typing neither plays notes nor edits under it; letters and digits
// jump, the others do nothing.
inline constexpr ScreenKey kDiskOpKeys[] = {
    {kKeyHome, kKeyHome, "mark the first entry of the list"},
    {kKeyEnd, kKeyEnd, "mark the last entry of the list"},
    {kKey1, kKey0 + 2,
     "mark the first entry whose name starts with what is typed (a pause of a second starts "
     "anew)",
     "letters, digits"},
    {kKeyQ, kKeyP + 2, nullptr},
    {kKeyA, kKeyL + 3, nullptr},
    {kKeyStopAll, kKeyM + 3, nullptr},
    {kKeyReturn, kKeyReturn, "load the marked entry, or open it when it is a folder"},
};
