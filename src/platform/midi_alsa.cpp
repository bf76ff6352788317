#include "platform/midi_alsa.h"

#include <RtMidi.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int64_t kWatchUs = 1000000;
constexpr int32_t kFirstCardClient = 16;
constexpr int32_t kFirstProgramClient = 128;

// RtMidi reports through this instead of printing and throwing.
void ignore_error(RtMidiError::Type, const std::string&, void*) {}

// Runs on the port's thread: parses and queues, touching nothing else.
void on_message(double, std::vector<unsigned char>* message, void* port) {
  midi_port_feed(*static_cast<MidiPort*>(port), message->data(), message->size());
}

std::unique_ptr<RtMidiIn> make_input(const char* client) {
  try {
    auto in = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, client);
    in->setErrorCallback(ignore_error, nullptr);
    // Timing and exclusive messages are of no use here; sensing neither.
    in->ignoreTypes(true, true, true);
    return in;
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

std::vector<std::string> port_names(RtMidiIn& in) {
  std::vector<std::string> names;
  const unsigned count = in.getPortCount();
  for (unsigned i = 0; i < count; ++i) names.push_back(in.getPortName(i));
  return names;
}

}  // namespace

struct MidiInput {
  // Before the inputs: these are destroyed after them, once their threads
  // have stopped calling in.
  MidiPort own_port;
  MidiPort device_port;
  std::string wanted;
  std::unique_ptr<RtMidiIn> own;     // the port "Tetrad"
  std::unique_ptr<RtMidiIn> device;  // lists the ports and reads the chosen one
  std::string open_name;             // the port read now, "" when none
  bool lost;                         // the port read went away
  int64_t next_watch_us;
};

bool is_hardware_port(const std::string& name) {
  const size_t space = name.rfind(' ');
  if (space == std::string::npos) return false;
  char* end = nullptr;
  const long client = std::strtol(name.c_str() + space + 1, &end, 10);
  return end != name.c_str() + space + 1 && *end == ':' && client >= kFirstCardClient &&
         client < kFirstProgramClient;
}

int32_t choose_port(const std::vector<std::string>& names, const std::string& wanted) {
  for (size_t i = 0; i < names.size(); ++i) {
    const bool fits =
        wanted.empty() ? is_hardware_port(names[i]) : names[i].find(wanted) != std::string::npos;
    if (fits) return static_cast<int32_t>(i);
  }
  return -1;
}

namespace {

// Opens the chosen port when none is open; true when one was.
bool open_chosen(MidiInput& input) {
  const std::vector<std::string> names = port_names(*input.device);
  const int32_t chosen = choose_port(names, input.wanted);
  if (chosen < 0) return false;
  input.device->openPort(static_cast<unsigned>(chosen), "Tetrad input");
  if (!input.device->isPortOpen()) return false;
  input.open_name = names[chosen];
  return true;
}

int32_t read_events(void* context, MidiEvent* events, int32_t max) {
  auto* input = static_cast<MidiInput*>(context);
  const int32_t own = midi_port_read(input->own_port, events, max);
  return own + midi_port_read(input->device_port, events + own, max - own);
}

const char* watch(void* context, int64_t now_us) {
  auto* input = static_cast<MidiInput*>(context);
  if (now_us < input->next_watch_us) return nullptr;
  input->next_watch_us = now_us + kWatchUs;
  if (!input->device) return nullptr;
  if (!input->open_name.empty()) {
    const std::vector<std::string> names = port_names(*input->device);
    for (const std::string& name : names)
      if (name == input->open_name) return nullptr;
    // Unplugged: the port is closed (its thread stopped) and looked for again.
    input->device->closePort();
    std::fprintf(stderr, "tetrad: MIDI port %s went away\n", input->open_name.c_str());
    input->open_name.clear();
    input->lost = true;
    return "MIDI PORT LOST";
  }
  if (!open_chosen(*input)) return nullptr;
  const bool back = input->lost;
  input->lost = false;
  return back ? "MIDI PORT BACK" : "MIDI PORT OPEN";
}

}  // namespace

MidiInput* midi_input_open(const std::string& port) {
  if (port == "none") return nullptr;
  // Without the sequencer ALSA would print its own complaints.
  if (access("/dev/snd/seq", R_OK | W_OK) != 0) {
    std::fprintf(stderr, "tetrad: no MIDI: /dev/snd/seq cannot be opened\n");
    return nullptr;
  }
  auto input = std::make_unique<MidiInput>();
  input->wanted = port;
  input->own = make_input(kMidiPortName);
  input->device = make_input("Tetrad input");
  if (!input->own || !input->device) {
    std::fprintf(stderr, "tetrad: no MIDI: the ALSA sequencer cannot be opened\n");
    return nullptr;
  }
  input->own->setCallback(on_message, &input->own_port);
  input->own->openVirtualPort(kMidiPortName);
  input->device->setCallback(on_message, &input->device_port);
  // Opened quietly now; a port that is not there yet is announced when the
  // watch finds it.
  open_chosen(*input);
  input->next_watch_us = 0;
  return input.release();
}

void midi_input_close(MidiInput* input) {
  delete input;  // RtMidi closes the ports and stops their threads
}

MidiSource midi_input_source(MidiInput* input) {
  return MidiSource{read_events, watch, input};
}
