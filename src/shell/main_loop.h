// The program's one main loop, over whichever back-end runs it: the window,
// a headless screenshot or a scripted session.
#pragma once

#include "platform/platform.h"
#include "shell/editor_state.h"
#include "shell/mouse_dispatch.h"

// Installs the back-end's lock as the audio lock, starts the sound from a
// refill of the editor's player and turns until the back-end ends or the
// program quits (the window closed, or quitting confirmed). The sound is
// closed and the audio lock removed before it returns. `dispatch` is the
// frame's mouse turn with its repaint.
void run_main_loop(const PlatformOps& platform, EditorState* state,
                   void (*dispatch)(EditorState*) = mouse_dispatch);
