// Everything the user interface shows and edits: one instance, created and
// destroyed here, holding each screen's own state.
#pragma once

#include <cstdint>
#include <string>

#include "diskop/disk_op.h"
#include "edit/edit_op.h"
#include "edit/help_screen.h"
#include "edit/keyboard.h"
#include "edit/midi_notes.h"
#include "edit/position_editor.h"
#include "edit/presets_screen.h"
#include "edit/requesters.h"
#include "edit/setup_screen.h"
#include "engine/edit_ops.h"
#include "engine/history.h"
#include "engine/player.h"
#include "engine/preview_voice.h"
#include "platform/midi.h"
#include "render/main_screen.h"
#include "render/screen.h"
#include "sampler/sample_view.h"
#include "sampler/sampling.h"
#include "settings/settings.h"
#include "shell/number_field.h"

struct EditorState {
  Canvas canvas;  // pixels owned; font is images.font
  Player* player;
  GuiImages images;
  FrameInput input;
  Status status;
  Selection selection;
  KeyboardState keys;
  MainScreenState main;
  DiskOpState disk_op;
  SamplerState sampler;
  EditOpState editop;
  PositionEditorState positions;
  SetupState setup;
  HelpState help;
  PresetsState presets;
  TextFieldState text_field;
  NumberFieldState number_field;
  uint32_t open_screens;    // a bit for each ScreenId that is open
  char dropped_file[4096];  // a dropped module waiting for the answer to "UNSAVED! LOAD ?"
  Settings settings;        // read at start, changed on the setup screen
  // Autosave: on for the window and scripted sessions; the time of the next.
  struct {
    bool enabled;
    int64_t due_us;  // 0: nothing unsaved yet
    bool keep;       // the program ends by a signal: the autosave stays
  } autosave;

  // Saving all samples: the one whose existing file is asked about, and
  // how many were saved so far.
  struct {
    int32_t asking;
    int32_t saved;
  } save_all;

  // Edit operations: the clipboards and the block marks.
  EditBuffers edit_buffers;
  // The undo history of the module; the player edited points to it.
  History history;
  // MIDI input, read every pass of the main loop (unset: none), and the
  // channels its held notes sound on.
  MidiSource midi;
  // Opens the MIDI input again on another port (the setting's words), or
  // null where the program has no MIDI.
  MidiSource (*reopen_midi)(void* context, const std::string& port);
  void* midi_context;
  MidiNotes midi_notes;
  // Sampling from the audio input, and the input as the main loop hands
  // it down (unset: there is no input device).
  SamplingState sampling;
  CaptureServices capture;
  // A sample file heard before it is loaded (shell/preview.h): the voice
  // the sound reads under the audio lock, the screen that started it (its
  // ScreenId + 1, 0 for none) and the transport count it started at.
  struct {
    PreviewVoice voice;
    int32_t owner;
    int32_t transport;
  } preview;
};

// The context the screens are handed for a frame.
inline ScreenContext screen_context(EditorState& state) {
  return ScreenContext{state.canvas, state.images, state.input,
                       state.player, state.status, state.selection};
}

// Allocates the state zero-filled (the settings at their defaults), loads
// the GUI images from the program's data directory and sets the initial
// values. Null when an image cannot be read: the decoder has printed why,
// and a line naming the file follows on standard error. The caller fills in `player`.
EditorState* editor_state_create();
// Frees the framebuffer and the images, then the state (not the player).
// Null is ignored.
void editor_state_destroy(EditorState* state);
