#include "shell/screens.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "diskop/directory.h"
#include "edit/edit_op.h"
#include "edit/position_editor.h"
#include "edit/requesters.h"
#include "engine/editing.h"
#include "files/sample_file.h"
#include "layout/position_editor_layout.h"
#include "render/draw.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_process.h"
#include "sampler/sampling.h"
#include "shell/module_io.h"
#include "shell/preview.h"
#include "shell/sample_io.h"
#include "shell/track_io.h"

namespace {

uint32_t bit(ScreenId screen) {
  return 1u << static_cast<uint32_t>(screen);
}

void disk_op_panel(EditorState& state) {
  const Image* panel = state.disk_op.page ? state.images.disk2 : state.images.disk;
  if (panel) blit_image(state.canvas, 0, 0, panel);
}

ScreenResult disk_op_turn(EditorState& state, bool open) {
  // The disk op's RAW/IFF switch is the setting's.
  return disk_op_frame(state.disk_op, screen_context(state), disk_op_services(state),
                       state.settings.sample_iff, open);
}

bool disk_op_scroll(EditorState& state, int32_t step) {
  return scroll_disk_op_list(state.disk_op, step);
}

void sampler_panel(EditorState& state) {
  if (state.images.sample) blit_image(state.canvas, 0, kSamplePanelTop, state.images.sample);
}

// The editor does not cover the top half: it takes the clicks on its panel.
ScreenResult sampler_turn(EditorState& state, bool open) {
  if (!open) {
    // Closing the editor ends sampling; a recording is kept.
    if (state.sampling.phase != SamplingPhase::kOff) {
      sampling_stop(state.sampling, screen_context(state), state.capture);
      sample_changed(state);
    }
    return {false, false};
  }
  const ScreenResult result = sample_editor_frame(state.sampler, screen_context(state));
  const bool recording = state.sampling.phase == SamplingPhase::kRecording;
  const bool stopped_by_click =
      sampling_frame(state.sampling, screen_context(state), state.capture);
  if (recording && state.sampling.phase == SamplingPhase::kOff) sample_changed(state);
  return {result.open,
          result.used_click || stopped_by_click || state.input.mouse_y >= kSamplePanelTop};
}

void edit_op_panel(EditorState& state) {
  const Image* panel = edit_op_page_image(state.images, state.editop.page);
  if (panel) blit_image(state.canvas, 0, 0, panel);
}

void services_sampling(void* context);

ScreenResult edit_op_turn(EditorState& state, bool open) {
  // The sample tools act on the range marked in the sample editor.
  const Sample* sample = editable_sample(*state.player, state.selection.current_sample);
  const MarkedRange marks = marked_range(state.sampler, sample ? sample_bytes(*sample) : 0);
  state.editop.tools.range_a = marks.a;
  state.editop.tools.range_b = marks.b;
  const ScreenResult result =
      edit_op_frame(state.editop, screen_context(state), state.edit_buffers, open);
  // SAMPLE on the tools page does what Alt+A does.
  if (state.editop.tools.sampling_asked) {
    state.editop.tools.sampling_asked = 0;
    services_sampling(&state);
  }
  return result;
}

void position_panel(EditorState& state) {
  if (state.images.posed)
    blit_image(state.canvas, kPositionPanel.x1, kPositionPanel.y1, state.images.posed);
}

ScreenResult position_turn(EditorState& state, bool open) {
  return position_editor_frame(state.positions, screen_context(state), open);
}

bool position_scroll(EditorState& state, int32_t step) {
  return scroll_position_list(state.positions, *state.player, step);
}

void setup_panel(EditorState& state) {
  const Image* panel = setup_page_image(state.images, state.setup.page);
  if (panel) blit_image(state.canvas, 0, 0, panel);
}

ScreenResult setup_turn(EditorState& state, bool open) {
  return setup_frame(state.setup, screen_context(state), state.settings, open);
}

void help_panel(EditorState& state) {
  if (state.images.help) blit_image(state.canvas, 0, 0, state.images.help);
}

// It opens at the page of the screen it is opened over.
ScreenResult help_turn(EditorState& state, bool open) {
  int32_t page = 0;
  for (ScreenId screen : {ScreenId::kSampler, ScreenId::kDiskOp, ScreenId::kEditOp,
                          ScreenId::kPositionEditor, ScreenId::kSetup, ScreenId::kPresets})
    if (screen_is_open(state, screen)) page = help_page_of(screen);
  return help_frame(state.help, screen_context(state), open, page);
}

int64_t preset_file_bytes(void* context, const char* name) {
  const EditorState& state = *static_cast<EditorState*>(context);
  const std::string path = library_sample_path(library_dir(state.settings), name);
  std::error_code error;
  const auto bytes = path.empty() ? 0 : std::filesystem::file_size(path, error);
  return path.empty() || error ? -1 : static_cast<int64_t>(bytes);
}

bool preset_load(void* context, const char* name) {
  EditorState& state = *static_cast<EditorState*>(context);
  stop_preview(state);  // as a click in the disk op's list does
  const bool loaded = load_st_sample(name, &state) == 1;
  sample_changed(state);
  return loaded;
}

std::string preset_store_current(void* context) {
  EditorState& state = *static_cast<EditorState*>(context);
  const int32_t number = state.selection.current_sample;
  if (number < 1 || number >= kSampleCount) return {};
  const Sample& sample = state.player->samples[number];
  std::string name(sample.name, strnlen(sample.name, sizeof sample.name));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const std::string path = library_sample_path(library_dir(state.settings), name.c_str());
  if (sample_bytes(sample) == 0 || path.empty()) return {};
  if (path_exists(path.c_str())) return name;
  const std::vector<uint8_t> bytes = serialize_sample(sample, state.settings.sample_iff);
  if (!make_directories(directory_of(path.c_str()).c_str()) ||
      !write_file_replacing(path.c_str(), bytes, false).ok)
    return {};
  return name;
}

void presets_panel(EditorState& state) {
  if (state.images.presets) blit_image(state.canvas, 0, 0, state.images.presets);
}

bool preset_preview(void* context, const char* name) {
  EditorState& state = *static_cast<EditorState*>(context);
  const std::string path = library_sample_path(library_dir(state.settings), name);
  if (path.empty()) return false;
  // A file that does not decode leaves its reason, as a load does.
  preview_sample_file(state, path.c_str(), ScreenId::kPresets);
  return true;
}

ScreenResult presets_turn(EditorState& state, bool open) {
  const PresetServices services{&state, preset_file_bytes, preset_load, preset_store_current,
                                preset_preview};
  return presets_frame(state.presets, screen_context(state), services, open);
}

constexpr ScreenEntry kScreens[] = {
    {ScreenId::kDiskOp, disk_op_panel, disk_op_turn, disk_op_scroll, disk_op_takes_key, false},
    {ScreenId::kSampler, sampler_panel, sampler_turn, nullptr, nullptr, false},
    {ScreenId::kEditOp, edit_op_panel, edit_op_turn, nullptr, edit_op_takes_key, false},
    {ScreenId::kPositionEditor, position_panel, position_turn, position_scroll,
     position_editor_takes_key, false},
    {ScreenId::kSetup, setup_panel, setup_turn, nullptr, setup_takes_key, false},
    {ScreenId::kPresets, presets_panel, presets_turn, nullptr, presets_takes_key, false},
    {ScreenId::kHelp, help_panel, help_turn, nullptr, help_takes_key, true},
};

// Whether an open screen that covers everything hides this one.
bool passed_over(const EditorState& state, const ScreenEntry& entry) {
  for (const ScreenEntry& other : kScreens)
    if (other.covers_all && &other != &entry && screen_is_open(state, other.id)) return true;
  return false;
}

// The screens that cover the top of the main screen: one at a time.
constexpr ScreenId kTopScreens[] = {ScreenId::kDiskOp, ScreenId::kEditOp, ScreenId::kPositionEditor,
                                    ScreenId::kSetup, ScreenId::kPresets};

bool is_top_screen(ScreenId screen) {
  return std::find(std::begin(kTopScreens), std::end(kTopScreens), screen) != std::end(kTopScreens);
}

EditorState& editor(void* context) {
  return *static_cast<EditorState*>(context);
}

bool services_screen_open(void* context, ScreenId screen) {
  return screen_is_open(editor(context), screen);
}

void services_set_screen_open(void* context, ScreenId screen, bool open) {
  set_screen_open(editor(context), screen, open);
}

bool services_scroll(void* context, int32_t step) {
  EditorState& state = editor(context);
  for (const ScreenEntry& entry : kScreens)
    if (entry.scroll && screen_is_open(state, entry.id) && !passed_over(state, entry))
      return entry.scroll(state, step);
  return false;
}

void services_sample_changed(void* context) {
  sample_changed(editor(context));
}

void services_sample_process(void* context, SamplerAction action, bool all) {
  EditorState& state = editor(context);
  if (!all) {
    process_button(action, state.sampler, screen_context(state));
    return sample_changed(state);
  }
  // Every sample with data, whole, as one step.
  const HistoryGroup group(*state.player,
                           action == SamplerAction::kBoost ? StepKind::kBoost : StepKind::kFilter);
  const int32_t current = state.selection.current_sample;
  SamplerState whole{};
  for (int32_t n = 1; n < kSampleCount; ++n) {
    if (sample_bytes(state.player->samples[n]) == 0) continue;
    state.selection.current_sample = n;
    process_button(action, whole, screen_context(state));
  }
  state.selection.current_sample = current;
  sample_changed(state);
}

void services_sampling(void* context) {
  EditorState& state = editor(context);
  set_screen_open(state, ScreenId::kSampler, true);
  const bool recording = state.sampling.phase == SamplingPhase::kRecording;
  sampling_press(state.sampling, screen_context(state), state.capture);
  if (recording) sample_changed(state);
}

FileResult services_load_module(void* context, const char* path, ModuleKind kind) {
  return load_module(path, &editor(context), kind);
}

int32_t services_save_module(void* context, const char* path, ModuleKind kind) {
  EditorState& state = editor(context);
  return save_module(state.player, path, &state, kind);
}

FileResult services_load_sample(void* context, const char* path) {
  return load_sample(&editor(context), path);
}

int32_t services_save_sample(void* context, const char* path, int32_t number, bool iff) {
  return save_sample(path, &editor(context), number, iff);
}

FileResult services_load_track(void* context, const char* path) {
  return load_track(path, &editor(context));
}

int32_t services_save_track(void* context, const char* path) {
  return save_track(path, &editor(context));
}

FileResult services_load_pattern(void* context, const char* path) {
  return load_pattern(path, &editor(context));
}

int32_t services_save_pattern(void* context, const char* path) {
  return save_pattern(path, &editor(context));
}

void services_preview_sample(void* context, const char* path) {
  preview_sample_file(editor(context), path, ScreenId::kDiskOp);
}

void services_stop_preview(void* context) {
  stop_preview(editor(context));
}

Answer services_confirm(void* context) {
  EditContext edit = edit_context(editor(context));
  return confirm_requester(&edit);
}

}  // namespace

