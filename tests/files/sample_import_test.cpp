// WAV, AIFF and FLAC samples imported as 8-bit mono sample data.
#include "files/sample_import.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/sample_file.h"
#include "shell/sample_io.h"

namespace {

namespace fs = std::filesystem;

fs::path temp_path(const std::string& name) {
  return fs::temp_directory_path() / ("tetrad-import-" + std::to_string(::getpid()) + "-" + name);
}

std::vector<uint8_t> read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Writes frames given in 16-bit units (exact in every width used here) and
// returns the file's bytes.
std::vector<uint8_t> audio_file(int format, int channels, const std::vector<int32_t>& values,
                                const SF_INSTRUMENT* instrument = nullptr) {
  const fs::path path = temp_path("file");
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
  if (!f) return {};
  if (instrument)
    sf_command(f, SFC_SET_INSTRUMENT, const_cast<SF_INSTRUMENT*>(instrument), sizeof *instrument);
  std::vector<int> full;
  for (const int32_t v : values) full.push_back(v * 65536);
  sf_writef_int(f, full.data(), static_cast<sf_count_t>(values.size()) / channels);
  sf_close(f);
  std::vector<uint8_t> bytes = read_bytes(path);
  fs::remove(path);
  return bytes;
}

struct Frames {
  std::vector<int32_t> values;  // 16-bit units, interleaved
  std::vector<int8_t> expected;
};

TEST(SampleImport, EveryWidthAndLayoutBecomesRoundedEightBitMono) {
  // 256 units are one 8-bit step; halves round away from zero, and the
  // channels of a frame are averaged first.
  const Frames mono{{0, 256, -256, 383, 384, -384, 32767, -32768}, {0, 1, -1, 1, 2, -2, 127, -128}};
  const Frames stereo{{256, 512, 32767, -32768, -256, -512, 100, 156, -100, -156},
                      {2, 0, -2, 1, -1}};
  // Eight-bit files hold whole steps only.
  const Frames mono8{{0, 256, -256, 1280, 32512, -32768}, {0, 1, -1, 5, 127, -128}};
  const Frames stereo8{{256, 512, -256, -512, 512, 1024, 32512, -32768}, {2, -2, 3, -1}};
  const struct {
    const char* name;
    int major;
    int eight_bit;
  } containers[] = {{"WAV", SF_FORMAT_WAV, SF_FORMAT_PCM_U8},
                    {"AIFF", SF_FORMAT_AIFF, SF_FORMAT_PCM_S8},
                    {"FLAC", SF_FORMAT_FLAC, SF_FORMAT_PCM_S8}};
  for (const auto& container : containers) {
    const struct {
      int bits;
      int sub;
    } widths[] = {{8, container.eight_bit}, {16, SF_FORMAT_PCM_16}, {24, SF_FORMAT_PCM_24}};
    for (const auto& width : widths) {
      for (const int channels : {1, 2}) {
        const Frames& frames =
            width.bits == 8 ? (channels == 1 ? mono8 : stereo8) : (channels == 1 ? mono : stereo);
        const std::vector<uint8_t> bytes =
            audio_file(container.major | width.sub, channels, frames.values);
        ImportedSample imported;
        const ImportResult r = import_audio_sample(bytes.data(), bytes.size(), imported);
        const std::string what = std::string(container.name) + " " + std::to_string(width.bits) +
                                 " bits, " + std::to_string(channels) + " channels";
        ASSERT_EQ(r.status, kImportDone) << what;
        EXPECT_EQ(imported.data, frames.expected) << what;
        EXPECT_EQ(imported.loop_length, 0) << what;
        EXPECT_FALSE(imported.cut) << what;
      }
    }
  }
}

TEST(SampleImport, ALoopInTheFileIsKept) {
  SF_INSTRUMENT instrument{};
  instrument.gain = 1;
  instrument.basenote = 60;
  instrument.velocity_hi = instrument.key_hi = 127;
  instrument.loop_count = 1;
  instrument.loops[0].mode = SF_LOOP_FORWARD;
  instrument.loops[0].start = 100;
  instrument.loops[0].end = 300;
  instrument.loops[0].count = 0;
  // The loop of a WAV's sample chunk (the end is exclusive); a file
  // without one plays once.
  for (const bool with_loop : {true, false}) {
    const std::vector<uint8_t> bytes =
        audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, std::vector<int32_t>(400, 512),
                   with_loop ? &instrument : nullptr);
    ImportedSample imported;
    ASSERT_EQ(import_audio_sample(bytes.data(), bytes.size(), imported).status, kImportDone);
    EXPECT_EQ(imported.loop_start, with_loop ? 100 : 0);
    EXPECT_EQ(imported.loop_length, with_loop ? 200 : 0);
    Sample s{};
    ASSERT_TRUE(sample_from_import(imported, s));
    EXPECT_EQ(s.length, 400 * kFixOne);
    EXPECT_EQ(s.loop_start, with_loop ? 100 * kFixOne : 0);
    EXPECT_EQ(s.loop_end, with_loop ? 300 * kFixOne : 2 * kFixOne);
    EXPECT_EQ(s.volume, 64);
    EXPECT_EQ(s.data[0], 2);
    std::free(s.data);
  }
}

