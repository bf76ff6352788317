#include "engine/player.h"

#include <cstdlib>
#include <cstring>

#include "engine/mixer.h"

void sample_clear(Sample& sample) {
  std::free(sample.data);
  std::memset(&sample, 0, sizeof sample);
  sample.loop_length = 0x8000;
  sample.loop_end = 0x8000;
}

void player_reset_replay(Player* player, int32_t output_rate) {
  static constexpr int32_t kPans[kChannels] = {0, 255, 255, 0};
  for (int c = 0; c < kChannels; ++c) {
    player->channels[c].position = -1;
    player->channels[c].pan = kPans[c];
    player->channels[c].enabled = 1;
    // No note cut or restart is pending on a fresh channel; left at 0 they
    // would silence or restart the first note of every channel.
    player->channels[c].cut_counter = -1;
    player->channels[c].retrig_counter = -1;
  }
  player->flags = 4;
  player->output_rate = output_rate;
  player->master_volume = 256;
  player->speed = 6;
  player->tempo = 125;
  player->play_mode = kStopped;
  player->samples_per_tick = static_cast<float>(output_rate / 50.5);
  compute_filter(player, output_rate);
}

Player* player_create(int32_t output_rate) {
  // calloc keeps the struct trivially zero-filled, as the rest of the code
  // assumes; it is large (about half a megabyte) so it lives on the heap.
  auto* player = static_cast<Player*>(std::calloc(1, sizeof(Player)));
  if (!player) std::abort();
  for (int s = 0; s < kSampleCount; ++s) sample_clear(player->samples[s]);
  player->pattern_count = 1;
  player->song_length = 1;
  player_reset_replay(player, output_rate);
  return player;
}

void player_destroy(Player* player) {
  if (!player) return;
  for (int s = 1; s < kSampleCount; ++s) {
    std::free(player->samples[s].data);
    player->samples[s].data = nullptr;
  }
  std::free(player);
}
