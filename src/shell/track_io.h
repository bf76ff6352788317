// Loading and saving tracks and patterns on behalf of the disk op. The
// track is the cursor channel of the current pattern, or the track
// clipboard while track_buffer is set; the pattern is the current pattern,
// or the pattern clipboard while option_pattern is set. A save returns 1
// on success, a load the file's result; a failure leaves its reason in the
// message line and changes nothing (a failed write keeps the old file).
#pragma once

#include <cstdint>

#include "files/module_format.h"
#include "shell/editor_state.h"

int32_t save_track(const char* path, EditorState* state);
FileResult load_track(const char* path, EditorState* state);
int32_t save_pattern(const char* path, EditorState* state);
FileResult load_pattern(const char* path, EditorState* state);
