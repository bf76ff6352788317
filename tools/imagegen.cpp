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
#include "layout/picture.h"
#include "render/main_screen.h"

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
constexpr char kLeft = 99;
constexpr char kRight = 100;
constexpr char kTop = 101;
constexpr char kBottom = 102;

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
int row_bottom(int row) {
  return row * 11 + 10;
}

void arrow_pair(Sheet& c, int row, bool active) {
  const uint32_t colour = active ? kInk : kDim;
  button(c, 98, row_top(row), 108, row_bottom(row), std::string(1, kUp), colour);
  button(c, 109, row_top(row), 119, row_bottom(row), std::string(1, kDown), colour);
}

void left_column(Sheet& c) {
  // Row 0: song position, with insert and delete of an order entry.
  button(c, 1, 0, 39, 10, "POS");
  button(c, 40, 0, 50, 10, "I");
  button(c, 51, 0, 61, 10, "D");
  const char* labels[] = {"",       "PATTERN", "LENGTH",  "FINETUNE", "SAMPLE",
                          "VOLUME", "LENGTH",  "LOOP ST", "LOOP LEN"};
  for (int row = 0; row < 9; ++row) {
    if (row > 0) caption(c, 4, row_top(row) + 2, labels[row]);
    inset(c, 62, row_top(row), 97, row_bottom(row));
    arrow_pair(c, row, row != 6);  // a sample's length has no arrows of its own
  }
  // Song rows and sample rows are told apart by a groove.
  hline(c, 0, 61, 43, kShadow);
  hline(c, 0, 61, 44, kLight);
}

