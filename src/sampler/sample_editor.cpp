#include "sampler/sample_editor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/editing.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "render/message.h"
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

void set_whole_view(EditorState* state, int32_t length) {
  state->sampler.zoom_start = 0;
  state->sampler.zoom_end = length;
  state->sampler.view_offset = 0;
  state->sampler.samples_per_pixel = static_cast<float>(length / kWaveScale);
}

// The bytes under the marks, within 0..L, the lower first.
struct Range {
  int32_t a;
  int32_t b;
};

Range marked_range(const EditorState* state, int32_t length) {
  const int32_t window = window_bytes(state, length);
  const auto byte = [&](int32_t mark) {
    const int32_t pixel = std::clamp(mark - kWaveLeft, 0, kPixelSpan);
    return std::clamp(
        state->sampler.view_offset + trunc_int(pixel * static_cast<double>(window) / kPixelSpan), 0,
        length);
  };
  return {byte(std::min(state->sampler.mark_a, state->sampler.mark_b)),
          byte(std::max(state->sampler.mark_a, state->sampler.mark_b))};
}

// Where a paste goes: the left mark, or the exact byte a cut left the
// cursor at while that cursor and the whole view are unchanged.
int32_t paste_position(const EditorState* state, int32_t length) {
  if (state->sampler.mark_a == state->sampler.cut_mark &&
      state->sampler.mark_b == state->sampler.cut_mark && state->sampler.view_offset == 0 &&
      state->sampler.zoom_start == 0 && state->sampler.zoom_end == length)
    return std::min(state->sampler.cut_position, length);
  return even(marked_range(state, length).a);
}

// The copy buffer takes `data` (the old one is freed); its loop is off.
void take_copy(EditorState* state, int8_t* data, int32_t bytes) {
  std::free(state->sampler.copy_data);
  state->sampler.copy_data = data;
  state->sampler.copy_length = bytes;
  state->sampler.copy_loop_start = 0;
  state->sampler.copy_loop_length = kNoLoopBytes;
  state->sampler.copy_loop_end = kNoLoopBytes;
}

// A zero-filled block of even size, or null with a message.
int8_t* allocate(int32_t bytes, EditorState* state) {
  auto* block = static_cast<int8_t*>(std::calloc(static_cast<size_t>(padded(bytes)), 1));
  if (!block) show_message("OUT OF MEMORY", state);
  return block;
}

// The marked bytes a .. b - 1 to copy or cut, from and to even bytes;
// false with a message when that leaves none.
bool data_range(EditorState* state, int32_t length, int32_t* a, int32_t* b) {
  const Range range = marked_range(state, length);
  *a = even(range.a);
  *b = even(range.b);
  if (*b > *a) return true;
  show_message("SET LARGER RANGE", state);
  return false;
}

void copy_range(EditorState* state, const Sample& sample, int32_t length) {
  int32_t a = 0, b = 0;
  if (!data_range(state, length, &a, &b)) return;
  int8_t* copy = allocate(b - a, state);
  if (!copy) return;
  std::memcpy(copy, sample.data + a, static_cast<size_t>(b - a));
  take_copy(state, copy, padded(b - a));
}

void cut_range(EditorState* state, int32_t number, int32_t length) {
  const Sample& sample = state->player->samples[number];
  int32_t a = 0, b = 0;
  if (!data_range(state, length, &a, &b)) return;
  const int32_t n = b - a;
  const int32_t rest = length - n;
  int8_t* copy = allocate(n, state);
  if (!copy) return;
  int8_t* kept = nullptr;
  if (rest > 0 && !(kept = allocate(rest, state))) {
    std::free(copy);
    return;
  }
  std::memcpy(copy, sample.data + a, static_cast<size_t>(n));
  if (kept) {
    std::memcpy(kept, sample.data, static_cast<size_t>(a));
    std::memcpy(kept + a, sample.data + b, static_cast<size_t>(length - b));
  }
  const int32_t bytes = padded(rest);
  std::free(replace_sample_data(*state->player, number, kept, bytes, 0, kNoLoopBytes));
  take_copy(state, copy, padded(n));

  set_whole_view(state, bytes);
  state->sampler.mark_a = state->sampler.mark_b = state->sampler.cut_mark = 0;
  if (bytes == 0) {
    state->sampler.samples_per_pixel = 1.0f;
    return;
  }
  // The cursor where the cut bytes were; the pixel names the byte only
  // roughly, so the byte itself is kept for a paste.
  const int32_t x = trunc_int(a * (static_cast<float>(kPixelSpan) / bytes)) + kWaveLeft;
  state->sampler.mark_a = state->sampler.mark_b = state->sampler.cut_mark =
      std::clamp(x, kWaveLeft, kWaveRight);
  state->sampler.cut_position = a;
}

