#include "render/pattern_view.h"

#include <algorithm>
#include <cstdio>

#include "engine/editing.h"
#include "engine/periods.h"
#include "render/draw.h"

namespace {

// The names of the finetune-0 periods, in table order.
// Top of a full bar first: red at the top, green at the foot.
constexpr uint32_t kMeterColours[kMeterHeight] = {
    0xff0000, 0xff0000, 0xff1100, 0xff1100, 0xff2200, 0xff2200, 0xff3300, 0xff3300,
    0xff4400, 0xff5500, 0xff6600, 0xff7700, 0xff8800, 0xff9900, 0xffaa00, 0xffbb00,
    0xffcc00, 0xffdd00, 0xffee00, 0xffff00, 0xffff00, 0xeeff00, 0xeeff00, 0xddff00,
    0xddff00, 0xccff00, 0xccff00, 0xbbff00, 0xbbff00, 0xaaff00, 0x99ff00, 0x99ff00,
    0x88ff00, 0x88ff00, 0x77ff00, 0x77ff00, 0x66ff00, 0x66ff00, 0x55ff00, 0x55ff00,
    0x44ff00, 0x44ff00, 0x33ff00, 0x33ff00, 0x22ff00, 0x11ff00, 0x00ff00, 0x00ee00,
};

// Left edge of each cursor column: note, sample hi/lo, effect, param hi/lo.
constexpr int32_t kCursorX[kChannels * 6] = {
    30,  54,  62,  70,  78,  86,  102, 126, 134, 142, 150, 158,
    174, 198, 206, 214, 222, 230, 246, 270, 278, 286, 294, 302,
};

constexpr uint32_t kCurrentRowColour = 0x000000;
constexpr uint32_t kOtherRowColour = 0x3344FF;

// The cursor row's band (y 189..202 in the main image), and the line
// heights above and below it.
constexpr int32_t kBandTop = 189;
constexpr int32_t kBandBottom = 202;
constexpr int32_t kLineHeight = 7;
constexpr int32_t kBelowTop = 203;
constexpr uint32_t kEditBandColour = 0xFFC4B8;
constexpr uint32_t kRecordBandColour = 0xFF8C7C;
constexpr uint32_t kModeMarkColour = 0xC81E1E;
constexpr uint32_t kModeMarkText = 0xFFFFFF;
constexpr int32_t kModeMarkWidth = 8;
constexpr uint32_t kBlockColour = 0xA8E4A0;
constexpr uint32_t kBlockBandColour = 0x78C870;
// A channel's cells, from the left of its note to the end of its parameter.
constexpr int32_t kTrackLeft = 31;
constexpr int32_t kTrackRight = 103;
constexpr int32_t kChannelWidth = 72;

void fill(const Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  for (int32_t y = y1; y <= y2; ++y)
    for (int32_t x = x1; x <= x2; ++x) put_pixel(canvas, x, y, colour);
}

// The pixel rows of a pattern row in view, false when it is out of view.
bool row_span(int32_t row, int32_t current, int32_t* top, int32_t* bottom) {
  if (row == current) {
    *top = kBandTop;
    *bottom = kBandBottom;
  } else if (row < current && row >= current - 7) {
    *top = kPatternViewTop + kLineHeight * (row - current + 7);
    *bottom = *top + kLineHeight - 1;
  } else if (row > current && row <= current + 7) {
    *top = kBelowTop + kLineHeight * (row - current - 1);
    *bottom = std::min(*top + kLineHeight - 1, kPatternViewBottom);
  } else {
    return false;
  }
  return true;
}

void draw_mode(const ScreenContext& ctx, bool record) {
  fill(ctx.canvas, 0, kBandTop, kScreenWidth - 1, kBandBottom,
       record ? kRecordBandColour : kEditBandColour);
  fill(ctx.canvas, 0, kBandTop, kModeMarkWidth - 1, kBandBottom, kModeMarkColour);
  draw_glyph(ctx.canvas, 0, kBandTop + 3, record ? 'R' : 'E', 0, kModeMarkText);
}

void draw_block(const ScreenContext& ctx, const BlockRows& block, int32_t current) {
  if (block.channel < 0 || block.channel >= kChannels) return;
  const int32_t left = kTrackLeft + kChannelWidth * block.channel;
  for (int32_t row = std::max(block.first, 0); row <= std::min(block.last, kRows - 1); ++row) {
    int32_t top = 0;
    int32_t bottom = 0;
    if (row_span(row, current, &top, &bottom))
      fill(ctx.canvas, left, top, left + kTrackRight - kTrackLeft, bottom,
           row == current ? kBlockBandColour : kBlockColour);
  }
}

uint32_t shift_colour(uint32_t colour, int32_t delta) {
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int32_t component =
        std::clamp(static_cast<int32_t>((colour >> shift) & 0xFF) + delta, 0, 255);
    result |= static_cast<uint32_t>(component) << shift;
  }
  return result;
}

