// Sample files and the sample library: raw and IFF bytes, loops, names,
// truncated and hostile files.
#include "files/sample_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct OwnedSample {
  OwnedSample() : s{} { sample_clear(s); }
  ~OwnedSample() { std::free(s.data); }
  Sample s;
};

std::vector<uint8_t> ramp(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 3);
  return v;
}

// An IFF file as we write it, with the loop and body given.
std::vector<uint8_t> iff_file(int32_t loop_start, int32_t loop_length, size_t body) {
  OwnedSample o;
  const std::vector<uint8_t> data = ramp(body);
  o.s.data = static_cast<int8_t*>(std::malloc(body ? body : 1));
  std::memcpy(o.s.data, data.data(), body);
  o.s.length = static_cast<int32_t>(body) * kFixOne;
  o.s.loop_start = loop_start * kFixOne;
  o.s.loop_length = loop_length * kFixOne;
  std::memcpy(o.s.name, "voice", 5);
  return serialize_sample(o.s, true);
}

TEST(SampleFile, RawFilesAreTheirBytesWithoutALoop) {
  OwnedSample o;
  const std::vector<uint8_t> file = ramp(1000);
  ASSERT_TRUE(parse_sample_file(file.data(), file.size(), o.s));
  EXPECT_EQ(o.s.length, 1000 * kFixOne);
  EXPECT_EQ(o.s.loop_start, 0);
  EXPECT_EQ(o.s.loop_length, 2 * kFixOne);
  EXPECT_EQ(o.s.volume, 64);
  EXPECT_EQ(o.s.finetune, 0);
  EXPECT_EQ(std::memcmp(o.s.data, file.data(), 1000), 0);
  EXPECT_EQ(serialize_sample(o.s, false), file);

  const std::vector<uint8_t> big = ramp(70000);
  ASSERT_TRUE(parse_sample_file(big.data(), big.size(), o.s));
  EXPECT_EQ(o.s.length, kMaxSampleBytes * kFixOne);
}

TEST(SampleFile, IffRoundTripKeepsLengthAndLoop) {
  const std::vector<uint8_t> file = iff_file(100, 300, 999);
  ASSERT_EQ(file.size(), 104u + 999);
  EXPECT_EQ(std::memcmp(file.data(), "FORM", 4), 0);
  EXPECT_EQ(std::memcmp(file.data() + 8, "8SVX", 4), 0);
  EXPECT_EQ(std::memcmp(file.data() + 48, "voice", 5), 0);
  EXPECT_EQ(file[4 + 3], (96 + 999) & 0xFF);

  OwnedSample o;
  ASSERT_TRUE(parse_sample_file(file.data(), file.size(), o.s));
  EXPECT_EQ(o.s.length, 999 * kFixOne);
  EXPECT_EQ(o.s.loop_start, 100 * kFixOne);
  EXPECT_EQ(o.s.loop_length, 300 * kFixOne);
  EXPECT_EQ(o.s.loop_end, 400 * kFixOne);
  EXPECT_EQ(static_cast<uint8_t>(o.s.data[998]), static_cast<uint8_t>(998 * 3));
}

TEST(SampleFile, DegenerateIffLoopsBecomeNoLoop) {
  OwnedSample o;
  for (const auto& file : {iff_file(200, 200, 500), iff_file(500, 10, 500)}) {
    ASSERT_TRUE(parse_sample_file(file.data(), file.size(), o.s));
    EXPECT_EQ(o.s.loop_start, 0);
    EXPECT_EQ(o.s.loop_length, 2 * kFixOne);
  }
  // A loop running past the body is cut to it.
  const std::vector<uint8_t> past = iff_file(400, 300, 500);
  ASSERT_TRUE(parse_sample_file(past.data(), past.size(), o.s));
  EXPECT_EQ(o.s.loop_end, o.s.length);
}

TEST(SampleFile, TruncatedIffFilesStayInsideTheirBytes) {
  const std::vector<uint8_t> file = iff_file(10, 20, 800);
  OwnedSample o;
  for (size_t cut : {size_t{3}, size_t{18}, size_t{30}, size_t{100}, size_t{104}, size_t{500}}) {
    const std::vector<uint8_t> part(file.begin(), file.begin() + cut);
    ASSERT_TRUE(parse_sample_file(part.data(), part.size(), o.s)) << cut;
    ASSERT_LE(o.s.length, static_cast<int32_t>(cut) * kFixOne);
    ASSERT_LE(o.s.loop_end, std::max(o.s.length, 2 * kFixOne));
  }
  // The body cut at 500 bytes keeps the 396 bytes that are there.
  const std::vector<uint8_t> part(file.begin(), file.begin() + 500);
  ASSERT_TRUE(parse_sample_file(part.data(), part.size(), o.s));
  EXPECT_EQ(o.s.length, 396 * kFixOne);
}

TEST(SampleFile, NamesAndLibraryPaths) {
  EXPECT_EQ(sample_name_of_path("/home/me/samples/kick"), "kick");
  EXPECT_EQ(sample_name_of_path("snare"), "snare");
  EXPECT_EQ(sample_name_of_path("dir/odd:name"), "odd:name");

  char field[22];
  std::memset(field, 'x', sizeof field);  // a full field without a terminator
  EXPECT_EQ(library_sample_path("/lib", field), "/lib/" + std::string(22, 'x'));
  EXPECT_EQ(library_sample_path("/lib", "st-01:bass"), "/lib/st-01/bass");
  EXPECT_EQ(library_sample_path("/lib", "a:b:c"), "/lib/a:b/c");
  EXPECT_EQ(library_sample_path("/lib", "bassline"), "/lib/bassline");
  EXPECT_EQ(library_sample_path("/lib", "ab"), "");
  EXPECT_EQ(library_sample_path("/lib", "..:passwd"), "");
  EXPECT_EQ(library_sample_path("/lib", "st:../../x"), "");
  EXPECT_EQ(library_sample_path("/lib", "/etc/passwd"), "");
  EXPECT_EQ(library_sample_path("/lib", "st-01:"), "");
}

TEST(SampleFile, LibraryFetchFitsTheSongsLength) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("tetrad-library-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "st-01");
  {
    const std::vector<uint8_t> raw = ramp(50);
    std::ofstream(dir / "st-01" / "bass", std::ios::binary)
        .write(reinterpret_cast<const char*>(raw.data()), 50);
    const std::vector<uint8_t> iff = iff_file(0, 2, 30);
    std::ofstream(dir / "lead", std::ios::binary)
        .write(reinterpret_cast<const char*>(iff.data()), static_cast<std::streamsize>(iff.size()));
  }
  std::string library = dir.string();
  int8_t data[80];
  std::memset(data, 77, sizeof data);
  ASSERT_TRUE(fetch_library_sample(library.data(), "st-01:bass", data, 80));
  EXPECT_EQ(static_cast<uint8_t>(data[49]), static_cast<uint8_t>(49 * 3));
  EXPECT_EQ(data[50], 0);  // padded to the song's length
  EXPECT_EQ(data[79], 0);
  ASSERT_TRUE(fetch_library_sample(library.data(), "lead", data, 10));
  EXPECT_EQ(data[9], 27);  // the body, not the IFF header
  EXPECT_FALSE(fetch_library_sample(library.data(), "st-01:none", data, 10));
  EXPECT_FALSE(fetch_library_sample(library.data(), "st-01", data, 10));  // a directory
  std::filesystem::remove_all(dir);
}

}  // namespace
