// The "M.K." module file: song name, 31 sample headers, order list,
// patterns and (for modules, not songs) sample data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/player.h"

enum ModuleKind : int32_t { kKindModule = 0, kKindSong = 1 };

// Why a file was refused. Callers decide on the code; the texts are only
// shown.
enum class FileError : int32_t {
  kNone,
  // Reading a file.
  kNotFound,
  kNotRegular,
  kTooBig,
  kCannotOpen,
  kReadError,
  kEmpty,
  // Reading or writing: what the system said.
  kNoPermission,
  kReadOnlyDir,
  kDiskFull,
  // What the bytes hold.
  kPacked,
  kNotAModule,
  kBadOrderList,
  kTruncated,
  kTooShort,
  kTooLong,
  kBadAudio,
  kOutOfMemory,
  kNoSample,  // no sample slot to load into
  // Writing a file.
  kUnknownFormat,
  kCannotCreate,
  kWriteFailed,
  kBackupFailed,
  kStdoutFailed,
};

// `message` fits the 16-character message line, `reason` is the longer
// text for the command line; both are null when the file was taken.
struct FileResult {
  bool ok;
  FileError error;
  const char* message;
  const char* reason;
  // Bytes of sample data the file lacks of what its headers declare: the
  // module loaded, with silence in their place.
  int64_t missing_bytes = 0;
  // Lets `!load(...)` test for failure as it did when loaders returned 0/1.
  explicit operator bool() const { return ok; }
};

constexpr FileResult kFileOk{true, FileError::kNone, nullptr, nullptr};
// A refusal with the texts that go with the code.
FileResult file_refusal(FileError error);
// The refusal that says why a system call failed with `error_number`, or
// `otherwise` when the reason is none the user can act on.
FileResult errno_refusal(int error_number, FileError otherwise);

// Fills the data of a song's sample from the sample library; false when the
// sample cannot be had there.
struct SampleFetch {
  bool (*fetch)(void* context, const char* name, int8_t* data, int32_t bytes);
  void* context;
};

// Parses a whole file into a freshly created player. On refusal the player
// may be partly filled and must be discarded.
FileResult parse_module(const uint8_t* bytes, size_t size, Player* player, ModuleKind kind,
                        const SampleFetch* fetch);
// The bytes save_module writes for the player.
std::vector<uint8_t> serialize_module(const Player* player, ModuleKind kind);
// Leaves out the patterns the song's positions never play: the rest move
// down, keeping their order, the order list follows them, and the
// positions past the song's length play pattern 0. For a copy being saved.
void pack_patterns(Player& player);
// Number of patterns a saved file holds.
int32_t saved_pattern_count(const Player* player);

// Whether the file starts as a module does: a header with a known signature.
bool file_is_module(const char* path);
// Reads a regular file whole; refuses files above max_bytes.
FileResult read_whole_file(const char* path, size_t max_bytes, std::vector<uint8_t>& out);
// Reads at most the first max_bytes of a regular file.
FileResult read_file_start(const char* path, size_t max_bytes, std::vector<uint8_t>& out);
// Writes through a temporary file in the same directory and a rename, so a
// failed write leaves any previous file as it was. With `backup` the file
// it replaces is first copied to PATH.bak (replacing an older one); when
// that copy fails nothing is written.
FileResult write_file_replacing(const char* path, const std::vector<uint8_t>& bytes,
                                bool backup = false);

constexpr size_t kMaxModuleFileBytes = 8u << 20;
