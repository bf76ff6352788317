// Files dropped onto the window.
#pragma once

#include "files/module_format.h"
#include "shell/editor_state.h"

// A dropped file loads as a module; a file that is not a module loads as a
// sample into the current slot. The result of the last load tried; a
// failure leaves its reason in the message line (shown in red).
FileResult load_dropped_file(const char* path, EditorState* state);
