#include "sampler/sampling.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/editing.h"
#include "engine/history.h"
#include "engine/periods.h"
#include "layout/sampler_layout.h"
#include "render/draw.h"
#include "render/message.h"

namespace {

constexpr int32_t kDrainPiece = 2048;
constexpr uint32_t kMonitorColour = 0x00E000;
constexpr uint32_t kRecordColour = 0xFF4040;
constexpr uint32_t kLabelColour = 0xFFFFFF;

// The rate the NOTE note plays a sample at (finetune 0).
double note_rate(int32_t semitones_from_c3) {
  return period_rate(period_from_c3(semitones_from_c3));
}

void release(SamplingState& sampling) {
  rate_stream_destroy(sampling.converter);
  sampling.converter = nullptr;
  sampling.phase = SamplingPhase::kOff;
}

// The recording becomes the sample: even bytes, no loop, one step.
void keep_recording(SamplingState& sampling, const ScreenContext& ctx) {
  rate_stream_push(sampling.converter, nullptr, 0, true, sampling.recorded);
  const auto bytes =
      static_cast<int32_t>(std::min<size_t>(sampling.recorded.size(), kMaxSampleBytes)) & ~1;
  if (bytes == 0 || !editable_sample(*ctx.player, sampling.sample))
    return timed_message(ctx.status, "NOTHING RECORDED");
  auto* data = static_cast<int8_t*>(std::malloc(static_cast<size_t>(bytes)));
  if (!data) return timed_message(ctx.status, "OUT OF MEMORY");
  std::memcpy(data, sampling.recorded.data(), static_cast<size_t>(bytes));
  {
    const HistoryGroup group(*ctx.player, StepKind::kSampling);
    std::free(replace_sample_data(*ctx.player, sampling.sample, data, bytes, 0, kNoLoopBytes));
    // An empty slot has volume 0: the recording should be heard.
    if (ctx.player->samples[sampling.sample].volume == 0)
      set_sample_volume(*ctx.player, sampling.sample, 64);
  }
  timed_message(ctx.status, sampling.clipped ? "INPUT CLIPPED" : "SAMPLE RECORDED");
}

// Takes in what the input sent since the last frame: the view's latest
// samples and level, and while recording the converted bytes.
void drain(SamplingState& sampling) {
  int16_t piece[kDrainPiece];
  float converted[kDrainPiece];
  int32_t peak = -1;
  for (;;) {
    const int32_t n = capture_ring_read(sampling.ring, piece, kDrainPiece);
    if (n == 0) break;
    peak = std::max(peak, 0);
    for (int32_t i = 0; i < n; ++i) peak = std::max(peak, std::abs(int32_t{piece[i]}));
    const int32_t keep = std::min(n, kShownInput);
    std::memmove(sampling.shown, sampling.shown + keep,
                 sizeof(int16_t) * static_cast<size_t>(kShownInput - keep));
    std::memcpy(sampling.shown + kShownInput - keep, piece + n - keep,
                sizeof(int16_t) * static_cast<size_t>(keep));
    if (sampling.phase != SamplingPhase::kRecording) continue;
    for (int32_t i = 0; i < n; ++i) converted[i] = piece[i] / 32768.0f;
    rate_stream_push(sampling.converter, converted, n, false, sampling.recorded);
    if (peak >= 32767) sampling.clipped = 1;
    if (sampling.recorded.size() >= kMaxSampleBytes) break;
  }
  if (peak >= 0) sampling.level = peak * 100 / 32768;
}

// The live input over the waveform, a column per sample, and the level.
void draw_input(const SamplingState& sampling, const ScreenContext& ctx) {
  const Canvas& canvas = ctx.canvas;
  fill_rect(canvas, {kWaveLeft, kWaveTop, kWaveRight, kWaveBottom}, 0x000000);
  const bool recording = sampling.phase == SamplingPhase::kRecording;
  const uint32_t colour = recording ? kRecordColour : kMonitorColour;
  const auto y_of = [](int32_t v) { return kWaveCentre - v * (kWaveCentre - kWaveTop) / 32768; };
  for (int32_t x = 0; x + 1 < kShownInput; ++x) {
    const int32_t y0 = y_of(sampling.shown[x]);
    const int32_t y1 = y_of(sampling.shown[x + 1]);
    for (int32_t y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
      put_pixel(canvas, kWaveLeft + x, y, colour);
  }
  const int32_t bar = sampling.level * kWaveSpan / 100;
  fill_rect(canvas, {kWaveLeft, kWaveBottom - 2, kWaveLeft + bar, kWaveBottom}, colour);
  if (recording) {
    draw_text(canvas, kWaveLeft + 2, kWaveTop + 2, 0, kLabelColour, "REC %05X LEVEL %3d%%",
              static_cast<int32_t>(sampling.recorded.size()), sampling.level);
  } else {
    draw_text(canvas, kWaveLeft + 2, kWaveTop + 2, 0, kLabelColour, "MONITOR LEVEL %3d%%",
              sampling.level);
  }
}

}  // namespace

void sampling_press(SamplingState& sampling, const ScreenContext& ctx,
                    const CaptureServices& capture) {
  switch (sampling.phase) {
    case SamplingPhase::kOff: {
      if (!editable_sample(*ctx.player, ctx.selection.current_sample))
        return timed_message(ctx.status, "SELECT A SAMPLE");
      capture_ring_reset(sampling.ring);
      const int32_t rate = capture.open ? capture.open(capture.context, sampling.ring) : 0;
      if (rate <= 0) return timed_message(ctx.status, "NO INPUT DEVICE");
      sampling.device_rate = rate;
      sampling.phase = SamplingPhase::kMonitoring;
      sampling.level = 0;
      sampling.last_key = ctx.input.key_code;
      std::memset(sampling.shown, 0, sizeof sampling.shown);
      return set_message(ctx.status, "MONITORING");
    }
    case SamplingPhase::kMonitoring: {
      sampling.sample = ctx.selection.current_sample;
      if (!editable_sample(*ctx.player, sampling.sample)) {
        sampling_end(sampling, capture);
        return timed_message(ctx.status, "SELECT A SAMPLE");
      }
      sampling.converter =
          rate_stream_create(note_rate(ctx.selection.resample_note) / sampling.device_rate);
      if (!sampling.converter) {
        sampling_end(sampling, capture);
        return timed_message(ctx.status, "OUT OF MEMORY");
      }
      // What came in before the press is only monitored.
      int16_t discard[kDrainPiece];
      while (capture_ring_read(sampling.ring, discard, kDrainPiece) > 0) {
      }
      sampling.recorded.clear();
      sampling.recorded.reserve(kMaxSampleBytes + kDrainPiece);
      sampling.clipped = 0;
      sampling.last_key = ctx.input.key_code;
      sampling.phase = SamplingPhase::kRecording;
      return set_message(ctx.status, "RECORDING");
    }
    case SamplingPhase::kRecording:
      return sampling_stop(sampling, ctx, capture);
  }
}

bool sampling_frame(SamplingState& sampling, const ScreenContext& ctx,
                    const CaptureServices& capture) {
  if (sampling.phase == SamplingPhase::kOff) return false;
  drain(sampling);
  const int32_t key = ctx.input.key_code;
  const bool new_key = key != 0 && key != sampling.last_key;
  sampling.last_key = key;
  const bool click = ctx.input.left_held == 1;
  if (sampling.phase == SamplingPhase::kRecording &&
      (sampling.recorded.size() >= kMaxSampleBytes || new_key || click)) {
    sampling_stop(sampling, ctx, capture);
    return click;
  }
  draw_input(sampling, ctx);
  return false;
}

void sampling_stop(SamplingState& sampling, const ScreenContext& ctx,
                   const CaptureServices& capture) {
  if (sampling.phase == SamplingPhase::kOff) return;
  const bool recording = sampling.phase == SamplingPhase::kRecording;
  // The input stops first: nothing writes to the ring while the bytes go in.
  if (capture.close) capture.close(capture.context);
  if (recording) {
    drain(sampling);
    keep_recording(sampling, ctx);
  } else {
    set_message(ctx.status, "ALL RIGHT");
  }
  release(sampling);
}

void sampling_end(SamplingState& sampling, const CaptureServices& capture) {
  if (sampling.phase != SamplingPhase::kOff && capture.close) capture.close(capture.context);
  release(sampling);
}
