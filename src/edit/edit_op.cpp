#include "edit/edit_op.h"

#include <algorithm>
#include <cstdio>

#include "edit/key_tables.h"
#include "engine/editing.h"
#include "engine/periods.h"
#include "layout/edit_op_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

constexpr uint32_t kLampOn = 0xE5412B;
constexpr uint32_t kValueInk = 0x000000;
constexpr int32_t kLampSize = 4;
constexpr int32_t kMaxQuantize = 63;
constexpr int32_t kMaxTranspose = 12;
constexpr int32_t kClickPeriod = 214;  // C-3
constexpr int32_t kClickBytes = 400;   // the click is the sample's first bytes

// A lit square at the left of a switch that is on.
void lamp(const Canvas& canvas, const ButtonRect& r, bool on) {
  if (!on) return;
  const int32_t y = (r.y1 + r.y2) / 2 - 1;
  fill_rect(canvas, {r.x1 + 3, y, r.x1 + 2 + kLampSize, y + kLampSize - 1}, kLampOn);
}

template <size_t N>
const ButtonRect& rect_of(const Button<EditOpAction> (&table)[N], EditOpAction action) {
  for (const Button<EditOpAction>& b : table)
    if (b.action == action) return b.rect;
  return table[0].rect;
}

// The button pressed in this frame; a right click alone counts on the
// arrows, which then take their larger step.
template <size_t N>
EditOpAction pressed(const Button<EditOpAction> (&table)[N], const FrameInput& input,
                     bool right_click) {
  const EditOpAction action = hit_action(input, table);
  if (action != EditOpAction::kNone || !right_click) return action;
  for (const Button<EditOpAction>& b : table)
    if (rect_contains(b.rect, input.mouse_x, input.mouse_y) &&
        (b.caption == kCaptionUp || b.caption == kCaptionDown))
      return b.action;
  return EditOpAction::kNone;
}

// Transpose page.

void transpose(const EditOpState& editop, const ScreenContext& ctx, const EditBuffers& buffers,
               int32_t semitones) {
  Player& player = *ctx.player;
  TransposeArgs args{editop.scope,
                     ctx.selection.cursor_channel,
                     0,
                     kRows - 1,
                     editop.all_notes ? 0 : ctx.selection.current_sample,
                     semitones,
                     editop.delete_outside != 0};
  if (editop.scope == TransposeScope::kBlock &&
      !block_rows(buffers, replay_view(player).shown_row, &args.first_row, &args.last_row)) {
    timed_message(ctx.status, "NO BLOCK MARKED");
    return;
  }
  const int32_t changed = transpose_notes(player, args);
  char text[20];
  std::snprintf(text, sizeof text, "%d NOTES DONE", changed);
  set_message(ctx.status, text);
  ctx.status.message_timer = 1;
}

void transpose_button(EditOpState& editop, const ScreenContext& ctx, const EditBuffers& buffers,
                      EditOpAction action) {
  switch (action) {
    case EditOpAction::kScopeBlock:
      editop.scope = TransposeScope::kBlock;
      return;
    case EditOpAction::kScopeTrack:
      editop.scope = TransposeScope::kTrack;
      return;
    case EditOpAction::kScopePattern:
      editop.scope = TransposeScope::kPattern;
      return;
    case EditOpAction::kScopeSong:
      editop.scope = TransposeScope::kSong;
      return;
    case EditOpAction::kNotesSample:
    case EditOpAction::kNotesAll:
      editop.all_notes = action == EditOpAction::kNotesAll;
      return;
    case EditOpAction::kKeep:
    case EditOpAction::kDelete:
      editop.delete_outside = action == EditOpAction::kDelete;
      return;
    case EditOpAction::kSemitoneUp:
      transpose(editop, ctx, buffers, 1);
      return;
    case EditOpAction::kSemitoneDown:
      transpose(editop, ctx, buffers, -1);
      return;
    case EditOpAction::kOctaveUp:
      transpose(editop, ctx, buffers, 12);
      return;
    case EditOpAction::kOctaveDown:
      transpose(editop, ctx, buffers, -12);
      return;
    default:
      return;
  }
}

void draw_transpose(const EditOpState& editop, const Canvas& canvas) {
  const EditOpAction scopes[] = {EditOpAction::kScopeBlock, EditOpAction::kScopeTrack,
                                 EditOpAction::kScopePattern, EditOpAction::kScopeSong};
  for (EditOpAction scope : scopes)
    lamp(canvas, rect_of(kTransposeButtons, scope),
         static_cast<int32_t>(scope) - static_cast<int32_t>(EditOpAction::kScopeBlock) ==
             static_cast<int32_t>(editop.scope));
  lamp(canvas, rect_of(kTransposeButtons, EditOpAction::kNotesSample), !editop.all_notes);
  lamp(canvas, rect_of(kTransposeButtons, EditOpAction::kNotesAll), editop.all_notes);
  lamp(canvas, rect_of(kTransposeButtons, EditOpAction::kKeep), !editop.delete_outside);
  lamp(canvas, rect_of(kTransposeButtons, EditOpAction::kDelete), editop.delete_outside);
}