void paste(EditorState* state, int32_t number, int32_t length) {
  // The marks are set and cleared together.
  if (state->sampler.mark_a <= 0) {
    show_message("SET CURSOR POS", state);
    return;
  }
  if (!state->sampler.copy_data) {
    show_message("BUFFER IS EMPTY", state);
    return;
  }
  const int32_t total = padded(state->sampler.copy_length + length);
  if (total > kMaxEditedBytes) {
    show_message("MAX 65534 BYTES", state);
    return;
  }
  const Sample& sample = state->player->samples[number];
  const int32_t p = paste_position(state, length);
  int8_t* joined = allocate(total, state);
  if (!joined) return;
  // An empty sample has no data: its copies are empty ranges.
  std::copy(sample.data, sample.data + p, joined);
  std::copy(state->sampler.copy_data, state->sampler.copy_data + state->sampler.copy_length,
            joined + p);
  std::copy(sample.data + p, sample.data + length, joined + p + state->sampler.copy_length);
  std::free(replace_sample_data(*state->player, number, joined, total, 0, kNoLoopBytes));
  set_whole_view(state, total);
  state->sampler.mark_a = state->sampler.mark_b = state->sampler.cut_mark = 0;
}

void swap_with_copy(EditorState* state, int32_t number) {
  const Sample& sample = state->player->samples[number];
  const int32_t bytes = sample_bytes(sample);
  const int32_t loop_start = sample.loop_start >> 14;
  const int32_t loop_length = sample.loop_length >> 14;
  // Data is null exactly when the length is 0, in the buffer and the sample.
  const int32_t copy_bytes = state->sampler.copy_length;
  state->sampler.copy_data =
      replace_sample_data(*state->player, number, state->sampler.copy_data, copy_bytes,
                          state->sampler.copy_loop_start, state->sampler.copy_loop_length);
  state->sampler.copy_length = bytes;
  state->sampler.copy_loop_start = loop_start;
  state->sampler.copy_loop_length = loop_length;
  state->sampler.copy_loop_end = loop_start + loop_length;
  state->sampler.drag_loop_start = state->sampler.drag_loop_end = 0;
  state->sampler.mark_a = state->sampler.mark_b = state->sampler.cut_mark = 0;
  set_whole_view(state, copy_bytes);
}

void zoom_to_range(EditorState* state, int32_t length) {
  const auto [a, b] = marked_range(state, length);
  // A window narrower than 2 bytes has no pixels to spread them over.
  if (b - a < 2) {
    show_message("SET LARGER RANGE", state);
    return;
  }
  state->sampler.mark_a = state->sampler.mark_b = 0;
  state->sampler.zoom_start = a;
  state->sampler.zoom_end = b;
  state->sampler.view_offset = a;
  state->sampler.samples_per_pixel = static_cast<float>((b - a) / kWaveScale);
}

void zoom_out(EditorState* state, int32_t length) {
  const int32_t window = window_bytes(state, length);
  const int32_t half = window / 2;
  // Moved back inside the sample where the widened window sticks out.
  const int32_t width = std::min(window + 2 * half, length);
  state->sampler.zoom_start = std::clamp(state->sampler.zoom_start - half, 0, length - width);
  state->sampler.zoom_end = state->sampler.zoom_start + width;
  state->sampler.samples_per_pixel = static_cast<float>(width / kWaveScale);
  state->sampler.view_offset = std::clamp(state->sampler.view_offset - half, 0, length - width);
}

void play_range(EditorState* state, int32_t from, int32_t to) {
  play_sample_range(*state->player, std::clamp(state->selection.cursor_channel, 0, kChannels - 1),
                    state->selection.current_sample, state->sampler.play_period, from, to);
}

void press_waveform(EditorState* state, const Sample& sample, int32_t length) {
  if (state->input.left_held != 1) return;  // not again in the repeat frames of a hold
  const int32_t window = window_bytes(state, length);
  const int32_t x = state->input.mouse_x;
  const bool on_flags =
      state->input.mouse_y >= kWaveTop && state->input.mouse_y <= kMarkerFlagBottom;
  if (sample_loops(sample) && window > 0) {
    const double k = kViewScale / window;
    const int32_t xs = trunc_int(((sample.loop_start >> 14) - state->sampler.view_offset) * k);
    const int32_t xe = trunc_int(((sample.loop_end >> 14) - state->sampler.view_offset) * k);
    state->sampler.drag_loop_start = on_flags && x >= xs && x <= xs + kMarkerGrab;
    if (state->sampler.drag_loop_start) return;
    state->sampler.drag_loop_end = on_flags && x >= xe + 2 && x <= xe + 2 + kMarkerGrab;
    if (state->sampler.drag_loop_end) return;
  }
  state->sampler.mark_a = state->sampler.mark_b = std::clamp(x, kWaveLeft, kWaveRight);
  state->sampler.drag_range = 1;
}

