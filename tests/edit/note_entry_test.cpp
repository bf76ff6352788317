// Note keys and digit keys at the pattern cursor.
#include "edit/note_entry.h"

#include "engine/replayer.h"
#include "key_fixture.h"

namespace key_test {
namespace {

using NoteEntry = KeyTest;

TEST_F(NoteEntry, NoteInEditModeIsWrittenSoundedAndSkips) {
  edit_mode();
  s()->cursor_channel = 2;
  p()->shown_row = 5;
  s()->edit_skip = 3;
  press(kQ);
  EXPECT_EQ(cell(5, 2).period, 214);
  EXPECT_EQ(cell(5, 2).sample, 1);
  EXPECT_EQ(p()->shown_row, 8);
  const ChannelState& ch = p()->channels[2];
  EXPECT_EQ(ch.sample, 1);
  EXPECT_EQ(ch.period, 214);
  EXPECT_EQ(ch.step, period_step(p(), 214));
  EXPECT_EQ(ch.volume, 40);
  EXPECT_EQ(ch.mix_volume, 40);
  EXPECT_EQ(ch.position, 0);
  EXPECT_EQ(ch.cut_counter, -1);
  EXPECT_EQ(p()->channels[0].sample, 0);  // only the cursor channel
}

TEST_F(NoteEntry, IdleNoteSoundsButWritesNothing) {
  press(kZ);
  EXPECT_EQ(p()->channels[0].period, 428);
  EXPECT_EQ(cell(0, 0).period, 0);
  EXPECT_EQ(p()->shown_row, 0);
}

TEST_F(NoteEntry, OctaveKeysAndContinuationRows) {
  press(kF1);  // lower octaves
  EXPECT_EQ(s()->octave_offset, 12);
  press(kQ);
  EXPECT_EQ(p()->channels[0].period, 428);
  press(kZ);
  EXPECT_EQ(p()->channels[0].period, 856);
  press(kI);  // upper continuation: c-3 only at the lower octaves
  EXPECT_EQ(p()->channels[0].period, 214);
  press(kComma);
  EXPECT_EQ(p()->channels[0].period, 428);
  press(kF2);
  EXPECT_EQ(s()->octave_offset, 0);
  p()->channels[0].period = 1;
  press(kI);
  EXPECT_EQ(p()->channels[0].period, 1);  // nothing above octave 3
  press(kComma);
  EXPECT_EQ(p()->channels[0].period, 214);
}

TEST_F(NoteEntry, HeldNoteKeyEntersOneNote) {
  edit_mode();
  press(kW, 0, 30);
  EXPECT_EQ(p()->shown_row, 1);
  EXPECT_EQ(cell(0, 0).period, 190);
  // Rolling onto another note key without a key-free frame takes nothing.
  frame(kQ);
  frame(kW);
  frame(0);
  EXPECT_EQ(p()->shown_row, 2);
  press(kQ);
  EXPECT_EQ(p()->shown_row, 3);
}

TEST_F(NoteEntry, SkipWrapsAndZeroSkipOverwrites) {
  edit_mode();
  s()->edit_skip = 4;
  p()->shown_row = 62;
  press(kQ);
  EXPECT_EQ(cell(62, 0).period, 214);
  EXPECT_EQ(p()->shown_row, 0);
  s()->edit_skip = 0;
  press(kQ);
  press(kW);
  EXPECT_EQ(cell(0, 0).period, 190);
  EXPECT_EQ(p()->shown_row, 0);
}

TEST_F(NoteEntry, FinetuneSoundsTunedWritesPlainPeriod) {
  p()->samples[1].finetune = 3;
  edit_mode();
  press(kQ);
  EXPECT_EQ(cell(0, 0).period, 214);
  EXPECT_EQ(p()->channels[0].period, finetune_period(214, 3, 0));
  EXPECT_NE(p()->channels[0].period, 214);
  EXPECT_EQ(p()->channels[0].finetune, 3);
}

TEST_F(NoteEntry, StopAllKeySilencesEveryChannel) {
  for (int c = 0; c < 4; ++c) test_module::start_voice(p(), c, 1, 10, 5000, 40);
  edit_mode();
  press(kLessThan);
  for (const ChannelState& ch : p()->channels) {
    EXPECT_EQ(ch.sample, 0);
    EXPECT_EQ(ch.volume, 0);
  }
  EXPECT_EQ(cell(0, 0).period, 0);
  EXPECT_EQ(p()->shown_row, 0);
}

TEST_F(NoteEntry, ModifierOrOtherColumnBlocksTheNote) {
  edit_mode();
  press(kQ, kShift);
  press(kW, kCommand);
  s()->cursor_column = kColumnEffect;
  press(kQ);
  EXPECT_EQ(p()->channels[0].sample, 0);
  EXPECT_EQ(cell(0, 0).period, 0);
}

TEST_F(NoteEntry, MultiKeyboardSpreadsNotesOverChannels) {
  press(kQ, kCtrl);    // every channel on; also no note (modifier)
  press(0x32, kCtrl);  // Ctrl+M
  ASSERT_EQ(s()->multi_keyboard, 1);
  edit_mode();
  s()->cursor_channel = 2;
  const int32_t keys[4] = {kQ, kW, kE, kQ};
  for (int32_t key : keys) press(key);
  EXPECT_EQ(cell(0, 2).period, 214);
  EXPECT_EQ(cell(1, 3).period, 190);
  EXPECT_EQ(cell(2, 0).period, 170);
  EXPECT_EQ(cell(3, 1).period, 214);
  EXPECT_EQ(s()->cursor_channel, 2);
}

TEST_F(NoteEntry, SampleNumberDigits) {
  edit_mode();
  cell(0, 1).sample = 0x05;
  s()->cursor_channel = 1;
  s()->cursor_column = kColumnSampleHigh;
  press(kDigit2);  // not a high digit
  EXPECT_EQ(cell(0, 1).sample, 0x05);
  EXPECT_EQ(p()->shown_row, 0);
  press(kDigit1);
  EXPECT_EQ(cell(0, 1).sample, 0x15);
  EXPECT_EQ(p()->shown_row, 1);
  s()->cursor_column = kColumnSampleLow;
  cell(1, 1).sample = 0x13;
  press(kDigit5, 0, 20);  // held: one digit
  EXPECT_EQ(cell(1, 1).sample, 0x15);
  EXPECT_EQ(p()->shown_row, 2);
  EXPECT_EQ(p()->channels[1].sample, 0);  // digits do not sound
}

TEST_F(NoteEntry, EffectAndParameterDigits) {
  edit_mode();
  s()->cursor_column = kColumnEffect;
  press(kC);
  EXPECT_EQ(cell(0, 0).effect, 12);
  test_module::set_cell(p(), 0, 1, 0, 0, 0, 0, 0x37);
  s()->cursor_column = kColumnParamHigh;
  press(kA);
  EXPECT_EQ(cell(1, 0).param_hi, 10);
  EXPECT_EQ(cell(1, 0).param, 0xA7);
  s()->cursor_column = kColumnParamLow;
  press(kF);
  EXPECT_EQ(cell(2, 0).param_lo, 15);
  EXPECT_EQ(cell(2, 0).param, 0x0F);
  EXPECT_EQ(p()->shown_row, 3);
}

TEST_F(NoteEntry, DigitsNeedEditMode) {
  s()->cursor_column = kColumnEffect;
  press(kC);
  EXPECT_EQ(cell(0, 0).effect, 0);
  EXPECT_EQ(p()->shown_row, 0);
}

TEST_F(NoteEntry, ControlLettersAreCommandsNotDigits) {
  edit_mode();
  s()->cursor_column = kColumnEffect;
  press(kF, kCtrl);  // filter toggle
  EXPECT_EQ(p()->filter_enabled, 1);
  press(kD, kCtrl);       // delete block (nothing marked)
  press(kDigit5, kCtrl);  // edit skip 5
  EXPECT_EQ(s()->edit_skip, 5);
  for (int row = 0; row < 2; ++row) EXPECT_EQ(cell(row, 0).effect, 0) << row;
  EXPECT_EQ(p()->shown_row, 0);
}

// Messages recolour the pointer; editing must carry on through them.
TEST_F(NoteEntry, MessagesDoNotSuspendEditing) {
  edit_mode();
  press(kF6, kShift);  // "POSITION SET" turns the pointer white
  EXPECT_EQ(s()->pointer_colour, kPointerWhite);
  EXPECT_STREQ(s()->message, "POSITION SET");
  press(kQ);
  EXPECT_EQ(cell(0, 0).period, 214);
  s()->pointer_colour = kPointerRed;  // any other timed message
  press(kW);
  EXPECT_EQ(cell(1, 0).period, 190);
}

TEST_F(NoteEntry, RequesterKeysNeitherSoundNorWrite) {
  edit_mode();
  s()->dialog = kDialogQuit;
  frame(kY);
  frame(kY);
  EXPECT_EQ(p()->channels[0].sample, 0);
  // The requester closes while Y is still held: Y must stay answered.
  s()->dialog = kDialogNone;
  frame(kY);
  frame(kY);
  EXPECT_EQ(p()->channels[0].sample, 0);
  EXPECT_EQ(cell(0, 0).period, 0);
  frame(0);
  press(kY);
  EXPECT_EQ(cell(0, 0).period, 127);
}

TEST_F(NoteEntry, TextFieldTakesTheKeys) {
  edit_mode();
  s()->dialog = kDialogTextField;
  press(kQ);
  EXPECT_EQ(p()->channels[0].sample, 0);
  EXPECT_EQ(cell(0, 0).period, 0);
}

}  // namespace
}  // namespace key_test
