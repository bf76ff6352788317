#include "sampler/sample_editor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/editing.h"
#include "engine/history.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "render/message.h"
#include "sampler/sample_process.h"
#include "sampler/sample_view.h"

namespace {

constexpr uint32_t kTextColour = 0x000000;
constexpr int32_t kPixelSpan = kWaveSpan;
constexpr auto kViewScale = static_cast<float>(kWaveScale);
constexpr int32_t kMarkerGrab = 4;  // pixels of a loop marker's flag
constexpr int32_t kMarkerFlagBottom = 142;

int32_t even(int32_t byte) {
  return byte & ~1;
}

// Sizes are kept even, as the file formats store them in words.
int32_t padded(int32_t bytes) {
  return bytes + (bytes & 1);
}

void set_whole_view(SamplerState& sampler, int32_t length) {
  sampler.zoom_start = 0;
  sampler.zoom_end = length;
  sampler.view_offset = 0;
  sampler.samples_per_pixel = static_cast<float>(length / kWaveScale);
}

// Where a paste goes: the left mark, or the exact byte a cut left the
// cursor at while that cursor and the whole view are unchanged.
int32_t paste_position(const SamplerState& sampler, int32_t length) {
  if (sampler.mark_a == sampler.cut_mark && sampler.mark_b == sampler.cut_mark &&
      sampler.view_offset == 0 && sampler.zoom_start == 0 && sampler.zoom_end == length)
    return std::min(sampler.cut_position, length);
  return even(marked_range(sampler, length).a);
}

// The copy buffer takes `data` (the old one is freed); its loop is off.
void take_copy(SamplerState& sampler, int8_t* data, int32_t bytes) {
  std::free(sampler.copy_data);
  sampler.copy_data = data;
  sampler.copy_length = bytes;
  sampler.copy_loop_start = 0;
  sampler.copy_loop_length = kNoLoopBytes;
  sampler.copy_loop_end = kNoLoopBytes;
}

// A zero-filled block of even size, or null with a message.
int8_t* allocate(int32_t bytes, const ScreenContext& ctx) {
  auto* block = static_cast<int8_t*>(std::calloc(static_cast<size_t>(padded(bytes)), 1));
  if (!block) timed_message(ctx.status, "OUT OF MEMORY");
  return block;
}

// A sample's loop in bytes, as the data around it changes.
struct LoopBytes {
  int32_t start;
  int32_t length;
};

// Each loop point moved as the bytes a .. b - 1 go: one inside the cut
// goes to where it was; a loop wholly inside the cut goes with it.
LoopBytes loop_after_cut(const Sample& sample, int32_t a, int32_t b) {
  if (!sample_loops(sample)) return {0, kNoLoopBytes};
  const auto moved = [a, b](int32_t x) { return x < a ? x : x >= b ? x - (b - a) : a; };
  const int32_t start = moved(sample.loop_start >> 14);
  const int32_t end = moved(sample.loop_end >> 14);
  return end - start >= kNoLoopBytes ? LoopBytes{start, end - start} : LoopBytes{0, kNoLoopBytes};
}

// The loop moves on with the bytes after a paste at p.
LoopBytes loop_after_paste(const Sample& sample, int32_t p, int32_t pasted) {
  if (!sample_loops(sample)) return {0, kNoLoopBytes};
  const int32_t start = sample.loop_start >> 14;
  return {start >= p ? start + pasted : start,
          (sample.loop_length >> 14) + (start < p && (sample.loop_end >> 14) > p ? pasted : 0)};
}

// The marked bytes a .. b - 1 to copy or cut, from and to even bytes;
// false with a message when that leaves none.
bool data_range(SamplerState& sampler, const ScreenContext& ctx, int32_t length, int32_t* a,
                int32_t* b) {
  const MarkedRange range = marked_range(sampler, length);
  *a = even(range.a);
  *b = even(range.b);
  if (*b > *a) return true;
  timed_message(ctx.status, "SET LARGER RANGE");
  return false;
}

void copy_range(SamplerState& sampler, const ScreenContext& ctx, const Sample& sample,
                int32_t length) {
  int32_t a = 0, b = 0;
  if (!data_range(sampler, ctx, length, &a, &b)) return;
  int8_t* copy = allocate(b - a, ctx);
  if (!copy) return;
  std::memcpy(copy, sample.data + a, static_cast<size_t>(b - a));
  take_copy(sampler, copy, padded(b - a));
}

void cut_range(SamplerState& sampler, const ScreenContext& ctx, int32_t number, int32_t length) {
  const Sample& sample = ctx.player->samples[number];
  int32_t a = 0, b = 0;
  if (!data_range(sampler, ctx, length, &a, &b)) return;
  const int32_t n = b - a;
  const int32_t rest = length - n;
  int8_t* copy = allocate(n, ctx);
  if (!copy) return;
  int8_t* kept = nullptr;
  if (rest > 0 && !(kept = allocate(rest, ctx))) {
    std::free(copy);
    return;
  }
  std::memcpy(copy, sample.data + a, static_cast<size_t>(n));
  if (kept) {
    std::memcpy(kept, sample.data, static_cast<size_t>(a));
    std::memcpy(kept + a, sample.data + b, static_cast<size_t>(length - b));
  }
  // The rest keeps its exact length: the file writers pad an odd one.
  const int32_t bytes = rest;
  const LoopBytes loop = loop_after_cut(sample, a, b);
  {
    const HistoryGroup group(*ctx.player, StepKind::kSampleCut);
    std::free(replace_sample_data(*ctx.player, number, kept, bytes, loop.start, loop.length));
  }
  take_copy(sampler, copy, padded(n));

  set_whole_view(sampler, bytes);
  sampler.mark_a = sampler.mark_b = sampler.cut_mark = 0;
  if (bytes == 0) {
    sampler.samples_per_pixel = 1.0f;
    return;
  }
  // The cursor where the cut bytes were; the pixel names the byte only
  // roughly, so the byte itself is kept for a paste.
  const int32_t x = trunc_int(a * (static_cast<float>(kPixelSpan) / bytes)) + kWaveLeft;
  sampler.mark_a = sampler.mark_b = sampler.cut_mark = std::clamp(x, kWaveLeft, kWaveRight);
  sampler.cut_position = a;
}

void paste(SamplerState& sampler, const ScreenContext& ctx, int32_t number, int32_t length) {
  // The marks are set and cleared together.
  if (sampler.mark_a <= 0) {
    timed_message(ctx.status, "SET CURSOR POS");
    return;
  }
  if (!sampler.copy_data) {
    timed_message(ctx.status, "BUFFER IS EMPTY");
    return;
  }
  const int32_t total = sampler.copy_length + length;
  if (total > kMaxEditedBytes) {
    timed_message(ctx.status, "MAX 65534 BYTES");
    return;
  }
  const Sample& sample = ctx.player->samples[number];
  const int32_t p = paste_position(sampler, length);
  int8_t* joined = allocate(total, ctx);
  if (!joined) return;
  // An empty sample has no data: its copies are empty ranges.
  std::copy(sample.data, sample.data + p, joined);
  std::copy(sampler.copy_data, sampler.copy_data + sampler.copy_length, joined + p);
  std::copy(sample.data + p, sample.data + length, joined + p + sampler.copy_length);
  const LoopBytes loop = loop_after_paste(sample, p, sampler.copy_length);
  std::free(replace_sample_data(*ctx.player, number, joined, total, loop.start, loop.length));
  set_whole_view(sampler, total);
  sampler.mark_a = sampler.mark_b = sampler.cut_mark = 0;
}

void swap_with_copy(SamplerState& sampler, const ScreenContext& ctx, int32_t number) {
  const Sample& sample = ctx.player->samples[number];
  const int32_t bytes = sample_bytes(sample);
  const int32_t loop_start = sample.loop_start >> 14;
  const int32_t loop_length = sample.loop_length >> 14;
  // Data is null exactly when the length is 0, in the buffer and the sample.
  const int32_t copy_bytes = sampler.copy_length;
  const HistoryGroup group(*ctx.player, StepKind::kSampleSwap);
  sampler.copy_data = replace_sample_data(*ctx.player, number, sampler.copy_data, copy_bytes,
                                          sampler.copy_loop_start, sampler.copy_loop_length);
  sampler.copy_length = bytes;
  sampler.copy_loop_start = loop_start;
  sampler.copy_loop_length = loop_length;
  sampler.copy_loop_end = loop_start + loop_length;
  sampler.drag_loop_start = sampler.drag_loop_end = 0;
  sampler.mark_a = sampler.mark_b = sampler.cut_mark = 0;
  set_whole_view(sampler, copy_bytes);
}

void zoom_to_range(SamplerState& sampler, const ScreenContext& ctx, int32_t length) {
  const auto [a, b] = marked_range(sampler, length);
  // A window narrower than 2 bytes has no pixels to spread them over.
  if (b - a < 2) {
    timed_message(ctx.status, "SET LARGER RANGE");
    return;
  }
  sampler.mark_a = sampler.mark_b = 0;
  sampler.zoom_start = a;
  sampler.zoom_end = b;
  sampler.view_offset = a;
  sampler.samples_per_pixel = static_cast<float>((b - a) / kWaveScale);
}

void zoom_out(SamplerState& sampler, int32_t length) {
  const int32_t window = window_bytes(sampler, length);
  const int32_t half = window / 2;
  // Moved back inside the sample where the widened window sticks out.
  const int32_t width = std::min(window + 2 * half, length);
  sampler.zoom_start = std::clamp(sampler.zoom_start - half, 0, length - width);
  sampler.zoom_end = sampler.zoom_start + width;
  sampler.samples_per_pixel = static_cast<float>(width / kWaveScale);
  sampler.view_offset = std::clamp(sampler.view_offset - half, 0, length - width);
}

void play_range(SamplerState& sampler, const ScreenContext& ctx, int32_t from, int32_t to) {
  play_sample_range(*ctx.player, std::clamp(ctx.selection.cursor_channel, 0, kChannels - 1),
                    ctx.selection.current_sample, sampler.play_period, from, to);
}

void press_waveform(SamplerState& sampler, const ScreenContext& ctx, const Sample& sample,
                    int32_t length) {
  if (ctx.input.left_held != 1) return;  // not again in the repeat frames of a hold
  const int32_t window = window_bytes(sampler, length);
  const int32_t x = ctx.input.mouse_x;
  const bool on_flags = ctx.input.mouse_y >= kWaveTop && ctx.input.mouse_y <= kMarkerFlagBottom;
  if (sample_loops(sample) && window > 0) {
    const double k = kViewScale / window;
    const int32_t xs = trunc_int(((sample.loop_start >> 14) - sampler.view_offset) * k);
    const int32_t xe = trunc_int(((sample.loop_end >> 14) - sampler.view_offset) * k);
    sampler.drag_loop_start = on_flags && x >= xs && x <= xs + kMarkerGrab;
    if (sampler.drag_loop_start) return;
    sampler.drag_loop_end = on_flags && x >= xe + 2 && x <= xe + 2 + kMarkerGrab;
    if (sampler.drag_loop_end) return;
  }
  sampler.mark_a = sampler.mark_b = std::clamp(x, kWaveLeft, kWaveRight);
  sampler.drag_range = 1;
}

void press_scroll_bar(SamplerState& sampler, const ScreenContext& ctx, int32_t length) {
  const int32_t window = window_bytes(sampler, length);
  if (window >= length) return;
  const double k = kScrollWidth / length;
  const int32_t t = trunc_int(sampler.view_offset * k);
  const int32_t u = trunc_int(window * k);
  const int32_t x = ctx.input.mouse_x - 4;
  if (x < t) {
    sampler.view_offset = std::max(sampler.view_offset - window, 0);
  } else if (x <= t + u) {
    sampler.drag_scroll = 1;
  } else {
    sampler.view_offset = std::min(sampler.view_offset + window, length - window);
  }
}

// The buttons that play, view or take from the sample's bytes.
void act_on_data(SamplerAction button, SamplerState& sampler, const ScreenContext& ctx,
                 const Sample& sample, int32_t length) {
  const int32_t number = ctx.selection.current_sample;
  switch (button) {
    case SamplerAction::kPlay:
      play_sample_note(sampler, ctx);  // ends any range play
      return;
    case SamplerAction::kPlayView:
      play_range(sampler, ctx, sampler.zoom_start, sampler.zoom_end);
      return;
    case SamplerAction::kPlayRange: {
      const auto [a, b] = marked_range(sampler, length);
      if (b > a) {
        play_range(sampler, ctx, a, b);
      } else {
        timed_message(ctx.status, "SET LARGER RANGE");
      }
      return;
    }
    case SamplerAction::kZoom:
      zoom_to_range(sampler, ctx, length);
      return;
    case SamplerAction::kZoomOut:
      zoom_out(sampler, length);
      return;
    case SamplerAction::kCut:
      cut_range(sampler, ctx, number, length);
      return;
    case SamplerAction::kCopy:
      copy_range(sampler, ctx, sample, length);
      return;
    case SamplerAction::kScrollBar:
      press_scroll_bar(sampler, ctx, length);
      return;
    default:
      return;
  }
}

}  // namespace

