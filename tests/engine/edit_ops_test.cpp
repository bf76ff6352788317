// Edit operations on a pattern whose every cell says where it came from:
// each case runs a sequence of operations and describes a channel by the
// source row of each of its 64 cells.
#include "engine/edit_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/history.h"
#include "engine/periods.h"
#include "engine/player.h"

namespace {

// Cell (row, channel) of pattern 0: a note 1000 + 100 * channel + row and
// effect 1 + channel with parameter row, so both parts name their source.
PatternCell source_cell(int32_t row, int32_t channel) {
  const auto param = static_cast<uint8_t>(row);
  return {1000 + 100 * channel + row,
          1 + row % 31,
          static_cast<uint8_t>(1 + channel),
          static_cast<uint8_t>(param >> 4),
          static_cast<uint8_t>(param & 15),
          param,
          {}};
}

struct Editor {
  Player* player = player_create(44100);
  EditBuffers* buffers = new EditBuffers{};
  EditArgs args{1, 1, 0, CellPart::kNothing, false};
  History history;
  Editor() {
    player->history = &history;
    for (int p = 0; p < 2; ++p)
      for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kChannels; ++c) player->patterns[p][r][c] = source_cell(r, c);
  }
  ~Editor() {
    history_clear(history);
    player_destroy(player);
    delete buffers;
  }

  // "r<row>" cursor row, "c<channel>" cursor channel, "p<pattern>" the
  // current pattern; what the modifiers mean: "S" whole cells and the row
  // kept (Shift), "A" whole cells (Alt), "C" effect parts (Ctrl), "N"
  // nothing; "u" undoes a step; a number runs that operation (with the cursor channel),
  // "<op>+<n>" / "<op>-<n>" a transposition by n semitones.
  void run(const std::string& ops) {
    std::istringstream in(ops);
    for (std::string t; in >> t;) {
      if (t[0] == 'r') {
        player->shown_row = std::stoi(t.substr(1));
      } else if (t[0] == 'c') {
        args.channel = std::stoi(t.substr(1));
      } else if (t[0] == 'p') {
        player->current_pattern = std::stoi(t.substr(1));
      } else if (t == "u") {
        history_undo(*player);
      } else if (t == "S" || t == "A" || t == "C" || t == "N") {
        args.part = t == "N"   ? CellPart::kNothing
                    : t == "C" ? CellPart::kEffects
                               : CellPart::kWhole;
        args.keep_row = t == "S";
      } else {
        const size_t sign = t.find_first_of("+-");
        args.semitones = sign == std::string::npos ? 0 : std::stoi(t.substr(sign));
        edit_operation(static_cast<EditOp>(std::stoi(t.substr(0, sign))), *player, *buffers, args);
      }
    }
  }

  // Each cell as its source row ("_" for empty parts), note part and
  // effect part joined by "/" where they differ; runs of consecutive
  // sources written "a-b", repeated tokens "t*n".
  std::string channel(int32_t c) const {
    std::vector<std::pair<int, int>> parts;
    for (int r = 0; r < kRows; ++r) {
      const PatternCell& x = player->patterns[0][r][c];
      const int note = x.period == 0 ? -1 : x.period - 1000 - 100 * c;
      const int effect = x.effect == 0 && x.param == 0 ? -1 : x.param;
      parts.emplace_back(note, effect);
    }
    auto token = [](std::pair<int, int> v) {
      auto one = [](int n) { return n < 0 ? std::string("_") : std::to_string(n); };
      return v.first == v.second ? one(v.first) : one(v.first) + "/" + one(v.second);
    };
    auto next = [](int a, int b) { return a < 0 ? b < 0 : b == a + 1; };
    std::string out;
    for (size_t i = 0; i < parts.size();) {
      size_t j = i;
      const bool empty = parts[i].first < 0 && parts[i].second < 0;
      while (j + 1 < parts.size() && (empty ? parts[j + 1] == parts[i]
                                            : next(parts[j].first, parts[j + 1].first) &&
                                                  next(parts[j].second, parts[j + 1].second) &&
                                                  (parts[j].first >= 0 || parts[j].second >= 0)))
        ++j;
      out.append(out.empty() ? "" : " ") += token(parts[i]);
      if (j > i)
        out.append(empty ? "*" : "-") += empty ? std::to_string(j - i + 1) : token(parts[j]);
      i = j + 1;
    }
    return out;
  }
};

