// Module reading and writing: byte-exact round trips and robust refusal of
// damaged files.
#include "files/module_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "../engine/module_builder.h"
#include "shell/module_io.h"

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

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

constexpr size_t kSamplesAt = 1084;  // + 1024 per pattern

TEST(ModuleFormat, SaveLoadSaveGivesTheSameBytes) {
  const PlayerPtr original = sample_module();
  const std::vector<uint8_t> bytes = serialize_module(original.get(), kKindModule);
  // 2 patterns, samples of 100, 7 (+1 pad) and 64 bytes.
  ASSERT_EQ(bytes.size(), kSamplesAt + 2 * 1024 + 100 + 8 + 64);
  EXPECT_EQ(bytes[951], 127);
  EXPECT_EQ(std::memcmp(bytes.data() + 1080, "M.K.", 4), 0);

  PlayerPtr loaded = fresh();
  ASSERT_TRUE(parse(bytes, loaded.get()).ok);
  EXPECT_EQ(serialize_module(loaded.get(), kKindModule), bytes);
  EXPECT_EQ(loaded->song_length, 3);
  EXPECT_EQ(loaded->pattern_count, 2);
  EXPECT_EQ(loaded->samples[5].finetune, 9);
  EXPECT_EQ(loaded->samples[1].loop_start, 20 * kFixOne);
  EXPECT_EQ(loaded->samples[1].loop_end, 60 * kFixOne);
  const PatternCell& cell = loaded->patterns[0][63][3];
  EXPECT_EQ(cell.period, 113);
  EXPECT_EQ(cell.sample, 31);
  EXPECT_EQ(cell.effect, 0xE);
  EXPECT_EQ(cell.param, 0x6F);
  EXPECT_EQ(cell.param_hi, 6);
  EXPECT_EQ(cell.param_lo, 0xF);
}

TEST(ModuleFormat, OddLengthSamplesDoNotShiftTheirSuccessors) {
  const PlayerPtr original = sample_module();
  PlayerPtr loaded = fresh();
  ASSERT_TRUE(parse(serialize_module(original.get(), kKindModule), loaded.get()).ok);
  // The 7-byte sample comes back padded to the 8 its header declares.
  EXPECT_EQ(loaded->samples[2].length, 8 * kFixOne);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(loaded->samples[2].data[i], 3 * i + 1);
  EXPECT_EQ(loaded->samples[2].data[7], 0);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(loaded->samples[5].data[i], i & 1 ? 90 : -90);
}

TEST(ModuleFormat, TheDemoModuleRoundTrips) {
  const std::vector<uint8_t> file = read_file(TETRAD_SOURCE_DIR "/data/demo.mod");
  ASSERT_GT(file.size(), kSamplesAt);
  PlayerPtr loaded = fresh();
  ASSERT_TRUE(parse(file, loaded.get()).ok);
  EXPECT_EQ(serialize_module(loaded.get(), kKindModule), file);
}

TEST(ModuleFormat, RefusesWhatIsNotAModule) {
  PlayerPtr p = fresh();
  std::vector<uint8_t> bytes = serialize_module(sample_module().get(), kKindModule);

  std::vector<uint8_t> unsigned_file = bytes;
  std::memcpy(unsigned_file.data() + 1080, "6CHN", 4);
  FileResult r = parse(unsigned_file, p.get());
  EXPECT_FALSE(r.ok);
  EXPECT_STREQ(r.message, "NOT A MODULE");

  EXPECT_STREQ(parse(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1083), p.get()).message,
               "NOT A MODULE");
  EXPECT_FALSE(parse({}, p.get()).ok);

  std::vector<uint8_t> packed = bytes;
  std::memcpy(packed.data(), "PACK", 4);
  EXPECT_STREQ(parse(packed, p.get()).message, "PACKED MODULE");

  std::vector<uint8_t> bad_order = bytes;
  bad_order[952 + 5] = 128;
  r = parse(bad_order, p.get());
  EXPECT_FALSE(r.ok);
  EXPECT_STREQ(r.message, "BAD ORDER LIST");

  // Cut inside the second pattern.
  r = parse(std::vector<uint8_t>(bytes.begin(), bytes.begin() + kSamplesAt + 1500), p.get());
  EXPECT_FALSE(r.ok);
  EXPECT_STREQ(r.message, "FILE TRUNCATED");
}

