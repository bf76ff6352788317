// MIDI input from the ALSA sequencer, through RtMidi: a port of our own
// named "Tetrad" that others connect to, and the port a setting names.
// Only midi_alsa.cpp sees the library.
#pragma once

#include <string>
#include <vector>

#include "platform/midi.h"

struct MidiInput;

// The name of the port of our own, as `aconnect -l` lists it.
constexpr const char* kMidiPortName = "Tetrad";

// Opens the ports. `port` is part of the name of the port to read ("" the
// first hardware port, "none" none: then no MIDI at all, null). Null after
// one line on stderr when there is no sequencer (no /dev/snd/seq); a port
// that cannot be found now is looked for again by the watch.
MidiInput* midi_input_open(const std::string& port);
void midi_input_close(MidiInput* input);
// The source the main loop reads; the watch checks the ports once a second.
MidiSource midi_input_source(MidiInput* input);

// Whether `name` (as RtMidi gives it, ending in "CLIENT:PORT") is a port of
// a sound card or USB device rather than of a program or the kernel's
// through port: such clients are numbered 16 to 127.
bool is_hardware_port(const std::string& name);
// The port to open among `names`: the first whose name holds `wanted`, or
// for "" the first hardware port. -1 when none.
int32_t choose_port(const std::vector<std::string>& names, const std::string& wanted);
