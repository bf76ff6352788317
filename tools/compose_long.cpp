// Writes a busy four-channel module of about the given length, for timing
// batch renders of long songs. Usage: compose_long MINUTES OUT.mod
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/player.h"
#include "engine/replayer.h"
#include "files/module_format.h"

namespace {

uint32_t g_seed = 0x2468ace;
uint32_t next_random() {
  g_seed = g_seed * 1664525u + 1013904223u;
  return g_seed >> 8;
}

// A looping sample of `bytes` bytes made by `wave` (phase 0..1 to -1..1).
template <typename F>
void make_sample(Player* p, int n, int32_t bytes, int32_t loop_start, F wave) {
  Sample& s = p->samples[n];
  std::snprintf(s.name, sizeof s.name, "long-%d", n);
  s.data = static_cast<int8_t*>(std::malloc(static_cast<size_t>(bytes)));
  for (int32_t i = 0; i < bytes; ++i)
    s.data[i] = static_cast<int8_t>(std::lround(std::clamp(wave(i), -1.0, 1.0) * 120));
  s.length = bytes * kFixOne;
  s.loop_start = loop_start * kFixOne;
  s.loop_length = (bytes - loop_start) * kFixOne;
  s.loop_end = s.length;
  s.volume = 48 + n * 4;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc == 3 ? std::atof(argv[1]) : 0;
  if (!(minutes > 0 && minutes <= 30)) {
    std::fprintf(stderr, "usage: compose_long MINUTES(0..30] OUT.mod\n");
    return 2;
  }
  Player* p = player_create(44100);
  make_sample(p, 1, 4000, 2000, [](int32_t i) { return std::fmod(i / 32.0, 1.0) * 2 - 1; });
  make_sample(p, 2, 3000, 1000, [](int32_t i) { return (i / 16) % 2 ? 0.8 : -0.8; });
  make_sample(p, 3, 6000, 0, [](int32_t i) { return std::sin(i * 0.19) * std::sin(i * 0.0031); });
  make_sample(p, 4, 2000, 1000,
              [](int32_t) { return static_cast<int32_t>(next_random() % 256) / 128.0 - 1; });
  // A position lasts 64 rows x 6 ticks at the tempo; tempo 32..255.
  const double seconds = minutes * 60;
  const int positions = std::clamp(static_cast<int>(std::ceil(seconds / 30.0)), 1, kPositions);
  const int tempo = std::clamp(static_cast<int>(std::lround(positions * 960.0 / seconds)), 32, 255);
  static constexpr int kEffects[][2] = {{0x0, 0x37}, {0x4, 0x46}, {0xA, 0x02}, {0x3, 0x08},
                                        {0x7, 0x34}, {0x0, 0x00}, {0x1, 0x01}, {0xC, 0x30}};
  for (int pattern = 0; pattern < positions; ++pattern) {
    p->order[pattern] = pattern;
    for (int row = 0; row < kRows; ++row) {
      for (int ch = 0; ch < kChannels; ++ch) {
        PatternCell& cell = p->patterns[pattern][row][ch];
        const int* e = kEffects[next_random() % 8];
        cell.period = kPeriodTable[0][next_random() % 36];
        cell.sample = 1 + static_cast<int32_t>(next_random() % 4);
        cell.effect = static_cast<uint8_t>(e[0]);
        cell.param = static_cast<uint8_t>(e[1]);
        cell.param_hi = static_cast<uint8_t>(e[1] >> 4);
        cell.param_lo = static_cast<uint8_t>(e[1] & 15);
      }
    }
  }
  PatternCell& first = p->patterns[0][0][3];
  first = PatternCell{};
  first.effect = 0xF;
  first.param = static_cast<uint8_t>(tempo);
  first.param_hi = static_cast<uint8_t>(tempo >> 4);
  first.param_lo = static_cast<uint8_t>(tempo & 15);
  p->song_length = positions;
  std::snprintf(p->song_name, sizeof p->song_name, "long %.0f min", minutes);
  const FileResult result = write_file_replacing(argv[2], serialize_module(p, kKindModule));
  player_destroy(p);
  if (!result.ok) {
    std::fprintf(stderr, "compose_long: %s: %s\n", argv[2], result.reason);
    return 1;
  }
  return 0;
}