// Record page.

// The split range a button of the range table belongs to.
SplitRange& range_at(RecordOptions& record, const FrameInput& input) {
  const int32_t column = std::clamp(input.mouse_x / kSplitRangeWidth, 0, 1);
  const int32_t row =
      std::clamp((input.mouse_y - kSplitRangeTop) / kSplitRangeHeight, 0, kSplitRanges / 2 - 1);
  return record.ranges[row * 2 + column];
}

// A slot of the multi-keyboard order cycles through unused and the
// channels.
void cycle_order_slot(RecordOptions& record, int32_t x) {
  const int32_t slot = std::clamp((x - kOrderSlotX) / kOrderSlotWidth, 0, kChannels - 1);
  int32_t& channel = record.channel_order[slot];
  channel = channel >= kChannels ? 0 : channel + 1;
}

// Moves a value one step (the larger step with the right button) within
// its range.
void step_value(int32_t& value, const FrameInput& input, bool up, int32_t large, int32_t lowest,
                int32_t highest) {
  value = std::clamp(value + (up ? 1 : -1) * (input.right_down ? large : 1), lowest, highest);
}

void record_button(const ScreenContext& ctx, EditOpAction action) {
  RecordOptions& record = ctx.selection.record;
  const FrameInput& input = ctx.input;
  using A = EditOpAction;
  switch (action) {
    case A::kRecordPattern:
    case A::kRecordSong:
      record.song_mode = action == A::kRecordSong;
      return;
    case A::kQuantizeUp:
    case A::kQuantizeDown:
      step_value(record.quantize, input, action == A::kQuantizeUp, 10, 0, kMaxQuantize);
      return;
    case A::kMetronome:
      record.metronome = !record.metronome;
      return;
    case A::kMetronomeChannelUp:
    case A::kMetronomeChannelDown:
      step_value(record.metronome_channel, input, action == A::kMetronomeChannelUp, 1, 0,
                 kChannels - 1);
      return;
    case A::kMetronomeRowsUp:
    case A::kMetronomeRowsDown:
      step_value(record.metronome_rows, input, action == A::kMetronomeRowsUp, 10, 1, kRows);
      return;
    case A::kAutoEffect:
      record.auto_effect = !record.auto_effect;
      return;
    case A::kEffectUp:
    case A::kEffectDown:
      step_value(record.effect, input, action == A::kEffectUp, 1, 0, 15);
      return;
    case A::kParamUp:
    case A::kParamDown:
      step_value(record.effect_param, input, action == A::kParamUp, 16, 0, 255);
      return;
    case A::kOrderSlot:
      if (input.left_held == 1) cycle_order_slot(record, input.mouse_x);
      return;
    case A::kSplit:
      record.split = !record.split;
      return;
    case A::kSplitNoteUp:
    case A::kSplitNoteDown:
      step_value(range_at(record, input).from_note, input, action == A::kSplitNoteUp, 12, 0,
                 kNoteCount - 1);
      return;
    case A::kSplitSampleUp:
    case A::kSplitSampleDown:
      step_value(range_at(record, input).sample, input, action == A::kSplitSampleUp, 10, 0,
                 kSampleCount - 1);
      return;
    case A::kSplitTransposeUp:
    case A::kSplitTransposeDown:
      step_value(range_at(record, input).transpose, input, action == A::kSplitTransposeUp, 12,
                 -kMaxTranspose, kMaxTranspose);
      return;
    default:
      return;
  }
}

void value(const Canvas& canvas, const ValuePlace& place, const char* format, int32_t v) {
  draw_text(canvas, place.x, place.y, 0, kValueInk, format, v);
}

void draw_record(const RecordOptions& record, const Canvas& canvas) {
  lamp(canvas, rect_of(kRecordButtons, EditOpAction::kRecordPattern), !record.song_mode);
  lamp(canvas, rect_of(kRecordButtons, EditOpAction::kRecordSong), record.song_mode);
  lamp(canvas, rect_of(kRecordButtons, EditOpAction::kMetronome), record.metronome);
  lamp(canvas, rect_of(kRecordButtons, EditOpAction::kAutoEffect), record.auto_effect);
  lamp(canvas, rect_of(kRecordButtons, EditOpAction::kSplit), record.split);
  value(canvas, kQuantizeValue, "%02d", record.quantize);
  value(canvas, kMetronomeChannelValue, "%d", record.metronome_channel + 1);
  value(canvas, kMetronomeRowsValue, "%02d", record.metronome_rows);
  value(canvas, kEffectValue, "%X", record.effect);
  value(canvas, kParamValue, "%02X", record.effect_param);
  const ButtonRect& slots = rect_of(kRecordButtons, EditOpAction::kOrderSlot);
  for (int32_t slot = 0; slot < kChannels; ++slot) {
    const int32_t channel = record.channel_order[slot];
    draw_glyph(canvas, slots.x1 + slot * kOrderSlotWidth + 6, slots.y1 + 2,
               static_cast<uint8_t>(channel < 1 ? '-' : '0' + channel), 0, kValueInk);
  }
  for (int32_t k = 0; k < kSplitRanges; ++k) {
    const SplitRange& range = record.ranges[k];
    const int32_t x = (k % 2) * kSplitRangeWidth;
    const int32_t y = kSplitRangeTop + (k / 2) * kSplitRangeHeight + 2;
    draw_text(canvas, x + kSplitNoteX, y, 0, kValueInk, "%s",
              kNoteNames[std::clamp(range.from_note, 0, kNoteCount - 1)]);
    draw_text(canvas, x + kSplitSampleX, y, 0, kValueInk, "%02d", range.sample);
    draw_text(canvas, x + kSplitTransposeX, y, 0, kValueInk, "%+03d", range.transpose);
  }
}

