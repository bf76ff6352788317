#include "engine/sample_tools.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "engine/editing.h"
#include "engine/song_render.h"

namespace {

int8_t clipped(double value) {
  return static_cast<int8_t>(std::clamp<long>(std::lround(value), -128, 127));
}

size_t capped(size_t bytes) {
  return std::min<size_t>(bytes, kMaxSampleBytes);
}

// Scales values to full scale: the largest magnitude becomes 127.
SampleBytes normalised(const std::vector<double>& values) {
  double peak = 0;
  for (double v : values) peak = std::max(peak, std::abs(v));
  SampleBytes out(values.size());
  const double gain = peak > 0 ? 127.0 / peak : 0.0;
  for (size_t i = 0; i < values.size(); ++i) out[i] = clipped(values[i] * gain);
  return out;
}

}  // namespace

SampleBytes boost(const SampleBytes& x) {
  SampleBytes y(x.size());
  for (size_t n = 0; n < x.size(); ++n) {
    const int32_t before = n == 0 ? x[0] : x[n - 1];
    y[n] = clipped(x[n] + (x[n] - before) / 2.0);
  }
  return y;
}

SampleBytes smooth(const SampleBytes& x) {
  SampleBytes y(x.size());
  for (size_t n = 0; n < x.size(); ++n) {
    const int32_t before = n == 0 ? x[n] : x[n - 1];
    const int32_t after = n + 1 == x.size() ? x[n] : x[n + 1];
    y[n] = clipped((before + 2 * x[n] + after) / 4.0);
  }
  return y;
}

SampleBytes ramp_volume(const SampleBytes& x, int32_t from, int32_t to) {
  SampleBytes y(x.size());
  const double steps = x.size() > 1 ? static_cast<double>(x.size() - 1) : 1.0;
  for (size_t n = 0; n < x.size(); ++n) {
    const double percent = from + (to - from) * (static_cast<double>(n) / steps);
    y[n] = clipped(x[n] * percent / 100.0);
  }
  return y;
}

int32_t normalize_percent(const SampleBytes& x) {
  for (int32_t percent = 200; percent > 0; --percent) {
    bool fits = true;
    for (int8_t v : x) {
      const long scaled = std::lround(v * percent / 100.0);
      if (scaled > 127 || scaled < -128) {
        fits = false;
        break;
      }
    }
    if (fits) return percent;
  }
  return 0;
}

SampleBytes change_rate(const SampleBytes& x, double ratio) {
  if (x.empty() || ratio <= 0) return {};
  // Input past what the kept bytes need, and the filter's reach beyond
  // them, would only be converted to be cut.
  const size_t used = std::min(x.size(), static_cast<size_t>(kMaxSampleBytes / ratio) + 4096);
  const std::vector<float> in(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(used));
  std::vector<float> out(static_cast<size_t>(std::ceil(static_cast<double>(used) * ratio)) + 2);
  SRC_DATA data{};
  data.data_in = in.data();
  data.data_out = out.data();
  data.input_frames = static_cast<long>(in.size());
  data.output_frames = static_cast<long>(out.size());
  data.src_ratio = ratio;
  if (src_simple(&data, SRC_SINC_BEST_QUALITY, 1) != 0) return {};
  SampleBytes y(capped(static_cast<size_t>(data.output_frames_gen)));
  for (size_t n = 0; n < y.size(); ++n) y[n] = clipped(out[n]);
  return y;
}

SampleBytes reversed(const SampleBytes& x) {
  return SampleBytes(x.rbegin(), x.rend());
}

SampleBytes remove_dc(const SampleBytes& x) {
  double sum = 0;
  for (int8_t v : x) sum += v;
  const double mean = x.empty() ? 0 : sum / static_cast<double>(x.size());
  SampleBytes y(x.size());
  for (size_t n = 0; n < x.size(); ++n) y[n] = clipped(x[n] - mean);
  return y;
}

SampleBytes crossfade_loop(const SampleBytes& x, int32_t loop_start, int32_t loop_end, int32_t n) {
  SampleBytes y = x;
  n = std::min({n, loop_start, loop_end - loop_start});
  if (n <= 0 || loop_end > static_cast<int32_t>(x.size())) return y;
  for (int32_t k = 0; k < n; ++k) {
    const double w = (k + 1.0) / (n + 1.0);  // towards the loop end, more of what follows the start
    const int32_t at = loop_end - n + k;
    y[static_cast<size_t>(at)] = clipped(x[at] * (1 - w) + x[loop_start - n + k] * w);
  }
  return y;
}

SampleBytes mix(const SampleBytes& a, int32_t volume_a, const SampleBytes& b, int32_t volume_b) {
  std::vector<double> sum(capped(std::max(a.size(), b.size())), 0.0);
  for (size_t n = 0; n < sum.size(); ++n) {
    if (n < a.size()) sum[n] += a[n] * volume_a / 64.0;
    if (n < b.size()) sum[n] += b[n] * volume_b / 64.0;
  }
  return normalised(sum);
}

SampleBytes echo(const SampleBytes& x, int32_t delay, int32_t feedback) {
  if (delay <= 0 || x.empty()) return x;
  const double gain = std::clamp(feedback, 0, 100) / 100.0;
  // The tail lasts until an echo falls below half a step.
  double peak = 0;
  for (int8_t v : x) peak = std::max(peak, std::abs(static_cast<double>(v)));
  size_t echoes = 0;
  for (double level = peak * gain; gain > 0 && level >= 0.5 && echoes < 1000; level *= gain)
    ++echoes;
  std::vector<double> out(capped(x.size() + echoes * static_cast<size_t>(delay)), 0.0);
  for (size_t n = 0; n < out.size(); ++n) {
    const double dry = n < x.size() ? x[n] : 0.0;
    out[n] = dry + (n >= static_cast<size_t>(delay) ? out[n - delay] * gain : 0.0);
  }
  SampleBytes y(out.size());
  for (size_t n = 0; n < out.size(); ++n) y[n] = clipped(out[n]);
  return y;
}

