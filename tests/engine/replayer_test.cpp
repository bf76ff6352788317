#include "engine/replayer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "module_builder.h"

using namespace test_module;

namespace {

using Visit = std::pair<int32_t, int32_t>;  // shown position, shown row

class Replayer : public ::testing::Test {
 protected:
  void SetUp() override {
    p = player_create(44100);
    make_sample(p, 1, 0x3000, 0, 0x3000, 40, [](int32_t i) { return i; });
    make_sample(p, 2, 0x100, 0, 2, 20, [](int32_t) { return 5; });
    p->play_mode = kPlaySong;
  }
  void TearDown() override { player_destroy(p); }

  // Processes one row and every tick up to the next row.
  void play_row() {
    do {
      process_tick(p);
    } while (!(p->tick_counter == 0 && p->pattern_delay == 0));
  }
  std::vector<Visit> visit(int rows) {
    std::vector<Visit> seen;
    for (int i = 0; i < rows; ++i) {
      play_row();
      seen.emplace_back(p->shown_position, p->shown_row);
    }
    return seen;
  }
  // Ticks until the next row is due, counting them.
  int ticks_to_next_row() {
    int n = 0;
    do {
      process_tick(p);
      ++n;
    } while (!(p->tick_counter == 0 && p->pattern_delay == 0));
    return n;
  }
  ChannelState& ch(int c = 0) { return p->channels[c]; }

