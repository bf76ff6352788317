// Autosave and recovery: while the module has unsaved changes it is written
// every `autosave_seconds` to the state directory; a clean exit removes the
// file, so one found at start is work a crash would otherwise have lost.
#pragma once

#include <cstdint>
#include <string>

#include "shell/editor_state.h"

// $XDG_STATE_HOME/tetrad/autosave.mod (~/.local/state/...); "" without a home.
std::string autosave_path();
// Runs after each frame with the session's clock: starts counting at the
// first unsaved change, writes when the time has come. The module is
// serialised under the audio lock and written outside it.
void autosave_tick(EditorState& state, int64_t now_us);
// Writes the autosave now if the module has unsaved changes (the program is
// ending by a signal, and the file stays for the next start).
void autosave_now(EditorState& state);
// At start: asks RESTORE AUTOSAVE when an autosave is there.
void offer_autosave(EditorState& state);
// The answer: yes loads it (with its changes still unsaved), no moves it
// aside as autosave-YYYYMMDD-HHMMSS.mod, never deleting it.
void restore_autosave(EditorState& state);
void set_autosave_aside();
// A clean exit: the autosave is no longer needed (unless a signal ended the
// program with work in it).
void remove_autosave(const EditorState& state);
