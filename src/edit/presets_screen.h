// The presets screen: the sample-library entries the user keeps in
// presets.ini. A click loads an entry into the current sample slot (one
// undo step), a right click alone plays it without loading; ADD keeps the current sample (writing
// it into the library when the library lacks it); DEL removes the chosen entry after a question,
// leaving the library's file. An entry whose file is gone is shown as missing and does not load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "edit/key_tables.h"
#include "edit/list_jump.h"
#include "render/screen.h"
#include "settings/settings.h"

struct PresetsState {
  std::vector<Preset> list;
  int32_t read;  // 1 once the file was read for this opening
  int32_t top;
  int32_t chosen;  // the entry last clicked or marked by a key, -1 none
  ListJump jump;
};

// What the screen needs of the library, from the shell.
struct PresetServices {
  void* context;
  // The size of the entry's library file, -1 when it is missing.
  int64_t (*file_bytes)(void* context, const char* name);
  // Loads the entry into the current slot as one undo step; false when it
  // could not be.
  bool (*load)(void* context, const char* name);
  // The current sample's name, after writing it into the library when the
  // library lacks it; empty when it cannot be kept.
  std::string (*store_current)(void* context);
  // Plays the entry's file without loading it; false when it could not be.
  bool (*preview)(void* context, const char* name);
};

ScreenResult presets_frame(PresetsState& presets, const ScreenContext& ctx,
                           const PresetServices& services, bool open);
// Removes the chosen entry and writes the file (the answer to DEL's question).
void delete_chosen_preset(PresetsState& presets, Status& status);
inline constexpr ScreenKey kPresetsKeys[] = {
    {kKeyUp, kKeyUp, "scroll the list up a line"},
    {kKeyDown, kKeyDown, "scroll the list down a line"},
    {kKeyEsc, kKeyEsc, "close the presets screen"},
    {kKeyHome, kKeyHome, "choose the first entry"},
    {kKeyEnd, kKeyEnd, "choose the last entry"},
    {kKey1, kKey0 + 2, "choose the first entry whose name starts with what is typed",
     "letters, digits"},
    {kKeyQ, kKeyP + 2, nullptr},
    {kKeyA, kKeyL + 3, nullptr},
    {kKeyStopAll, kKeyM + 3, nullptr},
};
bool presets_takes_key(int32_t key_index, int32_t modifiers);
