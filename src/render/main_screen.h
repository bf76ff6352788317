// The whole main screen, repainted every frame in painter's order: the
// background, the status numbers and names, the oscilloscopes, the pattern
// view and the panels that cover parts of it.
#pragma once

#include <cstdint>

#include "engine/player.h"
#include "render/pattern_view.h"
#include "render/screen.h"

// The main screen's own values: the play clock and this frame's
// oscilloscope peaks.
struct MainScreenState {
  int32_t play_seconds;
  int32_t restart_clock;
  ChannelPeaks peaks;
  int32_t modified;              // the module has changes not saved: a mark is shown
  BlockRows block;               // the block the pattern view highlights this frame
  int32_t copied_block_channel;  // the track the block was marked in
};

// Bytes a module file of this player would take: the header, the patterns
// up to the highest one the order list names, and the sample data.
int32_t module_size(const Player* player);
// Numbers, names, channel-off marks, message line and oscilloscopes; returns
// each channel's oscilloscope peak of this frame, which the level meters show.
ChannelPeaks draw_status(const ScreenContext& ctx, const MainScreenState& main);
// The background and draw_status, then the pattern view unless a panel
// covers it.
ChannelPeaks redraw_main_screen(const ScreenContext& ctx, const MainScreenState& main,
                                bool pattern_view_shown);
