// Module reading and writing: byte-exact round trips and robust refusal of
// damaged files.
#include "files/module_format.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "../engine/module_builder.h"
#include "../fields.h"

namespace {

using test_module::make_sample;
using test_module::set_cell;

struct PlayerDeleter {
  void operator()(Player* p) const { player_destroy(p); }
};
using PlayerPtr = std::unique_ptr<Player, PlayerDeleter>;

PlayerPtr fresh() {
  return PlayerPtr(player_create(44100));
}

// A module with two patterns in a three-entry order list and three samples,
// one of an odd byte length.
PlayerPtr sample_module() {
  PlayerPtr p = fresh();
  std::memcpy(p->song_name, "round trip", 10);
  make_sample(p.get(), 1, 100, 20, 40, 64, [](int32_t i) { return i - 50; });
  make_sample(p.get(), 2, 7, 0, 2, 33, [](int32_t i) { return 3 * i + 1; });
  make_sample(p.get(), 5, 64, 0, 64, 12, [](int32_t i) { return i & 1 ? 90 : -90; });
  std::memcpy(p->samples[1].name, "first", 5);
  p->samples[5].finetune = 9;
  set_cell(p.get(), 0, 0, 0, 428, 1, 0xC, 0x20);
  set_cell(p.get(), 0, 63, 3, 113, 31, 0xE, 0x6F);
  set_cell(p.get(), 1, 17, 2, 856, 16, 0xF, 0x7D);
  p->song_length = 3;
  p->order[0] = 0;
  p->order[1] = 1;
  p->order[2] = 0;
  return p;
}

FileResult parse(const std::vector<uint8_t>& bytes, Player* into, ModuleKind kind = kKindModule,
                 const SampleFetch* fetch = nullptr) {
  return parse_module(bytes.data(), bytes.size(), into, kind, fetch);
}

constexpr size_t kSamplesAt = 1084;  // + 1024 per pattern

TEST(ModuleFormat, SaveLoadSaveGivesTheSameBytes) {
  const std::vector<uint8_t> bytes = serialize_module(sample_module().get(), kKindModule);
  // 2 patterns, samples of 100, 7 (+1 pad) and 64 bytes.
  ASSERT_EQ(bytes.size(), kSamplesAt + 2 * 1024 + 100 + 8 + 64);
  EXPECT_EQ(bytes[951], 127);
  EXPECT_EQ(std::memcmp(bytes.data() + 1080, "M.K.", 4), 0);
  std::vector<uint8_t> demo;
  ASSERT_TRUE(read_whole_file(TETRAD_SOURCE_DIR "/data/demo.mod", kMaxModuleFileBytes, demo).ok);
  for (const auto& file : {bytes, demo}) {
    PlayerPtr loaded = fresh();
    ASSERT_TRUE(parse(file, loaded.get()).ok);
    EXPECT_EQ(serialize_module(loaded.get(), kKindModule), file);
  }
}

// A field of a loaded player: "song" (length), "pats" (pattern count),
// "p<n>r<r>c<c>" (a cell: period:sample:effect and parameter:its nibbles),
// "s<n>.len", ".ls", ".ll", ".le" (bytes), ".vol", ".fine", ".d<k>" (byte k).
std::string probe(const Player* p, const std::string& name) {
  if (name == "song") return std::to_string(p->song_length);
  if (name == "pats") return std::to_string(p->pattern_count);
  int n = 0, k = 0, c = 0;
  if (std::sscanf(name.c_str(), "p%dr%dc%d", &n, &k, &c) == 3) {
    const PatternCell& cell = p->patterns[n][k][c];
    char text[40];
    std::snprintf(text, sizeof text, "%d:%d:%X%02X:%X%X", cell.period, cell.sample, cell.effect,
                  cell.param, cell.param_hi, cell.param_lo);
    return text;
  }
  char field[8] = {};
  std::sscanf(name.c_str(), "s%d.%7[a-z]%d", &n, field, &k);
  const Sample& s = p->samples[n & 31];
  const std::string f = field;
  if (f == "d") return s.data ? std::to_string(s.data[k]) : "none";
  const int32_t v = f == "len"    ? s.length / kFixOne
                    : f == "ls"   ? s.loop_start / kFixOne
                    : f == "ll"   ? s.loop_length / kFixOne
                    : f == "le"   ? s.loop_end / kFixOne
                    : f == "vol"  ? s.volume
                    : f == "fine" ? s.finetune
                                  : -999;
  return std::to_string(v);
}

struct ByteCase {
  const char* what;
  const char* edits;   // "offset=byte", "size=n", "size-n", "size+n"
  const char* result;  // the refusal message, or "name=value" checks
};

// Sample 1's header is at 20: length word at 42, finetune 44, volume 45,
// loop start 46, loop length 48. The song length is at 950, the order list
// at 952, the signature at 1080.
const ByteCase kBytes[] = {
    {"as saved", "",
     "song=3 pats=2 s1.len=100 s1.ls=20 s1.ll=40 s1.le=60 s5.fine=9 s5.d63=90 missing=0"},
    {"cells, and none past the last pattern", "", "p0r63c3=113:31:E6F:6F p2r0c0=0:0:000:00"},
    {"an odd length comes back padded", "", "s2.len=8 s2.d6=19 s2.d7=0 s5.d0=-90 s5.d1=90"},
    {"another signature", "1081=33", "NOT A MODULE"},
    {"too short for a header", "size=1083", "NOT A MODULE"},
    {"packed", "0=80 1=65 2=67 3=75", "PACKED MODULE"},
    {"a pattern above 127", "957=128", "BAD ORDER LIST"},
    {"pattern 127 needs 128 patterns", "957=127", "FILE TRUNCATED"},
    {"cut inside the patterns", "size=2584", "FILE TRUNCATED"},
    // The data of samples 1, 2 and 5: 100 + 8 (7 padded) + 64 bytes.
    {"cut where the samples start", "size=3132", "s1.len=100 s1.d0=0 s5.d63=0 missing=172"},
    {"the last sample cut short keeps its bytes", "size-40",
     "s5.len=64 s5.d23=90 s5.d24=0 missing=40"},
    {"longer than any module: the tail is ignored", "size+70000", "s5.d63=90 song=3 missing=0"},
    {"volume above 64", "45=99", "s1.vol=64"},
    {"finetune is the low nibble", "44=249", "s1.fine=9"},
    {"song length 0", "950=0", "song=1"},
    {"song length 128", "950=128", "song=128"},
    {"song length above 128", "950=200", "song=128"},
    {"loop length 0 is no loop", "48=0 49=0", "s1.ls=20 s1.ll=2 s1.le=22"},
    {"loop starting at the end", "46=0 47=50", "s1.ls=0 s1.ll=2"},
    {"loop starting past the end", "46=255 47=255", "s1.ls=0 s1.ll=2"},
    {"loop running past the end is cut", "46=0 47=40 48=0 49=50", "s1.ls=80 s1.ll=20 s1.le=100"},
    {"a 2-byte room at the end", "46=0 47=49", "s1.ls=98 s1.ll=2 s1.le=100"},
    {"an empty sample keeps its loop words", "108=0 109=10", "s3.len=0 s3.ll=20 s3.d0=none"},
};

TEST(ModuleFormat, BytesGiveTheResultOrTheRefusal) {
  const std::vector<uint8_t> good = serialize_module(sample_module().get(), kKindModule);
  for (const ByteCase& c : kBytes) {
    SCOPED_TRACE(std::string(c.what) + ": " + c.edits);
    std::vector<uint8_t> bytes = good;
    std::istringstream edits(c.edits);
    for (std::string e; edits >> e;) {
      const size_t at = e.find_first_of("=+-");
      const long v = std::stol(e.substr(at + 1));
      if (e.compare(0, 4, "size") != 0)
        bytes[std::stoul(e.substr(0, at))] = static_cast<uint8_t>(v);
      else
        bytes.resize(e[at] == '=' ? v : e[at] == '+' ? bytes.size() + v : bytes.size() - v);
    }
    PlayerPtr p = fresh();
    const FileResult r = parse(bytes, p.get());
    if (std::strchr(c.result, '=') == nullptr) {
      EXPECT_FALSE(r.ok);
      EXPECT_STREQ(r.ok ? "" : r.message, c.result);
      continue;
    }
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(fields::wrong(c.result,
                            [&](const std::string& n) {
                              return n == "missing" ? std::to_string(r.missing_bytes)
                                                    : probe(p.get(), n);
                            }),
              "");
  }
}

// Four-channel modules under the other signatures real collections hold load
// as they are and save as "M.K." unless they need more than 64 patterns.
TEST(ModuleFormat, OtherSignaturesLoadAndSaveAsTheCommonOneUnlessTheyNeedTheirOwn) {
  PlayerPtr made = fresh();
  made->song_length = 2;
  made->order[1] = 70;  // 71 patterns
  const std::vector<uint8_t> plain = serialize_module(made.get(), kKindModule);
  // signature, highest pattern in the order list when saving, saved as
  const std::tuple<const char*, int32_t, const char*> cases[] = {
      {"M!K!", 70, "M!K!"}, {"M!K!", 64, "M!K!"}, {"M!K!", 63, "M.K."},
      {"4CHN", 70, "M.K."}, {"FLT4", 70, "M.K."}, {"M.K.", 100, "M.K."}};
  for (const auto& [loaded, highest, saved] : cases) {
    std::vector<uint8_t> bytes = plain;
    std::memcpy(bytes.data() + 1080, loaded, 4);
    PlayerPtr p = fresh();
    ASSERT_TRUE(parse(bytes, p.get()).ok) << loaded;
    EXPECT_EQ(std::string(p->signature, 4), loaded);
    p->order[1] = highest;
    const std::vector<uint8_t> out = serialize_module(p.get(), kKindModule);
    EXPECT_EQ(std::string(out.begin() + 1080, out.begin() + 1084), saved) << highest;
  }
}

// Files are read whole up to the largest module; a larger file, a directory
// or a missing file is refused. (A refused file leaving the loaded module in
// place shows in the disk-op tests.)
TEST(ModuleFiles, TheLargestFileIsReadAndLargerOnesRefused) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tetrad-files-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string text = dir / "text.mod";
  std::ofstream(text) << "not a module";
  std::filesystem::resize_file(text, kMaxModuleFileBytes);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(read_whole_file(text.c_str(), kMaxModuleFileBytes, bytes).ok);
  EXPECT_EQ(bytes.size(), kMaxModuleFileBytes);
  std::filesystem::resize_file(text, kMaxModuleFileBytes + 1);
  const std::pair<std::string, const char*> refused[] = {
      {text, "FILE TOO BIG"}, {dir, "NOT A FILE"}, {text + "x", "FILE NOT FOUND"}};
  for (const auto& [path, message] : refused)
    EXPECT_STREQ(read_whole_file(path.c_str(), kMaxModuleFileBytes, bytes).message, message);
  // A path through a file names nothing; a save into a missing directory
  // cannot create its file.
  EXPECT_STREQ(read_whole_file((text + "/inner").c_str(), 10, bytes).message, "FILE NOT FOUND");
  EXPECT_STREQ(write_file_replacing((dir / "none" / "x.mod").c_str(), bytes).message,
               "CAN'T SAVE FILE");
  std::filesystem::remove_all(dir);
}

