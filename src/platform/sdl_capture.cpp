#include "platform/sdl_capture.h"

#include <SDL.h>

#include <algorithm>

namespace {

constexpr int kPieceFrames = 256;

// Runs on SDL's capture thread: mixes the channels down a piece at a time
// on the stack and hands each piece on.
void capture_callback(void* userdata, Uint8* stream, int length) {
  const SdlCapture& capture = *static_cast<SdlCapture*>(userdata);
  const int channels = capture.channels;
  const auto* in = reinterpret_cast<const int16_t*>(stream);
  int frames = length / (2 * channels);
  int16_t mono[kPieceFrames];
  while (frames > 0) {
    const int n = std::min(frames, kPieceFrames);
    for (int i = 0; i < n; ++i) {
      int32_t sum = 0;
      for (int c = 0; c < channels; ++c) sum += in[i * channels + c];
      mono[i] = static_cast<int16_t>(sum / channels);
    }
    capture.sink.push(capture.sink.context, mono, n);
    in += n * channels;
    frames -= n;
  }
}

}  // namespace

int32_t sdl_capture_open(SdlCapture& capture, CaptureSink sink) {
  if (capture.device != 0 || !sink.push) return 0;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  capture.sink = sink;
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = capture_callback;
  want.userdata = &capture;
  SDL_AudioSpec have{};
  // The device keeps its own rate and channels; the format stays 16-bit.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(
      nullptr, 1, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (device == 0 || have.channels == 0 || have.freq <= 0) {
    if (device != 0) SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  capture.channels = have.channels;
  capture.device = device;
  SDL_PauseAudioDevice(device, 0);
  return have.freq;
}

void sdl_capture_close(SdlCapture& capture) {
  if (capture.device == 0) return;
  // Closing waits for a running callback and stops the capture thread.
  SDL_CloseAudioDevice(capture.device);
  capture.device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
