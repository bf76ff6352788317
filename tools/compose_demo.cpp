// Writes the bundled demo module: a short piece in A minor whose samples are
// all synthesised here. Usage: compose_demo OUT.mod
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>

#include "engine/player.h"
#include "engine/replayer.h"
#include "files/module_format.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 8287;  // what a C-2 note plays a sample at

enum SampleNumber { kKick = 1, kSnare, kHat, kBass, kLead, kChord };

// Deterministic noise, so the file is the same on every machine.
uint32_t g_noise = 0x1234567;
double noise() {
  g_noise = g_noise * 1664525u + 1013904223u;
  return static_cast<double>(g_noise >> 8) / (1 << 23) - 1.0;
}

int8_t to_byte(double v) {
  return static_cast<int8_t>(std::lround(std::clamp(v, -1.0, 1.0) * 127));
}

// Allocates `bytes` of sample data and names the sample; the caller fills it.
int8_t* new_sample(Player* p, int number, const char* name, int32_t bytes, int32_t volume,
                   int32_t loop_start = 0, int32_t loop_length = 2) {
  Sample& s = p->samples[number];
  std::snprintf(s.name, sizeof s.name, "%s", name);
  s.data = static_cast<int8_t*>(std::calloc(static_cast<size_t>(bytes), 1));
  s.length = bytes * kFixOne;
  s.loop_start = loop_start * kFixOne;
  s.loop_length = loop_length * kFixOne;
  s.loop_end = s.loop_start + s.loop_length;
  s.volume = volume;
  return s.data;
}

void make_drums(Player* p) {
  int8_t* kick = new_sample(p, kKick, "kick", 2400, 64);
  double phase = 0;
  for (int i = 0; i < 2400; ++i) {
    const double t = i / kRate;
    phase += 2 * kPi * (45 + 110 * std::exp(-t * 30)) / kRate;
    kick[i] = to_byte(std::sin(phase) * std::exp(-t * 9) * 1.1);
  }
  int8_t* snare = new_sample(p, kSnare, "snare", 2600, 46);
  for (int i = 0; i < 2600; ++i) {
    const double t = i / kRate;
    const double body = std::sin(2 * kPi * 185 * t) * std::exp(-t * 30);
    snare[i] = to_byte((noise() * 0.8 * std::exp(-t * 14) + body * 0.6));
  }
  int8_t* hat = new_sample(p, kHat, "hihat", 900, 24);
  double last = 0;
  for (int i = 0; i < 900; ++i) {
    const double n = noise();
    hat[i] = to_byte((n - last) * 0.6 * std::exp(-i / kRate * 38));  // high-passed
    last = n;
  }
}

// A sustained voice: `attack` bytes that fade in, then one looped cycle.
void make_voice(Player* p, int number, const char* name, int32_t cycle, int32_t volume,
                double (*wave)(double)) {
  const int32_t attack = cycle * 8;
  int8_t* d = new_sample(p, number, name, attack + cycle, volume, attack, cycle);
  for (int i = 0; i < attack + cycle; ++i) {
    const double fade = i < attack ? 0.4 + 0.6 * i / attack : 1.0;
    d[i] = to_byte(wave(static_cast<double>(i % cycle) / cycle) * fade);
  }
}

double soft_saw(double x) {
  double v = 0;
  for (int h = 1; h <= 6; ++h) v += std::sin(2 * kPi * h * x) / h;
  return v * 0.55;
}

double soft_square(double x) {
  double v = 0;
  for (int h = 1; h <= 9; h += 2) v += std::sin(2 * kPi * h * x) / h;
  return v * 0.8;
}

double organ(double x) {
  return (std::sin(2 * kPi * x) + 0.5 * std::sin(4 * kPi * x) + 0.25 * std::sin(8 * kPi * x)) *
         0.55;
}

// Semitone index of a note such as "A-2" or "C#3" (C-1 is 0).
int note_of(std::string_view token) {
  static const char* const kNames = "C-C#D-D#E-F-F#G-G#A-A#B-";
  for (int n = 0; n < 12; ++n) {
    if (token.substr(0, 2) == std::string_view(kNames + 2 * n, 2)) return n + 12 * (token[2] - '1');
  }
  std::fprintf(stderr, "compose_demo: bad note %.*s\n", static_cast<int>(token.size()),
               token.data());
  std::exit(1);
}

void set_cell(Player* p, int pattern, int row, int channel, int sample, int note, int effect,
              int param) {
  PatternCell& c = p->patterns[pattern][row][channel];
  c.period = note < 0 ? 0 : kPeriodTable[0][note];
  c.sample = sample;
  c.effect = static_cast<uint8_t>(effect);
  c.param = static_cast<uint8_t>(param);
  c.param_hi = static_cast<uint8_t>(param >> 4);
  c.param_lo = static_cast<uint8_t>(param & 15);
}

// Writes a line of 16 space-separated notes ("---" = nothing) from `row` on.
void put_line(Player* p, int pattern, int row, int channel, int sample, const char* line,
              int effect = 0, int param = 0) {
  std::string_view rest(line);
  for (int i = 0; i < 16 && !rest.empty(); ++i, row++) {
    const std::string_view token = rest.substr(0, 3);
    rest.remove_prefix(std::min<size_t>(rest.size(), 4));
    if (token != "---") set_cell(p, pattern, row, channel, sample, note_of(token), effect, param);
  }
}

