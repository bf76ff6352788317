#include "engine/editing.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "engine/audio_lock.h"
#include "engine/history.h"
#include "engine/machine_mix.h"
#include "engine/mixer.h"
#include "engine/replayer.h"

namespace {

constexpr int32_t kTonePortamento = 2;
constexpr int32_t kHighestPosition = kPositions - 1;
constexpr int32_t kMinTempo = 32;
constexpr int32_t kMaxTempo = 255;
constexpr int32_t kMaxSampleVolume = 64;
constexpr int32_t kFinetuneHighest = 7;  // +7
constexpr int32_t kFinetuneLowest = 8;   // -8

bool valid_channel(int32_t channel) {
  return channel >= 0 && channel < kChannels;
}

// Samples the editor may change: never sample 0.
Sample* editable(Player& player, int32_t number) {
  if (number < 1 || number >= kSampleCount) return nullptr;
  return &player.samples[number];
}

PatternCell* cell_at(Player& player, const CellAt& at) {
  if (at.pattern < 0 || at.pattern >= kPatterns || at.row < 0 || at.row >= kRows ||
      !valid_channel(at.channel))
    return nullptr;
  return &player.patterns[at.pattern][at.row][at.channel];
}

// Notes a cell's row for the undo history.
void note_cell(Player& player, const CellAt& at) {
  if (at.channel >= 0 && at.channel < kChannels)
    history_note_rows(player, at.pattern, at.row, at.row);
}

// Everything of a sample but its name and data pointer.
void note_sample_fields(Player& player, Sample& sample) {
  history_note(player, &sample.length, sizeof(Sample) - offsetof(Sample, length));
}

void note_order(Player& player) {
  history_note(player, player.order, sizeof player.order);
  history_note(player, &player.song_length, sizeof player.song_length);
}

void set_loop(Sample& sample, int32_t start, int32_t length) {
  sample.loop_start = start * kFixOne;
  sample.loop_length = length * kFixOne;
  sample.loop_end = (start + length) * kFixOne;
}

// The one reset of a channel's voice: it starts `sample` from its first
// byte at `period` and the sample's volume, with every effect stopped.
// Cut and restart counters are left to the callers.
void restart_voice(const Player& player, ChannelState& ch, int32_t sample, int32_t period) {
  ch.sample = sample;
  ch.pending_sample = 0;
  ch.position = 0;
  ch.step = period_step(&player, period);
  ch.volume = ch.mix_volume = player.samples[sample].volume;
  ch.flags &= ~kTonePortamento;
  ch.vibrato_speed = 0;
  ch.tremolo_speed = 0;
  ch.volume_slide = 0;
  ch.porta_speed = 0;
  ch.arpeggio = 0;
  ch.retrig_interval = 0;
  ch.vibrato_position = 0;
  ch.tremolo_position = 0;
  ch.arp_base = ch.period = ch.porta_target = ch.output_period = period;
}

// A silenced channel plays no sample and is left with the step of period 1.
void silence_voice(const Player& player, ChannelState& ch, int32_t retrig_counter) {
  restart_voice(player, ch, 0, 0);
  ch.volume = ch.mix_volume = 0;
  ch.step = period_step(&player, 1);
  ch.retrig_counter = retrig_counter;
}

}  // namespace

// While stopped the pattern view shows the pattern at the song position,
// so that what is typed lands where the position fields say; the replayer
// moves the pattern itself while it plays.
void follow_order(Player& player) {
  AudioGuard guard;
  if (player.play_mode == kPlaySong || player.play_mode == kPlayPattern) return;
  player.current_pattern = std::clamp(
      player.order[std::clamp(player.song_position, 0, kHighestPosition)], 0, kPatterns - 1);
}

int32_t sample_bytes(const Sample& sample) {
  return sample.data ? std::max(sample.length >> 14, 0) : 0;
}

const Sample* editable_sample(const Player& player, int32_t number) {
  if (number < 1 || number >= kSampleCount) return nullptr;
  return &player.samples[number];
}

