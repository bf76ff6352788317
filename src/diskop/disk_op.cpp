#include "diskop/disk_op.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "diskop/directory.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

constexpr uint32_t kListColour = 0xF0D000;
constexpr int32_t kListX = 9;
constexpr int32_t kListY = 46;
constexpr int32_t kLineHeight = 6;
constexpr int32_t kNameColumns = 24;
constexpr int32_t kSizeEndColumn = 37;  // the last size digit ends before this column
constexpr int32_t kPathChars = 18;
constexpr int32_t kTitleBytes = 20;
constexpr int32_t kSampleNameBytes = 22;

enum DiskButton : int32_t {
  kModuleSwitch = 1,
  kSelectRow0 = 2,
  kOpenRow0 = 3,
  kSaveRow0 = 4,
  kRow1Switch = 6,
  kSelectRow1 = 7,
  kOpenRow1 = 8,
  kSaveRow1 = 9,
  kRow2Switch = 11,
  kSelectRow2 = 12,
  kOpenRow2 = 13,
  kSaveRow2 = 14,
  kNextVolume = 15,
  kPageToggle = 17,
  kParentButton = 18,
  kListHome = 20,
  kLineUp = 21,
  kLeave = 22,
  kLineDown = 23,
  kListEnd = 24,
  kListLinesButton = 25,
};

// Where two rectangles share a pixel row the later one wins.
constexpr ButtonRect kDiskButtons[kDiskButtonCount] = {
    {0, 0, 82, 10},     {83, 0, 145, 10},   {146, 0, 155, 10},  {156, 0, 237, 10},
    {238, 0, 319, 10},  {0, 11, 82, 20},    {83, 11, 145, 20},  {146, 11, 155, 20},
    {156, 11, 237, 20}, {238, 11, 319, 20}, {0, 22, 82, 33},    {83, 22, 145, 33},
    {146, 22, 155, 33}, {156, 22, 237, 33}, {238, 22, 319, 33}, {0, 33, 10, 43},
    {11, 33, 176, 42},  {177, 33, 186, 42}, {187, 33, 216, 42}, {217, 33, 307, 42},
    {308, 33, 319, 42}, {308, 43, 319, 50}, {308, 51, 319, 81}, {308, 82, 319, 89},
    {308, 90, 319, 99}, {2, 44, 304, 93},
};

using PathField = char[kPathSize];

PathField EditorState::*const kDirectories[] = {
    &EditorState::module_dir, &EditorState::song_dir,    &EditorState::sample_dir,
    &EditorState::track_dir,  &EditorState::pattern_dir,
};
int32_t EditorState::*const kTops[] = {
    &EditorState::module_top, &EditorState::song_top,    &EditorState::sample_top,
    &EditorState::track_top,  &EditorState::pattern_top,
};
const char* const kQuestions[] = {"SAVE MODULE ?", "SAVE SONG ?", "SAVE SAMPLE ?", "SAVE TRACK ?",
                                  "SAVE PATTERN ?"};
const char* const kReplaceQuestions[] = {"REPLACE MODULE?", "REPLACE SONG?", "REPLACE SAMPLE?",
                                         "REPLACE TRACK?", "REPLACE PATTERN?"};
const char* const kKindDirectoryNames[] = {"", "", "Samples", "Tracks", "Patterns"};

PathField& kind_directory(EditorState* state, DiskKind kind) {
  return state->*kDirectories[kind - 1];
}

int32_t& kind_top(EditorState* state, DiskKind kind) {
  return state->*kTops[kind - 1];
}

DiskKind current_kind(const EditorState* state) {
  return disk_kind(state->disk_op_page, state->disk_op_kind);
}

void fail(EditorState* state, const char* text) {
  set_message(state, text);
  restart_message_timer(state);
}

void copy_path(PathField& field, const char* text) {
  std::snprintf(field, sizeof field, "%s", text);
}

// The program's one list. Static storage, so a state dropped while the
// screen is open (as tests do) leaves nothing behind.
DirList& the_list() {
  static DirList list{};
  return list;
}

void free_list(EditorState* state) {
  if (state->dir_list) std::vector<DirEntry>().swap(state->dir_list->entries);
  state->dir_list = nullptr;
  state->list_count = 0;
}

int32_t highest_top(const EditorState* state) {
  return std::max(state->list_count - kListLines, 0);
}