struct OpCase {
  const char* what;
  const char* ops;
  const char* cursor_channel;  // channel 1 afterwards
  const char* others;          // channels 0, 2 and 3 afterwards
  int32_t row;                 // the cursor row afterwards
};

constexpr const char* kSame = "0-63";

const OpCase kOps[] = {
    {"insert moves the rows below down; row 63 is lost", "r10 S 26", "0-9 _ 10-62", kSame, 10},
    {"insert at row 0", "r0 S 26", "_ 0-62", kSame, 0},
    {"insert at row 63 clears it only", "r63 A 26", "0-62 _", kSame, 63},
    {"insert needs a modifier", "r10 N 26", kSame, kSame, 10},
    {"Ctrl inserts effect parts only", "r10 C 26", "0-9 10/_ 11/10-63/62", kSame, 10},
    {"insert in every channel", "r0 A 27", "_ 0-62", "_ 0-62", 0},
    {"delete above removes the row above the cursor", "r1 S 28", "1-63 _", kSame, 1},
    {"delete above at row 0 does nothing", "r0 S 28", kSame, kSame, 0},
    {"delete above at row 63", "r63 S 28", "0-61 63 _", kSame, 63},
    {"Ctrl deletes effect parts only", "r10 C 28", "0-8 9/10-62/63 63/_", kSame, 10},
    {"delete above in every channel", "r0 A 29 r63 29", "0-61 63 _", "0-61 63 _", 63},
    {"delete at the cursor, row 0", "r0 25", "1-63 _", kSame, 0},
    {"delete at the cursor, row 63", "r63 25", "0-62 _", kSame, 63},
    {"cut a block", "r12 20 r40 21", "0-11 _*29 41-63", kSame, 40},
    {"a block marked upwards is the same block", "r40 20 r12 21", "0-11 _*29 41-63", kSame, 12},
    {"cut every row", "r0 20 r63 21", "_*64", kSame, 63},
    {"a pasted block is cut at row 63 and the cursor wraps", "r0 20 r9 22 r60 23", "0-59 0-3",
     kSame, 0},
    {"a paste ending on row 62 leaves the cursor on 63", "r0 20 r9 22 r53 23", "0-52 0-9 63", kSame,
     63},
    {"Shift keeps the cursor where it pasted", "r0 20 r2 22 r20 S 23", "0-19 0-2 23-63", kSame, 20},
    {"a block pastes again and again", "r5 20 r6 22 r0 23 23", "5-6 5-6 4-63", kSame, 4},
    {"delete a block", "r12 20 r40 24", "0-11 41-63 _*29", kSame, 40},
    {"delete the last rows", "r60 20 r63 24", "0-59 _*4", kSame, 63},
    {"delete row 0 as a block", "r0 20 24", "1-63 _", kSame, 0},
    {"copy without marking keeps the previous block", "r3 20 r5 22 22 21 r10 23", "0-9 3-5 13-63",
     kSame, 13},
    {"marking twice cancels", "r3 20 20 r5 22 r10 23", kSame, kSame, 10},
    {"an unfilled track clipboard pastes empty cells", "13", "_*64", kSame, 0},
    {"cut commands", "17", "0/_-63/_", kSame, 0},
    {"cut pattern", "14", "_*64", "_*64", 0},
    {"undo after a paste, twice", "r0 20 r9 22 r30 23 u u", kSame, kSame, 40},
    {"undo puts the cut back into its own pattern", "p1 14 p0 u", kSame, kSame, 0},
    {"undo on a fresh state changes nothing", "u", kSame, kSame, 0},
    {"numbers 0, 1, 4 and above 41 change nothing", "S r10 0 1 4 42 99", kSame, kSame, 10},
    {"expand from row 60", "r60 31", "0-60 _ 61 _", kSame, 60},
    {"contract from row 58", "r58 32", "0-58 60 62 _*3", kSame, 58},
    {"kill from row 61", "r61 38", "0-60 _*3", kSame, 61},
    {"expand, contract and kill are undone", "r60 31 32 38 u u u", kSame, kSame, 60},
    {"swap with the track clipboard", "c3 12 c1 33", "200/0-263/63", kSame, 0},
    {"swapping twice gives the track back", "c3 12 c1 33 33", kSame, kSame, 0},
    {"reverse the marked rows", "r2 20 r5 34", "0-1 5 4 3 2 6-63", kSame, 5},
    {"reverse the rows last copied", "r2 20 r3 22 r40 34", "0-1 3 2 4-63", kSame, 40},
    {"insert the block, pushing the rest down", "r0 20 r1 22 r61 35", "0-60 0-1 61", kSame, 61},
    {"no block to insert, reverse or polyphonize", "r5 35 34 30", kSame, kSame, 5},
    {"restore effects keeps the moved notes", "r10 S 26 39", "0-9 _/10 10/11-62/63", kSame, 10},
    {"a restore is undone", "r10 S 26 39 u", "0-9 _ 10-62", kSame, 10},
    {"delete the current sample's notes", "40", "_ 1-30 _ 32-61 _ 63", kSame, 0},
    {"remark the last block, then cut it", "r2 20 r4 22 r40 41 21", "0-1 _*3 5-63", kSame, 4},
};

