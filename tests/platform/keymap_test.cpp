// Physical keys through the raw-key layer and translate_key to the key codes
// and modifier bits the keyboard handler sees.
#include "platform/keymap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "engine/player.h"
#include "render/editor_state.h"
#include "shell/translate_key.h"

namespace {

// USB HID usage numbers.
constexpr int32_t kA = 4, kQ = 20, kZ = 29, kEscape = 41, kUp = 82, kF12 = 69, kSpace = 44;
constexpr int32_t kLeftCtrl = 224, kLeftShift = 225, kLeftAlt = 226, kLeftSuper = 227;
constexpr int32_t kRightCtrl = 228, kRightShift = 229, kRightAlt = 230, kRightSuper = 231;

struct Keyboard {
  PlatformInput input{};
  EditorState state{};
  // The keyboard handler acts on a player, as it does in the program.
  std::unique_ptr<Player, void (*)(Player*)> player{player_create(44100), player_destroy};

  Keyboard() { state.player = player.get(); }

  void press(int32_t scancode) { input_key_event(input, scancode, true); }
  void release(int32_t scancode) { input_key_event(input, scancode, false); }
  // One frame's translation of whatever the last event left.
  int32_t frame() {
    translate_key(input.raw_key, input.raw_qualifier, &state);
    return state.key_code;
  }
};

TEST(KeyTranslation, KeysSitWhereThePcKeysAre) {
  struct Case {
    int32_t scancode;
    int32_t key_code;
  };
  const Case cases[] = {
      {30, 0x02}, {39, 0x0B}, {45, 0x0C}, {46, 0x0D},     {42, 0x0E}, {43, 0x0F},  {kQ, 0x10},
      {48, 0x1B}, {40, 0x1C}, {kA, 0x1E}, {52, 0x28},     {49, 0x2B}, {50, 0x2B},  {100, 0x56},
      {kZ, 0x2C}, {56, 0x35}, {85, 0x37}, {kSpace, 0x39}, {58, 0x3B}, {67, 0x44},  {83, 0x45},
      {95, 0x47}, {97, 0x49}, {86, 0x4A}, {92, 0x4B},     {94, 0x4D}, {87, 0x4E},  {89, 0x4F},
      {91, 0x51}, {98, 0x52}, {99, 0x53}, {88, 0x9C},     {84, 0xB5}, {kUp, 0xC8}, {80, 0xCB},
      {79, 0xCD}, {81, 0xD0}, {76, 0xD3},
  };
  for (const Case& c : cases) {
    Keyboard k;
    k.press(c.scancode);
    EXPECT_EQ(k.frame(), c.key_code) << "scancode " << c.scancode;
    k.release(c.scancode);
    EXPECT_EQ(k.frame(), 0) << "release of scancode " << c.scancode;
  }
}

TEST(KeyTranslation, KeysWithoutACodeGiveNone) {
  // Escape pressed, F12 (the stereo key), the key left of 1, F11, qualifiers.
  for (int32_t scancode : {kEscape, kF12, 53, 68, kLeftShift, kLeftCtrl, kLeftAlt, kLeftSuper}) {
    Keyboard k;
    k.press(scancode);
    EXPECT_EQ(k.frame(), 0) << "scancode " << scancode;
  }
}

// Events "+key" (down), "-key" (up), "lost" (focus lost); each "f" is a
// frame, recorded as "code/modifiers" in hex.
std::string frames(const std::string& events, int32_t modifiers = 0) {
  const std::pair<const char*, int32_t> names[] = {{"a", kA},
                                                   {"q", kQ},
                                                   {"up", kUp},
                                                   {"esc", kEscape},
                                                   {"lshift", kLeftShift},
                                                   {"rshift", kRightShift},
                                                   {"lctrl", kLeftCtrl},
                                                   {"rctrl", kRightCtrl},
                                                   {"lalt", kLeftAlt},
                                                   {"ralt", kRightAlt},
                                                   {"lsuper", kLeftSuper},
                                                   {"rsuper", kRightSuper}};
  Keyboard k;
  k.state.modifiers = modifiers;
  std::istringstream in(events);
  std::string out;
  for (std::string e; in >> e;) {
    if (e == "f") {
      const int32_t code = k.frame();
      char text[16];
      std::snprintf(text, sizeof text, "%s%X/%X", out.empty() ? "" : " ", code, k.state.modifiers);
      out += text;
    } else if (e == "lost") {
      input_focus_lost(k.input);
    } else {
      for (const auto& [name, code] : names)
        if (e.substr(1) == name) input_key_event(k.input, code, e[0] == '+');
    }
  }
  return out;
}

TEST(KeyTranslation, KeySequences) {
  const std::tuple<const char*, const char*, int32_t> cases[] = {
      {"+esc f -esc f", "0/0 1/0", 0},  // Escape acts on release
      {"+rshift f f -rshift f", "36/0 36/0 0/0", 0},
      {"+lshift f +a f -lshift f", "0/1 1E/1 0/0", 0},
      {"+rshift +a f -a f", "1E/0 36/0", 0},  // back to the held right-hand key
      {"+ralt f +rsuper f +rshift f", "B8/0 9D/0 9D/0", 0},
      {"+rctrl f", "9D/0", 0},  // right Ctrl is the right command key
      {"+lctrl +lsuper f +lalt f", "0/C 0/E", 0},
      {"+lshift f", "0/31", 0x30},  // other bits stay
      {"+up -up f", "0/0", 0},
      {"+rshift +q lost f +a f", "0/0 1E/0", 0},  // nothing stays held
  };
  for (const auto& [events, expected, modifiers] : cases)
    EXPECT_EQ(frames(events, modifiers), expected) << events;
  EXPECT_EQ(raw_key_for_scancode(74), -1);  // Home: not on the keyboard we mirror
}

TEST(KeyTranslation, MouseButtonsSetAndClearTheirBits) {
  PlatformInput input{};
  input_button_event(input, 1, true);
  input_button_event(input, 3, true);
  EXPECT_EQ(input.buttons, kButtonLeft | kButtonRight);
  input_button_event(input, 2, true);  // middle: ignored
  input_button_event(input, 1, false);
  EXPECT_EQ(input.buttons, kButtonRight);
}

}  // namespace

TEST(KeyTranslation, LayoutCharacterBelongsToTheKeyThatTypedIt) {
  Keyboard k;
  k.press(kQ);
  input_text_event(k.input, "a");  // an AZERTY layout types 'a' on this key
  EXPECT_EQ(k.input.text_char, 'a');
  k.release(kQ);
  EXPECT_EQ(k.input.text_char, 0);
  k.press(kA);
  EXPECT_EQ(k.input.text_char, 0);        // no stale character from the last key
  input_text_event(k.input, "\xc3\xa9");  // non-ASCII is left to the key tables
  EXPECT_EQ(k.input.text_char, 0);
  input_text_event(k.input, "~");
  k.press(kZ);
  EXPECT_EQ(k.input.text_char, 0);
}
