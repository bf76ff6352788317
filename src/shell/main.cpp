#include <cstdio>
#include <string>

#include "platform/midi_alsa.h"
#include "platform/sdl_platform.h"
#include "shell/autosave.h"
#include "shell/cli.h"
#include "shell/main_loop.h"
#include "shell/options.h"
#include "shell/session.h"

namespace {

const char kUsage[] =
    "usage: tetrad [--scale N] [--fullscreen] [--play] [MODULE]\n"
    "       tetrad --screenshot OUT.png [--frames N] [--play] [MODULE]\n"
    "       tetrad --script FILE [--play] [MODULE]\n"
    "       tetrad --help\n";

// The input on `port`, the one open before closed first.
MidiSource reopen_midi(void* context, const std::string& port) {
  MidiInput*& midi = *static_cast<MidiInput**>(context);
  midi_input_close(midi);
  midi = midi_input_open(port);
  return midi ? midi_input_source(midi) : MidiSource{};
}

int run_interactive(const LiveOptions& options) {
  EditorState* state = session_create(options, RefusedModule::kShown);
  if (!state) return 1;
  // The flags win over the settings for this run.
  const Settings& settings = state->settings;
  SdlPlatform* platform =
      sdl_platform_create(WindowOptions{options.scale ? options.scale : settings.display_scale,
                                        options.fullscreen || settings.display_fullscreen});
  if (!platform) {
    session_destroy(state);
    return 1;
  }
  state->autosave.enabled = true;
  offer_autosave(*state);
  MidiInput* midi = nullptr;
  state->midi = reopen_midi(&midi, state->settings.midi_input);
  state->reopen_midi = reopen_midi;
  state->midi_context = &midi;
  run_main_loop(sdl_platform_ops(platform), state);
  state->midi = MidiSource{};
  midi_input_close(midi);
  remove_autosave(*state);  // a clean exit
  sdl_platform_destroy(platform);
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
