// Start-up and shutdown of the objects the interactive program and the
// headless run share, and the headless run itself.
#pragma once

#include <cstdint>

#include "shell/editor_state.h"
#include "shell/options.h"

// What a module the options name and the loader refuses does to the start.
enum class RefusedModule : int32_t {
  kEnds,   // the run ends: null
  kShown,  // the program starts with an empty module and the reason shown
};

// The editor state with a fresh player, the module of the options loaded and
// playing if asked. Null, after a message on stderr, when an image cannot be
// read, or the module cannot be and `refused` is kEnds; with kShown a refused
// module is named on stderr and its reason stays on the message line.
EditorState* session_create(const LiveOptions& options, RefusedModule refused);
// Frees the player, then the editor state.
void session_destroy(EditorState* state);
// `--screenshot`: runs options.frames frames without window or sound card
// and writes the screen as a PNG. Returns the exit status.
int run_screenshot(const LiveOptions& options);
// `--script FILE`: runs the script's input events headless, as the window
// would feed them. Returns the exit status: 1 when the script cannot be
// read (nothing runs) or a picture cannot be written.
int run_script(const LiveOptions& options);
