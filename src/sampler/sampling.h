// Sampling from the audio input into the current sample. The first press
// opens the default input and shows its signal live over the sample view,
// with a level, recording nothing; the second records at the rate of the
// NOTE note, 8-bit mono, until the sample is full, a click or a key; the
// recording replaces the sample as one undo step.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/capture_ring.h"
#include "engine/rate_stream.h"
#include "render/screen.h"

// The input device, as the shell hands it down: open returns the device's
// rate (0 when there is no input device) and fills `ring` from then on;
// after close nothing writes to it.
struct CaptureServices {
  void* context;
  int32_t (*open)(void* context, CaptureRing& ring);
  void (*close)(void* context);
};

enum class SamplingPhase : int32_t { kOff, kMonitoring, kRecording };

constexpr int32_t kShownInput = 314;  // the latest input, one sample a pixel

struct SamplingState {
  SamplingPhase phase;
  int32_t device_rate;
  int32_t sample;    // the slot being recorded into
  int32_t level;     // peak of the latest input, 0..100 percent
  int32_t last_key;  // key code of the previous frame: a new key stops
  int32_t clipped;   // the input reached full scale while recording
  RateStream* converter;
  std::vector<int8_t> recorded;
  int16_t shown[kShownInput];
  CaptureRing ring;
};

// Alt+A, or the SAMPLE button: opens monitoring, starts recording, or
// (while recording) stops and keeps what was recorded.
void sampling_press(SamplingState& sampling, const ScreenContext& ctx,
                    const CaptureServices& capture);
// Every frame while the sample editor is open: takes in what the input
// sent, draws it over the sample view, and ends a recording that filled
// the sample or met a click or a key. True when a click ended it.
bool sampling_frame(SamplingState& sampling, const ScreenContext& ctx,
                    const CaptureServices& capture);
// Ends sampling: a recording is kept, monitoring just stops.
void sampling_stop(SamplingState& sampling, const ScreenContext& ctx,
                   const CaptureServices& capture);
// Closes the input and drops a recording, changing nothing (the program
// ends).
void sampling_end(SamplingState& sampling, const CaptureServices& capture);
