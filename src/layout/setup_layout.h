// The setup screen: a panel over the top of the main screen showing every
// setting of the settings file on four pages, one setting a line.
#pragma once

#include "layout/picture.h"

enum class SetupAction : int32_t {
  kNone,
  kSave,
  kReset,
  kPage,  // which page: from the pointer's place
  kClose,
  kValue,  // which setting: from the pointer's place
  kDown,
  kUp,
  kWideValue,  // a wide text field, on a page of one column
};

constexpr int32_t kSetupHeight = 100;
constexpr int32_t kSetupTop = 13;  // the first line's top
constexpr int32_t kSetupLineHeight = 12;
constexpr int32_t kSetupLines = 7;  // in each column
constexpr int32_t kSetupSlots = 2 * kSetupLines;
constexpr int32_t kSetupColumnWidth = 160;
// Within a column: the caption, the value's field and the two arrows.
constexpr int32_t kSetupCaptionX = 4;
constexpr int32_t kSetupValueX = 84;
constexpr int32_t kSetupValueEnd = 135;
constexpr int32_t kSetupDownX = 137;
constexpr int32_t kSetupUpX = 148;
// A text field on a page of one column runs across the panel.
constexpr int32_t kSetupWideEnd = 315;
constexpr int32_t kSetupWideColumns = (kSetupWideEnd - kSetupValueX - 3) / 8;
// The page tabs, side by side between RESET and the close button.
constexpr int32_t kSetupTabX = 100;
constexpr int32_t kSetupTabWidth = 49;
constexpr int32_t kSetupPageCount = 4;

constexpr ButtonRect setup_column_rect(int32_t column, int32_t x1, int32_t x2) {
  return {column * kSetupColumnWidth + x1, kSetupTop, column * kSetupColumnWidth + x2,
          kSetupTop + kSetupLines * kSetupLineHeight - 2};
}

inline constexpr Button<SetupAction> kSetupButtons[] = {
    {{0, 0, 49, 10}, SetupAction::kSave, "SAVE"},
    {{50, 0, 99, 10}, SetupAction::kReset, "RESET"},
    {{kSetupTabX, 0, kSetupTabX + kSetupPageCount* kSetupTabWidth - 1, 10},
     SetupAction::kPage,
     nullptr},
    {{296, 0, 319, 10}, SetupAction::kClose, "X"},
    // First: where the fields of the columns are, they win.
    {setup_column_rect(0, kSetupValueX, kSetupWideEnd), SetupAction::kWideValue, nullptr},
    {setup_column_rect(0, kSetupValueX, kSetupValueEnd), SetupAction::kValue, nullptr},
    {setup_column_rect(0, kSetupDownX, kSetupUpX - 1), SetupAction::kDown, nullptr},
    {setup_column_rect(0, kSetupUpX, kSetupUpX + 11), SetupAction::kUp, nullptr},
    {setup_column_rect(1, kSetupValueX, kSetupValueEnd), SetupAction::kValue, nullptr},
    {setup_column_rect(1, kSetupDownX, kSetupUpX - 1), SetupAction::kDown, nullptr},
    {setup_column_rect(1, kSetupUpX, kSetupUpX + 11), SetupAction::kUp, nullptr},
};

// One line: its caption, the file's section and key, and what an arrow
// adds (a right click adds `big_step`). A text key has no arrows. A line
// without a caption is an empty place.
struct SetupLine {
  const char* caption;
  const char* section;
  const char* name;
  int32_t step;
  int32_t big_step;
};

// A page: its tab, and its lines down the first column, then the second.
// A page of one column (`wide`) lets its text fields run across the panel.
struct SetupPage {
  const char* tab;
  bool wide;
  SetupLine lines[kSetupSlots];
};

inline constexpr SetupPage kSetupPageTable[kSetupPageCount] = {
    {"EDITOR",
     false,
     {{"AUTOSAVE SEC", "safety", "autosave_seconds", 10, 60},
      {"BACKUPS", "safety", "backups", 1, 1},
      {"KEY DELAY MS", "keyboard", "repeat_delay_ms", 10, 100},
      {"KEY REPEAT", "keyboard", "repeat_frames", 1, 5},
      {"IMPORT RATE", "samples", "import_rate", 1, 1000},
      {"SAMPLE FORMAT", "samples", "format", 1, 1},
      {},
      {"WINDOW SCALE", "display", "scale", 1, 1},
      {"FULLSCREEN", "display", "fullscreen", 1, 1}}},
    {"SOUND",
     false,
     {{"MODEL", "audio", "model", 1, 1},
      {"SEPARATION %", "audio", "separation", 1, 10},
      {"RATE", "audio", "rate", 1, 1},
      {"CLOCK", "audio", "clock", 1, 1},
      {"OUTPUT", "audio", "stereo", 1, 1},
      {"BUFFER", "audio", "buffer", 1, 1}}},
    {"MIDI",
     true,
     {{"INPUT", "midi", "input", 0, 0},
      {"TRANSPOSE", "midi", "transpose", 1, 12},
      {"VELOCITY", "midi", "velocity", 1, 1}}},
    {"FILES",
     true,
     {{"MODULES", "dirs", "modules", 0, 0},
      {"SONGS", "dirs", "songs", 0, 0},
      {"SAMPLES", "dirs", "samples", 0, 0},
      {"TRACKS", "dirs", "tracks", 0, 0},
      {"PATTERNS", "dirs", "patterns", 0, 0},
      {"LIBRARY", "dirs", "library", 0, 0}}},
};
