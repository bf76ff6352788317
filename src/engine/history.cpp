#include "engine/history.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "engine/audio_lock.h"
#include "engine/editing.h"

namespace {

uint8_t* bytes_of(Player& player) {
  return reinterpret_cast<uint8_t*>(&player);
}
const uint8_t* bytes_of(const Player& player) {
  return reinterpret_cast<const uint8_t*>(&player);
}

// A saved state no step has: the module counts as changed until it is
// saved again.
constexpr uint64_t kLostState = UINT64_MAX;

int32_t data_bytes(const Sample& sample) {
  return sample.data ? std::max(sample.length >> 14, 0) : 0;
}

size_t record_bytes(const HistoryRecord& record) {
  const int32_t block = record.block ? std::max(record.block_bytes, record.held_bytes) : 0;
  return sizeof(HistoryRecord) + record.before.size() + record.after.size() +
         static_cast<size_t>(block);
}

void free_step(HistoryStep& step) {
  for (HistoryRecord& record : step.records) std::free(record.block);
  step.records.clear();
}

bool region_changed(const HistoryRecord& record, const Player& player) {
  return std::memcmp(record.before.data(), bytes_of(player) + record.offset,
                     static_cast<size_t>(record.size)) != 0;
}

bool data_changed(const HistoryRecord& record, const Sample& sample) {
  const int32_t bytes = data_bytes(sample);
  return bytes != record.block_bytes ||
         (bytes > 0 && std::memcmp(record.block, sample.data, static_cast<size_t>(bytes)) != 0);
}

// Fills in what a record's bytes became; false when they did not change.
// Data of the same length keeps only the bytes from the first to the last
// that differ.
bool finish_record(HistoryRecord& record, Player& player) {
  if (!record.sample_data) {
    if (!region_changed(record, player)) return false;
    const uint8_t* now = bytes_of(player) + record.offset;
    record.after.assign(now, now + record.size);
    return true;
  }
  const Sample& sample = player.samples[record.sample];
  if (!data_changed(record, sample)) {
    std::free(record.block);
    return false;
  }
  const int32_t bytes = data_bytes(sample);
  record.held_bytes = bytes;
  if (bytes != record.block_bytes) return true;
  int32_t first = 0;
  while (record.block[first] == sample.data[first]) ++first;
  int32_t last = bytes - 1;
  while (record.block[last] == sample.data[last]) --last;
  const auto* old_bytes = reinterpret_cast<const uint8_t*>(record.block);
  const auto* new_bytes = reinterpret_cast<const uint8_t*>(sample.data);
  record.before.assign(old_bytes + first, old_bytes + last + 1);
  record.after.assign(new_bytes + first, new_bytes + last + 1);
  record.offset = first;
  std::free(record.block);
  record.block = nullptr;
  record.block_bytes = record.held_bytes = 0;
  return true;
}

void drop_oldest(History& history) {
  HistoryStep& oldest = history.steps.front();
  history.base_id = oldest.id;
  history.bytes -= oldest.bytes;
  free_step(oldest);
  history.steps.pop_front();
  if (history.done > 0) --history.done;
}

// Keeps the open step when it changed something: the steps that could be
// redone go, and the oldest go while the history is over its limit.
void commit(History& history) {
  HistoryStep step = std::move(history.open);
  history.open = HistoryStep{};
  Player* player = history.open_player;
  history.open_player = nullptr;
  if (!player || step.records.empty()) return;
  std::vector<HistoryRecord> kept;
  for (HistoryRecord& record : step.records)
    if (finish_record(record, *player)) kept.push_back(std::move(record));
  if (kept.empty()) return;
  step.records = std::move(kept);
  step.id = history.next_id++;
  step.bytes = sizeof(HistoryStep);
  for (const HistoryRecord& record : step.records) step.bytes += record_bytes(record);
  while (history.steps.size() > history.done) {
    history.bytes -= history.steps.back().bytes;
    free_step(history.steps.back());
    history.steps.pop_back();
  }
  history.bytes += step.bytes;
  history.steps.push_back(std::move(step));
  history.done = history.steps.size();
  while (!history.steps.empty() && history.bytes > history.byte_limit) drop_oldest(history);
}

void close_groups(History& history) {
  if (history.depth == 0) return;
  history.depth = 0;
  commit(history);
}

void apply(HistoryRecord& record, Player& player, bool forward) {
  const std::vector<uint8_t>& bytes = forward ? record.after : record.before;
  if (bytes.empty() && !record.block) return;  // nothing to copy, and no data to copy it into
  if (!record.sample_data) {
    std::memcpy(bytes_of(player) + record.offset, bytes.data(), bytes.size());
    return;
  }
  Sample& sample = player.samples[record.sample];
  if (!record.block) {
    std::memcpy(sample.data + record.offset, bytes.data(), bytes.size());
    return;
  }
  std::swap(sample.data, record.block);
  std::swap(record.held_bytes, record.block_bytes);
}

// The pattern or sample a record's bytes lie in, -1 for none.
int32_t pattern_of(const HistoryRecord& record) {
  const auto start = static_cast<int32_t>(offsetof(Player, patterns));
  const int32_t at = record.offset - start;
  if (record.sample_data || at < 0 || at >= static_cast<int32_t>(sizeof(Player::patterns)))
    return -1;
  return at / static_cast<int32_t>(sizeof(Player::patterns[0]));
}

int32_t sample_of(const HistoryRecord& record) {
  if (record.sample_data) return record.sample;
  const auto start = static_cast<int32_t>(offsetof(Player, samples));
  const int32_t at = record.offset - start;
  if (at < 0 || at >= static_cast<int32_t>(sizeof(Player::samples))) return -1;
  return at / static_cast<int32_t>(sizeof(Sample));
}

bool touches_order(const HistoryRecord& record) {
  constexpr auto kOrder = static_cast<int32_t>(offsetof(Player, order));
  return !record.sample_data &&
         record.offset < kOrder + static_cast<int32_t>(sizeof(Player::order)) &&
         record.offset + record.size > kOrder;
}

HistoryMove move(Player& player, bool forward) {
  History* history = player.history;
  if (!history) return HistoryMove{false, StepKind::kNote, -1, -1};
  close_groups(*history);
  if (forward ? history->done == history->steps.size() : history->done == 0)
    return HistoryMove{false, StepKind::kNote, -1, -1};
  HistoryStep& step = history->steps[forward ? history->done : history->done - 1];
  HistoryMove result{true, step.kind, -1, -1};
  {
    AudioGuard guard;
    const auto count = static_cast<ptrdiff_t>(step.records.size());
    for (ptrdiff_t k = 0; k < count; ++k) {
      HistoryRecord& record = step.records[static_cast<size_t>(forward ? k : count - 1 - k)];
      apply(record, player, forward);
    }
    // A channel playing past a shorter sample's end stops there.
    for (const HistoryRecord& record : step.records) {
      if (!record.sample_data) continue;
      const Sample& sample = player.samples[record.sample];
      for (ChannelState& ch : player.channels)
        if (ch.sample == record.sample && ch.position >= sample.length) ch.position = -1;
    }
  }
  for (const HistoryRecord& record : step.records) {
    if (result.pattern < 0) result.pattern = pattern_of(record);
    if (result.sample < 0) result.sample = sample_of(record);
    if (touches_order(record)) follow_order(player);
  }
  history->done += forward ? 1 : -1;
  return result;
}

}  // namespace