TEST(ModuleFormat, ATruncatedLastSampleKeepsWhatTheFileHolds) {
  std::vector<uint8_t> bytes = serialize_module(sample_module().get(), kKindModule);
  bytes.resize(bytes.size() - 40);  // 24 of sample 5's 64 bytes remain
  PlayerPtr p = fresh();
  ASSERT_TRUE(parse(bytes, p.get()).ok);
  const Sample& s = p->samples[5];
  ASSERT_EQ(s.length, 64 * kFixOne);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(s.data[i], i & 1 ? 90 : -90);
  for (int i = 24; i < 64; ++i) EXPECT_EQ(s.data[i], 0);
}

TEST(ModuleFormat, ClampsHeaderValuesWhereTheyAreRead) {
  std::vector<uint8_t> bytes = serialize_module(sample_module().get(), kKindModule);
  const size_t first = 20;
  bytes[first + 25] = 99;    // volume
  bytes[950] = 0;            // song length
  bytes[first + 26] = 0x01;  // loop start 256 words, past the 100 bytes
  PlayerPtr p = fresh();
  ASSERT_TRUE(parse(bytes, p.get()).ok);
  EXPECT_EQ(p->samples[1].volume, 64);
  EXPECT_EQ(p->song_length, 1);
  EXPECT_LE(p->samples[1].loop_end, p->samples[1].length);

  bytes[950] = 200;
  // Loop start inside the sample, length running past its end.
  bytes[first + 26] = 0;
  bytes[first + 27] = 40;  // 80 bytes
  bytes[first + 29] = 50;  // 100 bytes
  ASSERT_TRUE(parse(bytes, p.get()).ok);
  EXPECT_EQ(p->song_length, 128);
  EXPECT_EQ(p->samples[1].loop_start, 80 * kFixOne);
  EXPECT_EQ(p->samples[1].loop_end, 100 * kFixOne);
}

TEST(ModuleFormat, EmptySamplesHaveNoData) {
  std::vector<uint8_t> bytes = serialize_module(sample_module().get(), kKindModule);
  const size_t third = 20 + 30 * 2;
  bytes[third + 28] = 0;
  bytes[third + 29] = 10;  // a loop on a sample without data
  PlayerPtr p = fresh();
  ASSERT_TRUE(parse(bytes, p.get()).ok);
  EXPECT_EQ(p->samples[3].length, 0);
  EXPECT_EQ(p->samples[3].data, nullptr);
  EXPECT_EQ(serialize_module(p.get(), kKindModule), bytes);
}

TEST(ModuleFormat, OversizedSampleHeadersKeepLaterSamplesInPlace) {
  // Sample 1 declares 65535 words (131070 bytes); the player keeps 65534.
  PlayerPtr p = fresh();
  make_sample(p.get(), 2, 16, 0, 2, 64, [](int32_t i) { return 100 - i; });
  std::vector<uint8_t> bytes = serialize_module(p.get(), kKindModule);
  bytes[20 + 22] = 0xFF;
  bytes[20 + 23] = 0xFF;
  std::vector<uint8_t> big(131070);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  bytes.insert(bytes.begin() + kSamplesAt + 1024, big.begin(), big.end());
  PlayerPtr loaded = fresh();
  ASSERT_TRUE(parse(bytes, loaded.get()).ok);
  EXPECT_EQ(loaded->samples[1].length, kMaxSampleBytes * kFixOne);
  EXPECT_EQ(static_cast<uint8_t>(loaded->samples[1].data[1000]), static_cast<uint8_t>(7000));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(loaded->samples[2].data[i], 100 - i);
}