void press_scroll_bar(EditorState* state, int32_t length) {
  const int32_t window = window_bytes(state, length);
  if (window >= length) return;
  const double k = kScrollWidth / length;
  const int32_t t = trunc_int(state->sampler.view_offset * k);
  const int32_t u = trunc_int(window * k);
  const int32_t x = state->input.mouse_x - 4;
  if (x < t) {
    state->sampler.view_offset = std::max(state->sampler.view_offset - window, 0);
  } else if (x <= t + u) {
    state->sampler.drag_scroll = 1;
  } else {
    state->sampler.view_offset = std::min(state->sampler.view_offset + window, length - window);
  }
}

}  // namespace

void show_message(const char* text, EditorState* state) {
  timed_message(state->status, text);
}

void free_copy_buffer(EditorState* state) {
  std::free(state->sampler.copy_data);
  state->sampler.copy_data = nullptr;
  state->sampler.copy_length = 0;
}

void play_sample_note(EditorState* state) {
  if (!editable_sample(state)) return;
  play_note(*state->player, std::clamp(state->selection.cursor_channel, 0, kChannels - 1),
            state->selection.current_sample, state->sampler.play_period);
}

void sample_button(SamplerAction button, EditorState* state) {
  switch (button) {
    case SamplerAction::kClose:
      state->sample_editor_shown ^= 1;
      return;
    case SamplerAction::kStop:
      reset_all_channels(*state->player);
      return;
    case SamplerAction::kVolume:
    case SamplerAction::kTune:
    case SamplerAction::kBoost:
    case SamplerAction::kFilter:
    case SamplerAction::kResample:
    case SamplerAction::kNote:
      show_message("NOT IMPLEMENTED", state);
      return;
    case SamplerAction::kMarkAll:
      state->sampler.mark_a = kWaveLeft;
      state->sampler.mark_b = kWaveRight;
      return;
    case SamplerAction::kCursorStart:
      state->sampler.mark_a = state->sampler.mark_b = kWaveLeft;
      return;
    case SamplerAction::kCursorEnd:
      state->sampler.mark_a = state->sampler.mark_b = kWaveRight;
      return;
    default:
      break;
  }
  // Everything else works on the sample, which sample 0 has not.
  const Sample* sample = editable_sample(state);
  if (!sample) return;
  const int32_t number = state->selection.current_sample;
  const int32_t length = sample_bytes(*sample);
  switch (button) {
    case SamplerAction::kPaste:
      paste(state, number, length);
      return;
    case SamplerAction::kSwap:
      swap_with_copy(state, number);
      return;
    case SamplerAction::kShowAll:
      set_whole_view(state, length);
      state->sampler.mark_a = state->sampler.mark_b = 0;
      return;
    case SamplerAction::kWaveform:
      press_waveform(state, *sample, length);
      return;
    case SamplerAction::kLoop:
      toggle_sample_loop(*state->player, number);
      return;
    default:
      break;
  }
  // An empty sample has nothing to play, zoom or take from.
  if (length == 0) return;
  switch (button) {
    case SamplerAction::kPlay:
      play_sample_note(state);  // ends any range play
      return;
    case SamplerAction::kPlayView:
      play_range(state, state->sampler.zoom_start, state->sampler.zoom_end);
      return;
    case SamplerAction::kPlayRange: {
      const auto [a, b] = marked_range(state, length);
      if (b > a) {
        play_range(state, a, b);
      } else {
        show_message("SET LARGER RANGE", state);
      }
      return;
    }
    case SamplerAction::kZoom:
      zoom_to_range(state, length);
      return;
    case SamplerAction::kZoomOut:
      zoom_out(state, length);
      return;
    case SamplerAction::kCut:
      cut_range(state, number, length);
      return;
    case SamplerAction::kCopy:
      copy_range(state, *sample, length);
      return;
    case SamplerAction::kScrollBar:
      press_scroll_bar(state, length);
      return;
    default:
      return;
  }
}

int32_t sample_editor_frame(EditorState* state) {
  if (state->sample_editor_shown == 0) return 0;
  draw_text(state->canvas, 89, 127, 0, kTextColour, "%s", state->status.message);
  draw_text(state->canvas, 264, 123, 0, kTextColour, "%6d", module_size(state->player));
  draw_sample_view(state);
  if (state->sampler.drag_scroll == 1) return 0;
  const SamplerAction button = hit_action(state->input, kSamplerButtons);
  if (state->status.message_timer != 0 || state->status.message_frames != 0) return 1;
  // A requester or a text field owns the mouse.
  if (button != SamplerAction::kNone && state->status.dialog == kDialogNone)
    sample_button(button, state);
  return 1;
}
