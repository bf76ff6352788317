// The editing layer's own rules: order-list edges, replaced data, what a
// channel is left with by each way of resetting it, and cell digits. The
// song values' ranges, loop steps and drags and muting are held by the
// button and sample-editor tests, which reach the same functions.
#include "engine/editing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "engine/audio_lock.h"
#include "engine/replayer.h"

namespace {

struct Fresh {
  Player* p = player_create(44100);
  ~Fresh() { player_destroy(p); }
};

// The order list as runs of consecutive entries: "200-325 0 326".
std::string order_runs(const Player& p) {
  std::string out;
  for (int i = 0; i < kPositions;) {
    int j = i;
    while (j + 1 < kPositions && p.order[j + 1] == p.order[j] + 1) ++j;
    out += (out.empty() ? "" : " ") + std::to_string(p.order[i]);
    if (j > i) out += "-" + std::to_string(p.order[j]);
    i = j + 1;
  }
  return out;
}

struct OrderCase {
  bool insert;
  int32_t position;
  int32_t length;
  const char* order;  // entry i was 200 + i
  int32_t length_after;
};

TEST(Editing, OrderListInsertAndDeleteAtTheEdges) {
  const OrderCase cases[] = {
      {true, 0, 1, "0 200-326", 2},
      {true, 0, 128, "0 200-326", 128},
      {true, 126, 126, "200-325 0 326", 127},
      {true, 126, 127, "200-325 0 326", 127},  // 127 positions is as long as an edit makes it
      {true, 127, 128, "200-326 0", 128},
      {true, 127, 1, "200-326 0", 2},
      {true, 300, 127, "200-326 0", 127},   // past the end: the last entry
      {false, 0, 1, "201-326 326-327", 1},  // the last two entries stay
      {false, -5, 128, "201-326 326-327", 127},
      {false, 125, 2, "200-324 326 326-327", 1},
      {false, 126, 127, "200-327", 126},  // nothing moves from 126 on
      {false, 127, 128, "200-327", 127},
  };
  for (const OrderCase& c : cases) {
    Fresh f;
    for (int i = 0; i < kPositions; ++i) f.p->order[i] = 200 + i;
    f.p->song_length = c.length;
    if (c.insert) {
      insert_position(*f.p, c.position);
    } else {
      delete_position(*f.p, c.position);
    }
    SCOPED_TRACE((c.insert ? "insert at " : "delete at ") + std::to_string(c.position) +
                 ", length " + std::to_string(c.length));
    EXPECT_EQ(order_runs(*f.p), c.order);
    EXPECT_EQ(f.p->song_length, c.length_after);
  }
}

TEST(Editing, ReplacedDataTakesOnlyALoopThatFits) {
  Fresh f;
  auto* block = static_cast<int8_t*>(std::calloc(50, 1));
  EXPECT_EQ(replace_sample_data(*f.p, 1, block, 50, 40, 10), nullptr);  // the old, empty data
  EXPECT_EQ(f.p->samples[1].loop_start, 40 * kFixOne);
  EXPECT_EQ(f.p->samples[1].loop_end, 50 * kFixOne);
  auto* shorter = static_cast<int8_t*>(std::calloc(40, 1));
  EXPECT_EQ(replace_sample_data(*f.p, 1, shorter, 40, 40, 10), block);
  std::free(block);
  EXPECT_EQ(f.p->samples[1].length, 40 * kFixOne);
  EXPECT_EQ(f.p->samples[1].loop_start, 0);
  EXPECT_EQ(f.p->samples[1].loop_length, kNoLoopBytes * kFixOne);
  auto* refused = static_cast<int8_t*>(std::calloc(8, 1));
  EXPECT_EQ(replace_sample_data(*f.p, 0, refused, 8, 0, 2), refused);  // sample 0 stays empty
  std::free(refused);
}

// What each way of starting or silencing a channel leaves behind; the
// restart counter differs by caller and is kept so.
TEST(Editing, ChannelResetsAndNoteStarts) {
  struct Case {
    const char* what;
    void (*run)(Player& p);
    int32_t sample, period, volume, retrig, cut;
  };
  const Case cases[] = {
      {"reset", [](Player& p) { reset_channel(p, 2); }, 0, 0, 0, 0, 7},
      {"mute", [](Player& p) { toggle_channel(p, 2); }, 0, 0, 0, 0, 7},
      {"a note, tuned by finetune 3", [](Player& p) { play_note(p, 2, 1, 214); }, 1, 209, 40, -1,
       -1},
      {"a row played back untuned", [](Player& p) { play_row(p, 0, 5); }, 1, 214, 40, 0, 7},
      {"a sample load", [](Player& p) { install_sample(p, 3, Sample{}); }, 0, 0, 0, -1, 7},
  };
  for (const Case& c : cases) {
    Fresh f;
    Player& p = *f.p;
    p.samples[1].volume = 40;
    p.samples[1].finetune = 3;
    p.patterns[0][5][2] = PatternCell{214, 1, 0, 0, 0, 0, {}};
    ChannelState& ch = p.channels[2];
    ch.sample = 4;
    ch.position = 900;
    ch.period = ch.output_period = 300;
    ch.volume = ch.mix_volume = 50;
    ch.vibrato_speed = ch.arpeggio = ch.retrig_interval = 3;
    ch.flags = 3;
    ch.retrig_counter = 5;
    ch.cut_counter = 7;
    c.run(p);
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ch.sample, c.sample);
    EXPECT_EQ(ch.position, 0);
    EXPECT_EQ(ch.period, c.period);
    EXPECT_EQ(ch.output_period, c.period);
    EXPECT_EQ(ch.step, period_step(&p, c.period ? c.period : 1));
    EXPECT_EQ(ch.volume, c.volume);
    EXPECT_EQ(ch.mix_volume, c.volume);
    EXPECT_EQ(ch.vibrato_speed + ch.arpeggio + ch.retrig_interval, 0);
    EXPECT_EQ(ch.flags, 1);  // only the tone-portamento bit goes
    EXPECT_EQ(ch.retrig_counter, c.retrig);
    EXPECT_EQ(ch.cut_counter, c.cut);
  }
}

