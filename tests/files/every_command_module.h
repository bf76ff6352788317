// A three-position module that uses every row command and every extended
// command on looping and one-shot samples, saved as file bytes: the render
// of its file is what the batch-output tests hold fixed.
#pragma once

#include <cstdint>
#include <cstdio>
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
  // pattern:row:channel:note index (-1: none):sample:effect and parameter in hex
  const char* cells =
      "0:0:0:12:1:037 0:0:1:20:2:103 0:0:2:8:3:202 0:0:3:15:4:C30 0:1:3:-1:0:E00 "
      "0:2:0:17:0:306 0:3:0:-1:0:300 0:4:1:22:1:446 0:5:1:-1:0:400 0:6:0:10:0:502 "
      "0:7:1:-1:0:620 0:8:2:14:3:748 0:9:2:-1:0:811 0:10:3:16:2:904 0:12:3:16:0:903 "
      "0:13:0:-1:0:A04 0:14:0:-1:0:A30 0:15:1:18:4:E13 0:16:1:-1:0:E22 0:17:2:13:3:E31 "
      "0:18:2:-1:0:104 0:19:2:-1:0:E30 0:20:1:20:1:E41 0:21:1:-1:0:458 0:22:0:9:1:E5A "
      "0:23:3:11:3:E72 0:24:3:-1:0:766 0:25:0:-1:0:E01 0:26:2:7:2:E92 0:27:1:-1:0:EA5 "
      "0:28:1:-1:0:EB9 0:29:0:19:1:EC3 0:30:3:21:4:ED2 0:31:2:-1:0:EE2 0:32:0:5:3:EF4 "
      "0:33:0:-1:0:EF4 0:34:0:-1:0:EF4 0:36:1:-1:0:E60 0:36:2:24:4:000 0:38:1:-1:0:E62 "
      "0:40:3:-1:0:F04 0:41:3:-1:0:F8C 0:44:0:12:1:000 0:45:0:-1:4:000 0:48:2:-1:3:047 "
      "0:50:0:30:0:000 0:52:1:3:2:42F 0:53:1:-1:0:A02 0:56:3:-1:0:F06 0:57:3:-1:0:F7D "
      "1:0:0:0:2:000 1:0:1:35:1:000 1:0:2:24:3:C50 1:0:3:12:4:3FF 1:8:0:-1:0:F01 "
      "1:12:0:-1:0:F06 1:20:1:-1:0:D16 2:16:0:14:1:000 2:16:2:21:3:E90 2:24:3:7:2:210 "
      "2:40:1:-1:0:B00 ";
  int pattern, row, channel, note, sample, fx, n;
  for (const char* c = cells; std::sscanf(c, "%d:%d:%d:%d:%d:%x%n", &pattern, &row, &channel, &note,
                                          &sample, &fx, &n) == 6;
       c += n)
    set_cell(p, pattern, row, channel, note < 0 ? 0 : kPeriodTable[0][note], sample, fx >> 8,
             fx & 255);
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
