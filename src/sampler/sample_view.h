// The sample editor's view of the current sample.
#pragma once

#include "render/editor_state.h"

// Shows the whole current sample with no marks; run whenever the current
// sample changes or is loaded.
void reset_sample_view(EditorState* state);
