// Draws every GUI image and the font of the program and writes them as
// 8-bit RGB PNG files. Usage: imagegen OUTDIR (normally the data directory);
// imagegen --check DIR compares the pictures in DIR with what it would draw.
//
// The look: putty-coloured panels with bevelled buttons, light inset fields
// for numbers and names, dark glass for the scopes, the file list and the
// waveform. Captions use the program's own glyphs at a 6-pixel pitch so
// they fit the button faces; the program draws its texts at 8 pixels.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/png_image.h"
#include "font_glyphs.h"
#include "layout/disk_op_layout.h"
#include "layout/edit_op_layout.h"
#include "layout/help_layout.h"
#include "layout/main_layout.h"
#include "layout/picture.h"
#include "layout/position_editor_layout.h"
#include "layout/presets_layout.h"
#include "layout/requester_layout.h"
#include "layout/sampler_layout.h"
#include "layout/setup_layout.h"

namespace {

// Palette.
constexpr uint32_t kPanel = 0xC6C1B5;
constexpr uint32_t kFace = 0xD8D2C5;
constexpr uint32_t kLight = 0xF4F0E6;
constexpr uint32_t kShadow = 0x80796B;
constexpr uint32_t kEdge = 0x4A463E;
constexpr uint32_t kInk = 0x24221E;
constexpr uint32_t kDim = 0x9A9385;
constexpr uint32_t kField = 0xF6F3EC;
constexpr uint32_t kGlass = 0x1B2427;
constexpr uint32_t kGlassLine = 0x2C3B40;
constexpr uint32_t kGlassBand = 0x243034;
constexpr uint32_t kGlassInk = 0x6F8C92;
constexpr uint32_t kPatternBack = 0xE7EAEF;
constexpr uint32_t kPatternBand = 0xD6DCE6;
constexpr uint32_t kRowNumberBack = 0xD3D8E0;
constexpr uint32_t kCurrentRow = 0xFFF0AA;
constexpr uint32_t kDivider = 0xAAB2BE;
constexpr uint32_t kGreen = 0x3E9E4C;
constexpr uint32_t kRed = 0xCC4135;
constexpr uint32_t kBlue = 0x3A5FCC;
constexpr uint32_t kAccent = 0xE5412B;
constexpr uint32_t kMarker = 0xF04A9C;

// Symbols in the font's last cells.
constexpr char kUp = 97;
constexpr char kDown = 98;
constexpr char kRight = 100;

constexpr int kCaptionPitch = 6;

struct Sheet {
  int width, height;
  std::vector<uint8_t> rgb;
};

Sheet sheet(int width, int height, uint32_t colour) {
  Sheet c{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (size_t i = 0; i < c.rgb.size(); i += 3) {
    c.rgb[i] = static_cast<uint8_t>(colour >> 16);
    c.rgb[i + 1] = static_cast<uint8_t>(colour >> 8);
    c.rgb[i + 2] = static_cast<uint8_t>(colour);
  }
  return c;
}

void dot(Sheet& c, int x, int y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
  uint8_t* p = c.rgb.data() + (static_cast<size_t>(y) * c.width + x) * 3;
  p[0] = static_cast<uint8_t>(colour >> 16);
  p[1] = static_cast<uint8_t>(colour >> 8);
  p[2] = static_cast<uint8_t>(colour);
}

// Rectangles are inclusive on all sides, as the button tables are.
void fill(Sheet& c, int x1, int y1, int x2, int y2, uint32_t colour) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) dot(c, x, y, colour);
}

void hline(Sheet& c, int x1, int x2, int y, uint32_t colour) {
  fill(c, x1, y, x2, y, colour);
}
void vline(Sheet& c, int x, int y1, int y2, uint32_t colour) {
  fill(c, x, y1, x, y2, colour);
}

void bevel(Sheet& c, int x1, int y1, int x2, int y2, uint32_t top_left, uint32_t bottom_right) {
  hline(c, x1, x2, y1, top_left);
  vline(c, x1, y1, y2, top_left);
  hline(c, x1, x2, y2, bottom_right);
  vline(c, x2, y1 + 1, y2, bottom_right);
}

