#include "platform/midi.h"

namespace {

// Data bytes that follow each status of the channel messages, by its high
// nibble 0x8..0xE.
int32_t data_bytes(uint8_t status) {
  const uint8_t high = status >> 4;
  return high == 0xC || high == 0xD ? 1 : 2;
}

// Data bytes of the system common messages 0xF1..0xF6; 0xF0 starts an
// exclusive message and 0xF7 ends one.
int32_t common_data_bytes(uint8_t status) {
  switch (status) {
    case 0xF1:
    case 0xF3:
      return 1;
    case 0xF2:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

bool midi_parse_byte(MidiParser& parser, uint8_t byte, MidiEvent& event) {
  if (byte >= 0xF8) return false;  // real time: clock, start, stop, sensing
  if (byte >= 0xF0) {
    // System messages end the running status; what follows them until the
    // next status byte is not a channel message.
    parser.status = 0;
    parser.count = 0;
    parser.in_sysex = byte == 0xF0;
    if (byte != 0xF0 && byte != 0xF7 && common_data_bytes(byte) > 0) parser.status = byte;
    return false;
  }
  if (byte & 0x80) {
    parser.status = byte;
    parser.count = 0;
    parser.in_sysex = false;
    return false;
  }
  if (parser.in_sysex || parser.status == 0) return false;
  parser.data[parser.count++] = byte;
  const int32_t needed =
      parser.status >= 0xF0 ? common_data_bytes(parser.status) : data_bytes(parser.status);
  if (parser.count < needed) return false;
  parser.count = 0;
  const uint8_t status = parser.status;
  // A system common message has no running status.
  if (status >= 0xF0) {
    parser.status = 0;
    return false;
  }
  const uint8_t high = status >> 4;
  event.channel = status & 0x0F;
  event.data1 = parser.data[0];
  event.data2 = needed == 2 ? parser.data[1] : 0;
  if (high == 0x9 && event.data2 > 0) {
    event.kind = MidiKind::kNoteOn;
  } else if (high == 0x8 || high == 0x9) {
    event.kind = MidiKind::kNoteOff;
  } else if (high == 0xC) {
    event.kind = MidiKind::kProgram;
  } else {
    return false;  // aftertouch, controllers, pitch bend: not used
  }
  return true;
}

bool midi_ring_push(MidiRing& ring, const MidiEvent& event) {
  const uint32_t tail = ring.tail.load(std::memory_order_relaxed);
  if (tail - ring.head.load(std::memory_order_acquire) >= MidiRing::kSize) {
    ring.dropped.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  ring.events[tail & (MidiRing::kSize - 1)] = event;
  ring.tail.store(tail + 1, std::memory_order_release);
  return true;
}

bool midi_ring_pop(MidiRing& ring, MidiEvent& event) {
  const uint32_t head = ring.head.load(std::memory_order_relaxed);
  if (head == ring.tail.load(std::memory_order_acquire)) return false;
  event = ring.events[head & (MidiRing::kSize - 1)];
  ring.head.store(head + 1, std::memory_order_release);
  return true;
}

void midi_port_feed(MidiPort& port, const uint8_t* bytes, size_t size) {
  MidiEvent event{};
  for (size_t i = 0; i < size; ++i)
    if (midi_parse_byte(port.parser, bytes[i], event)) midi_ring_push(port.ring, event);
}

int32_t midi_port_read(MidiPort& port, MidiEvent* events, int32_t max) {
  int32_t count = 0;
  while (count < max && midi_ring_pop(port.ring, events[count])) ++count;
  return count;
}
