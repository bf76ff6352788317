// MIDI input: the byte parser, and events fed through the same path the
// library's callback uses (parser, ring, main-loop read) into the pattern
// and the channels. The Concurrency test floods the ring from a second
// thread while the main thread reads; run it under ThreadSanitizer.
#include "platform/midi.h"

#include <RtMidi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../engine/module_builder.h"
#include "edit/key_tables.h"
#include "platform/midi_alsa.h"
#include "shell/audio_refill.h"
#include "shell/midi_events.h"

namespace {

std::string parsed(const std::vector<uint8_t>& bytes) {
  MidiParser parser{};
  std::string text;
  MidiEvent event{};
  for (uint8_t byte : bytes) {
    if (!midi_parse_byte(parser, byte, event)) continue;
    const char* kinds[] = {"on", "off", "prog"};
    text += std::string(text.empty() ? "" : "|") + kinds[static_cast<int>(event.kind)] + " " +
            std::to_string(event.channel) + " " + std::to_string(event.data1) + " " +
            std::to_string(event.data2);
  }
  return text;
}

TEST(MidiParse, ChannelMessagesRunningStatusAndWhatIsPassedOver) {
  const std::pair<std::vector<uint8_t>, const char*> kStreams[] = {
      {{0x90, 60, 100}, "on 0 60 100"},
      {{0x9F, 0, 127}, "on 15 0 127"},
      {{0x85, 61, 64}, "off 5 61 64"},
      // Velocity 0 is a note-off.
      {{0x92, 60, 0}, "off 2 60 0"},
      // Running status: the data bytes reuse the last status.
      {{0x90, 60, 100, 62, 90, 60, 0}, "on 0 60 100|on 0 62 90|off 0 60 0"},
      {{0xC3, 5, 7}, "prog 3 5 0|prog 3 7 0"},
      // Real-time bytes anywhere change nothing.
      {{0x90, 0xF8, 60, 0xFE, 100, 0xFA, 61, 0xFC, 1}, "on 0 60 100|on 0 61 1"},
      // Controllers, pressure and bend are read and passed over, with their
      // own running status.
      {{0xB0, 7, 100, 10, 64, 0xD0, 60, 0xE0, 0, 64, 0x90, 60, 1}, "on 0 60 1"},
      {{0xA0, 60, 20, 0xC1, 2}, "prog 1 2 0"},
      // System messages end the running status; exclusive data is skipped.
      {{0x90, 60, 100, 0xF0, 0x7E, 60, 100, 0xF7, 61, 100}, "on 0 60 100"},
      {{0x90, 60, 100, 0xF2, 1, 2, 60, 100}, "on 0 60 100"},
      {{0xF1, 60, 0x90, 60, 9}, "on 0 60 9"},
      {{0x90, 60, 100, 0xF6, 61, 100}, "on 0 60 100"},
      // Data with no status before it, and a message cut short by another.
      {{60, 100, 0x90, 60, 0x80, 60, 0}, "off 0 60 0"},
  };
  for (const auto& [bytes, want] : kStreams) {
    std::string hex;
    for (uint8_t b : bytes) hex += std::to_string(b) + " ";
    EXPECT_EQ(parsed(bytes), want) << hex;
  }
}

// A port read by the main loop as the ALSA source reads its own.
MidiSource port_source(MidiPort& port) {
  return MidiSource{[](void* p, MidiEvent* events, int32_t max) {
                      return midi_port_read(*static_cast<MidiPort*>(p), events, max);
                    },
                    [](void*, int64_t) -> const char* { return nullptr; }, &port};
}

// An editor with samples 3 and 5 (volume 40), sample 3 current, the cursor on channel 1 of
// row 0 in edit mode, and a port feeding its MIDI source.
struct Editor {
  EditorState state{};
  std::unique_ptr<MidiPort> port = std::make_unique<MidiPort>();
  Editor() {
    state.player = player_create(44100);
    test_module::make_constant_sample(state.player, 3, 2000, 50, 40);
    test_module::make_constant_sample(state.player, 5, 2000, 50, 40);
    state.status.dialog = kDialogNone;
    state.selection.current_sample = 3;
    state.selection.cursor_channel = 1;
    state.selection.edit_mode = 1;
    state.selection.edit_skip = 1;
    state.midi = port_source(*port);
  }
  ~Editor() { player_destroy(state.player); }
  // The bytes as the library's callback hands them over, then one pass of
  // the main loop.
  void send(const std::vector<uint8_t>& bytes) {
    midi_port_feed(*port, bytes.data(), bytes.size());
    take_midi_events(&state, 0);
  }
  const PatternCell& cell(int row, int channel) const {
    return state.player->patterns[0][row][channel];
  }
};

// Periods of finetune 0: C-1 856, C-2 428, C-3 214, B-3 113.
TEST(MidiNotes, NotesPlayAndWriteAsTheNoteKeysWithTransposeVelocityAndProgram) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t transpose, velocity, edit_mode, multi;
    // The cell written at row 0 of `channel`: period, sample, effect, param;
    // then the row after, the channel sounding (period, sample), the
    // current sample, the message.
    int32_t channel, period, sample, effect, param, row, sounding_period, sounding_sample, current;
    const char* message;
  };
  const Case kCases[] = {
      {"lowest note", {0x90, 48, 100}, 0, 0, 1, 0, 1, 856, 3, 0, 0, 1, 856, 3, 3, "ALL RIGHT"},
      {"highest note", {0x93, 83, 1}, 0, 0, 1, 0, 1, 113, 3, 0, 0, 1, 113, 3, 3, "ALL RIGHT"},
      {"above", {0x90, 84, 100}, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, "NOTE TOO HIGH"},
      {"below", {0x90, 47, 100}, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, "NOTE TOO LOW"},
      {"transposed up", {0x90, 36, 100}, 12, 0, 1, 0, 1, 856, 3, 0, 0, 1, 856, 3, 3, "ALL RIGHT"},
      {"transposed down", {0x90, 72, 9}, -12, 0, 1, 0, 1, 428, 3, 0, 0, 1, 428, 3, 3, "ALL RIGHT"},
      {"transposed out", {0x90, 83, 9}, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, "NOTE TOO HIGH"},
      {"velocity", {0x90, 60, 127}, 0, 1, 1, 0, 1, 428, 3, 0xC, 0x3F, 1, 428, 3, 3, "ALL RIGHT"},
      {"soft", {0x90, 72, 1}, 0, 1, 1, 0, 1, 214, 3, 0xC, 0x00, 1, 214, 3, 3, "ALL RIGHT"},
      {"velocity off", {0x90, 72, 127}, 0, 0, 1, 0, 1, 214, 3, 0, 0, 1, 214, 3, 3, "ALL RIGHT"},
      // Outside edit mode the note sounds and nothing is written.
      {"played only", {0x90, 60, 99}, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 428, 3, 3, "ALL RIGHT"},
      // Note-off silences the note it ends.
      {"off", {0x90, 60, 99, 0x80, 60, 0}, 0, 0, 1, 0, 1, 428, 3, 0, 0, 1, 0, 0, 3, "ALL RIGHT"},
      {"off by velocity 0",
       {0x90, 60, 99, 60, 0},
       0,
       0,
       0,
       0,
       1,
       0,
       0,
       0,
       0,
       0,
       0,
       0,
       3,
       "ALL RIGHT"},
      // ... and not a note played since on its channel, nor another note.
      {"other off",
       {0x90, 60, 99, 0x90, 72, 99, 0x80, 60, 0, 0x80, 61, 0},
       0,
       0,
       0,
       0,
       1,
       0,
       0,
       0,
       0,
       0,
       214,
       3,
       3,
       "ALL RIGHT"},
      // Programs 0..30 select samples 1..31.
      {"program", {0xC0, 4, 0x90, 48, 50}, 0, 0, 1, 0, 1, 856, 5, 0, 0, 1, 856, 5, 5, "ALL RIGHT"},
      {"last program", {0xC0, 30}, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 31, "ALL RIGHT"},
      {"no sample 32", {0xC0, 31}, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, "ALL RIGHT"},
      // Running status, and the multi-keyboard moving on after each note.
      {"running", {0x90, 48, 9, 50, 9}, 0, 0, 1, 0, 1, 856, 3, 0, 0, 2, 762, 3, 3, "ALL RIGHT"},
      {"multi", {0x90, 48, 9, 50, 9}, 0, 0, 1, 1, 1, 856, 3, 0, 0, 2, 856, 3, 3, "ALL RIGHT"},
  };
  for (const Case& c : kCases) {
    Editor editor;
    editor.state.settings.midi_transpose = c.transpose;
    editor.state.settings.midi_velocity = c.velocity != 0;
    editor.state.selection.edit_mode = c.edit_mode;
    editor.state.selection.multi_keyboard = c.multi;
    std::snprintf(editor.state.status.message, sizeof editor.state.status.message, "ALL RIGHT");
    editor.send(c.bytes);
    const PatternCell& cell = editor.cell(0, c.channel);
    const ChannelState& ch = editor.state.player->channels[c.channel];
    EXPECT_EQ(cell.period, c.period) << c.what;
    EXPECT_EQ(cell.sample, c.sample) << c.what;
    EXPECT_EQ(cell.effect, c.effect) << c.what;
    EXPECT_EQ(cell.param, c.param) << c.what;
    EXPECT_EQ(editor.state.player->shown_row, c.row) << c.what;
    EXPECT_EQ(ch.period, c.sounding_period) << c.what;
    EXPECT_EQ(ch.sample, c.sounding_sample) << c.what;
    EXPECT_EQ(ch.mix_volume, c.sounding_sample ? 40 : 0) << c.what;
    EXPECT_EQ(editor.state.selection.current_sample, c.current) << c.what;
    EXPECT_STREQ(editor.state.status.message, c.message) << c.what;
  }
}