// The list always shows disk_op_path, so a click can never act on entries
// of another directory. A default data directory is made on first use.
void read_list(EditorState* state) {
  state->dir_list = &the_list();
  const std::string data = data_directory();
  if (!data.empty() && std::strncmp(state->disk_op_path, data.c_str(), data.size()) == 0)
    make_directories(state->disk_op_path);
  const bool readable = read_directory(state->disk_op_path, *state->dir_list);
  state->list_valid = 1;
  state->list_count = static_cast<int32_t>(state->dir_list->entries.size());
  state->list_top = std::clamp(state->list_top, 0, highest_top(state));
  if (!readable) fail(state, "CAN'T READ DIR");
}

void remember_position(EditorState* state) {
  kind_top(state, current_kind(state)) = state->list_top;
}

void store_path(EditorState* state) {
  copy_path(kind_directory(state, current_kind(state)), state->disk_op_path);
}

// Row choice and page flip: the path follows the kind, and the list is read
// at once, each kind where it was left.
void show_kind(EditorState* state, int32_t page, int32_t row) {
  remember_position(state);
  state->disk_op_page = page;
  state->disk_op_kind = row;
  const DiskKind kind = current_kind(state);
  copy_path(state->disk_op_path, kind_directory(state, kind));
  state->list_top = kind_top(state, kind);
  read_list(state);
}

void enter_directory(EditorState* state, const char* path) {
  copy_path(state->disk_op_path, path);
  state->list_top = 0;
  read_list(state);
  store_path(state);
}

void next_volume(EditorState* state) {
  const int32_t count = count_volumes();
  if (state->volume_index >= count) state->volume_index = 0;  // fewer places than before
  char place[kPathSize];
  const bool found = volume_name(state->volume_index, place, sizeof place);
  state->volume_index = count > 0 ? (state->volume_index + 1) % count : 0;
  if (found) enter_directory(state, place);
}

void parent(EditorState* state) {
  char up[kPathSize];
  if (parent_directory(state->disk_op_path, up, sizeof up)) enter_directory(state, up);
}

void toggle(int32_t& option) {
  option = option == 0 ? 1 : 0;
}

void ask_save(EditorState* state, int32_t row) {
  const DiskKind kind = disk_kind(state->disk_op_page, row);
  if (kind == kDiskSample && (state->current_sample < 1 || state->current_sample >= kSampleCount))
    return fail(state, "NO SAMPLE CHOSEN");
  char target[kPathSize];
  copy_path(target, state->disk_op_path);
  if (!join_path(target, save_file_name(state, kind).c_str(), sizeof target))
    return fail(state, "PATH TOO LONG");
  std::snprintf(state->save_target, sizeof state->save_target, "%s", target);
  state->save_kind = kind;
  set_message(state, path_exists(target) ? kReplaceQuestions[kind - 1] : kQuestions[kind - 1]);
  state->dialog = kDialogConfirm;
}

int32_t write_file(EditorState* state, const DiskOpServices& services, DiskKind kind,
                   const char* path) {
  switch (kind) {
    case kDiskModule:
      return services.save_module(state->player, path, state, kKindModule);
    case kDiskSong:
      return services.save_module(state->player, path, state, kKindSong);
    case kDiskSample:
      return services.save_sample(path, state, state->current_sample, state->sample_iff != 0);
    case kDiskTrack:
      return services.save_track(path, state);
    default:
      return services.save_pattern(path, state);
  }
}

// The answered question is written a frame later, so the green pointer is
// on the screen while the file is written.
void run_due_save(EditorState* state, const DiskOpServices& services) {
  state->save_due = 0;
  const auto kind = static_cast<DiskKind>(state->save_kind);
  state->save_kind = 0;
  if (kind < kDiskModule || kind > kDiskPattern) return;
  if (write_file(state, services, kind, state->save_target) == 1) {
    state->pointer_colour = state->normal_pointer_colour;
  } else {
    restart_message_timer(state);  // the writer's reason, never "ALL RIGHT"
  }
  // The new file shows in the list at once.
  if (state->disk_op_active) read_list(state);
}

void answer(EditorState* state) {
  state->dialog = kDialogNone;
  if (state->confirm_answer != 1) {
    state->save_kind = 0;
    return;
  }
  state->save_due = 1;
  state->pointer_colour = kPointerGreen;
}

