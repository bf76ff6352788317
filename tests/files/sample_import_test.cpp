// WAV, AIFF and FLAC samples imported as 8-bit mono sample data.
#include "files/sample_import.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../engine/module_builder.h"
#include "engine/song_render.h"
#include "shell/sample_io.h"

namespace {

const std::filesystem::path kPath =
    std::filesystem::temp_directory_path() / ("tetrad-import-" + std::to_string(getpid()) + ".wav");

// Writes frames given in 16-bit units (exact in every width used here),
// with a loop from byte 100 to 300 if asked, and returns the file's bytes.
std::vector<uint8_t> audio_file(int format, int channels, const std::vector<int32_t>& values,
                                bool loop = false) {
  SF_INFO info{0, 22050, channels, format, 0, 0};
  SNDFILE* f = sf_open(kPath.c_str(), SFM_WRITE, &info);
  if (!f) return {};
  SF_INSTRUMENT instrument{1, 60, 0, 0, 127, 0, 127, 1, {{SF_LOOP_FORWARD, 100, 300, 0}}};
  if (loop) sf_command(f, SFC_SET_INSTRUMENT, &instrument, sizeof instrument);
  std::vector<int> full;
  for (const int32_t v : values) full.push_back(v * 65536);
  sf_writef_int(f, full.data(), static_cast<sf_count_t>(values.size()) / channels);
  sf_close(f);
  std::ifstream in(kPath, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

ImportedSample imported(const std::vector<uint8_t>& bytes, ImportStatus want) {
  ImportedSample out;
  EXPECT_EQ(import_audio_sample(bytes.data(), bytes.size(), out).status, want);
  return out;
}

TEST(SampleImport, EveryWidthAndLayoutBecomesRoundedEightBitMono) {
  // 256 units are one 8-bit step; a frame's channels are averaged, then
  // rounded with halves away from zero. Eight-bit files hold whole steps.
  const std::vector<int32_t> in[2][2] = {
      {{0, 256, -256, 383, 384, -384, 32767, -32768},
       {256, 512, 32767, -32768, -256, -512, 100, 156, -100, -156}},
      {{0, 256, -256, 1280, 32512, -32768}, {256, 512, -256, -512, 512, 1024, 32512, -32768}}};
  const std::vector<int8_t> out[2][2] = {{{0, 1, -1, 1, 2, -2, 127, -128}, {2, 0, -2, 1, -1}},
                                         {{0, 1, -1, 5, 127, -128}, {2, -2, 3, -1}}};
  for (const int container : {SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_FLAC}) {
    const int eight = container == SF_FORMAT_WAV ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_S8;
    for (const int width : {eight, int{SF_FORMAT_PCM_16}, int{SF_FORMAT_PCM_24}}) {
      for (const int channels : {1, 2}) {
        const int w = width == eight;
        const ImportedSample s =
            imported(audio_file(container | width, channels, in[w][channels - 1]), kImportDone);
        EXPECT_EQ(s.data, out[w][channels - 1])
            << std::hex << (container | width) << " x" << channels;
        EXPECT_EQ(s.loop_length, 0);
      }
    }
  }
}

TEST(SampleImport, LoopsLongAndDamagedFilesAndOnesThatAreNoAudio) {
  const ImportedSample looped = imported(
      audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, std::vector<int32_t>(400, 512), true),
      kImportDone);
  Sample s{};
  ASSERT_TRUE(sample_from_import(looped, s));
  EXPECT_EQ(s.loop_start / kFixOne * 1000 + s.loop_end / kFixOne, 100300);
  EXPECT_EQ(s.data[399], 2);
  std::free(s.data);
  const std::string raw = "just some sample bytes", iff("FORM\0\0\0\x0c"
                                                        "8SVXBODY\0\0\0\0",
                                                        20);
  imported({raw.begin(), raw.end()}, kImportNotAudio);
  imported({iff.begin(), iff.end()}, kImportNotAudio);

  EditorState state{};
  state.player = player_create(44100);
  state.selection.current_sample = 5;
  Sample& slot = state.player->samples[5];
  std::vector<uint8_t> damaged = audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, {1, 2, 3});
  damaged.resize(30);  // ends inside the format chunk
  imported(damaged, kImportRefused);
  audio_file(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::vector<int32_t>(2 * 70000, -1280));
  load_sample(&state, kPath.c_str());
  // At the rate of C-3, 70,000 frames at 22,050 Hz are 70,000 x 16,726 /
  // 22,050 = 53,098 bytes (the converter may end a byte either side).
  EXPECT_NEAR(slot.length / kFixOne, 53098, 1);
  EXPECT_STRNE(state.status.message, "SAMPLE CUT SHORT");
  state.settings.import_rate = 0;  // one byte a frame, as the file has them
  load_sample(&state, kPath.c_str());
  EXPECT_EQ(slot.length, kMaxSampleBytes * kFixOne);
  EXPECT_EQ(slot.data[kMaxSampleBytes - 1], -5);
  EXPECT_STREQ(state.status.message, "SAMPLE CUT SHORT");

  std::ofstream(kPath, std::ios::binary).write(reinterpret_cast<const char*>(damaged.data()), 30);
  load_sample(&state, kPath.c_str());
  EXPECT_EQ(slot.length, kMaxSampleBytes * kFixOne);  // the cut sample is still there
  EXPECT_EQ(slot.data[kMaxSampleBytes - 1], -5);
  EXPECT_STREQ(state.status.message, "BAD SAMPLE FILE");
  player_destroy(state.player);
  std::filesystem::remove(kPath);
}

// A 440 Hz tone imported at the rate of C-3 plays at 440 Hz on C-3, from
// files of 22,050, 44,100 and 48,000 frames a second, mono and stereo.
TEST(SampleImport, ImportsPlayAtTheirPitchOnC3) {
  for (const int rate : {22050, 44100, 48000}) {
    for (const int channels : {1, 2}) {
      std::vector<int32_t> tone;
      for (int f = 0; f < rate; ++f)
        for (int c = 0; c < channels; ++c)
          tone.push_back(
              static_cast<int32_t>(std::lround(1e9 * std::sin(2 * M_PI * 440 * f / rate))));
      SF_INFO info{0, rate, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
      SNDFILE* f = sf_open(kPath.c_str(), SFM_WRITE, &info);
      ASSERT_NE(f, nullptr);
      sf_write_int(f, std::vector<int>(tone.begin(), tone.end()).data(), std::ssize(tone));
      sf_close(f);
      std::ifstream in(kPath, std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      ImportedSample s;
      ASSERT_EQ(import_audio_sample(bytes.data(), bytes.size(), s, 16726).status, kImportDone);
      Player* p = player_create(44100);
      ASSERT_TRUE(sample_from_import(s, p->samples[1]));
      test_module::set_cell(p, 0, 0, 0, 214, 1);
      const double hz = test_module::measured_hz(render_song(p, 22050, nullptr));
      player_destroy(p);
      EXPECT_NEAR(hz, 440.0, 2.2) << rate << " Hz, " << channels << " channels";
    }
  }
}

}  // namespace