// Polyphonize spreads the block's notes over the channels from the cursor
// one, wrapping after the last; a block transpose moves only the block's
// rows, by table notes.
TEST(EditOps, PolyphonizeAndBlockTranspose) {
  Editor e;
  e.run("r0 20 r2 22 c3 r10 30");
  const auto note = [&e](int row, int channel) {
    return e.player->patterns[0][row][channel].period;
  };
  EXPECT_TRUE(note(10, 3) == 1100 && note(11, 0) == 1101 && note(12, 1) == 1102);
  EXPECT_TRUE(note(11, 3) == 1311 && note(10, 0) == 1010 && note(12, 2) == 1212);
  Editor t;
  for (int r = 2; r <= 4; ++r) t.player->patterns[0][r][1].period = kPeriodTable[0][10 + r];
  t.run("r2 20 r3 36");
  const auto period = [&t](int row) { return t.player->patterns[0][row][1].period; };
  EXPECT_TRUE(period(2) == kPeriodTable[0][13] && period(3) == kPeriodTable[0][14] &&
              period(4) == kPeriodTable[0][14]);
  t.run("37 37");
  EXPECT_TRUE(period(2) == kPeriodTable[0][11] && period(3) == kPeriodTable[0][12]);
}

TEST(EditOps, RowOperations) {
  for (const OpCase& c : kOps) {
    SCOPED_TRACE(std::string(c.what) + ": " + c.ops);
    Editor e;
    e.run(c.ops);
    EXPECT_EQ(e.channel(1), c.cursor_channel);
    for (int ch : {0, 2, 3}) EXPECT_EQ(e.channel(ch), c.others) << "channel " << ch;
    EXPECT_EQ(e.player->shown_row, c.row);
    // Nothing is written beyond the pattern.
    for (int r = 0; r < kRows; ++r)
      for (int ch = 0; ch < kChannels; ++ch) {
        const PatternCell expected = source_cell(r, ch);
        ASSERT_EQ(std::memcmp(&e.player->patterns[1][r][ch], &expected, sizeof expected), 0)
            << "pattern 1, row " << r;
      }
  }
}

