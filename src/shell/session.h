// Start-up and shutdown of the objects the interactive program and the
// headless run share, and the headless run itself.
#pragma once

#include <cstdint>

#include "shell/editor_state.h"
#include "shell/options.h"

// The editor state with a fresh player, the module of the options loaded and
// playing if asked. Null, after a message on stderr, when an image or the
// module cannot be read.
EditorState* session_create(const LiveOptions& options);
// Frees the player, then the editor state.
void session_destroy(EditorState* state);
// `--screenshot`: runs options.frames frames without window or sound card
// and writes the screen as a PNG. Returns the exit status.
int run_screenshot(const LiveOptions& options);
// `--script FILE`: runs the script's input events headless, as the window
// would feed them. Returns the exit status: 1 when the script cannot be
// read (nothing runs) or a picture cannot be written.
int run_script(const LiveOptions& options);
