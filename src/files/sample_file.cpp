#include "files/sample_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "files/module_format.h"

namespace {

constexpr size_t kIffHeaderBytes = 104;
constexpr size_t kMaxSampleFileBytes = 1u << 20;  // enough for any header and body

uint32_t be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

int32_t clamped(uint32_t value) {
  return static_cast<int32_t>(std::min<uint32_t>(value, kMaxSampleBytes));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void put_tag(std::vector<uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

bool tag_at(const uint8_t* bytes, size_t size, size_t at, const char* tag) {
  return at + 4 <= size && std::memcmp(bytes + at, tag, 4) == 0;
}

// The sample's body and loop as an IFF file gives them; the whole file with
// no loop when it holds no body.
struct Body {
  const uint8_t* data;
  int32_t length;
  int32_t loop_start;
  int32_t loop_length;
};

Body find_body(const uint8_t* bytes, size_t size) {
  const size_t kept = std::min<size_t>(size, kMaxSampleBytes);
  Body body{bytes, static_cast<int32_t>(kept), 0, 2};
  if (!tag_at(bytes, size, 0, "FORM")) return body;
  int32_t a = 0;
  int32_t b = 0;
  for (size_t at = 0; at < size; ++at) {
    if (tag_at(bytes, size, at, "VHDR") && at + 16 <= size) {
      a = clamped(be32(bytes + at + 8));
      b = clamped(be32(bytes + at + 12));
      if (a == kMaxSampleBytes || a == b) {
        a = 0;
        b = 2;
      }
      at += 12;
    }
    if (tag_at(bytes, size, at, "BODY") && at + 8 <= size) {
      // A body cut short by the end of the file keeps what is there.
      const size_t available = size - (at + 8);
      const int32_t m =
          std::min(clamped(be32(bytes + at + 4)),
                   static_cast<int32_t>(std::min<size_t>(available, kMaxSampleBytes)));
      if (a == m) {
        a = 0;
        b = 2;
      }
      // Keep the loop inside the body.
      a = std::min(a, m);
      b = std::min(b, m - a);
      return Body{bytes + at + 8, m, a, b};
    }
  }
  return body;
}

}  // namespace

bool set_sample_data(Sample& sample, const void* data, int32_t bytes, int32_t loop_start,
                     int32_t loop_length) {
  std::free(sample.data);
  sample.data = nullptr;
  sample.volume = 64;
  sample.finetune = 0;
  sample.length = 0;
  sample.loop_start = 0;
  sample.loop_length = 2 * kFixOne;
  sample.loop_end = sample.loop_length;
  if (bytes == 0) return true;
  sample.data = static_cast<int8_t*>(std::malloc(static_cast<size_t>(bytes)));
  if (!sample.data) return false;
  std::memcpy(sample.data, data, static_cast<size_t>(bytes));
  sample.length = bytes * kFixOne;
  sample.loop_start = loop_start * kFixOne;
  sample.loop_length = loop_length * kFixOne;
  sample.loop_end = sample.loop_start + sample.loop_length;
  return true;
}

bool parse_sample_file(const uint8_t* bytes, size_t size, Sample& sample) {
  const Body body = find_body(bytes, size);
  return set_sample_data(sample, body.data, body.length, body.loop_start, body.loop_length);
}

std::vector<uint8_t> serialize_sample(const Sample& sample, bool iff) {
  const auto n = static_cast<uint32_t>(sample.data ? sample.length / kFixOne : 0);
  std::vector<uint8_t> out;
  out.reserve(kIffHeaderBytes + n);
  if (iff) {
    put_tag(out, "FORM");
    put32(out, 96 + n);
    put_tag(out, "8SVX");
    put_tag(out, "VHDR");
    put32(out, 20);
    put32(out, static_cast<uint32_t>(sample.loop_start / kFixOne));
    put32(out, static_cast<uint32_t>(sample.loop_length / kFixOne));
    put32(out, 32);
    out.insert(out.end(), {0x41, 0x56, 1, 0});  // 16726 per second, one octave, uncompressed
    put32(out, 65536);
    put_tag(out, "NAME");
    put32(out, 24);
    out.insert(out.end(), sample.name, sample.name + 22);
    out.insert(out.end(), {0, 0});
    put_tag(out, "ANNO");
    put32(out, 16);
    static const char kAnnotation[16] = "Tetrad";
    out.insert(out.end(), kAnnotation, kAnnotation + 16);
    put_tag(out, "BODY");
    put32(out, n);
  }
  if (n) out.insert(out.end(), sample.data, sample.data + n);
  return out;
}

std::string sample_name_of_path(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

std::string library_sample_path(const std::string& library, const char* name) {
  std::string text(name, strnlen(name, 22));
  if (text.size() < 3) return {};
  // "disk:name" is the file name in the subdirectory disk.
  const size_t colon = text.rfind(':');
  if (colon != std::string::npos) text[colon] = '/';
  // Nothing outside the library, and no hidden files or directories.
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('/', start), text.size());
    if (end == start || text[start] == '.') return {};
    start = end + 1;
  }
  return library + "/" + text;
}

bool fetch_library_sample(void* directory, const char* name, int8_t* data, int32_t bytes) {
  const std::string path = library_sample_path(static_cast<const char*>(directory), name);
  std::vector<uint8_t> file;
  if (path.empty() || !read_file_start(path.c_str(), kMaxSampleFileBytes, file).ok) return false;
  const Body body = find_body(file.data(), file.size());
  const int32_t kept = std::min(body.length, bytes);
  std::memcpy(data, body.data, static_cast<size_t>(kept));
  std::memset(data + kept, 0, static_cast<size_t>(bytes - kept));
  return true;
}
