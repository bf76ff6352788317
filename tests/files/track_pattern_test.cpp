// Track and pattern files: explicit big-endian cells, refusal of files of
// the wrong size, and cells brought into their ranges on load.
#include "files/track_pattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(TrackPattern, CellsAreWrittenBigEndianWithZeroSpareBytes) {
  PatternCell cells[2] = {};
  cells[0].period = 428;
  cells[0].sample = 31;
  cells[0].effect = 0xC;
  cells[0].param_hi = 4;
  cells[0].param_lo = 0;
  cells[0].param = 0x40;
  std::memset(cells[0].reserved, 0xAA, sizeof cells[0].reserved);
  cells[1].period = 0x12345;
  const std::vector<uint8_t> bytes = serialize_cells(cells, 2);
  const std::vector<uint8_t> expected = {
      0, 0, 0x01, 0xAC, 0, 0, 0, 31, 0x0C, 4, 0, 0x40, 0, 0, 0, 0,
      0, 1, 0x23, 0x45, 0, 0, 0, 0,  0,    0, 0, 0,    0, 0, 0, 0,
  };
  EXPECT_EQ(bytes, expected);
}

TEST(TrackPattern, LoadedFieldsAreBroughtIntoTheirRanges) {
  struct Case {
    uint8_t period[4];
    uint8_t sample[4];
    uint8_t effect, hi, lo, param;
    int32_t want_period, want_sample;
    uint8_t want_effect, want_hi, want_lo, want_param;
  };
  const Case cases[] = {
      {{0, 0, 3, 0x58}, {0, 0, 0, 1}, 0x0E, 0x0A, 0x01, 0x00, 856, 1, 0xE, 0xA, 1, 0xA1},
      {{0xFF, 0xFF, 0xFF, 0xFF},
       {0xFF, 0xFF, 0xFF, 0xFE},
       0x1F,
       0x21,
       0xF3,
       0x99,
       0,
       0,
       0xF,
       1,
       3,
       0x13},
      {{0, 0, 0x10, 0}, {0, 0, 0, 32}, 0, 0, 0, 0, 0xFFF, 31, 0, 0, 0, 0},
      {{0x7F, 0, 0, 0}, {0x7F, 0, 0, 0}, 0, 0, 0, 0, 0xFFF, 31, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes(c.period, c.period + 4);
    bytes.insert(bytes.end(), c.sample, c.sample + 4);
    bytes.insert(bytes.end(), {c.effect, c.hi, c.lo, c.param, 1, 2, 3, 4});
    PatternCell cell{};
    ASSERT_TRUE(parse_cells(bytes.data(), bytes.size(), &cell, 1).ok);
    EXPECT_EQ(cell.period, c.want_period);
    EXPECT_EQ(cell.sample, c.want_sample);
    EXPECT_EQ(cell.effect, c.want_effect);
    EXPECT_EQ(cell.param_hi, c.want_hi);
    EXPECT_EQ(cell.param_lo, c.want_lo);
    EXPECT_EQ(cell.param, c.want_param);
    EXPECT_EQ(cell.reserved[0] | cell.reserved[3], 0);
  }
}

TEST(TrackPattern, APatternRoundTripsAndFilesOfAnotherSizeChangeNothing) {
  PatternCell pattern[kRows][kChannels] = {};
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kChannels; ++c) {
      PatternCell& cell = pattern[r][c];
      cell.period = 113 + r * 4 + c;
      cell.sample = (r + c) % 32;
      cell.effect = static_cast<uint8_t>(r % 16);
      cell.param_hi = static_cast<uint8_t>(c * 3);
      cell.param_lo = static_cast<uint8_t>(r % 16);
      cell.param = static_cast<uint8_t>(cell.param_hi * 16 + cell.param_lo);
    }
  const std::vector<uint8_t> bytes = serialize_cells(&pattern[0][0], kPatternCells);
  ASSERT_EQ(bytes.size(), kPatternFileBytes);
  PatternCell loaded[kRows][kChannels] = {};
  ASSERT_TRUE(parse_cells(bytes.data(), bytes.size(), &loaded[0][0], kPatternCells).ok);
  EXPECT_EQ(std::memcmp(loaded, pattern, sizeof pattern), 0);

  PatternCell track[kRows];
  for (PatternCell& cell : track) cell.period = 999;
  std::vector<uint8_t> longer(kTrackFileBytes + 1);
  for (size_t size : {size_t{0}, kTrackFileBytes - 1, kTrackFileBytes + 1}) {
    const FileResult result = parse_cells(longer.data(), size, track, kTrackCells);
    EXPECT_FALSE(result.ok) << size;
    EXPECT_EQ(track[63].period, 999) << size;
  }
  EXPECT_STREQ(parse_cells(longer.data(), 5, track, kTrackCells).message, "FILE TOO SHORT");
}

}  // namespace
