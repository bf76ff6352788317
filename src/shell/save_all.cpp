#include "shell/save_all.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "diskop/directory.h"
#include "edit/requesters.h"
#include "engine/editing.h"
#include "render/message.h"
#include "shell/sample_io.h"

namespace {

// Where sample `number` is saved; empty when the path would be too long.
std::string sample_path(const EditorState& state, int32_t number) {
  char path[kPathSize];
  std::snprintf(path, sizeof path, "%s", state.disk_op.sample_dir);
  const std::string name = save_file_name(*state.player, number, kDiskSample);
  return join_path(path, name.c_str(), sizeof path) ? std::string(path) : std::string();
}

bool save_one(EditorState& state, int32_t number) {
  const std::string path = sample_path(state, number);
  if (path.empty()) return false;
  if (!save_sample(path.c_str(), &state, number, state.settings.sample_iff)) return false;
  ++state.save_all.saved;
  return true;
}

}  // namespace

void save_samples_from(EditorState& state, int32_t from) {
  if (from <= 1) state.save_all.saved = 0;
  make_directories(state.disk_op.sample_dir);
  for (int32_t number = std::max(from, 1); number < kSampleCount; ++number) {
    if (sample_bytes(state.player->samples[number]) == 0) continue;
    const std::string path = sample_path(state, number);
    if (!path.empty() && path_exists(path.c_str())) {
      state.save_all.asking = number;
      ask_question(state.status, Question::kReplaceSampleFile, "REPLACE SAMPLE?");
      return;
    }
    // A failed write names its reason and ends the series there.
    if (!save_one(state, number)) return restart_message_timer(state.status);
  }
  char text[32];
  std::snprintf(text, sizeof text, "%d SAMPLES SAVED", state.save_all.saved);
  set_message(state.status, text);
  state.status.message_timer = 1;
}

void answer_sample_file(EditorState& state, bool replace) {
  const int32_t number = state.save_all.asking;
  if (replace && !save_one(state, number)) return restart_message_timer(state.status);
  save_samples_from(state, number + 1);
}
