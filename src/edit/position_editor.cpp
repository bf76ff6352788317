#include "edit/position_editor.h"

#include <algorithm>

#include "edit/key_tables.h"
#include "engine/editing.h"
#include "layout/position_editor_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"

namespace {

constexpr uint32_t kInk = 0xB8D0D4;
constexpr uint32_t kCurrentInk = 0xFFFFFF;
constexpr uint32_t kCurrentBand = 0x3A5FCC;
constexpr uint32_t kTypedInk = 0xFFE060;
constexpr uint32_t kLengthInk = 0x000000;
constexpr uint32_t kThumb = 0x80796B;
constexpr ButtonRect kBand = {2, kPositionListY - 1, 54, 0};
constexpr int32_t kNoneTyped = -1;

enum Drag : int32_t { kNoDrag, kDragLines, kDragBar };

int32_t song_length(const Player& player) {
  return std::clamp(player.song_length, 1, kPositions);
}

int32_t highest_top(const Player& player) {
  return std::max(song_length(player) - kPositionLines, 0);
}

void set_top(PositionEditorState& editor, const Player& player, int32_t top) {
  editor.top = std::clamp(top, 0, highest_top(player));
}

void keep_in_view(PositionEditorState& editor, const Player& player, int32_t position) {
  if (position < editor.top) set_top(editor, player, position);
  if (position >= editor.top + kPositionLines)
    set_top(editor, player, position - kPositionLines + 1);
}

// The list line under the pointer, or -1.
int32_t line_at(int32_t y) {
  const int32_t line = (y - kPositionListY) / kPositionLineHeight;
  if (y < kPositionListY || line >= kPositionLines) return -1;
  return line;
}

// While stopped the pattern view shows the position's pattern.
void pick_position(const ScreenContext& ctx, int32_t position) {
  Player& player = *ctx.player;
  set_song_position(player, position);
  if (!replay_running(replay_view(player))) set_current_pattern(player, player.order[position]);
}

void accept_typed(PositionEditorState& editor, const ScreenContext& ctx) {
  if (editor.typed != kNoneTyped)
    set_order_entry(*ctx.player, replay_view(*ctx.player).song_position, editor.typed);
  editor.typed = kNoneTyped;
  editor.typed_digits = 0;
}

// False when Esc closed the editor.
bool take_key(PositionEditorState& editor, const ScreenContext& ctx) {
  Player& player = *ctx.player;
  const int32_t key = ctx.input.screen_key;
  const int32_t position = replay_view(player).song_position;
  const int32_t digit = key == kKeyReturn ? -1 : hex_digit_value(key);
  if (digit >= 0 && digit <= 9) {
    editor.typed = (editor.typed == kNoneTyped ? 0 : editor.typed) * 10 + digit;
    if (++editor.typed_digits == 2) accept_typed(editor, ctx);
    return true;
  }
  switch (key) {
    case kKeyReturn:
      accept_typed(editor, ctx);
      return true;
    case kKeyEsc:
      if (editor.typed == kNoneTyped) return false;
      editor.typed = kNoneTyped;
      editor.typed_digits = 0;
      return true;
    case kKeyIns:
      duplicate_position(player, position);
      return true;
    case kKeyDel:
      remove_position(player, position);
      return true;
    case kKeyHome:
    case kKeyEnd: {
      const int32_t target = key == kKeyHome ? 0 : song_length(player) - 1;
      pick_position(ctx, target);
      keep_in_view(editor, player, target);
      return true;
    }
    default:
      return true;
  }
}

void drag_list(PositionEditorState& editor, const ScreenContext& ctx) {
  const Player& player = *ctx.player;
  const int32_t y = ctx.input.mouse_y;
  if (editor.drag == kDragLines) {
    // The lines follow the pointer, as paper pulled up or down.
    set_top(editor, player, editor.drag_top - (y - editor.drag_y) / kPositionLineHeight);
  } else if (editor.drag == kDragBar) {
    const ButtonRect& bar = kPositionScrollBar;
    const int32_t span = bar.y2 - bar.y1;
    set_top(editor, player, ((y - bar.y1) * highest_top(player) + span / 2) / span);
  }
}

void press(PositionEditorState& editor, const ScreenContext& ctx, PositionAction action) {
  Player& player = *ctx.player;
  const int32_t line = line_at(ctx.input.mouse_y);
  const int32_t position = editor.top + line;
  const bool on_line = line >= 0 && position < song_length(player);
  const int32_t step = ctx.input.right_down ? 10 : 1;
  const bool first = ctx.input.left_held == 1;
  switch (action) {
    case PositionAction::kInsert:
      duplicate_position(player, replay_view(player).song_position);
      break;
    case PositionAction::kDelete:
      remove_position(player, replay_view(player).song_position);
      break;
    case PositionAction::kLines:
      if (!first) break;
      if (on_line) pick_position(ctx, position);
      editor.drag = kDragLines;
      editor.drag_y = ctx.input.mouse_y;
      editor.drag_top = editor.top;
      break;
    case PositionAction::kPatternUp:
      if (on_line) set_order_entry(player, position, player.order[position] + step);
      break;
    case PositionAction::kPatternDown:
      if (on_line) set_order_entry(player, position, player.order[position] - step);
      break;
    case PositionAction::kScrollUp:
      set_top(editor, player, editor.top - step);
      break;
    case PositionAction::kScrollDown:
      set_top(editor, player, editor.top + step);
      break;
    case PositionAction::kScrollBar:
      if (!first) break;
      editor.drag = kDragBar;
      drag_list(editor, ctx);
      break;
    case PositionAction::kNone:
      break;
  }
}

void draw(const PositionEditorState& editor, const ScreenContext& ctx) {
  const Player& player = *ctx.player;
  const int32_t current = replay_view(player).song_position;
  const int32_t length = song_length(player);
  draw_text(ctx.canvas, kPositionLengthX, kPositionHeaderY, 0, kLengthInk, "%03d", length);
  for (int32_t line = 0; line < kPositionLines; ++line) {
    const int32_t position = editor.top + line;
    if (position >= length) break;
    const int32_t y = kPositionListY + line * kPositionLineHeight;
    uint32_t ink = kInk;
    if (position == current) {
      fill_rect(ctx.canvas, {kBand.x1, y - 1, kBand.x2, y + kPositionLineHeight - 2}, kCurrentBand);
      ink = kCurrentInk;
    }
    draw_text(ctx.canvas, kPositionTextX, y, 0, ink, "%03d", position);
    if (position == current && editor.typed != kNoneTyped) {
      draw_text(ctx.canvas, kPositionPatternX, y, 0, kTypedInk,
                editor.typed_digits == 1 ? "%d_" : "%02d", editor.typed);
    } else {
      draw_text(ctx.canvas, kPositionPatternX, y, 0, ink, "%02d", player.order[position]);
    }
  }
  // The scroll bar's thumb: where the first line lies in the song.
  const ButtonRect& bar = kPositionScrollBar;
  const int32_t span = bar.y2 - bar.y1 - 3;
  const int32_t highest = highest_top(player);
  const int32_t y = bar.y1 + (highest ? editor.top * span / highest : 0);
  fill_rect(ctx.canvas, {bar.x1 + 2, y, bar.x2 - 2, y + 3}, kThumb);
}

}  // namespace

