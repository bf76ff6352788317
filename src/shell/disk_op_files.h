// The shell's side of the disk op: the loaders, writers and requester the
// screen calls, and files dropped onto the window.
#pragma once

#include "diskop/disk_op.h"
#include "render/editor_state.h"

const DiskOpServices& disk_op_services();
// A dropped file loads as a module; a file that is not a module loads as a
// sample into the current slot. 1 when either worked; otherwise 0 with the
// reason in the message line (shown in red).
int32_t load_dropped_file(const char* path, EditorState* state);