void raised(Sheet& c, int x1, int y1, int x2, int y2, uint32_t face = kFace) {
  fill(c, x1, y1, x2, y2, face);
  bevel(c, x1, y1, x2, y2, kLight, kShadow);
}

void inset(Sheet& c, int x1, int y1, int x2, int y2, uint32_t inside = kField) {
  fill(c, x1, y1, x2, y2, inside);
  bevel(c, x1, y1, x2, y2, kShadow, kLight);
}

void glyph(Sheet& c, int x, int y, char code, uint32_t colour) {
  const int index = static_cast<uint8_t>(code) - 32;
  if (index < 0 || index >= kGlyphCount) return;
  const char* rows = kGlyphs[index];
  for (int r = 0; r < kGlyphRows; ++r)
    for (int i = 0; i < kGlyphColumns; ++i)
      if (rows[r * kGlyphColumns + i] == '#') dot(c, x + i, y + r, colour);
}

int caption_width(const std::string& text) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * kCaptionPitch - 1;
}

// Caption text: glyph ink starts at x, one character every 6 pixels.
void caption(Sheet& c, int x, int y, const std::string& text, uint32_t colour = kInk) {
  for (size_t i = 0; i < text.size(); ++i)
    glyph(c, x + static_cast<int>(i) * kCaptionPitch, y, text[i], colour);
}

void centred(Sheet& c, int x1, int y1, int x2, int y2, const std::string& text,
             uint32_t colour = kInk) {
  const int x = x1 + (x2 - x1 + 1 - caption_width(text)) / 2;
  const int y = y1 + (y2 - y1 + 1 - kGlyphRows) / 2;
  caption(c, x, y, text, colour);
}

// A button face with its caption centred; `hotkey` underlines one letter.
void button(Sheet& c, int x1, int y1, int x2, int y2, const std::string& text,
            uint32_t colour = kInk, int hotkey = -1) {
  raised(c, x1, y1, x2, y2);
  centred(c, x1, y1, x2, y2, text, colour);
  if (hotkey >= 0) {
    const int x = x1 + (x2 - x1 + 1 - caption_width(text)) / 2 + hotkey * kCaptionPitch;
    const int y = y1 + (y2 - y1 + 1 - kGlyphRows) / 2 + kGlyphRows;
    hline(c, x, x + kGlyphColumns - 1, y, colour);
  }
}

void button(Sheet& c, const ButtonRect& r, const std::string& text, uint32_t colour = kInk) {
  button(c, r.x1, r.y1, r.x2, r.y2, text, colour);
}

void inset(Sheet& c, const ButtonRect& r, uint32_t inside = kField) {
  inset(c, r.x1, r.y1, r.x2, r.y2, inside);
}

// The faces of the main screen's buttons: where a button's rectangle shares
// a pixel row with the one above (rows 21 and 32 of the transport), its face
// starts a row lower; the POS label's face reaches the top edge.
ButtonRect main_face(ButtonRect r) {
  if (r.y1 % 11 == 10) r.y1 += 1;
  if (r.y1 == 1) r.y1 = 0;
  return r;
}

template <typename Action, size_t N>
const ButtonRect& rect_of(const Button<Action> (&table)[N], Action action) {
  for (const Button<Action>& b : table)
    if (b.action == action) return b.rect;
  return table[0].rect;
}

template <typename Action, size_t N>
const char* caption_of(const Button<Action> (&table)[N], Action action) {
  for (const Button<Action>& b : table)
    if (b.action == action) return b.caption;
  return "";
}

// A small lamp at the left of a transport button, in the colour its mode
// gives the pointer.
void lamp(Sheet& c, int x, int y, uint32_t colour) {
  fill(c, x, y, x + 3, y + 3, colour);
  bevel(c, x, y, x + 3, y + 3, kShadow, kLight);
}

bool save(const Sheet& c, const std::string& dir, const char* name) {
  const std::string path = dir + "/" + name;
  if (write_png_rgb(path.c_str(), c.rgb.data(), c.width, c.height)) return true;
  std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
  return false;
}

// Pixels are compared, not file bytes, which depend on the zlib build.
bool matches(const Sheet& c, const std::string& dir, const char* name) {
  const std::string path = dir + "/" + name;
  Image* image = read_png_file(path.c_str());
  const bool same = image != nullptr && image->width == c.width && image->height == c.height &&
                    image->pixels == c.rgb;
  image_free(image);
  if (!same)
    std::fprintf(stderr, "imagegen: %s differs from what the generator draws\n", path.c_str());
  return same;
}

