#include "edit/keyboard.h"

// PLACEHOLDER until the keyboard handler lands.
int32_t handle_key(int32_t, EditorState*) { return 0; }
