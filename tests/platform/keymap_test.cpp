// Physical keys through the raw-key layer and translate_key to the key codes
// and modifier bits the keyboard handler sees.
#include "platform/keymap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

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
  EXPECT_EQ(raw_key_for_scancode(74), -1);  // Home: not on the keyboard we mirror
}

TEST(KeyTranslation, EscapeActsOnRelease) {
  Keyboard k;
  k.press(kEscape);
  EXPECT_EQ(k.input.raw_key, 0x45);
  EXPECT_EQ(k.frame(), 0);
  k.release(kEscape);
  EXPECT_EQ(k.input.raw_key, 0xC5);
  EXPECT_EQ(k.frame(), 0x01);
}

TEST(KeyTranslation, RightShiftAloneIsAKeyEveryFrame) {
  Keyboard k;
  k.press(kRightShift);
  EXPECT_EQ(k.frame(), 0x36);
  EXPECT_EQ(k.frame(), 0x36);
  EXPECT_EQ(k.state.modifiers & 1, 0);
  k.release(kRightShift);
  EXPECT_EQ(k.frame(), 0);
}

TEST(KeyTranslation, LeftShiftIsAModifierOnly) {
  Keyboard k;
  k.press(kLeftShift);
  EXPECT_EQ(k.frame(), 0);
  EXPECT_EQ(k.state.modifiers, 1);
  k.press(kA);
  EXPECT_EQ(k.frame(), 0x1E);
  EXPECT_EQ(k.state.modifiers, 1);
  k.release(kLeftShift);
  k.frame();
  EXPECT_EQ(k.state.modifiers, 0);
}

TEST(KeyTranslation, KeyWithRightShiftHeldWins) {
  Keyboard k;
  k.press(kRightShift);
  k.press(kA);
  EXPECT_EQ(k.frame(), 0x1E);
  EXPECT_EQ(k.state.modifiers & 1, 0);
  // Releasing A while right Shift is still down falls back to its code.
  k.release(kA);
  EXPECT_EQ(k.frame(), 0x36);
}

TEST(KeyTranslation, LaterRightHandQualifierWins) {
  Keyboard k;
  k.press(kRightAlt);
  EXPECT_EQ(k.frame(), 0xB8);
  k.press(kRightSuper);
  EXPECT_EQ(k.frame(), 0x9D);
  k.press(kRightShift);
  EXPECT_EQ(k.frame(), 0x9D);
}

TEST(KeyTranslation, RightCtrlIsTheRightCommandKey) {
  Keyboard k;
  k.press(kRightCtrl);
  EXPECT_EQ(k.input.raw_qualifier, kQualRightCommand);
  EXPECT_EQ(k.frame(), 0x9D);
  EXPECT_EQ(k.state.modifiers & 8, 0);
}

TEST(KeyTranslation, CtrlWithLeftCommandGivesTwelve) {
  Keyboard k;
  k.press(kLeftCtrl);
  k.press(kLeftSuper);
  k.frame();
  EXPECT_EQ(k.state.modifiers, 12);
  k.press(kLeftAlt);
  k.frame();
  EXPECT_EQ(k.state.modifiers, 14);
}

TEST(KeyTranslation, OtherModifierBitsAreKept) {
  Keyboard k;
  k.state.modifiers = 0x30;
  k.press(kLeftShift);
  k.frame();
  EXPECT_EQ(k.state.modifiers, 0x31);
}

TEST(KeyTranslation, ReleaseOfAnOrdinaryKeyGivesNoKey) {
  Keyboard k;
  k.press(kUp);
  k.release(kUp);
  EXPECT_EQ(k.input.raw_key, 0xCC);
  EXPECT_EQ(k.frame(), 0);
}

TEST(KeyTranslation, FocusLossForgetsHeldKeys) {
  Keyboard k;
  k.press(kRightShift);
  k.press(kQ);
  input_button_event(k.input, 1, true);
  input_focus_lost(k.input);
  EXPECT_EQ(k.frame(), 0);
  EXPECT_EQ(k.input.buttons, 0);
  // The release that never came does not leave Shift held for the next key.
  k.press(kA);
  EXPECT_EQ(k.input.raw_qualifier, 0);
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
