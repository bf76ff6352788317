// Feeds the sound card from the mixer: one block of 1024 frames at a time,
// whatever size of buffer the card asks for. The block's first output is
// the right-hand sound, its second the left-hand one; as two sounds panned
// on the card, the right one sits at 15/16 right and leaks 1/16 into the
// left side. In mono both sounds are centred.
#pragma once

#include <cstdint>

#include "engine/machine_mix.h"
#include "settings/settings.h"
#include "shell/editor_state.h"

constexpr int32_t kRefillFrames = 1024;

struct AudioRefill {
  // The player is read through the editor state on every block, because a
  // load replaces it (under the audio lock).
  EditorState* state;
  int32_t mono;
  int32_t block_used;  // frames of the current block already delivered
  int64_t blocks_rendered;
  double tone_phase;  // the tuning tone's place in its cycle, 0..1
  // The output model the callback mixes with, and a spare that the next
  // one is built in before they change places under the audio lock.
  int32_t live;
  OutputMixer mixers[2];
  int16_t render_right[kRefillFrames];
  int16_t render_left[kRefillFrames];
};

void audio_refill_init(AudioRefill& refill, EditorState* state, const MixSettings& mix = kExactMix);
// The output the settings ask for.
MixSettings mix_settings(const Settings& settings);
// Follows the settings while the sound runs: a changed model, separation or
// clock is built aside and swapped in under the audio lock alone. True when
// the rate or the panning changed: the sound must be restarted
// (audio_refill_restart). Call it outside the audio lock.
bool audio_refill_follow(AudioRefill& refill, const Settings& settings);
// Starts over with the settings' mix and panning, and sets the player's
// output rate to match; call it while the sound is closed.
void audio_refill_restart(AudioRefill& refill, const Settings& settings);
// Adds the sample editor's tuning tone, when it is on, to the side its
// channel is panned to: a sine of one cycle every 32 bytes at its period,
// at the loudness of a full-volume sample.
void add_tuning_tone(AudioRefill& refill, int32_t frames);
// The AudioSource fill function; context = the AudioRefill. Runs with the
// audio lock held.
void audio_refill_fill(void* refill, int16_t* interleaved, int32_t frames);
// One stereo frame from the two rendered sounds, saturated to 16 bits.
void pan_frame(int32_t right_sound, int32_t left_sound, int32_t mono, int16_t* left_out,
               int16_t* right_out);