bool sample_loops(const Sample& sample) {
  return sample.loop_start != 0 || sample.loop_length > kNoLoopBytes * kFixOne;
}

ReplayView replay_view(const Player& player) {
  AudioGuard guard;
  ReplayView view{player.play_mode, player.song_position,  player.current_pattern,
                  player.row,       player.shown_position, player.shown_row,
                  player.tempo,     player.filter_enabled, {}};
  std::copy(std::begin(player.channels), std::end(player.channels), view.channels);
  return view;
}

bool replay_running(const ReplayView& view) {
  return view.play_mode == kPlaySong || view.play_mode == kPlayPattern;
}

Player* copy_player(const Player& player) {
  // Memory is found and touched before the lock, so the copy under it is
  // only the copying. Sample lengths change on this thread alone.
  int8_t* data[kSampleCount] = {};
  const auto touched = [](size_t bytes) {
    void* memory = std::malloc(bytes);
    if (memory) std::memset(memory, 0, bytes);
    return memory;
  };
  auto* copy = static_cast<Player*>(touched(sizeof(Player)));
  bool complete = copy != nullptr;
  for (int32_t s = 1; s < kSampleCount && complete; ++s) {
    const size_t bytes = static_cast<size_t>(sample_bytes(player.samples[s]));
    if (bytes == 0) continue;
    data[s] = static_cast<int8_t*>(touched(bytes));
    complete = data[s] != nullptr;
  }
  if (!complete) {
    for (int8_t* d : data) std::free(d);
    std::free(copy);
    return nullptr;
  }
  AudioGuard guard;
  std::memcpy(copy, &player, sizeof(Player));
  copy->history = nullptr;
  for (int32_t s = 0; s < kSampleCount; ++s) {
    copy->samples[s].data = data[s];
    if (data[s])
      std::memcpy(data[s], player.samples[s].data,
                  static_cast<size_t>(sample_bytes(player.samples[s])));
  }
  return copy;
}

void reset_channel(Player& player, int32_t channel) {
  if (!valid_channel(channel)) return;
  AudioGuard guard;
  silence_voice(player, player.channels[channel], 0);
}

void reset_all_channels(Player& player) {
  for (int32_t c = 0; c < kChannels; ++c) reset_channel(player, c);
}

void toggle_channel(Player& player, int32_t channel) {
  if (!valid_channel(channel)) return;
  AudioGuard guard;
  ChannelState& ch = player.channels[channel];
  if (ch.enabled == 0) {
    ch.enabled = 1;
  } else {
    ch.enabled = 0;
    reset_channel(player, channel);
  }
}

void set_channel_enabled(Player& player, int32_t channel, bool enabled) {
  if (!valid_channel(channel)) return;
  AudioGuard guard;
  player.channels[channel].enabled = enabled ? 1 : 0;
}

void play_note(Player& player, int32_t channel, int32_t sample, int32_t period) {
  if (!valid_channel(channel) || sample < 0 || sample >= kSampleCount) return;
  AudioGuard guard;
  const int32_t finetune = player.samples[sample].finetune;
  player.range_play = 0;
  ChannelState& ch = player.channels[channel];
  restart_voice(player, ch, sample, finetune_period(period, finetune, 0));
  ch.finetune = finetune;
  ch.cut_counter = -1;
  ch.retrig_counter = -1;
}

void play_sample_range(Player& player, int32_t channel, int32_t sample, int32_t period,
                       int32_t from, int32_t to) {
  if (!valid_channel(channel)) return;
  AudioGuard guard;
  play_note(player, channel, sample, period);
  player.range_play = 1;
  player.range_channel = channel;
  player.channels[channel].position = from * kFixOne;
  player.range_end = to * kFixOne;
}

