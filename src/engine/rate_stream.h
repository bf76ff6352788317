// A change of rate applied piece by piece as sound arrives (libsamplerate's
// best sinc converter), for recording: mono floats in, 8-bit bytes out.
#pragma once

#include <cstdint>
#include <vector>

struct RateStream;

// Out comes `ratio` times as many bytes a second as went in. Null when the
// converter cannot be made.
RateStream* rate_stream_create(double ratio);
void rate_stream_destroy(RateStream* stream);
// Converts `count` samples of -1..1, appending the bytes made so far to
// `out` (rounded, clipped to -128..127); `last` flushes what the converter
// holds back.
void rate_stream_push(RateStream* stream, const float* in, int32_t count, bool last,
                      std::vector<int8_t>& out);
