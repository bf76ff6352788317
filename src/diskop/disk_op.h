// The disk-op screen: the file browser through which modules, songs,
// samples, tracks and patterns are loaded and saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "edit/line_entry.h"
#include "edit/list_jump.h"
#include "files/module_format.h"
#include "render/screen.h"

struct DirList;  // the program's directory list

// The disk-op screen. The list is the program's one directory list while
// the screen shows it, else null; the switches are 0/1; a save asked for
// keeps its target until answered.
struct DiskOpState {
  char module_dir[kPathSize];
  char song_dir[kPathSize];
  char sample_dir[kPathSize];
  char track_dir[kPathSize];
  char pattern_dir[kPathSize];
  char path[kPathSize];  // the directory the list shows
  DirList* list;
  int32_t volume_index;  // the place the volume button offers next
  int32_t list_valid;    // 0: read the path again on the next frame
  int32_t option_module;
  int32_t option_song;
  int32_t track_buffer;    // tracks go to and from the clipboard, not the pattern
  int32_t option_pattern;  // the same for patterns
  int32_t page;            // 0 first panel, otherwise the second
  int32_t show_all;        // 1: the list shows every file, not only the row's kind
  int32_t kind;            // row 0..2
  int32_t list_top;        // entry shown on the first list line
  int32_t list_count;      // entries in the list last read
  int32_t module_top;      // remembered list_top of each kind
  int32_t song_top;
  int32_t sample_top;
  int32_t track_top;
  int32_t pattern_top;
  int32_t save_kind;       // the kind a pending question would save, -1 none
  int32_t save_due;        // 1: answered yes, written on the next frame
  int32_t question_loads;  // 1: the question is whether to load save_target over unsaved work
  char save_target[kPathSize];
  // A line typed in the path field (dialog kDialogLineEntry): a folder
  // to go to, or the name a save of `entry_kind` takes.
  int32_t entry;  // 0 none, 1 the path, 2 a save name, 3 one taken
  int32_t entry_kind;
  LineEntry line;
  int32_t marked;       // 1 + the entry a key marked, 0 none
  int32_t open_marked;  // 1: Return asked for the marked entry, opened once the key is up
  ListJump jump;
};

// The five kinds of file; 0 means none.
enum DiskKind : int32_t {
  kDiskModule = 1,
  kDiskSong = 2,
  kDiskSample = 3,
  kDiskTrack = 4,
  kDiskPattern = 5,
};

// What the screen calls in the other subsystems, handed in by the shell
// with its context. The loaders and writers change nothing when they fail
// and leave the reason in the message line.
struct DiskOpServices {
  void* context;
  FileResult (*load_module)(void* context, const char* path, ModuleKind kind);
  int32_t (*save_module)(void* context, const char* path, ModuleKind kind);
  FileResult (*load_sample)(void* context, const char* path);
  int32_t (*save_sample)(void* context, const char* path, int32_t number, bool iff);
  FileResult (*load_track)(void* context, const char* path);
  int32_t (*save_track)(void* context, const char* path);
  FileResult (*load_pattern)(void* context, const char* path);
  int32_t (*save_pattern)(void* context, const char* path);
  // A new sample sits in the current slot.
  void (*sample_changed)(void* context);
  // The yes/no requester, answered in this frame or not.
  Answer (*confirm_requester)(void* context);
  // Plays a sample file without loading it, replacing any such sound;
  // stops that sound.
  void (*preview_sample)(void* context, const char* path);
  void (*stop_preview)(void* context);
};

// One frame of the screen: a save answered in the previous frame is
// written, then, while the screen is open, the list is read if needed, the
// panel drawn and the buttons served; the screen takes every click. Once
// the screen has been closed from elsewhere (a key), its list and any
// pending question go. `sample_iff` is the samples' save format (the
// setting), which the row-2 switch turns: true IFF 8SVX, false raw.
ScreenResult disk_op_frame(DiskOpState& disk_op, const ScreenContext& ctx,
                           const DiskOpServices& services, bool& sample_iff, bool open);
// Tidies up a closed screen: list freed, a pending question dropped.
void close_disk_op(DiskOpState& disk_op, Status& status);
// The keys the open screen takes (kDiskOpKeys), without modifiers.
bool disk_op_takes_key(int32_t key_index, int32_t modifiers);
// The arrow keys move the list a line; always takes them.
bool scroll_disk_op_list(DiskOpState& disk_op, int32_t step);
// Up to eight lines of the list from list_top.
void draw_file_list(const DiskOpState& disk_op, const Canvas& canvas);

// The kind a row of the current page loads and saves.
DiskKind disk_kind(int32_t page, int32_t row);
// Module and song kinds start in the directory of the module given at start
// (or the working directory); samples, tracks and patterns in the per-user
// data directory. The screen shows the module directory first.
void set_default_directories(DiskOpState& disk_op, const char* module_path);
// Where a kind of file starts from now on: "~" is the home folder, a
// relative path starts in the working folder. The list follows at once when
// it shows that kind. False, changing nothing, when that is no folder that
// can be read.
bool set_start_directory(DiskOpState& disk_op, DiskKind kind, const char* typed);

// What the list shows of a file name: each UTF-8 character outside ASCII
// as its closest unaccented letter, else '?', cut to `columns` with a '>'
// as the last when it is longer.
std::string list_name(const char* name, int32_t columns);
// The first `characters` characters of a name as the list shows it, uncut.
std::string shown_name(const char* name, int32_t characters);
// A file's size in at most five characters: bytes, else kilobytes ("121K"),
// else megabytes.
std::string list_size(uint64_t bytes);
// Whether the list of a kind shows a file: modules and songs by name
// (*.mod, mod.*, *.song) or else by their signature (`module_signature`
// reads it, asked only then), samples by extension or none, tracks and
// patterns by their exact size.
bool listed_for_kind(DiskKind kind, const char* name, uint64_t bytes,
                     const std::function<bool()>& module_signature);

// A file name made from a name read from a file: at most `max` bytes up to
// the first NUL, trailing spaces cut, '/' and control characters replaced
// by '_', as is a leading '.', so the name never leaves the directory or
// hides. `fallback` stands for a name that is empty.
std::string safe_file_name(const char* raw, size_t max, const char* fallback);
// The name a save of the kind gets: mod.TITLE, TITLE, or the sample's name.
std::string save_file_name(const Player& player, int32_t current_sample, DiskKind kind);
