// What the keyboard handler, note entry, the requesters and the text
// fields work on in a frame, and what they ask of the program above them.
#pragma once

#include <cstdint>

#include "engine/edit_ops.h"
#include "layout/sampler_layout.h"
#include "render/screen.h"

struct KeyboardState;
struct TextFieldState;

// Handed in by the shell: the screens are opened, closed and scrolled
// through its table, and it knows who shows the current sample.
struct EditServices {
  void* context;
  bool (*screen_open)(void* context, ScreenId screen);
  void (*set_screen_open)(void* context, ScreenId screen, bool open);
  // The arrow keys scroll an open screen's list; false when none takes them.
  bool (*scroll_screen)(void* context, int32_t step);
  // The current sample changed, or a new one sits in its slot.
  void (*sample_changed)(void* context);
  // A sample editor button pressed by key (Alt+T, Alt+B, ...); with `all`,
  // on every sample that has data, as one step.
  void (*sample_process)(void* context, SamplerAction action, bool all);
  // Sampling (Alt+A, SAMPLE): monitor the input, record, stop; the sample
  // editor opens to show it.
  void (*sampling)(void* context);
};

struct EditContext : ScreenContext {
  KeyboardState& keys;
  EditBuffers& edit_buffers;
  TextFieldState& text_field;
  int32_t& restart_clock;  // the play clock starts again from 0
  EditServices services;
};
