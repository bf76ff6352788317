#include "edit/edit_ops.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/player.h"
#include "render/editor_state.h"

namespace {

// Operation numbers as the keyboard handler sends them.
enum : int32_t {
  kSaveUndo = 2,
  kUndo = 3,
  kTransposeSampleInTrack = 5,
  kTransposeAllInTrack = 7,
  kTransposeAllInPattern = 8,
  kCutTrack = 11,
  kCopyTrack = 12,
  kPasteTrack = 13,
  kCutPattern = 14,
  kCopyPattern = 15,
  kPastePattern = 16,
  kCutCommands = 17,
  kPasteCommands = 19,
  kMarkBlock = 20,
  kCutBlock = 21,
  kCopyBlock = 22,
  kPasteBlock = 23,
  kDeleteBlock = 24,
  kInsertRow = 26,
  kInsertRowAll = 27,
  kDeleteAbove = 28,
};

class EditOps : public ::testing::Test {
 protected:
  void SetUp() override {
    state = new EditorState{};
    state->player = player_create(44100);
    state->current_sample = 1;
    std::strcpy(state->message, "ALL RIGHT");
  }
  void TearDown() override {
    player_destroy(state->player);
    delete state;
  }

  PatternCell& cell(int32_t row, int32_t channel, int32_t pattern = -1) {
    Player* p = state->player;
    return p->patterns[pattern < 0 ? p->current_pattern : pattern][row][channel];
  }

  // Every cell of a pattern gets a distinct note, sample and effect.
  void fill_pattern(int32_t pattern) {
    for (int32_t r = 0; r < kRows; ++r)
      for (int32_t c = 0; c < kChannels; ++c) {
        PatternCell& x = cell(r, c, pattern);
        x.period = 1000 + r * 4 + c;
        x.sample = 1 + (r + c) % 31;
        x.effect = static_cast<uint8_t>(1 + c);
        x.param_hi = static_cast<uint8_t>(r % 16);
        x.param_lo = static_cast<uint8_t>(c);
        x.param = static_cast<uint8_t>(x.param_hi * 16 + x.param_lo);
      }
  }

  void op(int32_t operation, int32_t amount = 0, int32_t channel = 0) {
    edit_operation(operation, state, amount, channel);
  }

  void mark(int32_t from, int32_t to) {
    state->player->shown_row = from;
    op(kMarkBlock);
    state->player->shown_row = to;  // the block ends at the cursor
  }

