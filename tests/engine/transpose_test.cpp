// Transposing by scope on a small song: pattern 0 is played twice, pattern
// 1 not at all, pattern 2 once. Expected periods come from the note table
// (C-1 856 .. B-3 113); each call is one undo step.
#include "engine/transpose.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/history.h"
#include "module_builder.h"

namespace {

struct Cell {
  int pattern, row, channel, period, sample;
};

struct Case {
  TransposeArgs args;
  int changed;
  std::vector<Cell> cells;
};

constexpr auto kBlock = TransposeScope::kBlock;
constexpr auto kTrack = TransposeScope::kTrack;
constexpr auto kPattern = TransposeScope::kPattern;
constexpr auto kSong = TransposeScope::kSong;

TEST(Transpose, ScopesSamplesAndNotesPushedOut) {
  const Case cases[] = {
      // Pattern 0 moves one semitone although the song names it twice.
      {{kSong, 0, 0, 63, 0, 1, false},
       2,
       {{0, 0, 0, 202, 1},
        {0, 1, 1, 113, 2},
        {0, 5, 0, 999, 1},
        {1, 0, 0, 214, 1},
        {2, 2, 3, 808, 1}}},
      {{kSong, 0, 0, 63, 0, 1, true}, 3, {{0, 1, 1, 0, 0}, {2, 2, 3, 808, 1}}},
      {{kSong, 0, 0, 63, 0, -12, true},
       3,
       {{0, 0, 0, 428, 1}, {0, 1, 1, 226, 2}, {2, 2, 3, 0, 0}, {1, 0, 0, 214, 1}}},
      {{kPattern, 0, 0, 63, 2, -12, false}, 1, {{0, 1, 1, 226, 2}, {0, 0, 0, 214, 1}}},
      {{kTrack, 1, 0, 63, 0, 12, true}, 1, {{0, 1, 1, 0, 0}, {0, 0, 0, 214, 1}}},
      {{kTrack, 4, 0, 63, 0, 12, true}, 0, {{0, 0, 0, 214, 1}}},
      // A block marked upwards covers the same rows.
      {{kBlock, 0, 3, 0, 0, -1, false}, 1, {{0, 0, 0, 226, 1}, {0, 5, 0, 999, 1}}},
      {{kBlock, 0, 1, 4, 0, -1, false}, 0, {{0, 0, 0, 214, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "scope " << static_cast<int>(c.args.scope) << " by " << c.args.semitones
                 << (c.args.delete_outside ? " delete" : ""));
    Player* p = player_create(44100);
    History history;
    p->history = &history;
    p->song_length = 3;
    p->order[0] = 0;
    p->order[1] = 2;
    p->order[2] = 0;
    test_module::set_cell(p, 0, 0, 0, 214, 1);
    test_module::set_cell(p, 0, 1, 1, 113, 2);
    test_module::set_cell(p, 0, 5, 0, 999, 1);  // not a note of the table
    test_module::set_cell(p, 1, 0, 0, 214, 1);
    test_module::set_cell(p, 2, 2, 3, 856, 1, 12, 0x20);
    std::vector<PatternCell> before(&p->patterns[0][0][0], &p->patterns[3][0][0]);

    EXPECT_EQ(transpose_notes(*p, c.args), c.changed);
    for (const Cell& cell : c.cells) {
      const PatternCell& got = p->patterns[cell.pattern][cell.row][cell.channel];
      EXPECT_EQ(got.period, cell.period) << cell.pattern << ":" << cell.row << ":" << cell.channel;
      EXPECT_EQ(got.sample, cell.sample) << cell.pattern << ":" << cell.row << ":" << cell.channel;
    }
    EXPECT_EQ(p->patterns[2][2][3].effect, 12);  // a deleted note keeps its effect
    EXPECT_EQ(history_undo(*p).moved, c.changed > 0);
    EXPECT_EQ(std::memcmp(before.data(), p->patterns, before.size() * sizeof(PatternCell)), 0);
    history_clear(history);
    player_destroy(p);
  }
}

}  // namespace
