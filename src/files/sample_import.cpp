#include "files/sample_import.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/sample_file.h"

namespace {

// libsndfile reads the file from memory.
struct Memory {
  const uint8_t* bytes;
  sf_count_t size;
  sf_count_t position;
};

sf_count_t memory_length(void* user) {
  return static_cast<Memory*>(user)->size;
}

sf_count_t memory_seek(sf_count_t offset, int whence, void* user) {
  auto* m = static_cast<Memory*>(user);
  const sf_count_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? m->size : 0;
  if (base + offset < 0 || base + offset > m->size) return -1;
  m->position = base + offset;
  return m->position;
}

sf_count_t memory_read(void* data, sf_count_t count, void* user) {
  auto* m = static_cast<Memory*>(user);
  const sf_count_t n = std::clamp<sf_count_t>(m->size - m->position, 0, count);
  std::memcpy(data, m->bytes + m->position, static_cast<size_t>(n));
  m->position += n;
  return n;
}

sf_count_t memory_write(const void*, sf_count_t, void*) {
  return 0;
}

sf_count_t memory_tell(void* user) {
  return static_cast<Memory*>(user)->position;
}

bool tag_at(const uint8_t* bytes, size_t size, size_t at, const char* tag) {
  return at + 4 <= size && std::memcmp(bytes + at, tag, 4) == 0;
}

bool is_aiff(const uint8_t* bytes, size_t size) {
  return tag_at(bytes, size, 0, "FORM") &&
         (tag_at(bytes, size, 8, "AIFF") || tag_at(bytes, size, 8, "AIFC"));
}

// Files whose first bytes name a format libsndfile reads: if it cannot
// read them they are damaged, not raw sample bytes.
bool announces_audio(const uint8_t* bytes, size_t size) {
  return (tag_at(bytes, size, 0, "RIFF") && tag_at(bytes, size, 8, "WAVE")) ||
         is_aiff(bytes, size) || tag_at(bytes, size, 0, "fLaC");
}

int8_t to_byte(double value) {
  return static_cast<int8_t>(std::clamp<long>(std::lround(value), -128, 127));
}

// The first loop the file names, in its frames; false for none.
bool file_loop(SNDFILE* file, uint32_t* start, uint32_t* end) {
  SF_INSTRUMENT instrument{};
  if (sf_command(file, SFC_GET_INSTRUMENT, &instrument, sizeof instrument) != SF_TRUE ||
      instrument.loop_count < 1 || instrument.loops[0].mode == SF_LOOP_NONE)
    return false;
  *start = instrument.loops[0].start;
  *end = instrument.loops[0].end;
  return true;
}

// The loop in the kept data, scaled by the conversion's ratio; a converted
// loop keeps to even bytes, as a module stores it.
void take_loop(uint32_t start, uint32_t end, double ratio, bool converted, ImportedSample& out) {
  const auto kept = static_cast<double>(out.data.size());
  double from = start * ratio, to = std::min(end * ratio, kept);
  if (converted) {
    from = 2 * std::round(from / 2);
    to = std::min(2 * std::round(to / 2), kept);
  }
  if (from >= to || to - from <= 2) return;
  out.loop_start = static_cast<int32_t>(from);
  out.loop_length = static_cast<int32_t>(to - from);
}

// The mono frames, as 8-bit values not yet rounded, converted from
// `from_rate` to `rate` when both are set and differ.
bool convert(std::vector<double>& frames, double from_rate, int32_t rate) {
  if (rate <= 0 || from_rate <= 0 || frames.empty() || from_rate == rate) return true;
  const double ratio = rate / from_rate;
  const std::vector<float> in(frames.begin(), frames.end());
  std::vector<float> converted(static_cast<size_t>(std::ceil(frames.size() * ratio)) + 1);
  SRC_DATA data{};
  data.data_in = in.data();
  data.data_out = converted.data();
  data.input_frames = static_cast<long>(frames.size());
  data.output_frames = static_cast<long>(converted.size());
  data.src_ratio = ratio;
  if (src_simple(&data, SRC_SINC_BEST_QUALITY, 1) != 0) return false;
  frames.assign(converted.begin(), converted.begin() + data.output_frames_gen);
  return true;
}

}  // namespace

ImportResult import_audio_sample(const uint8_t* bytes, size_t size, ImportedSample& out,
                                 int32_t rate) {
  out = ImportedSample{};
  if (tag_at(bytes, size, 0, "FORM") && !is_aiff(bytes, size)) return {kImportNotAudio, kFileOk};
  Memory memory{bytes, static_cast<sf_count_t>(size), 0};
  SF_VIRTUAL_IO io{memory_length, memory_seek, memory_read, memory_write, memory_tell};
  SF_INFO info{};
  SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
  if (!file || info.channels < 1 || info.samplerate < 1) {
    if (file) sf_close(file);
    if (!announces_audio(bytes, size)) return {kImportNotAudio, kFileOk};
    return {kImportRefused, file_refusal(FileError::kBadAudio)};
  }
  const bool converting = rate > 0 && rate != info.samplerate;
  const double ratio = converting ? static_cast<double>(rate) / info.samplerate : 1.0;
  // Frames enough for the longest sample, and a few for the converter's
  // filter; a file with more is cut.
  const auto wanted = static_cast<size_t>(std::ceil(kMaxSampleBytes / ratio)) + 64;
  constexpr int32_t kChunkFrames = 1024;
  std::vector<int> chunk(static_cast<size_t>(kChunkFrames) * info.channels);
  std::vector<double> frames;
  frames.reserve(
      std::min<size_t>(wanted, static_cast<size_t>(std::max<sf_count_t>(info.frames, 0))));
  bool more = false;
  for (sf_count_t got; !more && (got = sf_readf_int(file, chunk.data(), kChunkFrames)) > 0;) {
    for (sf_count_t f = 0; f < got; ++f) {
      if (frames.size() == wanted) {
        more = true;
        break;
      }
      int64_t sum = 0;
      for (int c = 0; c < info.channels; ++c)
        sum += chunk[static_cast<size_t>(f * info.channels + c)];
      // Full-scale 32-bit frames averaged, in 8-bit steps.
      frames.push_back(static_cast<double>(sum) / (info.channels * 16777216.0));
    }
  }
  uint32_t loop_start = 0, loop_end = 0;
  const bool loops = file_loop(file, &loop_start, &loop_end);
  sf_close(file);
  if (!convert(frames, info.samplerate, converting ? rate : 0))
    return {kImportRefused, file_refusal(FileError::kBadAudio)};
  const size_t kept = std::min<size_t>(frames.size(), kMaxSampleBytes);
  out.cut = more || frames.size() > kept;
  out.data.resize(kept);
  for (size_t i = 0; i < kept; ++i) out.data[i] = to_byte(frames[i]);
  if (loops) take_loop(loop_start, loop_end, ratio, converting, out);
  return {kImportDone, kFileOk};
}

bool sample_from_import(const ImportedSample& imported, Sample& sample) {
  const bool loops = imported.loop_length > 2;
  return set_sample_data(sample, imported.data.data(), static_cast<int32_t>(imported.data.size()),
                         loops ? imported.loop_start : 0, loops ? imported.loop_length : 2);
}
