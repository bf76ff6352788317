// The lower half of the main screen: fifteen rows of the current pattern
// around the current row, the level meters and the pattern cursor.
#pragma once

#include <cstdint>

#include "engine/periods.h"
#include "render/screen.h"

constexpr int32_t kMeterHeight = 48;  // pixels of a full level-meter bar

// Level-meter bar height in pixels for an oscilloscope peak (0..128).
int32_t meter_height(int32_t peak);
// Each channel's oscilloscope peak of a frame (0..128).
struct ChannelPeaks {
  int32_t level[kChannels];
};

// Rows first..last of one channel drawn highlighted (none when first >
// last): the block being marked or the one last copied.
struct BlockRows {
  int32_t first;
  int32_t last;
  int32_t channel;
};

// Where the view's lines are: the pattern row under a point of it, -1
// outside its lines, for a cursor row `current`.
constexpr int32_t kPatternViewTop = 140;
constexpr int32_t kPatternViewBottom = 251;
int32_t pattern_row_at(int32_t y, int32_t current);
// The channel and cursor column (0..5) under x; false outside the cells.
bool pattern_column_at(int32_t x, int32_t* channel, int32_t* column);

// Four bars growing up from y = 187, one for each channel's peak.
void draw_level_meters(const Canvas& canvas, const ChannelPeaks& peaks);
// Rows, meters and cursor; in edit mode the cursor row's band in the
// edit or record colour with a lit mark at its left end.
void draw_pattern_view(const ScreenContext& ctx, const ChannelPeaks& peaks, const BlockRows& block);