const char* step_name(StepKind kind) {
  switch (kind) {
    case StepKind::kNote:
      return "NOTE";
    case StepKind::kCellDigit:
      return "CELL DIGIT";
    case StepKind::kDeleteCell:
      return "DELETE";
    case StepKind::kInsertRow:
      return "INSERT ROW";
    case StepKind::kDeleteRow:
      return "DELETE ROW";
    case StepKind::kTranspose:
      return "TRANSPOSE";
    case StepKind::kCutTrack:
      return "CUT TRACK";
    case StepKind::kPasteTrack:
      return "PASTE TRACK";
    case StepKind::kCutPattern:
      return "CUT PATTERN";
    case StepKind::kPastePattern:
      return "PASTE PATT";
    case StepKind::kCutCommands:
      return "CUT CMDS";
    case StepKind::kPasteCommands:
      return "PASTE CMDS";
    case StepKind::kCutBlock:
      return "CUT BLOCK";
    case StepKind::kPasteBlock:
      return "PASTE BLOCK";
    case StepKind::kDeleteBlock:
      return "DEL BLOCK";
    case StepKind::kLoadTrack:
      return "LOAD TRACK";
    case StepKind::kLoadPattern:
      return "LOAD PATT";
    case StepKind::kInsertPosition:
      return "INSERT POS";
    case StepKind::kDeletePosition:
      return "DELETE POS";
    case StepKind::kOrderEntry:
      return "ORDER ENTRY";
    case StepKind::kSongLength:
      return "SONG LENGTH";
    case StepKind::kSongName:
      return "SONG NAME";
    case StepKind::kSampleName:
      return "SAMPLE NAME";
    case StepKind::kVolume:
      return "VOLUME";
    case StepKind::kFinetune:
      return "FINETUNE";
    case StepKind::kLoop:
      return "LOOP";
    case StepKind::kSampleCut:
      return "CUT";
    case StepKind::kSamplePaste:
      return "PASTE";
    case StepKind::kSampleSwap:
      return "SWAP";
    case StepKind::kLoadSample:
      return "LOAD SAMPLE";
    case StepKind::kClearSong:
      return "CLEAR SONG";
    case StepKind::kClearSamples:
      return "CLR SAMPLES";
    case StepKind::kClearAll:
      return "CLEAR ALL";
    case StepKind::kPolyphonize:
      return "POLYPHONIZE";
    case StepKind::kExpandTrack:
      return "EXPAND";
    case StepKind::kContractTrack:
      return "CONTRACT";
    case StepKind::kSwapTrack:
      return "SWAP TRACK";
    case StepKind::kReverseBlock:
      return "BACKWARDS";
    case StepKind::kInsertBlock:
      return "INSERT BLK";
    case StepKind::kKillTrack:
      return "KILL TRACK";
    case StepKind::kRestoreEffects:
      return "RESTORE FX";
    case StepKind::kDeleteNotes:
      return "DEL NOTES";
    case StepKind::kDeleteSample:
      return "DEL SAMPLE";
    case StepKind::kBoost:
      return "BOOST";
    case StepKind::kFilter:
      return "FILTER";
    case StepKind::kVolumeRamp:
      return "VOL RAMP";
    case StepKind::kResample:
      return "RESAMPLE";
    case StepKind::kSampleTool:
      return "SAMPLE TOOL";
    case StepKind::kSampleLength:
      return "SMP LENGTH";
    case StepKind::kSampling:
      return "SAMPLING";
  }
  return "EDIT";
}

