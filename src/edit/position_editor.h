// The position editor: the order list one position a line, opened by the
// POS label. A click picks the song position; typed digits, the arrows
// beside a line, Insert and Delete edit the list.
#pragma once

#include <cstdint>

#include "edit/key_tables.h"
#include "render/screen.h"

struct PositionEditorState {
  int32_t top;       // the position on the first line
  int32_t followed;  // the song position last brought into view, -1 none
  int32_t typed;     // the pattern number being typed, -1 none
  int32_t typed_digits;
  int32_t drag;  // what a held button drags: 0 nothing, 1 the lines, 2 the scroll bar
  int32_t drag_y;
  int32_t drag_top;
  int32_t right_down;  // the right button was down in the last frame
};

// One frame: follows the song position, acts on the keys the screen took
// (ctx.input.screen_key), the wheel and the buttons, then draws the list.
// Uses the clicks on its panel. A closed editor forgets what was typed.
ScreenResult position_editor_frame(PositionEditorState& editor, const ScreenContext& ctx,
                                   bool open);
// Up and Down move the list a line; always takes them.
bool scroll_position_list(PositionEditorState& editor, const Player& player, int32_t step);
// The keys the open editor takes for itself, without modifiers; the key
// reference is printed from this table.
inline constexpr ScreenKey kPositionEditorKeys[] = {
    {kKey1, kKey0, "type the song position's pattern number (two digits)"},
    {kKeyReturn, kKeyReturn, "accept a single typed digit"},
    {kKeyIns, kKeyIns, "insert a copy of the song position's line"},
    {kKeyDel, kKeyDel, "delete the song position's line"},
    {kKeyHome, kKeyHome, "make the first line the song position"},
    {kKeyEnd, kKeyEnd, "make the last line the song position"},
    {kKeyEsc, kKeyEsc, "cancel the typed number, else close the position editor"},
};
bool position_editor_takes_key(int32_t key_index, int32_t modifiers);