bool load_file(EditorState* state, const DiskOpServices& services, DiskKind kind,
               const char* path) {
  switch (kind) {
    case kDiskModule:
    case kDiskSong: {
      if (!services.load_module(path, state, kind == kDiskSong ? kKindSong : kKindModule).ok)
        return false;
      state->current_sample = 1;
      services.reset_sample_view(state);
      return true;
    }
    case kDiskSample: {
      const bool loaded = services.load_sample(state, path).ok;
      services.reset_sample_view(state);
      return loaded;
    }
    case kDiskTrack:
      return services.load_track(path, state).ok;
    default:
      return services.load_pattern(path, state).ok;
  }
}

void click_line(EditorState* state, const DiskOpServices& services) {
  const DirList* list = state->dir_list;
  if (!list || std::strcmp(list->path, state->disk_op_path) != 0) return;
  const int32_t index = state->list_top + (state->mouse_y - kListY) / kLineHeight;
  if (index < 0 || index >= static_cast<int32_t>(list->entries.size())) return;
  const DirEntry& entry = list->entries[static_cast<size_t>(index)];
  char path[kPathSize];
  copy_path(path, state->disk_op_path);
  if (!join_path(path, entry.name, sizeof path)) return fail(state, "PATH TOO LONG");
  if (entry.type == kEntryDirectory) return enter_directory(state, path);
  const DiskKind kind = current_kind(state);
  if (!load_file(state, services, kind, path)) return restart_message_timer(state);
  // Samples and patterns come in series, so the screen stays for the next.
  if (kind != kDiskSample && kind != kDiskPattern) {
    close_disk_op(state);
    state->left_held = 5;
  }
}

void perform(EditorState* state, const DiskOpServices& services, int32_t button) {
  const bool first_page = state->disk_op_page == 0;
  switch (button) {
    case kModuleSwitch:
      return toggle(state->option_module);
    case kRow1Switch:
      return toggle(first_page ? state->option_song : state->track_buffer);
    case kRow2Switch:
      return toggle(first_page ? state->sample_iff : state->option_pattern);
    case kSelectRow0:
    case kOpenRow0:
      return show_kind(state, state->disk_op_page, 0);
    case kSelectRow1:
    case kOpenRow1:
      return show_kind(state, state->disk_op_page, 1);
    case kSelectRow2:
    case kOpenRow2:
      return show_kind(state, state->disk_op_page, 2);
    case kSaveRow0:
      return ask_save(state, 0);
    case kSaveRow1:
      return ask_save(state, 1);
    case kSaveRow2:
      return ask_save(state, 2);
    case kNextVolume:
      return next_volume(state);
    case kPageToggle:
      return show_kind(state, first_page ? 1 : 0, state->disk_op_kind);
    case kParentButton:
      return parent(state);
    case kListHome:
      state->list_top = 0;
      return;
    case kLineUp:
      state->fast_repeat = 1;
      if (state->list_top > 0) state->list_top -= 1;
      return;
    case kLeave:
      return close_disk_op(state);
    case kLineDown:
      state->fast_repeat = 1;
      if (state->list_top < state->list_count - kListLines) state->list_top += 1;
      return;
    case kListEnd:
      state->list_top = highest_top(state);
      return;
    case kListLinesButton:
      return click_line(state, services);
    default:
      return;  // captions, the path field, or no button
  }
}

const char* on_off(int32_t option) {
  return option ? " ON" : "OFF";
}

const char* buffer_current(int32_t option) {
  return option ? "BUF" : "CUR";
}

// The path field shows the end of a long path: the part that tells
// directories apart.
void draw_path(EditorState* state) {
  const char* path = state->disk_op_path;
  const size_t length = strnlen(path, kPathSize);
  const char* shown = length > kPathChars ? path + length - kPathChars : path;
  for (int32_t i = 0; i < kPathChars; ++i) {
    const char c = *shown ? *shown++ : '_';
    draw_glyph(31 + 8 * i, 36, static_cast<uint8_t>(c), 0, 0, state);
  }
}

void draw_panel(EditorState* state) {
  if (state->img_diskoparrow)
    blit_image(146, 11 * state->disk_op_kind, state->img_diskoparrow, state);
  draw_text(120, 3, 0, 0, "%s", state, on_off(state->option_module));
  if (state->disk_op_page == 0) {
    draw_text(120, 14, 0, 0, "%s", state, on_off(state->option_song));
    draw_text(120, 25, 0, 0, "%s", state, state->sample_iff ? "IFF" : "RAW");
  } else {
    draw_text(120, 14, 0, 0, "%s", state, buffer_current(state->track_buffer));
    draw_text(120, 25, 0, 0, "%s", state, buffer_current(state->option_pattern));
  }
  draw_path(state);
  draw_file_list(state);
}

