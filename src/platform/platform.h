// Plain data shared by the platform back-ends and the program above them.
// Nothing here knows about SDL: the window, the sound card and the headless
// stand-in all report input and pull audio through these structs.
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
  int32_t text_char;  // printable ASCII the held key types in its layout, 0 none
  int32_t quit_requested;
  char dropped_file[4096];  // a file dropped onto the window, "" when none
};

// Where the back-ends get sound: fills `frames` interleaved 16-bit stereo
// frames. Called on the audio thread with the audio lock held.
struct AudioSource {
  void (*fill)(void* context, int16_t* interleaved, int32_t frames);
  void* context;
};

constexpr int32_t kAudioRate = 44100;