void transport(Sheet& c) {
  struct Face {
    int index;
    const char* text;
    uint32_t lamp;
  };
  const Face faces[] = {
      {2, "PLAY", kGreen}, {3, "PATTERN", kGreen}, {4, "EDIT", kBlue}, {5, "RECORD", kRed},
      {6, "STOP", 0},      {7, "CLEAR", 0},        {8, "EDIT OP", 0},  {9, "DISK OP", 0},
      {10, "SETUP", 0},    {11, "PRESETS", 0},     {12, "HELP", 0},    {13, "SAMPLER", 0},
  };
  for (const Face& f : faces) {
    ButtonRect r = kMainButtons[f.index];
    // Buttons of neighbouring rows share a pixel row; faces keep apart.
    if (r.y1 == 21) r.y1 = 22;
    button(c, r, f.text);
    if (f.lamp) lamp(c, r.x1 + 3, (r.y1 + r.y2) / 2 - 1, f.lamp);
  }
  for (int channel = 0; channel < 4; ++channel) {
    const int y1 = channel * 11, y2 = y1 + 10;
    button(c, 306, y1, 319, y2, std::string(1, static_cast<char>('1' + channel)));
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
  button(c, 287, 111, 319, 120, "LOAD");
}

void pattern_strip(Sheet& c) {
  hline(c, 0, 319, 121, kShadow);
  inset(c, 3, 124, 24, 136);
  // Tempo: the number sits over its two halves, up on the left, down right.
  inset(c, 26, 122, 59, 136);
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

// Requesters are drawn at (160, 51); their buttons are given in screen
// coordinates, as the button table holds them.
constexpr int kRequesterX = 160, kRequesterY = 51;

Sheet requester_frame() {
  Sheet c = sheet(112, 36, kFace);
  bevel(c, 0, 0, 111, 35, kEdge, kEdge);
  bevel(c, 1, 1, 110, 34, kLight, kShadow);
  return c;
}

void requester_button(Sheet& c, int index, const std::string& text, int hotkey) {
  const ButtonRect& r = kMainButtons[index];
  button(c, r.x1 - kRequesterX, r.y1 - kRequesterY, r.x2 - kRequesterX, r.y2 - kRequesterY, text,
         kInk, hotkey);
}

Sheet sure_image() {
  Sheet c = requester_frame();
  centred(c, 0, 3, 111, 14, "ARE YOU SURE ?");
  requester_button(c, 0, "YES", 0);
  requester_button(c, 1, "NO", 0);
  return c;
}

Sheet clear_image() {
  Sheet c = requester_frame();
  requester_button(c, 50, "SONG", 1);
  requester_button(c, 51, "SAMPLES", 0);
  requester_button(c, 52, "ALL", 0);
  requester_button(c, 53, "CANCEL", 0);
  return c;
}

// --- Disk-op panels --------------------------------------------------------

Sheet disk_op_image(int page) {
  Sheet c = sheet(kScreenWidth, 100, kPanel);
  const char* kinds[2][3] = {{"MODULE", "SONG", "SAMPLE"}, {"MODULE", "TRACK", "PATTERN"}};
  const char* options[2][3] = {{"PACK", "SMPLS", "TYPE"}, {"PACK", "FROM", "FROM"}};
  for (int row = 0; row < 3; ++row) {
    const int y1 = 11 * row, y2 = y1 + 10;
    raised(c, 0, y1, 82, y2, kPanel);
    caption(c, 4, y1 + 2, kinds[page][row]);
    raised(c, 83, y1, 145, y2);
    caption(c, 86, y1 + 2, options[page][row]);
    inset(c, 118, y1 + 1, 144, y2 - 1);
    inset(c, 146, y1, 155, y1 + 9, kFace);  // the row arrow's place
    button(c, 156, y1, 237, y2, "LOAD");
    button(c, 238, y1, 319, y2, "SAVE");
  }
  button(c, 0, 33, 10, 42, "V");
  inset(c, 11, 33, 176, 42);
  caption(c, 13, 35, "DIR", kShadow);
  button(c, 177, 33, 186, 42, page == 0 ? "1" : "2");
  button(c, 187, 33, 216, 42, std::string(1, kUp) + "DIR");
  raised(c, 217, 33, 307, 42, kPanel);
  centred(c, 217, 33, 307, 42, page == 0 ? "FILES 1/2" : "FILES 2/2", kShadow);
  // The list and its scroll column.
  inset(c, 0, 43, 306, 99, kGlass);
  // Lines are 6 pixels apart, as high as the glyphs: alternate bands.
  for (int line = 1; line < 8; line += 2) fill(c, 2, 46 + 6 * line, 304, 51 + 6 * line, kGlassBand);
  button(c, 308, 33, 319, 42, std::string(1, kTop));
  button(c, 308, 43, 319, 50, std::string(1, kUp));
  button(c, 308, 51, 319, 81, "X");
  button(c, 308, 82, 319, 89, std::string(1, kDown));
  button(c, 308, 90, 319, 99, std::string(1, kBottom));
  vline(c, 307, 33, 99, kShadow);
  return c;
}

// --- Sample-editor panel ---------------------------------------------------

// Drawn at (0, 121); rectangles below are in screen coordinates.
constexpr int kSamplePanelY = 121;

void sample_button(Sheet& c, int x1, int y1, int x2, int y2, const std::string& text) {
  button(c, x1, y1 - kSamplePanelY, x2, std::min(y2, 254) - kSamplePanelY, text);
}

Sheet sample_image() {
  Sheet c = sheet(kScreenWidth, kScreenHeight - kSamplePanelY, kPanel);
  const auto y = [](int screen_y) { return screen_y - kSamplePanelY; };
  hline(c, 0, 319, 0, kShadow);
  // Top strip: close button, title, the message line and the module size.
  sample_button(c, 6, 124, 25, 134, "X");
  caption(c, 32, y(127), "SAMPLER");
  inset(c, 84, y(124), 258, y(136));
  inset(c, 261, y(121) + 1, 315, y(131));
  // Waveform and scroll bar.
  inset(c, 0, y(137), 319, y(202), kGlass);
  for (int x = 3; x <= 316; x += 4) dot(c, x, y(169), kGlassLine);
  inset(c, 2, y(204), 317, y(211), kGlass);
  static const char kLeftText[] = {kLeft, 0}, kRightText[] = {kRight, 0};
  const struct {
    int x1, y1, x2, y2;
    const char* text;
  } buttons[] = {
      {32, 212, 95, 220, "PLAY"},       {96, 212, 175, 220, "ZOOM"},
      {176, 212, 245, 220, "ZOOM OUT"}, {0, 223, 30, 242, "STOP"},
      {32, 223, 95, 231, "PLAY VIEW"},  {96, 223, 175, 231, "SHOW ALL"},
      {176, 223, 245, 231, "MARK ALL"}, {246, 223, 319, 231, "LOOP"},
      {32, 234, 94, 242, "PLAY MARK"},  {96, 234, 114, 242, kLeftText},
      {116, 234, 135, 242, kRightText}, {136, 234, 174, 242, "SWAP"},
      {176, 234, 245, 242, "VOLUME"},   {246, 234, 319, 242, "TUNE"},
      {0, 245, 31, 256, "CUT"},         {32, 245, 63, 256, "COPY"},
      {64, 245, 95, 256, "PASTE"},      {96, 245, 135, 256, "BOOST"},
      {136, 245, 175, 256, "FILTER"},   {176, 245, 245, 256, "RESAMPLE"},
      {246, 245, 319, 256, "NOTE"},
  };
  for (const auto& b : buttons) sample_button(c, b.x1, b.y1, b.x2, b.y2, b.text);
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

// Loaded with the others but not shown by any screen yet: a titled panel,
// with a dark area for a list where it has one.
Sheet titled_panel(int width, const char* title, bool list) {
  Sheet c = sheet(width, 100, kPanel);
  bevel(c, 0, 0, width - 1, 99, kLight, kShadow);
  centred(c, 0, 4, width - 1, 14, title);
  if (list) inset(c, 4, 18, width - 5, 95, kGlass);
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
      {"hvhelp.png", titled_panel(kScreenWidth, "HELP", false)},
      {"hvposed.png", titled_panel(160, "POSITIONS", true)},
      {"hvsample.png", sample_image()},
      {"hvloopleft.png", loop_marker_image(true)},
      {"hvloopright.png", loop_marker_image(false)},
  };
  bool ok = true;
  for (const Output& output : outputs)
    ok = (check ? matches(output.image, dir, output.name) : save(output.image, dir, output.name)) &&
         ok;
  return ok ? 0 : 1;
}
