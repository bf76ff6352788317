// Physical keys through the raw-key layer and translate_key to the key codes
// and modifier bits the keyboard handler sees; fitting the picture into
// windows of any size, mapping the pointer back, and the framebuffer's
// conversion to texture pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/player.h"
#include "platform/keymap.h"
#include "platform/pixels.h"
#include "platform/viewport.h"
#include "shell/editor_state.h"
#include "shell/translate_key.h"

namespace {

struct Keyboard {
  PlatformInput input{};
  EditorState state{};
  // The keyboard handler acts on a player, as it does in the program.
  std::unique_ptr<Player, void (*)(Player*)> player{player_create(44100), player_destroy};

  Keyboard() { state.player = player.get(); }
};

// Events "+n" / "-n" (the key with USB usage number n down / up: 4 A, 20 Q,
// 41 Escape, 82 cursor up; 224..227 left Ctrl, Shift, Alt, Super and
// 228..231 the right ones), "lost" (focus lost), "'c" (the layout typed c),
// "m<hex>" (modifier bits already set); each "f" is a frame, recorded as
// "code/modifiers/character" in hex.
std::string frames(const std::string& events) {
  Keyboard k;
  std::istringstream in(events);
  std::string out;
  for (std::string e; in >> e;) {
    if (e == "f") {  // one frame's translation of whatever the last event left
      translate_key(k.input.raw_key, k.input.raw_qualifier, &k.state);
      const int32_t code = k.state.input.key_code;
      char text[24];
      std::snprintf(text, sizeof text, " %X/%X/%X", code, k.state.input.modifiers,
                    k.input.text_char);
      out += text;
    } else if (e == "lost") {
      input_focus_lost(k.input);
    } else if (e[0] == '\'') {
      input_text_event(k.input, e.c_str() + 1);
    } else if (e[0] == 'm') {
      k.state.input.modifiers = std::stoi(e.substr(1), nullptr, 16);
    } else {
      input_key_event(k.input, std::stoi(e.substr(1)), e[0] == '+');
    }
  }
  return out.substr(1);
}

TEST(KeyTranslation, KeySequences) {
  const std::pair<const char*, const char*> cases[] = {
      // Keys sit where the PC keys are (Home and End as E0 47 and E0 4F);
      // the key left of 1 and F12 (the stereo key) give no code.
      {"+30 f +45 f +43 f +100 f +56 f +58 f +83 f +88 f +84 f +74 f +77 f +76 f +53 f +69 f",
       "2/0/0 C/0/0 F/0/0 56/0/0 35/0/0 3B/0/0 45/0/0 9C/0/0 B5/0/0 C7/0/0 CF/0/0 D3/0/0 0/0/0 "
       "0/0/0"},
      {"+41 f -41 f", "0/0/0 1/0/0"},  // Escape acts on release
      {"+229 f f -229 f", "36/0/0 36/0/0 0/0/0"},
      {"+225 f +4 f -225 f", "0/1/0 1E/1/0 0/0/0"},
      {"+229 +4 f -4 f", "1E/0/0 36/0/0"},  // back to the held right-hand key
      {"+230 f +231 f +229 f", "B8/0/0 9D/0/0 9D/0/0"},
      {"+228 f", "9D/0/0"},  // right Ctrl is the right command key
      {"+224 +227 f +226 f", "0/C/0 0/E/0"},
      {"m30 +225 f", "0/31/0"},                  // other bits stay
      {"+229 +20 lost f +4 f", "0/0/0 1E/0/0"},  // nothing stays held
      // The layout's character belongs to the key that typed it; only
      // printable ASCII is taken, the rest is left to the key tables.
      {"+20 'a f -20 f +4 f '\xc3\xa9 f '~ f '\x7f f +20 f",
       "10/0/61 0/0/0 1E/0/0 1E/0/0 1E/0/7E 1E/0/0 10/0/0"},
  };
  for (const auto& [events, expected] : cases) EXPECT_EQ(frames(events), expected) << events;
}

TEST(KeyTranslation, MouseButtonsAndTypedSpace) {
  PlatformInput input{};
  for (int button : {1, 3, 2}) input_button_event(input, button, true);  // middle: ignored
  EXPECT_EQ(input.buttons, kButtonLeft | kButtonRight);
  input_button_event(input, 1, false);
  input_text_event(input, " ");  // a space typed is a character too
  EXPECT_TRUE(input.buttons == kButtonRight && input.text_char == ' ');
}

constexpr int32_t kW = 320;
constexpr int32_t kH = 255;

// The largest whole scale from 1 to 4 that fits the desktop; windows are
// letterboxed at a whole scale, or shrunk keeping the aspect when smaller.
TEST(Display, ScaleViewportAndPointerFitTheWindow) {
  const int32_t scales[][3] = {{1920, 1040, 4}, {1366, 740, 2}, {1366, 768, 3}, {3840, 2160, 4},
                               {200, 100, 1},   {959, 765, 2},  {960, 765, 3}};
  for (const auto& s : scales) EXPECT_EQ(default_scale(s[0], s[1], kW, kH), s[2]) << s[0];
  const int32_t views[][6] = {// window, then x, y, width, height
                              {1000, 600, 180, 45, 640, 510},
                              {960, 765, 0, 0, 960, 765},
                              {160, 255, 0, 64, 160, 127},
                              {320, 100, 97, 0, 125, 100},
                              {319, 254, 0, 0, 318, 254}};
  for (const auto& v : views) {
    const Viewport got = fit_viewport(v[0], v[1], kW, kH);
    EXPECT_EQ((std::vector<int32_t>{got.x, got.y, got.width, got.height}),
              (std::vector<int32_t>{v[2], v[3], v[4], v[5]}))
        << v[0] << "x" << v[1];
  }
  // The pointer in a window at 2x from (180, 45) maps to picture pixels; in
  // the border it stays on the picture's edge and says it is off the picture.
  const int32_t pointer[][5] = {{381, 146, 100, 50, 1},  {179, 45, 0, 0, 0},
                                {5, 599, 0, 254, 0},     {999, 0, 319, 0, 0},
                                {819, 554, 319, 254, 1}, {820, 554, 319, 254, 0},
                                {819, 555, 319, 254, 0}, {180, 46, 0, 0, 1}};
  int32_t x = -1, y = -1;
  for (const auto& c : pointer) {
    const bool inside =
        output_to_picture(fit_viewport(1000, 600, kW, kH), kW, kH, c[0], c[1], &x, &y);
    EXPECT_TRUE(x == c[2] && y == c[3] && inside == (c[4] == 1))
        << c[0] << "," << c[1] << ": " << x << "," << y << " " << inside;
  }
  // An empty view: the corner, off the picture.
  EXPECT_FALSE(output_to_picture(Viewport{0, 0, 0, 0}, kW, kH, 5, 5, &x, &y));
  EXPECT_TRUE(x == 0 && y == 0);
}

TEST(Display, ConversionPacksRgbIntoWordsAndHonoursThePitch) {
  const uint8_t rgb[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  std::vector<uint32_t> out(2 * 3, 0xDEADBEEF);  // rows 3 words apart
  convert_rgb_to_xrgb(rgb, 2, 2, out.data(), 3 * 4);
  EXPECT_EQ(
      out, (std::vector<uint32_t>{0x010203, 0x040506, 0xDEADBEEF, 0x070809, 0x0A0B0C, 0xDEADBEEF}));
}

}  // namespace