void play_row(Player& player, int32_t position, int32_t row) {
  if (position < 0 || position > kHighestPosition || row < 0 || row >= kRows) return;
  const int32_t pattern = player.order[position];
  if (pattern < 0 || pattern >= kPatterns) return;
  AudioGuard guard;
  for (int32_t c = 0; c < kChannels; ++c) {
    const PatternCell& cell = player.patterns[pattern][row][c];
    if (cell.period == 0 || cell.sample < 0 || cell.sample >= kSampleCount) continue;
    ChannelState& ch = player.channels[c];
    restart_voice(player, ch, cell.sample, cell.period);
    ch.retrig_counter = 0;
  }
}

void set_filter_enabled(Player& player, bool enabled) {
  AudioGuard guard;
  player.filter_enabled = enabled ? 1 : 0;
}

void set_output_rate(Player& player, int32_t rate) {
  if (rate <= 0 || rate == player.output_rate) return;
  AudioGuard guard;
  int32_t periods[kChannels];
  for (int c = 0; c < kChannels; ++c)
    periods[c] = static_cast<int32_t>(std::lround(step_period(&player, player.channels[c].step)));
  player.samples_per_tick =
      static_cast<float>(double{player.samples_per_tick} * rate / player.output_rate);
  player.tick_accumulator =
      static_cast<float>(double{player.tick_accumulator} * rate / player.output_rate);
  player.output_rate = rate;
  compute_filter(&player, rate);
  for (int c = 0; c < kChannels; ++c)
    if (player.channels[c].step > 0) player.channels[c].step = period_step(&player, periods[c]);
}

void start_playback(Player& player, int32_t mode, int32_t from_row) {
  AudioGuard guard;
  if (player.song_position >= player.song_length) player.song_position = 0;
  player.play_mode = mode;
  if (from_row >= 0) player.row = from_row;
}

void stop_playback(Player& player) {
  AudioGuard guard;
  player.play_mode = kStopped;
  for (ChannelState& ch : player.channels) ch.sample = 0;
}

void halt_song(Player& player) {
  AudioGuard guard;
  player.play_mode = kStopped;
}

void set_shown_row(Player& player, int32_t row) {
  AudioGuard guard;
  player.shown_row = row;
}

void set_play_row(Player& player, int32_t row) {
  AudioGuard guard;
  player.row = row;
}

bool write_note(Player& player, const CellAt& at, int32_t period, int32_t sample) {
  const HistoryGroup group(player, StepKind::kNote);
  AudioGuard guard;
  PatternCell* cell = cell_at(player, at);
  if (!cell) return false;
  note_cell(player, at);
  cell->period = period;
  cell->sample = sample;
  return true;
}

bool write_cell_digit(Player& player, const CellAt& at, CellDigit digit, int32_t value) {
  const HistoryGroup group(player, StepKind::kCellDigit);
  AudioGuard guard;
  PatternCell* cell = cell_at(player, at);
  if (!cell) return false;
  note_cell(player, at);
  const auto nibble = static_cast<uint8_t>(value & 15);
  switch (digit) {
    case CellDigit::kSampleHigh:
      // Sample numbers stop at 0x1F.
      if (value == 0) {
        cell->sample &= 0x0F;
      } else {
        cell->sample |= 0x10;
      }
      return true;
    case CellDigit::kSampleLow:
      cell->sample = (cell->sample & ~0x0F) + nibble;
      return true;
    case CellDigit::kEffect:
      cell->effect = nibble;
      return true;
    case CellDigit::kParamHigh:
      cell->param_hi = nibble;
      break;
    case CellDigit::kParamLow:
      cell->param_lo = nibble;
      break;
  }
  cell->param = static_cast<uint8_t>(cell->param_hi * 16 + cell->param_lo);
  return true;
}

bool clear_cell_parts(Player& player, const CellAt& at, bool note, bool effect) {
  const HistoryGroup group(player, StepKind::kDeleteCell);
  AudioGuard guard;
  PatternCell* cell = cell_at(player, at);
  if (!cell) return false;
  note_cell(player, at);
  if (note) {
    cell->period = 0;
    cell->sample = 0;
  }
  if (effect) cell->effect = cell->param_hi = cell->param_lo = cell->param = 0;
  return true;
}