void draw_row(const PatternCell (&cells)[kRows][kChannels], int32_t row, int32_t y, int32_t mode,
              uint32_t colour, const ScreenContext& ctx) {
  const PatternCell* c = cells[row];
  // Masks keep every field at the width the layout has room for, whatever a
  // loaded file or an edit left in the cell.
  auto s = [&](int k) { return c[k].sample & 0xFF; };
  auto e = [&](int k) { return c[k].effect & 0xF; };
  auto h = [&](int k) { return c[k].param_hi & 0xF; };
  auto l = [&](int k) { return c[k].param_lo & 0xF; };
  draw_text(ctx.canvas, 8, y, mode, colour,
            "%02d %s%02x%x%x%x %s%02x%x%x%x %s%02x%x%x%x %s%02x%x%x%x", row, note_name(c[0].period),
            s(0), e(0), h(0), l(0), note_name(c[1].period), s(1), e(1), h(1), l(1),
            note_name(c[2].period), s(2), e(2), h(2), l(2), note_name(c[3].period), s(3), e(3),
            h(3), l(3));
}

}  // namespace

int32_t meter_height(int32_t peak) {
  // peak / 2.6 in exact integer arithmetic (a double division makes 13 / 2.6
  // come out just under 5).
  return std::clamp(peak * 5 / 13, 0, kMeterHeight);
}

void draw_level_meters(const Canvas& canvas, const ChannelPeaks& peaks) {
  for (int32_t k = 0; k < kChannels; ++k) {
    const int32_t height = meter_height(peaks.level[k]);
    const int32_t left = 55 + 72 * k;
    for (int32_t j = 0; j < height; ++j) {
      const int32_t y = 187 - j;
      const uint32_t colour = kMeterColours[kMeterHeight - 1 - j];
      const uint32_t light = shift_colour(colour, 51);
      const uint32_t dark = shift_colour(colour, -51);
      put_pixel(canvas, left, y, light);
      put_pixel(canvas, left + 1, y, light);
      for (int32_t x = left + 2; x <= left + 7; ++x) put_pixel(canvas, x, y, colour);
      put_pixel(canvas, left + 8, y, dark);
      put_pixel(canvas, left + 9, y, dark);
    }
  }
}

int32_t pattern_row_at(int32_t y, int32_t current) {
  int32_t row = -1;
  if (y >= kPatternViewTop && y < kBandTop) {
    row = current - 7 + std::min((y - kPatternViewTop) / kLineHeight, 6);
  } else if (y >= kBandTop && y <= kBandBottom) {
    row = current;
  } else if (y >= kBelowTop && y <= kPatternViewBottom) {
    row = current + 1 + (y - kBelowTop) / kLineHeight;
  }
  return row >= 0 && row < kRows ? row : -1;
}

bool pattern_column_at(int32_t x, int32_t* channel, int32_t* column) {
  // Cells start at x = 32 (note, 3 characters), then sample (2), effect
  // and parameter (1 each); the space after a channel counts as its last.
  const int32_t from = x - 32;
  if (from < 0 || x > kTrackRight + kChannelWidth * (kChannels - 1)) return false;
  const int32_t place = (from % kChannelWidth) / 8;
  constexpr int32_t kColumnOfPlace[9] = {0, 0, 0, 1, 2, 3, 4, 5, 5};
  *channel = from / kChannelWidth;
  *column = kColumnOfPlace[place];
  return true;
}

void draw_pattern_view(const ScreenContext& ctx, const ChannelPeaks& peaks,
                       const BlockRows& block) {
  const Player* player = ctx.player;
  const ReplayView replay = replay_view(*player);
  const int32_t pattern = std::clamp(replay.current_pattern, 0, kPatterns - 1);
  const int32_t current = std::clamp(replay.shown_row, 0, kRows - 1);
  const auto& cells = player->patterns[pattern];

  if (ctx.selection.edit_mode) draw_mode(ctx, replay_running(replay));
  draw_block(ctx, block, current);

  draw_row(cells, current, 190, kDrawDoubleHeight, kCurrentRowColour, ctx);
  for (int32_t k = 0; k < 7; ++k) {
    const int32_t above = current - 7 + k;
    const int32_t below = current + 1 + k;
    if (above >= 0) draw_row(cells, above, 140 + 7 * k, 0, kOtherRowColour, ctx);
    if (below < kRows) draw_row(cells, below, 203 + 7 * k, 0, kOtherRowColour, ctx);
  }

  draw_level_meters(ctx.canvas, peaks);

  const int32_t channel = std::clamp(ctx.selection.cursor_channel, 0, kChannels - 1);
  const int32_t column = std::clamp(ctx.selection.cursor_column, 0, 5);
  if (ctx.images.cursor)
    blit_image_keyed(ctx.canvas, kCursorX[channel * 6 + column], 188, ctx.images.cursor);
}
