// The output models after the replayer: the exact mixer of mixer.h, and
// models of the Amiga 500 and 1200. The machine models rebuild what the
// hardware puts out, each channel's bytes held until the next one (a
// staircase), band-limited so that it does not alias at the output rate,
// then pass it through that machine's analogue filters. Every model shares
// the replayer and its song timing; stereo separation and the output rate
// apply to all of them.
#pragma once

#include <cstdint>

#include "engine/mixer.h"
#include "engine/player.h"

enum class OutputModel : int32_t { kExact, kA500, kA1200 };
constexpr int32_t kOutputModelCount = 3;
enum class MachineClock : int32_t { kPal, kNtsc };

struct MixSettings {
  OutputModel model;
  int32_t separation;  // 0..100 %: 100 keeps the channels' pans, 0 is mono
  int32_t rate;        // one of kOutputRates
  MachineClock clock;  // the machine models' chip clock
};
// Today's output: the exact mixer at 44100 Hz with full separation.
constexpr MixSettings kExactMix{OutputModel::kExact, 100, 44100, MachineClock::kPal};
constexpr int32_t kOutputRates[] = {44100, 48000, 96000};

// "exact", "a500", "a1200"; the next model in that order, wrapping.
const char* output_model_name(OutputModel model);
OutputModel next_output_model(OutputModel model);
// Chip clocks in Hz: 3546895 (PAL), 3579545 (NTSC).
double machine_clock_hz(MachineClock clock);

// The period a step of the replayer stands for at the player's output
// rate: the whole period whose step it is, else the nearest real one.
double step_period(const Player* player, int32_t step);

// Taps of a band-limited step on each side of it; the machine models' output
// lags the staircase by this many frames.
constexpr int32_t kBlepHalf = 12;
constexpr int32_t kBlepPhases = 512;  // sub-frame times a step can land at
constexpr int32_t kVoiceFrames = kMixSpan + 2 * kBlepHalf + 1;

// A unit step through the machine's fixed RC low-pass, band-limited below the
// output's Nyquist frequency: its values over the taps around the step, then
// the RC's exponential approach to 1, for each sub-frame time.
struct BandLimitedStep {
  // rows[i][k]: the value k frames after the first frame that follows the
  // step, when that frame lies i / kBlepPhases frames after it.
  float rows[kBlepPhases + 1][2 * kBlepHalf];
  // How far below 1 the step still is on the frame after the taps; it then
  // shrinks by `pole` a frame.
  float tail[kBlepPhases + 1];
  double pole;
};

// One channel of a machine model: the level its staircase holds and the
// steps not yet heard, from the first frame of the next span on.
struct MachineVoice {
  int32_t level;                // byte x volume held now
  int32_t used;                 // frames of the buffers that hold something
  int32_t step;                 // the replayer's step the increment was found for
  double increment;             // bytes per output frame
  float ripple[kVoiceFrames];   // band-limited part of the steps
  int32_t steps[kVoiceFrames];  // whole steps, where their ripple has passed
  float owed[kVoiceFrames];     // the RC's approach, where it starts
};

// State of one side's filters.
struct SideFilter {
  int64_t level;  // the sum of the steps heard, each byte x volume x pan
  double decay;   // the RC's approach to them still owed
  double high_in, high_out;
  double led_in, led_out1, led_out2;
  bool led_on;
};

struct OutputFilters {
  double high_gain, high_pole;            // one-pole high-pass
  double led_b0, led_b1, led_a1, led_a2;  // two-pole low-pass, switched by filter_enabled
};

struct OutputMixer {
  MixSettings settings;
  BandLimitedStep step;  // the machine model's, built by output_mixer_init
  OutputFilters filters;
  double clock;
  MachineVoice voices[kChannels];
  // Filters of the two sides of the running sums over channels 0..c behind
  // the stems; the last pair is the mix's.
  SideFilter sides[kChannels][2];
  StemFilters exact_stems;
};

// Sets up a mixer for `settings` with every voice and filter at rest,
// building the machine model's step table (not for the audio callback). The
// player's output rate must be settings.rate (set_output_rate).
void output_mixer_init(OutputMixer& mixer, const MixSettings& settings);
// Renders `frames` frames of 16-bit stereo: the right side (the mixer's first
// output) to `right`, the left to `left`, `stride` samples apart. The exact
// model at full separation gives exactly what render_audio gives.
void output_mix(Player* player, OutputMixer& mixer, int16_t* right, int16_t* left, int32_t stride,
                int32_t frames);
// The same, interleaved left then right into `mix`, with one stem per
// channel (every buffer given). The stems add up to the mix sample for
// sample; each is its channel alone to within a step of rounding.
void output_mix_stems(Player* player, OutputMixer& mixer, int16_t* mix,
                      int16_t* const stems[kChannels], int32_t frames);
