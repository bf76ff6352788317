#include "engine/rate_stream.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>

struct RateStream {
  SRC_STATE* state;
  double ratio;
};

RateStream* rate_stream_create(double ratio) {
  if (!(ratio > 0) || src_is_valid_ratio(ratio) == 0) return nullptr;
  int error = 0;
  SRC_STATE* state = src_new(SRC_SINC_BEST_QUALITY, 1, &error);
  if (!state) return nullptr;
  return new RateStream{state, ratio};
}

void rate_stream_destroy(RateStream* stream) {
  if (!stream) return;
  src_delete(stream->state);
  delete stream;
}

void rate_stream_push(RateStream* stream, const float* in, int32_t count, bool last,
                      std::vector<int8_t>& out) {
  float piece[1024];
  SRC_DATA data{};
  data.data_in = in;
  data.input_frames = std::max(count, 0);
  data.end_of_input = last ? 1 : 0;
  data.src_ratio = stream->ratio;
  data.data_out = piece;
  data.output_frames = static_cast<long>(std::size(piece));
  // The converter takes what it can each call; it is called again until
  // the input is used and, when flushing, nothing more comes out.
  for (;;) {
    if (src_process(stream->state, &data) != 0) return;
    for (long i = 0; i < data.output_frames_gen; ++i)
      out.push_back(static_cast<int8_t>(std::clamp(std::lround(piece[i] * 128.0f), -128L, 127L)));
    if (data.input_frames_used == 0 && data.output_frames_gen == 0) return;
    data.data_in += data.input_frames_used;
    data.input_frames -= data.input_frames_used;
    if (data.input_frames == 0 && (!last || data.output_frames_gen == 0)) return;
  }
}
