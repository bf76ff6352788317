#include "platform/sdl_platform.h"

#include <SDL.h>
#include <dirent.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/keymap.h"
#include "platform/pixels.h"
#include "platform/sdl_capture.h"
#include "platform/viewport.h"

namespace {

constexpr int32_t kPictureWidth = 320;
constexpr int32_t kPictureHeight = 255;
constexpr uint32_t kPollUs = 5000;
constexpr int64_t kFrameUs = 16666;

bool set(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// Whether ALSA has a playback device to open at all.
bool has_sound_card() {
  DIR* dir = opendir("/dev/snd");
  if (!dir) return false;
  bool found = false;
  while (const dirent* entry = readdir(dir))
    if (std::strncmp(entry->d_name, "pcmC", 4) == 0) found = true;
  closedir(dir);
  return found;
}

}  // namespace

struct SdlPlatform {
  SDL_Window* window;
  SDL_Renderer* renderer;
  SDL_Texture* texture;
  SDL_AudioDeviceID device;  // 0 = closed
  AudioSource source;
  SdlCapture capture;
  bool audio_initialised;
  bool silence_reported;
  bool text_input;
  int64_t last_frame_us;
};

namespace {

void audio_callback(void* userdata, Uint8* stream, int length) {
  // SDL holds the device lock while this runs.
  const AudioSource& source = static_cast<SdlPlatform*>(userdata)->source;
  source.fill(source.context, reinterpret_cast<int16_t*>(stream), length / 4);
}

Viewport output_viewport(SdlPlatform* platform, int* output_width, int* output_height) {
  SDL_GetRendererOutputSize(platform->renderer, output_width, output_height);
  return fit_viewport(*output_width, *output_height, kPictureWidth, kPictureHeight);
}

void toggle_fullscreen(SdlPlatform* platform) {
  const bool full = SDL_GetWindowFlags(platform->window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_SetWindowFullscreen(platform->window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

int32_t audio_open(void* context, AudioSource source) {
  auto* platform = static_cast<SdlPlatform*>(context);
  if (platform->device != 0 || !source.fill) return 0;
  if (!platform->audio_initialised) {
    platform->audio_initialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (platform->audio_initialised) {
    platform->source = source;
    SDL_AudioSpec want{};
    want.freq = source.rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(source.frames);
    want.callback = audio_callback;
    want.userdata = platform;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts for the card if it must, and the
    // callback always sees 16-bit stereo at the source's rate.
    platform->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (platform->device == 0) {
    if (!platform->silence_reported)
      std::fprintf(stderr, "tetrad: no sound device (%s); running silent\n", SDL_GetError());
    platform->silence_reported = true;
    return 0;
  }
  SDL_PauseAudioDevice(platform->device, 0);
  return 1;
}

void audio_close(void* context) {
  auto* platform = static_cast<SdlPlatform*>(context);
  if (platform->device == 0) return;
  // Closing waits for a running callback and stops the audio thread.
  SDL_CloseAudioDevice(platform->device);
  platform->device = 0;
}

int32_t capture_open(void* context, CaptureSink sink) {
  return sdl_capture_open(static_cast<SdlPlatform*>(context)->capture, sink);
}

void capture_close(void* context) {
  sdl_capture_close(static_cast<SdlPlatform*>(context)->capture);
}

void lock(void* platform) {
  const SDL_AudioDeviceID device = static_cast<SdlPlatform*>(platform)->device;
  if (device) SDL_LockAudioDevice(device);
}

void unlock(void* platform) {
  const SDL_AudioDeviceID device = static_cast<SdlPlatform*>(platform)->device;
  if (device) SDL_UnlockAudioDevice(device);
}

// A window position to picture pixels, clamped to the picture; false in
// the border around it.
bool window_to_picture(SdlPlatform* platform, int x, int y, int32_t* px, int32_t* py) {
  // Window coordinates to output pixels (they differ on high-DPI screens).
  int window_width = 1;
  int window_height = 1;
  SDL_GetWindowSize(platform->window, &window_width, &window_height);
  int output_width = 1;
  int output_height = 1;
  const Viewport view = output_viewport(platform, &output_width, &output_height);
  if (window_width > 0) x = static_cast<int>(int64_t{x} * output_width / window_width);
  if (window_height > 0) y = static_cast<int>(int64_t{y} * output_height / window_height);
  return output_to_picture(view, kPictureWidth, kPictureHeight, x, y, px, py);
}

void poll_events(SdlPlatform* platform, PlatformInput& input) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_QUIT:
        input.close_requested = 1;
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) input.close_requested = 1;
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) input_focus_lost(input);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        // A held key stays in raw_key by itself; the system's repeats would
        // only re-fire the keys that act once per press.
        if (event.key.repeat) break;
        const int32_t scancode = event.key.keysym.scancode;
        if (scancode == kFullscreenScancode) {
          if (event.type == SDL_KEYDOWN) toggle_fullscreen(platform);
          break;
        }
        input_key_event(input, scancode, event.type == SDL_KEYDOWN);
        break;
      }
      case SDL_TEXTINPUT:
        input_text_event(input, event.text.text);
        break;
      case SDL_DROPFILE:
        // The last of several dropped files wins; longer paths are dropped.
        if (std::strlen(event.drop.file) < sizeof input.dropped_file)
          std::strcpy(input.dropped_file, event.drop.file);
        SDL_free(event.drop.file);
        break;
      case SDL_MOUSEWHEEL:
        input_wheel_event(input, event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                                 : event.wheel.y);
        break;
      case SDL_MOUSEBUTTONDOWN: {
        // A press in the black border around the picture is no press: it
        // would land on the buttons at the picture's edge.
        int32_t x = 0;
        int32_t y = 0;
        if (window_to_picture(platform, event.button.x, event.button.y, &x, &y))
          input_button_event(input, event.button.button, true);
        break;
      }
      case SDL_MOUSEBUTTONUP:
        input_button_event(input, event.button.button, false);
        break;
      default:
        break;
    }
  }
}

void read_pointer(SdlPlatform* platform, PlatformInput& input) {
  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  window_to_picture(platform, x, y, &input.mouse_x, &input.mouse_y);
}

void set_text_input(SdlPlatform* platform, bool on) {
  if (on == platform->text_input) return;
  platform->text_input = on;
  if (on) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

void set_title(void* context, const char* title) {
  SDL_SetWindowTitle(static_cast<SdlPlatform*>(context)->window, title);
}

int32_t window_scale(int32_t scale) {
  if (scale != 0) return scale;
  SDL_Rect usable{0, 0, kPictureWidth, kPictureHeight};
  SDL_GetDisplayUsableBounds(0, &usable);
  return default_scale(usable.w, usable.h, kPictureWidth, kPictureHeight);
}

void set_window(void* context, int32_t scale, bool fullscreen) {
  SDL_Window* window = static_cast<SdlPlatform*>(context)->window;
  SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  if (fullscreen) return;
  const int32_t factor = window_scale(scale);
  SDL_SetWindowSize(window, kPictureWidth * factor, kPictureHeight * factor);
}

void present(void* context, const uint8_t* framebuffer, bool text_input) {
  auto* platform = static_cast<SdlPlatform*>(context);
  set_text_input(platform, text_input);
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(platform->texture, nullptr, &pixels, &pitch) == 0) {
    convert_rgb_to_xrgb(framebuffer, kPictureWidth, kPictureHeight, pixels, pitch);
    SDL_UnlockTexture(platform->texture);
  }
  int output_width = 0;
  int output_height = 0;
  const Viewport view = output_viewport(platform, &output_width, &output_height);
  const SDL_Rect target{view.x, view.y, view.width, view.height};
  SDL_SetRenderDrawColor(platform->renderer, 0, 0, 0, 255);
  SDL_RenderClear(platform->renderer);
  SDL_RenderCopy(platform->renderer, platform->texture, nullptr, &target);
  SDL_RenderPresent(platform->renderer);
}

int64_t clock_us(void*) {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

PlatformTurn wait(void* context) {
  auto* platform = static_cast<SdlPlatform*>(context);
  std::this_thread::sleep_for(std::chrono::microseconds(kPollUs));
  const int64_t now = clock_us(context);
  if (now - platform->last_frame_us <= kFrameUs) return kTurnPoll;
  platform->last_frame_us = now;
  return kTurnFrame;
}

// Set by SIGTERM and SIGHUP; read once a turn.
volatile std::sig_atomic_t terminate_signal = 0;

void on_terminate(int) {
  terminate_signal = 1;
}

// SIGINT stays SDL's close request; SIGTERM and SIGHUP end the program
// without a question, once the autosave holds any unsaved work.
void install_signal_handlers() {
  std::signal(SIGTERM, on_terminate);
  std::signal(SIGHUP, on_terminate);
}

void poll(void* context, PlatformInput& input) {
  auto* platform = static_cast<SdlPlatform*>(context);
  read_pointer(platform, input);
  poll_events(platform, input);
  if (terminate_signal) input.terminated = 1;
}

}  // namespace

SdlPlatform* sdl_platform_create(const WindowOptions& options) {
  // SDL would otherwise fall back to an off-screen driver and run unseen.
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER")) {
    std::fprintf(stderr,
                 "tetrad: no X or Wayland display, so no window can be opened; "
                 "use --render to play a module into a file or --screenshot for a picture\n");
    return nullptr;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
  // Without a card ALSA can open nothing and only prints its complaints; the
  // sound servers are still tried, and silence is reported in one line.
  if (!has_sound_card()) SDL_SetHint(SDL_HINT_AUDIODRIVER, "pipewire,pulseaudio,jack");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "tetrad: cannot start the display: %s\n", SDL_GetError());
    return nullptr;
  }
  install_signal_handlers();  // after SDL's own, which they replace for these two
  auto* platform = new SdlPlatform{};
  const int32_t scale = window_scale(options.scale);
  // Whole-pixel scaling stays crisp.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  platform->window = SDL_CreateWindow("Tetrad", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      kPictureWidth * scale, kPictureHeight * scale, flags);
  if (platform->window) {
    SDL_SetWindowMinimumSize(platform->window, kPictureWidth, kPictureHeight);
    platform->renderer = SDL_CreateRenderer(platform->window, -1,
                                            SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!platform->renderer) platform->renderer = SDL_CreateRenderer(platform->window, -1, 0);
  }
  if (platform->renderer)
    platform->texture =
        SDL_CreateTexture(platform->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                          kPictureWidth, kPictureHeight);
  if (!platform->texture) {
    std::fprintf(stderr, "tetrad: cannot open the window: %s\n", SDL_GetError());
    sdl_platform_destroy(platform);
    return nullptr;
  }
  // The program draws its own pointer.
  SDL_ShowCursor(SDL_DISABLE);
  SDL_StopTextInput();
  return platform;
}

void sdl_platform_destroy(SdlPlatform* platform) {
  if (!platform) return;
  capture_close(platform);
  audio_close(platform);
  if (platform->texture) SDL_DestroyTexture(platform->texture);
  if (platform->renderer) SDL_DestroyRenderer(platform->renderer);
  if (platform->window) SDL_DestroyWindow(platform->window);
  delete platform;
  SDL_Quit();
}

PlatformOps sdl_platform_ops(SdlPlatform* platform) {
  return PlatformOps{platform,   wait,        clock_us,     poll,          present,
                     audio_open, audio_close, capture_open, capture_close, lock,
                     unlock,     set_title,   set_window};
}
