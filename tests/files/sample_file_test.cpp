// Sample files and the sample library: raw and IFF bytes, loops, names,
// truncated and hostile files.
#include "files/sample_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "../fields.h"

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

// "len", "ls", "ll", "le" in bytes, "vol", "fine", "d<k>" (byte k, unsigned).
std::string probe(const Sample& s, const std::string& name) {
  if (name[0] == 'd')
    return std::to_string(static_cast<uint8_t>(s.data[std::stoi(name.substr(1))]));
  const int32_t v = name == "len"   ? s.length / kFixOne
                    : name == "ls"  ? s.loop_start / kFixOne
                    : name == "ll"  ? s.loop_length / kFixOne
                    : name == "le"  ? s.loop_end / kFixOne
                    : name == "vol" ? s.volume
                                    : s.finetune;
  return std::to_string(v);
}

TEST(SampleFile, RawAndIffFilesGiveTheirBodyAndALoopInsideIt) {
  // file, bytes kept of it, checks
  const std::tuple<std::vector<uint8_t>, size_t, const char*> cases[] = {
      {ramp(1000), 1000, "len=1000 ls=0 ll=2 vol=64 fine=0 d999=181"},
      {ramp(70000), 70000, "len=65534"},
      {iff_file(100, 300, 999), 1103, "len=999 ls=100 ll=300 le=400 d998=178"},
      // Loops that are not inside the body become no loop, or are cut.
      {iff_file(200, 200, 500), 604, "ls=0 ll=2"},
      {iff_file(500, 10, 500), 604, "ls=0 ll=2"},
      {iff_file(400, 300, 500), 604, "len=500 le=500"},
      // A cut body keeps the bytes that are there (104 header bytes).
      {iff_file(10, 20, 800), 500, "len=396 ls=10 ll=20 d395=161"},
  };
  for (const auto& [file, cut, expect] : cases) {
    OwnedSample o;
    ASSERT_TRUE(parse_sample_file(file.data(), cut, o.s)) << expect;
    EXPECT_EQ(fields::wrong(expect, [&](const std::string& n) { return probe(o.s, n); }), "");
  }
  // Raw files save back as their bytes.
  OwnedSample o;
  const std::vector<uint8_t> raw = ramp(1000);
  ASSERT_TRUE(parse_sample_file(raw.data(), raw.size(), o.s));
  EXPECT_EQ(serialize_sample(o.s, false), raw);
}

// Names "group:name" (or "name") lead to <library>/group/name; names that
// would leave the library, or are too short, lead nowhere. A fetched sample
// is padded to the song's length; from an IFF file it is the body alone.
TEST(SampleFile, LibraryPathsAndFetch) {
  EXPECT_EQ(sample_name_of_path("/home/me/samples/kick") + sample_name_of_path("d/o:n"), "kicko:n");
  char field[22];
  std::memset(field, 'x', sizeof field);  // a full field without a terminator
  EXPECT_EQ(library_sample_path("/lib", field), "/lib/" + std::string(22, 'x'));
  fields::each(
      "st-01:bass=st-01/bass a:b:c=a:b/c bassline=bassline ab= ..:passwd= st:../../x= "
      "/etc/passwd= st-01:=",
      [](const std::string& name, const std::string& path) {
        EXPECT_EQ(library_sample_path("/lib", name.c_str()), path.empty() ? "" : "/lib/" + path);
      });
  const auto dir =
      std::filesystem::temp_directory_path() / ("tetrad-library-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "st-01");
  const std::vector<uint8_t> raw = ramp(50), iff = iff_file(0, 2, 30);
  std::ofstream(dir / "st-01" / "bass", std::ios::binary)
      .write(reinterpret_cast<const char*>(raw.data()), 50);
  std::ofstream(dir / "lead", std::ios::binary)
      .write(reinterpret_cast<const char*>(iff.data()), 134);
  std::string library = dir.string();
  int8_t data[80];
  std::memset(data, 77, sizeof data);  // padding must overwrite this
  ASSERT_TRUE(fetch_library_sample(library.data(), "st-01:bass", data, 80));
  EXPECT_EQ(static_cast<uint8_t>(data[49]), 147);
  EXPECT_EQ(data[50] | data[79], 0);
  ASSERT_TRUE(fetch_library_sample(library.data(), "lead", data, 10));
  EXPECT_EQ(data[9], 27);
  EXPECT_FALSE(fetch_library_sample(library.data(), "st-01", data, 10));  // a directory
  std::filesystem::remove_all(dir);
}

}  // namespace