void set_directory(PathField& field, const std::string& path) {
  copy_path(field, path.size() < kPathSize ? path.c_str() : "/");
}

}  // namespace

DiskKind disk_kind(int32_t page, int32_t row) {
  if (row <= 0) return kDiskModule;
  if (row == 1) return page == 0 ? kDiskSong : kDiskTrack;
  return page == 0 ? kDiskSample : kDiskPattern;
}

int32_t disk_op_frame(EditorState* state, const DiskOpServices& services) {
  if (state->save_due) run_due_save(state, services);
  if (state->disk_op_active == 0) {
    // Closed from elsewhere (Esc, Alt+D): tidy up as the exit button does.
    close_disk_op(state);
    return 0;
  }
  if (state->list_valid == 0 || !state->dir_list) read_list(state);
  draw_panel(state);
  if (services.confirm_requester(state) == 1 && state->save_kind) answer(state);
  const int32_t button = hit_test(state, kDiskButtons, kDiskButtonCount);
  // Nothing acts while a message shows, a question waits or a field is
  // being typed into.
  if (state->message_timer || state->message_frames || state->dialog != kDialogNone) return 1;
  perform(state, services, button);
  return 1;
}

void close_disk_op(EditorState* state) {
  if (state->dialog == kDialogConfirm) {
    state->dialog = kDialogNone;
    set_message(state, "ALL RIGHT");
    state->pointer_colour = state->normal_pointer_colour;
  }
  if (state->saved_dialog == kDialogConfirm) state->saved_dialog = kDialogNone;
  state->save_kind = 0;
  state->disk_op_active = 0;
  state->list_valid = 0;
  free_list(state);
}

void draw_file_list(EditorState* state) {
  const DirList* list = state->dir_list;
  if (!list) return;
  for (int32_t line = 0; line < kListLines; ++line) {
    const int64_t index = int64_t{state->list_top} + line;
    if (index < 0 || index >= static_cast<int64_t>(list->entries.size())) break;
    const DirEntry& entry = list->entries[static_cast<size_t>(index)];
    const int32_t y = kListY + kLineHeight * line;
    std::tm date{};
    const time_t when = entry.modified;
    localtime_r(&when, &date);
    draw_text(kListX, y, 0, kListColour, "%02d%02d%02d %.*s", state, date.tm_mday, date.tm_mon + 1,
              date.tm_year % 100, kNameColumns, entry.name);
    if (entry.type == kEntryDirectory) {
      draw_text(265, y, 0, kListColour, "%s", state, "(DIR)");
      continue;
    }
    char size[32];
    const int length =
        std::snprintf(size, sizeof size, "%llu", static_cast<unsigned long long>(entry.size));
    draw_text(kListX + 8 * (kSizeEndColumn - length), y, 0, kListColour, "%s", state, size);
  }
}

void set_default_directories(EditorState* state, const char* module_path) {
  const std::string modules = module_path ? directory_of(module_path) : working_directory();
  set_directory(state->module_dir, modules);
  set_directory(state->song_dir, modules);
  std::string data = data_directory();
  if (data.empty()) data = modules;
  for (DiskKind kind : {kDiskSample, kDiskTrack, kDiskPattern}) {
    const std::string path = data + "/" + kKindDirectoryNames[kind - 1];
    set_directory(kind_directory(state, kind), path);
  }
  set_directory(state->disk_op_path, modules);
}

std::string safe_file_name(const char* raw, size_t max, const char* fallback) {
  std::string name(raw, strnlen(raw, max));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || byte < 0x20 || byte == 0x7F) c = '_';
  }
  if (!name.empty() && name[0] == '.') name[0] = '_';
  return name.empty() ? fallback : name;
}

std::string save_file_name(const EditorState* state, DiskKind kind) {
  const Player* player = state->player;
  switch (kind) {
    case kDiskModule:
      return "mod." + safe_file_name(player->song_name, kTitleBytes, "untitled");
    case kDiskSample: {
      const int32_t number = state->current_sample;
      if (number < 1 || number >= kSampleCount) return "sample";
      return safe_file_name(player->samples[number].name, kSampleNameBytes, "sample");
    }
    default:
      return safe_file_name(player->song_name, kTitleBytes, "untitled");
  }
}
