// Loading and saving the editor's samples.
#pragma once

#include <cstdint>

#include "files/module_format.h"
#include "shell/editor_state.h"

// Reads and decodes a sample file as a load does (the import rate of the
// settings for WAV, AIFF, FLAC), into `loaded`, whose data the caller then
// owns; `cut` tells that the file held more than a sample keeps. On failure
// `loaded` is empty.
FileResult decode_sample_file(const char* path, int32_t import_rate, Sample& loaded, bool& cut);
// Loads a sample file into the current sample slot. A file that cannot be
// read or is empty changes nothing and leaves its reason in the message
// line. Slot 0 is never changed.
FileResult load_sample(EditorState* state, const char* path);
// Writes sample `number` as IFF 8SVX or raw; 1 when written, otherwise 0
// with the reason in the message line.
int32_t save_sample(const char* path, EditorState* state, int32_t number, bool iff);
// Loads the current slot from the sample library by a name such as
// "st-01:bass", keeping the slot's name; 1 when the library has the file.
int32_t load_st_sample(const char* name, EditorState* state);
