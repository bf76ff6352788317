// The shell's side of the disk op: the loaders, writers and requester the
// screen calls, and files dropped onto the window.
#pragma once

#include "diskop/disk_op.h"
#include "files/module_format.h"
#include "render/editor_state.h"

const DiskOpServices& disk_op_services();
// A dropped file loads as a module; a file that is not a module loads as a
// sample into the current slot. The result of the last load tried; a
// failure leaves its reason in the message line (shown in red).
FileResult load_dropped_file(const char* path, EditorState* state);
