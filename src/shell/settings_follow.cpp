#include "shell/settings_follow.h"

#include <cstdio>

#include "diskop/disk_op.h"
#include "render/message.h"

namespace {

constexpr std::string Settings::*kStartDirectories[] = {
    &Settings::module_dir, &Settings::song_dir,    &Settings::sample_dir,
    &Settings::track_dir,  &Settings::pattern_dir,
};

}  // namespace

bool apply_start_directories(DiskOpState& disk_op, const Settings& settings,
                             const Settings* before) {
  bool read = true;
  for (int32_t kind = kDiskModule; kind <= kDiskPattern; ++kind) {
    const std::string& folder = settings.*kStartDirectories[kind - 1];
    if (folder.empty() || (before && before->*kStartDirectories[kind - 1] == folder)) continue;
    if (set_start_directory(disk_op, static_cast<DiskKind>(kind), folder.c_str())) continue;
    std::fprintf(stderr, "tetrad: %s: no folder that can be read; the disk op starts elsewhere\n",
                 folder.c_str());
    read = false;
  }
  return read;
}

void follow_settings(EditorState& state, Settings& applied, const PlatformOps& platform) {
  const Settings& now = state.settings;
  if ((now.display_scale != applied.display_scale ||
       now.display_fullscreen != applied.display_fullscreen) &&
      platform.set_window)
    platform.set_window(platform.context, now.display_scale, now.display_fullscreen);
  if (!apply_start_directories(state.disk_op, now, &applied))
    timed_message(state.status, "CAN'T READ DIR");
  if (now.midi_input != applied.midi_input && state.reopen_midi)
    state.midi = state.reopen_midi(state.midi_context, now.midi_input);
  applied = now;
}
