// The editing layer's own rules: order-list edges, loop limits, what a
// channel is left with by each way of resetting it, and cell digits.
#include "engine/editing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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

TEST(Editing, SongValuesStayInTheirRanges) {
  Fresh f;
  Player& p = *f.p;
  p.song_position = 3;
  p.order[3] = 95;
  step_order_entry(p, 10);
  EXPECT_EQ(p.order[3], 99);
  step_order_entry(p, -100);
  EXPECT_EQ(p.order[3], 0);
  set_song_length(p, 0);
  EXPECT_EQ(p.song_length, 1);
  set_song_length(p, 128);
  EXPECT_EQ(p.song_length, 127);
  set_song_position(p, 128);
  EXPECT_EQ(p.song_position, 127);
  set_tempo(p, 31);
  EXPECT_EQ(p.tempo, 32);
  set_tempo(p, 256);
  EXPECT_EQ(p.tempo, 255);
  set_tempo(p, 125);
  // 44100 * 50.5 / (125 * 20.4) frames per tick.
  EXPECT_NEAR(p.samples_per_tick, 873.35, 0.01);
  set_sample_volume(p, 1, 65);
  EXPECT_EQ(p.samples[1].volume, 64);
  set_sample_volume(p, 0, 40);  // sample 0 stays empty
  EXPECT_EQ(p.samples[0].volume, 0);
}

struct LoopCase {
  const char* what;
  void (*run)(Player& p);
  int32_t start;  // bytes, after the step
  int32_t length;
};

// Sample 1 has 100 bytes looping from 10 for 20 bytes.
TEST(Editing, LoopSettersKeepTheLoopInsideTheSample) {
  const LoopCase cases[] = {
      {"start up", [](Player& p) { step_sample_loop(p, 1, LoopStep::kStartUp, 2); }, 12, 20},
      {"start up to the end", [](Player& p) { step_sample_loop(p, 1, LoopStep::kStartUp, 70); }, 80,
       20},
      {"start up past the end", [](Player& p) { step_sample_loop(p, 1, LoopStep::kStartUp, 72); },
       10, 20},
      {"start down to 0", [](Player& p) { step_sample_loop(p, 1, LoopStep::kStartDown, 10); }, 0,
       20},
      {"start down below 0", [](Player& p) { step_sample_loop(p, 1, LoopStep::kStartDown, 12); },
       10, 20},
      {"length up to the end", [](Player& p) { step_sample_loop(p, 1, LoopStep::kLengthUp, 70); },
       10, 90},
      {"length up past the end", [](Player& p) { step_sample_loop(p, 1, LoopStep::kLengthUp, 72); },
       10, 20},
      {"length down to 2", [](Player& p) { step_sample_loop(p, 1, LoopStep::kLengthDown, 18); }, 10,
       2},
      {"length down below 2", [](Player& p) { step_sample_loop(p, 1, LoopStep::kLengthDown, 19); },
       10, 20},
      {"start dragged to an odd byte", [](Player& p) { move_loop_start(p, 1, 25); }, 24, 6},
      {"start dragged left of the data", [](Player& p) { move_loop_start(p, 1, -7); }, 0, 30},
      {"start dragged past the end", [](Player& p) { move_loop_start(p, 1, 99); }, 28, 2},
      {"end dragged", [](Player& p) { move_loop_end(p, 1, 51); }, 10, 40},
      {"end dragged before the start", [](Player& p) { move_loop_end(p, 1, 5); }, 10, 2},
      {"end dragged past the data", [](Player& p) { move_loop_end(p, 1, 1000); }, 10, 90},
      {"loop switched off", [](Player& p) { toggle_sample_loop(p, 1); }, 0, 2},
      {"and on again over the whole sample",
       [](Player& p) {
         toggle_sample_loop(p, 1);
         toggle_sample_loop(p, 1);
       },
       0, 100},
      {"sample 0 is not edited", [](Player& p) { step_sample_loop(p, 0, LoopStep::kStartUp, 2); },
       10, 20},
  };
  for (const LoopCase& c : cases) {
    Fresh f;
    for (int32_t number : {0, 1}) {
      Sample& s = f.p->samples[number];
      s.data = static_cast<int8_t*>(number ? std::calloc(100, 1) : nullptr);
      s.length = (number ? 100 : 0) * kFixOne;
      s.loop_start = 10 * kFixOne;
      s.loop_length = 20 * kFixOne;
      s.loop_end = 30 * kFixOne;
    }
    c.run(*f.p);
    const Sample& s = f.p->samples[1];
    EXPECT_EQ(s.loop_start, c.start * kFixOne) << c.what;
    EXPECT_EQ(s.loop_length, c.length * kFixOne) << c.what;
    EXPECT_EQ(s.loop_end, s.loop_start + s.loop_length) << c.what;
    EXPECT_EQ(f.p->samples[0].loop_start, 10 * kFixOne) << c.what;
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

TEST(Editing, MuteSilencesButUnmuteDoesNot) {
  Fresh f;
  Player& p = *f.p;
  p.channels[1].sample = 4;
  toggle_channel(p, 1);
  EXPECT_EQ(p.channels[1].enabled, 0);
  EXPECT_EQ(p.channels[1].sample, 0);
  p.channels[1].sample = 4;
  toggle_channel(p, 1);
  EXPECT_EQ(p.channels[1].enabled, 1);
  EXPECT_EQ(p.channels[1].sample, 4);
  set_channel_enabled(p, 1, false);
  EXPECT_EQ(p.channels[1].enabled, 0);
  EXPECT_EQ(p.channels[1].sample, 4);
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
