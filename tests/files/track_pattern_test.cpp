// Track and pattern files: explicit big-endian cells, refusal of files of
// the wrong size, and cells brought into their ranges on load.
#include "files/track_pattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(TrackPattern, CellsAreWrittenBigEndianWithZeroSpareBytes) {
  PatternCell cells[2] = {{428, 31, 0xC, 4, 0, 0x40, {0xAA, 0xAA, 0xAA, 0xAA}},
                          {0x12345, 0, 0, 0, 0, 0, {}}};
  const Bytes expected = {0, 0, 1,    0xAC, 0, 0, 0, 31, 0xC, 4, 0, 0x40, 0, 0, 0, 0,
                          0, 1, 0x23, 0x45, 0, 0, 0, 0,  0,   0, 0, 0,    0, 0, 0, 0};
  EXPECT_EQ(serialize_cells(cells, 2), expected);
}

TEST(TrackPattern, LoadedFieldsAreBroughtIntoTheirRanges) {
  // File bytes of one cell, then the cell it must load as.
  const std::pair<Bytes, PatternCell> cases[] = {
      {{0, 0, 3, 0x58, 0, 0, 0, 1, 0xE, 0xA, 1, 0, 1, 2, 3, 4}, {856, 1, 0xE, 0xA, 1, 0xA1, {}}},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x1F, 0x21, 0xF3, 0x99, 9, 9, 9, 9},
       {0, 0, 0xF, 1, 3, 0x13, {}}},
      {{0x7F, 0, 0, 0, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0xFFF, 31, 0, 0, 0, 0, {}}},
  };
  for (const auto& [file, expected] : cases) {
    PatternCell cell{};
    ASSERT_TRUE(parse_cells(file.data(), file.size(), &cell, 1).ok);
    EXPECT_EQ(std::memcmp(&cell, &expected, sizeof cell), 0) << cell.period << " " << cell.sample;
  }
}

TEST(TrackPattern, FilesOfAnotherSizeChangeNothing) {
  const Bytes bytes(kTrackFileBytes + 1);
  PatternCell track[kRows];
  for (PatternCell& cell : track) cell.period = 999;
  for (size_t size : {size_t{0}, kTrackFileBytes - 1, kTrackFileBytes + 1}) {
    EXPECT_FALSE(parse_cells(bytes.data(), size, track, kTrackCells).ok) << size;
    EXPECT_EQ(track[63].period, 999) << size;
  }
  EXPECT_TRUE(parse_cells(bytes.data(), kTrackFileBytes, track, kTrackCells).ok);
  EXPECT_EQ(track[63].period, 0);
}

}  // namespace