// --- The font -------------------------------------------------------------

Sheet font_image() {
  Sheet c = sheet(8, kGlyphCount * 8, 0x000000);
  for (int k = 0; k < kGlyphCount; ++k) glyph(c, 1, k * 8, static_cast<char>(32 + k), 0xFFFFFF);
  return c;
}

// --- The main screen ------------------------------------------------------

// Rows of the left column, 11 pixels each from the top.
int row_top(int row) {
  return row * 11;
}

void left_column(Sheet& c) {
  // Row 0 holds the song position's label with insert and delete of an
  // order entry; the other rows are labelled.
  const char* labels[] = {"",       "PATTERN", "LENGTH",  "FINETUNE", "SAMPLE",
                          "VOLUME", "LENGTH",  "LOOP ST", "LOOP LEN"};
  for (int row = 1; row < 9; ++row) caption(c, 4, row_top(row) + 2, labels[row]);
  for (const Button<MainAction>& b : kMainButtons) {
    if (b.rect.x2 > 119 || b.rect.y1 > 98) continue;  // the left column only
    if (!b.caption) {
      inset(c, b.rect);
      continue;
    }
    // A sample's length has no arrows of its own: they are drawn dim.
    const bool dim =
        b.action == MainAction::kSampleLengthUp || b.action == MainAction::kSampleLengthDown;
    button(c, main_face(b.rect), b.caption, dim ? kDim : kInk);
  }
  // Song rows and sample rows are told apart by a groove.
  hline(c, 0, 61, 43, kShadow);
  hline(c, 0, 61, 44, kLight);
}

void transport(Sheet& c) {
  // The modes' lamps, in the colour each mode gives the pointer.
  struct Lamp {
    MainAction action;
    uint32_t colour;
  };
  constexpr Lamp kLamps[] = {{MainAction::kPlaySong, kGreen},
                             {MainAction::kPlayPattern, kGreen},
                             {MainAction::kEdit, kBlue},
                             {MainAction::kRecord, kRed}};
  for (const Button<MainAction>& b : kMainButtons) {
    if (b.rect.x1 < 120 || b.rect.y1 > 43) continue;  // transport and channel switches
    const ButtonRect r = main_face(b.rect);
    button(c, r, b.caption);
    for (const Lamp& l : kLamps)
      if (l.action == b.action) lamp(c, r.x1 + 3, (r.y1 + r.y2) / 2 - 1, l.colour);
  }
}

void scopes(Sheet& c) {
  inset(c, 120, 44, 319, 98, kGlass);
  for (int channel = 0; channel < 4; ++channel) {
    const int x1 = 126 + 48 * channel, x2 = x1 + 43;
    fill(c, x1, 53, x2, 89, 0x202C30);
    bevel(c, x1, 53, x2, 89, kGlassLine, kGlassLine);
    for (int x = x1 + 2; x < x2; x += 4) dot(c, x, 71, kGlassLine);
    for (int y = 55; y < 89; y += 4) dot(c, x1 + 22, y, kGlassLine);
    caption(c, x1, 46, std::string("CH") + static_cast<char>('1' + channel), kGlassInk);
  }
}

void name_rows(Sheet& c) {
  hline(c, 0, 319, 99, kShadow);
  // Song row: multi-keyboard mark and edit skip, the name, the play time.
  inset(c, 14, 100, 33, 110);
  caption(c, 40, 102, "SONG");
  inset(c, 102, 100, 265, 110);
  inset(c, 268, 100, 315, 110);
  glyph(c, 289, 102, ':', kInk);  // between the minutes and the seconds
  // Sample row: the name and loading a sample by that name.
  caption(c, 40, 113, "SAMPLE");
  inset(c, 102, 111, 281, 120);
  // Its face keeps off the song row and inside the picture.
  const ButtonRect load = rect_of(kMainButtons, MainAction::kLoadSampleByName);
  button(c, load.x1, load.y1 + 1, std::min(load.x2, kScreenWidth - 1), load.y2,
         caption_of(kMainButtons, MainAction::kLoadSampleByName));
}