TEST(SampleImport, OnlyFilesAnnouncingAnAudioFormatAreItsToRefuse) {
  const std::vector<uint8_t> wav = audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, {1, 2, 3});
  std::vector<uint8_t> damaged = wav;
  damaged.resize(30);  // ends inside the format chunk
  std::vector<uint8_t> bad_format = wav;
  bad_format[22] = 0;  // no channels
  const std::string raw = "just some sample bytes, nothing else";
  const std::string iff =
      "FORM\x00\x00\x00\x10"
      "8SVXBODY\x00\x00\x00\x04"
      "abcd";
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    ImportStatus status;
  } cases[] = {
      {"truncated WAV", damaged, kImportRefused},
      {"WAV without channels", bad_format, kImportRefused},
      {"raw bytes", {raw.begin(), raw.end()}, kImportNotAudio},
      {"IFF 8SVX", {iff.begin(), iff.end()}, kImportNotAudio},
      {"empty file", {}, kImportNotAudio},
      {"good WAV", wav, kImportDone},
  };
  for (const auto& c : cases) {
    ImportedSample imported;
    const ImportResult r = import_audio_sample(c.bytes.data(), c.bytes.size(), imported);
    EXPECT_EQ(r.status, c.status) << c.name;
    if (r.status == kImportRefused) EXPECT_STREQ(r.message, "BAD SAMPLE FILE") << c.name;
  }
}

class SampleImportLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.player = player_create(44100);
    state_.current_sample = 5;
    path_ = temp_path(::testing::UnitTest::GetInstance()->current_test_info()->name() +
                      std::string(".wav"));
  }
  void TearDown() override {
    player_destroy(state_.player);
    fs::remove(path_);
  }
  void write(const std::vector<uint8_t>& bytes) const {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  EditorState state_{};
  fs::path path_;
};

TEST_F(SampleImportLoading, ADamagedWavChangesNothing) {
  Sample& slot = state_.player->samples[5];
  ASSERT_TRUE(set_sample_data(slot, "\x10\x20\x30\x40", 4, 0, 2));
  std::memcpy(slot.name, "keep me", 8);
  const int8_t* data = slot.data;
  state_.player->channels[1].position = 77;
  std::vector<uint8_t> bytes = audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, {1, 2, 3});
  bytes.resize(30);
  write(bytes);
  load_sample(&state_, path_.c_str());
  EXPECT_EQ(slot.data, data);
  EXPECT_EQ(slot.length, 4 * kFixOne);
  EXPECT_STREQ(slot.name, "keep me");
  EXPECT_EQ(state_.player->channels[1].position, 77);
  EXPECT_STREQ(state_.message, "BAD SAMPLE FILE");
}

TEST_F(SampleImportLoading, ALongFileIsCutWithAMessage) {
  write(audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::vector<int32_t>(2 * 70000, -1280)));
  load_sample(&state_, path_.c_str());
  const Sample& slot = state_.player->samples[5];
  ASSERT_NE(slot.data, nullptr);
  EXPECT_EQ(slot.length, kMaxSampleBytes * kFixOne);
  EXPECT_EQ(slot.data[kMaxSampleBytes - 1], -5);
  EXPECT_EQ(slot.loop_length, 2 * kFixOne);
  EXPECT_EQ(slot.volume, 64);
  EXPECT_EQ(std::string(slot.name), path_.filename().string().substr(0, 22));
  EXPECT_STREQ(state_.message, "SAMPLE CUT SHORT");
}

}  // namespace