SampleBytes chord(const SampleBytes& x, const int32_t (&intervals)[3]) {
  std::vector<SampleBytes> parts{x};
  for (int32_t semitones : intervals)
    if (semitones != 0) parts.push_back(change_rate(x, std::pow(2.0, -semitones / 12.0)));
  size_t longest = 0;
  for (const SampleBytes& p : parts) longest = std::max(longest, p.size());
  std::vector<double> sum(capped(longest), 0.0);
  for (const SampleBytes& p : parts)
    for (size_t n = 0; n < std::min(p.size(), sum.size()); ++n) sum[n] += p[n];
  return normalised(sum);
}

void scale_loop(int32_t* start, int32_t* length_bytes, double ratio, int32_t length) {
  const auto even = [](double v) { return 2 * static_cast<int32_t>(std::lround(v / 2)); };
  const int32_t from = std::min(even(*start * ratio), length);
  const int32_t to = std::min(even((*start + *length_bytes) * ratio), length & ~1);
  if (to - from <= 2) {
    *start = 0;
    *length_bytes = 2;
    return;
  }
  *start = from;
  *length_bytes = to - from;
}

SampleBytes pattern_to_sample(const Player& player, int32_t pattern, int32_t rate) {
  Player* copy = copy_player(player);
  if (!copy) return {};
  copy->order[0] = std::clamp(pattern, 0, kPatterns - 1);
  copy->song_length = 1;
  copy->song_position = 0;
  copy->row = 0;
  set_output_rate(*copy, std::clamp(rate, 1000, 96000));
  const std::vector<int16_t> stereo = render_song(copy, kMaxSampleBytes, nullptr);
  player_destroy(copy);
  std::vector<double> mono(stereo.size() / 2);
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = stereo[2 * i] + stereo[2 * i + 1];
  return normalised(mono);
}

const char* tool_result_text(ToolResult result) {
  switch (result) {
    case ToolResult::kEmpty:
      return "EMPTY SAMPLE";
    case ToolResult::kNoMemory:
      return "OUT OF MEMORY";
    case ToolResult::kCutShort:
      return "SAMPLE CUT SHORT";
    case ToolResult::kDone:
      break;
  }
  return nullptr;
}

SampleBytes sample_range(const Player& player, int32_t number, int32_t* a, int32_t* b) {
  const Sample* sample = editable_sample(player, number);
  const int32_t length = sample ? sample_bytes(*sample) : 0;
  if (*b <= *a || *b > length || *a < 0) *a = 0, *b = length;
  if (length == 0) return {};
  return SampleBytes(sample->data + *a, sample->data + *b);
}

ToolResult replace_sample_range(Player& player, int32_t number, int32_t a, int32_t b,
                                const SampleBytes& result, StepKind kind) {
  const Sample* sample = editable_sample(player, number);
  const int32_t length = sample ? sample_bytes(*sample) : 0;
  if (length == 0) return ToolResult::kEmpty;
  const auto n = static_cast<int32_t>(result.size());
  const int64_t total = int64_t{length} - (b - a) + n;
  const auto kept = static_cast<int32_t>(std::min<int64_t>(total, kMaxSampleBytes));
  auto* data = static_cast<int8_t*>(std::malloc(static_cast<size_t>(std::max(kept, 1))));
  if (!data) return ToolResult::kNoMemory;
  std::memcpy(data, sample->data, static_cast<size_t>(a));
  std::memcpy(data + a, result.data(), static_cast<size_t>(std::min(n, kept - a)));
  if (kept > a + n) std::memcpy(data + a + n, sample->data + b, static_cast<size_t>(kept - a - n));
  int32_t loop_start = sample->loop_start >> 14, loop_bytes = sample->loop_length >> 14;
  if (n != b - a && sample_loops(*sample)) {
    if (a == 0 && b == length) {
      scale_loop(&loop_start, &loop_bytes, static_cast<double>(n) / (b - a), kept);
    } else if (loop_start >= b) {
      loop_start += n - (b - a);
    } else if (loop_start + loop_bytes > a) {
      loop_start = 0;
      loop_bytes = 2;
    }
  }
  {
    const HistoryGroup group(player, kind);
    std::free(replace_sample_data(player, number, data, kept, loop_start, loop_bytes));
  }
  return total > kept ? ToolResult::kCutShort : ToolResult::kDone;
}

ToolResult fill_slot(Player& player, int32_t number, const SampleBytes& bytes, const char* name,
                     StepKind kind) {
  const Sample* slot = editable_sample(player, number);
  if (!slot || bytes.empty()) return ToolResult::kEmpty;
  Sample sample = *slot;
  sample.data = static_cast<int8_t*>(std::malloc(bytes.size()));
  if (!sample.data) return ToolResult::kNoMemory;
  std::memcpy(sample.data, bytes.data(), bytes.size());
  sample.length = static_cast<int32_t>(bytes.size()) * kFixOne;
  sample.loop_start = 0;
  sample.loop_length = sample.loop_end = 2 * kFixOne;
  sample.volume = 64;
  sample.finetune = 0;
  if (name) {
    std::memset(sample.name, 0, sizeof sample.name);
    std::memcpy(sample.name, name, std::min(std::strlen(name), sizeof sample.name));
  }
  const HistoryGroup group(player, kind);
  install_sample(player, number, sample);
  return ToolResult::kDone;
}