void pattern_strip(Sheet& c) {
  hline(c, 0, 319, 121, kShadow);
  inset(c, 3, 124, 24, 136);
  // Tempo: the number sits over its two halves, up on the left, down right.
  const ButtonRect up = rect_of(kMainButtons, MainAction::kTempoUp);
  const ButtonRect down = rect_of(kMainButtons, MainAction::kTempoDown);
  inset(c, up.x1, up.y1, down.x2, down.y2);
  glyph(c, 33, 130, kUp, kShadow);
  glyph(c, 50, 130, kDown, kShadow);
  caption(c, 62, 127, "BPM");
  inset(c, 84, 124, 258, 136);
  inset(c, 261, 121, 315, 131);
}

void pattern_area(Sheet& c) {
  fill(c, 0, 138, 319, 254, kPatternBack);
  hline(c, 0, 319, 138, kShadow);
  // Alternate bands help the eye follow a line across the four channels.
  for (int line = 0; line < 7; ++line) {
    const int above = 140 + 7 * line, below = 203 + 7 * line;
    if (line % 2 == 0) {
      fill(c, 0, above, 319, above + 6, kPatternBand);
      fill(c, 0, below, 319, std::min(below + 6, 254), kPatternBand);
    }
  }
  fill(c, 0, 189, 319, 202, kCurrentRow);
  hline(c, 0, 319, 203, kDivider);
  hline(c, 0, 319, 188, kDivider);
  for (int channel = 0; channel <= 4; ++channel) vline(c, 27 + 72 * channel, 139, 254, kDivider);
}

Sheet main_image() {
  Sheet c = sheet(kScreenWidth, kScreenHeight, kPanel);
  left_column(c);
  transport(c);
  scopes(c);
  name_rows(c);
  pattern_strip(c);
  pattern_area(c);
  return c;
}

// --- Small images ----------------------------------------------------------

Sheet channel_off_image(int channel) {
  Sheet c = sheet(14, 11, kShadow);
  bevel(c, 0, 0, 13, 10, kEdge, kDim);
  centred(c, 0, 0, 13, 10, std::string(1, static_cast<char>('1' + channel)), kDim);
  // A red bar across the number: this channel is silent.
  hline(c, 2, 11, 5, kRed);
  return c;
}

Sheet pointer_image() {
  // 'o' outline, '#' body, '.' transparent (red 0).
  static const char* const shape[16] = {
      "oo..............", "o#o.............", "o##o............", "o###o...........",
      "o####o..........", "o#####o.........", "o######o........", "o#######o.......",
      "o########o......", "o#####ooooo.....", "o##o##o.........", "o#o.o##o........",
      "oo..o##o........", "o....o##o.......", ".....o##o.......", "......oo........",
  };
  Sheet c = sheet(16, 16, 0x000000);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      if (shape[y][x] == 'o') dot(c, x, y, 0x302C28);
      if (shape[y][x] == '#') dot(c, x, y, 0xFFFFFF);
    }
  return c;
}

Sheet pattern_cursor_image() {
  // A frame around one character of the double-height row; black inside is
  // transparent, so the text shows through.
  Sheet c = sheet(12, 15, 0x000000);
  bevel(c, 0, 0, 11, 14, kAccent, kAccent);
  hline(c, 1, 10, 1, kAccent);
  hline(c, 1, 10, 13, kAccent);
  return c;
}

Sheet text_cursor_image() {
  return sheet(8, 3, kAccent);
}

Sheet disk_op_arrow_image() {
  Sheet c = sheet(10, 10, kFace);
  bevel(c, 0, 0, 9, 9, kShadow, kLight);
  glyph(c, 2, 1, kRight, kAccent);
  return c;
}

// Loop markers: green 0 is transparent. The start marker's line is its
// right column, the end marker's its left one; their flags point away from
// the loop, so the pair reads as brackets around it.
Sheet loop_marker_image(bool start) {
  Sheet c = sheet(4, 64, 0x000000);
  const int line = start ? 3 : 0;
  vline(c, line, 0, 63, kMarker);
  fill(c, 0, 0, 3, 4, kMarker);
  dot(c, start ? 0 : 3, 4, 0x000000);
  return c;
}

// --- Requesters ------------------------------------------------------------