// Chord roots of the four bars of every pattern: Am F C G.
const char* const kBassBars[4] = {
    "A-1 --- A-2 --- A-1 --- A-1 A-2 --- A-1 --- A-2 --- A-1 G-1 ---",
    "F-1 --- F-2 --- F-1 --- F-1 F-2 --- F-1 --- F-2 --- F-1 E-1 ---",
    "C-2 --- C-3 --- C-2 --- C-2 C-3 --- C-2 --- C-3 --- C-2 D-2 ---",
    "G-1 --- G-2 --- G-1 --- G-1 G-2 --- G-1 --- G-2 --- B-1 G-1 ---"};
const char* const kChordRoots[4] = {"A-2", "F-2", "C-3", "G-2"};
const int kChordShapes[4] = {0x37, 0x47, 0x47, 0x47};  // minor, then three majors

void drums(Player* p, int pattern, bool fill) {
  for (int bar = 0; bar < 4; ++bar) {
    const int r = bar * 16;
    for (int k : {0, 6, 8}) set_cell(p, pattern, r + k, 0, kKick, 12, 0, 0);
    for (int s : {4, 12}) set_cell(p, pattern, r + s, 0, kSnare, 12, 0, 0);
  }
  if (fill) {
    for (int s : {57, 59, 61, 62, 63})
      set_cell(p, pattern, s, 0, kSnare, 12, 0xC, 24 + (s - 56) * 5);
  }
}

void hats(Player* p, int pattern) {
  for (int r = 0; r < 64; r += 2) set_cell(p, pattern, r, 3, kHat, 24, 0xC, r % 4 == 0 ? 40 : 22);
}

void bass(Player* p, int pattern) {
  for (int bar = 0; bar < 4; ++bar) put_line(p, pattern, bar * 16, 1, kBass, kBassBars[bar]);
}

void chords(Player* p, int pattern) {
  for (int bar = 0; bar < 4; ++bar) {
    for (int r = 0; r < 16; r += 4)
      set_cell(p, pattern, bar * 16 + r, 3, kChord, note_of(kChordRoots[bar]), 0,
               kChordShapes[bar]);
  }
}

// The tune, a bar of 16 rows a line.
const char* const kTune[4] = {"E-3 --- --- --- A-3 --- --- --- G-3 --- E-3 --- --- --- D-3 ---",
                              "C-3 --- --- --- --- --- A-2 --- C-3 --- D-3 --- --- --- --- ---",
                              "E-3 --- --- --- G-3 --- --- --- C-3 --- --- --- B-2 --- C-3 ---",
                              "D-3 --- --- --- --- --- --- --- B-2 --- --- --- G-2 --- --- ---"};
const char* const kAnswer[4] = {"A-3 --- --- --- G-3 --- E-3 --- G-3 --- A-3 --- --- --- C-4 ---",
                                "A-3 --- --- --- --- --- --- --- F-3 --- --- --- E-3 --- --- ---",
                                "G-3 --- --- --- E-3 --- --- --- C-3 --- D-3 --- E-3 --- --- ---",
                                "D-3 --- --- --- --- --- --- --- --- --- --- --- --- --- --- ---"};
const char* const kEnding[3] = {kTune[0], kTune[1],
                                "E-3 --- --- --- D-3 --- --- --- C-3 --- --- --- B-2 --- --- ---"};

void lead(Player* p, int pattern, const char* const* bars, int count) {
  for (int bar = 0; bar < count; ++bar) put_line(p, pattern, bar * 16, 2, kLead, bars[bar]);
}

// Drums and bass, with hats or with arpeggiated chords on the fourth channel.
void groove(Player* p, int pattern, bool fill, bool with_chords) {
  drums(p, pattern, fill);
  bass(p, pattern);
  if (with_chords) {
    chords(p, pattern);
  } else {
    hats(p, pattern);
  }
}

void compose(Player* p) {
  std::snprintf(p->song_name, sizeof p->song_name, "tetrad demo");
  make_drums(p);
  make_voice(p, kBass, "bass", 64, 50, soft_saw);
  make_voice(p, kLead, "lead", 32, 38, soft_square);
  make_voice(p, kChord, "chord", 32, 30, organ);

  // 0: the groove alone. 1: the tune over it.
  groove(p, 0, false, false);
  groove(p, 1, false, false);
  lead(p, 1, kTune, 4);
  set_cell(p, 1, 20, 2, 0, -1, 0x4, 0x46);  // vibrato on the held notes
  set_cell(p, 1, 52, 2, 0, -1, 0x4, 0x46);
  // 2: chords answer the tune, a snare fill leads on.
  groove(p, 2, true, true);
  lead(p, 2, kAnswer, 4);
  set_cell(p, 2, 56, 2, 0, -1, 0xA, 0x02);  // the last note fades
  // 3: the ending, on a long low note that wobbles and fades.
  groove(p, 3, false, true);
  lead(p, 3, kEnding, 3);
  set_cell(p, 3, 48, 2, kLead, note_of("A-2"), 0, 0);
  set_cell(p, 3, 50, 2, 0, -1, 0x4, 0x58);
  set_cell(p, 3, 56, 2, 0, -1, 0xA, 0x03);
  set_cell(p, 3, 63, 1, 0, -1, 0xF, 0x07);  // slower for the last beat

  const int order[] = {0, 1, 2, 1, 2, 3};
  p->song_length = static_cast<int32_t>(std::size(order));
  for (int i = 0; i < p->song_length; ++i) p->order[i] = order[i];
  p->pattern_count = 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: compose_demo OUT.mod\n");
    return 2;
  }
  Player* player = player_create(44100);
  compose(player);
  const FileResult written = write_file_replacing(argv[1], serialize_module(player, kKindModule));
  if (!written.ok) std::fprintf(stderr, "compose_demo: %s: %s\n", argv[1], written.reason);
  player_destroy(player);
  return written.ok ? 0 : 1;
}
