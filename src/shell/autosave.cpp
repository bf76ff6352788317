#include "shell/autosave.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "diskop/directory.h"
#include "edit/requesters.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "files/module_format.h"
#include "shell/module_io.h"

namespace {

std::string state_directory() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
    return std::string(state) + "/tetrad";
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::string(home) + "/.local/state/tetrad";
  return {};
}

}  // namespace

std::string autosave_path() {
  const std::string directory = state_directory();
  return directory.empty() ? directory : directory + "/autosave.mod";
}

namespace {

void write_autosave(EditorState& state) {
  const std::string path = autosave_path();
  if (path.empty() || !make_directories(state_directory().c_str())) return;
  Player* copy = copy_player(*state.player);
  if (!copy) return;
  const std::vector<uint8_t> bytes = serialize_module(copy, kKindModule);
  player_destroy(copy);
  write_file_replacing(path.c_str(), bytes);
}

}  // namespace

void autosave_now(EditorState& state) {
  if (state.autosave.enabled && module_modified(*state.player)) write_autosave(state);
}

void autosave_tick(EditorState& state, int64_t now_us) {
  const int64_t period = int64_t{state.settings.autosave_seconds} * 1000000;
  if (!state.autosave.enabled || period <= 0 || !module_modified(*state.player)) {
    state.autosave.due_us = 0;
    return;
  }
  if (state.autosave.due_us == 0) {
    state.autosave.due_us = now_us + period;
    return;
  }
  if (now_us < state.autosave.due_us) return;
  state.autosave.due_us = now_us + period;
  write_autosave(state);
}

void offer_autosave(EditorState& state) {
  const std::string path = autosave_path();
  if (!state.autosave.enabled || path.empty() || !path_exists(path.c_str())) return;
  // The 16 characters of the message line leave no room for a "?".
  ask_question(state.status, Question::kRestoreAutosave, "RESTORE AUTOSAVE");
}

void restore_autosave(EditorState& state) {
  const std::string path = autosave_path();
  if (!load_module(path.c_str(), &state).ok) return;
  // The user saves it where they want: until then it is unsaved work.
  history_forget_save(state.history);
}

void set_autosave_aside() {
  const std::string path = autosave_path();
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::error_code error;
  std::filesystem::rename(path, state_directory() + "/autosave-" + stamp + ".mod", error);
}

void remove_autosave(const EditorState& state) {
  if (state.autosave.keep) return;
  const std::string path = autosave_path();
  std::error_code error;
  if (!path.empty()) std::filesystem::remove(path, error);
}