// Requesters are drawn at (kRequesterX, kRequesterY); their buttons are
// given in screen coordinates, as the button tables hold them.
Sheet requester_frame() {
  Sheet c = sheet(112, 36, kFace);
  bevel(c, 0, 0, 111, 35, kEdge, kEdge);
  bevel(c, 1, 1, 110, 34, kLight, kShadow);
  return c;
}

template <size_t N>
void requester_buttons(Sheet& c, const RequesterButton (&table)[N]) {
  for (const RequesterButton& b : table) {
    const ButtonRect& r = b.button.rect;
    button(c, r.x1 - kRequesterX, r.y1 - kRequesterY, r.x2 - kRequesterX, r.y2 - kRequesterY,
           b.button.caption, kInk, b.hotkey);
  }
}

Sheet sure_image() {
  Sheet c = requester_frame();
  centred(c, 0, 3, 111, 14, "ARE YOU SURE ?");
  requester_buttons(c, kSureButtons);
  return c;
}

Sheet clear_image() {
  Sheet c = requester_frame();
  requester_buttons(c, kClearButtons);
  return c;
}

// --- Disk-op panels --------------------------------------------------------

Sheet disk_op_image(int page) {
  Sheet c = sheet(kScreenWidth, 100, kPanel);
  const char* kinds[2][3] = {{"MODULE", "SONG", "SAMPLE"}, {"MODULE", "TRACK", "PATTERN"}};
  const char* options[2][3] = {{"PACK", "SMPLS", "TYPE"}, {"PACK", "FROM", "FROM"}};
  // The kind rows' faces are 11 pixels apart; the path row's end above the
  // list. Hit rectangles reach a row further where rows meet.
  const auto face = [](ButtonRect r) {
    if (r.y1 < 33) r.y2 = r.y1 + 10;
    if (r.y1 == 33) r.y2 = 42;
    return r;
  };
  for (const Button<DiskAction>& b : kDiskButtons) {
    const ButtonRect r = face(b.rect);
    const int row = r.y1 / 11;
    switch (b.action) {
      case DiskAction::kRow0Label:
      case DiskAction::kRow1Label:
      case DiskAction::kRow2Label:
        raised(c, r.x1, r.y1, r.x2, r.y2, kPanel);
        caption(c, r.x1 + 4, r.y1 + 2, kinds[page][row]);
        break;
      case DiskAction::kRow0Switch:
      case DiskAction::kRow1Switch:
      case DiskAction::kRow2Switch:
        raised(c, r.x1, r.y1, r.x2, r.y2);
        caption(c, r.x1 + 3, r.y1 + 2, options[page][row]);
        inset(c, 118, r.y1 + 1, r.x2 - 1, r.y2 - 1);  // the switch's value
        break;
      case DiskAction::kRow0Select:
      case DiskAction::kRow1Select:
      case DiskAction::kRow2Select:
        inset(c, r.x1, r.y1, r.x2, r.y2 - 1, kFace);  // the row arrow's place
        break;
      case DiskAction::kPathField:
        inset(c, r);
        caption(c, r.x1 + 2, r.y1 + 2, "DIR", kShadow);
        break;
      case DiskAction::kPageToggle:
        button(c, r, page == 0 ? "1" : "2");
        break;
      case DiskAction::kFilesLabel:
        raised(c, r.x1, r.y1, r.x2, r.y2);  // the program writes the switch's state
        break;
      default:
        if (b.caption) button(c, r, b.caption);
        break;
    }
  }
  // The list and its scroll column.
  inset(c, 0, 43, 306, 99, kGlass);
  // Alternate bands under the lines.
  for (int line = 1; line < kListLines; line += 2) {
    const int top = kListY + kListLineHeight * line;
    fill(c, 2, top, 304, top + kListLineHeight - 1, kGlassBand);
  }
  vline(c, 307, 33, 99, kShadow);
  return c;
}

// --- Sample-editor panel ---------------------------------------------------

// Drawn at (0, kSamplePanelTop); rectangles below are in screen coordinates.
// Faces end at the picture's bottom row.
void sample_button(Sheet& c, const ButtonRect& r, const std::string& text) {
  button(c, r.x1, r.y1 - kSamplePanelTop, r.x2, std::min(r.y2, kScreenHeight - 1) - kSamplePanelTop,
         text);
}

