#include "files/module_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t kHeaderBytes = 1084;
constexpr size_t kPatternBytes = 1024;

int32_t word_at(const uint8_t* p) {
  return (p[0] << 8) | p[1];
}

void put_word(std::vector<uint8_t>& out, int32_t value) {
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
  out.push_back(static_cast<uint8_t>(value & 0xFF));
}

// Four-channel modules in the one layout; "M!K!" marks more than 64 patterns.
constexpr char kSignatures[][5] = {"M.K.", "M!K!", "4CHN", "FLT4"};
constexpr int32_t kPlainPatternLimit = 64;

bool known_signature(const uint8_t* tag) {
  for (const char* s : kSignatures)
    if (std::memcmp(tag, s, 4) == 0) return true;
  return false;
}

void decode_pattern(const uint8_t* in, PatternCell (&pattern)[kRows][kChannels]) {
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kChannels; ++c, in += 4) {
      PatternCell& cell = pattern[r][c];
      cell = PatternCell{};
      cell.period = ((in[0] & 0x0F) << 8) | in[1];
      cell.sample = (in[0] & 0xF0) | (in[2] >> 4);
      cell.effect = in[2] & 0x0F;
      cell.param = in[3];
      cell.param_hi = in[3] >> 4;
      cell.param_lo = in[3] & 0x0F;
    }
  }
}

// Header fields of one sample in bytes, as the file declares them.
struct SampleHeader {
  int32_t length;
  int32_t loop_start;
  int32_t loop_length;
};

void read_sample_header(const uint8_t* h, Sample& s, SampleHeader& declared) {
  std::memcpy(s.name, h, 22);
  declared.length = word_at(h + 22) * 2;
  declared.loop_start = word_at(h + 26) * 2;
  declared.loop_length = word_at(h + 28) * 2;
  s.length = std::min(declared.length, kMaxSampleBytes);
  s.loop_start = std::min(declared.loop_start, kMaxSampleBytes);
  s.loop_length = std::min(declared.loop_length, kMaxSampleBytes);
  s.finetune = h[24] & 0x0F;
  s.volume = std::min<int32_t>(h[25], 64);
}

// Keeps a loop inside the sample's data so no reader has to check it.
void confine_loop(Sample& s) {
  if (s.loop_length == 0) s.loop_length = 2;
  if (s.loop_start >= s.length) {
    s.loop_start = 0;
    s.loop_length = 2;
  } else if (s.loop_start + s.loop_length > s.length) {
    s.loop_length = std::max(s.length - s.loop_start, 2);
  }
}

void to_fixed(Sample& s) {
  s.length *= kFixOne;
  s.loop_start *= kFixOne;
  s.loop_length *= kFixOne;
  s.loop_end = s.loop_start + s.loop_length;
}

}  // namespace

