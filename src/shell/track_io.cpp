#include "shell/track_io.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/audio_lock.h"
#include "engine/edit_ops.h"
#include "files/track_pattern.h"

namespace {

using Pattern = PatternCell[kRows][kChannels];

const Pattern& current_pattern(const EditorState* state) {
  return state->player->patterns[std::clamp(state->player->current_pattern, 0, kPatterns - 1)];
}

int32_t cursor_channel(const EditorState* state) {
  return std::clamp(state->cursor_channel, 0, kChannels - 1);
}

int32_t refuse(EditorState* state, const FileResult& result) {
  std::snprintf(state->message, sizeof state->message, "%s", result.message);
  return 0;
}

int32_t write_cells(const char* path, EditorState* state, const PatternCell* cells, size_t count) {
  const FileResult result = write_file_replacing(path, serialize_cells(cells, count));
  return result.ok ? 1 : refuse(state, result);
}

// Reads a whole file of `count` cells into `cells`; 0 when it is refused.
int32_t read_cells(const char* path, EditorState* state, PatternCell* cells, size_t count) {
  std::vector<uint8_t> bytes;
  // One byte more than a file may hold, so a longer file is seen as such.
  FileResult result = read_file_start(path, count * kCellFileBytes + 1, bytes);
  if (result.ok) result = parse_cells(bytes.data(), bytes.size(), cells, count);
  return result.ok ? 1 : refuse(state, result);
}

}  // namespace

int32_t save_track(const char* path, EditorState* state) {
  PatternCell cells[kRows];
  if (state->track_buffer) {
    const EditBuffers& buffers = state->edit_buffers;
    std::copy(std::begin(buffers.track_clipboard), std::end(buffers.track_clipboard), cells);
  } else {
    AudioGuard guard;
    const Pattern& pattern = current_pattern(state);
    for (int32_t row = 0; row < kRows; ++row) cells[row] = pattern[row][cursor_channel(state)];
  }
  return write_cells(path, state, cells, kTrackCells);
}

int32_t load_track(const char* path, EditorState* state) {
  PatternCell cells[kRows];
  if (!read_cells(path, state, cells, kTrackCells)) return 0;
  if (state->track_buffer) {
    std::copy(std::begin(cells), std::end(cells), state->edit_buffers.track_clipboard);
    return 1;
  }
  replace_track(*state->player, state->edit_buffers, cursor_channel(state), cells);
  return 1;
}

int32_t save_pattern(const char* path, EditorState* state) {
  Pattern cells;
  {
    AudioGuard guard;
    const Pattern& source =
        state->option_pattern ? state->edit_buffers.pattern_clipboard : current_pattern(state);
    std::copy(&source[0][0], &source[0][0] + kPatternCells, &cells[0][0]);
  }
  return write_cells(path, state, &cells[0][0], kPatternCells);
}

int32_t load_pattern(const char* path, EditorState* state) {
  Pattern cells;
  if (!read_cells(path, state, &cells[0][0], kPatternCells)) return 0;
  if (!state->option_pattern) {
    replace_pattern(*state->player, state->edit_buffers, cells);
    return 1;
  }
  Pattern& target = state->edit_buffers.pattern_clipboard;
  std::copy(&cells[0][0], &cells[0][0] + kPatternCells, &target[0][0]);
  return 1;
}
