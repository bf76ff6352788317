// An editor state with a small module, and a keyboard that holds keys for
// whole frames the way the main loop delivers them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "../engine/module_builder.h"
#include "edit/keyboard.h"
#include "engine/player.h"
#include "render/editor_state.h"

namespace key_test {

// Key codes (PC set-1 scan codes, extended keys + 0x80).
enum : int32_t {
  kEsc = 0x01,
  kDigit1 = 0x02,
  kDigit2 = 0x03,
  kDigit3 = 0x04,
  kDigit4 = 0x05,
  kDigit5 = 0x06,
  kDigit0 = 0x0B,
  kBackspace = 0x0E,
  kTab = 0x0F,
  kQ = 0x10,
  kW = 0x11,
  kE = 0x12,
  kR = 0x13,
  kY = 0x15,
  kU = 0x16,
  kI = 0x17,
  kP = 0x19,
  kReturn = 0x1C,
  kA = 0x1E,
  kS = 0x1F,
  kD = 0x20,
  kF = 0x21,
  kL = 0x26,
  kZ = 0x2C,
  kX = 0x2D,
  kC = 0x2E,
  kV = 0x2F,
  kB = 0x30,
  kN = 0x31,
  kComma = 0x33,
  kSpace = 0x39,
  kF1 = 0x3B,
  kF2 = 0x3C,
  kF3 = 0x3D,
  kF4 = 0x3E,
  kF5 = 0x3F,
  kF6 = 0x40,
  kF7 = 0x41,
  kNum7 = 0x47,
  kLessThan = 0x56,
  kRightShift = 0x36,
  kRightAlt = 0xB8,
  kRightCommand = 0x9D,
  kUp = 0xC8,
  kLeft = 0xCB,
  kRight = 0xCD,
  kDown = 0xD0,
  kDelete = 0xD3,
};
enum : int32_t { kShift = 1, kAlt = 2, kCommand = 4, kCtrl = 8 };

struct PlayerDeleter {
  void operator()(Player* p) const { player_destroy(p); }
};

class KeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    player.reset(player_create(44100));
    state = std::make_unique<EditorState>();
    state->player = player.get();
    state->dialog = kDialogNone;
    state->current_sample = 1;
    state->edit_skip = 1;
    const int32_t marks[5] = {0, 16, 32, 48, 63};
    for (int i = 0; i < 5; ++i) state->row_marks[i] = marks[i];
    test_module::make_constant_sample(p(), 1, 1000, 20, 40);
    test_module::make_constant_sample(p(), 2, 3000, -20, 64);
    for (ChannelState& ch : p()->channels) ch.enabled = 1;
  }

  Player* p() { return player.get(); }
  EditorState* s() { return state.get(); }
  PatternCell& cell(int row, int channel, int pattern = 0) {
    return p()->patterns[pattern][row][channel];
  }

  // One frame with `key` held (0 = none) and the given modifiers.
  int32_t frame(int32_t key, int32_t modifiers = 0) {
    state->key_code = key;
    state->modifiers = modifiers;
    return handle_key(key, state.get());
  }
  // A whole press: `frames` frames held, then one frame released.
  void press(int32_t key, int32_t modifiers = 0, int frames = 1) {
    for (int i = 0; i < frames; ++i) frame(key, modifiers);
    frame(0, 0);
  }
  void edit_mode() { press(kSpace); }

  std::unique_ptr<Player, PlayerDeleter> player;
  std::unique_ptr<EditorState> state;
};

}  // namespace key_test