FileResult file_refusal(FileError error) {
  // No default: a new code without its texts is a compiler warning.
  switch (error) {
    case FileError::kNotFound:
      return {false, error, "FILE NOT FOUND", "no such file"};
    case FileError::kNotRegular:
      return {false, error, "NOT A FILE", "not a regular file"};
    case FileError::kTooBig:
      return {false, error, "FILE TOO BIG", "file too big"};
    case FileError::kCannotOpen:
      return {false, error, "CAN'T OPEN FILE", "cannot open file"};
    case FileError::kReadError:
      return {false, error, "READ ERROR", "read error"};
    case FileError::kNoPermission:
      return {false, error, "NO PERMISSION", "permission denied"};
    case FileError::kReadOnlyDir:
      return {false, error, "READ-ONLY DIR", "read-only file system"};
    case FileError::kDiskFull:
      return {false, error, "DISK FULL", "no space left on the device"};
    case FileError::kEmpty:
      return {false, error, "EMPTY FILE", "empty file"};
    case FileError::kPacked:
      return {false, error, "PACKED MODULE", "packed modules are not read"};
    case FileError::kNotAModule:
      return {false, error, "NOT A MODULE", "not an M.K. module"};
    case FileError::kBadOrderList:
      return {false, error, "BAD ORDER LIST", "order list names a pattern above 127"};
    case FileError::kTruncated:
      return {false, error, "FILE TRUNCATED", "file ends inside the patterns"};
    case FileError::kTooShort:
      return {false, error, "FILE TOO SHORT", "file too short"};
    case FileError::kTooLong:
      return {false, error, "WRONG FILE SIZE", "file too long"};
    case FileError::kBadAudio:
      return {false, error, "BAD SAMPLE FILE", "damaged or unreadable audio file"};
    case FileError::kOutOfMemory:
      return {false, error, "OUT OF MEMORY", "out of memory"};
    case FileError::kNoSample:
      return {false, error, "NO SAMPLE CHOSEN", "no sample chosen"};
    case FileError::kUnknownFormat:
      return {false, error, "UNKNOWN FORMAT", "unknown audio file extension"};
    case FileError::kCannotCreate:
      return {false, error, "CAN'T SAVE FILE", "cannot create file"};
    case FileError::kWriteFailed:
      return {false, error, "SAVE FAILED", "write failed"};
    case FileError::kBackupFailed:
      return {false, error, "BACKUP FAILED", "cannot keep the old file as .bak"};
    case FileError::kStdoutFailed:
      return {false, error, "WRITE FAILED", "cannot write to standard output"};
    case FileError::kNone:
      break;
  }
  return {false, error, nullptr, nullptr};
}

FileResult errno_refusal(int error_number, FileError otherwise) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return file_refusal(otherwise == FileError::kCannotOpen ? FileError::kNotFound : otherwise);
    case EACCES:
    case EPERM:
      return file_refusal(FileError::kNoPermission);
    case EROFS:
      return file_refusal(FileError::kReadOnlyDir);
    case ENOSPC:
    case EDQUOT:
      return file_refusal(FileError::kDiskFull);
    default:
      return file_refusal(otherwise);
  }
}

int32_t saved_pattern_count(const Player* player) {
  int32_t highest = 0;
  for (int i = 0; i < kPositions; ++i)
    highest = std::max<int32_t>(highest, static_cast<int8_t>(player->order[i] & 0xFF));
  return highest + 1;
}

FileResult parse_module(const uint8_t* bytes, size_t size, Player* player, ModuleKind kind,
                        const SampleFetch* fetch) {
  if (size >= 4 && std::memcmp(bytes, "PACK", 4) == 0) return file_refusal(FileError::kPacked);
  if (size < kHeaderBytes || !known_signature(bytes + 1080))
    return file_refusal(FileError::kNotAModule);
  int32_t highest = 0;
  for (int i = 0; i < kPositions; ++i) highest = std::max<int32_t>(highest, bytes[952 + i]);
  if (highest >= kPatterns) return file_refusal(FileError::kBadOrderList);
  const int32_t pattern_count = highest + 1;
  const size_t data_start = kHeaderBytes + kPatternBytes * pattern_count;
  if (size < data_start) return file_refusal(FileError::kTruncated);

  player->pattern_count = pattern_count;
  std::memcpy(player->signature, bytes + 1080, 4);
  std::memcpy(player->song_name, bytes, 20);
  player->song_length = std::clamp<int32_t>(bytes[950], 1, 128);
  for (int i = 0; i < kPositions; ++i) player->order[i] = bytes[952 + i];
  for (int p = 0; p < pattern_count; ++p)
    decode_pattern(bytes + kHeaderBytes + kPatternBytes * p, player->patterns[p]);

  size_t offset = data_start;
  int64_t declared_data = 0;
  for (int i = 1; i < kSampleCount; ++i) {
    Sample& s = player->samples[i];
    sample_clear(s);
    SampleHeader declared;
    read_sample_header(bytes + 20 + 30 * (i - 1), s, declared);
    if (s.length == 0) {
      // No data, so nothing plays it; its loop words are kept as read so the
      // file saves back unchanged.
      s.loop_start *= kFixOne;
      s.loop_length *= kFixOne;
      s.loop_end = s.loop_start + s.loop_length;
      continue;
    }
    s.data = static_cast<int8_t*>(std::calloc(static_cast<size_t>(s.length), 1));
    if (!s.data) return file_refusal(FileError::kOutOfMemory);
    bool have_data = true;
    if (kind == kKindModule) {
      // A truncated last sample keeps what the file holds; the rest is silence.
      if (offset < size)
        std::memcpy(s.data, bytes + offset, std::min<size_t>(s.length, size - offset));
      offset += static_cast<size_t>(declared.length);
      declared_data += declared.length;
    } else {
      have_data = fetch && fetch->fetch(fetch->context, s.name, s.data, s.length);
    }
    if (!have_data) {
      // The name stays, so the song saved again still names its sample.
      char name[sizeof s.name];
      std::memcpy(name, s.name, sizeof name);
      sample_clear(s);
      std::memcpy(s.name, name, sizeof name);
      continue;
    }
    confine_loop(s);
    to_fixed(s);
  }
  player_reset_replay(player, 44100);
  FileResult result = kFileOk;
  if (kind == kKindModule)
    result.missing_bytes = std::max<int64_t>(
        0, static_cast<int64_t>(data_start) + declared_data - static_cast<int64_t>(size));
  return result;
}

