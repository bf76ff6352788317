#include "edit/list_jump.h"

#include <algorithm>
#include <cctype>

namespace {

bool starts_with(const std::string& name, const char* prefix, int32_t length) {
  if (static_cast<int32_t>(name.size()) < length) return false;
  for (int32_t i = 0; i < length; ++i)
    if (std::tolower(static_cast<unsigned char>(name[static_cast<size_t>(i)])) != prefix[i])
      return false;
  return true;
}

}  // namespace

int32_t list_jump_frame(ListJump& jump, char typed, int32_t count, const EntryName& name_of) {
  if (typed == 0) {
    jump.idle_frames = std::min(jump.idle_frames + 1, kJumpPauseFrames);
    return -1;
  }
  if (jump.idle_frames >= kJumpPauseFrames) jump.length = 0;
  jump.idle_frames = 0;
  if (jump.length + 1 < static_cast<int32_t>(sizeof jump.prefix))
    jump.prefix[jump.length++] = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  for (int32_t i = 0; i < count; ++i)
    if (starts_with(name_of(i, jump.length), jump.prefix, jump.length)) return i;
  jump.length = 0;
  return -1;
}

int32_t list_key_entry(ListJump& jump, const FrameInput& input, int32_t count,
                       const EntryName& name_of) {
  int32_t c = input.screen_key ? input.text_char : 0;
  if (input.screen_key && (c <= ' ' || c >= 127)) {
    const KeyRecord* record = find_key_record(kPlainChars, input.key_code);
    c = record->edits_text ? 0 : static_cast<unsigned char>(record->text[0]);
  }
  const int32_t found =
      list_jump_frame(jump, std::isalnum(c) ? static_cast<char>(c) : 0, count, name_of);
  if (count > 0 && input.screen_key == kKeyHome) return 0;
  if (count > 0 && input.screen_key == kKeyEnd) return count - 1;
  return found;
}

int32_t top_showing(int32_t entry, int32_t top, int32_t lines, int32_t count) {
  top = std::min(top, entry);
  top = std::max(top, entry - lines + 1);
  return std::clamp(top, 0, std::max(count - lines, 0));
}
