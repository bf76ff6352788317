#include "files/sample_import.h"

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

int8_t to_byte(int64_t sum, int32_t channels) {
  // Full-scale 32-bit frames averaged, then scaled to 8 bits.
  const long rounded = std::lround(static_cast<double>(sum) / (channels * 16777216.0));
  return static_cast<int8_t>(std::clamp<long>(rounded, -128, 127));
}

void take_loop(SNDFILE* file, ImportedSample& out) {
  SF_INSTRUMENT instrument{};
  out.loop_start = 0;
  out.loop_length = 0;
  if (sf_command(file, SFC_GET_INSTRUMENT, &instrument, sizeof instrument) != SF_TRUE ||
      instrument.loop_count < 1 || instrument.loops[0].mode == SF_LOOP_NONE)
    return;
  const auto kept = static_cast<uint32_t>(out.data.size());
  const uint32_t start = instrument.loops[0].start;
  const uint32_t end = std::min(instrument.loops[0].end, kept);
  if (start >= end || end - start <= 2) return;
  out.loop_start = static_cast<int32_t>(start);
  out.loop_length = static_cast<int32_t>(end - start);
}

}  // namespace

ImportResult import_audio_sample(const uint8_t* bytes, size_t size, ImportedSample& out) {
  out = ImportedSample{};
  if (tag_at(bytes, size, 0, "FORM") && !is_aiff(bytes, size)) return {kImportNotAudio, kFileOk};
  Memory memory{bytes, static_cast<sf_count_t>(size), 0};
  SF_VIRTUAL_IO io{memory_length, memory_seek, memory_read, memory_write, memory_tell};
  SF_INFO info{};
  SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
  if (!file || info.channels < 1) {
    if (file) sf_close(file);
    if (!announces_audio(bytes, size)) return {kImportNotAudio, kFileOk};
    return {kImportRefused, file_refusal(FileError::kBadAudio)};
  }
  constexpr int32_t kChunkFrames = 1024;
  std::vector<int> chunk(static_cast<size_t>(kChunkFrames) * info.channels);
  out.data.reserve(static_cast<size_t>(std::clamp<sf_count_t>(info.frames, 0, kMaxSampleBytes)));
  for (;;) {
    const sf_count_t got = sf_readf_int(file, chunk.data(), kChunkFrames);
    if (got <= 0) break;
    for (sf_count_t f = 0; f < got; ++f) {
      if (out.data.size() == static_cast<size_t>(kMaxSampleBytes)) {
        out.cut = true;
        break;
      }
      int64_t sum = 0;
      for (int c = 0; c < info.channels; ++c)
        sum += chunk[static_cast<size_t>(f * info.channels + c)];
      out.data.push_back(to_byte(sum, info.channels));
    }
    if (out.cut) break;
  }
  take_loop(file, out);
  sf_close(file);
  return {kImportDone, kFileOk};
}

bool sample_from_import(const ImportedSample& imported, Sample& sample) {
  const bool loops = imported.loop_length > 2;
  return set_sample_data(sample, imported.data.data(), static_cast<int32_t>(imported.data.size()),
                         loops ? imported.loop_start : 0, loops ? imported.loop_length : 2);
}
