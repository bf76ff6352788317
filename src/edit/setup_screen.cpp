#include "edit/setup_screen.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "edit/requesters.h"
#include "layout/setup_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

constexpr uint32_t kInk = 0x24221E;
constexpr uint32_t kTypedInk = 0x3A5FCC;
constexpr int32_t kMostDigits = 5;
// What a narrow value field holds.
constexpr int32_t kNarrowColumns = (kSetupValueEnd - kSetupValueX - 3) / 8;

// The line at a place of a page, or null for an empty place.
const SetupLine* line_of(int32_t page, int32_t place) {
  if (page < 0 || page >= kSetupPageCount || place < 0 || place >= kSetupSlots) return nullptr;
  const SetupLine& line = kSetupPageTable[page].lines[place];
  return line.caption ? &line : nullptr;
}

const SettingKey* number_of(int32_t page, int32_t place) {
  const SetupLine* line = line_of(page, place);
  return line ? find_setting_key(line->section, line->name) : nullptr;
}

const SettingText* text_of(int32_t page, int32_t place) {
  const SetupLine* line = line_of(page, place);
  return line ? find_setting_text(line->section, line->name) : nullptr;
}

// The place under the pointer that holds a line, or -1.
int32_t place_at(int32_t page, int32_t x, int32_t y) {
  const int32_t row = (y - kSetupTop) / kSetupLineHeight;
  if (y < kSetupTop || row >= kSetupLines) return -1;
  const int32_t place =
      kSetupPageTable[page].wide ? row : x / kSetupColumnWidth * kSetupLines + row;
  return line_of(page, place) ? place : -1;
}

int32_t value_x(int32_t page, int32_t place) {
  return (kSetupPageTable[page].wide ? 0 : place / kSetupLines * kSetupColumnWidth) + kSetupValueX +
         2;
}

int32_t value_y(int32_t place) {
  return kSetupTop + place % kSetupLines * kSetupLineHeight + 2;
}

void set_value(Settings& settings, const SettingKey& key, int32_t value) {
  key.set(settings, std::clamp(value, key.low, key.high));
}

void stop_typing(SetupState& setup) {
  setup.typing = 0;
  setup.typed = 0;
  setup.typed_digits = 0;
  setup.typed_negative = 0;
}

// The typed text becomes the setting, or is dropped.
void stop_texting(SetupState& setup, const ScreenContext& ctx, Settings& settings, bool keep) {
  const SettingText* text = text_of(setup.page, setup.texting - 1);
  if (keep && text) settings.*text->field = setup.line.text;
  setup.texting = 0;
  if (ctx.status.dialog == kDialogLineEntry) {
    ctx.status.dialog = kDialogNone;
    set_message(ctx.status, "ALL RIGHT");
  }
}

void take_typed(SetupState& setup, Settings& settings) {
  const SettingKey* key = number_of(setup.page, setup.typing - 1);
  if (key && setup.typed_digits > 0)
    set_value(settings, *key, setup.typed_negative ? -setup.typed : setup.typed);
  stop_typing(setup);
}

// False when Esc closed the screen.
bool take_key(SetupState& setup, Settings& settings, int32_t key) {
  const int32_t digit = key == kKeyReturn || key == kKeyBackspace ? -1 : hex_digit_value(key);
  const SettingKey* typed = number_of(setup.page, setup.typing - 1);
  if (key == kKeyEsc) {
    if (setup.typing == 0) return false;
    stop_typing(setup);
  } else if (!typed) {
    return true;
  } else if (digit >= 0 && digit <= 9 && setup.typed_digits < kMostDigits) {
    setup.typed = setup.typed * 10 + digit;
    ++setup.typed_digits;
  } else if ((key == kKeyMinus || key == kKeyNumMinus) && typed->low < 0) {
    setup.typed_negative ^= 1;
  } else if (key == kKeyBackspace && setup.typed_digits > 0) {
    setup.typed /= 10;
    --setup.typed_digits;
  } else if (key == kKeyReturn) {
    take_typed(setup, settings);
  }
  return true;
}

void save(const ScreenContext& ctx, const Settings& settings) {
  const std::string path = settings_path();
  const bool saved = !path.empty() && write_settings(path, settings);
  timed_message(ctx.status, saved ? "SETTINGS SAVED" : "CANNOT SAVE");
}

// A click on a value: a switch turns, a number is typed, a text too.
void click_value(SetupState& setup, const ScreenContext& ctx, Settings& settings, int32_t place) {
  if (const SettingText* text = text_of(setup.page, place)) {
    setup.texting = place + 1;
    begin_line_entry(setup.line, (settings.*text->field).c_str());
    set_message(ctx.status, "TYPE, RETURN");
    ctx.status.dialog = kDialogLineEntry;
    return;
  }
  const SettingKey* key = number_of(setup.page, place);
  if (!key) return;
  if (key->words || key->high - key->low == 1) {
    // A switch: the next of its values, round.
    const int32_t value = key->get(settings);
    set_value(settings, *key, value >= key->high ? key->low : value + 1);
  } else {
    setup.typing = place + 1;
  }
}

