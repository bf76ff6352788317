#include "shell/module_io.h"

#include <cstring>
#include <string>
#include <vector>

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
    const std::string library = program_path("ST");
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

int32_t save_module(Player* player, const char* path, EditorState* state, ModuleKind kind) {
  Player* copy = copy_player(*player);
  if (!copy) {
    timed_message(state->status, "OUT OF MEMORY");
    return 0;
  }
  const std::vector<uint8_t> bytes = serialize_module(copy, kind);
  player_destroy(copy);
  const FileResult result = write_file_replacing(path, bytes, state->settings.backups);
  if (!result.ok) {
    set_message(state->status, result.message);
    return 0;
  }
  history_mark_saved(state->history);
  return 1;
}