TEST(ModuleFormat, SongsCarryNoSampleDataAndFetchItByName) {
  const PlayerPtr original = sample_module();
  const std::vector<uint8_t> song = serialize_module(original.get(), kKindSong);
  EXPECT_EQ(song.size(), kSamplesAt + 2 * 1024);

  struct Library {
    int calls = 0;
  } library;
  const SampleFetch fetch{[](void* context, const char* name, int8_t* data, int32_t bytes) {
                            static_cast<Library*>(context)->calls++;
                            if (std::strncmp(name, "first", 22) != 0) return false;
                            std::memset(data, 5, static_cast<size_t>(bytes));
                            return true;
                          },
                          &library};
  PlayerPtr p = fresh();
  ASSERT_TRUE(parse(song, p.get(), kKindSong, &fetch).ok);
  EXPECT_EQ(library.calls, 3);
  ASSERT_NE(p->samples[1].data, nullptr);
  EXPECT_EQ(p->samples[1].data[99], 5);
  // A sample the library lacks is left empty rather than half set up.
  EXPECT_EQ(p->samples[2].data, nullptr);
  EXPECT_EQ(p->samples[2].length, 0);
  EXPECT_EQ(p->patterns[1][17][2].period, 856);
}

TEST(ModuleFormat, DamagedFilesNeverCrashTheReader) {
  const std::vector<uint8_t> good = serialize_module(sample_module().get(), kKindModule);
  std::mt19937 random(42);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> bytes = good;
    const int changes = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < changes; ++i) bytes[random() % bytes.size()] = random() & 0xFF;
    bytes.resize(random() % (bytes.size() + 200));
    PlayerPtr p = fresh();
    const FileResult r = parse(bytes, p.get());
    if (!r.ok) continue;
    for (int s = 1; s < kSampleCount; ++s) {
      const Sample& sample = p->samples[s];
      ASSERT_LE(sample.length, kMaxSampleBytes * kFixOne);
      if (sample.length == 0) continue;
      ASSERT_LE(sample.loop_end, sample.length);
      ASSERT_GE(sample.volume, 0);
      ASSERT_LE(sample.volume, 64);
    }
    ASSERT_GE(p->song_length, 1);
    ASSERT_LE(p->song_length, 128);
  }
}

class ModuleFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tetrad-files-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    state_.player = player_create(44100);
  }
  void TearDown() override {
    player_destroy(state_.player);
    std::filesystem::remove_all(dir_);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
  EditorState state_{};
};

TEST_F(ModuleFiles, ARefusedFileLeavesTheLoadedModuleInPlace) {
  ASSERT_EQ(load_module(TETRAD_SOURCE_DIR "/data/demo.mod", &state_), 1);
  Player* loaded = state_.player;
  std::ofstream(path("text.mod")) << "not a module at all";
  EXPECT_EQ(load_module(path("text.mod").c_str(), &state_), 0);
  EXPECT_STREQ(state_.message, "NOT A MODULE");
  EXPECT_EQ(load_module(path("missing.mod").c_str(), &state_), 0);
  EXPECT_STREQ(state_.message, "CAN'T FIND FILE");
  EXPECT_EQ(load_module(dir_.c_str(), &state_), 0);
  EXPECT_STREQ(state_.message, "NOT A FILE");
  EXPECT_EQ(state_.player, loaded);
  EXPECT_NE(state_.player->samples[1].data, nullptr);
}

TEST_F(ModuleFiles, SavingWritesTheFileOrReportsFailure) {
  PlayerPtr module = sample_module();
  ASSERT_EQ(save_module(module.get(), path("out.mod").c_str(), &state_, kKindModule), 1);
  EXPECT_EQ(read_file(path("out.mod")), serialize_module(module.get(), kKindModule));
  // Saving over a file replaces it whole; a shorter song leaves no tail.
  ASSERT_EQ(save_module(module.get(), path("out.mod").c_str(), &state_, kKindSong), 1);
  EXPECT_EQ(read_file(path("out.mod")).size(), kSamplesAt + 2 * 1024);

  EXPECT_EQ(save_module(module.get(), path("no/such/dir.mod").c_str(), &state_, kKindModule), 0);
  EXPECT_STRNE(state_.message, "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);

  ASSERT_EQ(load_module(path("out.mod").c_str(), &state_, kKindSong), 1);
  EXPECT_EQ(state_.player->song_length, 3);
}

}  // namespace
