// The help screen: a page per screen saying what it does and how the mouse
// works there, and the key reference in pages, generated from the same
// tables the keys run on. Opened by HELP or Alt+H; it covers the whole
// picture and takes every click and every key without modifiers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "edit/key_tables.h"
#include "render/screen.h"

struct HelpState {
  int32_t page;
  int32_t top;    // the page's line shown first
  int32_t shown;  // 1 once it was opened: the start page is chosen then
};

struct HelpPage {
  std::string title;
  std::vector<std::string> lines;  // each at most kHelpColumns characters
};

// Every page, built once.
const std::vector<HelpPage>& help_pages();
// The page of a screen, or the first page when the screen has none.
int32_t help_page_of(ScreenId screen);
// One frame of the open screen: its buttons, keys and wheel, then the page.
// `start_page` is where it opens (when `help.shown` is 0).
ScreenResult help_frame(HelpState& help, const ScreenContext& ctx, bool open, int32_t start_page);
// The keys that act on the open screen; it takes every key but Alt+H
// (which closes it), so that none plays a note or edits under it.
inline constexpr ScreenKey kHelpKeys[] = {
    {kKeyUp, kKeyUp, "scroll up a line"},    {kKeyDown, kKeyDown, "scroll down a line"},
    {kKeyLeft, kKeyLeft, "the page before"}, {kKeyRight, kKeyRight, "the next page"},
    {kKeyEsc, kKeyEsc, "close the help"},
};
bool help_takes_key(int32_t key_index, int32_t modifiers);
