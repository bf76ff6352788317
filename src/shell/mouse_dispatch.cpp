#include "shell/mouse_dispatch.h"

// PLACEHOLDER until the main-screen dispatcher lands.
void mouse_dispatch(EditorState*) {}
