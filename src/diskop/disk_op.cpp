#include "diskop/disk_op.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "diskop/directory.h"
#include "edit/key_tables.h"
#include "engine/history.h"
#include "files/track_pattern.h"
#include "layout/disk_op_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

// What one frame of the screen works on.
struct DiskOpFrame : ScreenContext {
  DiskOpState& disk_op;
  bool& sample_iff;
  bool open;
};

constexpr uint32_t kListColour = 0xF0D000;
constexpr int32_t kNameColumns = 24;    // a space before the size
constexpr int32_t kSizeEndColumn = 37;  // the size's last character ends before this column
constexpr int32_t kPathChars = 18;
constexpr int32_t kFilesX = 226;
constexpr uint32_t kEntryInk = 0x3A5FCC;  // the typed line, and the marked entry's band
constexpr uint32_t kMarkedInk = 0xFFFFFF;
constexpr int32_t kMarkRight = 303;
constexpr int32_t kTitleBytes = 20;
constexpr int32_t kSampleNameBytes = 22;

using PathField = char[kPathSize];

PathField DiskOpState::*const kDirectories[] = {
    &DiskOpState::module_dir, &DiskOpState::song_dir,    &DiskOpState::sample_dir,
    &DiskOpState::track_dir,  &DiskOpState::pattern_dir,
};
int32_t DiskOpState::*const kTops[] = {
    &DiskOpState::module_top, &DiskOpState::song_top,    &DiskOpState::sample_top,
    &DiskOpState::track_top,  &DiskOpState::pattern_top,
};
const char* const kQuestions[] = {"SAVE MODULE ?", "SAVE SONG ?", "SAVE SAMPLE ?", "SAVE TRACK ?",
                                  "SAVE PATTERN ?"};
const char* const kReplaceQuestions[] = {"REPLACE MODULE?", "REPLACE SONG?", "REPLACE SAMPLE?",
                                         "REPLACE TRACK?", "REPLACE PATTERN?"};
const char* const kKindDirectoryNames[] = {"", "", "Samples", "Tracks", "Patterns"};

PathField& kind_directory(DiskOpFrame* state, DiskKind kind) {
  return state->disk_op.*kDirectories[kind - 1];
}

int32_t& kind_top(DiskOpFrame* state, DiskKind kind) {
  return state->disk_op.*kTops[kind - 1];
}

DiskKind current_kind(const DiskOpFrame* state) {
  return disk_kind(state->disk_op.page, state->disk_op.kind);
}