// A failure says why in the message line's 16 upper-case characters, from
// what the system reported; reasons the user cannot act on keep the
// operation's own text.
TEST(ModuleFiles, FailuresNameTheirReason) {
  const struct {
    int error_number;
    FileError otherwise;
    const char* message;
  } cases[] = {{EACCES, FileError::kCannotOpen, "NO PERMISSION"},
               {EPERM, FileError::kCannotCreate, "NO PERMISSION"},
               {EROFS, FileError::kCannotCreate, "READ-ONLY DIR"},
               {ENOSPC, FileError::kWriteFailed, "DISK FULL"},
               {EDQUOT, FileError::kWriteFailed, "DISK FULL"},
               {ENOENT, FileError::kCannotOpen, "FILE NOT FOUND"},
               {ENOENT, FileError::kCannotCreate, "CAN'T SAVE FILE"},
               {EIO, FileError::kWriteFailed, "SAVE FAILED"},
               {EIO, FileError::kCannotOpen, "CAN'T OPEN FILE"}};
  for (const auto& c : cases)
    EXPECT_STREQ(errno_refusal(c.error_number, c.otherwise).message, c.message) << c.message;
  for (int32_t code = 1; code <= static_cast<int32_t>(FileError::kStdoutFailed); ++code) {
    const std::string message = file_refusal(static_cast<FileError>(code)).message;
    EXPECT_LE(message.size(), 16u) << message;
    for (char ch : message) EXPECT_FALSE(std::islower(static_cast<unsigned char>(ch))) << message;
  }
}

}  // namespace