Sheet sample_image() {
  Sheet c = sheet(kScreenWidth, kScreenHeight - kSamplePanelTop, kPanel);
  const auto y = [](int screen_y) { return screen_y - kSamplePanelTop; };
  hline(c, 0, 319, 0, kShadow);
  // Top strip: close button, title, the message line and the module size.
  caption(c, 32, y(127), "SAMPLER");
  inset(c, 84, y(124), 258, y(136));
  inset(c, 261, y(121) + 1, 315, y(131));
  // Waveform and scroll bar.
  inset(c, 0, y(137), 319, y(202), kGlass);
  for (int x = 3; x <= 316; x += 4) dot(c, x, y(169), kGlassLine);
  inset(c, 2, y(204), 317, y(211), kGlass);
  for (const Button<SamplerAction>& b : kSamplerButtons)
    if (b.caption) sample_button(c, b.rect, b.caption);
  caption(c, 249, y(214), "W");
  inset(c, 262, y(212), 315, y(221));
  // The loop switch and both notes show their value at x 289: move the
  // captions left and give the values a field.
  for (int top : {223, 234, 245}) {
    const int bottom = top == 245 ? 254 : top + 8;
    fill(c, 248, y(top) + 1, 286, y(bottom) - 1, kFace);
    caption(c, 251, y(top) + 1, top == 223 ? "LOOP" : top == 234 ? "TUNE" : "NOTE");
    inset(c, 287, y(top) + 1, 316, y(bottom) - 1);
  }
  return c;
}

// --- Help screen ---------------------------------------------------------------

// The whole picture: the buttons along the top, the page's title between
// them (drawn by the program) and a light field for the text.
Sheet help_image() {
  Sheet c = sheet(kScreenWidth, kScreenHeight, kPanel);
  for (const Button<HelpAction>& b : kHelpButtons) button(c, b.rect, b.caption);
  inset(c, kHelpTitle.x1 + 1, kHelpTitle.y1, kHelpTitle.x2 - 1, kHelpTitle.y2, kFace);
  inset(c, kHelpText);
  return c;
}

// --- Position editor -------------------------------------------------------

// Drawn at the panel's top-left; the button table is in screen coordinates.
Sheet position_editor_image() {
  const ButtonRect& p = kPositionPanel;
  Sheet c = sheet(p.x2 - p.x1 + 1, p.y2 - p.y1 + 1, kPanel);
  const auto local = [&p](ButtonRect r) {
    return ButtonRect{r.x1 - p.x1, r.y1 - p.y1, r.x2 - p.x1, r.y2 - p.y1};
  };
  // The song length beside the buttons.
  caption(c, 62, kPositionHeaderY - p.y1 + 1, "LEN");
  inset(c, kPositionLengthX - 3 - p.x1, 0, p.x2 - p.x1, 10);
  // The list, the arrows beside each line and the scroll column.
  inset(c, 0, 11, 107, p.y2 - p.y1, kGlass);
  for (int line = 1; line < kPositionLines; line += 2) {
    const int top = kPositionListY - p.y1 + kPositionLineHeight * line - 1;
    fill(c, 2, top, 105, top + kPositionLineHeight - 1, kGlassBand);
  }
  vline(c, 31, 12, p.y2 - p.y1 - 1, kGlassLine);
  for (const Button<PositionAction>& b : kPositionButtons) {
    const ButtonRect r = local(b.rect);
    switch (b.action) {
      case PositionAction::kPatternUp:
      case PositionAction::kPatternDown:
        for (int line = 0; line < kPositionLines; ++line)
          glyph(c, r.x1 + 2, kPositionListY - p.y1 + kPositionLineHeight * line,
                b.action == PositionAction::kPatternUp ? kUp : kDown, kGlassInk);
        break;
      case PositionAction::kScrollBar:
        inset(c, r, kFace);
        break;
      default:
        if (b.caption) button(c, r, b.caption);
        break;
    }
  }
  return c;
}

// --- Edit-op pages ---------------------------------------------------------