bool file_is_module(const char* path) {
  std::vector<uint8_t> head;
  return read_file_start(path, kHeaderBytes, head).ok && head.size() == kHeaderBytes &&
         known_signature(head.data() + 1080);
}

void pack_patterns(Player& player) {
  const int32_t length = std::clamp(player.song_length, 1, kPositions);
  int32_t renumbered[kPatterns];
  std::fill(std::begin(renumbered), std::end(renumbered), -1);
  for (int32_t i = 0; i < length; ++i)
    renumbered[std::clamp(player.order[i], 0, kPatterns - 1)] = 0;
  int32_t kept = 0;
  for (int32_t p = 0; p < kPatterns; ++p) {
    if (renumbered[p] < 0) continue;
    renumbered[p] = kept;
    // Never later than its place, so moving down in order overwrites
    // only patterns already moved or left out.
    if (kept != p)
      std::memcpy(player.patterns[kept], player.patterns[p], sizeof player.patterns[p]);
    ++kept;
  }
  for (int32_t i = 0; i < kPositions; ++i)
    player.order[i] = i < length ? renumbered[std::clamp(player.order[i], 0, kPatterns - 1)] : 0;
}

std::vector<uint8_t> serialize_module(const Player* player, ModuleKind kind) {
  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + kPatternBytes * kPatterns);
  out.insert(out.end(), player->song_name, player->song_name + 20);
  for (int i = 1; i < kSampleCount; ++i) {
    const Sample& s = player->samples[i];
    out.insert(out.end(), s.name, s.name + 22);
    // Odd byte lengths round up to whole words; the data gets a pad byte.
    put_word(out, ((s.length >> 14) + 1) >> 1);
    out.push_back(static_cast<uint8_t>(s.finetune & 0x0F));
    out.push_back(static_cast<uint8_t>(s.volume));
    put_word(out, s.loop_start >> 15);
    put_word(out, s.loop_length >> 15);
  }
  out.push_back(static_cast<uint8_t>(player->song_length));
  out.push_back(127);
  for (int i = 0; i < kPositions; ++i) out.push_back(static_cast<uint8_t>(player->order[i]));
  const int32_t patterns = saved_pattern_count(player);
  // A file that needed "M!K!" keeps it while it still holds that many
  // patterns; everything else is written as the common "M.K.".
  const bool wide = patterns > kPlainPatternLimit && std::memcmp(player->signature, "M!K!", 4) == 0;
  const char* signature = wide ? "M!K!" : "M.K.";
  out.insert(out.end(), signature, signature + 4);
  for (int p = 0; p < patterns; ++p) {
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kChannels; ++c) {
        const PatternCell& cell = player->patterns[p][r][c];
        out.push_back(static_cast<uint8_t>((cell.sample & 0xF0) | ((cell.period >> 8) & 0x0F)));
        out.push_back(static_cast<uint8_t>(cell.period & 0xFF));
        out.push_back(static_cast<uint8_t>(((cell.sample << 4) & 0xF0) | (cell.effect & 0x0F)));
        out.push_back(static_cast<uint8_t>(cell.param_hi * 16 + cell.param_lo));
      }
    }
  }
  if (kind == kKindModule) {
    for (int i = 1; i < kSampleCount; ++i) {
      const Sample& s = player->samples[i];
      const int32_t bytes = s.length >> 14;
      if (bytes == 0) continue;
      if (s.data) {
        out.insert(out.end(), s.data, s.data + bytes);
      } else {
        out.insert(out.end(), static_cast<size_t>(bytes), 0);
      }
      if (bytes & 1) out.push_back(0);
    }
  }
  return out;
}

