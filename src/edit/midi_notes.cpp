#include "edit/midi_notes.h"

#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "edit/note_entry.h"
#include "engine/editing.h"
#include "render/message.h"

namespace {

constexpr int32_t kOctave = 12;

bool valid_note(int32_t note) {
  return note >= 0 && note < kMidiNotes;
}

}  // namespace

void midi_note_on(EditContext* state, MidiNotes& notes, int32_t note, int32_t velocity,
                  const MidiNoteOptions& options) {
  if (!valid_note(note) || !keyboard_is_free(state)) return;
  if (state->selection.cursor_column != kColumnNote) return;
  // Semitones above C-1; kNotePeriods runs from octave 3 down to octave 1.
  const int32_t semitone = note + options.transpose - kMidiLowestNote;
  // The message line holds 16 characters.
  if (semitone < 0 || semitone >= kNotePeriodCount) {
    timed_message(state->status, semitone < 0 ? "NOTE TOO LOW" : "NOTE TOO HIGH");
    return;
  }
  const int32_t octave = semitone / kOctave;
  const int32_t index = (kNotePeriodCount / kOctave - 1 - octave) * kOctave + semitone % kOctave;
  const int32_t channel = sound_note(state, index, options.velocity_volume ? velocity / 2 : -1);
  if (channel < 0) return;
  const ChannelState& sounding = state->player->channels[channel];
  notes.voices[note] = MidiVoice{true, channel, sounding.sample, sounding.period};
}

void midi_note_off(EditContext* state, MidiNotes& notes, int32_t note) {
  if (!valid_note(note) || !notes.voices[note].sounding) return;
  const MidiVoice voice = notes.voices[note];
  notes.voices[note].sounding = false;
  const ChannelState& channel = state->player->channels[voice.channel];
  if (channel.sample == voice.sample && channel.period == voice.period && channel.position >= 0)
    reset_channel(*state->player, voice.channel);
}

void midi_program(EditContext* state, int32_t program) {
  if (program < 0 || program + 1 >= kSampleCount) return;
  state->selection.current_sample = program + 1;
  state->services.sample_changed(state->services.context);
}
