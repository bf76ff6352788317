#include "files/track_pattern.h"

#include <algorithm>

namespace {

constexpr int32_t kHighestPeriod = 0xFFF;  // what a module cell can hold

void put32(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

int32_t get32(const uint8_t* p) {
  return static_cast<int32_t>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) |
                              (uint32_t{p[2]} << 8) | p[3]);
}

}  // namespace

std::vector<uint8_t> serialize_cells(const PatternCell* cells, size_t count) {
  std::vector<uint8_t> out;
  out.reserve(count * kCellFileBytes);
  for (size_t i = 0; i < count; ++i) {
    const PatternCell& cell = cells[i];
    put32(out, cell.period);
    put32(out, cell.sample);
    out.insert(out.end(), {cell.effect, cell.param_hi, cell.param_lo, cell.param, 0, 0, 0, 0});
  }
  return out;
}

FileResult parse_cells(const uint8_t* bytes, size_t size, PatternCell* out, size_t count) {
  if (size < count * kCellFileBytes) return file_refusal(FileError::kTooShort);
  if (size > count * kCellFileBytes) return file_refusal(FileError::kTooLong);
  for (size_t i = 0; i < count; ++i, bytes += kCellFileBytes) {
    PatternCell cell{};
    cell.period = std::clamp(get32(bytes), 0, kHighestPeriod);
    cell.sample = std::clamp(get32(bytes + 4), 0, kSampleCount - 1);
    cell.effect = bytes[8] & 0x0F;
    cell.param_hi = bytes[9] & 0x0F;
    cell.param_lo = bytes[10] & 0x0F;
    cell.param = static_cast<uint8_t>(cell.param_hi * 16 + cell.param_lo);
    out[i] = cell;
  }
  return kFileOk;
}
