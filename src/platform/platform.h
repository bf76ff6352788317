// Plain data shared by the platform back-ends and the program above them.
// Nothing here knows about SDL: the window, the sound card and the headless
// stand-ins all report input, pull audio and keep time through these structs,
// and the one main loop drives each of them through a PlatformOps table.
#pragma once

#include <cstdint>

// Qualifier bits of a raw key event, as the keyboard code expects them.
enum RawQualifier : int32_t {
  kQualLeftShift = 0x01,
  kQualRightShift = 0x02,
  kQualCtrl = 0x08,
  kQualLeftAlt = 0x10,
  kQualRightAlt = 0x20,
  kQualLeftCommand = 0x40,
  kQualRightCommand = 0x80,
};

// Mouse-button bits of PlatformInput::buttons.
enum ButtonBit : int32_t { kButtonLeft = 1, kButtonRight = 4 };

// Raw codes the main loop treats specially.
constexpr int32_t kRawReleaseBit = 0x80;
constexpr int32_t kRawStereoKey = 0x6F;      // F12: switch stereo/mono
constexpr int32_t kRawEscapeRelease = 0xC5;  // Escape acts on release

// Input as the main loop keeps it between frames. raw_key holds the last raw
// key event (press, or release with kRawReleaseBit) until the next one.
struct PlatformInput {
  int32_t raw_key;
  int32_t raw_qualifier;
  int32_t held_qualifiers;  // qualifier keys down right now
  int32_t buttons;
  int32_t mouse_x;  // framebuffer pixels
  int32_t mouse_y;
  int32_t text_char;        // printable ASCII the held key types in its layout, 0 none
  int32_t quit_requested;   // the program ends after this frame
  int32_t close_requested;  // the window's close button: asks first while work is unsaved
  int32_t terminated;       // SIGTERM or SIGHUP: ends at once, unsaved work kept in the autosave
  int32_t wheel;  // notches of the mouse wheel since the last frame, away from the user > 0
  char dropped_file[4096];  // a file dropped onto the window, "" when none
};

constexpr int32_t kAudioRate = 44100;

// Where the back-ends get sound: fills `frames` interleaved 16-bit stereo
// frames at `rate` Hz. Called on the audio thread with the audio lock held.
struct AudioSource {
  void (*fill)(void* context, int16_t* interleaved, int32_t frames);
  void* context;
  int32_t rate = kAudioRate;
  int32_t frames = 1024;  // what the card is asked to take at a time
};

// Where recorded sound goes: `frames` 16-bit samples, the device's channels
// already mixed to one. Called on the capture thread: `push` must neither
// allocate nor wait.
struct CaptureSink {
  void (*push)(void* context, const int16_t* mono, int32_t frames);
  void* context;
};

// What one turn of the main loop does, as the back-end's wait decides.
enum PlatformTurn : int32_t {
  kTurnPoll,   // read the input only
  kTurnFrame,  // read the input, then run a frame and show it
  kTurnEnd,    // the back-end has no more turns (a headless run is done)
};

// A back-end as the main loop sees it. Every function gets `context`.
struct PlatformOps {
  void* context;
  // Lets time pass until the next turn: the window sleeps a few
  // milliseconds and asks for a frame once a 60th of a second has passed;
  // the headless back-ends move their clock a frame on and pull that
  // frame's sound first.
  PlatformTurn (*wait)(void* context);
  int64_t (*clock_us)(void* context);
  // Adds the input events that arrived since the last poll.
  void (*poll)(void* context, PlatformInput& input);
  // Shows the packed-RGB framebuffer. Text input is wanted only while a text
  // field is edited, so that input methods do not take the keys otherwise.
  void (*present)(void* context, const uint8_t* framebuffer, bool text_input);
  // Starts the sound pulling from `source`, whose buffers must exist
  // already. 0 when there is no device; the program then runs silent.
  int32_t (*audio_open)(void* context, AudioSource source);
  // Stops the sound; on return no fill is running or will run.
  void (*audio_close)(void* context);
  // Opens the default audio input, feeding `sink`: the device's rate in Hz,
  // or 0 when there is no input device.
  int32_t (*capture_open)(void* context, CaptureSink sink);
  // Stops the input; on return no push is running or will run.
  void (*capture_close)(void* context);
  // The lock the fill runs under, in the shape the audio lock hooks take.
  // It is recursive.
  void (*lock)(void* context);
  void (*unlock)(void* context);
  // Names the window; null, or a function that does nothing, where there
  // is no window.
  void (*set_title)(void* context, const char* title);
  // Sizes the window to `scale` times the picture (0: the largest whole
  // factor that fits the desktop), or makes it fill the screen.
  void (*set_window)(void* context, int32_t scale, bool fullscreen);
};
