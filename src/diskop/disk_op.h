// The disk-op screen: the file browser through which modules, songs,
// samples, tracks and patterns are loaded and saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/module_format.h"
#include "render/editor_state.h"

// The five kinds of file; 0 means none.
enum DiskKind : int32_t {
  kDiskModule = 1,
  kDiskSong = 2,
  kDiskSample = 3,
  kDiskTrack = 4,
  kDiskPattern = 5,
};

// What the screen calls in the other subsystems, handed in by the shell.
// The loaders return the file's result, the writers 1 on success and
// otherwise 0; a failure leaves its reason in the message line and changes
// nothing.
struct DiskOpServices {
  FileResult (*load_module)(const char* path, EditorState* state, ModuleKind kind);
  int32_t (*save_module)(Player* player, const char* path, EditorState* state, ModuleKind kind);
  FileResult (*load_sample)(EditorState* state, const char* path);
  int32_t (*save_sample)(const char* path, EditorState* state, int32_t number, bool iff);
  FileResult (*load_track)(const char* path, EditorState* state);
  int32_t (*save_track)(const char* path, EditorState* state);
  FileResult (*load_pattern)(const char* path, EditorState* state);
  int32_t (*save_pattern)(const char* path, EditorState* state);
  void (*reset_sample_view)(EditorState* state);
  // The yes/no requester: 1 in the frame it is answered.
  int32_t (*confirm_requester)(EditorState* state);
};

// One frame of the screen: a save answered in the previous frame is
// written, then, while the screen is open, the list is read if needed, the
// panel drawn and the buttons served. Returns 1 while the screen is open.
// Once the screen has been closed from elsewhere (a key), its list and any
// pending question go, and the main screen gets the mouse back.
int32_t disk_op_frame(EditorState* state, const DiskOpServices& services);
// Closes the screen: main screen, list freed, a pending question dropped.
void close_disk_op(EditorState* state);
// Up to eight lines of the list from list_top.
void draw_file_list(EditorState* state);

// The kind a row of the current page loads and saves.
DiskKind disk_kind(int32_t page, int32_t row);
// Module and song kinds start in the directory of the module given at start
// (or the working directory); samples, tracks and patterns in the per-user
// data directory. The screen shows the module directory first.
void set_default_directories(EditorState* state, const char* module_path);

// A file name made from a name read from a file: at most `max` bytes up to
// the first NUL, trailing spaces cut, '/' and control characters replaced
// by '_', as is a leading '.', so the name never leaves the directory or
// hides. `fallback` stands for a name that is empty.
std::string safe_file_name(const char* raw, size_t max, const char* fallback);
// The name a save of the kind gets: mod.TITLE, TITLE, or the sample's name.
std::string save_file_name(const EditorState* state, DiskKind kind);
