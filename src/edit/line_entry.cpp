#include "edit/line_entry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "edit/key_tables.h"
#include "render/draw.h"

namespace {

void type_char(LineEntry& line, char c) {
  char* text = line.text;
  const size_t length = std::strlen(text);
  if (length + 1 >= kPathSize) return;
  const auto cursor = static_cast<size_t>(line.cursor);
  std::memmove(text + cursor + 1, text + cursor, length - cursor + 1);
  text[cursor] = c;
  ++line.cursor;
}

void remove_at_cursor(LineEntry& line, int32_t length) {
  std::memmove(line.text + line.cursor, line.text + line.cursor + 1,
               static_cast<size_t>(length - line.cursor));
}

}  // namespace

void begin_line_entry(LineEntry& line, const char* text) {
  std::snprintf(line.text, sizeof line.text, "%s", text);
  line.cursor = static_cast<int32_t>(std::strlen(line.text));
  line.fresh = 1;
  line.last_char = 0;
}

LineKey take_line_key(LineEntry& line, const FrameInput& input) {
  const auto length = static_cast<int32_t>(std::strlen(line.text));
  // A character whose key the program does not know comes alone, held
  // while its key is: it types once.
  const int32_t text_only = input.key_code == 0 ? input.text_char : 0;
  const bool new_text = text_only != 0 && text_only != line.last_char;
  line.last_char = text_only;
  if (input.screen_key == 0 && !new_text) return LineKey::kNone;
  // An edit key or a character ends the offer to replace the line.
  const bool fresh = line.fresh != 0;
  line.fresh = 0;
  switch (input.screen_key) {
    case kKeyReturn:
    case kKeyNumEnter:
      return LineKey::kAccept;
    case kKeyEsc:
      return LineKey::kCancel;
    case kKeyBackspace:
      if (line.cursor == 0) return LineKey::kNone;
      --line.cursor;
      remove_at_cursor(line, length);
      return LineKey::kNone;
    case kKeyDel:
      if (line.cursor < length) remove_at_cursor(line, length);
      return LineKey::kNone;
    case kKeyLeft:
      line.cursor = std::max(line.cursor - 1, 0);
      return LineKey::kNone;
    case kKeyRight:
      line.cursor = std::min(line.cursor + 1, length);
      return LineKey::kNone;
    default:
      break;
  }
  // The layout's character; else the key's own, in lower case unshifted.
  int32_t c = input.text_char;
  if (c < 32 || c >= 127) {
    const bool shifted = (input.modifiers & kModifierShift) != 0;
    const KeyRecord* record =
        find_key_record(shifted ? kShiftedChars : kPlainChars, input.key_code);
    c = record->edits_text ? 0 : static_cast<unsigned char>(record->text[0]);
    if (!shifted) c = std::tolower(c);
  }
  if (c < 32 || c >= 127) {
    line.fresh = fresh ? 1 : 0;  // a modifier alone
    return LineKey::kNone;
  }
  if (fresh) {
    line.text[0] = 0;
    line.cursor = 0;
  }
  type_char(line, static_cast<char>(c));
  return LineKey::kNone;
}

void draw_line_entry(const Canvas& canvas, int32_t x, int32_t y, int32_t columns,
                     const LineEntry& line, uint32_t ink) {
  const int32_t first = std::max(line.cursor - (columns - 1), 0);
  const auto length = static_cast<int32_t>(std::strlen(line.text));
  for (int32_t i = 0; i < columns; ++i) {
    const int32_t at = first + i;
    draw_glyph(canvas, x + 8 * i, y, static_cast<uint8_t>(at < length ? line.text[at] : ' '), 0,
               ink);
  }
  const int32_t cursor_x = x + 8 * (line.cursor - first);
  fill_rect(canvas, {cursor_x, y + 6, cursor_x + 6, y + 6}, ink);
}