void insert_position(Player& player, int32_t position) {
  const HistoryGroup group(player, StepKind::kInsertPosition);
  AudioGuard guard;
  note_order(player);
  const int32_t at = std::clamp(position, 0, kHighestPosition);
  std::copy_backward(player.order + at, player.order + kPositions - 1, player.order + kPositions);
  player.order[at] = 0;
  if (player.song_length <= kPositions - 2) player.song_length += 1;
  follow_order(player);
}

void delete_position(Player& player, int32_t position) {
  const HistoryGroup group(player, StepKind::kDeletePosition);
  AudioGuard guard;
  note_order(player);
  const int32_t at = std::clamp(position, 0, kHighestPosition);
  if (at < kPositions - 2)
    std::copy(player.order + at + 1, player.order + kPositions - 1, player.order + at);
  if (player.song_length > 1) player.song_length -= 1;
  follow_order(player);
}

void duplicate_position(Player& player, int32_t position) {
  const HistoryGroup group(player, StepKind::kInsertPosition);
  AudioGuard guard;
  note_order(player);
  const int32_t at = std::clamp(position, 0, kHighestPosition);
  std::copy_backward(player.order + at, player.order + kPositions - 1, player.order + kPositions);
  player.song_length = std::min(player.song_length + 1, kPositions);
  follow_order(player);
}

void remove_position(Player& player, int32_t position) {
  const HistoryGroup group(player, StepKind::kDeletePosition);
  AudioGuard guard;
  if (player.song_length <= 1) return;
  note_order(player);
  const int32_t at = std::clamp(position, 0, kHighestPosition);
  std::copy(player.order + at + 1, player.order + kPositions, player.order + at);
  player.order[kHighestPosition] = 0;
  player.song_length -= 1;
  player.song_position = std::min(player.song_position, player.song_length - 1);
  follow_order(player);
}

void set_order_entry(Player& player, int32_t position, int32_t pattern) {
  const HistoryGroup group(player, StepKind::kOrderEntry);
  AudioGuard guard;
  note_order(player);
  player.order[std::clamp(position, 0, kHighestPosition)] =
      std::clamp(pattern, 0, kHighestOrderEntry);
}

void step_order_entry(Player& player, int32_t delta) {
  const HistoryGroup group(player, StepKind::kOrderEntry);
  AudioGuard guard;
  note_order(player);
  int32_t& entry = player.order[std::clamp(player.song_position, 0, kHighestPosition)];
  entry = std::clamp(entry + delta, 0, kHighestOrderEntry);
  follow_order(player);
}

void set_song_position(Player& player, int32_t position) {
  AudioGuard guard;
  player.song_position = std::clamp(position, 0, kHighestPosition);
  follow_order(player);
}

void set_current_pattern(Player& player, int32_t pattern) {
  AudioGuard guard;
  player.current_pattern = std::clamp(pattern, 0, kPatterns - 1);
}

void set_song_length(Player& player, int32_t length) {
  const HistoryGroup group(player, StepKind::kSongLength);
  AudioGuard guard;
  history_note(player, &player.song_length, sizeof player.song_length);
  player.song_length = std::clamp(length, 1, kPositions);
}

void set_tempo(Player& player, int32_t tempo) {
  AudioGuard guard;
  player.tempo = std::clamp(tempo, kMinTempo, kMaxTempo);
  player.samples_per_tick = tempo_samples_per_tick(player.output_rate, player.tempo);
}

void set_song_name(Player& player, const char* name, size_t bytes) {
  const HistoryGroup group(player, StepKind::kSongName);
  history_note(player, player.song_name, sizeof player.song_name);
  std::memset(player.song_name, 0, sizeof player.song_name);
  std::memcpy(player.song_name, name, std::min(bytes, sizeof player.song_name));
}

