// The undo history of the whole module. Every change the editing layer and
// the edit operations make is noted here before it is made; a user action
// is one step however many calls it makes. A step keeps only what changed:
// the bytes of the player it touched (rows of a pattern, the order list, a
// name, a sample's fields) before and after, and of sample data the changed
// bytes or, where the length changed, the other block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/player.h"

// What a step did, named on the message line after "UNDO " or "REDO ".
enum class StepKind : int32_t {
  kNote,
  kCellDigit,
  kDeleteCell,
  kInsertRow,
  kDeleteRow,
  kTranspose,
  kCutTrack,
  kPasteTrack,
  kCutPattern,
  kPastePattern,
  kCutCommands,
  kPasteCommands,
  kCutBlock,
  kPasteBlock,
  kDeleteBlock,
  kLoadTrack,
  kLoadPattern,
  kInsertPosition,
  kDeletePosition,
  kOrderEntry,
  kSongLength,
  kSongName,
  kSampleName,
  kVolume,
  kFinetune,
  kLoop,
  kSampleCut,
  kSamplePaste,
  kSampleSwap,
  kLoadSample,
  kClearSong,
  kClearSamples,
  kClearAll,
  kPolyphonize,
  kExpandTrack,
  kContractTrack,
  kSwapTrack,
  kReverseBlock,
  kInsertBlock,
  kKillTrack,
  kRestoreEffects,
  kDeleteNotes,
  kDeleteSample,
  kBoost,
  kFilter,
  kVolumeRamp,
  kResample,
  kSampleTool,
  kSampleLength,
  kSampling,
};
// At most 11 upper-case characters.
const char* step_name(StepKind kind);

constexpr size_t kHistoryByteLimit = size_t{64} << 20;

// One change of a step. Player bytes: `size` bytes at `offset` in the
// player. Sample data of sample `sample`: the bytes from `offset` on
// (`before` and `after`), or with `block` the whole other block.
struct HistoryRecord {
  bool sample_data;
  int32_t sample;
  int32_t offset;
  int32_t size;
  std::vector<uint8_t> before;
  std::vector<uint8_t> after;
  int8_t* block;        // owned: the data the sample does not hold now
  int32_t block_bytes;  // bytes of the block
  int32_t held_bytes;   // bytes of the data the sample holds now
};

struct HistoryStep {
  StepKind kind;
  uint64_t id;
  size_t bytes;
  std::vector<HistoryRecord> records;  // in the order they were noted
};

struct History {
  std::deque<HistoryStep> steps;
  size_t done = 0;  // steps[0..done) are done, the rest can be redone
  size_t bytes = 0;
  size_t byte_limit = kHistoryByteLimit;
  uint64_t next_id = 1;
  uint64_t base_id = 0;   // the state below the oldest step kept
  uint64_t saved_id = 0;  // the state last loaded or saved
  int32_t depth = 0;      // open groups
  HistoryStep open{};
  Player* open_player = nullptr;  // the player the open step's records are of
};

// Drops every step: the module as it is now is the loaded (saved) one.
void history_clear(History& history);
void history_mark_saved(History& history);
// The module as it is now counts as unsaved (a recovered autosave).
void history_forget_save(History& history);
// Whether the module differs from the one last loaded or saved, counting
// steps the history has dropped and a step still open.
bool history_modified(const History& history, const Player& player);
// The same for the module a player holds; false when it keeps no history.
bool module_modified(const Player& player);

// Groups: the calls between the outermost begin and its end make one step
// of the outermost kind. The step is kept when it changed something. Null
// histories are ignored, and so is an end without a begin.
void history_begin(History* history, StepKind kind);
void history_end(History* history);

class HistoryGroup {
 public:
  HistoryGroup(Player& player, StepKind kind) : history_(player.history) {
    history_begin(history_, kind);
  }
  ~HistoryGroup() { history_end(history_); }
  HistoryGroup(const HistoryGroup&) = delete;
  HistoryGroup& operator=(const HistoryGroup&) = delete;

 private:
  History* history_;
};

// Called inside a group before a change: `size` bytes at `at` within the
// player, or the data of a sample (its fields are noted apart).
void history_note(Player& player, const void* at, size_t size);
void history_note_sample_data(Player& player, int32_t sample);
// Rows first..last of a pattern, all channels; numbers outside the
// patterns note nothing.
void history_note_rows(Player& player, int32_t pattern, int32_t first, int32_t last);

// Undoes the last done step or redoes the next one, under the audio lock.
// `pattern` and `sample` name what it changed (-1: none), for bringing it
// into view.
struct HistoryMove {
  bool moved;
  StepKind kind;
  int32_t pattern;
  int32_t sample;
};
HistoryMove history_undo(Player& player);
// The cells of a pattern as they were before the latest done step that
// changed any of their effects; false when no step kept did.
bool history_effects_before(const Player& player, int32_t pattern,
                            PatternCell (&cells)[kRows][kChannels]);
HistoryMove history_redo(Player& player);
