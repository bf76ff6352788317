// The requesters: the yes/no question and the clear choice, both drawn at
// (kRequesterX, kRequesterY); rectangles are in screen coordinates.
#pragma once

#include "layout/picture.h"

enum class RequesterAction : int32_t {
  kNone,
  kYes,
  kNo,
  kClearSong,
  kClearSamples,
  kClearAll,
  kClearCancel,
};

struct RequesterButton {
  Button<RequesterAction> button;
  int32_t hotkey;  // the caption's letter that answers from the keyboard
};

inline constexpr RequesterButton kSureButtons[] = {
    {{{171, 71, 196, 81}, RequesterAction::kYes, "YES"}, 0},
    {{{234, 71, 252, 81}, RequesterAction::kNo, "NO"}, 0},
};

inline constexpr RequesterButton kClearButtons[] = {
    {{{166, 57, 198, 67}, RequesterAction::kClearSong, "SONG"}, 1},
    {{{204, 57, 257, 67}, RequesterAction::kClearSamples, "SAMPLES"}, 0},
    {{{166, 71, 198, 82}, RequesterAction::kClearAll, "ALL"}, 0},
    {{{204, 72, 257, 82}, RequesterAction::kClearCancel, "CANCEL"}, 0},
};