void fail(DiskOpFrame* state, const char* text) {
  set_message(state->status, text);
  restart_message_timer(state->status);
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

void close_screen(DiskOpFrame* state) {
  close_disk_op(state->disk_op, state->status);
  state->open = false;
}

int32_t highest_top(const DiskOpFrame* state) {
  return std::max(state->disk_op.list_count - kListLines, 0);
}

// The list always shows disk_op_path, so a click can never act on entries
// of another directory. A default data directory is made on first use.
void read_list(DiskOpFrame* state) {
  state->disk_op.list = &the_list();
  const std::string data = data_directory();
  if (!data.empty() && std::strncmp(state->disk_op.path, data.c_str(), data.size()) == 0)
    make_directories(state->disk_op.path);
  DirList& list = *state->disk_op.list;
  const bool readable = read_directory(state->disk_op.path, list);
  if (!state->disk_op.show_all) {
    const DiskKind kind = current_kind(state);
    std::erase_if(list.entries, [&](const DirEntry& entry) {
      if (entry.type == kEntryDirectory) return false;
      return !listed_for_kind(kind, entry.name, entry.size, [&] {
        char path[kPathSize];
        copy_path(path, list.path);
        return join_path(path, entry.name, sizeof path) && file_is_module(path);
      });
    });
  }
  state->disk_op.list_valid = 1;
  state->disk_op.marked = 0;
  state->disk_op.list_count = static_cast<int32_t>(state->disk_op.list->entries.size());
  state->disk_op.list_top = std::clamp(state->disk_op.list_top, 0, highest_top(state));
  if (!readable) fail(state, "CAN'T READ DIR");
}

void remember_position(DiskOpFrame* state) {
  kind_top(state, current_kind(state)) = state->disk_op.list_top;
}

void store_path(DiskOpFrame* state) {
  copy_path(kind_directory(state, current_kind(state)), state->disk_op.path);
}

// Row choice and page flip: the path follows the kind, and the list is read
// at once, each kind where it was left.
void show_kind(DiskOpFrame* state, int32_t page, int32_t row) {
  remember_position(state);
  state->disk_op.page = page;
  state->disk_op.kind = row;
  const DiskKind kind = current_kind(state);
  copy_path(state->disk_op.path, kind_directory(state, kind));
  state->disk_op.list_top = kind_top(state, kind);
  read_list(state);
}

void enter_directory(DiskOpFrame* state, const char* path) {
  copy_path(state->disk_op.path, path);
  state->disk_op.list_top = 0;
  read_list(state);
  store_path(state);
}

void next_volume(DiskOpFrame* state) {
  const int32_t count = count_volumes();
  if (state->disk_op.volume_index >= count)
    state->disk_op.volume_index = 0;  // fewer places than before
  char place[kPathSize];
  const bool found = volume_name(state->disk_op.volume_index, place, sizeof place);
  state->disk_op.volume_index = count > 0 ? (state->disk_op.volume_index + 1) % count : 0;
  if (found) enter_directory(state, place);
}

void parent(DiskOpFrame* state) {
  char up[kPathSize];
  if (parent_directory(state->disk_op.path, up, sizeof up)) enter_directory(state, up);
}

void toggle(int32_t& option) {
  option = option == 0 ? 1 : 0;
}

// --- A line typed in the path field ---------------------------------------

void begin_entry(DiskOpFrame* state, int32_t entry, const std::string& text, DiskKind kind,
                 const char* prompt) {
  DiskOpState& disk_op = state->disk_op;
  disk_op.entry = entry;
  disk_op.entry_kind = kind;
  begin_line_entry(disk_op.line, text.c_str());
  set_message(state->status, prompt);
  state->status.dialog = kDialogLineEntry;
}

void end_entry(DiskOpState& disk_op, Status& status) {
  disk_op.entry = 0;
  if (status.dialog == kDialogLineEntry) {
    status.dialog = kDialogNone;
    set_message(status, "ALL RIGHT");
  }
}

// The folder a typed path names: "~" is the home folder, a relative path
// starts in the folder shown; trailing slashes go. Empty when it cannot be.
std::string typed_directory(const char* shown, const char* typed) {
  std::string path = typed;
  const char* home = std::getenv("HOME");
  if ((path == "~" || path.rfind("~/", 0) == 0) && home && *home == '/')
    path = home + path.substr(1);
  if (path.empty()) return {};
  if (path[0] != '/') path = std::string(shown) + (std::strcmp(shown, "/") ? "/" : "") + path;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path.size() < kPathSize ? path : std::string();
}

void ask_save(DiskOpFrame* state, DiskKind kind, const char* name);

// Return: go to the folder, or save under the name.
void accept_entry(DiskOpFrame* state) {
  DiskOpState& disk_op = state->disk_op;
  // The key that took the name must be let go before the question, which
  // it would answer.
  if (disk_op.entry == 2) {
    disk_op.entry = 3;
    return;
  }
  const int32_t entry = disk_op.entry;
  end_entry(disk_op, state->status);
  if (entry == 3) {
    const auto kind = static_cast<DiskKind>(disk_op.entry_kind);
    const char* fallback = kind == kDiskSample ? "sample" : "untitled";
    return ask_save(state, kind, safe_file_name(disk_op.line.text, kPathSize, fallback).c_str());
  }
  const std::string path = typed_directory(disk_op.path, disk_op.line.text);
  DirList probe{};
  if (path.empty() || !read_directory(path.c_str(), probe)) return fail(state, "CAN'T READ DIR");
  enter_directory(state, path.c_str());
}

// This frame's key, once per press; a click outside the field cancels.
void take_entry_input(DiskOpFrame* state) {
  DiskOpState& disk_op = state->disk_op;
  const FrameInput& input = state->input;
  if (disk_op.entry == 3) {
    if (input.key_code == 0) accept_entry(state);
    return;
  }
  if (input.left_held == 1 && action_under(input, kDiskButtons) != DiskAction::kPathField)
    return end_entry(disk_op, state->status);
  switch (take_line_key(disk_op.line, input)) {
    case LineKey::kAccept:
      return accept_entry(state);
    case LineKey::kCancel:
      return end_entry(disk_op, state->status);
    case LineKey::kNone:
      break;
  }
}

// SAVE first offers the name it would use, to be changed.
void start_save(DiskOpFrame* state, int32_t row) {
  const DiskKind kind = disk_kind(state->disk_op.page, row);
  if (kind == kDiskSample &&
      (state->selection.current_sample < 1 || state->selection.current_sample >= kSampleCount))
    return fail(state, "NO SAMPLE CHOSEN");
  begin_entry(state, 2, save_file_name(*state->player, state->selection.current_sample, kind), kind,
              "SAVE AS ?");
}

void ask_save(DiskOpFrame* state, DiskKind kind, const char* name) {
  char target[kPathSize];
  copy_path(target, state->disk_op.path);
  if (!join_path(target, name, sizeof target)) return fail(state, "PATH TOO LONG");
  std::snprintf(state->disk_op.save_target, sizeof state->disk_op.save_target, "%s", target);
  state->disk_op.save_kind = kind;
  set_message(state->status,
              path_exists(target) ? kReplaceQuestions[kind - 1] : kQuestions[kind - 1]);
  state->status.dialog = kDialogConfirm;
}

int32_t write_file(DiskOpFrame* state, const DiskOpServices& services, DiskKind kind,
                   const char* path) {
  switch (kind) {
    case kDiskModule:
      return services.save_module(services.context, path, kKindModule);
    case kDiskSong:
      return services.save_module(services.context, path, kKindSong);
    case kDiskSample:
      return services.save_sample(services.context, path, state->selection.current_sample,
                                  state->sample_iff);
    case kDiskTrack:
      return services.save_track(services.context, path);
    default:
      return services.save_pattern(services.context, path);
  }
}

// The answered question is written a frame later, so the green pointer is
// on the screen while the file is written.
void run_due_save(DiskOpFrame* state, const DiskOpServices& services) {
  state->disk_op.save_due = 0;
  const auto kind = static_cast<DiskKind>(state->disk_op.save_kind);
  state->disk_op.save_kind = 0;
  if (kind < kDiskModule || kind > kDiskPattern) return;
  if (write_file(state, services, kind, state->disk_op.save_target) == 1) {
    state->status.pointer_colour = state->status.normal_pointer_colour;
  } else {
    restart_message_timer(state->status);  // the writer's reason, never "ALL RIGHT"
  }
  // The new file shows in the list at once.
  if (state->open) read_list(state);
}

void open_loaded(DiskOpFrame* state, const DiskOpServices& services, DiskKind kind,
                 const char* path);

void answer(DiskOpFrame* state, const DiskOpServices& services, bool yes) {
  state->status.dialog = kDialogNone;
  const bool load = state->disk_op.question_loads != 0;
  state->disk_op.question_loads = 0;
  if (!yes) {
    state->disk_op.save_kind = 0;
    return;
  }
  if (load) {
    const auto kind = static_cast<DiskKind>(state->disk_op.save_kind);
    state->disk_op.save_kind = 0;
    return open_loaded(state, services, kind, state->disk_op.save_target);
  }
  state->disk_op.save_due = 1;
  state->status.pointer_colour = kPointerGreen;
}

bool load_file(DiskOpFrame* state, const DiskOpServices& services, DiskKind kind,
               const char* path) {
  switch (kind) {
    case kDiskModule:
    case kDiskSong: {
      if (!services.load_module(services.context, path, kind == kDiskSong ? kKindSong : kKindModule)
               .ok)
        return false;
      state->selection.current_sample = 1;
      services.sample_changed(services.context);
      return true;
    }
    case kDiskSample: {
      const bool loaded = services.load_sample(services.context, path).ok;
      services.sample_changed(services.context);
      return loaded;
    }
    case kDiskTrack:
      return services.load_track(services.context, path).ok;
    default:
      return services.load_pattern(services.context, path).ok;
  }
}

// Opens a folder, or loads a file (asking first when a module would
// replace unsaved work).
void open_entry(DiskOpFrame* state, const DiskOpServices& services, int32_t index) {
  const DirList* list = state->disk_op.list;
  if (!list || std::strcmp(list->path, state->disk_op.path) != 0) return;
  if (index < 0 || index >= static_cast<int32_t>(list->entries.size())) return;
  const DirEntry& entry = list->entries[static_cast<size_t>(index)];
  char path[kPathSize];
  copy_path(path, state->disk_op.path);
  if (!join_path(path, entry.name, sizeof path)) return fail(state, "PATH TOO LONG");
  if (entry.type == kEntryDirectory) return enter_directory(state, path);
  const DiskKind kind = current_kind(state);
  if ((kind == kDiskModule || kind == kDiskSong) && module_modified(*state->player)) {
    // The loaded module would replace unsaved work: ask first.
    std::snprintf(state->disk_op.save_target, sizeof state->disk_op.save_target, "%s", path);
    state->disk_op.save_kind = kind;
    state->disk_op.question_loads = 1;
    set_message(state->status, "UNSAVED! LOAD ?");
    state->status.dialog = kDialogConfirm;
    return;
  }
  open_loaded(state, services, kind, path);
}

void click_line(DiskOpFrame* state, const DiskOpServices& services) {
  // Once per press: held, it would load again or walk into the line that
  // comes under the pointer.
  if (state->input.left_held != 1) return;
  services.stop_preview(services.context);
  open_entry(state, services,
             state->disk_op.list_top + (state->input.mouse_y - kListY) / kListLineHeight);
}

// Home, End, typing and Return on the list. The key that opens the marked
// entry must be up first: held, it would answer the question a load over
// unsaved work asks.
void take_list_key(DiskOpFrame* state, const DiskOpServices& services) {
  DiskOpState& disk_op = state->disk_op;
  const int32_t key = state->input.screen_key;
  const std::vector<DirEntry>& entries = disk_op.list->entries;
  const auto count = static_cast<int32_t>(entries.size());
  const int32_t mark =
      list_key_entry(disk_op.jump, state->input, count, [&](int32_t i, int32_t characters) {
        return shown_name(entries[static_cast<size_t>(i)].name, characters);
      });
  if (mark >= 0) {
    disk_op.marked = mark + 1;
    disk_op.list_top = top_showing(mark, disk_op.list_top, kListLines, count);
  }
  // Only a mark in sight: the user sees what Return opens.
  const int32_t shown = disk_op.marked - 1 - disk_op.list_top;
  if (key == kKeyReturn && disk_op.marked > 0 && shown >= 0 && shown < kListLines)
    disk_op.open_marked = 1;
  if (disk_op.open_marked && state->input.key_code == 0) {
    disk_op.open_marked = 0;
    open_entry(state, services, disk_op.marked - 1);
  }
}

// A right click alone on a file line plays the file as the sample a click
// on the samples row would load, without loading it; on another row only
// when every file is shown and the samples row would list it.
void preview_line(DiskOpFrame* state, const DiskOpServices& services) {
  const DirList* list = state->disk_op.list;
  if (!list || std::strcmp(list->path, state->disk_op.path) != 0) return;
  const int32_t index = state->disk_op.list_top + (state->input.mouse_y - kListY) / kListLineHeight;
  if (index < 0 || index >= static_cast<int32_t>(list->entries.size())) return;
  const DirEntry& entry = list->entries[static_cast<size_t>(index)];
  if (entry.type == kEntryDirectory) return;
  const bool sample_row = current_kind(state) == kDiskSample;
  if (!sample_row && !(state->disk_op.show_all &&
                       listed_for_kind(kDiskSample, entry.name, entry.size, [] { return false; })))
    return;
  char path[kPathSize];
  copy_path(path, state->disk_op.path);
  if (!join_path(path, entry.name, sizeof path)) return fail(state, "PATH TOO LONG");
  services.preview_sample(services.context, path);
}

// Loads the file; a module, a song or a track closes the screen.
void open_loaded(DiskOpFrame* state, const DiskOpServices& services, DiskKind kind,
                 const char* path) {
  if (!load_file(state, services, kind, path)) return restart_message_timer(state->status);
  // Samples and patterns come in series, so the screen stays for the next.
  if (kind != kDiskSample && kind != kDiskPattern) {
    close_screen(state);
    state->input.left_held = 5;
  }
}

void perform(DiskOpFrame* state, const DiskOpServices& services, DiskAction button) {
  const bool first_page = state->disk_op.page == 0;
  switch (button) {
    case DiskAction::kRow0Switch:
      return toggle(state->disk_op.option_module);
    case DiskAction::kRow1Switch:
      return toggle(first_page ? state->disk_op.option_song : state->disk_op.track_buffer);
    case DiskAction::kRow2Switch:
      if (first_page) {
        state->sample_iff = !state->sample_iff;
        return;
      }
      return toggle(state->disk_op.option_pattern);
    case DiskAction::kRow0Select:
    case DiskAction::kRow0Load:
      return show_kind(state, state->disk_op.page, 0);
    case DiskAction::kRow1Select:
    case DiskAction::kRow1Load:
      return show_kind(state, state->disk_op.page, 1);
    case DiskAction::kRow2Select:
    case DiskAction::kRow2Load:
      return show_kind(state, state->disk_op.page, 2);
    case DiskAction::kRow0Save:
      return start_save(state, 0);
    case DiskAction::kRow1Save:
      return start_save(state, 1);
    case DiskAction::kRow2Save:
      return start_save(state, 2);
    case DiskAction::kPathField:
      return begin_entry(state, 1, state->disk_op.path, kDiskModule, "TYPE A PATH");
    case DiskAction::kNextVolume:
      return next_volume(state);
    case DiskAction::kPageToggle:
      return show_kind(state, first_page ? 1 : 0, state->disk_op.kind);
    case DiskAction::kParent:
      return parent(state);
    case DiskAction::kListHome:
      state->disk_op.list_top = 0;
      return;
    case DiskAction::kLineUp:
      state->input.fast_repeat = 1;
      if (state->disk_op.list_top > 0) state->disk_op.list_top -= 1;
      return;
    case DiskAction::kLeave:
      return close_screen(state);
    case DiskAction::kLineDown:
      state->input.fast_repeat = 1;
      if (state->disk_op.list_top < state->disk_op.list_count - kListLines)
        state->disk_op.list_top += 1;
      return;
    case DiskAction::kListEnd:
      state->disk_op.list_top = highest_top(state);
      return;
    case DiskAction::kListLines:
      return click_line(state, services);
    case DiskAction::kFilesLabel:
      toggle(state->disk_op.show_all);
      state->disk_op.list_top = 0;
      return read_list(state);
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
void draw_path(DiskOpFrame* state) {
  const DiskOpState& disk_op = state->disk_op;
  if (disk_op.entry) {
    draw_line_entry(state->canvas, 31, 36, kPathChars, disk_op.line, kEntryInk);
    return;
  }
  const char* path = state->disk_op.path;
  const size_t length = strnlen(path, kPathSize);
  const char* shown = length > kPathChars ? path + length - kPathChars : path;
  for (int32_t i = 0; i < kPathChars; ++i) {
    const char c = *shown ? *shown++ : '_';
    draw_glyph(state->canvas, 31 + 8 * i, 36, static_cast<uint8_t>(c), 0, 0);
  }
}

void draw_panel(DiskOpFrame* state) {
  if (state->images.diskoparrow)
    blit_image(state->canvas, 146, 11 * state->disk_op.kind, state->images.diskoparrow);
  draw_text(state->canvas, 120, 3, 0, 0, "%s", on_off(state->disk_op.option_module));
  if (state->disk_op.page == 0) {
    draw_text(state->canvas, 120, 14, 0, 0, "%s", on_off(state->disk_op.option_song));
    draw_text(state->canvas, 120, 25, 0, 0, "%s", state->sample_iff ? "IFF" : "RAW");
  } else {
    draw_text(state->canvas, 120, 14, 0, 0, "%s", buffer_current(state->disk_op.track_buffer));
    draw_text(state->canvas, 120, 25, 0, 0, "%s", buffer_current(state->disk_op.option_pattern));
  }
  draw_path(state);
  // The files switch: every file, or the row's kind alone.
  draw_text(state->canvas, kFilesX, 36, 0, 0, "%s %d/2",
            state->disk_op.show_all ? "ALL  " : "FILES", state->disk_op.page + 1);
  draw_file_list(state->disk_op, state->canvas);
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

ScreenResult disk_op_frame(DiskOpState& disk_op, const ScreenContext& ctx,
                           const DiskOpServices& services, bool& sample_iff, bool open) {
  DiskOpFrame frame{ctx, disk_op, sample_iff, open};
  DiskOpFrame* state = &frame;
  if (disk_op.save_due) run_due_save(state, services);
  if (!open) {
    // Closed from elsewhere (Esc, Alt+D): tidy up as the exit button does.
    close_disk_op(disk_op, ctx.status);
    return {false, false};
  }
  if (disk_op.list_valid == 0 || !disk_op.list) read_list(state);
  if (!disk_op.entry && ctx.status.dialog == kDialogNone) take_list_key(state, services);
  if (disk_op.entry) {
    if (ctx.status.dialog == kDialogLineEntry) {
      take_entry_input(state);
    } else {
      disk_op.entry = 0;  // another dialog took over
    }
  }
  draw_panel(state);
  const Answer given = services.confirm_requester(services.context);
  if (given != Answer::kNone && disk_op.save_kind) answer(state, services, given == Answer::kYes);
  const DiskAction button = hit_action(ctx.input, kDiskButtons);
  // Nothing acts while a question waits or a field is being typed into; a
  // message showing stops nothing. The screen covers the main screen's
  // buttons, so it takes every click.
  if (ctx.status.dialog != kDialogNone) return {frame.open, true};
  perform(state, services, button);
  if (ctx.input.right_click && action_under(ctx.input, kDiskButtons) == DiskAction::kListLines)
    preview_line(state, services);
  // The wheel over the list: towards the user shows later lines.
  if (ctx.input.wheel != 0 && rect_contains(kDiskListRect, ctx.input.mouse_x, ctx.input.mouse_y))
    for (int32_t n = 0; n < std::abs(ctx.input.wheel); ++n)
      scroll_disk_op_list(disk_op, ctx.input.wheel < 0 ? 1 : -1);
  return {frame.open, true};
}

void close_disk_op(DiskOpState& disk_op, Status& status) {
  if (status.dialog == kDialogConfirm) {
    status.dialog = kDialogNone;
    set_message(status, "ALL RIGHT");
    status.pointer_colour = status.normal_pointer_colour;
  }
  if (status.saved_dialog == kDialogConfirm) status.saved_dialog = kDialogNone;
  disk_op.save_kind = 0;
  disk_op.question_loads = 0;
  if (disk_op.entry) end_entry(disk_op, status);
  disk_op.list_valid = 0;
  disk_op.open_marked = 0;
  if (disk_op.list) std::vector<DirEntry>().swap(disk_op.list->entries);
  disk_op.list = nullptr;
  disk_op.list_count = 0;
}

bool disk_op_takes_key(int32_t key_index, int32_t modifiers) {
  return list_takes_key(kDiskOpKeys, key_index, modifiers);
}

bool scroll_disk_op_list(DiskOpState& disk_op, int32_t step) {
  if (step > 0 && disk_op.list_top < disk_op.list_count - kListLines) ++disk_op.list_top;
  if (step < 0 && disk_op.list_top > 0) --disk_op.list_top;
  return true;
}

void draw_file_list(const DiskOpState& disk_op, const Canvas& canvas) {
  const DirList* list = disk_op.list;
  if (!list) return;
  for (int32_t line = 0; line < kListLines; ++line) {
    const int64_t index = int64_t{disk_op.list_top} + line;
    if (index < 0 || index >= static_cast<int64_t>(list->entries.size())) break;
    const DirEntry& entry = list->entries[static_cast<size_t>(index)];
    const int32_t y = kListY + kListLineHeight * line;
    const bool marked = index == disk_op.marked - 1;
    if (marked) fill_rect(canvas, {kListX - 2, y, kMarkRight, y + kListLineHeight - 1}, kEntryInk);
    const uint32_t ink = marked ? kMarkedInk : kListColour;
    std::tm date{};
    const time_t when = entry.modified;
    localtime_r(&when, &date);
    draw_text(canvas, kListX, y, 0, ink, "%02d%02d%02d %s", date.tm_mday, date.tm_mon + 1,
              date.tm_year % 100, list_name(entry.name, kNameColumns - 1).c_str());
    if (entry.type == kEntryDirectory) {
      draw_text(canvas, 265, y, 0, ink, "%s", "(DIR)");
      continue;
    }
    const std::string size = list_size(entry.size);
    const auto length = static_cast<int32_t>(size.size());
    draw_text(canvas, kListX + 8 * (kSizeEndColumn - length), y, 0, ink, "%s", size.c_str());
  }
}

void set_default_directories(DiskOpState& disk_op, const char* module_path) {
  const std::string modules = module_path ? directory_of(module_path) : working_directory();
  set_directory(disk_op.module_dir, modules);
  set_directory(disk_op.song_dir, modules);
  std::string data = data_directory();
  if (data.empty()) data = modules;
  for (DiskKind kind : {kDiskSample, kDiskTrack, kDiskPattern}) {
    const std::string path = data + "/" + kKindDirectoryNames[kind - 1];
    set_directory(disk_op.*kDirectories[kind - 1], path);
  }
  set_directory(disk_op.path, modules);
}

bool set_start_directory(DiskOpState& disk_op, DiskKind kind, const char* typed) {
  const std::string path = typed_directory(working_directory().c_str(), typed);
  DirList probe{};
  if (path.empty() || !read_directory(path.c_str(), probe)) return false;
  set_directory(disk_op.*kDirectories[kind - 1], path);
  if (disk_kind(disk_op.page, disk_op.kind) == kind) {
    set_directory(disk_op.path, path);
    disk_op.list_valid = 0;
  }
  return true;
}

std::string list_name(const char* name, int32_t columns) {
  std::string shown = shown_name(name, columns + 1);
  if (static_cast<int32_t>(shown.size()) > columns) {
    shown.resize(static_cast<size_t>(columns - 1));
    shown += '>';
  }
  return shown;
}

std::string shown_name(const char* name, int32_t characters) {
  // The closest letter of U+00C0..U+017F, in order; '?' where none is.
  static constexpr char kLatin[] =
      "AAAAAAACEEEEIIIIDNOOOOO?OUUUUYTSaaaaaaaceeeeiiiidnooooo?ouuuuyty"
      "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRr"
      "SsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
  static_assert(sizeof kLatin == 0x180 - 0xC0 + 1);
  std::string shown;
  const auto* p = reinterpret_cast<const unsigned char*>(name);
  while (*p && static_cast<int32_t>(shown.size()) < characters) {
    // One UTF-8 sequence: its length from the lead byte, each follower
    // 10xxxxxx; anything else is one unreadable byte.
    const int32_t length = *p < 0x80         ? 1
                           : (*p >> 5) == 6  ? 2
                           : (*p >> 4) == 14 ? 3
                           : (*p >> 3) == 30 ? 4
                                             : 0;
    int32_t code = length == 1 ? *p : length ? *p & (0x7F >> length) : -1;
    for (int32_t i = 1; i < length && code >= 0; ++i)
      code = (p[i] & 0xC0) == 0x80 ? code << 6 | (p[i] & 0x3F) : -1;
    if (code < 0x20) {
      shown += '?';
      p += code < 0 ? 1 : length;
      continue;
    }
    p += length;
    shown += code < 0x7F                    ? static_cast<char>(code)
             : code >= 0xC0 && code < 0x180 ? kLatin[code - 0xC0]
                                            : '?';
  }
  return shown;
}

std::string list_size(uint64_t bytes) {
  char text[16];
  if (bytes < 100000) {
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(bytes));
  } else if (bytes < 9999ull * 1024 + 512) {
    std::snprintf(text, sizeof text, "%lluK",
                  static_cast<unsigned long long>((bytes + 512) / 1024));
  } else {
    // Rounded without adding first, which could wrap.
    const uint64_t nearest = (bytes >> 20) + ((bytes >> 19) & 1);
    const uint64_t mega = std::min<uint64_t>(nearest, 9999);
    std::snprintf(text, sizeof text, "%lluM", static_cast<unsigned long long>(mega));
  }
  return text;
}

bool listed_for_kind(DiskKind kind, const char* name, uint64_t bytes,
                     const std::function<bool()>& module_signature) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t dot = lower.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : lower.substr(dot + 1);
  const bool module_name = extension == "mod" || extension == "song" || lower.rfind("mod.", 0) == 0;
  switch (kind) {
    case kDiskModule:
    case kDiskSong:
      return module_name || module_signature();
    case kDiskSample: {
      if (module_name) return false;
      for (const char* known : {"", "raw", "iff", "8svx", "wav", "aif", "aiff", "flac", "smp"})
        if (extension == known) return true;
      return false;
    }
    case kDiskTrack:
      return bytes == kTrackFileBytes;
    default:
      return bytes == kPatternFileBytes;
  }
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

std::string save_file_name(const Player& player, int32_t current_sample, DiskKind kind) {
  switch (kind) {
    case kDiskModule:
      return "mod." + safe_file_name(player.song_name, kTitleBytes, "untitled");
    case kDiskSample: {
      const int32_t number = current_sample;
      if (number < 1 || number >= kSampleCount) return "sample";
      return safe_file_name(player.samples[number].name, kSampleNameBytes, "sample");
    }
    default:
      return safe_file_name(player.song_name, kTitleBytes, "untitled");
  }
}