// False when the close button was pressed.
bool press(SetupState& setup, const ScreenContext& ctx, Settings& settings, SetupAction action) {
  const FrameInput& input = ctx.input;
  const int32_t place = place_at(setup.page, input.mouse_x, input.mouse_y);
  const bool wide = kSetupPageTable[setup.page].wide;
  // On a page of one column a text field takes the arrows' places; elsewhere
  // the wide field is no field.
  if (action == SetupAction::kWideValue && !wide) action = SetupAction::kNone;
  if (text_of(setup.page, place) && (action == SetupAction::kDown || action == SetupAction::kUp ||
                                     action == SetupAction::kWideValue))
    action = SetupAction::kValue;
  if (action != SetupAction::kNone) stop_typing(setup);
  switch (action) {
    case SetupAction::kSave:
      save(ctx, settings);
      break;
    case SetupAction::kReset:
      ask_question(ctx.status, Question::kResetSettings, "RESET SETTINGS ?");
      break;
    case SetupAction::kPage:
      setup.page =
          std::clamp((input.mouse_x - kSetupTabX) / kSetupTabWidth, 0, kSetupPageCount - 1);
      break;
    case SetupAction::kClose:
      return false;
    case SetupAction::kValue:
      // Once per press: held, a switch would flip on every repeat.
      if (place >= 0 && input.left_held == 1) click_value(setup, ctx, settings, place);
      break;
    case SetupAction::kDown:
    case SetupAction::kUp: {
      const SettingKey* key = number_of(setup.page, place);
      if (!key) break;
      const SetupLine& shown = *line_of(setup.page, place);
      const int32_t step = input.right_down ? shown.big_step : shown.step;
      set_value(settings, *key, key->get(settings) + (action == SetupAction::kUp ? step : -step));
      break;
    }
    case SetupAction::kWideValue:
    case SetupAction::kNone:
      break;
  }
  return true;
}

void draw(const SetupState& setup, const ScreenContext& ctx, const Settings& settings) {
  const int32_t page = setup.page;
  const int32_t columns = kSetupPageTable[page].wide ? kSetupWideColumns : kNarrowColumns;
  for (int32_t place = 0; place < kSetupSlots; ++place) {
    if (!line_of(page, place)) continue;
    const int32_t x = value_x(page, place);
    const int32_t y = value_y(place);
    if (setup.texting == place + 1) {
      draw_line_entry(ctx.canvas, x, y, columns, setup.line, kTypedInk);
    } else if (setup.typing == place + 1) {
      const char* sign = setup.typed_negative ? "-" : "";
      if (setup.typed_digits == 0)
        draw_text(ctx.canvas, x, y, 0, kTypedInk, "%s_", sign);
      else
        draw_text(ctx.canvas, x, y, 0, kTypedInk, "%s%d_", sign, setup.typed);
    } else {
      // A long text shows its end: the part that tells folders apart.
      std::string text = setup_value_text(settings, page, place);
      if (static_cast<int32_t>(text.size()) > columns) text = text.substr(text.size() - columns);
      draw_text(ctx.canvas, x, y, 0, kInk, "%s", text.c_str());
    }
  }
}

}  // namespace

const Image* setup_page_image(const GuiImages& images, int32_t page) {
  const Image* pages[kSetupPageCount] = {images.setup0, images.setup1, images.setup2,
                                         images.setup3};
  return pages[std::clamp(page, 0, kSetupPageCount - 1)];
}

std::string setup_value_text(const Settings& settings, int32_t page, int32_t place) {
  if (const SettingText* text = text_of(page, place)) {
    const std::string& value = settings.*text->field;
    // The port: the first hardware one when none is named; a folder: the
    // program's own rule.
    if (value.empty()) return std::strcmp(text->section, "midi") == 0 ? "FIRST PORT" : "DEFAULT";
    return value;
  }
  const SettingKey* key = number_of(page, place);
  if (!key) return {};
  std::string shown;
  if (key->words) {
    shown = key->words[std::clamp(key->get(settings), key->low, key->high)];
  } else if (key->low == 0 && key->high == 1) {
    shown = key->get(settings) ? "ON" : "OFF";
  } else {
    shown = std::to_string(key->get(settings));
  }
  for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return shown;
}

bool setup_takes_key(int32_t key_index, int32_t modifiers) {
  return screen_takes_key(kSetupKeys, key_index, modifiers);
}

ScreenResult setup_frame(SetupState& setup, const ScreenContext& ctx, Settings& settings,
                         bool open) {
  if (!open) {
    stop_typing(setup);
    if (setup.texting) stop_texting(setup, ctx, settings, false);
    return {false, false};
  }
  const FrameInput& input = ctx.input;
  const bool over = input.mouse_y < kSetupHeight;
  if (setup.texting) {
    // Return keeps the text, Esc drops it; a click elsewhere keeps it too,
    // then acts.
    const LineKey key = ctx.status.dialog == kDialogLineEntry
                            ? take_line_key(setup.line, input)
                            : LineKey::kCancel;  // another dialog took over
    const bool elsewhere = input.left_held == 1 &&
                           place_at(setup.page, input.mouse_x, input.mouse_y) != setup.texting - 1;
    if (key != LineKey::kNone || elsewhere)
      stop_texting(setup, ctx, settings, key == LineKey::kAccept || elsewhere);
    if (!elsewhere) {
      draw(setup, ctx, settings);
      return {true, over && input.left_held != 0};
    }
  } else if (input.screen_key != 0 && !take_key(setup, settings, input.screen_key)) {
    return {false, false};
  }
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
  // A number being typed is kept when the click goes elsewhere.
  if (setup.typing && input.left_held == 1 &&
      place_at(setup.page, input.mouse_x, input.mouse_y) != setup.typing - 1)
    take_typed(setup, settings);
  if (!press(setup, ctx, settings, action)) return {false, true};
  draw(setup, ctx, settings);
  return {true, over && (input.left_held != 0 || input.right_down != 0)};
}
