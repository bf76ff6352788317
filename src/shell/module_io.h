// Loading and saving modules and songs on behalf of the user interface:
// a load builds the new player first, then swaps it in under the audio lock.
#pragma once

#include <cstdint>
#include <string>

#include "files/module_format.h"
#include "shell/editor_state.h"

// Reads the file into a new player. A file that cannot be opened or is
// refused leaves the current module in place and its reason in the message
// line.
FileResult load_module(const char* path, EditorState* state, ModuleKind kind = kKindModule);
// 1 when the file was written completely; 0 otherwise (old file kept).
// With the disk op's PACK on a module leaves out the patterns it never
// plays; with its song switch on a song's samples go to the library first.
int32_t save_module(Player* player, const char* path, EditorState* state, ModuleKind kind);
// The sample library: the settings' folder, else ST beside the program.
std::string library_dir(const Settings& settings);
