// Hearing a sample file before loading it: the file is decoded as a load
// would decode it and played once at C-3 by a voice of the shell's own,
// on the cursor's channel instead of the song (which goes on there unheard,
// so it stays in time); the module never sees it. It ends with a new preview, with the screen that
// started it, or with the next play or stop command.
#pragma once

#include "files/module_format.h"
#include "render/screen.h"
#include "shell/editor_state.h"

// Starts hearing the file, replacing any preview. A file that cannot be
// decoded silences the old preview and leaves the reason a load would give
// in the message line.
FileResult preview_sample_file(EditorState& state, const char* path, ScreenId owner);
void stop_preview(EditorState& state);
// Once a frame: ends the preview when its screen has closed or the song was
// played or stopped.
void follow_preview(EditorState& state);