// A note read on a pass of the main loop starts at the first frame of the
// next block the sound card is given.
TEST(MidiNotes, NoteSoundsFromTheFirstFrameOfTheNextBlock) {
  Editor editor;
  editor.state.selection.edit_mode = 0;
  auto refill = std::make_unique<AudioRefill>();
  audio_refill_init(*refill, &editor.state);
  std::vector<int16_t> block(kRefillFrames * 2);
  audio_refill_fill(refill.get(), block.data(), kRefillFrames);
  EXPECT_EQ(block[0], 0);
  editor.send({0x90, 60, 100});
  audio_refill_fill(refill.get(), block.data(), kRefillFrames);
  EXPECT_NE(block[0], 0);
  EXPECT_NE(block[1], 0);
}

// 10,000 notes at once: the ring keeps the first 1024 and drops the rest
// without blocking; each kept note is written in order, one row each.
TEST(MidiNotes, FloodKeepsTheOldestEventsInOrder) {
  Editor editor;
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 10000; ++i) {
    const auto note = static_cast<uint8_t>(48 + i % 36);
    const uint8_t on[] = {0x90, note, 100};
    midi_port_feed(*editor.port, on, 3);
  }
  EXPECT_EQ(editor.port->ring.dropped.load(), 10000u - MidiRing::kSize);
  take_midi_events(&editor.state, 0);
  EXPECT_EQ(editor.state.player->shown_row, static_cast<int32_t>(MidiRing::kSize % 64));
  // Event k went to row k % 64: the rows hold events 960..1023.
  for (int row = 0; row < 64; ++row) {
    const int k = static_cast<int>(MidiRing::kSize) - 64 + row;
    const int semitone = k % 36;
    EXPECT_EQ(editor.cell(row, 1).period, kNotePeriods[(2 - semitone / 12) * 12 + semitone % 12])
        << row;
  }
  MidiEvent left[1];
  EXPECT_EQ(midi_port_read(*editor.port, left, 1), 0);
}

