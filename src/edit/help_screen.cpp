#include "edit/help_screen.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "edit/key_reference.h"
#include "layout/help_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"

namespace {

constexpr uint32_t kInk = 0x24221E;
constexpr uint32_t kHeadingInk = 0x3A5FCC;
// Key captions stand in a column this wide; longer ones take a line alone.
constexpr size_t kKeyColumn = 13;

// A page: what it says, the screen it belongs to, and the key section
// (by title) it lists after its text.
struct PageText {
  const char* title;
  int32_t screen;  // 1 + the ScreenId it describes, 0 none
  const char* about;
  const char* mouse;
  const char* keys;
};

constexpr int32_t screen_number(ScreenId screen) {
  return static_cast<int32_t>(screen) + 1;
}

constexpr PageText kPages[] = {
    {"HELP", 0,
     "Left and Right, or the arrows at the top left, turn the pages; Up, Down, the wheel or the "
     "arrows at the top right scroll a page; Esc, Alt+H or X closes. Opened over the disk op, the "
     "sample editor, the edit-op, setup or position screen, the help starts at that screen's "
     "page. While it is open no other key acts.",
     nullptr, "Help screen (HELP), while it is open"},
    {"MAIN SCREEN", 0,
     "The song's positions, pattern and length at the top left with the current sample's number, "
     "volume, length and loop below; the transport and screen buttons; four oscilloscopes; song "
     "and sample names; the pattern view below.",
     "A held arrow repeats; with the right button held, or a right click alone, it takes the "
     "larger step. A click on a number types it. The wheel steps the number under the pointer "
     "and moves the pattern cursor while stopped. A click on a cell moves the cursor there.",
     nullptr},
    {"KEYS", 0, nullptr, nullptr, "Keys"},
    {"SUPER KEYS", 0, nullptr, nullptr, "Super (left Windows key) +"},
    {"CTRL KEYS", 0, nullptr, nullptr, "Ctrl +"},
    {"ALT KEYS", 0, nullptr, nullptr, "Alt +"},
    {"WINDOW KEYS", 0, nullptr, nullptr, "Window"},
    {"DISK OP", screen_number(ScreenId::kDiskOp),
     "Loads and saves modules, songs, samples, tracks and patterns. Each row chooses what the "
     "list shows and what SAVE writes; the path above the list is the folder shown.",
     "A click on a file loads it, on a folder opens it; PARENT goes up. A right click alone on a "
     "sample file plays it without loading it. The wheel, the arrows and the keys scroll the "
     "list. SAVE writes the row's kind, asking before it replaces a file.",
     "Disk op, while it is open"},
    {"SAMPLE EDITOR", screen_number(ScreenId::kSampler),
     "The current sample's waveform, its loop between two markers, and a line for each channel "
     "playing it. PLAY, PLAY VIEW and PLAY MARK play it; CUT, COPY, PASTE and SWAP edit it; the "
     "tools change the marked range or the whole sample, one undo step each.",
     "Press in the waveform to set the cursor, drag to mark a range; drag a loop marker's flag to "
     "move that end of the loop. ZOOM shows the range, the bar below scrolls.",
     nullptr},
    {"EDIT OP", screen_number(ScreenId::kEditOp),
     "Three pages: transposing over a chosen scope, how notes are recorded, and the sample "
     "tools. PAGE cycles them.",
     "A right click on an arrow takes the larger step.", "Edit-op screen, while it is open"},
    {"POSITION EDITOR", screen_number(ScreenId::kPositionEditor),
     "The order list, one position a line, opened by the POS label; the song position is "
     "highlighted and kept in view.",
     "A click on a line makes it the song position; the arrows beside a line step its pattern "
     "(a right click by 10); the wheel, the scroll bar or a drag on the lines move the list.",
     "Position editor (POS), while it is open"},
    {"SETUP", screen_number(ScreenId::kSetup),
     "Every setting of the settings file on four pages: EDITOR, SOUND, MIDI and FILES. A change "
     "acts at once. SAVE writes the file, keeping your own lines in it; RESET returns to the "
     "defaults after a question.",
     "A click on a tab turns the page. A click on a switch's value turns it, on a number's value "
     "types it (- turns its sign), on a text (a folder, the MIDI port) types it: Return keeps it, "
     "Esc drops it. The arrows step a number, a right click by the larger step.",
     "Setup screen (SETUP), while it is open"},
    {"PRESETS", screen_number(ScreenId::kPresets),
     "The sample-library entries you keep, from presets.ini: name, length (MISSING when the file "
     "is gone) and comment. ADD keeps the current sample, writing it into the library when the "
     "library lacks it; DEL removes the chosen entry after a question (the file stays).",
     "A click on an entry loads it into the current sample slot, one undo step; a right click "
     "alone plays it without loading it; the arrows and the wheel scroll the list.",
     "Presets screen (PRESETS), while it is open"},
};

// Words of `text` in lines of at most `width` characters, each line after
// `first` starting with `indent` spaces.
void wrap(std::vector<std::string>& lines, const std::string& first, const std::string& text,
          size_t indent) {
  std::istringstream words(text);
  std::string line = first, word;
  bool empty = true;
  const size_t width = kHelpColumns;
  while (words >> word) {
    if (!empty && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line = std::string(indent, ' ');
      empty = true;
    }
    if (!empty) line += ' ';
    line += word.substr(0, width - indent);
    empty = false;
  }
  if (!empty || !line.empty()) lines.push_back(line);
}

void add_keys(std::vector<std::string>& lines, const KeySection& section) {
  for (const KeyLine& key : section.lines) {
    const std::string keys = key.held.empty() ? key.keys : key.held + "+" + key.keys;
    if (keys.size() < kKeyColumn) {
      wrap(lines, keys + std::string(kKeyColumn - keys.size(), ' '), key.does, kKeyColumn);
    } else {
      wrap(lines, "", keys, 0);
      wrap(lines, std::string(kKeyColumn, ' '), key.does, kKeyColumn);
    }
  }
}

std::vector<HelpPage> build() {
  std::vector<HelpPage> pages;
  for (const PageText& text : kPages) {
    HelpPage page{text.title, {}};
    if (text.about) wrap(page.lines, "", text.about, 0);
    if (text.mouse) {
      page.lines.push_back("");
      page.lines.push_back("MOUSE");
      wrap(page.lines, "", text.mouse, 0);
    }
    for (const KeySection& section : key_reference()) {
      if (!text.keys || std::strcmp(section.title, text.keys) != 0) continue;
      if (!page.lines.empty()) page.lines.push_back("");
      if (text.about) page.lines.push_back("KEYS");
      add_keys(page.lines, section);
    }
    pages.push_back(std::move(page));
  }
  // The first page lists them all.
  pages.front().lines.push_back("");
  pages.front().lines.push_back("PAGES");
  for (size_t n = 0; n < pages.size(); ++n)
    pages.front().lines.push_back(std::to_string(n + 1) + " " + pages[n].title);
  return pages;
}

int32_t page_count() {
  return static_cast<int32_t>(help_pages().size());
}

int32_t highest_top(const HelpState& help) {
  const int32_t lines = static_cast<int32_t>(help_pages()[help.page].lines.size());
  return std::max(lines - kHelpLines, 0);
}

void scroll(HelpState& help, int32_t step) {
  help.top = std::clamp(help.top + step, 0, highest_top(help));
}

void turn_page(HelpState& help, int32_t step) {
  help.page = (help.page + step + page_count()) % page_count();
  help.top = 0;
}

void draw_line(const Canvas& canvas, int32_t x, int32_t y, const std::string& text,
               uint32_t colour) {
  for (const char c : text) {
    draw_glyph(canvas, x, y, static_cast<uint8_t>(c), 0, colour);
    x += kHelpCharWidth;
  }
}

void draw(const HelpState& help, const ScreenContext& ctx) {
  const HelpPage& page = help_pages()[help.page];
  const std::string title =
      page.title + "  " + std::to_string(help.page + 1) + "/" + std::to_string(page_count());
  const int32_t width = static_cast<int32_t>(title.size()) * kHelpCharWidth;
  draw_line(ctx.canvas, (kHelpTitle.x1 + kHelpTitle.x2 + 1 - width) / 2, kHelpTitle.y1 + 3, title,
            kInk);
  const int32_t shown = std::min<int32_t>(kHelpLines, page.lines.size() - help.top);
  for (int32_t line = 0; line < shown; ++line) {
    const std::string& text = page.lines[help.top + line];
    const bool heading = text == "MOUSE" || text == "KEYS" || text == "PAGES";
    draw_line(ctx.canvas, kHelpTextX, kHelpTextY + line * kHelpLineHeight, text,
              heading ? kHeadingInk : kInk);
  }
}

}  // namespace