void clear_song(Player& player) {
  const HistoryGroup group(player, StepKind::kClearSong);
  AudioGuard guard;
  // The history keeps the patterns that held something.
  for (int32_t p = 0; p < kPatterns; ++p) {
    const auto* bytes = reinterpret_cast<const char*>(player.patterns[p]);
    if (std::any_of(bytes, bytes + sizeof player.patterns[p], [](char b) { return b != 0; }))
      history_note_rows(player, p, 0, kRows - 1);
  }
  note_order(player);
  history_note(player, player.song_name, sizeof player.song_name);
  history_note(player, &player.tempo, sizeof player.tempo);
  history_note(player, &player.speed, sizeof player.speed);
  history_note(player, &player.pattern_count, sizeof player.pattern_count);
  // Every pattern, since the order list may name patterns beyond the count.
  std::memset(player.patterns, 0, sizeof player.patterns);
  std::memset(player.order, 0, sizeof player.order);
  std::memset(player.song_name, 0, sizeof player.song_name);
  player.tempo = 125;
  player.speed = 6;
  player.song_length = 1;
  player.pattern_count = 1;
}

void set_sample_volume(Player& player, int32_t number, int32_t volume) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const HistoryGroup group(player, StepKind::kVolume);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  sample->volume = std::clamp(volume, 0, kMaxSampleVolume);
}

void set_sample_finetune(Player& player, int32_t number, int32_t finetune) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const HistoryGroup group(player, StepKind::kFinetune);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  sample->finetune = finetune & 15;
}

void step_sample_finetune(Player& player, int32_t number, bool up) {
  const Sample* sample = editable(player, number);
  if (!sample) return;
  const int32_t finetune = sample->finetune & 15;
  const int32_t limit = up ? kFinetuneHighest : kFinetuneLowest;
  if (finetune != limit) set_sample_finetune(player, number, finetune + (up ? 1 : 15));
}

// Loop steps work in whole bytes.
void step_sample_loop(Player& player, int32_t number, LoopStep step, int32_t bytes) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  int32_t start = sample->loop_start >> 14;
  int32_t length = sample->loop_length >> 14;
  const int32_t size = sample->length >> 14;
  switch (step) {
    case LoopStep::kStartUp:
      if (start + bytes + length > size) return;
      start += bytes;
      break;
    case LoopStep::kStartDown:
      if (start - bytes < 0) return;
      start -= bytes;
      break;
    case LoopStep::kLengthUp:
      if (start + length + bytes > size) return;
      length += bytes;
      break;
    case LoopStep::kLengthDown:
      if (length - bytes < kNoLoopBytes) return;
      length -= bytes;
      break;
  }
  const HistoryGroup group(player, StepKind::kLoop);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  set_loop(*sample, start, length);
}

// Loop points stay even: the module file keeps them in words.
void move_loop_start(Player& player, int32_t number, int32_t byte) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const int32_t end = std::min(sample->loop_end >> 14, sample_bytes(*sample));
  if (end < kNoLoopBytes) return;
  const int32_t start = std::min(std::max(byte, 0) & ~1, end - kNoLoopBytes);
  const HistoryGroup group(player, StepKind::kLoop);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  set_loop(*sample, start, end - start);
}

void move_loop_end(Player& player, int32_t number, int32_t byte) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const int32_t length = sample_bytes(*sample);
  const int32_t start = sample->loop_start >> 14;
  if (length - start < kNoLoopBytes) return;
  const int32_t end = std::clamp(byte & ~1, start + kNoLoopBytes, length);
  const HistoryGroup group(player, StepKind::kLoop);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  sample->loop_length = (end - start) * kFixOne;
  sample->loop_end = end * kFixOne;
}

void set_sample_loop(Player& player, int32_t number, int32_t start, int32_t length) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const int32_t size = sample_bytes(*sample);
  if (size < kNoLoopBytes) return;
  const int32_t bytes = std::clamp(length & ~1, kNoLoopBytes, size & ~1);
  const int32_t first = std::clamp(start & ~1, 0, (size - bytes) & ~1);
  const HistoryGroup group(player, StepKind::kLoop);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  set_loop(*sample, first, bytes);
}

