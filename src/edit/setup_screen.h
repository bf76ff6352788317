// The setup screen: every setting of the settings file, changed with
// arrows, switches and typed numbers; the program follows a change at once
// (the window's at the next start). SAVE writes the file, RESET asks, then
// returns every setting to its default.
#pragma once

#include <cstdint>

#include "edit/key_tables.h"
#include "render/screen.h"
#include "settings/settings.h"

struct SetupState {
  int32_t typing;  // 1 + the line whose number is being typed, 0 none
  int32_t typed;
  int32_t typed_digits;
  int32_t right_down;  // the right button was down in the last frame
};

// One frame: the keys the screen took (ctx.input.screen_key), its buttons,
// then the values drawn over its panel. Takes the clicks on its panel.
ScreenResult setup_frame(SetupState& setup, const ScreenContext& ctx, Settings& settings,
                         bool open);
// What a line shows for its value: a word, ON/OFF, a number, or the
// MIDI port's name; upper case, at most `size` - 1 characters.
void setup_value_text(const Settings& settings, int32_t line, char* text, int32_t size);
// The keys the open screen takes for itself, without modifiers.
inline constexpr ScreenKey kSetupKeys[] = {
    {kKey1, kKey0, "type the number of the setting whose value was clicked"},
    {kKeyBackspace, kKeyBackspace, "remove the last typed digit"},
    {kKeyReturn, kKeyReturn, "set the typed number (kept within its range)"},
    {kKeyEsc, kKeyEsc, "cancel the typed number, else close the setup screen"},
};
bool setup_takes_key(int32_t key_index, int32_t modifiers);
