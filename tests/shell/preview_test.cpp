// Hearing a sample file before loading it: the same bytes a load gives, a
// module left as it was, sound on the cursor channel's side alone, and the
// events that end it.
#include "shell/preview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "files/audio_out.h"
#include "files/sample_file.h"
#include "shell/audio_refill.h"
#include "shell/sample_io.h"
#include "shell/screens.h"

namespace {

class Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_);
    state_.player = player_create(44100);
    state_.player->history = &state_.history;
    test_module::make_constant_sample(state_.player, 1, 100, 7, 64);
    history_clear(state_.history);
    state_.selection.current_sample = 2;
    state_.status.dialog = kDialogNone;
    set_screen_open(state_, ScreenId::kDiskOp, true);
    audio_refill_init(refill_, &state_);
  }
  void TearDown() override {
    stop_preview(state_);
    history_clear(state_.history);
    player_destroy(state_.player);
    std::filesystem::remove_all(dir_);
  }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  // A raw file of `bytes` bytes of one value.
  std::string constant_file(int8_t value, size_t bytes) const {
    return write("constant", std::vector<uint8_t>(bytes, static_cast<uint8_t>(value)));
  }
  // The loudest value of each side over `frames` frames: {left, right}.
  std::pair<int32_t, int32_t> peaks(int32_t frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    audio_refill_fill(&refill_, out.data(), frames);
    std::pair<int32_t, int32_t> peak{0, 0};
    for (size_t i = 0; i < out.size(); i += 2) {
      peak.first = std::max(peak.first, std::abs(int32_t{out[i]}));
      peak.second = std::max(peak.second, std::abs(int32_t{out[i + 1]}));
    }
    return peak;
  }

  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("tetrad-preview-" + std::to_string(::getpid()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  EditorState state_{};
  AudioRefill refill_{};
};

struct FileCase {
  const char* name;
  std::vector<uint8_t> (*bytes)();
  int32_t length;  // bytes, -1 when the decoder decides
  int32_t loop_start;
  int32_t loop_length;  // 0: no loop
};

std::vector<uint8_t> raw_bytes() {
  std::vector<uint8_t> bytes(300);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  return bytes;
}

std::vector<uint8_t> iff_bytes() {
  Sample sample{};
  int8_t data[64];
  for (int32_t i = 0; i < 64; ++i) data[i] = static_cast<int8_t>(i * 3 - 90);
  set_sample_data(sample, data, 64, 16, 32);
  std::vector<uint8_t> bytes = serialize_sample(sample, true);
  std::free(sample.data);
  return bytes;
}

std::vector<uint8_t> wav_bytes() {
  const std::string path = std::filesystem::temp_directory_path() / "tetrad-preview-source.wav";
  FileResult result = kFileOk;
  AudioWriter* writer = audio_writer_open(path.c_str(), 2, 22050, -1, result);
  std::vector<int16_t> frames(2 * 2000);
  for (size_t i = 0; i < frames.size(); ++i)
    frames[i] = static_cast<int16_t>((i / 2 % 50) * 600 - 15000);
  audio_writer_write(writer, frames.data(), 2000);
  audio_writer_finish(writer);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  std::filesystem::remove(path);
  return bytes;
}

const FileCase kFiles[] = {
    {"hit.raw", raw_bytes, 300, 0, 0},
    {"loop.iff", iff_bytes, 64, 16, 32},
    {"pad.wav", wav_bytes, -1, 0, 0},
};

TEST_F(Preview, HearsTheBytesALoadGivesAndLeavesTheModuleAlone) {
  for (const FileCase& c : kFiles) {
    const std::string path = write(c.name, c.bytes());
    const std::vector<uint8_t> module = serialize_module(state_.player, kKindModule);
    ASSERT_TRUE(preview_sample_file(state_, path.c_str(), ScreenId::kDiskOp).ok) << c.name;
    EXPECT_EQ(serialize_module(state_.player, kKindModule), module) << c.name;
    EXPECT_TRUE(!module_modified(*state_.player) && state_.history.steps.empty()) << c.name;
    EXPECT_STREQ(state_.status.message, "PREVIEW");
    ASSERT_TRUE(load_sample(&state_, path.c_str()).ok) << c.name;
    const Sample& heard = state_.preview.voice.sample;
    const Sample& loaded = state_.player->samples[2];
    ASSERT_GT(heard.length, 0) << c.name;
    EXPECT_TRUE(c.length < 0 || heard.length == c.length * kFixOne) << c.name;
    EXPECT_TRUE(c.loop_length == 0 || (heard.loop_start == c.loop_start * kFixOne &&
                                       heard.loop_length == c.loop_length * kFixOne))
        << c.name;
    EXPECT_TRUE(heard.length == loaded.length && heard.loop_start == loaded.loop_start &&
                heard.loop_length == loaded.loop_length)
        << c.name;
    EXPECT_EQ(std::vector<int8_t>(heard.data, heard.data + heard.length / kFixOne),
              std::vector<int8_t>(loaded.data, loaded.data + loaded.length / kFixOne))
        << c.name;
    history_clear(state_.history);
  }
}

// Byte 100 at full volume on a hard-panned channel is 100 x 64 x 255 >> 7
// = 12750 on its side; the card's right side keeps 15/16 of it and leaks
// 1/16 into the left. Channels 1 and 4 are left, 2 and 3 right.
TEST_F(Preview, SoundsOnTheCursorChannelsSideAlone) {
  const std::string path = constant_file(100, 4000);
  const std::pair<int32_t, int32_t> left{12750, 0};
  const std::pair<int32_t, int32_t> right{796, 11953};
  const std::pair<int32_t, int32_t> kSides[kChannels] = {left, right, right, left};
  EXPECT_EQ(peaks(2048), std::make_pair(0, 0));  // the song is silent
  for (int32_t channel = 0; channel < kChannels; ++channel) {
    state_.selection.cursor_channel = channel;
    preview_sample_file(state_, path.c_str(), ScreenId::kDiskOp);
    EXPECT_EQ(peaks(2048), kSides[channel]) << "channel " << channel + 1;
  }
}

// The song's sound on the cursor channel (byte 50: 50 x 64 x 255 >> 7 =
// 6375 on the left) is not heard while the preview (byte 100: 12750) sounds,
// not added to it (19125); the channel goes on unheard, in time, and is
// heard again from the block after the preview's 300 bytes end (at C-3,
// about 0.376 bytes a frame: 798 frames, inside the first block of 1024).
TEST_F(Preview, TakesTheCursorChannelFromTheSongUntilItEnds) {
  test_module::make_sample(state_.player, 3, 4000, 0, 4000, 64, [](int32_t) { return 50; });
  const ChannelState& song = state_.player->channels[0];
  play_note(*state_.player, 0, 3, 214);
  EXPECT_EQ(peaks(1024), std::make_pair(6375, 0));
  play_note(*state_.player, 0, 3, 214);
  state_.selection.cursor_channel = 0;
  preview_sample_file(state_, constant_file(100, 300).c_str(), ScreenId::kDiskOp);
  EXPECT_EQ(peaks(1024), std::make_pair(12750, 0));
  EXPECT_EQ(song.position, 1024 * song.step) << "the channel went on unheard";
  EXPECT_EQ(peaks(1024), std::make_pair(6375, 0));
}

struct EndCase {
  const char* what;
  void (*act)(EditorState& state, const std::string& dir);
  bool sounds;
};

const EndCase kEnds[] = {
    {"nothing", [](EditorState&, const std::string&) {}, true},
    {"another screen closing",
     [](EditorState& s, const std::string&) { set_screen_open(s, ScreenId::kSampler, false); },
     true},
    {"its screen closing",
     [](EditorState& s, const std::string&) { set_screen_open(s, ScreenId::kDiskOp, false); },
     false},
    {"play or stop", [](EditorState& s, const std::string&) { ++s.selection.transport; }, false},
    {"told to stop", [](EditorState& s, const std::string&) { stop_preview(s); }, false},
    {"a file that does not decode",
     [](EditorState& s, const std::string& dir) {
       preview_sample_file(s, (dir + "/missing").c_str(), ScreenId::kDiskOp);
     },
     false},
};

TEST_F(Preview, EndsWithItsScreenTheTransportOrABadFile) {
  const std::string path = constant_file(100, 30000);
  for (const EndCase& c : kEnds) {
    set_screen_open(state_, ScreenId::kDiskOp, true);
    set_screen_open(state_, ScreenId::kSampler, true);
    preview_sample_file(state_, path.c_str(), ScreenId::kDiskOp);
    ASSERT_GT(peaks(1024).first, 0) << c.what;
    c.act(state_, dir_.string());
    follow_preview(state_);
    EXPECT_EQ(peaks(1024).first > 0, c.sounds) << c.what;
  }
  EXPECT_STREQ(state_.status.message, "FILE NOT FOUND");
}

}  // namespace
