// The undo history: each kind of change undone and redone to the exact
// module bytes, the redo branch, the limits, loading and grouped typing.
#include "engine/history.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/edit_ops.h"
#include "engine/editing.h"
#include "files/module_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

int8_t* block(int32_t bytes, int32_t seed) {
  auto* data = static_cast<int8_t*>(std::malloc(static_cast<size_t>(bytes)));
  for (int32_t i = 0; i < bytes; ++i) data[i] = static_cast<int8_t>(i * seed);
  return data;
}

struct Module {
  Player* player = player_create(44100);
  History history;
  EditBuffers buffers{};
  Module() {
    player->history = &history;
    std::free(replace_sample_data(*player, 3, block(1000, 7), 1000, 100, 200));
    for (int32_t p = 0; p < 3; ++p) {
      player->order[p] = p;  // saved with the module
      for (int32_t r = 0; r < kRows; r += 3) write_note(*player, {p, r, r % 4}, 428, 3);
    }
    player->song_length = 3;
    set_song_name(*player, "TUNE", 4);
    history_clear(history);
  }
  ~Module() {
    history_clear(history);
    player_destroy(player);
  }
  Bytes bytes() const { return serialize_module(player, kKindModule); }
  void op(EditOp operation, int32_t channel = 1) {
    player->shown_row = 5;
    edit_operation(operation, *player, buffers, EditArgs{channel, 3, 1, CellPart::kWhole, false});
  }
};

// The k-th edit (0..times-1) of a kind; each changes the module.
struct EditCase {
  const char* name;  // as the message line names the step
  void (*edit)(Module& m, int32_t k);
  int32_t times = 3;
};

const EditCase kEdits[] = {
    {"NOTE",
     [](Module& m, int32_t k) {
       write_note(*m.player, {0, 1 + k, 2}, 254, 3);
     }},
    {"CELL DIGIT",
     [](Module& m, int32_t k) {
       write_cell_digit(*m.player, {0, 63 - k, 3}, CellDigit::kParamHigh, 9);
     }},
    {"DELETE",
     [](Module& m, int32_t k) {
       clear_cell_parts(*m.player, {0, 3 * k, 3 * k % 4}, true, true);
     }},
    {"INSERT ROW", [](Module& m, int32_t) { m.op(EditOp::kInsertRowAllChannels); }},
    {"DELETE ROW", [](Module& m, int32_t) { m.op(EditOp::kDeleteAbove, 2); }},
    {"TRANSPOSE", [](Module& m, int32_t) { m.op(EditOp::kTransposePattern); }},
    {"CUT TRACK", [](Module& m, int32_t) { m.op(EditOp::kCutTrack, 3); }},
    {"PASTE TRACK",
     [](Module& m, int32_t) {
       m.op(EditOp::kCopyTrack, 0);
       m.op(EditOp::kPasteTrack, 1);
     }},
    {"CUT PATTERN", [](Module& m, int32_t) { m.op(EditOp::kCutPattern); }},
    {"LOAD PATT",
     [](Module& m, int32_t) {
       PatternCell cells[kRows][kChannels] = {};
       cells[7][2].period = 113;
       replace_pattern(*m.player, cells);
     }},
    {"INSERT POS", [](Module& m, int32_t) { insert_position(*m.player, 0); }},
    {"DELETE POS", [](Module& m, int32_t) { delete_position(*m.player, 0); }},
    {"ORDER ENTRY", [](Module& m, int32_t) { step_order_entry(*m.player, 2); }},
    {"SONG LENGTH", [](Module& m, int32_t k) { set_song_length(*m.player, 9 + k); }},
    {"SONG NAME",
     [](Module& m, int32_t k) {
       set_song_name(*m.player, ("OTHER" + std::to_string(k)).c_str(), 6);
     }},
    {"SAMPLE NAME",
     [](Module& m, int32_t k) {
       set_sample_name(*m.player, 3, ("KICK" + std::to_string(k)).c_str(), 5);
     }},
    {"VOLUME", [](Module& m, int32_t k) { set_sample_volume(*m.player, 3, 12 + k); }},
    {"FINETUNE", [](Module& m, int32_t) { step_sample_finetune(*m.player, 3, false); }},
    {"LOOP", [](Module& m, int32_t) { step_sample_loop(*m.player, 3, LoopStep::kLengthUp, 16); }},
    {"PASTE",  // a longer block: the old one is kept whole
     [](Module& m, int32_t k) {
       std::free(replace_sample_data(*m.player, 3, block(3000 + 10 * k, 5), 3000 + 10 * k, 0, 2));
     }},
    {"PASTE",  // the same length: only the changed bytes are kept
     [](Module& m, int32_t k) {
       int8_t* data = block(1000, 7);
       data[500 + k] = 99;
       std::free(replace_sample_data(*m.player, 3, data, 1000, 100, 200));
     }},
    {"LOAD SAMPLE",
     [](Module& m, int32_t k) {
       Sample loaded{};
       loaded.data = block(64, 3);
       loaded.length = 64 * kFixOne;
       loaded.volume = 40;
       std::memcpy(loaded.name, "SNARE", 5);
       install_sample(*m.player, 5 + k, loaded);
     }},
    {"CLEAR ALL",
     [](Module& m, int32_t) {
       const HistoryGroup group(*m.player, StepKind::kClearAll);
       clear_song(*m.player);
       clear_samples(*m.player);
     },
     1},
};