void history_clear(History& history) {
  for (HistoryStep& step : history.steps) free_step(step);
  free_step(history.open);
  history.steps.clear();
  history.open = HistoryStep{};
  history.open_player = nullptr;
  history.depth = 0;
  history.done = 0;
  history.bytes = 0;
  history.base_id = history.saved_id = history.next_id++;
}

void history_mark_saved(History& history) {
  history.saved_id = history.done > 0 ? history.steps[history.done - 1].id : history.base_id;
}

void history_forget_save(History& history) {
  history.saved_id = kLostState;
}

bool module_modified(const Player& player) {
  return player.history && history_modified(*player.history, player);
}

bool history_modified(const History& history, const Player& player) {
  const uint64_t now = history.done > 0 ? history.steps[history.done - 1].id : history.base_id;
  if (now != history.saved_id) return true;
  if (history.open_player != &player) return false;
  for (const HistoryRecord& record : history.open.records) {
    const bool changed = record.sample_data ? data_changed(record, player.samples[record.sample])
                                            : region_changed(record, player);
    if (changed) return true;
  }
  return false;
}

void history_begin(History* history, StepKind kind) {
  if (!history) return;
  if (history->depth++ == 0) history->open = HistoryStep{kind, 0, 0, {}};
}

void history_end(History* history) {
  if (!history || history->depth == 0) return;
  if (--history->depth == 0) commit(*history);
}

