// Renders a song from its first position to the point where it repeats: the
// batch renderer behind the command line.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/player.h"

constexpr int32_t kRenderBlockFrames = 1024;

struct SongRenderProgress {
  void (*report)(void* context, int64_t frames);  // called after each block
  void* context;
};

// Plays the song (play_mode song, position 0, row 0) into interleaved 16-bit
// stereo frames (left = the mixer's second output, right = its first) until
// the end of the row that moves the song to a position it has already
// played, or until max_frames. The player is left where the render stopped.
std::vector<int16_t> render_song(Player* player, int64_t max_frames,
                                 const SongRenderProgress* progress);
