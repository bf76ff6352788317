// An editor state for screen tests, built without the real image files:
// a flat grey background and a font whose cells can be read back from the
// framebuffer, so drawn text is checked as text.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/player.h"
#include "layout/picture.h"
#include "shell/editor_state.h"

namespace screen_test {

constexpr uint32_t kBackground = 0x808080;

inline void set_image_pixel(Image& image, int32_t x, int32_t y, uint32_t colour) {
  uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * 3;
  p[0] = static_cast<uint8_t>(colour >> 16);
  p[1] = static_cast<uint8_t>(colour >> 8);
  p[2] = static_cast<uint8_t>(colour);
}

inline Image make_flat(int32_t width, int32_t height, uint32_t colour) {
  Image image{3, width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) set_image_pixel(image, x, y, colour);
  return image;
}

// Cell k of the test font inks only its top row: columns 0..5 hold the
// low six bits of k (enough for codes 32..95, all that text reaches) and
// column 6 is always ink, so a drawn character can be told from an empty
// place and identified from one pixel row. Column 7 stays empty, as the
// gap between characters.
inline Image make_font() {
  Image font = make_flat(8, 72 * 8, 0);
  for (int k = 0; k < 72; ++k)
    for (int i = 0; i < 7; ++i)
      if (i == 6 || (k & (1 << i))) set_image_pixel(font, i, k * 8, 0xFF0000);
  return font;
}

struct Screen {
  std::vector<uint8_t> framebuffer = std::vector<uint8_t>(kFramebufferBytes);
  Image main = make_flat(kScreenWidth, kScreenHeight, kBackground);
  Image font = make_font();
  Image cursor = make_flat(4, 2, 0);
  Image pointer = make_flat(16, 16, 0);
  Image chan_off[kChannels] = {make_flat(14, 10, 0x110000), make_flat(14, 10, 0x220000),
                               make_flat(14, 10, 0x330000), make_flat(14, 10, 0x440000)};
  Image disk = make_flat(kScreenWidth, 99, 0x203040);
  Image disk2 = make_flat(kScreenWidth, 99, 0x304050);
  Image sample_panel = make_flat(kScreenWidth, kScreenHeight - 121, 0x405060);
  Image requester = make_flat(100, 40, 0x506070);
  Image text_cursor = make_flat(8, 2, 0xFFFFFF);
  EditorState state{};

  Screen() {
    // Cursor: left half red (copied), right half black (transparent).
    set_image_pixel(cursor, 0, 0, 0xFF0000);
    set_image_pixel(cursor, 1, 1, 0xFF0000);
    state.canvas.pixels = framebuffer.data();
    state.player = player_create(44100);
    state.player->history = &state.history;
    state.images.main = &main;
    state.images.font = &font;
    state.canvas.font = &font;
    state.images.cursor = &cursor;
    state.images.pointer = &pointer;
    state.images.chan1off = &chan_off[0];
    state.images.chan2off = &chan_off[1];
    state.images.chan3off = &chan_off[2];
    state.images.chan4off = &chan_off[3];
    state.images.disk = &disk;
    state.images.disk2 = &disk2;
    state.images.sample = &sample_panel;
    state.images.sure = &requester;
    state.images.clear = &requester;
    state.images.textcursor = &text_cursor;
    // The non-zero starting values of a freshly created editor state.
    std::strcpy(state.status.message, "ALL RIGHT");
    state.status.dialog = kDialogNone;
    state.selection.current_sample = 1;
    state.selection.edit_skip = 1;
  }
  ~Screen() {
    history_clear(state.history);
    player_destroy(state.player);
  }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  Player& player() { return *state.player; }

  uint32_t pixel(int32_t x, int32_t y) const {
    const uint8_t* p = framebuffer.data() + (static_cast<size_t>(y) * kScreenWidth + x) * 3;
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
  }

  // The character drawn in `colour` with its top-left corner at (x, y), in
  // its folded (upper-case) form; '\0' when nothing is drawn there.
  char char_at(int32_t x, int32_t y, uint32_t colour) const {
    if (pixel(x + 6, y) != colour) return '\0';
    int code = 0;
    for (int i = 0; i < 6; ++i)
      if (pixel(x + i, y) == colour) code |= 1 << i;
    return static_cast<char>(32 + code);
  }

  // `count` characters from (x, y); an empty place reads as '.'.
  std::string text_at(int32_t x, int32_t y, int32_t count, uint32_t colour = 0) const {
    std::string text;
    for (int32_t i = 0; i < count; ++i) {
      const char c = char_at(x + 8 * i, y, colour);
      text += c ? c : '.';
    }
    return text;
  }

  // True when no pixel of rows y0..y1 between x0 and x1 differs from the
  // background.
  bool blank(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
    for (int32_t y = y0; y <= y1; ++y)
      for (int32_t x = x0; x <= x1; ++x)
        if (pixel(x, y) != kBackground) return false;
    return true;
  }
};

}  // namespace screen_test