  EditorState* state = nullptr;
};

bool same_cells(const PatternCell& a, const PatternCell& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool is_empty(const PatternCell& a) {
  return same_cells(a, PatternCell{});
}

TEST_F(EditOps, TransposeStaysInsideTheTable) {
  const int32_t periods[] = {113, 120, 214, 226, 856, 999};
  const int32_t amounts[] = {+1, +1, +12, +12, -1, +1};
  const int32_t expected[] = {113, 113, 214, 113, 856, 999};
  for (int32_t i = 0; i < 6; ++i) {
    cell(0, 0).period = periods[i];
    cell(0, 0).sample = 1;
    op(kTransposeAllInTrack, amounts[i]);
    EXPECT_EQ(cell(0, 0).period, expected[i]) << "period " << periods[i];
  }
}

TEST_F(EditOps, TransposeTrackChangesOnlyTheCursorChannelAndMatchingSamples) {
  state->cursor_channel = 2;
  state->current_sample = 3;
  cell(5, 2) = PatternCell{428, 3, 0xC, 2, 0, 0x20, {}};
  cell(6, 2) = PatternCell{428, 4, 0, 0, 0, 0, {}};
  cell(7, 2) = PatternCell{0, 3, 0, 0, 0, 0, {}};  // a sample number without a note
  cell(5, 1) = PatternCell{428, 3, 0, 0, 0, 0, {}};
  op(kTransposeSampleInTrack, +1);
  EXPECT_EQ(cell(5, 2).period, 404);
  EXPECT_EQ(cell(5, 2).effect, 0xC);  // only the period changes
  EXPECT_EQ(cell(6, 2).period, 428);
  EXPECT_EQ(cell(7, 2).period, 0);
  EXPECT_EQ(cell(5, 1).period, 428);

  op(kTransposeAllInPattern, -12);
  EXPECT_EQ(cell(5, 2).period, 808);
  EXPECT_EQ(cell(6, 2).period, 856);
  EXPECT_EQ(cell(5, 1).period, 856);
  op(kUndo);
  EXPECT_EQ(cell(5, 2).period, 404);
}

TEST_F(EditOps, TrackCopyPasteAndCutUndo) {
  fill_pattern(0);
  state->player->current_pattern = 0;
  state->cursor_channel = 1;
  op(kCopyTrack);
  state->player->current_pattern = 4;
  state->cursor_channel = 3;
  op(kPasteTrack);
  for (int32_t r = 0; r < kRows; ++r) {
    EXPECT_TRUE(same_cells(cell(r, 3), cell(r, 1, 0))) << r;
    EXPECT_TRUE(is_empty(cell(r, 2))) << r;
  }

  state->player->current_pattern = 0;
  state->cursor_channel = 1;
  const PatternCell before = cell(10, 1);
  op(kCutTrack);
  EXPECT_TRUE(is_empty(cell(10, 1)));
  EXPECT_FALSE(is_empty(cell(10, 0)));
  op(kUndo);
  EXPECT_TRUE(same_cells(cell(10, 1), before));
}

TEST_F(EditOps, PatternCopyPasteAndUndoAfterPaste) {
  fill_pattern(2);
  state->player->current_pattern = 2;
  op(kCopyPattern);
  state->player->current_pattern = 9;
  cell(0, 0).period = 214;
  op(kPastePattern);
  EXPECT_EQ(std::memcmp(state->player->patterns[9], state->player->patterns[2],
                        sizeof state->player->patterns[9]),
            0);
  op(kUndo);
  EXPECT_EQ(cell(0, 0).period, 214);
  EXPECT_TRUE(is_empty(cell(1, 0)));
  op(kUndo);  // the same copy again
  EXPECT_EQ(cell(0, 0).period, 214);

  state->player->current_pattern = 2;
  op(kCutPattern);
  EXPECT_TRUE(is_empty(cell(33, 3)));
  EXPECT_EQ(state->pattern_clipboard[33][3].period, 1000 + 33 * 4 + 3);
}

TEST_F(EditOps, UndoRestoresThePatternItWasTakenFrom) {
  fill_pattern(1);
  fill_pattern(6);
  state->player->current_pattern = 1;
  op(kCutPattern);
  state->player->current_pattern = 6;
  op(kUndo);
  EXPECT_EQ(cell(0, 0, 1).period, 1000);   // pattern 1 is back
  EXPECT_EQ(cell(20, 2, 6).period, 1082);  // pattern 6 untouched
}

TEST_F(EditOps, UndoOnAFreshStateClearsNothing) {
  fill_pattern(0);
  op(kUndo);
  EXPECT_EQ(cell(63, 3).period, 1000 + 63 * 4 + 3);
}

TEST_F(EditOps, CommandsMoveOnlyEffectParts) {
  fill_pattern(0);
  state->cursor_channel = 0;
  op(kCutCommands);
  EXPECT_EQ(cell(4, 0).effect, 0);
  EXPECT_EQ(cell(4, 0).period, 1016);
  state->cursor_channel = 3;
  op(kPasteCommands);
  EXPECT_EQ(cell(4, 3).effect, 1);  // channel 0's effect
  EXPECT_EQ(cell(4, 3).param, 4 * 16);
  EXPECT_EQ(cell(4, 3).period, 1019);  // notes stay
}

TEST_F(EditOps, BlockMarkedUpwardsCopiesTheSameRowsAsDownwards) {
  fill_pattern(0);
  state->cursor_channel = 1;
  mark(12, 40);
  op(kCopyBlock);
  EXPECT_EQ(state->block_marking, 0);
  const int32_t down_first = state->block_first;
  const int32_t down_last = state->block_last;
  PatternCell down[kRows];
  std::memcpy(down, state->block_clipboard, sizeof down);

  std::memset(state->block_clipboard, 0, sizeof state->block_clipboard);
  mark(40, 12);
  op(kCopyBlock);
  EXPECT_EQ(state->block_first, down_first);
  EXPECT_EQ(state->block_last, down_last);
  EXPECT_EQ(std::memcmp(down, state->block_clipboard, sizeof down), 0);
  EXPECT_EQ(state->block_clipboard[12].period, 1000 + 12 * 4 + 1);

  mark(40, 12);
  op(kCutBlock);
  for (int32_t r = 0; r < kRows; ++r) EXPECT_EQ(is_empty(cell(r, 1)), r >= 12 && r <= 40) << r;
}

TEST_F(EditOps, CopyWithoutMarkingKeepsThePreviousBlock) {
  fill_pattern(0);
  mark(3, 5);
  op(kCopyBlock);
  op(kCopyBlock);  // no block is being marked now
  op(kCutBlock);
  EXPECT_EQ(state->block_first, 3);
  EXPECT_EQ(state->block_last, 5);
  EXPECT_FALSE(is_empty(cell(4, 0)));
}

TEST_F(EditOps, PasteBlockClipsAtTheEndAndWrapsTheCursor) {
  fill_pattern(0);
  mark(0, 9);
  op(kCopyBlock);
  state->player->current_pattern = 1;
  state->player->shown_row = 60;
  op(kPasteBlock);
  for (int32_t k = 0; k < 4; ++k) EXPECT_EQ(cell(60 + k, 0).period, 1000 + k * 4);
  EXPECT_TRUE(is_empty(cell(59, 0)));
  EXPECT_EQ(state->player->shown_row, 0);

  state->player->shown_row = 20;
  state->modifiers = 1;  // Shift keeps the cursor
  op(kPasteBlock);
  EXPECT_EQ(cell(29, 0).period, 1000 + 9 * 4);
  EXPECT_EQ(state->player->shown_row, 20);
}

TEST_F(EditOps, DeleteBlockRemovesTheMarkedRowsEitherWay) {
  for (const bool upwards : {false, true}) {
    fill_pattern(0);
    state->cursor_channel = 2;
    if (upwards)
      mark(40, 12);
    else
      mark(12, 40);
    const int32_t cursor = state->player->shown_row;
    op(kDeleteBlock);
    EXPECT_EQ(state->player->shown_row, cursor);
    EXPECT_EQ(state->block_marking, 0);
    EXPECT_EQ(cell(11, 2).period, 1000 + 11 * 4 + 2);
    EXPECT_EQ(cell(12, 2).period, 1000 + 41 * 4 + 2);
    EXPECT_EQ(cell(34, 2).period, 1000 + 63 * 4 + 2);
    for (int32_t r = 35; r < kRows; ++r) EXPECT_TRUE(is_empty(cell(r, 2))) << r;
    EXPECT_EQ(cell(12, 1).period, 1000 + 12 * 4 + 1);
    op(kUndo);
    EXPECT_EQ(cell(12, 2).period, 1000 + 12 * 4 + 2);
  }
}

TEST_F(EditOps, InsertAndDeleteRowsFollowTheModifiers) {
  fill_pattern(0);
  state->player->shown_row = 10;
  op(kInsertRow, 0, 1);  // no modifier: nothing
  EXPECT_EQ(cell(10, 1).period, 1041);

  state->modifiers = 1;
  op(kInsertRow, 0, 1);
  EXPECT_TRUE(is_empty(cell(10, 1)));
  EXPECT_EQ(cell(11, 1).period, 1041);
  EXPECT_EQ(cell(63, 1).period, 1000 + 62 * 4 + 1);
  EXPECT_EQ(cell(10, 0).period, 1040);

  op(kDeleteAbove, 0, 1);  // row 9 goes, the emptied row 10 moves up
  EXPECT_EQ(cell(9, 1).period, 0);
  EXPECT_EQ(cell(10, 1).period, 1041);
  EXPECT_TRUE(is_empty(cell(63, 1)));

  state->modifiers = 8;  // Ctrl: effect parts only
  op(kInsertRowAll);
  for (int32_t c = 0; c < kChannels; ++c) {
    EXPECT_EQ(cell(10, c).effect, 0) << c;
    EXPECT_EQ(cell(11, c).param_hi, 10) << c;
  }
  EXPECT_EQ(cell(10, 0).period, 1040);

  state->modifiers = 2;
  state->player->shown_row = 63;
  fill_pattern(0);
  op(kInsertRow, 0, 3);
  EXPECT_TRUE(is_empty(cell(63, 3)));
  EXPECT_EQ(cell(62, 3).period, 1000 + 62 * 4 + 3);

  state->player->shown_row = 1;
  op(kDeleteAbove, 0, 0);
  EXPECT_EQ(cell(0, 0).period, 1004);
  EXPECT_TRUE(is_empty(cell(63, 0)));
  state->player->shown_row = 0;
  op(kDeleteAbove, 0, 0);
  EXPECT_EQ(cell(0, 0).period, 1004);
}

TEST_F(EditOps, OutOfRangeNumbersChangeNothing) {
  fill_pattern(0);
  state->player->shown_row = -1;  // as the replayer leaves it before playing
  state->modifiers = 1;
  for (const int32_t operation : {0, 1, 4, 25, 26, 28, 30, -5})
    op(operation, 0, operation == 26 ? 9 : 0);
  state->cursor_channel = 7;
  op(kCutTrack);
  state->player->current_pattern = 200;
  op(kCutPattern);
  state->player->current_pattern = 0;
  EXPECT_EQ(cell(0, 0).period, 1000);
  EXPECT_EQ(cell(63, 3).period, 1000 + 63 * 4 + 3);
}

}  // namespace
