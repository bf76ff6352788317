#include "shell/session.h"

#include <cstdio>

#include "diskop/disk_op.h"
#include "engine/audio_lock.h"
#include "engine/player.h"
#include "platform/headless.h"
#include "render/png_image.h"
#include "shell/audio_refill.h"
#include "shell/editor_state.h"
#include "shell/frame.h"
#include "shell/module_io.h"

EditorState* session_create(const LiveOptions& options) {
  EditorState* state = editor_state_create();
  if (!state) return nullptr;
  state->player = player_create(kAudioRate);
  // The output filter starts switched off.
  state->player->filter_enabled = 0;
  if (options.module && !load_module(options.module, state)) {
    std::fprintf(stderr, "tetrad: %s: %s\n", options.module, state->message);
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
      write_png_rgb(options.screenshot, state->framebuffer, kScreenWidth, kScreenHeight);
  if (!written) std::fprintf(stderr, "tetrad: %s: cannot write the PNG file\n", options.screenshot);

  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  delete platform;
  delete refill;
  session_destroy(state);
  return written ? 0 : 1;
}