// Edits of a kind in a row; each undo goes back one module exactly,
// each redo forward again.
TEST(History, EachKindOfEditIsUndoneAndRedoneToTheExactBytes) {
  for (const EditCase& c : kEdits) {
    SCOPED_TRACE(c.name);
    Module m;
    std::vector<Bytes> states{m.bytes()};
    for (int32_t k = 0; k < c.times; ++k) {
      m.player->current_pattern = k;  // the operations work on pattern k
      c.edit(m, k);
      states.push_back(m.bytes());
    }
    ASSERT_NE(states[0], states[1]) << "the edit changed nothing";
    EXPECT_TRUE(history_modified(m.history, *m.player));
    m.player->current_pattern = 9;
    for (int32_t k = c.times; k > 0; --k) {
      const HistoryMove move = history_undo(*m.player);
      ASSERT_TRUE(move.moved);
      EXPECT_STREQ(step_name(move.kind), c.name);
      ASSERT_EQ(m.bytes(), states[k - 1]) << "undo " << k;
    }
    EXPECT_FALSE(history_modified(m.history, *m.player));
    EXPECT_FALSE(history_undo(*m.player).moved);
    for (int32_t k = 1; k <= c.times; ++k) {
      ASSERT_TRUE(history_redo(*m.player).moved);
      ASSERT_EQ(m.bytes(), states[k]) << "redo " << k;
    }
    EXPECT_FALSE(history_redo(*m.player).moved);
  }
}

TEST(History, UndoNamesThePatternAndSampleToShow) {
  Module m;
  m.player->current_pattern = 2;
  m.op(EditOp::kCutTrack);
  set_sample_volume(*m.player, 7, 3);
  EXPECT_EQ(history_undo(*m.player).sample, 7);
  EXPECT_EQ(history_undo(*m.player).pattern, 2);
}

TEST(History, ANewEditAfterAnUndoDropsTheRedoBranch) {
  Module m;
  write_note(*m.player, {0, 1, 0}, 254, 1);
  write_note(*m.player, {0, 2, 0}, 254, 1);
  history_undo(*m.player);
  write_note(*m.player, {0, 3, 0}, 302, 1);
  EXPECT_FALSE(history_redo(*m.player).moved);
  EXPECT_EQ(m.player->patterns[0][2][0].period, 0);
}

// A save point undone and then overwritten, and one the limit dropped,
// still count as changes; a load starts unchanged.
TEST(History, TheModifiedFlagFollowsTheSavePoint) {
  Module m;
  EXPECT_FALSE(history_modified(m.history, *m.player));
  set_sample_volume(*m.player, 3, 1);
  history_mark_saved(m.history);
  EXPECT_FALSE(history_modified(m.history, *m.player));
  history_undo(*m.player);
  EXPECT_TRUE(history_modified(m.history, *m.player));
  history_redo(*m.player);
  EXPECT_FALSE(history_modified(m.history, *m.player));
  history_undo(*m.player);
  set_sample_volume(*m.player, 3, 1);  // the same bytes, but a new step
  EXPECT_TRUE(history_modified(m.history, *m.player));
  history_mark_saved(m.history);
  m.history.byte_limit = 0;
  set_sample_volume(*m.player, 3, 2);
  EXPECT_TRUE(m.history.steps.empty());
  EXPECT_TRUE(history_modified(m.history, *m.player));
  set_song_length(*m.player, 4);
  history_clear(m.history);  // a loaded module starts a fresh history
  EXPECT_FALSE(history_undo(*m.player).moved);
  EXPECT_FALSE(history_modified(m.history, *m.player));
}

TEST(History, KeepsFiveHundredStepsAndDropsTheOldestOverItsBytes) {
  Module m;
  for (int32_t k = 0; k < 600; ++k) write_note(*m.player, {1, k % kRows, 0}, 100 + k, 1);
  EXPECT_EQ(m.history.steps.size(), 600u);
  EXPECT_LE(m.history.bytes, kHistoryByteLimit);
  const size_t one = m.history.steps.back().bytes;
  m.history.byte_limit = one * 10;
  write_note(*m.player, {1, 0, 1}, 999, 1);
  EXPECT_EQ(m.history.steps.size(), 10u);
  EXPECT_LE(m.history.bytes, m.history.byte_limit);
  int32_t undone = 0;
  while (history_undo(*m.player).moved) ++undone;
  EXPECT_EQ(undone, 10);
  EXPECT_EQ(m.player->patterns[1][0][1].period, 0);
  EXPECT_EQ(m.player->patterns[1][590 % kRows][0].period, 100 + 590) << "kept";
  EXPECT_EQ(m.player->patterns[1][591 % kRows][0].period, 100 + 591 - kRows) << "undone once";
}

// A text field commits the name on every key; the field's group makes the
// typing one step, and the open step already counts as a change.
TEST(History, AGroupMakesOneStepOfManyCalls) {
  Module m;
  history_begin(&m.history, StepKind::kSongName);
  for (const char* typed : {"T", "TU", "TUN", "TUNX", "TUN"}) {
    set_song_name(*m.player, typed, std::strlen(typed));
    EXPECT_TRUE(history_modified(m.history, *m.player)) << typed;
  }
  history_end(&m.history);
  EXPECT_EQ(m.history.steps.size(), 1u);
  const HistoryMove move = history_undo(*m.player);
  EXPECT_EQ(std::string(step_name(move.kind)), "SONG NAME");
  EXPECT_STREQ(m.player->song_name, "TUNE");
  history_begin(&m.history, StepKind::kSongName);
  set_song_name(*m.player, "TUNE", 4);
  history_end(&m.history);
  EXPECT_TRUE(history_redo(*m.player).moved) << "a group that changed nothing is no step";
}

}  // namespace
