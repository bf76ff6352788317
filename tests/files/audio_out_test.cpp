// The batch render written as audio files: the samples of a module's render
// stay what they were, in every format, and a failed write keeps old files.
#include "files/audio_out.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/song_render.h"
#include "every_command_module.h"

namespace {

namespace fs = std::filesystem;

// The render of every_command_module_bytes() as 16-bit stereo frames,
// taken before the streaming writer replaced the in-memory one.
constexpr uint64_t kEveryCommandChecksum = 14660632580641557035ull;
constexpr int64_t kEveryCommandFrames = 566719;

fs::path temp_dir() {
  const fs::path dir =
      fs::temp_directory_path() / ("tetrad-audio-out-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::create_directories(dir);
  return dir;
}

bool to_writer(void* context, const SongBlock& block) {
  return audio_writer_write(static_cast<AudioWriter*>(context), block.mix, block.frames);
}

// Renders the module into `path`; false when any step failed.
bool render_to(const std::vector<uint8_t>& module, const std::string& path) {
  Player* p = player_create(44100);
  bool ok = parse_module(module.data(), module.size(), p, kKindModule, nullptr).ok;
  FileResult result{};
  AudioWriter* w = ok ? audio_writer_open(path.c_str(), 2, 44100, -1, result) : nullptr;
  if (w) {
    const SongSink sink{to_writer, w};
    ok = render_song(p, 44100 * 600, &sink, false, nullptr) == kEveryCommandFrames;
    ok = audio_writer_finish(w).ok && ok;
  }
  player_destroy(p);
  return ok && w;
}

std::vector<int16_t> decode(const std::string& path, SF_INFO& info) {
  info = SF_INFO{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<int16_t> samples(static_cast<size_t>(info.frames * info.channels));
  samples.resize(static_cast<size_t>(sf_readf_short(f, samples.data(), info.frames)) * 2);
  sf_close(f);
  return samples;
}

TEST(AudioOut, EveryFormatHoldsTheSameSamplesAsBefore) {
  const fs::path dir = temp_dir();
  const std::vector<uint8_t> module = test_module::every_command_module_bytes();
  const struct {
    const char* name;
    int major_format;
  } formats[] = {
      {"song.wav", SF_FORMAT_WAV}, {"song.FLAC", SF_FORMAT_FLAC}, {"song.aiff", SF_FORMAT_AIFF}};
  for (const auto& f : formats) {
    const std::string path = (dir / f.name).string();
    ASSERT_TRUE(render_to(module, path)) << f.name;
    SF_INFO info;
    const std::vector<int16_t> samples = decode(path, info);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, f.major_format) << f.name;
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16) << f.name;
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.frames, kEveryCommandFrames) << f.name;
    EXPECT_EQ(test_module::samples_checksum(samples.data(), samples.size()), kEveryCommandChecksum)
        << f.name;
  }
  // No temporary files stay behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 3);
  fs::remove_all(dir);
}

TEST(AudioOut, FormatFollowsTheExtension) {
  const struct {
    const char* path;
    AudioFormat format;
  } cases[] = {
      {"a.wav", kAudioWav},         {"dir.x/B.WAV", kAudioWav}, {"a.flac", kAudioFlac},
      {"a.aiff", kAudioAiff},       {"a.aif", kAudioAiff},      {"-", kAudioWav},
      {"a.mp3", kAudioUnknown},     {"wav", kAudioUnknown},     {".wav", kAudioUnknown},
      {"a.wav.txt", kAudioUnknown}, {"a", kAudioUnknown},
  };
  for (const auto& c : cases) EXPECT_EQ(audio_format_of_path(c.path), c.format) << c.path;
}

TEST(AudioOut, AnAbandonedOrFailedWriteKeepsTheOldFile) {
  const fs::path dir = temp_dir();
  const std::string path = (dir / "old.wav").string();
  std::ofstream(path) << "old contents";
  FileResult result{};
  AudioWriter* w = audio_writer_open(path.c_str(), 2, 44100, -1, result);
  ASSERT_TRUE(result.ok);
  const int16_t frames[4] = {1, 2, 3, 4};
  EXPECT_TRUE(audio_writer_write(w, frames, 2));
  audio_writer_discard(w);
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old contents");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);

  EXPECT_EQ(audio_writer_open((dir / "none/a.wav").c_str(), 2, 44100, -1, result), nullptr);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(audio_writer_open((dir / "a.ogg").c_str(), 2, 44100, -1, result), nullptr);
  EXPECT_FALSE(result.ok);
  fs::remove_all(dir);
}

}  // namespace
