// Track files (the 64 cells of one channel) and pattern files (the 4 x 64
// cells of a pattern): 16 bytes a cell, no header. A cell is period and
// sample number as signed 32-bit big-endian numbers, then effect, parameter
// high and low digit, the whole parameter, and four zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/player.h"
#include "files/module_format.h"

constexpr size_t kCellFileBytes = 16;
constexpr size_t kTrackCells = kRows;
constexpr size_t kPatternCells = kRows * kChannels;
constexpr size_t kTrackFileBytes = kTrackCells * kCellFileBytes;      // 1024
constexpr size_t kPatternFileBytes = kPatternCells * kCellFileBytes;  // 4096

// The bytes of `count` cells, in order.
std::vector<uint8_t> serialize_cells(const PatternCell* cells, size_t count);
// Decodes exactly `count` cells from a file of exactly count x 16 bytes,
// anything else is refused with `out` untouched. Fields are brought into
// their ranges: period 0..4095, sample 0..31, effect and digits 0..15, the
// parameter from its digits; the spare bytes are cleared.
FileResult parse_cells(const uint8_t* bytes, size_t size, PatternCell* out, size_t count);
