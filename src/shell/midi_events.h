// MIDI events on the main loop: the ports' queues are read every pass and
// their notes played and written as the note keys would.
#pragma once

#include <cstdint>

#include "platform/midi.h"
#include "shell/editor_state.h"

// Reads what the MIDI source queued and applies it, then lets the source
// look after its ports (showing what it says on the message line).
void take_midi_events(EditorState* state, int64_t now_us);
// Plays, writes or selects as each event says, under the audio lock.
void apply_midi_events(EditorState* state, const MidiEvent* events, int32_t count);
