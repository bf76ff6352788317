// A three-position module that uses every row command and every extended
// command on looping and one-shot samples, saved as file bytes: the render
// of its file is what the batch-output tests hold fixed.
#pragma once

#include <cstdint>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/player.h"
#include "engine/replayer.h"
#include "files/module_format.h"

namespace test_module {

inline std::vector<uint8_t> every_command_module_bytes() {
  Player* p = player_create(44100);
  // 1: looping saw, 2: one-shot noise-like ramp, 3: looping square with a
  // loop away from its start (for EFx), 4: short loop for pending switches.
  make_sample(p, 1, 3000, 1000, 2000, 64, [](int32_t i) { return (i * 7) & 0xFF; });
  make_sample(p, 2, 5000, 0, 2, 48, [](int32_t i) { return (i * i * 13 / 7) & 0xFF; });
  make_sample(p, 3, 2400, 600, 1200, 60, [](int32_t i) { return (i / 9) % 2 ? 90 : -90; });
  make_sample(p, 4, 800, 200, 600, 40, [](int32_t i) { return (i * 3) % 200 - 100; });
  p->samples[3].finetune = 3;
  p->samples[4].finetune = 13;
  const auto& t = kPeriodTable[0];
  // Position 0 (pattern 0): pitch and volume effects.
  set_cell(p, 0, 0, 0, t[12], 1, 0x0, 0x37);  // arpeggio
  set_cell(p, 0, 0, 1, t[20], 2, 0x1, 0x03);  // portamento up
  set_cell(p, 0, 0, 2, t[8], 3, 0x2, 0x02);   // portamento down
  set_cell(p, 0, 0, 3, t[15], 4, 0xC, 0x30);  // volume
  set_cell(p, 0, 1, 3, 0, 0, 0xE, 0x00);      // filter on
  set_cell(p, 0, 2, 0, t[17], 0, 0x3, 0x06);  // tone portamento
  set_cell(p, 0, 3, 0, 0, 0, 0x3, 0x00);
  set_cell(p, 0, 4, 1, t[22], 1, 0x4, 0x46);  // vibrato
  set_cell(p, 0, 5, 1, 0, 0, 0x4, 0x00);
  set_cell(p, 0, 6, 0, t[10], 0, 0x5, 0x02);  // tone portamento + volume slide
  set_cell(p, 0, 7, 1, 0, 0, 0x6, 0x20);      // vibrato + volume slide
  set_cell(p, 0, 8, 2, t[14], 3, 0x7, 0x48);  // tremolo
  set_cell(p, 0, 9, 2, 0, 0, 0x8, 0x11);      // no-op command
  set_cell(p, 0, 10, 3, t[16], 2, 0x9, 0x04);  // sample offset, one-shot sample
  set_cell(p, 0, 12, 3, t[16], 0, 0x9, 0x03);  // offset added to the last one
  set_cell(p, 0, 13, 0, 0, 0, 0xA, 0x04);      // volume slide down
  set_cell(p, 0, 14, 0, 0, 0, 0xA, 0x30);      // volume slide up
  set_cell(p, 0, 15, 1, t[18], 4, 0xE, 0x13);  // fine slide up
  set_cell(p, 0, 16, 1, 0, 0, 0xE, 0x22);      // fine slide down
  set_cell(p, 0, 17, 2, t[13], 3, 0xE, 0x31);  // glissando
  set_cell(p, 0, 18, 2, 0, 0, 0x1, 0x04);
  set_cell(p, 0, 19, 2, 0, 0, 0xE, 0x30);
  set_cell(p, 0, 20, 1, t[20], 1, 0xE, 0x41);  // vibrato waveform ramp
  set_cell(p, 0, 21, 1, 0, 0, 0x4, 0x58);
  set_cell(p, 0, 22, 0, t[9], 1, 0xE, 0x5A);   // finetune
  set_cell(p, 0, 23, 3, t[11], 3, 0xE, 0x72);  // tremolo waveform square
  set_cell(p, 0, 24, 3, 0, 0, 0x7, 0x66);
  set_cell(p, 0, 25, 0, 0, 0, 0xE, 0x01);      // filter off
  set_cell(p, 0, 26, 2, t[7], 2, 0xE, 0x92);   // retrigger
  set_cell(p, 0, 27, 1, 0, 0, 0xE, 0xA5);      // fine volume up
  set_cell(p, 0, 28, 1, 0, 0, 0xE, 0xB9);      // fine volume down
  set_cell(p, 0, 29, 0, t[19], 1, 0xE, 0xC3);  // note cut
  set_cell(p, 0, 30, 3, t[21], 4, 0xE, 0xD2);  // note delay
  set_cell(p, 0, 31, 2, 0, 0, 0xE, 0xE2);      // pattern delay
  set_cell(p, 0, 32, 0, t[5], 3, 0xE, 0xF4);   // invert loop
  set_cell(p, 0, 33, 0, 0, 0, 0xE, 0xF4);
  set_cell(p, 0, 34, 0, 0, 0, 0xE, 0xF4);
  set_cell(p, 0, 36, 1, 0, 0, 0xE, 0x60);      // pattern loop start
  set_cell(p, 0, 36, 2, t[24], 4, 0x0, 0x00);
  set_cell(p, 0, 38, 1, 0, 0, 0xE, 0x62);      // ... played three times
  set_cell(p, 0, 40, 3, 0, 0, 0xF, 0x04);      // speed 4
  set_cell(p, 0, 41, 3, 0, 0, 0xF, 0x8C);      // tempo 140
  set_cell(p, 0, 44, 0, t[12], 1, 0x0, 0x00);
  set_cell(p, 0, 45, 0, 0, 4, 0x0, 0x00);      // sample change at the next wrap
  set_cell(p, 0, 48, 2, 0, 3, 0x0, 0x47);      // arpeggio with a sample, no note
  set_cell(p, 0, 50, 0, t[30], 0, 0x0, 0x00);  // note reusing the last sample
  set_cell(p, 0, 52, 1, t[3], 2, 0x4, 0x2F);
  set_cell(p, 0, 53, 1, 0, 0, 0xA, 0x02);      // a slide right after a vibrato
  set_cell(p, 0, 56, 3, 0, 0, 0xF, 0x06);
  set_cell(p, 0, 57, 3, 0, 0, 0xF, 0x7D);
  // Position 1 (pattern 1): a break into row 16 of position 2.
  set_cell(p, 1, 0, 0, t[0], 2, 0x0, 0x00);
  set_cell(p, 1, 0, 1, t[35], 1, 0x0, 0x00);
  set_cell(p, 1, 0, 2, t[24], 3, 0xC, 0x50);  // volume above the limit
  set_cell(p, 1, 0, 3, t[12], 4, 0x3, 0xFF);
  set_cell(p, 1, 8, 0, 0, 0, 0xF, 0x01);
  set_cell(p, 1, 12, 0, 0, 0, 0xF, 0x06);
  set_cell(p, 1, 20, 1, 0, 0, 0xD, 0x16);
  // Position 2 (pattern 2): a jump back to the start ends the song.
  set_cell(p, 2, 16, 0, t[14], 1, 0x0, 0x00);
  set_cell(p, 2, 16, 2, t[21], 3, 0xE, 0x90);
  set_cell(p, 2, 24, 3, t[7], 2, 0x2, 0x10);
  set_cell(p, 2, 40, 1, 0, 0, 0xB, 0x00);
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
    const auto v = static_cast<uint16_t>(samples[i]);
    for (const uint8_t b : {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}) {
      h ^= b;
      h *= 1099511628211ull;
    }
  }
  return h;
}

}  // namespace test_module
