#include "sampler/sample_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/draw.h"

namespace {

constexpr uint32_t kTextColour = 0x000000;
constexpr uint32_t kWaveColour = 0xFFFF00;
constexpr uint32_t kPlayLineColour = 0x00FFFF;
constexpr int32_t kColumns = kWaveSpan;
constexpr double kMarkerScale = kWaveScale;  // pixels per window for markers and positions

// The byte at a waveform position, 0 past the data.
int32_t point(const Sample& sample, int32_t length, int32_t byte) {
  if (length <= 0) return 0;
  return sample.data[std::clamp(byte, 0, length - 1)];
}

// Integer line stepping, one pixel per step along the longer axis.
void draw_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
               const Canvas& canvas) {
  const int32_t dx = std::abs(x1 - x0);
  const int32_t dy = std::abs(y1 - y0);
  const int32_t steps = std::max(dx, dy);
  for (int32_t i = 0; i <= steps; ++i) {
    // Rounded to the nearest pixel, halves away from the start: symmetric.
    const int32_t x = x0 + (steps ? ((x1 - x0) * 2 * i + steps) / (2 * steps) : 0);
    const int32_t y =
        y0 + (steps ? ((y1 - y0) * 2 * i + (y1 >= y0 ? steps : -steps)) / (2 * steps) : 0);
    put_pixel(canvas, x, y, colour);
  }
}

// invert_pixel over the waveform rows from x first to last, a row at a
// time: the band is inside the framebuffer by construction.
void invert_band(int32_t first, int32_t last, const Canvas& canvas) {
  for (int32_t y = kWaveTop; y <= kWaveBottom; ++y) {
    uint8_t* p = canvas.pixels + (static_cast<size_t>(y) * kScreenWidth + first) * 3;
    for (int32_t x = first; x <= last; ++x, p += 3) {
      p[0] = static_cast<uint8_t>(255 - p[0]);
      p[1] = static_cast<uint8_t>(255 - p[1]);
      p[2] = 0;
    }
  }
}

void draw_waveform(const SamplerState& sampler, const Canvas& canvas, const Sample& sample,
                   int32_t length) {
  const float per_pixel = sampler.samples_per_pixel;
  const int32_t offset = sampler.view_offset;
  int32_t previous = kWaveCentre - (point(sample, length, offset) >> 2);
  for (int32_t x = 0; x < kColumns; ++x) {
    const int32_t b = offset + trunc_int(per_pixel * static_cast<float>(x + 1));
    const int32_t next = kWaveCentre - (point(sample, length, b) >> 2);
    draw_line(x + kWaveLeft, previous, x + kWaveLeft + 1, next, kWaveColour, canvas);
    previous = next;
  }
}

// The byte under the pointer, for the loop drags.
int32_t pointer_byte(const SamplerState& sampler, const ScreenContext& ctx, int32_t window) {
  const double k = kMarkerScale / window;
  const int32_t m = std::min(ctx.input.mouse_x, kWaveRight);
  return trunc_int(m / k) + sampler.view_offset;
}

void drag_loop_start(SamplerState& sampler, const ScreenContext& ctx, int32_t window) {
  move_loop_start(*ctx.player, ctx.selection.current_sample, pointer_byte(sampler, ctx, window));
}

void drag_loop_end(SamplerState& sampler, const ScreenContext& ctx, int32_t window) {
  move_loop_end(*ctx.player, ctx.selection.current_sample, pointer_byte(sampler, ctx, window));
}

void draw_loop_markers(const SamplerState& sampler, const ScreenContext& ctx, const Sample& sample,
                       int32_t window) {
  const double k = kMarkerScale / window;
  const int32_t xs = trunc_int(((sample.loop_start >> 14) - sampler.view_offset) * k);
  const int32_t xe = trunc_int(((sample.loop_end >> 14) - sampler.view_offset) * k);
  // One left of the view is not drawn; the copy clips the right edge.
  if (xs >= 0) blit_image_keyed_green(ctx.canvas, xs, kWaveTop, ctx.images.loopleft);
  if (xe >= 0) blit_image_keyed_green(ctx.canvas, xe + 2, kWaveTop, ctx.images.loopright);
}

void draw_play_positions(const SamplerState& sampler, const ScreenContext& ctx,
                         const Sample& sample, int32_t window) {
  for (const ChannelState& ch : ctx.player->channels) {
    if (ch.sample != ctx.selection.current_sample || ch.enabled == 0) continue;
    int32_t p = ch.position;
    if (p < 0 || p >= sample.length) continue;
    if (sample.loop_length > kNoLoopBytes * kFixOne && sample.loop_end <= p)
      p -= sample.loop_length;
    const int32_t x = trunc_int(((p >> 14) - sampler.view_offset) * kMarkerScale / window);
    if (x < 0 || x > kWaveRight) continue;
    for (int32_t y = kWaveTop; y <= kWaveBottom; ++y)
      put_pixel(ctx.canvas, x + kWaveLeft, y, kPlayLineColour);
  }
}

