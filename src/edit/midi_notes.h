// Notes and sample choices from a MIDI keyboard, played and written as the
// note keys do. The shell reads the events from the MIDI ports and calls
// these on the main loop.
#pragma once

#include <cstdint>

#include "edit/edit_context.h"

constexpr int32_t kMidiLowestNote = 48;  // MIDI note of C-1 before transposing
constexpr int32_t kMidiNotes = 128;

struct MidiNoteOptions {
  int32_t transpose;     // semitones added to the MIDI note
  bool velocity_volume;  // the velocity also writes a volume command
};

// The channel each held MIDI note sounds on, so its note-off stops it there.
struct MidiVoice {
  bool sounding;
  int32_t channel;
  int32_t sample;
  int32_t period;  // the channel's period as the note started it
};
struct MidiNotes {
  MidiVoice voices[kMidiNotes];
};

void midi_note_on(EditContext* state, MidiNotes& notes, int32_t note, int32_t velocity,
                  const MidiNoteOptions& options);
// Silences the channel the note started, unless something else plays there
// since: the pattern keeps what was written.
void midi_note_off(EditContext* state, MidiNotes& notes, int32_t note);
// Program 0..30 selects sample 1..31; higher programs are ignored.
void midi_program(EditContext* state, int32_t program);