template <size_t N>
Sheet edit_op_image(int page, const char* title, const Button<EditOpAction> (&table)[N]) {
  Sheet c = sheet(kScreenWidth, kEditOpHeight, kPanel);
  hline(c, 0, 319, kEditOpHeight - 1, kShadow);
  centred(c, 60, 0, 295, 10, title);
  hline(c, 0, 319, 11, kShadow);
  for (const Button<EditOpAction>& b : table) {
    if (b.action == EditOpAction::kPage) {
      button(c, b.rect, std::string("PAGE ") + static_cast<char>('1' + page));
    } else if (b.action == EditOpAction::kOrderSlot) {
      for (int slot = 0; slot < 4; ++slot) {
        const int x = b.rect.x1 + slot * kOrderSlotWidth;
        inset(c, x, b.rect.y1, x + kOrderSlotWidth - 2, b.rect.y2);
      }
    } else if (b.caption) {
      button(c, b.rect, b.caption);
    }
  }
  return c;
}

void label(Sheet& c, int y, const char* text) {
  caption(c, 4, y + 3, text);
}

Sheet transpose_page() {
  Sheet c = edit_op_image(0, "TRANSPOSE", kTransposeButtons);
  label(c, 13, "SCOPE");
  label(c, 25, "NOTES");
  label(c, 37, "OUTSIDE");
  caption(c, 184, 40, "C-1 .. B-3", kShadow);
  return c;
}

Sheet record_page() {
  Sheet c = edit_op_image(1, "RECORD", kRecordButtons);
  label(c, 13, "RECORD");
  caption(c, 150, 16, "QUANTIZE");
  inset(c, 204, 13, 231, 23);
  label(c, 25, "METRONOME");
  caption(c, 106, 28, "CH");
  inset(c, 120, 25, 135, 35);
  caption(c, 164, 28, "ROWS");
  inset(c, 192, 25, 215, 35);
  label(c, 37, "AUTO FX");
  caption(c, 106, 40, "FX");
  inset(c, 120, 37, 135, 47);
  caption(c, 164, 40, "PARAM");
  inset(c, 200, 37, 223, 47);
  label(c, 49, "MULTI");
  caption(c, 150, 52, "SPLIT");
  // The split ranges: a header over each column, a number before each.
  for (int column = 0; column < 2; ++column) {
    const int x = column * kSplitRangeWidth;
    caption(c, x + kSplitNoteX, 64, "NOTE", kShadow);
    caption(c, x + kSplitSampleX - 1, 64, "SMP", kShadow);
    caption(c, x + kSplitTransposeX, 64, "TRN", kShadow);
    for (int row = 0; row < 2; ++row) {
      const int y = kSplitRangeTop + row * kSplitRangeHeight;
      caption(c, x + 3, y + 3, std::string(1, static_cast<char>('1' + row * 2 + column)));
      inset(c, x + kSplitNoteX - 1, y, x + 37, y + 10);
      inset(c, x + kSplitSampleX - 1, y, x + 75, y + 10);
      inset(c, x + kSplitTransposeX - 1, y, x + 121, y + 10);
    }
  }
  return c;
}

Sheet sample_tools_page() {
  Sheet c = edit_op_image(2, "SAMPLE TOOLS", kSampleToolsButtons);
  // A field for each value, the width of what is written in it.
  const auto field = [&c](const ValuePlace& at, int chars) {
    inset(c, at.x - 2, at.y - 2, at.x + 8 * chars, at.y + 8);
  };
  field(kCrossfadeValue, 4);
  field(kDelayValue, 5);
  field(kFeedbackValue, 3);
  caption(c, 108, 40, "+", kShadow);
  field(kMixAValue, 2);
  field(kMixBValue, 2);
  for (const ValuePlace& at : kIntervalValues) field(at, 3);
  caption(c, 240, 46, "TO", kShadow);
  field(kTargetValue, 2);
  return c;
}

// --- Setup panel -------------------------------------------------------------

