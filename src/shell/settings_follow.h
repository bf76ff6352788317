// The program follows its settings while it runs: whoever changed them (the
// setup screen, a key), the window and the disk op's start folders catch up
// on the next turn. The sound follows them in audio_refill.
#pragma once

#include "platform/platform.h"
#include "settings/settings.h"
#include "shell/editor_state.h"

// The disk op's start folder of each kind the settings name, from `before`
// (null: every one named). "" keeps the kind's own rule; a folder that
// cannot be read is said on standard error and the kind stays where it was.
// False when one could not be read.
bool apply_start_directories(DiskOpState& disk_op, const Settings& settings,
                             const Settings* before);
// What changed since `applied`, the settings last followed, reaches the
// window, the disk op and the MIDI input; `applied` then holds the settings.
void follow_settings(EditorState& state, Settings& applied, const PlatformOps& platform);