void draw_scroll_bar(const SamplerState& sampler, const Canvas& canvas, int32_t length,
                     int32_t window) {
  if (length <= 0 || window >= length) return;
  const double k = kScrollWidth / length;
  const int32_t u = trunc_int(window * k);
  const int32_t t = trunc_int(sampler.view_offset * k);
  for (int32_t y = kScrollTop; y <= kScrollBottom; ++y)
    for (int32_t x = t + kScrollLeft; x <= t + u + kScrollLeft; ++x)
      put_pixel(canvas, x, y, kWaveColour);
}

}  // namespace

const Sample* current_sample(const ScreenContext& ctx) {
  return editable_sample(*ctx.player, ctx.selection.current_sample);
}

int32_t window_bytes(const SamplerState& sampler, int32_t length) {
  return std::clamp(sampler.zoom_end - sampler.zoom_start, 0, length);
}

int32_t trunc_int(double value) {
  return std::isnan(value) ? 0 : static_cast<int32_t>(std::clamp(value, -1e9, 1e9));
}

void reset_sample_view(SamplerState& sampler, const Player& player, int32_t number) {
  const Sample* sample = editable_sample(player, number);
  const int32_t bytes = sample ? sample_bytes(*sample) : 0;
  sampler.mark_a = 0;
  sampler.mark_b = 0;
  sampler.drag_loop_start = 0;
  sampler.drag_loop_end = 0;
  sampler.drag_range = 0;
  sampler.zoom_start = 0;
  sampler.view_offset = 0;
  sampler.zoom_end = bytes;
  sampler.samples_per_pixel = static_cast<float>(bytes / kWaveScale);
  sampler.cut_mark = 0;
}

void update_sample_view(SamplerState& sampler, const ScreenContext& ctx) {
  const Sample* sample = current_sample(ctx);
  if (!sample) return;
  const int32_t length = sample_bytes(*sample);
  const int32_t window = window_bytes(sampler, length);
  sampler.view_offset = std::clamp(sampler.view_offset, 0, length - window);

  const FrameInput& input = ctx.input;
  const bool loop_drag = sampler.drag_loop_start != 0 || sampler.drag_loop_end != 0;
  if (sampler.drag_range == 1 && sampler.drag_scroll == 0 && !loop_drag &&
      input.mouse_y >= kWaveTop && input.mouse_y <= kWaveBottom && input.left_held > 3)
    sampler.mark_b = std::clamp(input.mouse_x, kWaveLeft, kWaveRight);

  if (window > 0) {
    if (sampler.drag_loop_start == 1) drag_loop_start(sampler, ctx, window);
    if (sampler.drag_loop_end == 1) drag_loop_end(sampler, ctx, window);
  }
  if (length > 0 && sampler.drag_scroll == 1) {
    const double k = kScrollWidth / length;
    const int32_t o = std::max(trunc_int((input.mouse_x - kScrollLeft) / k), 0);
    sampler.view_offset = std::min(o, length - window);
  }
}

void draw_sample_view(const SamplerState& sampler, const ScreenContext& ctx) {
  const Sample* sample = current_sample(ctx);
  if (!sample) return;
  const int32_t length = sample_bytes(*sample);
  const int32_t window = window_bytes(sampler, length);
  const Canvas& canvas = ctx.canvas;

  draw_text(canvas, 265, 214, 0, kTextColour, "%6d", window);
  // An empty sample plays nothing, whatever loop its header gave it.
  const bool loops = length > 0 && sample_loops(*sample);
  draw_text(canvas, 289, 225, 0, kTextColour, "%s", loops ? "ON " : "OFF");

  draw_waveform(sampler, canvas, *sample, length);
  if (sampler.mark_a > 0 || sampler.mark_b > 0) {
    // Either way round: a range marked right to left shows the same band.
    const int32_t first =
        std::clamp(std::min(sampler.mark_a, sampler.mark_b), kWaveLeft, kWaveRight);
    const int32_t last =
        std::clamp(std::max(sampler.mark_a, sampler.mark_b), kWaveLeft, kWaveRight);
    invert_band(first, last, canvas);
  }
  if (window > 0) {
    if (sample_loops(*sample)) draw_loop_markers(sampler, ctx, *sample, window);
    draw_play_positions(sampler, ctx, *sample, window);
  }
  draw_scroll_bar(sampler, canvas, length, window);
}

MarkedRange marked_range(const SamplerState& sampler, int32_t length) {
  const int32_t window = window_bytes(sampler, length);
  const auto byte = [&](int32_t mark) {
    const int32_t pixel = std::clamp(mark - kWaveLeft, 0, kWaveSpan);
    return std::clamp(
        sampler.view_offset + trunc_int(pixel * static_cast<double>(window) / kWaveSpan), 0,
        length);
  };
  return {byte(std::min(sampler.mark_a, sampler.mark_b)),
          byte(std::max(sampler.mark_a, sampler.mark_b))};
}