const std::vector<HelpPage>& help_pages() {
  static const std::vector<HelpPage> pages = build();
  return pages;
}

int32_t help_page_of(ScreenId screen) {
  for (int32_t n = 0; n < static_cast<int32_t>(std::size(kPages)); ++n)
    if (kPages[n].screen == screen_number(screen)) return n;
  return 0;
}

bool help_takes_key(int32_t key_index, int32_t modifiers) {
  return key_index != kKeyH || modifiers != kModifierAlt;
}

ScreenResult help_frame(HelpState& help, const ScreenContext& ctx, bool open, int32_t start_page) {
  if (!open) {
    help.shown = 0;
    return {false, false};
  }
  if (!help.shown) {
    help.shown = 1;
    help.page = std::clamp(start_page, 0, page_count() - 1);
    help.top = 0;
  }
  const FrameInput& input = ctx.input;
  switch (input.screen_key) {
    case kKeyUp:
      scroll(help, -1);
      break;
    case kKeyDown:
      scroll(help, 1);
      break;
    case kKeyLeft:
      turn_page(help, -1);
      break;
    case kKeyRight:
      turn_page(help, 1);
      break;
    case kKeyEsc:
      help.shown = 0;
      return {false, false};
    default:
      break;
  }
  // Turned towards the user (negative), the wheel shows later lines.
  if (input.wheel != 0) scroll(help, -3 * input.wheel);
  if (ctx.status.dialog == kDialogNone) {
    switch (hit_action(input, kHelpButtons)) {
      case HelpAction::kPreviousPage:
        turn_page(help, -1);
        break;
      case HelpAction::kNextPage:
        turn_page(help, 1);
        break;
      case HelpAction::kScrollUp:
        scroll(help, -1);
        break;
      case HelpAction::kScrollDown:
        scroll(help, 1);
        break;
      case HelpAction::kClose:
        help.shown = 0;
        return {false, true};
      case HelpAction::kNone:
        break;
    }
  }
  draw(help, ctx);
  return {true, input.left_held != 0 || input.right_down != 0};
}
