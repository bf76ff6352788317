// Loading samples into the editor's current slot and saving them.
#include "shell/sample_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files/sample_file.h"

namespace {

class SampleIo : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_);
    std::ofstream(path("kick"), std::ios::binary) << std::string(600, '\x20');
    state_.player = player_create(44100);
    state_.selection.current_sample = 3;
  }
  void TearDown() override {
    player_destroy(state_.player);
    std::filesystem::remove_all(dir_);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("tetrad-sample-io-" + std::to_string(::getpid()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  EditorState state_{};
};

TEST_F(SampleIo, LoadingSilencesTheChannelsAndFillsTheCurrentSlot) {
  ChannelState& ch = state_.player->channels[2];
  ch.sample = 3;
  ch.volume = ch.mix_volume = ch.period = 40;
  ASSERT_TRUE(load_sample(&state_, path("kick").c_str()).ok);
  const Sample& s = state_.player->samples[3];
  EXPECT_TRUE(s.length == 600 * kFixOne && s.data[599] == 0x20 && s.volume == 64);
  EXPECT_STREQ(s.name, "kick");
  // The channels are silenced; the other slots are left alone.
  EXPECT_TRUE(ch.sample == 0 && ch.volume == 0 && ch.period == 0 &&
              state_.player->samples[1].data == nullptr);
}

TEST_F(SampleIo, AMissingFileChangesNothing) {
  ASSERT_TRUE(load_sample(&state_, path("kick").c_str()).ok);
  EXPECT_FALSE(load_sample(&state_, path("nothing").c_str()).ok);
  const Sample& s = state_.player->samples[3];
  EXPECT_TRUE(s.data != nullptr && s.length == 600 * kFixOne && std::string(s.name) == "kick");
  EXPECT_STREQ(state_.status.message, "FILE NOT FOUND");
}

TEST_F(SampleIo, SlotZeroIsNeverFilled) {
  state_.selection.current_sample = 0;
  load_sample(&state_, path("kick").c_str());
  EXPECT_EQ(state_.player->samples[0].data, nullptr);
  EXPECT_EQ(save_sample(path("zero").c_str(), &state_, 0, false), 0);
}

}  // namespace
