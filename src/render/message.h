// The message line under the main panel.
#pragma once

#include "render/screen.h"

// Shows `text` (cut to the line's length) until something replaces it.
void set_message(Status& status, const char* text);
// Shows `text` with the pointer red until the message timer puts "ALL
// RIGHT" back.
void timed_message(Status& status, const char* text);
// Shows the text already in the line as a timed message, counted afresh.
void restart_message_timer(Status& status);
