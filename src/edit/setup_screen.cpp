#include "edit/setup_screen.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#include "edit/requesters.h"
#include "layout/setup_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

constexpr uint32_t kInk = 0x24221E;
constexpr uint32_t kTypedInk = 0x3A5FCC;
constexpr int32_t kLineCount = static_cast<int32_t>(std::size(kSetupLineTable));
constexpr int32_t kMostDigits = 5;

const SettingKey* key_of(int32_t line) {
  return find_setting_key(kSetupLineTable[line].section, kSetupLineTable[line].name);
}

// The line under the pointer, or -1.
int32_t line_at(int32_t x, int32_t y) {
  const int32_t row = (y - kSetupTop) / kSetupLineHeight;
  const int32_t line = x / kSetupColumnWidth * kSetupLines + row;
  if (y < kSetupTop || row >= kSetupLines || line >= kLineCount) return -1;
  return line;
}

void set_value(Settings& settings, const SettingKey& key, int32_t value) {
  key.set(settings, std::clamp(value, key.low, key.high));
}

// A line whose window setting waits for the next start says so.
void changed(const ScreenContext& ctx, int32_t line) {
  if (std::string_view(kSetupLineTable[line].section) == "display")
    timed_message(ctx.status, "AT NEXT START");
}

void stop_typing(SetupState& setup) {
  setup.typing = 0;
  setup.typed = 0;
  setup.typed_digits = 0;
}

// False when Esc closed the screen.
bool take_key(SetupState& setup, const ScreenContext& ctx, Settings& settings) {
  const int32_t key = ctx.input.screen_key;
  const int32_t digit = key == kKeyReturn || key == kKeyBackspace ? -1 : hex_digit_value(key);
  if (key == kKeyEsc) {
    if (setup.typing == 0) return false;
    stop_typing(setup);
  } else if (setup.typing == 0) {
    return true;
  } else if (digit >= 0 && digit <= 9 && setup.typed_digits < kMostDigits) {
    setup.typed = setup.typed * 10 + digit;
    ++setup.typed_digits;
  } else if (key == kKeyBackspace && setup.typed_digits > 0) {
    setup.typed /= 10;
    --setup.typed_digits;
  } else if (key == kKeyReturn) {
    if (setup.typed_digits > 0) {
      set_value(settings, *key_of(setup.typing - 1), setup.typed);
      changed(ctx, setup.typing - 1);
    }
    stop_typing(setup);
  }
  return true;
}

void save(const ScreenContext& ctx, const Settings& settings) {
  const std::string path = settings_path();
  const bool saved = !path.empty() && write_settings(path, settings);
  timed_message(ctx.status, saved ? "SETTINGS SAVED" : "CANNOT SAVE");
}

// False when the close button was pressed.
bool press(SetupState& setup, const ScreenContext& ctx, Settings& settings, SetupAction action) {
  const int32_t line = line_at(ctx.input.mouse_x, ctx.input.mouse_y);
  const SettingKey* key = line >= 0 ? key_of(line) : nullptr;
  if (action != SetupAction::kNone) stop_typing(setup);
  switch (action) {
    case SetupAction::kSave:
      save(ctx, settings);
      break;
    case SetupAction::kReset:
      ask_question(ctx.status, Question::kResetSettings, "RESET SETTINGS ?");
      break;
    case SetupAction::kClose:
      return false;
    case SetupAction::kValue:
      // Once per press: held, a switch would flip on every repeat.
      if (!key || ctx.input.left_held != 1) break;
      if (key->words || key->high - key->low == 1) {
        // A switch: the next of its values, round.
        const int32_t value = key->get(settings);
        set_value(settings, *key, value >= key->high ? key->low : value + 1);
        changed(ctx, line);
      } else {
        setup.typing = line + 1;
      }
      break;
    case SetupAction::kDown:
    case SetupAction::kUp: {
      if (!key) break;
      const SetupLine& shown = kSetupLineTable[line];
      const int32_t step = ctx.input.right_down ? shown.big_step : shown.step;
      set_value(settings, *key, key->get(settings) + (action == SetupAction::kUp ? step : -step));
      changed(ctx, line);
      break;
    }
    case SetupAction::kNone:
      break;
  }
  return true;
}

void draw(const SetupState& setup, const ScreenContext& ctx, const Settings& settings) {
  for (int32_t line = 0; line < kLineCount; ++line) {
    const int32_t x = line / kSetupLines * kSetupColumnWidth + kSetupValueX + 2;
    const int32_t y = kSetupTop + line % kSetupLines * kSetupLineHeight + 2;
    if (setup.typing == line + 1) {
      if (setup.typed_digits == 0)
        draw_text(ctx.canvas, x, y, 0, kTypedInk, "_");
      else
        draw_text(ctx.canvas, x, y, 0, kTypedInk, "%d_", setup.typed);
      continue;
    }
    char text[8];
    setup_value_text(settings, line, text, sizeof text);
    draw_text(ctx.canvas, x, y, 0, kInk, "%s", text);
  }
}

}  // namespace

void setup_value_text(const Settings& settings, int32_t line, char* text, int32_t size) {
  const SettingKey* key = key_of(line);
  std::string shown;
  if (!key) {
    // The MIDI port: the first hardware one when none is named.
    shown = settings.midi_input.empty() ? "FIRST" : settings.midi_input;
  } else if (key->words) {
    shown = key->words[std::clamp(key->get(settings), key->low, key->high)];
  } else if (key->low == 0 && key->high == 1) {
    shown = key->get(settings) ? "ON" : "OFF";
  } else {
    shown = std::to_string(key->get(settings));
  }
  shown.resize(std::min<size_t>(shown.size(), static_cast<size_t>(size - 1)));
  for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::snprintf(text, static_cast<size_t>(size), "%s", shown.c_str());
}

bool setup_takes_key(int32_t key_index, int32_t modifiers) {
  return screen_takes_key(kSetupKeys, key_index, modifiers);
}

ScreenResult setup_frame(SetupState& setup, const ScreenContext& ctx, Settings& settings,
                         bool open) {
  if (!open) {
    stop_typing(setup);
    return {false, false};
  }
  if (ctx.input.screen_key != 0 && !take_key(setup, ctx, settings)) return {false, false};
  const FrameInput& input = ctx.input;
  const bool over = input.mouse_y < kSetupHeight;
  // Nothing acts while a requester or a text field has the mouse.
  if (ctx.status.dialog != kDialogNone) {
    draw(setup, ctx, settings);
    return {true, over && input.left_held != 0};
  }
  // A right click alone on an arrow takes the big step.
  SetupAction action = hit_action(input, kSetupButtons);
  if (input.right_down && !setup.right_down && input.left_held == 0) {
    const SetupAction under = action_under(input, kSetupButtons);
    if (under == SetupAction::kDown || under == SetupAction::kUp) action = under;
  }
  setup.right_down = input.right_down;
  if (!press(setup, ctx, settings, action)) return {false, true};
  draw(setup, ctx, settings);
  return {true, over && (input.left_held != 0 || input.right_down != 0)};
}
