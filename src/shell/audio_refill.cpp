#include "shell/audio_refill.h"

#include <algorithm>
#include <cmath>

#include "engine/audio_lock.h"
#include "engine/mixer.h"
#include "engine/periods.h"
#include "engine/preview_voice.h"

void audio_refill_init(AudioRefill& refill, EditorState* state, const MixSettings& mix) {
  refill.state = state;
  refill.mono = 0;
  refill.tone_phase = 0;
  refill.block_used = kRefillFrames;  // nothing rendered yet
  refill.blocks_rendered = 0;
  refill.live = 0;
  output_mixer_init(refill.mixers[0], mix);
}

MixSettings mix_settings(const Settings& settings) {
  MixSettings mix = kExactMix;
  mix.model = static_cast<OutputModel>(std::clamp(settings.audio_model, 0, kOutputModelCount - 1));
  mix.separation = std::clamp(settings.audio_separation, 0, 100);
  for (const int32_t rate : kOutputRates)
    if (rate == settings.audio_rate) mix.rate = rate;
  mix.clock = settings.audio_clock == 1 ? MachineClock::kNtsc : MachineClock::kPal;
  return mix;
}

bool audio_refill_follow(AudioRefill& refill, const Settings& settings) {
  const MixSettings mix = mix_settings(settings);
  const MixSettings& live = refill.mixers[refill.live].settings;
  if (mix.rate != live.rate || refill.mono != int32_t{settings.audio_mono}) return true;
  if (mix.model == live.model && mix.separation == live.separation && mix.clock == live.clock)
    return false;
  const int32_t spare = 1 - refill.live;
  output_mixer_init(refill.mixers[spare], mix);
  AudioGuard guard;
  refill.live = spare;
  return false;
}

void audio_refill_restart(AudioRefill& refill, const Settings& settings) {
  const MixSettings mix = mix_settings(settings);
  audio_refill_init(refill, refill.state, mix);
  refill.mono = settings.audio_mono ? 1 : 0;
  set_output_rate(*refill.state->player, mix.rate);
}

void pan_frame(int32_t right_sound, int32_t left_sound, int32_t mono, int16_t* left_out,
               int16_t* right_out) {
  if (mono) {
    const int32_t centre = (right_sound + left_sound) / 2;
    *left_out = saturate16(centre);
    *right_out = saturate16(centre);
    return;
  }
  // Two full-scale sounds together exceed 16 bits on the left.
  *left_out = saturate16(left_sound + right_sound / 16);
  *right_out = saturate16(right_sound * 15 / 16);
}

void add_tuning_tone(AudioRefill& refill, int32_t frames) {
  const Selection& s = refill.state->selection;
  if (s.tone_channel < 1 || s.tone_channel > kChannels || s.tone_period <= 0) return;
  const Player& player = *refill.state->player;
  const double cycles_per_frame = period_rate(s.tone_period) / 32.0 / player.output_rate;
  const ChannelState& channel = player.channels[s.tone_channel - 1];
  int16_t* side = channel.pan >= 128 ? refill.render_right : refill.render_left;
  for (int32_t i = 0; i < frames; ++i) {
    side[i] = saturate16(side[i] + std::lround(8000 * std::sin(2 * M_PI * refill.tone_phase)));
    refill.tone_phase += cycles_per_frame;
    refill.tone_phase -= std::floor(refill.tone_phase);
  }
}

void audio_refill_fill(void* context, int16_t* interleaved, int32_t frames) {
  auto& refill = *static_cast<AudioRefill*>(context);
  while (frames > 0) {
    if (refill.block_used == kRefillFrames) {
      output_mix(refill.state->player, refill.mixers[refill.live], refill.render_right,
                 refill.render_left, 1, kRefillFrames);
      add_tuning_tone(refill, kRefillFrames);
      PreviewVoice& preview = refill.state->preview.voice;
      add_preview(preview, refill.mixers[refill.live].settings.separation, refill.render_right,
                  refill.render_left, kRefillFrames);
      // A preview that has ended gives its channel back to the song.
      if (preview.position < 0) refill.state->player->preview_channel = 0;
      refill.block_used = 0;
      ++refill.blocks_rendered;
    }
    const int32_t n = std::min(frames, kRefillFrames - refill.block_used);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t f = refill.block_used + i;
      pan_frame(refill.render_right[f], refill.render_left[f], refill.mono, &interleaved[0],
                &interleaved[1]);
      interleaved += 2;
    }
    refill.block_used += n;
    frames -= n;
  }
}