// The port's thread fills the ring while the main loop reads it: every
// event is either taken, in order, or counted as dropped.
TEST(MidiConcurrency, TenThousandEventsFromTheMidiThread) {
  Editor editor;
  constexpr int kEvents = 10000;
  std::thread midi_thread([&] {
    for (int i = 0; i < kEvents; ++i) {
      // Note-offs of notes never played, numbered in their two data bytes.
      const uint8_t off[] = {0x80, static_cast<uint8_t>(i & 127), static_cast<uint8_t>(i >> 7)};
      midi_port_feed(*editor.port, off, 3);
    }
  });
  int taken = 0;
  int last = -1;
  bool in_order = true;
  MidiEvent events[64];
  auto read = [&] {
    const int32_t n = midi_port_read(*editor.port, events, 64);
    for (int32_t i = 0; i < n; ++i) {
      // Dropped events leave gaps, so each only has to come after the last.
      const int number = events[i].data1 + events[i].data2 * 128;
      in_order = in_order && events[i].kind == MidiKind::kNoteOff && number > last;
      last = number;
    }
    apply_midi_events(&editor.state, events, n);
    taken += n;
    return n;
  };
  while (taken + static_cast<int>(editor.port->ring.dropped.load()) < kEvents) read();
  midi_thread.join();
  EXPECT_EQ(read(), 0);
  EXPECT_TRUE(in_order);
  EXPECT_EQ(taken + static_cast<int>(editor.port->ring.dropped.load()), kEvents);
  EXPECT_GT(taken, 0);
  // Nothing played, nothing written.
  EXPECT_EQ(editor.state.player->shown_row, 0);
  EXPECT_EQ(editor.state.player->channels[1].sample, 0);
}

