// The lower half of the main screen: fifteen rows of the current pattern
// around the current row, the level meters and the pattern cursor.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

constexpr int32_t kMeterHeight = 48;  // pixels of a full level-meter bar

// Three-character name of a period ("c-1" .. "b-3", "---" for 0), or "???"
// for a period that is none of the 36 note periods.
const char* note_name(int32_t period);
// Level-meter bar height in pixels for an oscilloscope peak (0..128).
int32_t meter_height(int32_t peak);
// Four bars growing up from y = 187; each level is a peak as kept in
// EditorState::channel_peaks.
void draw_level_meters(const int32_t levels[kChannels], EditorState* state);
// Rows, meters (from this frame's channel_peaks) and cursor.
void draw_pattern_view(EditorState* state);
