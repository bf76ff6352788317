// The sample editor: its per-frame turn, its 24 buttons and the copy
// buffer that cut, copy, paste and swap go through.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

// Largest sample a module or sample file holds.
constexpr int32_t kMaxEditedBytes = 65534;

// Runs while the editor is shown: draws the message line, the module size
// and the view, then acts on the button under a press. 0 when the editor is
// hidden or the scroll bar is being dragged, else 1.
int32_t sample_editor_frame(EditorState* state);
// A timed message with the red pointer.
void show_message(const char* text, EditorState* state);
// Starts the current sample at C-3 on the pattern cursor's channel, ending
// any range play.
void play_sample_note(EditorState* state);
// Frees the copy buffer (when the editor state goes).
void free_copy_buffer(EditorState* state);

// The buttons' operations, in button-table order where they have one.
enum SampleButton : int32_t {
  kSampleClose = 0,
  kSamplePlay = 1,
  kSampleZoom = 2,
  kSampleZoomOut = 3,
  kSampleStop = 4,
  kSamplePlayView = 5,
  kSampleShowAll = 6,
  kSampleMarkAll = 7,
  kSampleLoop = 8,
  kSamplePlayRange = 9,
  kSampleCursorStart = 10,
  kSampleCursorEnd = 11,
  kSampleSwap = 12,
  kSampleCut = 15,
  kSampleCopy = 16,
  kSamplePaste = 17,
  kSampleWaveform = 22,
  kSampleScrollBar = 23,
  kSampleButtonCount = 24,
};
// Carries out one button's operation on the current sample.
void sample_button(int32_t button, EditorState* state);
