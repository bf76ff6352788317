#include "files/audio_out.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

const char kAudioExtensions[] = ".wav, .flac or .aiff";

namespace {

bool ends_with(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return text.size() > n && text.compare(text.size() - n, n, suffix) == 0;
}

int sndfile_format(AudioFormat format) {
  switch (format) {
    case kAudioFlac:
      return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case kAudioAiff:
      return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    default:
      return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  }
}

// A stream for libsndfile's virtual I/O that pretends to be a seekable
// file. Sizing: nothing is kept but the first bytes, where the header
// ends up. Piping: those header bytes went out first; libsndfile's own
// header writes (provisional and final) are dropped, and everything after
// the header must arrive in order, straight to the descriptor.
struct Stream {
  int fd;                     // -1 while sizing
  std::vector<uint8_t> head;  // sizing: the first bytes of the file
  int64_t header_bytes;       // piping: bytes already sent as the header
  int64_t position;
  int64_t length;
  bool failed;
};

constexpr size_t kHeadBytes = 4096;

sf_count_t stream_length(void* user) {
  return static_cast<Stream*>(user)->length;
}

sf_count_t stream_seek(sf_count_t offset, int whence, void* user) {
  auto* s = static_cast<Stream*>(user);
  const int64_t base = whence == SEEK_CUR ? s->position : whence == SEEK_END ? s->length : 0;
  if (base + offset < 0) return -1;
  s->position = base + offset;
  return s->position;
}

sf_count_t stream_read(void*, sf_count_t, void*) {
  return 0;
}

bool write_all(int fd, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    const ssize_t n = write(fd, bytes, count);
    if (n <= 0) return false;
    bytes += n;
    count -= static_cast<size_t>(n);
  }
  return true;
}

sf_count_t stream_write(const void* data, sf_count_t count, void* user) {
  auto* s = static_cast<Stream*>(user);
  const auto* bytes = static_cast<const uint8_t*>(data);
  const int64_t start = s->position;
  if (s->fd < 0) {
    for (int64_t i = start; i < std::min<int64_t>(start + count, kHeadBytes); ++i) {
      if (s->head.size() <= static_cast<size_t>(i)) s->head.resize(static_cast<size_t>(i) + 1);
      s->head[static_cast<size_t>(i)] = bytes[i - start];
    }
  } else {
    const int64_t skip = std::clamp<int64_t>(s->header_bytes - start, 0, count);
    if (skip < count) {
      // Past the header only in order: a pipe cannot go back.
      if (start + skip != s->length ||
          !write_all(s->fd, bytes + skip, static_cast<size_t>(count - skip)))
        s->failed = true;
    }
  }
  s->position = start + count;
  s->length = std::max(s->length, s->position);
  return count;
}

sf_count_t stream_tell(void* user) {
  return static_cast<Stream*>(user)->position;
}

SF_VIRTUAL_IO stream_io() {
  return SF_VIRTUAL_IO{stream_length, stream_seek, stream_read, stream_write, stream_tell};
}

// The header libsndfile writes for a WAV of exactly `frames` frames.
bool wav_header(SF_INFO info, int64_t frames, std::vector<uint8_t>& header) {
  Stream sizing{-1, {}, 0, 0, 0, false};
  SF_VIRTUAL_IO io = stream_io();
  SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &sizing);
  if (!file) return false;
  static const int16_t kSilence[4096 * 2] = {};
  const int64_t per_call = 4096 * 2 / info.channels;
  for (int64_t left = frames; left > 0; left -= per_call)
    sf_writef_short(file, kSilence, std::min(left, per_call));
  if (sf_close(file) != 0) return false;
  const int64_t header_bytes = sizing.length - frames * info.channels * 2;
  if (header_bytes <= 0 || header_bytes > static_cast<int64_t>(sizing.head.size())) return false;
  header.assign(sizing.head.begin(), sizing.head.begin() + header_bytes);
  return true;
}

}  // namespace

// Frames gathered before each write: fewer, larger writes to the file.
constexpr int32_t kBufferFrames = 16384;

