// A three-position module that uses every row command and every extended
// command on looping and one-shot samples, saved as file bytes: the render
// of its file is what the batch-output tests hold fixed.
#pragma once

#include <cstdint>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/replayer.h"
#include "files/module_format.h"

namespace test_module {

inline std::vector<uint8_t> every_command_module_bytes() {
  Player* p = player_create(44100);
  // A looping saw; a one-shot ramp; a square whose loop ends before its
  // data does (and starts late, for EFx); a short loop for sample switches.
  make_sample(p, 1, 3000, 1000, 2000, 64, [](int32_t i) { return (i * 7) & 0xFF; });
  make_sample(p, 2, 5000, 0, 2, 48, [](int32_t i) { return (i * i * 13 / 7) & 0xFF; });
  make_sample(p, 3, 2400, 600, 1200, 60, [](int32_t i) { return (i / 9) % 2 ? 90 : -90; });
  make_sample(p, 4, 800, 200, 600, 40, [](int32_t i) { return (i * 3) % 200 - 100; });
  p->samples[3].finetune = 3;
  p->samples[4].finetune = 13;
  // pattern, row, channel, note index (-1: none), sample, effect, parameter
  static constexpr int kCells[][7] = {
      {0, 0, 0, 12, 1, 0x0, 0x37},  {0, 0, 1, 20, 2, 0x1, 0x03},  {0, 0, 2, 8, 3, 0x2, 0x02},
      {0, 0, 3, 15, 4, 0xC, 0x30},  {0, 1, 3, -1, 0, 0xE, 0x00},  {0, 2, 0, 17, 0, 0x3, 0x06},
      {0, 3, 0, -1, 0, 0x3, 0x00},  {0, 4, 1, 22, 1, 0x4, 0x46},  {0, 5, 1, -1, 0, 0x4, 0x00},
      {0, 6, 0, 10, 0, 0x5, 0x02},  {0, 7, 1, -1, 0, 0x6, 0x20},  {0, 8, 2, 14, 3, 0x7, 0x48},
      {0, 9, 2, -1, 0, 0x8, 0x11},  {0, 10, 3, 16, 2, 0x9, 0x04}, {0, 12, 3, 16, 0, 0x9, 0x03},
      {0, 13, 0, -1, 0, 0xA, 0x04}, {0, 14, 0, -1, 0, 0xA, 0x30}, {0, 15, 1, 18, 4, 0xE, 0x13},
      {0, 16, 1, -1, 0, 0xE, 0x22}, {0, 17, 2, 13, 3, 0xE, 0x31}, {0, 18, 2, -1, 0, 0x1, 0x04},
      {0, 19, 2, -1, 0, 0xE, 0x30}, {0, 20, 1, 20, 1, 0xE, 0x41}, {0, 21, 1, -1, 0, 0x4, 0x58},
      {0, 22, 0, 9, 1, 0xE, 0x5A},  {0, 23, 3, 11, 3, 0xE, 0x72}, {0, 24, 3, -1, 0, 0x7, 0x66},
      {0, 25, 0, -1, 0, 0xE, 0x01}, {0, 26, 2, 7, 2, 0xE, 0x92},  {0, 27, 1, -1, 0, 0xE, 0xA5},
      {0, 28, 1, -1, 0, 0xE, 0xB9}, {0, 29, 0, 19, 1, 0xE, 0xC3}, {0, 30, 3, 21, 4, 0xE, 0xD2},
      {0, 31, 2, -1, 0, 0xE, 0xE2}, {0, 32, 0, 5, 3, 0xE, 0xF4},  {0, 33, 0, -1, 0, 0xE, 0xF4},
      {0, 34, 0, -1, 0, 0xE, 0xF4}, {0, 36, 1, -1, 0, 0xE, 0x60}, {0, 36, 2, 24, 4, 0x0, 0x00},
      {0, 38, 1, -1, 0, 0xE, 0x62}, {0, 40, 3, -1, 0, 0xF, 0x04}, {0, 41, 3, -1, 0, 0xF, 0x8C},
      {0, 44, 0, 12, 1, 0x0, 0x00}, {0, 45, 0, -1, 4, 0x0, 0x00}, {0, 48, 2, -1, 3, 0x0, 0x47},
      {0, 50, 0, 30, 0, 0x0, 0x00}, {0, 52, 1, 3, 2, 0x4, 0x2F},  {0, 53, 1, -1, 0, 0xA, 0x02},
      {0, 56, 3, -1, 0, 0xF, 0x06}, {0, 57, 3, -1, 0, 0xF, 0x7D}, {1, 0, 0, 0, 2, 0x0, 0x00},
      {1, 0, 1, 35, 1, 0x0, 0x00},  {1, 0, 2, 24, 3, 0xC, 0x50},  {1, 0, 3, 12, 4, 0x3, 0xFF},
      {1, 8, 0, -1, 0, 0xF, 0x01},  {1, 12, 0, -1, 0, 0xF, 0x06}, {1, 20, 1, -1, 0, 0xD, 0x16},
      {2, 16, 0, 14, 1, 0x0, 0x00}, {2, 16, 2, 21, 3, 0xE, 0x90}, {2, 24, 3, 7, 2, 0x2, 0x10},
      {2, 40, 1, -1, 0, 0xB, 0x00},
  };
  for (const auto& c : kCells)
    set_cell(p, c[0], c[1], c[2], c[3] < 0 ? 0 : kPeriodTable[0][c[3]], c[4], c[5], c[6]);
  // Position 1 breaks into row 16 of position 2, which jumps back to the start.
  p->song_length = 3;
  p->order[1] = 1;
  p->order[2] = 2;
  std::vector<uint8_t> bytes = serialize_module(p, kKindModule);
  player_destroy(p);
  return bytes;
}

// 64-bit FNV-1a over the little-endian bytes of 16-bit samples.
inline uint64_t samples_checksum(const int16_t* samples, size_t count) {
  uint64_t h = 1469598103934665603ull;
  for (size_t i = 0; i < count; ++i) {
    for (const int shift : {0, 8}) {
      h ^= static_cast<uint16_t>(samples[i]) >> shift & 0xFF;
      h *= 1099511628211ull;
    }
  }
  return h;
}

}  // namespace test_module
