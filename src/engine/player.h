// The module together with its replay state. One plain struct, allocated
// zero-filled; sample data are the only memory it owns outside itself.
#pragma once

#include <cstdint>

constexpr int kSampleCount = 32;  // entry 0 is never used
constexpr int kChannels = 4;
constexpr int kPositions = 128;
constexpr int kPatterns = 128;
constexpr int kRows = 64;
constexpr int32_t kFixOne = 16384;  // 18.14 fixed point: one byte
constexpr int32_t kMaxSampleBytes = 0xFFFE;

struct History;

enum PlayMode : int32_t { kPlaySong = 1, kStopped = 2, kPlayPattern = 3 };

struct Sample {
  char name[22];
  int8_t* data;
  int32_t length;  // all lengths and positions are 18.14
  int32_t loop_start;
  int32_t loop_length;
  int32_t loop_end;  // always loop_start + loop_length
  int32_t finetune;  // 0..15 (8..15 are -8..-1)
  int32_t volume;    // 0..64
};

struct PatternCell {
  int32_t period;  // 0 = no note
  int32_t sample;  // 1..31, 0 = none
  uint8_t effect;
  uint8_t param_hi;
  uint8_t param_lo;
  uint8_t param;  // always param_hi * 16 + param_lo
  uint8_t reserved[4];
};
static_assert(sizeof(PatternCell) == 16);

struct ChannelState {
  int32_t sample;
  int32_t last_sample;
  int32_t position;  // 18.14; negative = silent
  int32_t period;
  int32_t last_period;
  int32_t step;
  int32_t offset_memory;
  int32_t last_effect;
  int32_t cell_period;
  int32_t porta_speed;
  int32_t volume;
  int32_t saved_volume;
  int32_t mix_volume;
  int32_t volume_slide;
  int32_t pan;  // 0..255, weight of the first output
  int32_t finetune;
  int32_t flags;  // 1: skip pitch effects next tick, 2: tone portamento
  int32_t tone_porta_speed;
  int32_t porta_target;
  int32_t output_period;
  int32_t retrig_interval;
  int32_t cut_counter;     // -1 = inactive
  int32_t retrig_counter;  // -1 = inactive
  int32_t arpeggio;
  int32_t arp_base;
  int32_t vibrato_speed_memory;
  int32_t vibrato_depth;
  int32_t vibrato_speed;
  int32_t vibrato_position;
  int32_t tremolo_speed_memory;
  int32_t tremolo_depth;
  int32_t tremolo_speed;
  int32_t tremolo_position;
  int32_t vibrato_waveform;
  int32_t tremolo_waveform;
  int32_t glissando_funk;
  int32_t funk_accumulator;
  int32_t funk_position;
  int32_t pending_sample;
  int32_t loop_row;
  int32_t loop_count;
  int32_t loop_state;  // 0 none, 1 start row set, 2 looping
  int32_t enabled;     // 0 = muted by the user
};
static_assert(sizeof(ChannelState) == 43 * 4);

struct Player {
  Sample samples[kSampleCount];
  ChannelState channels[kChannels];
  int32_t order[kPositions];
  int32_t current_pattern;
  char song_name[20];
  PatternCell patterns[kPatterns][kRows][kChannels];
  int32_t flags;  // 4: the filter command is obeyed
  int32_t pattern_count;
  int32_t song_length;
  int32_t output_rate;
  int32_t master_volume;  // 256 = unity
  int32_t song_position;
  int32_t row;
  int32_t speed;
  int32_t tempo;
  int32_t tick_counter;
  float samples_per_tick;
  float tick_accumulator;
  int32_t shown_position;
  int32_t shown_row;
  int32_t pattern_delay;
  int32_t break_row;  // 0 = none
  int32_t filter_enabled;
  float filter_gain;
  float filter_coefficient;
  float filter_memory[8];
  int32_t play_mode;
  int32_t range_play;
  int32_t range_end;
  int32_t range_channel;  // the one channel range_play and range_end apply to
  // 1 + the channel a sample heard before loading plays on instead of the
  // song, 0 none: that channel goes on silently, so the song stays in time.
  int32_t preview_channel;
  // The signature of the file the module came from ("M.K.", "M!K!", "4CHN",
  // "FLT4"); zero for a new module.
  char signature[4];
  // The undo history the editing layer notes its changes in; not owned,
  // null for a player nobody edits.
  History* history;
};

// The volume a channel's sound is mixed at, 0..64.
inline int32_t heard_volume(const Player* player, const ChannelState& ch) {
  if (&ch - player->channels == player->preview_channel - 1) return 0;
  return ch.mix_volume < 0 ? 0 : ch.mix_volume > 64 ? 64 : ch.mix_volume;
}

// Allocates a zero-filled player in its initial state; never returns null.
Player* player_create(int32_t output_rate);
// Frees sample data and the player; null is ignored.
void player_destroy(Player* player);

// Puts a sample into its empty state (frees its data).
void sample_clear(Sample& sample);
// Sets the replay defaults a freshly loaded module starts from.
void player_reset_replay(Player* player, int32_t output_rate);
