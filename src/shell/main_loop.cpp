#include "shell/main_loop.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <string>

#include "engine/audio_lock.h"
#include "engine/history.h"
#include "render/message.h"
#include "shell/audio_refill.h"
#include "shell/autosave.h"
#include "shell/frame.h"
#include "shell/midi_events.h"
#include "shell/settings_follow.h"

namespace {

// "*" while the module has changes not saved, the program, the song name.
std::string window_title(const EditorState& state) {
  const Player& player = *state.player;
  std::string title = history_modified(state.history, player) ? "*Tetrad" : "Tetrad";
  const size_t length = strnlen(player.song_name, sizeof player.song_name);
  if (length > 0) title += " - " + std::string(player.song_name, length);
  return title;
}

void push_to_ring(void* ring, const int16_t* mono, int32_t frames) {
  capture_ring_write(*static_cast<CaptureRing*>(ring), mono, frames);
}

int32_t open_input(void* platform, CaptureRing& ring) {
  const auto& ops = *static_cast<const PlatformOps*>(platform);
  return ops.capture_open ? ops.capture_open(ops.context, CaptureSink{push_to_ring, &ring}) : 0;
}

void close_input(void* platform) {
  const auto& ops = *static_cast<const PlatformOps*>(platform);
  if (ops.capture_close) ops.capture_close(ops.context);
}

}  // namespace

void run_main_loop(const PlatformOps& platform, EditorState* state,
                   void (*dispatch)(EditorState*)) {
  void* const context = platform.context;
  // The refill's buffers exist before the sound can start, and outlive it.
  // On the heap: they are large for a stack.
  const auto refill = std::make_unique<AudioRefill>();
  refill->state = state;
  audio_refill_restart(*refill, state->settings);
  AudioSource source{audio_refill_fill, refill.get(), mix_settings(state->settings).rate,
                     state->settings.audio_buffer};
  audio_lock_install(AudioLockHooks{platform.lock, platform.unlock, context});
  platform.audio_open(context, source);
  // Sampling opens the input only when asked.
  PlatformOps input_ops = platform;
  state->capture = CaptureServices{&input_ops, open_input, close_input};

  PlatformInput input{};
  // The pointer starts right of the picture, where it is not drawn, until
  // the back-end reports where it is.
  input.mouse_x = kScreenWidth;
  int64_t start_time = platform.clock_us(context);
  std::string title;  // what the window is called: set on the first frame
  // The window was opened as the settings (or the flags) said.
  Settings applied = state->settings;
  for (;;) {
    const PlatformTurn turn = platform.wait(context);
    if (turn == kTurnEnd) break;
    update_play_clock(state, platform.clock_us(context), &start_time);
    // The stereo key acts once per press.
    if (input.raw_key == kRawStereoKey) input.raw_key = 0;
    platform.poll(context, input);
    // Every pass, not every frame: a note waits at most one poll.
    take_midi_events(state, platform.clock_us(context));
    const bool shifted = (input.raw_qualifier & (kQualLeftShift | kQualRightShift)) != 0;
    Settings& settings = state->settings;
    if (input.raw_key == kRawStereoKey && shifted) {
      // Shift+F12: the next output model, heard from the next block on.
      const OutputModel model = next_output_model(mix_settings(settings).model);
      settings.audio_model = static_cast<int32_t>(model);
      std::string message = "MODEL ";
      for (const char* c = output_model_name(model); *c; ++c)
        message += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
      timed_message(state->status, message.c_str());
    } else if (input.raw_key == kRawStereoKey) {
      settings.audio_mono = !settings.audio_mono;
      timed_message(state->status, settings.audio_mono ? "MONO" : "STEREO");
    }
    // The sound follows the settings, whoever changed them. A new rate,
    // panning or buffer restarts it; the refill's buffers stay, and no fill
    // runs while the sound is closed.
    if (audio_refill_follow(*refill, settings) || source.frames != settings.audio_buffer) {
      platform.audio_close(context);
      audio_refill_restart(*refill, settings);
      source.rate = mix_settings(settings).rate;
      source.frames = settings.audio_buffer;
      platform.audio_open(context, source);
    }
    follow_settings(*state, applied, platform);
    if (turn == kTurnFrame) {
      run_frame(input, state, dispatch);
      autosave_tick(*state, platform.clock_us(context));
      platform.present(context, state->canvas.pixels,
                       state->status.dialog == kDialogTextField ||
                           state->status.dialog == kDialogNumberField ||
                           state->status.dialog == kDialogLineEntry);
      std::string now = window_title(*state);
      if (platform.set_title && now != title) {
        platform.set_title(context, now.c_str());
        title = std::move(now);
      }
    }
    if (input.quit_requested) break;
    if (input.terminated) {
      // SIGTERM or SIGHUP: no question, but nothing unsaved is lost.
      autosave_now(*state);
      state->autosave.keep = true;
      break;
    }
  }

  sampling_end(state->sampling, state->capture);
  state->capture = CaptureServices{};
  platform.audio_close(context);
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
}