void history_note(Player& player, const void* at, size_t size) {
  History* history = player.history;
  if (!history || history->depth == 0) return;
  const auto offset = static_cast<int32_t>(static_cast<const uint8_t*>(at) - bytes_of(player));
  const auto end = offset + static_cast<int32_t>(size);
  // Bytes already noted in this step keep the value they had before it.
  for (const HistoryRecord& record : history->open.records)
    if (!record.sample_data && record.offset <= offset && end <= record.offset + record.size)
      return;
  HistoryRecord record{};
  record.offset = offset;
  record.size = static_cast<int32_t>(size);
  const uint8_t* now = bytes_of(player) + offset;
  record.before.assign(now, now + size);
  history->open.records.push_back(std::move(record));
  history->open_player = &player;
}

void history_note_sample_data(Player& player, int32_t sample) {
  History* history = player.history;
  if (!history || history->depth == 0 || sample < 0 || sample >= kSampleCount) return;
  for (const HistoryRecord& record : history->open.records)
    if (record.sample_data && record.sample == sample) return;
  const Sample& noted = player.samples[sample];
  HistoryRecord record{};
  record.sample_data = true;
  record.sample = sample;
  record.block_bytes = data_bytes(noted);
  if (record.block_bytes > 0) {
    record.block = static_cast<int8_t*>(std::malloc(static_cast<size_t>(record.block_bytes)));
    // Without memory the change is made unrecorded, and can no longer be
    // told apart from the saved module.
    if (!record.block) {
      history->saved_id = kLostState;
      return;
    }
    std::memcpy(record.block, noted.data, static_cast<size_t>(record.block_bytes));
  }
  history->open.records.push_back(std::move(record));
  history->open_player = &player;
}

void history_note_rows(Player& player, int32_t pattern, int32_t first, int32_t last) {
  if (pattern < 0 || pattern >= kPatterns) return;
  first = std::max(first, 0);
  last = std::min(last, kRows - 1);
  if (first > last) return;
  history_note(player, &player.patterns[pattern][first],
               static_cast<size_t>(last - first + 1) * sizeof(player.patterns[0][0]));
}

HistoryMove history_undo(Player& player) {
  return move(player, false);
}

HistoryMove history_redo(Player& player) {
  return move(player, true);
}

bool history_effects_before(const Player& player, int32_t pattern,
                            PatternCell (&cells)[kRows][kChannels]) {
  const History* history = player.history;
  if (!history || pattern < 0 || pattern >= kPatterns) return false;
  const auto start = static_cast<int64_t>(offsetof(Player, patterns) + sizeof(cells) * pattern);
  const auto end = start + static_cast<int64_t>(sizeof(cells));
  for (size_t s = history->done; s-- > 0;) {
    const HistoryStep& step = history->steps[s];
    std::memcpy(cells, player.patterns[pattern], sizeof(cells));
    auto* bytes = reinterpret_cast<uint8_t*>(cells);
    // The earliest record of a byte holds what it was before the step.
    for (size_t k = step.records.size(); k-- > 0;) {
      const HistoryRecord& record = step.records[k];
      if (record.sample_data || record.before.empty()) continue;
      const int64_t from = std::max<int64_t>(record.offset, start);
      const int64_t to = std::min<int64_t>(record.offset + record.size, end);
      if (from < to)
        std::memcpy(bytes + (from - start), record.before.data() + (from - record.offset),
                    static_cast<size_t>(to - from));
    }
    for (int32_t r = 0; r < kRows; ++r)
      for (int32_t c = 0; c < kChannels; ++c) {
        const PatternCell& now = player.patterns[pattern][r][c];
        const PatternCell& then = cells[r][c];
        if (now.effect != then.effect || now.param != then.param) return true;
      }
  }
  return false;
}
