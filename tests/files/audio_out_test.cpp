// The batch render written as audio files: the samples of a module's render
// stay what they were, in every format, and a failed write keeps old files.
#include "files/audio_out.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/song_render.h"
#include "every_command_module.h"

namespace {

namespace fs = std::filesystem;

fs::path temp_dir() {
  const fs::path dir = fs::temp_directory_path() / ("tetrad-audio-out-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// The render through the block sink, in every format and as a WAV on
// standard output (sent to a file here), holds the samples the earlier
// one-piece WAV writer wrote.
TEST(AudioOut, EveryFormatHoldsTheSamplesTheEarlierWavWriterWrote) {
  const fs::path dir = temp_dir();
  const std::vector<uint8_t> module = test_module::every_command_module_bytes();
  for (const std::string name : {"song.wav", "song.FLAC", "song.aiff", "-"}) {
    const fs::path file = dir / (name == "-" ? "piped.wav" : name);
    Player* p = player_create(44100);
    ASSERT_TRUE(parse_module(module.data(), module.size(), p, kKindModule, nullptr).ok);
    auto write = [](void* w, const SongBlock& b) {
      return audio_writer_write(static_cast<AudioWriter*>(w), b.mix, b.frames);
    };
    const int saved = dup(STDOUT_FILENO), out = open(file.c_str(), O_WRONLY | O_CREAT, 0644);
    if (name == "-") dup2(out, STDOUT_FILENO);
    FileResult result{};
    AudioWriter* w = audio_writer_open(name == "-" ? "-" : file.c_str(), 2, 44100,
                                       name == "-" ? 566719 : -1, result);
    const SongSink sink{write, w};
    const int64_t frames = w ? render_song(p, 44100 * 600, &sink, false, nullptr) : 0;
    const bool finished = w && audio_writer_finish(w).ok;
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(out);
    player_destroy(p);
    ASSERT_TRUE(finished) << name;
    EXPECT_EQ(frames, 566719);
    // Counted by hand: position 0 plays 292 ticks at the start's 44100 / 50.5
    // frames (rows 0-39 at speed 6 with row 31 delayed two rows and rows 36-38
    // thrice, row 40 at speed 4), 66 at tempo 140 (rows 41-55 at speed 4, 56
    // at 6), then 298 at tempo 125 (rows 57-63; position 1 to its break at
    // row 20, rows 8-11 at speed 1; position 2 rows 16-40).
    EXPECT_NEAR(frames, 292 * 44100 / 50.5 + (66 / 140.0 + 298 / 125.0) * 44100 * 50.5 / 20.4, 1);

    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr) << name;
    std::vector<int16_t> samples(static_cast<size_t>(info.frames) * 2);
    EXPECT_EQ(sf_readf_short(f, samples.data(), info.frames), 566719) << name;
    sf_close(f);
    EXPECT_EQ(info.samplerate * 10 + info.channels, 441002);
    EXPECT_EQ(test_module::samples_checksum(samples.data(), samples.size()),
              14660632580641557035ull)
        << name;
  }
  // No temporary files stay behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 4);
  fs::remove_all(dir);
}

TEST(AudioOut, AnAbandonedOrRefusedWriteKeepsTheOldFile) {
  const fs::path dir = temp_dir();
  std::ofstream(dir / "old.wav") << "old contents";
  FileResult result{};
  AudioWriter* w = audio_writer_open((dir / "old.wav").c_str(), 2, 44100, -1, result);
  ASSERT_NE(w, nullptr);
  const int16_t frames[4] = {1, 2, 3, 4};
  EXPECT_TRUE(audio_writer_write(w, frames, 2));
  audio_writer_discard(w);
  EXPECT_EQ(fs::file_size(dir / "old.wav"), 12u);
  EXPECT_EQ(audio_writer_open((dir / "none/a.wav").c_str(), 2, 44100, -1, result), nullptr);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
  EXPECT_EQ(audio_format_of_path("A.WAV") + audio_format_of_path("b.aif"), kAudioWav + kAudioAiff);
  fs::remove_all(dir);
}

}  // namespace
