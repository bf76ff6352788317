// MIDI input as the program above the platform sees it: channel messages
// parsed from the bytes a port delivers, queued by the port's own thread
// and read on the main loop. Nothing here knows the MIDI library.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

enum class MidiKind : uint8_t { kNoteOn, kNoteOff, kProgram };

struct MidiEvent {
  MidiKind kind;
  uint8_t channel;  // 0..15
  uint8_t data1;    // note or program
  uint8_t data2;    // velocity (0 for a program change)
};

// What the parser keeps between bytes: the running status and the data
// bytes of the message under way.
struct MidiParser {
  uint8_t status;   // the running status, 0 when none
  uint8_t data[2];  // data bytes gathered so far
  uint8_t count;
  bool in_sysex;  // data bytes belong to a system-exclusive message
};

// Takes one byte of a MIDI stream. True when it completes a note-on,
// note-off or program change, stored in `event`; a note-on of velocity 0 is
// a note-off. Other messages are read and passed over; real-time bytes may
// come between any two bytes and change nothing.
bool midi_parse_byte(MidiParser& parser, uint8_t byte, MidiEvent& event);

// A fixed ring of events with one writer (a port's thread) and one reader
// (the main loop). Neither waits: a full ring drops the new event and
// counts it.
struct MidiRing {
  static constexpr uint32_t kSize = 1024;  // a power of two
  std::array<MidiEvent, kSize> events;
  std::atomic<uint32_t> head;  // next slot to read; written by the reader
  std::atomic<uint32_t> tail;  // next slot to write; written by the writer
  std::atomic<uint32_t> dropped;
};

bool midi_ring_push(MidiRing& ring, const MidiEvent& event);
bool midi_ring_pop(MidiRing& ring, MidiEvent& event);

// One input: the parser and the ring its thread fills.
struct MidiPort {
  MidiParser parser;
  MidiRing ring;
};

// What the library's callback does with the bytes of a message: parses them
// and queues the events. Runs on the port's thread only.
void midi_port_feed(MidiPort& port, const uint8_t* bytes, size_t size);

// Moves up to `max` queued events of the port into `events`, oldest first;
// returns how many. Runs on the reader's thread only.
int32_t midi_port_read(MidiPort& port, MidiEvent* events, int32_t max);

// MIDI input as the main loop uses it; an unset `read` means no MIDI.
struct MidiSource {
  // Moves up to `max` queued events into `events`; returns how many.
  int32_t (*read)(void* context, MidiEvent* events, int32_t max);
  // Looks after the ports (a lost one is reopened when it returns); the
  // message line text when something changed, else null.
  const char* (*watch)(void* context, int64_t now_us);
  void* context;
};
