#include "engine/song_render.h"

#include <algorithm>
#include <cmath>

#include "engine/mixer.h"

namespace {

// Frames the mixer renders before it processes the next tick.
int64_t frames_to_tick(const Player* player) {
  const float gap = player->samples_per_tick - player->tick_accumulator;
  return gap <= 0 ? 0 : static_cast<int64_t>(std::ceil(gap));
}

bool row_tick_due(const Player* player) {
  return player->tick_counter <= 0 && player->pattern_delay == 0;
}

// Whether the row just processed jumped back by a pattern loop, which stays
// on its position and is not the song moving on.
bool row_looped(const Player* player, int32_t pattern, int32_t row) {
  for (int c = 0; c < kChannels; ++c) {
    const PatternCell& cell = player->patterns[pattern][row][c];
    if (cell.effect == 0xE && cell.param_hi == 6 && cell.param_lo != 0 &&
        player->channels[c].loop_state == 2)
      return true;
  }
  return false;
}

// The block being filled: the mix and, for stems, one buffer per channel.
struct BlockBuffers {
  int16_t mix[kRenderBlockFrames * 2];
  int16_t stems[kChannels][kRenderBlockFrames * 2];
  OutputMixer mixer;
};

bool append_to(void* context, const SongBlock& block) {
  auto* out = static_cast<std::vector<int16_t>*>(context);
  out->insert(out->end(), block.mix, block.mix + block.frames * 2);
  return true;
}

}  // namespace

int64_t render_song(Player* player, int64_t max_frames, const SongSink* sink, bool stems,
                    const SongRenderProgress* progress, const MixSettings& mix) {
  player->play_mode = kPlaySong;
  player->song_position = 0;
  player->row = 0;
  player->tick_counter = 0;
  player->pattern_delay = 0;
  player->tick_accumulator = player->samples_per_tick;  // the first row at once
  player->current_pattern = player->order[0] & 127;

  auto* buffers = new BlockBuffers{};
  output_mixer_init(buffers->mixer, mix);
  int16_t* stem_blocks[kChannels];
  for (int c = 0; c < kChannels; ++c) stem_blocks[c] = buffers->stems[c];
  bool played[kPositions] = {};
  played[0] = true;
  bool ending = false;
  int64_t done = 0;
  while (done < max_frames) {
    const auto block =
        static_cast<int32_t>(std::min<int64_t>(kRenderBlockFrames, max_frames - done));
    int32_t filled = 0;
    while (filled < block) {
      auto n = static_cast<int32_t>(std::min<int64_t>(block - filled, frames_to_tick(player)));
      bool row_tick = false;
      int32_t position = 0, row = 0, pattern = 0;
      if (n == 0) {
        // The next frame starts with a tick: render it alone to see what
        // the row does.
        row_tick = row_tick_due(player);
        if (row_tick && ending) break;
        position = player->song_position & 127;
        row = player->row & 63;
        pattern = player->order[position] & 127;
        n = 1;
      }
      int16_t* out = buffers->mix + filled * 2;
      if (!sink) {
        advance_ticks(player, n);
      } else if (stems) {
        int16_t* at[kChannels];
        for (int c = 0; c < kChannels; ++c) at[c] = stem_blocks[c] + filled * 2;
        output_mix_stems(player, buffers->mixer, out, at, n);
      } else {
        output_mix(player, buffers->mixer, out + 1, out, 2, n);
      }
      filled += n;
      if (!row_tick) continue;
      const int32_t new_position = player->song_position & 127;
      const bool moved =
          new_position != position || (!row_looped(player, pattern, row) && player->row != row + 1);
      if (moved) {
        if (played[new_position]) ending = true;
        played[new_position] = true;
      }
    }
    if (sink && filled > 0 &&
        !sink->write(sink->context,
                     SongBlock{buffers->mix, stems ? stem_blocks : nullptr, filled})) {
      delete buffers;
      return -1;
    }
    done += filled;
    if (progress && progress->report) progress->report(progress->context, done);
    if (filled < block) break;
  }
  delete buffers;
  return done;
}

std::vector<int16_t> render_song(Player* player, int64_t max_frames,
                                 const SongRenderProgress* progress) {
  std::vector<int16_t> out;
  const SongSink sink{append_to, &out};
  render_song(player, max_frames, &sink, false, progress);
  return out;
}
