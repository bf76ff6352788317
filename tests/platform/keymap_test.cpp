// Physical keys through the raw-key layer and translate_key to the key codes
// and modifier bits the keyboard handler sees.
#include "platform/keymap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "engine/player.h"
#include "render/editor_state.h"
#include "shell/translate_key.h"

namespace {

// USB HID usage numbers.
constexpr int32_t kA = 4, kQ = 20, kZ = 29, kEscape = 41;

struct Keyboard {
  PlatformInput input{};
  EditorState state{};
  // The keyboard handler acts on a player, as it does in the program.
  std::unique_ptr<Player, void (*)(Player*)> player{player_create(44100), player_destroy};

  Keyboard() { state.player = player.get(); }
  // One frame's translation of whatever the last event left.
  int32_t frame() {
    translate_key(input.raw_key, input.raw_qualifier, &state);
    return state.key_code;
  }
};

// Escape pressed, F12 (the stereo key), the key left of 1, F11, Home and
// the qualifiers give no code of their own.
TEST(KeyTranslation, KeysSitWhereThePcKeysAre) {
  const int32_t cases[][2] = {
      {30, 0x02}, {39, 0x0B}, {45, 0x0C}, {46, 0x0D},   {42, 0x0E}, {43, 0x0F}, {kQ, 0x10},
      {48, 0x1B}, {40, 0x1C}, {kA, 0x1E}, {52, 0x28},   {49, 0x2B}, {50, 0x2B}, {100, 0x56},
      {kZ, 0x2C}, {56, 0x35}, {85, 0x37}, {44, 0x39},   {58, 0x3B}, {67, 0x44}, {83, 0x45},
      {95, 0x47}, {97, 0x49}, {86, 0x4A}, {92, 0x4B},   {94, 0x4D}, {87, 0x4E}, {89, 0x4F},
      {91, 0x51}, {98, 0x52}, {99, 0x53}, {88, 0x9C},   {84, 0xB5}, {82, 0xC8}, {80, 0xCB},
      {79, 0xCD}, {81, 0xD0}, {76, 0xD3}, {kEscape, 0}, {69, 0},    {53, 0},    {68, 0},
      {74, 0},    {224, 0},   {225, 0},   {226, 0},     {227, 0}};
  for (const auto& [scancode, key_code] : cases) {
    Keyboard k;
    input_key_event(k.input, scancode, true);
    EXPECT_EQ(k.frame(), key_code) << "scancode " << scancode;
    input_key_event(k.input, scancode, false);
    EXPECT_EQ(k.frame(), scancode == kEscape ? 1 : 0) << "release of scancode " << scancode;
  }
}

// Events "+key" (down), "-key" (up), "lost" (focus lost), "'c" (the layout
// typed c), "m<hex>" (modifier bits already set); each "f" is a frame,
// recorded as "code/modifiers/character" in hex.
std::string frames(const std::string& events) {
  const std::string names = " a q up esc lctrl lshift lalt lsuper rctrl rshift ralt rsuper ";
  const int32_t codes[] = {kA, kQ, 82, kEscape, 224, 225, 226, 227, 228, 229, 230, 231};
  Keyboard k;
  std::istringstream in(events);
  std::string out;
  for (std::string e; in >> e;) {
    if (e == "f") {
      const int32_t code = k.frame();
      char text[24];
      std::snprintf(text, sizeof text, " %X/%X/%X", code, k.state.modifiers, k.input.text_char);
      out += text;
    } else if (e == "lost") {
      input_focus_lost(k.input);
    } else if (e[0] == '\'') {
      input_text_event(k.input, e.c_str() + 1);
    } else if (e[0] == 'm') {
      k.state.modifiers = std::stoi(e.substr(1), nullptr, 16);
    } else if (const size_t at = names.find(" " + e.substr(1) + " "); at != std::string::npos) {
      const auto index = std::count(names.begin(), names.begin() + at, ' ');
      input_key_event(k.input, codes[index], e[0] == '+');
    }
  }
  return out.substr(1);
}

TEST(KeyTranslation, KeySequences) {
  const std::pair<const char*, const char*> cases[] = {
      {"+esc f -esc f", "0/0/0 1/0/0"},  // Escape acts on release
      {"+rshift f f -rshift f", "36/0/0 36/0/0 0/0/0"},
      {"+lshift f +a f -lshift f", "0/1/0 1E/1/0 0/0/0"},
      {"+rshift +a f -a f", "1E/0/0 36/0/0"},  // back to the held right-hand key
      {"+ralt f +rsuper f +rshift f", "B8/0/0 9D/0/0 9D/0/0"},
      {"+rctrl f", "9D/0/0"},  // right Ctrl is the right command key
      {"+lctrl +lsuper f +lalt f", "0/C/0 0/E/0"},
      {"m30 +lshift f", "0/31/0"},  // other bits stay
      {"+up -up f", "0/0/0"},
      {"+rshift +q lost f +a f", "0/0/0 1E/0/0"},  // nothing stays held
      // The layout's character belongs to the key that typed it; only
      // printable ASCII is taken, the rest is left to the key tables.
      {"+q 'a f -q f +a f '\xc3\xa9 f '~ f '\x7f f +q f",
       "10/0/61 0/0/0 1E/0/0 1E/0/0 1E/0/7E 1E/0/0 10/0/0"},
  };
  for (const auto& [events, expected] : cases) EXPECT_EQ(frames(events), expected) << events;
}

TEST(KeyTranslation, MouseButtonsAndTypedSpace) {
  PlatformInput input{};
  input_button_event(input, 1, true);
  input_button_event(input, 3, true);
  EXPECT_EQ(input.buttons, kButtonLeft | kButtonRight);
  input_button_event(input, 2, true);  // middle: ignored
  input_button_event(input, 1, false);
  EXPECT_EQ(input.buttons, kButtonRight);
  input_text_event(input, " ");  // a space typed is a character too
  EXPECT_EQ(input.text_char, ' ');
}

}  // namespace
