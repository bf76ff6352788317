#include "shell/track_io.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/edit_ops.h"
#include "engine/editing.h"
#include "files/track_pattern.h"

namespace {

using Pattern = PatternCell[kRows][kChannels];

const Pattern& current_pattern(const EditorState* state) {
  return state->player
      ->patterns[std::clamp(replay_view(*state->player).current_pattern, 0, kPatterns - 1)];
}

int32_t cursor_channel(const EditorState* state) {
  return std::clamp(state->selection.cursor_channel, 0, kChannels - 1);
}

// A refusal's reason goes to the message line.
FileResult shown(EditorState* state, const FileResult& result) {
  if (!result.ok)
    std::snprintf(state->status.message, sizeof state->status.message, "%s", result.message);
  return result;
}

int32_t write_cells(const char* path, EditorState* state, const PatternCell* cells, size_t count) {
  return shown(state,
               write_file_replacing(path, serialize_cells(cells, count), state->settings.backups))
                 .ok
             ? 1
             : 0;
}

// Reads a whole file of `count` cells into `cells`.
FileResult read_cells(const char* path, EditorState* state, PatternCell* cells, size_t count) {
  std::vector<uint8_t> bytes;
  // One byte more than a file may hold, so a longer file is seen as such.
  FileResult result = read_file_start(path, count * kCellFileBytes + 1, bytes);
  if (result.ok) result = parse_cells(bytes.data(), bytes.size(), cells, count);
  return shown(state, result);
}

}  // namespace

int32_t save_track(const char* path, EditorState* state) {
  PatternCell cells[kRows];
  if (state->disk_op.track_buffer) {
    const EditBuffers& buffers = state->edit_buffers;
    std::copy(std::begin(buffers.track_clipboard), std::end(buffers.track_clipboard), cells);
  } else {
    const Pattern& pattern = current_pattern(state);
    for (int32_t row = 0; row < kRows; ++row) cells[row] = pattern[row][cursor_channel(state)];
  }
  return write_cells(path, state, cells, kTrackCells);
}

FileResult load_track(const char* path, EditorState* state) {
  PatternCell cells[kRows];
  const FileResult result = read_cells(path, state, cells, kTrackCells);
  if (!result.ok) return result;
  if (state->disk_op.track_buffer) {
    std::copy(std::begin(cells), std::end(cells), state->edit_buffers.track_clipboard);
    return result;
  }
  replace_track(*state->player, cursor_channel(state), cells);
  return result;
}

int32_t save_pattern(const char* path, EditorState* state) {
  Pattern cells;
  const Pattern& source = state->disk_op.option_pattern ? state->edit_buffers.pattern_clipboard
                                                        : current_pattern(state);
  std::copy(&source[0][0], &source[0][0] + kPatternCells, &cells[0][0]);
  return write_cells(path, state, &cells[0][0], kPatternCells);
}

FileResult load_pattern(const char* path, EditorState* state) {
  Pattern cells;
  const FileResult result = read_cells(path, state, &cells[0][0], kPatternCells);
  if (!result.ok) return result;
  if (!state->disk_op.option_pattern) {
    replace_pattern(*state->player, cells);
    return result;
  }
  Pattern& target = state->edit_buffers.pattern_clipboard;
  std::copy(&cells[0][0], &cells[0][0] + kPatternCells, &target[0][0]);
  return result;
}