struct AudioWriter {
  SNDFILE* file;
  int32_t channels;
  std::vector<int16_t> buffer;
  int32_t buffered;  // frames
  std::string path;  // empty for standard output
  std::string temp;
  int fd;  // of the temporary file, -1 for standard output
  Stream pipe;
  bool failed;
};

AudioFormat audio_format_of_path(const char* path) {
  std::string name(path);
  if (name == "-") return kAudioWav;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  if (ends_with(name, ".wav")) return kAudioWav;
  if (ends_with(name, ".flac")) return kAudioFlac;
  if (ends_with(name, ".aiff") || ends_with(name, ".aif")) return kAudioAiff;
  return kAudioUnknown;
}

AudioWriter* audio_writer_open(const char* path, int32_t channels, int32_t rate, int64_t frames,
                               FileResult& result) {
  const AudioFormat format = audio_format_of_path(path);
  if (format == kAudioUnknown) {
    result = file_refusal(FileError::kUnknownFormat);
    return nullptr;
  }
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = sndfile_format(format);
  auto* w = new AudioWriter{nullptr,
                            channels,
                            std::vector<int16_t>(static_cast<size_t>(kBufferFrames) * channels),
                            0,
                            {},
                            {},
                            -1,
                            Stream{-1, {}, 0, 0, 0, false},
                            false};
  if (std::strcmp(path, "-") == 0) {
    std::vector<uint8_t> header;
    if (frames < 0 || !wav_header(info, frames, header) ||
        !write_all(STDOUT_FILENO, header.data(), header.size())) {
      result = file_refusal(FileError::kStdoutFailed);
      delete w;
      return nullptr;
    }
    w->pipe = Stream{STDOUT_FILENO, {}, static_cast<int64_t>(header.size()), 0, 0, false};
    SF_VIRTUAL_IO io = stream_io();
    w->file = sf_open_virtual(&io, SFM_WRITE, &info, &w->pipe);
  } else {
    w->path = path;
    w->temp = w->path + ".XXXXXX";
    const int fd = mkstemp(w->temp.data());
    if (fd < 0) {
      result = file_refusal(FileError::kCannotCreate);
      delete w;
      return nullptr;
    }
    fchmod(fd, 0644);
    w->fd = fd;
    w->file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
  }
  if (!w->file) {
    result = file_refusal(FileError::kCannotCreate);
    result.reason = sf_strerror(nullptr);
    audio_writer_discard(w);
    return nullptr;
  }
  result = kFileOk;
  return w;
}

namespace {

bool flush(AudioWriter* w) {
  if (w->buffered > 0 && !w->failed &&
      sf_writef_short(w->file, w->buffer.data(), w->buffered) != w->buffered)
    w->failed = true;
  w->buffered = 0;
  if (w->pipe.failed) w->failed = true;
  return !w->failed;
}

}  // namespace

bool audio_writer_write(AudioWriter* w, const int16_t* frames, int32_t count) {
  while (count > 0 && !w->failed) {
    const int32_t n = std::min(count, kBufferFrames - w->buffered);
    std::memcpy(w->buffer.data() + static_cast<size_t>(w->buffered) * w->channels, frames,
                sizeof(int16_t) * static_cast<size_t>(n) * w->channels);
    w->buffered += n;
    frames += static_cast<size_t>(n) * w->channels;
    count -= n;
    if (w->buffered == kBufferFrames) flush(w);
  }
  return !w->failed;
}

FileResult audio_writer_finish(AudioWriter* w) {
  flush(w);
  bool closed = sf_close(w->file) == 0;
  w->file = nullptr;
  if (w->fd >= 0) {
    closed = fsync(w->fd) == 0 && closed;
    closed = close(w->fd) == 0 && closed;
    w->fd = -1;
  }
  if (w->failed || w->pipe.failed || !closed ||
      (!w->temp.empty() && std::rename(w->temp.c_str(), w->path.c_str()) != 0)) {
    audio_writer_discard(w);
    return file_refusal(FileError::kWriteFailed);
  }
  delete w;
  return kFileOk;
}

void audio_writer_discard(AudioWriter* w) {
  if (w->file) sf_close(w->file);
  if (w->fd >= 0) close(w->fd);
  if (!w->temp.empty()) unlink(w->temp.c_str());
  delete w;
}
