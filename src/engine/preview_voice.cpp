#include "engine/preview_voice.h"

#include <algorithm>
#include <cstring>

#include "engine/mixer.h"

void add_preview(PreviewVoice& voice, int32_t separation, int16_t* first, int16_t* second,
                 int32_t frames) {
  if (!voice.sample.data || voice.position < 0) return;
  const SampleView view = sample_view(voice.sample);
  const int32_t pan = std::clamp(voice.pan, 0, 255);
  const int32_t s = std::clamp(separation, 0, 100);
  // A full-volume channel's weights, then the separation the song's mix
  // gets, applied to the weights rather than to the sum.
  const int32_t own1 = 64 * pan;
  const int32_t own2 = 64 * (255 - pan);
  const int32_t w1 = (own1 * (100 + s) + own2 * (100 - s)) / 200;
  const int32_t w2 = (own2 * (100 + s) + own1 * (100 - s)) / 200;
  int32_t mix1[kMixSpan];
  int32_t mix2[kMixSpan];
  for (int32_t done = 0; done < frames && voice.position >= 0;) {
    const int32_t n = std::min(frames - done, kMixSpan);
    std::memset(mix1, 0, sizeof(int32_t) * n);
    std::memset(mix2, 0, sizeof(int32_t) * n);
    for (int32_t i = 0; i < n && voice.position >= 0;)
      i += play_voice(view, voice.position, voice.step, n - i, mix1 + i, mix2 + i, w1, w2).frames;
    for (int32_t i = 0; i < n; ++i) {
      first[done + i] = saturate16(first[done + i] + (mix1[i] >> 7));
      second[done + i] = saturate16(second[done + i] + (mix2[i] >> 7));
    }
    done += n;
  }
}