// Every operation that changes the pattern is one step the history takes
// back, at either end of the pattern and with each modifier that moves
// cells (without one, row inserts and deletes do nothing). Each starts
// from cells it really changes: notes of the period table (none at its
// top), clipboards filled from channel 3 and from pattern 1 (which keeps
// notes outside the table) while the operations work on channel 0, a block
// from channel 1.
TEST(EditOps, UndoAfterAnyOperationRestoresThePattern) {
  for (int32_t op : {5, 6, 7, 8, 9, 10, 11, 13, 14, 16, 17, 19, 21, 23, 24, 25, 26, 27, 28, 29}) {
    for (const char* where : {"r0", "r63", "r31"}) {
      for (const char* mods : {"S", "A", "C"}) {
        Editor e;
        for (int r = 0; r < kRows; ++r)
          for (int c = 0; c < kChannels; ++c)
            e.player->patterns[0][r][c].period = kPeriodTable[0][(r + c) % (kNoteCount - 1)];
        // A row above the cursor to delete.
        const bool above = (op == 28 || op == 29) && where == std::string("r0");
        e.run(std::string("p1 15 p0 r2 20 r7 22 c3 12 18 c0 ") + (above ? "r1" : where) + " 20 " +
              mods);
        PatternCell before[kRows][kChannels];
        std::memcpy(before, e.player->patterns[0], sizeof before);
        e.run(std::to_string(op) + "+1");
        const std::string what =
            "operation " + std::to_string(op) + " at " + where + " with " + mods;
        EXPECT_NE(std::memcmp(before, e.player->patterns[0], sizeof before), 0) << what;
        e.run("u");
        EXPECT_EQ(std::memcmp(before, e.player->patterns[0], sizeof before), 0) << what;
      }
    }
  }
}

struct TransposeCase {
  int32_t period;
  int32_t sample;
  const char* ops;
  int32_t expected;
};

TEST(EditOps, TransposeStaysInsideTheTable) {
  const TransposeCase cases[] = {
      {113, 1, "7+1", 113},    {120, 1, "7+1", 113},  {214, 1, "7+12", 214}, {226, 1, "7+12", 113},
      {856, 1, "7-1", 856},    {999, 1, "7+1", 999},  {428, 2, "5+1", 428},  {428, 1, "5+1", 404},
      {428, 1, "c0 7+1", 428}, {428, 2, "8-12", 856}, {428, 2, "6+1", 428},  {0, 1, "7+1", 0},
  };
  for (const TransposeCase& c : cases) {
    Editor e;
    e.player->patterns[1][0][1].period = 428;  // the next pattern stays as it is
    PatternCell& cell = e.player->patterns[0][5][1];
    cell.period = c.period;
    cell.sample = c.sample;
    e.run(c.ops);
    EXPECT_EQ(cell.period, c.expected) << c.period << " " << c.ops;
    EXPECT_EQ(cell.effect, 2) << "only the period changes";
    EXPECT_EQ(e.player->patterns[1][0][1].period, 428);
  }
}

TEST(EditOps, OutOfRangeCursorsChangeNothing) {
  Editor e;
  e.run("S r-1 25 26 28 r64 25 26 28 r5 c4 11 13 17 19 20 21 c1 r0 p128 16 14 26 7+1 p0");
  e.run("u r60 20");
  e.buffers->block_end = kRows;  // a block end from outside the pattern stops at row 63
  e.run("r64 21");
  // Nothing is written past the patterns, where the player's settings lie.
  EXPECT_EQ(e.player->flags, 4);
  EXPECT_EQ(e.player->song_length, 1);
  EXPECT_EQ(e.player->master_volume, 256);
  EXPECT_EQ(e.channel(1), "0-59 _*4");
  for (int ch : {0, 2, 3}) EXPECT_EQ(e.channel(ch), kSame) << ch;
  EXPECT_EQ(e.player->patterns[1][0][1].period, source_cell(0, 1).period);
}

}  // namespace