void free_copy_buffer(SamplerState& sampler) {
  std::free(sampler.copy_data);
  sampler.copy_data = nullptr;
  sampler.copy_length = 0;
}

void play_sample_note(const SamplerState& sampler, const ScreenContext& ctx) {
  if (!current_sample(ctx)) return;
  play_note(*ctx.player, std::clamp(ctx.selection.cursor_channel, 0, kChannels - 1),
            ctx.selection.current_sample, sampler.play_period);
}

void sample_button(SamplerAction button, SamplerState& sampler, const ScreenContext& ctx) {
  switch (button) {
    case SamplerAction::kStop:
      reset_all_channels(*ctx.player);
      return;
    case SamplerAction::kVolume:
    case SamplerAction::kTune:
    case SamplerAction::kTuneNote:
    case SamplerAction::kBoost:
    case SamplerAction::kFilter:
    case SamplerAction::kResample:
    case SamplerAction::kNote:
      return process_button(button, sampler, ctx);
    case SamplerAction::kMarkAll:
      sampler.mark_a = kWaveLeft;
      sampler.mark_b = kWaveRight;
      return;
    case SamplerAction::kCursorStart:
      sampler.mark_a = sampler.mark_b = kWaveLeft;
      return;
    case SamplerAction::kCursorEnd:
      sampler.mark_a = sampler.mark_b = kWaveRight;
      return;
    default:
      break;
  }
  // Everything else works on the sample, which sample 0 has not.
  const Sample* sample = current_sample(ctx);
  if (!sample) return;
  const int32_t number = ctx.selection.current_sample;
  const int32_t length = sample_bytes(*sample);
  switch (button) {
    case SamplerAction::kPaste:
      paste(sampler, ctx, number, length);
      return;
    case SamplerAction::kSwap:
      swap_with_copy(sampler, ctx, number);
      return;
    case SamplerAction::kShowAll:
      set_whole_view(sampler, length);
      sampler.mark_a = sampler.mark_b = 0;
      return;
    case SamplerAction::kWaveform:
      press_waveform(sampler, ctx, *sample, length);
      return;
    case SamplerAction::kLoop:
      toggle_sample_loop(*ctx.player, number);
      return;
    default:
      break;
  }
  // An empty sample has nothing to play, zoom or take from.
  if (length > 0) act_on_data(button, sampler, ctx, *sample, length);
}

ScreenResult sample_editor_frame(SamplerState& sampler, const ScreenContext& ctx) {
  if (ctx.input.left_held == 0) {
    // The drags end with the press.
    sampler.drag_loop_start = 0;
    sampler.drag_loop_end = 0;
    sampler.drag_scroll = 0;
    sampler.drag_range = 0;
  }
  draw_text(ctx.canvas, 264, 123, 0, kTextColour, "%6d", module_size(ctx.player));
  update_sample_view(sampler, ctx);
  draw_sample_view(sampler, ctx);
  draw_process_fields(sampler, ctx);
  if (volume_panel_frame(sampler, ctx)) return {true, true};
  if (sampler.drag_scroll == 1) return {true, true};
  const SamplerAction button = hit_action(ctx.input, kSamplerButtons);
  // A requester or a text field owns the mouse.
  if (button == SamplerAction::kNone || ctx.status.dialog != kDialogNone) return {true, false};
  if (button == SamplerAction::kClose) return {false, true};
  sample_button(button, sampler, ctx);
  return {true, true};
}