bool screen_is_open(const EditorState& state, ScreenId screen) {
  return (state.open_screens & bit(screen)) != 0;
}

void set_screen_open(EditorState& state, ScreenId screen, bool open) {
  if (open) {
    if (is_top_screen(screen))
      for (ScreenId other : kTopScreens) state.open_screens &= ~bit(other);
    state.open_screens |= bit(screen);
  } else {
    state.open_screens &= ~bit(screen);
  }
}

void draw_screen_panels(EditorState& state) {
  for (const ScreenEntry& entry : kScreens)
    if (screen_is_open(state, entry.id) && !passed_over(state, entry)) entry.panel(state);
}

bool screens_take_key(const EditorState& state, int32_t key_index, int32_t modifiers) {
  for (const ScreenEntry& entry : kScreens)
    if (entry.takes_key && screen_is_open(state, entry.id) && !passed_over(state, entry) &&
        entry.takes_key(key_index, modifiers))
      return true;
  return false;
}

bool run_screens(EditorState& state) {
  bool used_click = false;
  for (const ScreenEntry& entry : kScreens) {
    if (passed_over(state, entry)) continue;
    const bool open = screen_is_open(state, entry.id);
    const ScreenResult result = entry.turn(state, open);
    if (open && !result.open) set_screen_open(state, entry.id, false);
    used_click = used_click || (open && result.used_click);
  }
  return used_click;
}

EditContext edit_context(EditorState& state) {
  const EditServices services{&state,           services_screen_open,    services_set_screen_open,
                              services_scroll,  services_sample_changed, services_sample_process,
                              services_sampling};
  return EditContext{screen_context(state),    state.keys, state.edit_buffers, state.text_field,
                     state.main.restart_clock, services};
}

DiskOpServices disk_op_services(EditorState& state) {
  return DiskOpServices{&state,
                        services_load_module,
                        services_save_module,
                        services_load_sample,
                        services_save_sample,
                        services_load_track,
                        services_save_track,
                        services_load_pattern,
                        services_save_pattern,
                        services_sample_changed,
                        services_confirm,
                        services_preview_sample,
                        services_stop_preview};
}

void sample_changed(EditorState& state) {
  reset_sample_view(state.sampler, *state.player, state.selection.current_sample);
}