// A short click on the metronome's channel on each beat while recording;
// nothing is written to the pattern.
void metronome(EditOpState& editop, const ScreenContext& ctx) {
  const RecordOptions& record = ctx.selection.record;
  const ReplayView view = replay_view(*ctx.player);
  if (!record.metronome || !ctx.selection.edit_mode || !replay_running(view)) {
    editop.metronome_row = -1;
    return;
  }
  if (view.shown_row == editop.metronome_row) return;
  editop.metronome_row = view.shown_row;
  if (record.metronome_rows < 1 || view.shown_row % record.metronome_rows != 0) return;
  const Sample* sample = editable_sample(*ctx.player, ctx.selection.current_sample);
  if (!sample || sample_bytes(*sample) == 0) return;
  play_sample_range(*ctx.player, record.metronome_channel, ctx.selection.current_sample,
                    kClickPeriod, 0, std::min(sample_bytes(*sample), kClickBytes));
}

void draw_page(const EditOpState& editop, const ScreenContext& ctx) {
  if (editop.page == 0) draw_transpose(editop, ctx.canvas);
  if (editop.page == 1) draw_record(ctx.selection.record, ctx.canvas);
  if (editop.page == 2) draw_sample_tools(editop.tools, ctx.canvas);
}

}  // namespace

const Image* edit_op_page_image(const GuiImages& images, int32_t page) {
  const Image* pages[kEditOpPages] = {images.editop0, images.editop1, images.editop2};
  return pages[std::clamp(page, 0, kEditOpPages - 1)];
}

bool block_rows(const EditBuffers& buffers, int32_t cursor_row, int32_t* first, int32_t* last) {
  int32_t a = buffers.block_first;
  int32_t b = buffers.block_last;
  if (buffers.block_marking == 1) {
    a = buffers.block_anchor;
    b = cursor_row;
  } else if (buffers.block_filled != 1) {
    return false;
  }
  *first = std::clamp(std::min(a, b), 0, kRows - 1);
  *last = std::clamp(std::max(a, b), 0, kRows - 1);
  return true;
}

bool edit_op_takes_key(int32_t key_index, int32_t modifiers) {
  return screen_takes_key(kEditOpKeys, key_index, modifiers);
}

ScreenResult edit_op_frame(EditOpState& editop, const ScreenContext& ctx,
                           const EditBuffers& buffers, bool open) {
  metronome(editop, ctx);
  if (!open) return {false, false};
  if (ctx.input.screen_key == kKeyEsc) return {false, false};
  if (!editop.tools.ready) editop.tools = {1, 0, 0, 256, 2000, 50, 1, 2, 3, {4, 7, 0}, 0};
  const FrameInput& input = ctx.input;
  const bool right_click = input.right_down && !editop.right_down && input.left_held == 0;
  editop.right_down = input.right_down;
  // Nothing acts while a requester or a text field has the mouse, and the
  // values are not painted over a requester.
  const int32_t dialog = ctx.status.dialog;
  if (dialog != kDialogNone) {
    if (dialog == kDialogTextField) draw_page(editop, ctx);
    return {true, input.mouse_y < kEditOpHeight};
  }
  EditOpAction action = EditOpAction::kNone;
  switch (editop.page) {
    case 0:
      action = pressed(kTransposeButtons, input, right_click);
      transpose_button(editop, ctx, buffers, action);
      break;
    case 1:
      action = pressed(kRecordButtons, input, right_click);
      record_button(ctx, action);
      break;
    default:
      action = pressed(kSampleToolsButtons, input, right_click);
      sample_tools_button(editop.tools, ctx, action);
      break;
  }
  if (action == EditOpAction::kClose) return {false, true};
  if (action == EditOpAction::kPage) {
    // The shell painted the page shown before the press.
    editop.page = (editop.page + 1) % kEditOpPages;
    const Image* panel = edit_op_page_image(ctx.images, editop.page);
    if (panel) blit_image(ctx.canvas, 0, 0, panel);
  }
  draw_page(editop, ctx);
  return {true, input.mouse_y < kEditOpHeight};
}
