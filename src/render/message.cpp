#include "render/message.h"

#include <cstdio>

void set_message(EditorState* state, const char* text) {
  std::snprintf(state->message, sizeof state->message, "%s", text);
}

void timed_message(EditorState* state, const char* text) {
  set_message(state, text);
  state->message_timer = 1;
  state->pointer_colour = kPointerRed;
}

void restart_message_timer(EditorState* state) {
  state->message_timer = 1;
  state->message_frames = 0;
  state->pointer_colour = kPointerRed;
}
