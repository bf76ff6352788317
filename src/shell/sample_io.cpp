#include "shell/sample_io.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/audio_lock.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "files/module_format.h"
#include "files/sample_file.h"
#include "files/sample_import.h"
#include "render/message.h"
#include "shell/module_io.h"
#include "shell/program_dir.h"

namespace {

constexpr size_t kMaxSampleFileBytes = 1u << 20;

}  // namespace

FileResult decode_sample_file(const char* path, int32_t import_rate, Sample& loaded, bool& cut) {
  std::vector<uint8_t> bytes;
  FileResult result = read_file_start(path, kMaxSampleFileBytes, bytes);
  if (result.ok && bytes.empty()) result = file_refusal(FileError::kEmpty);
  // WAV, AIFF, FLAC first; what is none of them goes to the raw and IFF reader.
  ImportedSample imported;
  const ImportResult audio =
      result.ok ? import_audio_sample(bytes.data(), bytes.size(), imported, import_rate)
                : ImportResult{kImportNotAudio, kFileOk};
  if (audio.status == kImportRefused) result = audio.file;
  loaded = Sample{};
  const bool parsed = result.ok && (audio.status == kImportDone
                                        ? sample_from_import(imported, loaded)
                                        : parse_sample_file(bytes.data(), bytes.size(), loaded));
  if (result.ok && !parsed) result = file_refusal(FileError::kOutOfMemory);
  if (!result.ok) {
    std::free(loaded.data);
    loaded = Sample{};
  }
  cut = imported.cut;
  return result;
}

FileResult load_sample(EditorState* state, const char* path) {
  const int32_t slot = state->selection.current_sample;
  // Read and decode first: the slot is replaced only by a sample that loaded.
  Sample loaded{};
  bool cut = false;
  const FileResult result = slot >= 1 && slot < kSampleCount
                                ? decode_sample_file(path, state->settings.import_rate, loaded, cut)
                                : file_refusal(FileError::kNoSample);
  if (!result.ok) {
    std::snprintf(state->status.message, sizeof state->status.message, "%s", result.message);
    return result;
  }
  if (cut) timed_message(state->status, "SAMPLE CUT SHORT");
  const std::string name = sample_name_of_path(path);
  const HistoryGroup group(*state->player, StepKind::kLoadSample);
  AudioGuard guard;
  install_sample(*state->player, slot, loaded);
  set_sample_name(*state->player, slot, name.data(), name.size());
  return result;
}

int32_t save_sample(const char* path, EditorState* state, int32_t number, bool iff) {
  if (number < 1 || number >= kSampleCount) return 0;
  std::vector<uint8_t> bytes;
  {
    AudioGuard guard;
    bytes = serialize_sample(state->player->samples[number], iff);
  }
  const FileResult result = write_file_replacing(path, bytes, state->settings.backups);
  if (!result.ok)
    std::snprintf(state->status.message, sizeof state->status.message, "%s", result.message);
  return result.ok ? 1 : 0;
}

int32_t load_st_sample(const char* name, EditorState* state) {
  const int32_t slot = state->selection.current_sample;
  if (slot < 1 || slot >= kSampleCount) return 0;
  char kept[sizeof(Sample::name)] = {};
  std::memcpy(kept, name, strnlen(name, sizeof kept));  // `name` may be the slot's own field
  const std::string path = library_sample_path(library_dir(state->settings), kept);
  std::vector<uint8_t> probe;
  if (path.empty() || !read_file_start(path.c_str(), 1, probe).ok) return 0;
  const HistoryGroup group(*state->player, StepKind::kLoadSample);
  load_sample(state, path.c_str());
  set_sample_name(*state->player, slot, kept, sizeof kept);
  return 1;
}
