// The replayer, tick by tick: what each channel is heard at (the period
// whose step it plays), its mix volume and where it restarts, for tables of
// pattern cells; and the song position and row each row processing visits.
#include "engine/replayer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "module_builder.h"

using namespace test_module;

namespace {

// 18.14 step of a period at 44100 Hz, by the step formula worked out once:
// 1172874197 / ((44100 * period) / 50).
int32_t step_of(int32_t period) {
  return 1172874197 / ((44100 * period) / 50);
}

// Period whose step a channel plays; the step itself when it is no period's.
std::string heard(int32_t step) {
  for (int32_t p = 50; p < 2000; ++p)
    if (step_of(p) == step) return std::to_string(p);
  return "step" + std::to_string(step);
}

// Joins values, writing runs as "value*count".
std::string runs(const std::vector<std::string>& values) {
  std::string text;
  for (size_t i = 0, n; i < values.size(); i += n) {
    for (n = 1; i + n < values.size() && values[i + n] == values[i];) ++n;
    text += (i ? " " : "") + values[i];
    if (n > 1) text.append("*").append(std::to_string(n));
  }
  return text;
}

class Replayer : public ::testing::Test {
 protected:
  void SetUp() override {
    p = player_create(44100);
    make_sample(p, 1, 0x3000, 0, 0x3000, 40, [](int32_t i) { return i; });
    make_sample(p, 31, 0x3000, 0, 0x3000, 50, [](int32_t) { return 1; }).finetune = 3;
    p->play_mode = kPlaySong;
  }
  void TearDown() override { player_destroy(p); }

  // Cells written "row:period:sample:EPP[:channel[:pattern]]", EPP the
  // effect and parameter in hex, separated by spaces.
  void put(const char* cells) {
    int row, period, sample, fx, n;
    for (const char* c = cells;
         std::sscanf(c, "%d:%d:%d:%x%n", &row, &period, &sample, &fx, &n) == 4;) {
      c += n;
      int channel = 0, pattern = 0;
      if (std::sscanf(c, ":%d%n", &channel, &n) == 1) c += n;
      if (std::sscanf(c, ":%d%n", &pattern, &n) == 1) c += n;
      set_cell(p, pattern, row, channel, period, sample, fx >> 8, fx & 255);
    }
  }

  // Channel 0 over `ticks` ticks. Before each tick a sounding channel is put
  // at byte 7, so a restart or an offset shows as a new position.
  struct Trace {
    std::string periods, volumes, positions;
  };
  Trace trace(int ticks) {
    std::vector<std::string> periods, volumes, positions;
    ChannelState& ch = p->channels[0];
    for (int t = 0; t < ticks; ++t) {
      if (ch.position >= 0) ch.position = 7 * kFixOne;
      process_tick(p);
      periods.push_back(heard(ch.step));
      volumes.push_back(std::to_string(ch.mix_volume));
      positions.push_back(ch.position < 0              ? "off"
                          : ch.position == 7 * kFixOne ? "-"
                                                       : std::to_string(ch.position >> 14));
    }
    return {runs(periods), runs(volumes), runs(positions)};
  }

  // Shown position and row of each of `rows` row processings.
  std::string visits(int rows) {
    std::vector<std::string> seen;
    for (int i = 0; i < rows; ++i) {
      do {
        process_tick(p);
      } while (!(p->tick_counter == 0 && p->pattern_delay == 0));
      seen.push_back(std::to_string(p->shown_position) + ":" + std::to_string(p->shown_row));
    }
    return runs(seen);
  }