void toggle_sample_loop(Player& player, int32_t number) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const int32_t length = sample_bytes(*sample);
  const HistoryGroup group(player, StepKind::kLoop);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  if (sample_loops(*sample)) {
    sample->loop_start = 0;
    sample->loop_length = sample->loop_end = kNoLoopBytes * kFixOne;
  } else if (length >= kNoLoopBytes) {
    sample->loop_length = sample->loop_end = length * kFixOne;
  }
}

int8_t* replace_sample_data(Player& player, int32_t number, int8_t* data, int32_t bytes,
                            int32_t loop_start, int32_t loop_length) {
  Sample* sample = editable(player, number);
  if (!sample) return data;  // not taken: the caller frees it
  const HistoryGroup group(player, StepKind::kSamplePaste);
  AudioGuard guard;
  note_sample_fields(player, *sample);
  history_note_sample_data(player, number);
  int8_t* old = sample->data;
  sample->data = data;
  sample->length = bytes * kFixOne;
  if (loop_length < kNoLoopBytes || loop_start + loop_length > bytes) {
    loop_start = 0;
    loop_length = kNoLoopBytes;
  }
  set_loop(*sample, loop_start, loop_length);
  for (ChannelState& ch : player.channels)
    if (ch.sample == number && ch.position >= sample->length) ch.position = -1;
  return old;
}

void install_sample(Player& player, int32_t number, const Sample& loaded) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const HistoryGroup group(player, StepKind::kLoadSample);
  // Nothing may read the slot while its data changes.
  AudioGuard guard;
  history_note(player, sample->name, sizeof sample->name);
  note_sample_fields(player, *sample);
  history_note_sample_data(player, number);
  for (ChannelState& ch : player.channels) silence_voice(player, ch, -1);
  sample_clear(*sample);
  *sample = loaded;
}

void set_sample_name(Player& player, int32_t number, const char* name, size_t bytes) {
  Sample* sample = editable(player, number);
  if (!sample) return;
  const HistoryGroup group(player, StepKind::kSampleName);
  history_note(player, sample->name, sizeof sample->name);
  std::memset(sample->name, 0, sizeof sample->name);
  std::memcpy(sample->name, name, std::min(bytes, sizeof sample->name));
}

namespace {

// Empties a slot (data, loop, volume, finetune, and the name unless kept),
// noted for the history; the channels playing it fall silent. The caller
// holds the lock: no channel may read sample data once it is freed.
void empty_slot(Player& player, int32_t number, bool keep_name) {
  Sample& sample = player.samples[number];
  if (!keep_name) history_note(player, sample.name, sizeof sample.name);
  note_sample_fields(player, sample);
  history_note_sample_data(player, number);
  for (ChannelState& channel : player.channels) {
    if (channel.sample != number && channel.pending_sample != number) continue;
    channel.sample = 0;
    channel.pending_sample = 0;
    channel.position = -1;
  }
  char name[sizeof sample.name];
  std::memcpy(name, sample.name, sizeof name);
  sample_clear(sample);
  if (keep_name) std::memcpy(sample.name, name, sizeof name);
}

}  // namespace

void clear_samples(Player& player) {
  const HistoryGroup group(player, StepKind::kClearSamples);
  AudioGuard guard;
  for (int32_t s = 1; s < kSampleCount; ++s) empty_slot(player, s, false);
}

void empty_sample(Player& player, int32_t number) {
  if (!editable(player, number)) return;
  const HistoryGroup group(player, StepKind::kDeleteSample);
  AudioGuard guard;
  empty_slot(player, number, true);
}

Player* swap_player(Player*& current, Player* fresh) {
  // The audio callback reads the player through `current`.
  AudioGuard guard;
  Player* old = current;
  current = fresh;
  return old;
}
