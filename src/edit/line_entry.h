// A line of text typed in a field: a folder, a file name, a port's name.
// The field shows the part around the cursor; the first key offers to
// replace the whole line, as a selected line in a desktop field would.
#pragma once

#include <cstdint>

#include "render/canvas.h"
#include "render/screen.h"

struct LineEntry {
  char text[kPathSize];
  int32_t cursor;
  int32_t fresh;      // 1 until the first key: a character then replaces the whole line
  int32_t last_char;  // the character of the last frame typed without a key code
};

enum class LineKey : int32_t { kNone, kAccept, kCancel };

void begin_line_entry(LineEntry& line, const char* text);
// This frame's key (the screen's key and the typed character), once per
// press: Return accepts, Esc cancels, the others edit the line.
LineKey take_line_key(LineEntry& line, const FrameInput& input);
// `columns` characters of the line from (x, y), and the cursor under its place.
void draw_line_entry(const Canvas& canvas, int32_t x, int32_t y, int32_t columns,
                     const LineEntry& line, uint32_t ink);