// A page: the tabs with its own pressed in, then its lines.
Sheet setup_image(int page) {
  Sheet c = sheet(kScreenWidth, kSetupHeight, kPanel);
  hline(c, 0, 319, kSetupHeight - 1, kShadow);
  hline(c, 0, 319, 11, kShadow);
  const SetupPage& shown = kSetupPageTable[page];
  if (!shown.wide) vline(c, kSetupColumnWidth - 1, 12, kSetupHeight - 2, kShadow);
  for (const Button<SetupAction>& b : kSetupButtons)
    if (b.caption) button(c, b.rect, b.caption);
  for (int tab = 0; tab < kSetupPageCount; ++tab) {
    const int x1 = kSetupTabX + tab * kSetupTabWidth;
    const int x2 = x1 + kSetupTabWidth - 1;
    if (tab == page) {
      inset(c, x1, 0, x2, 10, kPanel);
      centred(c, x1, 0, x2, 10, kSetupPageTable[tab].tab);
    } else {
      button(c, x1, 0, x2, 10, kSetupPageTable[tab].tab, kShadow);
    }
  }
  for (int place = 0; place < kSetupSlots; ++place) {
    const SetupLine& line = shown.lines[place];
    if (!line.caption) continue;
    const int x = place / kSetupLines * kSetupColumnWidth;
    const int y = kSetupTop + place % kSetupLines * kSetupLineHeight;
    caption(c, x + kSetupCaptionX, y + 2, line.caption);
    if (line.step == 0) {  // a text: no arrows, across the panel on a page of one column
      inset(c, x + kSetupValueX, y, shown.wide ? kSetupWideEnd : x + kSetupValueEnd, y + 10);
      continue;
    }
    inset(c, x + kSetupValueX, y, x + kSetupValueEnd, y + 10);
    button(c, x + kSetupDownX, y, x + kSetupUpX - 1, y + 10, std::string(1, kDown));
    button(c, x + kSetupUpX, y, x + kSetupUpX + 11, y + 10, std::string(1, kUp));
  }
  return c;
}

// --- Presets panel -------------------------------------------------------------

Sheet presets_image() {
  Sheet c = sheet(kScreenWidth, kPresetsHeight, kPanel);
  hline(c, 0, 319, kPresetsHeight - 1, kShadow);
  centred(c, 100, 0, 295, 10, "PRESETS");
  for (const Button<PresetsAction>& b : kPresetsButtons) {
    if (b.action == PresetsAction::kLines) {
      inset(c, b.rect, kGlass);
      for (int line = 1; line < kPresetLines; line += 2) {
        const int top = kPresetListY + kPresetLineHeight * line - 1;
        fill(c, 2, top, b.rect.x2 - 2, top + kPresetLineHeight - 1, kGlassBand);
      }
    } else if (b.caption) {
      button(c, b.rect, b.caption);
    }
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: imagegen OUTDIR | imagegen --check DIR\n");
    return 2;
  }
  const std::string dir = argv[argc - 1];
  struct Output {
    const char* name;
    Sheet image;
  };
  const Output outputs[] = {
      {"hvmain.png", main_image()},
      {"hvfont.png", font_image()},
      {"hvcurs.png", pattern_cursor_image()},
      {"hvpnt.png", pointer_image()},
      {"hvdisk.png", disk_op_image(0)},
      {"hvsure.png", sure_image()},
      {"hvtextcurs.png", text_cursor_image()},
      {"hvclear.png", clear_image()},
      {"hvdiskoparrow.png", disk_op_arrow_image()},
      {"chan1off.png", channel_off_image(0)},
      {"chan2off.png", channel_off_image(1)},
      {"chan3off.png", channel_off_image(2)},
      {"chan4off.png", channel_off_image(3)},
      {"hvdisk2.png", disk_op_image(1)},
      {"hvhelp.png", help_image()},
      {"hvposed.png", position_editor_image()},
      {"hvsample.png", sample_image()},
      {"hvloopleft.png", loop_marker_image(true)},
      {"hvloopright.png", loop_marker_image(false)},
      {"hveditop1.png", transpose_page()},
      {"hveditop2.png", record_page()},
      {"hveditop3.png", sample_tools_page()},
      {"hvsetup1.png", setup_image(0)},
      {"hvsetup2.png", setup_image(1)},
      {"hvsetup3.png", setup_image(2)},
      {"hvsetup4.png", setup_image(3)},
      {"hvpresets.png", presets_image()},
  };
  bool ok = true;
  for (const Output& output : outputs)
    ok = (check ? matches(output.image, dir, output.name) : save(output.image, dir, output.name)) &&
         ok;
  return ok ? 0 : 1;
}