// Notes sent from a second ALSA port into the port "Tetrad" reach the
// pattern. Needs the sequencer.
TEST(MidiAlsa, NotesSentToTheVirtualPortAreWritten) {
  if (access("/dev/snd/seq", R_OK | W_OK) != 0)
    GTEST_SKIP() << "SKIPPED, not passed: no /dev/snd/seq, so no ALSA sequencer to send through";
  Editor editor;
  MidiInput* input = midi_input_open("no port has this name");
  ASSERT_NE(input, nullptr);
  editor.state.midi = midi_input_source(input);
  RtMidiOut out(RtMidi::LINUX_ALSA, "Tetrad test");
  int32_t target = -1;
  for (unsigned i = 0; i < out.getPortCount(); ++i)
    if (out.getPortName(i).rfind(std::string(kMidiPortName) + ":" + kMidiPortName, 0) == 0)
      target = static_cast<int32_t>(i);
  ASSERT_GE(target, 0) << "the port Tetrad is not listed";
  out.openPort(static_cast<unsigned>(target));
  const std::vector<unsigned char> notes[] = {{0x90, 48, 100}, {0x90, 60, 100}, {0x80, 60, 0}};
  for (const auto& message : notes) out.sendMessage(&message);
  for (int i = 0; i < 200 && editor.state.player->shown_row < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    take_midi_events(&editor.state, 0);
  }
  EXPECT_EQ(editor.cell(0, 1).period, 856);
  EXPECT_EQ(editor.cell(1, 1).period, 428);
  EXPECT_EQ(editor.state.player->channels[1].sample, 0);  // the note-off silenced it
  editor.state.midi = MidiSource{};
  midi_input_close(input);
}

// "none" opens nothing and says nothing; without the sequencer the program
// is told in one line and runs on without MIDI.
TEST(MidiAlsa, OffOrWithoutTheSequencerNoInputAndAtMostOneLine) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(midi_input_open("none"), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  if (access("/dev/snd/seq", F_OK) == 0)
    GTEST_SKIP() << "SKIPPED, not passed: /dev/snd/seq exists, so the case without it cannot run";
  testing::internal::CaptureStderr();
  EXPECT_EQ(midi_input_open(""), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tetrad: no MIDI: /dev/snd/seq cannot be opened\n");
}

TEST(MidiAlsa, HardwarePortsAreChosenByClientNumberOrName) {
  const std::vector<std::string> ports = {"Midi Through:Midi Through Port-0 14:0",
                                          "Keystation:Keystation MIDI 1 20:0",
                                          "Tetrad:Tetrad 128:0", "Piano:Piano Port 24:1"};
  EXPECT_EQ(choose_port(ports, ""), 1);
  EXPECT_EQ(choose_port(ports, "Piano"), 3);
  EXPECT_EQ(choose_port(ports, "Tetrad"), 2);
  EXPECT_EQ(choose_port(ports, "Organ"), -1);
  EXPECT_EQ(choose_port({ports[0], ports[2]}, ""), -1);
  EXPECT_FALSE(is_hardware_port("Card:Port 16"));
  EXPECT_TRUE(is_hardware_port("Card:Port 16:0"));
  EXPECT_FALSE(is_hardware_port("Card:Port 15:0"));
  EXPECT_TRUE(is_hardware_port("Card:Port 127:3"));
}

}  // namespace