TEST(Editing, CellDigitsAndCellsOutsideThePatterns) {
  Fresh f;
  Player& p = *f.p;
  const CellAt at{3, 10, 2};
  PatternCell& cell = p.patterns[3][10][2];
  cell.sample = 0x25;  // beyond the sample numbers, from a file
  EXPECT_TRUE(write_cell_digit(p, at, CellDigit::kSampleHigh, 1));
  EXPECT_EQ(cell.sample, 0x35);  // the high digit only adds its bit
  EXPECT_TRUE(write_cell_digit(p, at, CellDigit::kSampleHigh, 0));
  EXPECT_EQ(cell.sample, 0x05);
  EXPECT_TRUE(write_cell_digit(p, at, CellDigit::kSampleLow, 0xA));
  EXPECT_EQ(cell.sample, 0x0A);
  EXPECT_TRUE(write_cell_digit(p, at, CellDigit::kEffect, 0xC));
  EXPECT_TRUE(write_cell_digit(p, at, CellDigit::kParamHigh, 3));
  EXPECT_TRUE(write_cell_digit(p, at, CellDigit::kParamLow, 7));
  EXPECT_EQ(cell.effect, 0xC);
  EXPECT_EQ(cell.param, 0x37);
  EXPECT_TRUE(write_note(p, at, 214, 9));
  EXPECT_TRUE(clear_cell_parts(p, at, false, true));
  EXPECT_EQ(cell.period + cell.sample, 214 + 9);
  EXPECT_EQ(cell.effect + cell.param_hi + cell.param_lo + cell.param, 0);
  for (const CellAt& outside : {CellAt{-1, 0, 0}, CellAt{kPatterns, 0, 0}, CellAt{0, -1, 0},
                                CellAt{0, kRows, 0}, CellAt{0, 0, -1}, CellAt{0, 0, kChannels}}) {
    EXPECT_FALSE(write_note(p, outside, 214, 1));
    EXPECT_FALSE(write_cell_digit(p, outside, CellDigit::kEffect, 1));
    EXPECT_FALSE(clear_cell_parts(p, outside, true, true));
  }
  // Nothing was written past the patterns, where the player's settings lie.
  EXPECT_EQ(p.flags, 4);
  EXPECT_EQ(p.song_length, 1);
}

