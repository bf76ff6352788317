#include <cstdio>

#include "engine/audio_lock.h"
#include "platform/sdl_platform.h"
#include "shell/audio_refill.h"
#include "shell/cli.h"
#include "shell/frame.h"
#include "shell/options.h"
#include "shell/session.h"

namespace {

constexpr uint32_t kPollUs = 5000;
constexpr uint64_t kFrameUs = 16666;

const char kUsage[] =
    "usage: tetrad [--scale N] [--fullscreen] [--play] [MODULE]\n"
    "       tetrad --screenshot OUT.png [--frames N] [--play] [MODULE]\n"
    "       tetrad --script FILE [--play] [MODULE]\n"
    "       tetrad --help\n";

// Polls every 5 ms and runs a frame when more than a 60th of a second has
// passed, until the window is closed or quitting is confirmed.
void run_loop(SdlPlatform* platform, EditorState* state, AudioRefill& refill) {
  const AudioSource source{audio_refill_fill, &refill};
  PlatformInput input{};
  int64_t start_time = static_cast<int64_t>(sdl_clock_us());
  uint64_t last_frame = 0;
  for (;;) {
    const uint64_t now = sdl_clock_us();
    update_play_clock(state, static_cast<int64_t>(now), &start_time);
    sdl_read_pointer(platform, input);
    // The stereo key acts once per press.
    if (input.raw_key == kRawStereoKey) input.raw_key = 0;
    sdl_poll_events(platform, input);
    if (input.raw_key == kRawStereoKey) {
      // Restart the stream with the other panning; the refill's buffers
      // stay, and no fill runs while the stream is closed.
      sdl_audio_close(platform);
      refill.mono ^= 1;
      sdl_audio_open(platform, source);
    }
    if (now - last_frame > kFrameUs) {
      last_frame = now;
      run_frame(input, state);
      sdl_set_text_input(platform, state->status.dialog == kDialogTextField);
      sdl_present(platform, state->canvas.pixels);
    }
    sdl_sleep_us(kPollUs);
    if (input.quit_requested) break;
  }
}

int run_interactive(const LiveOptions& options) {
  EditorState* state = session_create(options);
  if (!state) return 1;
  SdlPlatform* platform = sdl_platform_create(WindowOptions{options.scale, options.fullscreen});
  if (!platform) {
    session_destroy(state);
    return 1;
  }
  // The refill's buffers exist before the stream can start, and outlive it.
  auto* refill = new AudioRefill;
  audio_refill_init(*refill, state);
  audio_lock_install(AudioLockHooks{sdl_audio_lock, sdl_audio_unlock, platform});
  sdl_audio_open(platform, AudioSource{audio_refill_fill, refill});

  run_loop(platform, state, *refill);

  sdl_audio_close(platform);
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  sdl_platform_destroy(platform);
  delete refill;
  session_destroy(state);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = cli_run(argc, argv);
  if (status >= 0) return status;
  LiveOptions options;
  if (const char* error = parse_live_options(argc, argv, options)) {
    std::fprintf(stderr, "tetrad: %s\n%s", error, kUsage);
    return 2;
  }
  if (options.screenshot) return run_screenshot(options);
  if (options.script) return run_script(options);
  return run_interactive(options);
}
