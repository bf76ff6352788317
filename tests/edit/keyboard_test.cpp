// The command keys, driven through handle_key frame by frame as the main
// loop delivers them, checked on the cells, cursor, clipboards and player.
#include "edit/keyboard.h"

#include <gtest/gtest.h>

#include <cstring>

#include "edit/requesters.h"
#include "key_fixture.h"

namespace {

using namespace key_test;

constexpr int32_t kUnknownKey = 0x59;  // a scan code no table holds

class Keyboard : public KeyTest {
 protected:
  void SetUp() override {
    KeyTest::SetUp();
    // A few notes in channels 0 and 1 of pattern 0: c-3 d-3 e-3 f-3 on
    // rows 0..3 of channel 0 (sample 1), g-2 on row 0 of channel 1 (sample 2).
    const int32_t periods[4] = {214, 190, 170, 160};
    for (int r = 0; r < 4; ++r) test_module::set_cell(p(), 0, r, 0, periods[r], 1, 0xC, 0x20 + r);
    test_module::set_cell(p(), 0, 0, 1, 285, 2, 0, 0);
    p()->pattern_count = 2;
  }
};

TEST_F(Keyboard, NoteAndDigitsWithTheEditSkip) {
  press(kDigit3, kCtrl);
  EXPECT_EQ(s()->edit_skip, 3);
  EXPECT_STREQ(s()->message, "EDITSKIP = 3");
  press(kTab);
  press(kTab);  // channel 2: empty
  edit_mode();
  press(kW);  // d-3
  EXPECT_EQ(cell(0, 2).period, 190);
  EXPECT_EQ(cell(0, 2).sample, 1);
  EXPECT_EQ(p()->shown_row, 3);
  // Sample number, then effect and parameter digits, each on its own row.
  press(kRight);  // sample high digit
  press(kDigit1);
  EXPECT_EQ(cell(3, 2).sample, 0x10);
  EXPECT_EQ(p()->shown_row, 6);
  press(kRight);
  press(kRight);  // effect
  press(kC);
  EXPECT_EQ(cell(6, 2).effect, 0xC);
  press(kRight);  // parameter high digit
  press(kDigit4);
  EXPECT_EQ(cell(9, 2).param_hi, 4);
  // The other channels were not touched.
  EXPECT_EQ(cell(3, 1).period, 0);
  EXPECT_EQ(cell(3, 3).sample, 0);
}

TEST_F(Keyboard, CursorMovesAndWrapsAroundTheChannels) {
  press(kLeft);  // from channel 0, note column
  EXPECT_EQ(s()->cursor_channel, 3);
  EXPECT_EQ(s()->cursor_column, 5);
  press(kRight);
  EXPECT_EQ(s()->cursor_channel, 0);
  EXPECT_EQ(s()->cursor_column, 0);
  press(kTab, kShift);
  EXPECT_EQ(s()->cursor_channel, 3);
  press(kTab);
  EXPECT_EQ(s()->cursor_channel, 0);
  press(kUp);  // stopped: rows wrap
  EXPECT_EQ(p()->shown_row, 63);
  press(kDown);
  EXPECT_EQ(p()->shown_row, 0);
}

TEST_F(Keyboard, HeldKeysRepeatEveryFifthFrameAndOnceKeysActOnce) {
  press(kRight, 0, 11);  // acts in frames 1, 6 and 11
  EXPECT_EQ(s()->cursor_column, 3);
  press(kDown, kShift, 7);  // Shift+Down: every third frame, 1, 4, 7
  EXPECT_EQ(p()->shown_row, 3);
  press(kDown, kAlt, 4);  // Alt+Down: every second frame
  EXPECT_EQ(p()->shown_row, 5);
  // Space toggles once per press however long it is held.
  press(kSpace, 0, 30);
  EXPECT_EQ(s()->pointer_colour, 3);
  press(kSpace, 0, 30);
  EXPECT_EQ(s()->pointer_colour, 0);
}

TEST_F(Keyboard, KeyPressedBeforeTheLastIsReleasedStillActs) {
  frame(kSpace);  // edit mode, a once-per-press key
  frame(kTab);    // Tab went down before Space came up
  frame(0);
  EXPECT_EQ(s()->pointer_colour, 3);
  EXPECT_EQ(s()->cursor_channel, 1);
}

TEST_F(Keyboard, HeldRecordKeyReturningAfterANoteDoesNotRestart) {
  frame(kRightShift);  // record from row 0
  p()->row = 9;
  frame(kQ);           // a note typed with right Shift still down
  frame(kRightShift);  // Q let go: the held right Shift is the key again
  frame(kRightShift);
  frame(0);
  EXPECT_EQ(p()->row, 9);
  EXPECT_EQ(p()->play_mode, kPlayPattern);
}

TEST_F(Keyboard, PlayRecordAndStopKeys) {
  p()->row = 17;
  press(kRightAlt);
  EXPECT_EQ(p()->play_mode, kPlaySong);
  EXPECT_EQ(p()->row, 0);
  EXPECT_EQ(s()->pointer_colour, 1);
  press(kRightCommand);
  EXPECT_EQ(p()->play_mode, kPlayPattern);
  EXPECT_EQ(s()->pointer_colour, 1);
  press(kRightShift);
  EXPECT_EQ(p()->play_mode, kPlayPattern);
  EXPECT_EQ(s()->pointer_colour, 3);  // record: editing while it plays
  p()->channels[2].sample = 1;
  press(kSpace);
  EXPECT_EQ(p()->play_mode, kStopped);
  EXPECT_EQ(s()->pointer_colour, 0);
  EXPECT_EQ(p()->channels[2].sample, 0);
  // While playing, Up and Down leave the rows to the replayer.
  press(kRightAlt);
  p()->shown_row = 10;
  press(kDown);
  EXPECT_EQ(p()->shown_row, 10);
}

TEST_F(Keyboard, NavigationKeysStopAtTheirBounds) {
  press(kLeft, kCtrl);
  EXPECT_EQ(s()->current_sample, 1);
  for (int i = 0; i < 40; ++i) press(kRight, kCtrl);
  EXPECT_EQ(s()->current_sample, 31);
  press(kLeft, kShift);
  EXPECT_EQ(p()->song_position, 0);
  p()->song_position = 127;
  press(kRight, kShift);
  EXPECT_EQ(p()->song_position, 127);
  press(kRight, kAlt);
  EXPECT_EQ(p()->current_pattern, 1);
  press(kLeft, kAlt);
  press(kLeft, kAlt);
  EXPECT_EQ(p()->current_pattern, 0);
  press(kNum7);
  EXPECT_EQ(s()->current_sample, 5);
}

TEST_F(Keyboard, TransposeTheTrackAndThePattern) {
  press(kDigit3, kCommand);  // the cursor channel's track, a semitone up
  EXPECT_EQ(cell(0, 0).period, 202);
  EXPECT_EQ(cell(3, 0).period, 151);
  EXPECT_EQ(cell(0, 1).period, 285);  // other channels stay
  press(kR, kCommand);                // the whole pattern, a semitone down
  EXPECT_EQ(cell(0, 0).period, 214);
  EXPECT_EQ(cell(0, 1).period, 302);
  press(kDigit1, kCommand);  // sample 1 in the track: still only channel 0
  EXPECT_EQ(cell(0, 0).period, 202);
  s()->current_sample = 2;
  press(kDigit1, kCommand);  // no note of sample 2 in channel 0
  EXPECT_EQ(cell(0, 0).period, 202);
  press(kDigit2, kCommand);  // sample 2 anywhere in the pattern
  EXPECT_EQ(cell(0, 1).period, 285);
  EXPECT_EQ(cell(0, 0).period, 202);
}

TEST_F(Keyboard, TrackAndPatternClipboards) {
  press(kF4, kShift);  // copy track 0
  press(kTab);
  press(kF5, kShift);  // paste it into channel 1
  for (int r = 0; r < 4; ++r) EXPECT_EQ(cell(r, 1).period, cell(r, 0).period) << r;
  EXPECT_EQ(cell(0, 1).sample, 1);

  press(kF4, kAlt);     // copy pattern 0
  press(kRight, kAlt);  // to pattern 1
  press(kF5, kAlt);
  EXPECT_EQ(std::memcmp(p()->patterns[1], p()->patterns[0], sizeof p()->patterns[0]), 0);
}

TEST_F(Keyboard, CutTrackThenUndoBringsItBack) {
  PatternCell before[kRows][kChannels];
  std::memcpy(before, p()->patterns[0], sizeof before);
  press(kF3, kShift);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(cell(r, 0).period, 0) << r;
  EXPECT_EQ(cell(0, 1).period, 285);
  press(kU, kCtrl);
  EXPECT_EQ(std::memcmp(before, p()->patterns[0], sizeof before), 0);
}

TEST_F(Keyboard, HeldClipboardKeysActOncePerPress) {
  PatternCell before[kRows][kChannels];
  std::memcpy(before, p()->patterns[0], sizeof before);
  press(kF3, kShift, 30);  // a long press: one cut
  press(kTab);
  press(kF5, kShift, 30);  // the cut track, not an empty one
  for (int r = 0; r < 4; ++r) EXPECT_EQ(cell(r, 1).period, before[r][0].period) << r;
  press(kU, kCtrl);  // undo takes back the paste alone
  EXPECT_EQ(std::memcmp(&before[0][1], &cell(0, 1), sizeof(PatternCell)), 0);
  EXPECT_EQ(cell(0, 0).period, 0);
}

TEST_F(Keyboard, BlockCopyAndPasteThroughTheKeys) {
  p()->shown_row = 1;
  press(kB, kCtrl);  // anchor at row 1
  press(kDown);
  press(kDown);      // cursor at row 3
  press(kC, kCtrl);  // copy rows 1..3
  p()->shown_row = 20;
  press(kP, kCtrl);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(cell(20 + k, 0).period, cell(1 + k, 0).period) << k;
  EXPECT_EQ(cell(23, 0).period, 0);
}

TEST_F(Keyboard, MutesSoloAndAllOn) {
  p()->channels[1].sample = 2;
  press(kX, kAlt);  // channel 2 of 1..4
  EXPECT_EQ(p()->channels[1].enabled, 0);
  EXPECT_EQ(p()->channels[1].sample, 0);  // silenced as well
  press(kX, kAlt);
  EXPECT_EQ(p()->channels[1].enabled, 1);
  press(kTab);
  press(kTab);  // cursor on channel 2
  press(kA, kCtrl | kShift);
  EXPECT_EQ(p()->channels[0].enabled, 0);
  EXPECT_EQ(p()->channels[2].enabled, 1);
  EXPECT_EQ(p()->channels[3].enabled, 0);
  press(kA, kCtrl);  // the cursor channel off too
  EXPECT_EQ(p()->channels[2].enabled, 0);
  press(kQ, kCtrl);
  for (const ChannelState& ch : p()->channels) EXPECT_EQ(ch.enabled, 1);
}

TEST_F(Keyboard, DeleteClearsNoteOrEffectInEditModeOnly) {
  press(kDelete);
  EXPECT_EQ(cell(0, 0).period, 214);  // not in edit mode
  edit_mode();
  press(kDelete, kAlt);
  EXPECT_EQ(cell(0, 0).period, 214);
  EXPECT_EQ(cell(0, 0).effect, 0);
  EXPECT_EQ(cell(0, 0).param_hi, 0);
  EXPECT_EQ(p()->shown_row, 1);
  press(kDelete);
  EXPECT_EQ(cell(1, 0).period, 0);
  EXPECT_EQ(cell(1, 0).sample, 0);
  EXPECT_EQ(cell(1, 0).effect, 0xC);
}

TEST_F(Keyboard, QuitRequesterFromTheKeyboard) {
  press(kQ, kAlt);
  EXPECT_EQ(s()->dialog, kDialogQuit);
  EXPECT_STREQ(s()->message, "REALLY QUIT ?");
  // No: the requester answers N and the key goes no further.
  s()->key_code = kN;
  quit_requester(s());
  frame(kN);
  EXPECT_EQ(s()->dialog, kDialogNone);
  EXPECT_EQ(s()->quit_confirmed, 0);
  frame(0);
  // Yes.
  press(kQ, kAlt);
  s()->key_code = kY;
  quit_requester(s());
  frame(kY);
  EXPECT_EQ(s()->quit_confirmed, 1);
  EXPECT_EQ(cell(0, 2).period, 0);
  EXPECT_EQ(p()->channels[0].sample, 0);  // Y is a note key; it did not sound
}

TEST_F(Keyboard, KeysNoTableKnowsDoNothing) {
  PatternCell before[kRows][kChannels];
  std::memcpy(before, p()->patterns[0], sizeof before);
  edit_mode();
  EXPECT_EQ(frame(kUnknownKey), 0);
  frame(0);
  EXPECT_EQ(std::memcmp(before, p()->patterns[0], sizeof before), 0);
  EXPECT_EQ(s()->cursor_column, 0);
  EXPECT_EQ(p()->shown_row, 0);
}

}  // namespace