TEST(Editing, NamesAreZeroFilledAndCutToTheirSize) {
  Fresh f;
  Player& p = *f.p;
  set_song_name(p, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 26);
  EXPECT_EQ(std::string(p.song_name, sizeof p.song_name), "ABCDEFGHIJKLMNOPQRST");
  set_song_name(p, "TUNE", 4);
  EXPECT_EQ(std::string(p.song_name, sizeof p.song_name),
            std::string("TUNE") + std::string(16, '\0'));
  set_sample_name(p, 2, "BASS", 4);
  EXPECT_STREQ(p.samples[2].name, "BASS");
  set_sample_name(p, 0, "X", 1);
  EXPECT_EQ(p.samples[0].name[0], '\0');
}

}  // namespace

// A copy for writing out owns its own sample data, holds the same module and
// has no history; the view of what the replayer moves is read as it is.
TEST(Editing, CopiesAndViewsTakenAtOneInstant) {
  Fresh f;
  Player& p = *f.p;
  p.samples[3].data = static_cast<int8_t*>(std::malloc(5));
  for (int i = 0; i < 5; ++i) p.samples[3].data[i] = static_cast<int8_t>(i * 20 - 40);
  p.samples[3].length = 5 * kFixOne;
  p.patterns[7][63][2].period = 214;
  p.song_position = 9;
  p.shown_row = 33;
  p.tempo = 140;
  p.channels[1].volume = 17;
  Player* copy = copy_player(p);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->samples[3].data, p.samples[3].data);
  EXPECT_EQ(std::memcmp(copy->samples[3].data, p.samples[3].data, 5), 0);
  EXPECT_TRUE(copy->patterns[7][63][2].period == 214 && copy->samples[4].data == nullptr &&
              copy->history == nullptr);
  p.samples[3].data[0] = 99;  // the copy does not follow later changes
  EXPECT_EQ(copy->samples[3].data[0], -40);
  player_destroy(copy);
  const ReplayView view = replay_view(p);
  EXPECT_TRUE(view.song_position == 9 && view.shown_row == 33 && view.tempo == 140 &&
              view.channels[1].volume == 17 && !replay_running(view));
  p.play_mode = kPlayPattern;
  EXPECT_TRUE(replay_running(replay_view(p)));
}

// A hold is timed from the outermost lock to its unlock: nested guards are
// one hold, and the longest one is kept.
TEST(AudioLock, HoldsAreTimedFromTheOutermostLock) {
  audio_lock_stats_reset();
  {
    AudioGuard outer;
    { AudioGuard inner; }
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  { AudioGuard short_hold; }
  const AudioLockStats stats = audio_lock_stats();
  EXPECT_EQ(stats.holds, 2);
  EXPECT_GE(stats.longest_hold_ns, 3'000'000);
}

// The position editor's insert and delete keep the song within 1..128
// positions and the song position inside it; stopped, the pattern shown is
// the one the song position now plays.
TEST(Editing, PositionEditorLinesKeepTheSongInRange) {
  struct Row {
    const char* what;
    bool insert;
    int32_t length, position, song_position;
    int32_t want_length, want_song_position, want_order0, want_order1, want_last;
  };
  const Row rows[] = {
      {"copy of line 0", true, 3, 0, 0, 4, 0, 10, 10, 126},
      {"copy at 128 positions", true, 128, 0, 0, 128, 0, 10, 10, 126},
      {"delete line 0", false, 3, 0, 0, 2, 0, 11, 12, 0},
      {"delete the last line", false, 3, 2, 2, 2, 1, 10, 11, 0},
      {"delete before the song position", false, 3, 0, 1, 2, 1, 11, 12, 0},
      {"copy before the song position", true, 3, 0, 1, 4, 1, 10, 10, 126},
      {"delete with one line", false, 1, 0, 0, 1, 0, 10, 11, 127},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Player* p = player_create(44100);
    for (int32_t i = 0; i < kPositions; ++i) p->order[i] = i + 10 > 99 ? i : i + 10;
    p->order[kPositions - 1] = 127;
    p->song_length = row.length;
    p->song_position = row.song_position;
    p->current_pattern = p->order[row.song_position];
    if (row.insert)
      duplicate_position(*p, row.position);
    else
      remove_position(*p, row.position);
    EXPECT_EQ(p->song_length, row.want_length);
    EXPECT_EQ(p->song_position, row.want_song_position);
    EXPECT_EQ(p->order[0], row.want_order0);
    EXPECT_EQ(p->order[1], row.want_order1);
    EXPECT_EQ(p->order[kPositions - 1], row.want_last);
    EXPECT_EQ(p->current_pattern, p->order[p->song_position]);
    player_destroy(p);
  }
}
