// The whole main screen, repainted every frame in painter's order: the
// background, the status numbers and names, the oscilloscopes, the pattern
// view and the panels that cover parts of it.
#pragma once

#include <cstdint>

#include "engine/player.h"
#include "render/editor_state.h"

// Bytes a module file of this player would take: the header, the patterns
// up to the highest one the order list names, and the sample data.
int32_t module_size(const Player* player);
// Numbers, names, channel-off marks, message line and oscilloscopes; also
// leaves this frame's channel peaks in state->main.channel_peaks.
void draw_status(EditorState* state);
void redraw_main_screen(EditorState* state);