  Player* p = nullptr;
};

struct TraceCase {
  const char* what;
  const char* cells;
  int ticks;
  const char *periods, *volumes, *positions;  // positions null: not checked
};

// Speed 6 unless a cell says otherwise; sample 1 has volume 40 and finetune
// 0, sample 31 volume 50 and finetune +3.
const TraceCase kTraces[] = {
    {"a note restarts at the sample's volume", "0:428:1:000", 6, "428*6", "40*6", "0 -*5"},
    {"sample 31, with its finetune", "0:428:31:000", 2, "419*2", "50*2", "0 -"},
    {"no sample on a fresh channel: silent", "0:428:0:000", 2, "428*2", "0*2", "off*2"},
    {"1xx, 2xx stop at 108, 907",
     "0:428:1:000 1:0:0:102 2:113:1:000 3:0:0:106 4:856:1:000 5:0:0:234", 36,
     "428*7 426 424 422 420 418 113*7 108*5 856*7 907*5", "40*36", nullptr},
    {"5xy: tone portamento and volume slide", "0:428:1:000 1:381:0:308 2:0:0:502", 18,
     "428*7 420 412 404 396 388*2 381*5", "40*12 38 36 34 32 30 28", nullptr},
    {"6xy: vibrato into its negative half", "0:428:1:448 1:0:0:601", 12,
     "428*2 434 439 442 443*2 442 439 434 428 421", "40*6 39 38 37 36 35 34", nullptr},
    {"E3x: slides round to notes", "0:428:1:E31 1:0:0:205", 12, "428*11 453", "40*12", nullptr},
    {"E5x with a note only", "0:428:1:E53 1:0:0:E57", 12, "419*12", "40*12", nullptr},
    {"E7x: square tremolo", "0:428:1:E72 1:0:0:7F8", 12, "428*12", "40*6 55*3 24*2 55", nullptr},
    {"7xy: the sine from the row tick, negative after 31",
     "0:428:1:718 1:0:0:718 2:0:0:718 3:0:0:718 4:0:0:718 5:0:0:718", 36, "428*36",
     "40 41 43 44 46 47 48 50 51 52 53 54*2 55*7 54*2 53 52 51 50 48 47 46 44 43 41 40 38 36 35",
     nullptr},
    {"Axy stops at 63 and 0; C40 is 63",
     "0:428:1:C20 1:0:0:A10 2:0:0:A01 3:0:0:C40 4:0:0:A20 5:0:0:C01 6:0:0:A02", 42, "428*42",
     "32*6 33 34 35 36 37 38 37 36 35 34 33 32 63*12 1*6 0*6", nullptr},
    {"EAx, EBx once, within 0..63", "0:428:1:C3C 1:0:0:EA5 2:0:0:EB9 3:0:0:C05 4:0:0:EB9", 30,
     "428*30", "60*6 63*6 54*6 5*6 0*6", nullptr},
    {"EDx: pitch at once, restart on tick x", "0:428:1:000 1:381:1:ED2 2:0:0:ED2", 18,
     "428*6 381*12", "40*18", "0 -*7 0 -*9"},
    {"9xx without a sample adds to the offset; 900 reuses it",
     "0:428:1:000 1:428:0:910 2:428:0:910 3:428:1:900 4:428:1:910 5:0:0:920", 36, "428*36", "40*36",
     "0 -*5 4096 -*5 8192 -*5 8192 -*5 4096 -*11"},
    {"speed 1: no slides, vibrato or portamento", "0:428:1:F01 1:0:0:110 2:0:0:44F 3:404:0:310", 4,
     "428*4", "40*4", nullptr},
};

TEST_F(Replayer, TickTraces) {
  for (const TraceCase& c : kTraces) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    put(c.cells);
    const Trace t = trace(c.ticks);
    EXPECT_EQ(t.periods, c.periods);
    EXPECT_EQ(t.volumes, c.volumes);
    if (c.positions) {
      EXPECT_EQ(t.positions, c.positions);
    }
  }
}

struct VisitCase {
  const char* what;
  const char* cells;
  int32_t play_mode, start_position, start_row, rows;
  const char* visits;  // position:row of each processed row
};

// Three positions playing patterns 0, 1, 2.
const VisitCase kVisits[] = {
    {"D32: row 32 of the next position", "0:0:0:D32:2", kPlaySong, 0, 0, 2, "0:0 1:32"},
    {"D63 is the last row", "0:0:0:D63", kPlaySong, 0, 0, 2, "0:0 1:63"},
    {"D00 and D64 go to row 0", "0:0:0:D64 0:0:0:D00:0:1", kPlaySong, 0, 0, 3, "0:0 1:0 2:0"},
    {"a break at the very end wraps", "63:0:0:D10:0:2", kPlaySong, 2, 62, 3, "2:62 2:63 0:10"},
    {"Bxx jumps; B00 too", "0:0:0:B02 0:0:0:B00:3:2", kPlaySong, 0, 0, 3, "0:0 2:0 0:0"},
    {"B past the song goes to 0", "0:0:0:B03:0:1", kPlaySong, 1, 0, 2, "1:0 0:0"},
    {"B and D on one row combine", "0:0:0:B02 0:0:0:D10:1", kPlaySong, 0, 0, 2, "0:0 2:10"},
    {"pattern play: B, D change the row", "0:0:0:D32 33:0:0:B02", kPlayPattern, 0, 0, 4,
     "0:0 0:32 0:33 0:0"},
    {"E6x plays x+1 times; a second E60 is ignored", "1:0:0:E60 2:0:0:E60 3:0:0:E62", kPlaySong, 0,
     0, 12, "0:0 0:1 0:2 0:3 0:1 0:2 0:3 0:1 0:2 0:3 0:4 0:5"},
};

TEST_F(Replayer, RowVisits) {
  for (const VisitCase& c : kVisits) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    p->song_length = 3;
    p->order[1] = 1;
    p->order[2] = 2;
    p->play_mode = c.play_mode;
    p->song_position = p->current_pattern = c.start_position;
    p->row = c.start_row;
    put(c.cells);
    EXPECT_EQ(visits(c.rows), c.visits);
    EXPECT_TRUE(c.play_mode != kPlaySong || p->current_pattern == p->order[p->song_position]);
  }
}

// Tempos from 32 up set the frames per tick; F1F is a speed. (The ticks per
// row, speed and pattern delay, show in where songs end.)
TEST_F(Replayer, TempoSetsTheFramesPerTick) {
  put("0:0:0:F7D 1:0:0:F20 2:0:0:F1F 3:0:0:FFF");
  for (const float frames : {873.353f, 3411.535f, 3411.535f, 428.1142f}) {
    visits(1);
    EXPECT_NEAR(p->samples_per_tick, frames, 0.001f);
  }
}

}  // namespace
