#include "shell/midi_events.h"

#include "edit/midi_notes.h"
#include "engine/audio_lock.h"
#include "render/message.h"
#include "shell/screens.h"

void apply_midi_events(EditorState* state, const MidiEvent* events, int32_t count) {
  if (count <= 0) return;
  AudioGuard guard;
  EditContext edit = edit_context(*state);
  const MidiNoteOptions options{state->settings.midi_transpose, state->settings.midi_velocity};
  for (int32_t i = 0; i < count; ++i) {
    const MidiEvent& event = events[i];
    switch (event.kind) {
      case MidiKind::kNoteOn:
        midi_note_on(&edit, state->midi_notes, event.data1, event.data2, options);
        break;
      case MidiKind::kNoteOff:
        midi_note_off(&edit, state->midi_notes, event.data1);
        break;
      case MidiKind::kProgram:
        midi_program(&edit, event.data1);
        break;
    }
  }
}

void take_midi_events(EditorState* state, int64_t now_us) {
  const MidiSource& source = state->midi;
  if (!source.read) return;
  MidiEvent events[64];
  int32_t count = 0;
  while ((count = source.read(source.context, events, 64)) > 0)
    apply_midi_events(state, events, count);
  if (const char* message = source.watch(source.context, now_us)) {
    AudioGuard guard;
    timed_message(state->status, message);
  }
}
