#include "shell/session.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "diskop/disk_op.h"
#include "engine/audio_lock.h"
#include "engine/player.h"
#include "files/png_image.h"
#include "platform/headless.h"
#include "platform/keymap.h"
#include "shell/audio_refill.h"
#include "shell/editor_state.h"
#include "shell/frame.h"
#include "shell/module_io.h"
#include "shell/script.h"

EditorState* session_create(const LiveOptions& options) {
  EditorState* state = editor_state_create();
  if (!state) return nullptr;
  state->player = player_create(kAudioRate);
  // The output filter starts switched off.
  state->player->filter_enabled = 0;
  if (options.module && !load_module(options.module, state)) {
    std::fprintf(stderr, "tetrad: %s: %s\n", options.module, state->status.message);
    session_destroy(state);
    return nullptr;
  }
  // The disk op opens where the module came from.
  if (options.module) set_default_directories(state, options.module);
  if (options.play) start_song_play(state);
  return state;
}

void session_destroy(EditorState* state) {
  if (!state) return;
  player_destroy(state->player);
  editor_state_destroy(state);
}

int run_screenshot(const LiveOptions& options) {
  EditorState* state = session_create(options);
  if (!state) return 1;
  // Heap objects: the refill's buffers are large for a stack.
  auto* refill = new AudioRefill;
  audio_refill_init(*refill, state);
  auto* platform = new HeadlessPlatform;
  headless_init(*platform, AudioSource{audio_refill_fill, refill});
  audio_lock_install(AudioLockHooks{headless_lock, headless_unlock, platform});

  // The pointer is parked right of the picture, where it is not drawn.
  PlatformInput input{};
  input.mouse_x = kScreenWidth;
  int64_t start_time = 0;
  for (int32_t frame = 0; frame < options.frames && !input.quit_requested; ++frame) {
    headless_advance_frame(*platform);
    update_play_clock(state, headless_clock_us(*platform), &start_time);
    run_frame(input, state);
  }
  const int32_t written =
      write_png_rgb(options.screenshot, state->canvas.pixels, kScreenWidth, kScreenHeight);
  if (!written) std::fprintf(stderr, "tetrad: %s: cannot write the PNG file\n", options.screenshot);

  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  delete platform;
  delete refill;
  session_destroy(state);
  return written ? 0 : 1;
}

namespace {

// A scripted run: the headless back-end with the script's events as input.
struct ScriptRun {
  EditorState* state;
  HeadlessPlatform* platform;
  PlatformInput input;
  int64_t start_time;
};

bool running(const ScriptRun& run) {
  return !run.input.quit_requested;
}

void run_frames(ScriptRun& run, int32_t frames) {
  for (int32_t i = 0; i < frames && running(run); ++i) {
    headless_advance_frame(*run.platform);
    update_play_clock(run.state, headless_clock_us(*run.platform), &run.start_time);
    run_frame(run.input, run.state);
  }
}

void press_modifiers(PlatformInput& input, int32_t modifiers, bool pressed) {
  for (int32_t bit = 1; bit <= kScriptModRightShift; bit <<= 1)
    if (modifiers & bit) input_key_event(input, script_modifier_scancode(bit), pressed);
}

// Down for `frames` frames, then up for one.
void press_key(ScriptRun& run, int32_t scancode, int32_t modifiers, int32_t frames, char text = 0) {
  press_modifiers(run.input, modifiers, true);
  input_key_event(run.input, scancode, true);
  if (text) {
    const char utf8[2] = {text, 0};
    input_text_event(run.input, utf8);
  }
  run_frames(run, frames);
  input_key_event(run.input, scancode, false);
  press_modifiers(run.input, modifiers, false);
  run_frames(run, 1);
}

void move_pointer(PlatformInput& input, int32_t x, int32_t y) {
  input.mouse_x = x;
  input.mouse_y = y;
}

// Runs one command; false when it failed in a way that ends the script.
bool run_command(ScriptRun& run, const ScriptCommand& command, const char* file) {
  PlatformInput& input = run.input;
  switch (command.verb) {
    case kScriptKey:
    case kScriptHold:
      press_key(run, command.scancode, command.modifiers, command.frames);
      return true;
    case kScriptType:
      for (const char c : command.text) {
        const ScriptCharKey key = script_char_key(c);
        press_key(run, key.scancode, key.shift ? kScriptModShift : 0, 1, c);
      }
      return true;
    case kScriptClick: {
      const int32_t button = command.right ? 3 : 1;
      move_pointer(input, command.x1, command.y1);
      input_button_event(input, button, true);
      run_frames(run, 1);
      input_button_event(input, button, false);
      run_frames(run, 1);
      return true;
    }
    case kScriptDrag: {
      constexpr int32_t kSteps = 8;
      move_pointer(input, command.x1, command.y1);
      input_button_event(input, 1, true);
      run_frames(run, 1);
      for (int32_t i = 1; i <= kSteps; ++i) {
        move_pointer(input, command.x1 + (command.x2 - command.x1) * i / kSteps,
                     command.y1 + (command.y2 - command.y1) * i / kSteps);
        run_frames(run, 1);
      }
      input_button_event(input, 1, false);
      run_frames(run, 1);
      return true;
    }
    case kScriptDrop:
      std::snprintf(input.dropped_file, sizeof input.dropped_file, "%s", command.text.c_str());
      run_frames(run, 1);
      return true;
    case kScriptClose:
      input.quit_requested = 1;
      return true;
    case kScriptWait:
      run_frames(run, command.frames);
      return true;
    case kScriptShot:
      if (write_png_rgb(command.text.c_str(), run.state->canvas.pixels, kScreenWidth,
                        kScreenHeight))
        return true;
      std::fprintf(stderr, "%s:%d: cannot write %s\n", file, command.line, command.text.c_str());
      return false;
  }
  return true;
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
  EditorState* state = session_create(options);
  if (!state) return 1;
  auto* refill = new AudioRefill;
  audio_refill_init(*refill, state);
  auto* platform = new HeadlessPlatform;
  headless_init(*platform, AudioSource{audio_refill_fill, refill});
  audio_lock_install(AudioLockHooks{headless_lock, headless_unlock, platform});

  ScriptRun run{state, platform, PlatformInput{}, 0};
  // The pointer starts right of the picture, where it is not drawn.
  run.input.mouse_x = kScreenWidth;
  int status = 0;
  for (const ScriptCommand& command : commands) {
    if (!running(run)) break;
    if (!run_command(run, command, options.script)) {
      status = 1;
      break;
    }
  }

  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  delete platform;
  delete refill;
  session_destroy(state);
  return status;
}