namespace {

FileResult read_regular_file(const char* path, size_t max_bytes, bool refuse_larger,
                             std::vector<uint8_t>& out) {
  struct stat info;
  if (stat(path, &info) != 0) return errno_refusal(errno, FileError::kNotFound);
  if (!S_ISREG(info.st_mode)) return file_refusal(FileError::kNotRegular);
  if (refuse_larger && static_cast<uint64_t>(info.st_size) > max_bytes)
    return file_refusal(FileError::kTooBig);
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return errno_refusal(errno, FileError::kCannotOpen);
  out.resize(std::min<size_t>(static_cast<size_t>(info.st_size), max_bytes));
  const size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), f);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return file_refusal(FileError::kReadError);
  out.resize(got);
  return kFileOk;
}

}  // namespace

FileResult read_whole_file(const char* path, size_t max_bytes, std::vector<uint8_t>& out) {
  return read_regular_file(path, max_bytes, true, out);
}

FileResult read_file_start(const char* path, size_t max_bytes, std::vector<uint8_t>& out) {
  return read_regular_file(path, max_bytes, false, out);
}

namespace {

// Writes the bytes to a new temporary file beside `path` and names it in
// `temp`; on failure nothing is left.
FileResult write_temporary(const char* path, const std::vector<uint8_t>& bytes, std::string& temp) {
  temp = std::string(path) + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return errno_refusal(errno, FileError::kCannotCreate);
  size_t done = 0;
  int failure = 0;  // the errno of the first call that failed
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      failure = n < 0 ? errno : ENOSPC;  // writing nothing: the device took no more
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (failure == 0 && fsync(fd) != 0) failure = errno;
  fchmod(fd, 0644);
  if (close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0) return kFileOk;
  unlink(temp.c_str());
  return errno_refusal(failure, FileError::kWriteFailed);
}

// Copies the regular file at `path`, if there is one, to PATH.bak.
FileResult keep_backup(const char* path) {
  std::vector<uint8_t> old;
  const FileResult read = read_whole_file(path, SIZE_MAX, old);
  if (read.error == FileError::kNotFound || read.error == FileError::kNotRegular) return kFileOk;
  const std::string backup = std::string(path) + ".bak";
  if (!read.ok || !write_file_replacing(backup.c_str(), old, false).ok)
    return file_refusal(FileError::kBackupFailed);
  return kFileOk;
}

}  // namespace

FileResult write_file_replacing(const char* path, const std::vector<uint8_t>& bytes, bool backup) {
  std::string temp;
  FileResult result = write_temporary(path, bytes, temp);
  if (!result.ok) return result;
  // The old file is kept only once the new bytes are safely on disk.
  if (backup) result = keep_backup(path);
  if (result.ok && std::rename(temp.c_str(), path) != 0)
    result = errno_refusal(errno, FileError::kWriteFailed);
  if (!result.ok) unlink(temp.c_str());
  return result;
}
