// Loading samples into the editor's current slot and saving them.
#include "shell/sample_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files/sample_file.h"
#include "shell/program_dir.h"

namespace {

class SampleIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tetrad-sample-io-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    state_.player = player_create(44100);
    state_.current_sample = 3;
    write("kick", std::string(600, '\x20'));
  }
  void TearDown() override {
    player_destroy(state_.player);
    std::filesystem::remove_all(dir_);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
  EditorState state_{};
};

TEST_F(SampleIo, LoadingSilencesTheChannelsAndFillsTheCurrentSlot) {
  ChannelState& ch = state_.player->channels[2];
  ch.sample = 3;
  ch.volume = ch.mix_volume = 40;
  ch.period = 428;
  load_sample(&state_, path("kick").c_str());
  const Sample& s = state_.player->samples[3];
  EXPECT_EQ(s.length, 600 * kFixOne);
  EXPECT_EQ(s.data[599], 0x20);
  EXPECT_STREQ(s.name, "kick");
  EXPECT_EQ(s.volume, 64);
  EXPECT_EQ(ch.sample, 0);
  EXPECT_EQ(ch.volume, 0);
  EXPECT_EQ(ch.period, 0);
  EXPECT_EQ(state_.player->samples[1].data, nullptr);
}

TEST_F(SampleIo, AMissingFileChangesNothing) {
  ASSERT_EQ(load_sample(&state_, path("kick").c_str()), 1);
  EXPECT_EQ(load_sample(&state_, path("nothing").c_str()), 0);
  const Sample& s = state_.player->samples[3];
  ASSERT_NE(s.data, nullptr);
  EXPECT_EQ(s.length, 600 * kFixOne);
  EXPECT_STREQ(s.name, "kick");
  EXPECT_STREQ(state_.message, "CAN'T FIND FILE");
}

TEST_F(SampleIo, SlotZeroIsNeverFilled) {
  state_.current_sample = 0;
  load_sample(&state_, path("kick").c_str());
  EXPECT_EQ(state_.player->samples[0].data, nullptr);
  EXPECT_EQ(save_sample(path("zero").c_str(), &state_, 0, false), 0);
}

TEST_F(SampleIo, SavedIffLoadsBackWithItsLoop) {
  load_sample(&state_, path("kick").c_str());
  Sample& s = state_.player->samples[3];
  s.loop_start = 100 * kFixOne;
  s.loop_length = 200 * kFixOne;
  s.loop_end = 300 * kFixOne;
  ASSERT_EQ(save_sample(path("kick.iff").c_str(), &state_, 3, true), 1);
  state_.current_sample = 7;
  load_sample(&state_, path("kick.iff").c_str());
  const Sample& back = state_.player->samples[7];
  EXPECT_EQ(back.length, 600 * kFixOne);
  EXPECT_EQ(back.loop_start, 100 * kFixOne);
  EXPECT_EQ(back.loop_length, 200 * kFixOne);
  EXPECT_STREQ(back.name, "kick.iff");
  EXPECT_EQ(save_sample(path("no/dir/x").c_str(), &state_, 3, false), 0);
}

TEST_F(SampleIo, LibraryLoadsKeepTheSlotsName) {
  const std::string disk = "tt" + std::to_string(::getpid());
  const std::filesystem::path library = std::filesystem::path(program_path("ST")) / disk;
  std::filesystem::create_directories(library);
  std::ofstream(library / "bass", std::ios::binary) << std::string(64, '\x11');
  Sample& s = state_.player->samples[3];
  const std::string name = disk + ":bass";
  std::snprintf(s.name, sizeof s.name, "%s", name.c_str());
  EXPECT_EQ(load_st_sample(s.name, &state_), 1);
  EXPECT_EQ(s.length, 64 * kFixOne);
  EXPECT_EQ(s.name, name);
  EXPECT_EQ(load_st_sample((disk + ":none").c_str(), &state_), 0);
  EXPECT_EQ(s.length, 64 * kFixOne);  // a failed lookup changes nothing
  std::filesystem::remove_all(library);
  std::error_code ignored;
  std::filesystem::remove(program_path("ST"), ignored);  // only if we made it empty
}

}  // namespace
