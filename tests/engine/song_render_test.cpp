// The batch renderer: where a song ends, and the per-channel stems. The
// audio output tests hold the samples it renders to a stored checksum.
#include "engine/song_render.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "../files/every_command_module.h"
#include "shell/cli.h"

namespace {

// A tick lasts 44100 / 50.5 frames until a tempo command T sets it to
// 44100 * 50.5 / (T * 20.4).
constexpr double kTick = 44100 / 50.5, kTick32 = 44100 * 50.5 / (32 * 20.4);

// Where songs end, in ticks counted by hand.
TEST(SongRender, EndsAtTheRowThatGoesBackToAPlayedPositionOrAtTheLimit) {
  // what, song length, pattern at position 2, cells written
  // "pattern:row:channel:EPP" (effect and parameter in hex), frames
  const std::tuple<const char*, int32_t, int32_t, const char*, double> ends[] = {
      {"the order list wraps", 3, 0, "", 3 * 64 * 6 * kTick},
      {"a backward jump at position 2, row 9", 4, 1, "1:9:2:B01", (2 * 64 + 10) * 6 * kTick},
      {"a pattern loop to row 0 is no end", 1, 0, "0:0:0:E60 0:3:0:E62", (3 * 4 + 60) * 6 * kTick},
      {"a break on the only position", 1, 0, "0:5:1:D00", 6 * 6 * kTick},
      {"speed and delay count", 1, 0, "0:0:0:F03 0:10:1:EE2", (64 * 3 + 2 * 3) * kTick},
      {"tempo 32 from the first tick", 1, 0, "0:0:3:F20", 64 * 6 * kTick32},
  };
  for (const auto& [what, song_length, order2, cells, frames] : ends) {
    Player* p = player_create(44100);
    p->song_length = song_length;
    p->order[2] = order2;
    int pattern, row, channel, fx, n;
    for (const char* c = cells;
         std::sscanf(c, "%d:%d:%d:%x%n", &pattern, &row, &channel, &fx, &n) == 4; c += n)
      test_module::set_cell(p, pattern, row, channel, 0, 0, fx >> 8, fx & 255);
    EXPECT_NEAR(render_song(p, 44100 * 600, nullptr).size() / 2.0, frames, 2) << what;
    player_destroy(p);
  }
  Player* p = player_create(44100);
  p->song_length = 128;  // far longer than the limit
  EXPECT_EQ(render_song(p, 12345, nullptr).size(), 2 * 12345u);
  player_destroy(p);
}

// A C-3 (period 214) of a square of 32 bytes a cycle sounds at the clock
// 3,579,328 Hz over the period, over 32: counted by rising zero crossings
// of a second of the render.
TEST(SongRender, AC3SoundsAtTheClockOverItsPeriod) {
  Player* p = player_create(44100);
  test_module::make_sample(p, 1, 64, 0, 64, 64, [](int32_t i) { return i % 32 < 16 ? 100 : -100; });
  test_module::set_cell(p, 0, 0, 0, 214, 1);
  const double hz = test_module::measured_hz(render_song(p, 44100, nullptr));
  player_destroy(p);
  EXPECT_NEAR(hz, 3579328.0 / 214 / 32, 3579328.0 / 214 / 32 * 0.005) << hz;
}

using Tracks = std::array<std::vector<int16_t>, 1 + kChannels>;  // the mix, then the stems

// The every-command module rendered with stems, the filter command obeyed or
// not, and only channel `alone` audible unless it is -1.
Tracks render_stems(bool filter, int alone) {
  const std::vector<uint8_t> bytes = test_module::every_command_module_bytes();
  Player* p = player_create(44100);
  EXPECT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok);
  if (!filter) p->flags &= ~4;
  for (int c = 0; c < kChannels; ++c) p->channels[c].enabled = alone < 0 || c == alone;
  Tracks out;
  auto keep = [](void* context, const SongBlock& b) {
    Tracks& o = *static_cast<Tracks*>(context);
    o[0].insert(o[0].end(), b.mix, b.mix + b.frames * 2);
    for (int c = 0; c < kChannels; ++c)
      o[1 + c].insert(o[1 + c].end(), b.stems[c], b.stems[c] + b.frames * 2);
    return true;
  };
  const SongSink sink{keep, &out};
  render_song(p, 44100 * 600, &sink, true, nullptr);
  player_destroy(p);
  return out;
}

// The mix and the stems as `--render OUT.wav --stems` writes them to files.
Tracks rendered_files() {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("tetrad-stems-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::vector<uint8_t> bytes = test_module::every_command_module_bytes();
  const std::string module = dir / "m.mod", out = dir / "song.wav";
  std::ofstream(module, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  const char* argv[] = {"tetrad", "--render", module.c_str(), out.c_str(), "--stems"};
  EXPECT_EQ(cli_run(5, const_cast<char**>(argv)), 0);
  Tracks tracks;
  for (int i = 0; i <= kChannels; ++i) {
    const fs::path file = dir / (i ? "song-" + std::to_string(i) + ".wav" : "song.wav");
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    if (!f) continue;
    tracks[i].resize(static_cast<size_t>(info.frames) * 2);
    sf_readf_short(f, tracks[i].data(), info.frames);
    sf_close(f);
  }
  fs::remove_all(dir);
  return tracks;
}

// The files the command line writes with the filter (as the module asks),
// and the blocks of the render without it.
TEST(Stems, AddUpToTheMixAndAreEachChannelAlone) {
  for (const bool filter : {true, false}) {
    const Tracks all = filter ? rendered_files() : render_stems(false, -1);
    for (int c = 0; c < kChannels; ++c) ASSERT_EQ(all[1 + c].size(), all[0].size()) << c;
    for (size_t i = 0; i < all[0].size(); ++i)
      ASSERT_EQ(static_cast<int16_t>(all[1][i] + all[2][i] + all[3][i] + all[4][i]), all[0][i])
          << i;
    for (int c = 0; c < kChannels; ++c) {
      const std::vector<int16_t> alone = render_stems(filter, c)[0];
      ASSERT_EQ(alone.size(), all[0].size());
      int worst = 0;
      for (size_t i = 0; i < alone.size(); ++i)
        worst = std::max(worst, std::abs(alone[i] - all[1 + c][i]));
      // The first channel on each side (0 left, 1 right) is exact; the others
      // are within the rounding of the running sums, plus one with the filter.
      EXPECT_LE(worst, c < 2 ? 0 : filter ? 2 : 1) << "channel " << c;
      EXPECT_NE(alone, std::vector<int16_t>(alone.size())) << "channel " << c << " is silent";
    }
  }
}

}  // namespace
