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

// Four bars growing up from y = 187, one for each channel's peak.
void draw_level_meters(const Canvas& canvas, const ChannelPeaks& peaks);
// Rows, meters and cursor.
void draw_pattern_view(const ScreenContext& ctx, const ChannelPeaks& peaks);
