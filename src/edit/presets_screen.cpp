#include "edit/presets_screen.h"

#include <algorithm>

#include "edit/requesters.h"
#include "layout/presets_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

constexpr uint32_t kInk = 0xB8D0D4;
constexpr uint32_t kChosenInk = 0xFFFFFF;
constexpr uint32_t kMissingInk = 0xCC4135;

int32_t count(const PresetsState& presets) {
  return static_cast<int32_t>(presets.list.size());
}

void scroll(PresetsState& presets, int32_t step) {
  presets.top = std::clamp(presets.top + step, 0, std::max(count(presets) - kPresetLines, 0));
}

void save_list(const PresetsState& presets, Status& status) {
  if (!write_presets(presets_path(), presets.list)) timed_message(status, "CAN'T SAVE LIST");
}

void add(PresetsState& presets, const ScreenContext& ctx, const PresetServices& services) {
  const std::string name = services.store_current(services.context);
  if (name.empty()) return timed_message(ctx.status, "CAN'T KEEP SMPL");
  const auto same = [&](const Preset& p) { return p.name == name; };
  if (std::find_if(presets.list.begin(), presets.list.end(), same) == presets.list.end())
    presets.list.push_back({name, ""});
  save_list(presets, ctx.status);
  timed_message(ctx.status, "PRESET ADDED");
}

// The entry on the line under the pointer, -1 when none.
int32_t entry_under(const PresetsState& presets, const FrameInput& input) {
  const int32_t line = (input.mouse_y - kPresetListY) / kPresetLineHeight;
  const int32_t index = presets.top + line;
  if (input.mouse_y < kPresetListY || line >= kPresetLines || index >= count(presets)) return -1;
  return index;
}

// A left click loads the entry, a right click alone only plays it.
void click_line(PresetsState& presets, const ScreenContext& ctx, const PresetServices& services,
                bool load) {
  const int32_t index = entry_under(presets, ctx.input);
  if (index < 0) return;
  presets.chosen = index;
  const char* name = presets.list[static_cast<size_t>(index)].name.c_str();
  if (services.file_bytes(services.context, name) < 0)
    return timed_message(ctx.status, "PRESET MISSING");
  const bool done =
      load ? services.load(services.context, name) : services.preview(services.context, name);
  if (!done) timed_message(ctx.status, "CAN'T LOAD");
}

void draw(const PresetsState& presets, const ScreenContext& ctx, const PresetServices& services) {
  for (int32_t line = 0; line < kPresetLines; ++line) {
    const int32_t index = presets.top + line;
    if (index >= count(presets)) break;
    const Preset& preset = presets.list[static_cast<size_t>(index)];
    const int32_t y = kPresetListY + line * kPresetLineHeight;
    const int64_t bytes = services.file_bytes(services.context, preset.name.c_str());
    const uint32_t ink = bytes < 0 ? kMissingInk : index == presets.chosen ? kChosenInk : kInk;
    draw_text(ctx.canvas, kPresetNameX, y, 0, ink, "%.21s", preset.name.c_str());
    if (bytes < 0) {
      draw_text(ctx.canvas, kPresetLengthX, y, 0, ink, "%s", "MISSING");
    } else {
      draw_text(ctx.canvas, kPresetLengthX, y, 0, ink, "%7lld", static_cast<long long>(bytes));
    }
    draw_text(ctx.canvas, kPresetCommentX, y, 0, ink, "%.7s", preset.comment.c_str());
  }
}

}  // namespace

void delete_chosen_preset(PresetsState& presets, Status& status) {
  if (presets.chosen < 0 || presets.chosen >= count(presets)) return;
  presets.list.erase(presets.list.begin() + presets.chosen);
  presets.chosen = -1;
  scroll(presets, 0);
  save_list(presets, status);
}

bool presets_takes_key(int32_t key_index, int32_t modifiers) {
  return list_takes_key(kPresetsKeys, key_index, modifiers);
}

ScreenResult presets_frame(PresetsState& presets, const ScreenContext& ctx,
                           const PresetServices& services, bool open) {
  if (!open) {
    presets.read = 0;
    return {false, false};
  }
  if (!presets.read) {
    presets.list = read_presets(presets_path());
    presets.read = 1;
    presets.chosen = -1;
    scroll(presets, 0);
  }
  const FrameInput& input = ctx.input;
  if (input.screen_key == kKeyEsc) return {false, false};
  if (input.screen_key == kKeyUp || input.screen_key == kKeyDown)
    scroll(presets, input.screen_key == kKeyUp ? -1 : 1);
  const int32_t marked =
      list_key_entry(presets.jump, input, count(presets),
                     [&](int32_t i, int32_t) { return presets.list[static_cast<size_t>(i)].name; });
  if (marked >= 0) {
    presets.chosen = marked;
    presets.top = top_showing(marked, presets.top, kPresetLines, count(presets));
  }
  const bool over = input.mouse_y < kPresetsHeight;
  if (ctx.status.dialog == kDialogNone) {
    if (over && input.wheel != 0) scroll(presets, -input.wheel);
    if (input.right_click && action_under(input, kPresetsButtons) == PresetsAction::kLines)
      click_line(presets, ctx, services, false);
    switch (hit_action(input, kPresetsButtons)) {
      case PresetsAction::kAdd:
        add(presets, ctx, services);
        break;
      case PresetsAction::kDelete:
        if (presets.chosen < 0) {
          timed_message(ctx.status, "CHOOSE A PRESET");
        } else {
          ask_question(ctx.status, Question::kDeletePreset, "DELETE PRESET ?");
        }
        break;
      case PresetsAction::kClose:
        return {false, true};
      case PresetsAction::kLines:
        if (input.left_held == 1) click_line(presets, ctx, services, true);
        break;
      case PresetsAction::kScrollUp:
        scroll(presets, -1);
        break;
      case PresetsAction::kScrollDown:
        scroll(presets, 1);
        break;
      case PresetsAction::kNone:
        break;
    }
  }
  draw(presets, ctx, services);
  // A right click alone is used in the frame its button comes up.
  return {true, over && (input.left_held != 0 || input.right_down != 0 || input.right_click != 0)};
}
