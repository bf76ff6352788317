// 16-bit PCM WAV files.
#pragma once

#include <cstdint>
#include <vector>

// Interleaved frames of `channels` samples each.
std::vector<uint8_t> wav_bytes(const std::vector<int16_t>& samples, int32_t channels, int32_t rate);
