#include "shell/preview.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "engine/audio_lock.h"
#include "engine/periods.h"
#include "engine/replayer.h"
#include "render/message.h"
#include "shell/sample_io.h"
#include "shell/screens.h"

namespace {

// Hands the sound another voice, on channel `channel` (-1 none) instead of
// the song, freeing the one it had after the lock.
void swap_voice(EditorState& state, PreviewVoice voice, int32_t channel) {
  {
    AudioGuard guard;
    std::swap(state.preview.voice, voice);
    state.player->preview_channel = channel + 1;
  }
  std::free(voice.sample.data);
}

}  // namespace

FileResult preview_sample_file(EditorState& state, const char* path, ScreenId owner) {
  Sample sample{};
  bool cut = false;
  const FileResult result = decode_sample_file(path, state.settings.import_rate, sample, cut);
  if (!result.ok) {
    stop_preview(state);
    timed_message(state.status, result.message);
    return result;
  }
  const int32_t channel = std::clamp(state.selection.cursor_channel, 0, kChannels - 1);
  const int32_t step = period_step(state.player, period_from_c3(0));
  swap_voice(state, PreviewVoice{sample, 0, step, state.player->channels[channel].pan}, channel);
  state.preview.owner = static_cast<int32_t>(owner) + 1;
  state.preview.transport = state.selection.transport;
  timed_message(state.status, "PREVIEW");
  return result;
}

void stop_preview(EditorState& state) {
  if (state.preview.owner == 0) return;
  swap_voice(state, PreviewVoice{Sample{}, -1, 0, 0}, -1);
  state.preview.owner = 0;
}

void follow_preview(EditorState& state) {
  if (state.preview.owner == 0) return;
  const auto owner = static_cast<ScreenId>(state.preview.owner - 1);
  if (!screen_is_open(state, owner) || state.selection.transport != state.preview.transport)
    stop_preview(state);
}
