#include "shell/session.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "diskop/disk_op.h"
#include "engine/editing.h"
#include "engine/player.h"
#include "files/png_image.h"
#include "platform/headless.h"
#include "settings/settings.h"
#include "shell/audio_refill.h"
#include "shell/autosave.h"
#include "shell/editor_state.h"
#include "shell/frame.h"
#include "shell/main_loop.h"
#include "shell/module_io.h"
#include "shell/script.h"
#include "shell/script_input.h"
#include "shell/settings_follow.h"

EditorState* session_create(const LiveOptions& options, RefusedModule refused) {
  EditorState* state = editor_state_create();
  if (!state) return nullptr;
  state->settings = read_settings(settings_path());
  state->player = player_create(kAudioRate);
  state->player->history = &state->history;
  set_output_rate(*state->player, mix_settings(state->settings).rate);
  // The output filter starts switched off.
  set_filter_enabled(*state->player, false);
  bool loaded = true;
  if (options.module) {
    const FileResult result = load_module(options.module, state);
    if (!result) {
      std::fprintf(stderr, "tetrad: %s: %s\n", options.module, result.reason);
      if (refused == RefusedModule::kEnds) {
        session_destroy(state);
        return nullptr;
      }
      // A file opened from a file manager: the window shows why, over an
      // empty module, instead of vanishing.
      loaded = false;
    }
  }
  // The disk op opens where the module came from, or where the settings say.
  if (options.module) set_default_directories(state->disk_op, options.module);
  apply_start_directories(state->disk_op, state->settings, nullptr);
  if (options.play && loaded) start_song_play(state);
  return state;
}

void session_destroy(EditorState* state) {
  if (!state) return;
  player_destroy(state->player);
  editor_state_destroy(state);
}

int run_screenshot(const LiveOptions& options) {
  EditorState* state = session_create(options, RefusedModule::kEnds);
  if (!state) return 1;
  HeadlessPlatform platform;
  headless_init(platform, options.frames);
  run_main_loop(headless_ops(platform), state);
  const int32_t written =
      write_png_rgb(options.screenshot, state->canvas.pixels, kScreenWidth, kScreenHeight);
  if (!written) std::fprintf(stderr, "tetrad: %s: cannot write the PNG file\n", options.screenshot);
  session_destroy(state);
  return written ? 0 : 1;
}

namespace {

// A script's save: the module as it is, by the disk op's writer.
bool save_for_script(void* context, const char* path) {
  auto* state = static_cast<EditorState*>(context);
  return save_module(state->player, path, state, kKindModule) == 1;
}

}  // namespace

int run_script(const LiveOptions& options) {
  std::ifstream in(options.script, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "tetrad: %s: cannot read the script\n", options.script);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<ScriptCommand> commands;
  std::string error;
  if (!parse_script(text.str(), commands, error)) {
    std::fprintf(stderr, "%s:%s\n", options.script, error.c_str());
    return 1;
  }
  EditorState* state = session_create(options, RefusedModule::kShown);
  if (!state) return 1;
  state->autosave.enabled = true;
  offer_autosave(*state);
  ScriptInput script;
  script_input_init(script, commands, options.script, state->canvas.pixels, save_for_script, state);
  HeadlessPlatform platform;
  headless_init_fed(platform, script_feed(script));
  run_main_loop(headless_ops(platform), state);
  remove_autosave(*state);  // a clean end; an abort never gets here
  session_destroy(state);
  return script.failed ? 1 : 0;
}
