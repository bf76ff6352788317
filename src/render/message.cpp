#include "render/message.h"

#include <cstdio>

void set_message(EditorState* state, const char* text) {
  std::snprintf(state->status.message, sizeof state->status.message, "%s", text);
}

void timed_message(EditorState* state, const char* text) {
  set_message(state, text);
  state->status.message_timer = 1;
  state->status.pointer_colour = kPointerRed;
}

void restart_message_timer(EditorState* state) {
  state->status.message_timer = 1;
  state->status.message_frames = 0;
  state->status.pointer_colour = kPointerRed;
}
