#include "render/message.h"

#include <cstdio>

void set_message(Status& status, const char* text) {
  std::snprintf(status.message, sizeof status.message, "%s", text);
}

void timed_message(Status& status, const char* text) {
  set_message(status, text);
  status.message_timer = 1;
  status.pointer_colour = kPointerRed;
}

void restart_message_timer(Status& status) {
  status.message_timer = 1;
  status.message_frames = 0;
  status.pointer_colour = kPointerRed;
}
