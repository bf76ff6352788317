#include "shell/script_input.h"

#include <cstdio>
#include <cstdlib>

#include "files/audio_out.h"
#include "files/png_image.h"
#include "platform/keymap.h"
#include "shell/editor_state.h"

namespace {

// A drag moves the pointer in this many steps, a frame each.
constexpr int32_t kDragSteps = 8;

// Frames a command runs; close and shot run none.
int32_t command_frames(const ScriptCommand& command) {
  switch (command.verb) {
    case kScriptKey:
    case kScriptHold:
      return command.frames + 1;  // down for its frames, then up for one
    case kScriptType:
      return 2 * static_cast<int32_t>(command.text.size());
    case kScriptClick:
      return 2;
    case kScriptDrag:
      return kDragSteps + 2;
    case kScriptDrop:
    case kScriptWheel:
    case kScriptClose:
      return 1;
    case kScriptWait:
      return command.frames;
    case kScriptShot:
    case kScriptSave:
    case kScriptAbort:
    case kScriptListen:
      return 0;
  }
  return 0;
}

void press_modifiers(PlatformInput& input, int32_t modifiers, bool pressed) {
  for (int32_t bit = 1; bit <= kScriptModRightShift; bit <<= 1)
    if (modifiers & bit) input_key_event(input, script_modifier_scancode(bit), pressed);
}

// Frame `step` of a key held for `frames` frames: pressed with its
// modifiers (and the character it types) before the first, released
// before the last.
void keystroke(PlatformInput& input, int32_t scancode, int32_t modifiers, int32_t frames,
               int32_t step, char text = 0) {
  if (step == 0) {
    press_modifiers(input, modifiers, true);
    input_key_event(input, scancode, true);
    if (text) {
      const char utf8[2] = {text, 0};
      input_text_event(input, utf8);
    }
  } else if (step == frames) {
    input_key_event(input, scancode, false);
    press_modifiers(input, modifiers, false);
  }
}

void move_pointer(PlatformInput& input, int32_t x, int32_t y) {
  input.mouse_x = x;
  input.mouse_y = y;
}

// The events that come before frame `step` of a command.
void command_events(const ScriptCommand& command, int32_t step, PlatformInput& input) {
  switch (command.verb) {
    case kScriptKey:
    case kScriptHold:
      keystroke(input, command.scancode, command.modifiers, command.frames, step);
      return;
    case kScriptType: {
      const char c = command.text[static_cast<size_t>(step / 2)];
      const ScriptCharKey key = script_char_key(c);
      keystroke(input, key.scancode, key.shift ? kScriptModShift : 0, 1, step % 2, c);
      return;
    }
    case kScriptClick: {
      const int32_t button = command.right ? 3 : 1;
      if (step == 0) move_pointer(input, command.x1, command.y1);
      input_button_event(input, button, step == 0);
      return;
    }
    case kScriptDrag:
      if (step == 0) {
        move_pointer(input, command.x1, command.y1);
        input_button_event(input, 1, true);
      } else if (step <= kDragSteps) {
        move_pointer(input, command.x1 + (command.x2 - command.x1) * step / kDragSteps,
                     command.y1 + (command.y2 - command.y1) * step / kDragSteps);
      } else {
        input_button_event(input, 1, false);
      }
      return;
    case kScriptDrop:
      std::snprintf(input.dropped_file, sizeof input.dropped_file, "%s", command.text.c_str());
      return;
    case kScriptWheel:
      move_pointer(input, command.x1, command.y1);
      input_wheel_event(input, command.x2);
      return;
    case kScriptClose:
      input.close_requested = 1;
      return;
    case kScriptWait:
    case kScriptShot:
    case kScriptSave:
    case kScriptAbort:
    case kScriptListen:
      return;
  }
}

ScriptInput& of(void* context) {
  return *static_cast<ScriptInput*>(context);
}

void heard(void* context, const int16_t* frames, int32_t count, int32_t rate) {
  ScriptInput& script = of(context);
  script.heard.insert(script.heard.end(), frames, frames + 2 * count);
  script.heard_rate = rate;
}

// Writes what was heard since the last listen as a 16-bit stereo file.
bool write_heard(ScriptInput& script, const char* path) {
  FileResult result = kFileOk;
  const auto frames = static_cast<int32_t>(script.heard.size() / 2);
  AudioWriter* writer = audio_writer_open(path, 2, script.heard_rate, frames, result);
  if (!writer) return false;
  if (!audio_writer_write(writer, script.heard.data(), frames)) {
    audio_writer_discard(writer);
    return false;
  }
  script.heard.clear();
  return audio_writer_finish(writer).ok;
}

// Runs the commands that take no frame up to the next one that does.
bool next_frame(void* context) {
  ScriptInput& script = of(context);
  while (script.step == script.steps) {
    if (script.next == script.commands->size()) return false;
    const ScriptCommand& command = (*script.commands)[script.next++];
    if (command.verb == kScriptAbort) std::_Exit(kScriptAbortStatus);  // no clean-up at all
    const bool written =
        command.verb == kScriptShot
            ? write_png_rgb(command.text.c_str(), script.framebuffer, kScreenWidth, kScreenHeight)
        : command.verb == kScriptSave   ? script.save(script.save_context, command.text.c_str())
        : command.verb == kScriptListen ? write_heard(script, command.text.c_str())
                                        : true;
    if (!written) {
      std::fprintf(stderr, "%s:%d: cannot write %s\n", script.file, command.line,
                   command.text.c_str());
      script.failed = true;
      return false;
    }
    script.current = &command;
    script.step = 0;
    script.steps = command_frames(command);
  }
  return true;
}

void poll(void* context, PlatformInput& input) {
  ScriptInput& script = of(context);
  command_events(*script.current, script.step++, input);
}

}  // namespace

void script_input_init(ScriptInput& script, const std::vector<ScriptCommand>& commands,
                       const char* file, const uint8_t* framebuffer,
                       bool (*save)(void* context, const char* path), void* save_context) {
  script =
      ScriptInput{&commands, file, framebuffer, 0, nullptr, 0, 0, false, save, save_context, {}, 0};
}

HeadlessFeed script_feed(ScriptInput& script) {
  // The sound is kept only for a script that listens to it.
  bool listens = false;
  for (const ScriptCommand& command : *script.commands)
    listens = listens || command.verb == kScriptListen;
  return HeadlessFeed{next_frame, poll, &script, listens ? heard : nullptr};
}
