// The setup screen: every setting of the settings file on four pages,
// changed with arrows, switches, typed numbers and typed text; the program
// follows a change at once. SAVE writes the file, RESET asks, then returns
// every setting to its default.
#pragma once

#include <cstdint>

#include "edit/key_tables.h"
#include "edit/line_entry.h"
#include "render/screen.h"
#include "settings/settings.h"

struct SetupState {
  int32_t page;
  int32_t typing;  // 1 + the place whose number is being typed, 0 none
  int32_t typed;   // its digits so far, and their sign
  int32_t typed_digits;
  int32_t typed_negative;
  int32_t texting;  // 1 + the place whose text is being typed (dialog kDialogLineEntry), 0 none
  LineEntry line;
  int32_t right_down;  // the right button was down in the last frame
};

// One frame: the keys the screen took (ctx.input.screen_key), its buttons,
// then the values drawn over its panel. Takes the clicks on its panel.
ScreenResult setup_frame(SetupState& setup, const ScreenContext& ctx, Settings& settings,
                         bool open);
// The panel of a page.
const Image* setup_page_image(const GuiImages& images, int32_t page);
// What a place of a page shows for its value: a word, ON/OFF or a number
// in upper case, or a text as it is ("" as the rule it stands for).
std::string setup_value_text(const Settings& settings, int32_t page, int32_t place);
// The keys the open screen takes for itself, without modifiers.
inline constexpr ScreenKey kSetupKeys[] = {
    {kKey1, kKey0, "type the number of the setting whose value was clicked"},
    {kKeyMinus, kKeyMinus, "a typed number below zero (MIDI transpose): turn its sign"},
    {kKeyNumMinus, kKeyNumMinus, "the same"},
    {kKeyBackspace, kKeyBackspace, "remove the last typed digit"},
    {kKeyReturn, kKeyReturn, "set the typed number (kept within its range)"},
    {kKeyEsc, kKeyEsc, "cancel the typed number, else close the setup screen"},
};
bool setup_takes_key(int32_t key_index, int32_t modifiers);