bool position_editor_takes_key(int32_t key_index, int32_t modifiers) {
  return screen_takes_key(kPositionEditorKeys, key_index, modifiers);
}

bool scroll_position_list(PositionEditorState& editor, const Player& player, int32_t step) {
  set_top(editor, player, editor.top + step);
  return true;
}

ScreenResult position_editor_frame(PositionEditorState& editor, const ScreenContext& ctx,
                                   bool open) {
  if (!open) {
    editor.followed = -1;
    editor.typed = kNoneTyped;
    editor.typed_digits = 0;
    editor.drag = kNoDrag;
    return {false, false};
  }
  const Player& player = *ctx.player;
  const int32_t position = replay_view(player).song_position;
  if (position != editor.followed) {
    editor.followed = position;
    keep_in_view(editor, player, position);
  }
  set_top(editor, player, editor.top);  // the song may have become shorter
  if (ctx.input.screen_key != 0 && !take_key(editor, ctx)) return {false, false};

  const FrameInput& input = ctx.input;
  const bool over = rect_contains(kPositionPanel, input.mouse_x, input.mouse_y);
  // Nothing acts while a requester or a text field has the mouse.
  if (ctx.status.dialog != kDialogNone) {
    draw(editor, ctx);
    return {true, over && input.left_held != 0};
  }
  // Turned towards the user (negative), the wheel shows later lines.
  if (over && input.wheel != 0) set_top(editor, player, editor.top - input.wheel);
  if (input.left_held == 0) editor.drag = kNoDrag;
  if (input.left_held > 1) drag_list(editor, ctx);
  // A right click alone on an arrow steps by ten.
  PositionAction action = hit_action(input, kPositionButtons);
  if (input.right_down && !editor.right_down && input.left_held == 0) {
    const PositionAction under = action_under(input, kPositionButtons);
    if (under == PositionAction::kPatternUp || under == PositionAction::kPatternDown ||
        under == PositionAction::kScrollUp || under == PositionAction::kScrollDown)
      action = under;
  }
  editor.right_down = input.right_down;
  press(editor, ctx, action);
  draw(editor, ctx);
  return {true, over && (input.left_held != 0 || input.right_down != 0)};
}
