#include "shell/module_io.h"

#include <cstring>
#include <string>
#include <vector>

#include "diskop/directory.h"
#include "engine/editing.h"
#include "files/sample_file.h"
#include "render/message.h"
#include "shell/program_dir.h"
#include "shell/screens.h"

FileResult load_module(const char* path, EditorState* state, ModuleKind kind) {
  std::vector<uint8_t> bytes;
  FileResult result = read_whole_file(path, kMaxModuleFileBytes, bytes);
  Player* fresh = nullptr;
  if (result.ok) {
    fresh = player_create(44100);
    const std::string library = library_dir(state->settings);
    const SampleFetch fetch{fetch_library_sample, const_cast<char*>(library.c_str())};
    result = parse_module(bytes.data(), bytes.size(), fresh, kind, &fetch);
  }
  if (!result.ok) {
    player_destroy(fresh);
    set_message(state->status, result.message);
    return result;
  }
  // A refused file changed nothing, playback included; a loaded one stops
  // the old song. The audio thread reads the player through the editor
  // state: the old one is freed once nothing can read it.
  stop_playback(*state->player);
  fresh->history = &state->history;
  set_output_rate(*fresh, state->player->output_rate);
  player_destroy(swap_player(state->player, fresh));
  history_clear(state->history);  // a loaded module starts unchanged
  state->selection.current_sample = 1;
  sample_changed(*state);
  if (result.missing_bytes > 0) timed_message(state->status, "FILE TRUNCATED");
  return result;
}

std::string library_dir(const Settings& settings) {
  return settings.library_dir.empty() ? program_path("ST") : settings.library_dir;
}

namespace {

// Each sample of the song with data that the library lacks goes there
// under its name, so that the song loads back complete. False when one
// could not be written.
bool write_song_samples(const Player& song, const EditorState& state) {
  const std::string library = library_dir(state.settings);
  bool written = true;
  for (int32_t n = 1; n < kSampleCount; ++n) {
    const Sample& sample = song.samples[n];
    const std::string path = library_sample_path(library, sample.name);
    if (sample_bytes(sample) == 0 || path.empty() || path_exists(path.c_str())) continue;
    const std::vector<uint8_t> bytes = serialize_sample(sample, state.settings.sample_iff);
    written = make_directories(directory_of(path.c_str()).c_str()) &&
              write_file_replacing(path.c_str(), bytes, false).ok && written;
  }
  return written;
}

}  // namespace

int32_t save_module(Player* player, const char* path, EditorState* state, ModuleKind kind) {
  Player* copy = copy_player(*player);
  if (!copy) {
    timed_message(state->status, "OUT OF MEMORY");
    return 0;
  }
  // PACK saves a module without the patterns it never plays; songs with
  // their switch on take their samples to the library.
  if (kind == kKindModule && state->disk_op.option_module) pack_patterns(*copy);
  const bool samples_written =
      kind != kKindSong || !state->disk_op.option_song || write_song_samples(*copy, *state);
  const std::vector<uint8_t> bytes = serialize_module(copy, kind);
  player_destroy(copy);
  if (!samples_written) {
    set_message(state->status, "CAN'T SAVE SMPLS");
    return 0;
  }
  const FileResult result = write_file_replacing(path, bytes, state->settings.backups);
  if (!result.ok) {
    set_message(state->status, result.message);
    return 0;
  }
  history_mark_saved(state->history);
  return 1;
}
