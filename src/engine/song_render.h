// Renders a song from its first position to the point where it repeats: the
// batch renderer behind the command line. It streams: each block goes to a
// sink as soon as it is mixed, so memory does not grow with the song.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/machine_mix.h"
#include "engine/player.h"

constexpr int32_t kRenderBlockFrames = 1024;

struct SongRenderProgress {
  void (*report)(void* context, int64_t frames);  // called after each block
  void* context;
};

// One block of interleaved 16-bit stereo frames (left = the mixer's second
// output, right = its first); `stems` holds one block per channel when
// stems were asked for, and is null otherwise.
struct SongBlock {
  const int16_t* mix;
  const int16_t* const* stems;
  int32_t frames;
};

struct SongSink {
  bool (*write)(void* context, const SongBlock& block);  // false stops the render
  void* context;
};

// Plays the song (play_mode song, position 0, row 0) until the end of the
// row that moves the song to a position it has already played, or until
// max_frames, handing each block to `sink`. Without a sink nothing is mixed:
// only the replayer runs, which finds the length cheaply (the samples'
// data may change, as the invert-loop command changes them while playing).
// Returns the frames rendered, or -1 when the sink refused a block. The
// player is left where the render stopped. `mix` names the output model; its
// rate must be the player's (set_output_rate).
int64_t render_song(Player* player, int64_t max_frames, const SongSink* sink, bool stems,
                    const SongRenderProgress* progress, const MixSettings& mix = kExactMix);
// The whole song in memory, for short renders.
std::vector<int16_t> render_song(Player* player, int64_t max_frames,
                                 const SongRenderProgress* progress);