  Player* p = nullptr;
};

TEST_F(Replayer, FreshChannelPlaysItsFirstNoteAtTheSampleVolume) {
  set_cell(p, 0, 0, 0, 428, 1);
  process_tick(p);
  EXPECT_EQ(ch().mix_volume, 40);
  EXPECT_EQ(ch().position, 0);
  EXPECT_EQ(ch().step, period_step(p, 428));
}

TEST_F(Replayer, NoteWithoutSampleKeepsVolumeOnlyForEffects0CAndF) {
  set_cell(p, 0, 0, 0, 428, 1, 0xC, 0x20);
  set_cell(p, 0, 1, 0, 404, 0);
  set_cell(p, 0, 2, 0, 381, 0, 0x4, 0x00);
  set_cell(p, 0, 3, 0, 360, 0, 0xE, 0x11);
  play_row();
  EXPECT_EQ(ch().volume, 32);
  ch().position = 700 * kFixOne;
  play_row();
  EXPECT_EQ(ch().sample, 1);
  EXPECT_EQ(ch().position, 0) << "effect 0: the last sample restarts";
  EXPECT_EQ(ch().volume, 32) << "at the volume it had, not the sample's 40";
  ch().position = 700 * kFixOne;
  play_row();
  EXPECT_EQ(ch().position, 700 * kFixOne) << "effect 4: only the pitch changes";
  EXPECT_EQ(ch().period, 381);
  play_row();
  EXPECT_EQ(ch().position, 0) << "a fine slide restarts like effect 0";
  EXPECT_EQ(ch().volume, 32);
}

TEST_F(Replayer, SampleWithoutNoteWaitsForTheLoopWrap) {
  set_cell(p, 0, 0, 0, 428, 1);
  set_cell(p, 0, 1, 0, 0, 2);
  play_row();
  ch().position = 99 * kFixOne;
  play_row();
  EXPECT_EQ(ch().sample, 1);
  EXPECT_EQ(ch().pending_sample, 2);
  EXPECT_EQ(ch().volume, 20);
  EXPECT_EQ(ch().position, 99 * kFixOne);
}

TEST_F(Replayer, SampleOffsetMemory) {
  set_cell(p, 0, 0, 0, 428, 1);
  set_cell(p, 0, 1, 0, 428, 0, 0x9, 0x10);
  set_cell(p, 0, 2, 0, 428, 0, 0x9, 0x10);
  set_cell(p, 0, 3, 0, 428, 1, 0x9, 0x00);
  set_cell(p, 0, 4, 0, 428, 1, 0x9, 0x10);
  set_cell(p, 0, 5, 0, 0, 0, 0x9, 0x20);
  const int32_t expected[] = {0, 0x1000, 0x2000, 0x2000, 0x1000, 0x1000};
  for (int32_t bytes : expected) {
    play_row();
    EXPECT_EQ(ch().offset_memory, bytes * kFixOne) << "row " << p->shown_row;
  }
  EXPECT_EQ(ch().position, 0x1000 * kFixOne) << "9xx without a note does nothing";
}

TEST_F(Replayer, RepeatedRelativeOffsetsDoNotOverflow) {
  for (int row = 0; row < kRows; ++row) set_cell(p, 0, row, 0, 428, 0, 0x9, 0xFF);
  visit(kRows);
  EXPECT_GT(ch().offset_memory, 0);
  EXPECT_EQ(ch().position, ch().offset_memory);
}

TEST_F(Replayer, PatternLoopRepeatsTheSection) {
  set_cell(p, 0, 1, 0, 0, 0, 0xE, 0x60);
  set_cell(p, 0, 3, 0, 0, 0, 0xE, 0x62);
  std::vector<int32_t> rows;
  for (const Visit& v : visit(12)) rows.push_back(v.second);
  EXPECT_EQ(rows, (std::vector<int32_t>{0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5}));
}

TEST_F(Replayer, PatternLoopBackToRowZeroStaysOnItsPosition) {
  p->song_length = 2;
  set_cell(p, 0, 0, 0, 0, 0, 0xE, 0x60);
  set_cell(p, 0, 1, 0, 0, 0, 0xE, 0x60);  // ignored: a loop start is already set
  set_cell(p, 0, 2, 0, 0, 0, 0xE, 0x61);
  const std::vector<Visit> expected = {{0, 0}, {0, 1}, {0, 2}, {0, 0}, {0, 1}, {0, 2}, {0, 3}};
  EXPECT_EQ(visit(7), expected);
}

TEST_F(Replayer, PatternLoopE63PlaysFourTimes) {
  set_cell(p, 0, 0, 0, 0, 0, 0xE, 0x60);
  set_cell(p, 0, 1, 0, 0, 0, 0xE, 0x63);
  int zeros = 0;
  for (const Visit& v : visit(9)) zeros += v.second == 0;
  EXPECT_EQ(zeros, 4);
  EXPECT_EQ(p->row, 3);
}

TEST_F(Replayer, PatternDelayRepeatsTheRowTime) {
  set_cell(p, 0, 0, 0, 0, 0, 0xE, 0xE2);
  EXPECT_EQ(ticks_to_next_row(), 18);
  EXPECT_EQ(ticks_to_next_row(), 6);
}

TEST_F(Replayer, SpeedCommandActsOnItsOwnRow) {
  set_cell(p, 0, 0, 0, 0, 0, 0xF, 0x03);
  EXPECT_EQ(ticks_to_next_row(), 3);
  set_cell(p, 0, 1, 0, 0, 0, 0xF, 0x00);  // F00 changes nothing
  EXPECT_EQ(ticks_to_next_row(), 3);
}

TEST_F(Replayer, TempoSetsSamplesPerTick) {
  const std::pair<int, float> cases[] = {{0x7D, 873.353f}, {0x20, 3411.535f}, {0xFF, 428.1142f}};
  for (const auto& [param, frames] : cases) {
    set_cell(p, 0, p->row, 0, 0, 0, 0xF, param);
    play_row();
    EXPECT_EQ(p->tempo, param);
    EXPECT_NEAR(p->samples_per_tick, frames, 0.001f);
  }
  EXPECT_EQ(p->speed, 6);
}

struct JumpCase {
  int effect;
  int param;
  Visit next;
};

TEST_F(Replayer, BreakAndJumpTargetsInSongPlay) {
  const JumpCase cases[] = {{0xD, 0x32, {1, 32}}, {0xD, 0x00, {1, 0}}, {0xD, 0x64, {1, 0}},
                            {0xB, 0x02, {2, 0}},  {0xB, 0x00, {0, 0}}, {0xB, 0x03, {0, 0}},
                            {0xB, 0x7F, {0, 0}}};
  for (const JumpCase& c : cases) {
    Player* q = player_create(44100);
    q->song_length = 3;
    q->order[1] = 1;
    q->order[2] = 2;
    q->play_mode = kPlaySong;
    set_cell(q, 0, 0, 2, 0, 0, c.effect, c.param);
    std::swap(p, q);
    const std::vector<Visit> seen = visit(2);
    std::swap(p, q);
    EXPECT_EQ(seen[1], c.next) << std::hex << c.effect << c.param;
    EXPECT_EQ(q->current_pattern, q->order[q->song_position]);
    player_destroy(q);
  }
}

TEST_F(Replayer, JumpAndBreakOnOneRowCombine) {
  p->song_length = 3;
  set_cell(p, 0, 0, 0, 0, 0, 0xB, 0x02);
  set_cell(p, 0, 0, 1, 0, 0, 0xD, 0x10);
  EXPECT_EQ(visit(2)[1], Visit(2, 10));
}

TEST_F(Replayer, PatternPlayOnlyChangesTheRow) {
  p->play_mode = kPlayPattern;
  p->current_pattern = 5;
  p->song_length = 3;
  set_cell(p, 5, 0, 0, 0, 0, 0xD, 0x32);
  set_cell(p, 5, 33, 0, 0, 0, 0xB, 0x02);
  const std::vector<Visit> expected = {{5, 0}, {5, 32}, {5, 33}, {5, 0}};
  EXPECT_EQ(visit(4), expected);
  EXPECT_EQ(p->song_position, 0);
}

TEST_F(Replayer, SongWrapsAfterItsLastPosition) {
  p->song_length = 2;
  p->order[1] = 3;
  p->song_position = 1;
  p->row = 63;
  EXPECT_EQ(visit(2), (std::vector<Visit>{{1, 63}, {0, 0}}));
}

TEST_F(Replayer, ArpeggioCyclesLowHighBase) {
  set_cell(p, 0, 0, 0, 428, 1, 0x0, 0x47);
  const int base = note_index(428);
  const int order[] = {base + 7, base + 4, base, base + 7, base + 4, base};
  for (int i : order) {
    process_tick(p);
    EXPECT_EQ(ch().step, period_step(p, kPeriodTable[0][i])) << "tick " << i;
  }
  EXPECT_EQ(ch().period, 428) << "the period itself does not change";
  // Notes near the top stop at the last table entry.
  set_cell(p, 0, 1, 0, 120, 1, 0x0, 0xF0);
  process_tick(p);
  process_tick(p);
  EXPECT_EQ(ch().step, period_step(p, kPeriodTable[0][35]));
}

// Output periods of the five pitch ticks of a vibrato row (the first tick
// of a row leaves the pitch alone).
std::vector<int32_t> vibrato_periods(Player* p, int waveform, int param) {
  set_cell(p, 0, 0, 0, 428, 1, 0xE, 0x40 | waveform);
  set_cell(p, 0, 1, 0, 428, 0, 0x4, param);
  for (int t = 0; t < 6; ++t) process_tick(p);
  std::vector<int32_t> out;
  process_tick(p);
  EXPECT_EQ(p->channels[0].output_period, 428);
  for (int t = 0; t < 5; ++t) {
    process_tick(p);
    out.push_back(p->channels[0].output_period - 428);
  }
  return out;
}

TEST_F(Replayer, VibratoWaveforms) {
  // Positions 0, 4, 8, 12, 16 with depth 8: (8 * wave) >> 7.
  EXPECT_EQ(vibrato_periods(p, 0, 0x48), (std::vector<int32_t>{0, 6, 11, 14, 15}));
  p->row = 0;
  EXPECT_EQ(vibrato_periods(p, 1, 0x48), (std::vector<int32_t>{0, 2, 4, 6, 8}));
  p->row = 0;
  EXPECT_EQ(vibrato_periods(p, 2, 0x48), (std::vector<int32_t>{15, 15, 15, 15, 15}));
  // Speed 15 reaches the negative half: positions 0, 15, 30, 45, 60; the
  // shifts round towards minus infinity.
  p->row = 0;
  EXPECT_EQ(vibrato_periods(p, 0, 0xF8), (std::vector<int32_t>{0, 15, 3, -16, -7}));
  p->row = 0;
  EXPECT_EQ(vibrato_periods(p, 1, 0xF8), (std::vector<int32_t>{0, 7, 15, -10, -2}));
}

TEST_F(Replayer, TremoloActsFromTheRowTick) {
  set_cell(p, 0, 0, 0, 428, 1, 0x7, 0x48);
  std::vector<int32_t> volumes;
  for (int t = 0; t < 6; ++t) {
    process_tick(p);
    volumes.push_back(ch().mix_volume);
  }
  // Depth 16 (twice the digit): 40 + (16 * sine) >> 8 at positions 0..20.
  EXPECT_EQ(volumes, (std::vector<int32_t>{40, 46, 51, 54, 55, 54}));
  EXPECT_EQ(ch().volume, 40);
}

TEST_F(Replayer, VolumeSlideWorksOnEveryTickAndClamps) {
  set_cell(p, 0, 0, 0, 428, 1, 0xC, 0x20);
  set_cell(p, 0, 1, 0, 0, 0, 0xA, 0x10);
  set_cell(p, 0, 2, 0, 0, 0, 0xA, 0x01);
  set_cell(p, 0, 3, 0, 0, 0, 0xA, 0x01);
  set_cell(p, 0, 4, 0, 0, 0, 0xC, 0x40);
  set_cell(p, 0, 5, 0, 0, 0, 0xA, 0xF0);
  set_cell(p, 0, 6, 0, 0, 0, 0xA, 0x0F);
  set_cell(p, 0, 7, 0, 0, 0, 0xA, 0x0F);
  const int32_t expected[] = {32, 38, 32, 26, 63, 63, 0, 0};
  for (int32_t v : expected) {
    play_row();
    EXPECT_EQ(ch().volume, v) << "row " << p->shown_row;
  }
}

TEST_F(Replayer, PortamentoActsOnAllButTheRowTick) {
  set_cell(p, 0, 0, 0, 428, 1);
  set_cell(p, 0, 1, 0, 0, 0, 0x1, 0x02);
  set_cell(p, 0, 2, 0, 0, 0, 0x2, 0x03);
  set_cell(p, 0, 3, 0, 381, 0, 0x3, 0x04);
  set_cell(p, 0, 4, 0, 0, 0, 0x3, 0x00);
  const int32_t expected[] = {428, 418, 433, 413, 393, 381};
  play_row();
  EXPECT_EQ(ch().output_period, expected[0]);
  for (int r = 1; r < 4; ++r) {
    ch().position = 5 * kFixOne;
    play_row();
    EXPECT_EQ(ch().output_period, expected[r]) << "row " << r;
    EXPECT_EQ(ch().position, 5 * kFixOne) << "no restart";
  }
  play_row();
  EXPECT_EQ(ch().output_period, 393) << "speed 4 from memory";
  set_cell(p, 0, 5, 0, 0, 0, 0x3, 0x00);
  play_row();
  EXPECT_EQ(ch().output_period, 381) << "stops at the target";
}

TEST_F(Replayer, SpeedOneLeavesPitchEffectsInaudible) {
  set_cell(p, 0, 0, 0, 428, 1, 0xF, 0x01);
  set_cell(p, 0, 1, 0, 0, 0, 0x1, 0x10);
  set_cell(p, 0, 2, 0, 0, 0, 0x4, 0x4F);
  set_cell(p, 0, 3, 0, 404, 0, 0x3, 0x10);
  for (int r = 0; r < 4; ++r) {
    play_row();
    EXPECT_EQ(ch().step, period_step(p, 428)) << "row " << r;
  }
}

TEST_F(Replayer, FineSlidesAndNoteCutAndRetrigger) {
  set_cell(p, 0, 0, 0, 428, 1, 0xE, 0x13);
  play_row();
  EXPECT_EQ(ch().period, 425);
  set_cell(p, 0, 1, 0, 0, 0, 0xE, 0x25);
  play_row();
  EXPECT_EQ(ch().period, 430);
  EXPECT_EQ(ch().step, period_step(p, 430));

  set_cell(p, 0, 2, 0, 428, 1, 0xE, 0xC2);
  process_tick(p);
  process_tick(p);
  EXPECT_EQ(ch().mix_volume, 40);
  process_tick(p);
  EXPECT_EQ(ch().mix_volume, 0);
  for (int t = 0; t < 3; ++t) process_tick(p);

  set_cell(p, 0, 3, 0, 428, 1, 0xE, 0x93);
  std::vector<int> restarts;
  for (int t = 0; t < 6; ++t) {
    ch().position = 9 * kFixOne;
    process_tick(p);
    if (ch().position == 0) restarts.push_back(t);
  }
  EXPECT_EQ(restarts, (std::vector<int>{0, 3}));
}

TEST_F(Replayer, FilterCommandNeedsTheModuleFlag) {
  set_cell(p, 0, 0, 0, 0, 0, 0xE, 0x00);
  set_cell(p, 0, 1, 0, 0, 0, 0xE, 0x01);
  set_cell(p, 0, 2, 0, 0, 0, 0xE, 0x00);
  play_row();
  EXPECT_EQ(p->filter_enabled, 1);
  play_row();
  EXPECT_EQ(p->filter_enabled, 0);
  p->flags = 0;
  play_row();
  EXPECT_EQ(p->filter_enabled, 0);
}

TEST_F(Replayer, StoppedPlayKeepsTickEffectsButNoRows) {
  set_cell(p, 0, 0, 0, 428, 1, 0xA, 0x01);
  play_row();
  p->play_mode = kStopped;
  for (int t = 0; t < 12; ++t) process_tick(p);
  EXPECT_EQ(p->row, 1);
  EXPECT_EQ(ch().volume, 40 - 18) << "the slide goes on";
}

TEST_F(Replayer, InvertLoopComplementsLoopBytesOfSoundingNotesOnly) {
  Sample& s = make_sample(p, 3, 16, 4, 8, 64, [](int32_t i) { return i; });
  set_cell(p, 0, 0, 0, 428, 3, 0xE, 0xFF);
  set_cell(p, 0, 1, 0, 0, 0, 0xE, 0xFF);
  play_row();
  EXPECT_EQ(ch().volume, 63) << "sample volume 64 plays as 63";
  EXPECT_EQ(s.data[5], 5);
  ch().position = 2 * kFixOne;
  play_row();
  EXPECT_EQ(s.data[5], static_cast<int8_t>(~5));
  EXPECT_EQ(ch().position, 2 * kFixOne + 1);
  // A channel that has fallen silent is not woken by the walk.
  set_cell(p, 0, 2, 0, 0, 0, 0xE, 0xFF);
  ch().position = -1;
  play_row();
  EXPECT_EQ(s.data[6], static_cast<int8_t>(~6));
  EXPECT_EQ(ch().position, -1);
}

TEST(NoteIndex, ExactFinetuneZeroNotesKeepTheirIndex) {
  for (int i = 0; i < 36; ++i) EXPECT_EQ(note_index(kPeriodTable[0][i]), i);
}

TEST(NoteIndex, OtherPeriodsMapToTheNearestNote) {
  EXPECT_EQ(note_index(907), 0);
  EXPECT_EQ(note_index(850), 0);   // finetune +1 C
  EXPECT_EQ(note_index(814), 1);   // finetune +7 C lies nearer to C#
  EXPECT_EQ(note_index(862), 0);   // finetune -1 C
  EXPECT_EQ(note_index(1712), 0);  // an octave below the table
  EXPECT_EQ(note_index(57), 35);   // an octave above it
  EXPECT_EQ(note_index(1), 35);
  EXPECT_EQ(note_index(0), 35);
  EXPECT_EQ(note_index(-40), 35);
  for (int row = 1; row < 16; ++row) {
    for (int i = 0; i < 36; ++i) {
      const int32_t found = note_index(kPeriodTable[row][i]);
      EXPECT_LE(std::abs(kPeriodTable[0][found] - kPeriodTable[row][i]),
                std::abs(kPeriodTable[0][i] - kPeriodTable[row][i]));
    }
  }
}

TEST(PeriodStep, MatchesTheIntegerFormulaAndNeverDividesByZero) {
  Player* p = player_create(44100);
  EXPECT_EQ(period_step(p, 428), 1172874197 / ((44100 * 428) / 50));
  EXPECT_EQ(period_step(p, 907), 1172874197 / ((44100 * 907) / 50));
  EXPECT_EQ(period_step(p, 0), 0);
  EXPECT_EQ(period_step(p, -3), 0);
  EXPECT_GT(period_step(p, 1), 0);
  EXPECT_EQ(finetune_period(428, 8, 0), 453);
  EXPECT_EQ(finetune_period(428, 0, 100), 113);
  EXPECT_EQ(finetune_period(0, 3, 0), 0);
  player_destroy(p);
}

TEST_F(Replayer, PeriodsOfZeroOrBelowNeverReachTheStepFormula) {
  // An arpeggio with a sample but no note on a channel that never had one.
  set_cell(p, 0, 0, 0, 0, 1, 0x0, 0x37);
  // A vibrato row, then a volume slide, on a channel without a note.
  set_cell(p, 0, 0, 1, 0, 0, 0x4, 0x44);
  set_cell(p, 0, 1, 1, 0, 0, 0xA, 0x01);
  // Fine slides driving the period below zero.
  set_cell(p, 0, 0, 2, 113, 1);
  for (int row = 1; row < 16; ++row) set_cell(p, 0, row, 2, 0, 0, 0xE, 0x1F);
  visit(16);
  EXPECT_EQ(ch(0).step, 0);
  EXPECT_EQ(ch(1).period, 0);
  EXPECT_LT(ch(2).period, 0);
  EXPECT_EQ(ch(2).step, 0);
  // And the mixer copes with the standing channel.
  const Stereo out = render_stereo(p, 2000);
  EXPECT_EQ(out.right.size(), 2000u);
}

}  // namespace
