// The refill's output model: what the settings choose, the model key's
// cycle, and the sound card fed with the model's blocks at its rate.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/editing.h"
#include "platform/headless.h"
#include "shell/audio_refill.h"

namespace {

Player* make_song(int32_t rate) {
  Player* p = player_create(44100);
  test_module::make_sample(p, 1, 3000, 0, 3000, 64, [](int32_t i) { return (i * 29) % 180 - 90; });
  for (int row = 0; row < kRows; row += 3)
    test_module::set_cell(p, 0, row, row / 3 % 4, 428 - 2 * row, 1);
  p->play_mode = kPlaySong;
  set_output_rate(*p, rate);
  return p;
}

TEST(OutputModel, SettingsChooseTheMixAndTheSoundFollowsThem) {
  auto shown = [](const MixSettings& m) {
    return std::string(output_model_name(m.model)) + " " + std::to_string(m.separation) + " " +
           std::to_string(m.rate) + " " + std::to_string(static_cast<int>(m.clock));
  };
  EXPECT_EQ(shown(mix_settings(Settings{})), "exact 100 44100 0");
  Settings s;
  s.audio_model = 2;
  s.audio_separation = 30;
  s.audio_rate = 96000;
  s.audio_clock = 1;
  EXPECT_EQ(shown(mix_settings(s)), "a1200 30 96000 1");
  EditorState state{};
  auto refill = std::make_unique<AudioRefill>();
  audio_refill_init(*refill, &state, mix_settings(s));
  // A model, separation or clock is swapped in; a rate or panning restarts.
  s.audio_model = 1;
  s.audio_separation = 70;
  EXPECT_FALSE(audio_refill_follow(*refill, s));
  EXPECT_EQ(shown(refill->mixers[refill->live].settings), "a500 70 96000 1");
  EXPECT_FALSE(audio_refill_follow(*refill, s));
  s.audio_rate = 48000;
  EXPECT_TRUE(audio_refill_follow(*refill, s));
  s.audio_rate = 96000;
  s.audio_mono = true;
  EXPECT_TRUE(audio_refill_follow(*refill, s));
  EXPECT_EQ(std::string(output_model_name(next_output_model(OutputModel::kA1200))), "exact");
}

TEST(OutputModel, TheCardGetsTheModelsBlocksAtItsRate) {
  for (const OutputModel model : {OutputModel::kA500, OutputModel::kA1200}) {
    const MixSettings mix{model, 60, 48000, MachineClock::kPal};
    EditorState state{};
    state.player = make_song(mix.rate);
    auto refill = std::make_unique<AudioRefill>();
    audio_refill_init(*refill, &state, mix);
    HeadlessPlatform platform;
    headless_init(platform, 10);
    const PlatformOps ops = headless_ops(platform);
    ops.audio_open(ops.context, AudioSource{audio_refill_fill, refill.get(), mix.rate});
    for (int f = 0; f < 10; ++f) ops.wait(ops.context);
    // 48000 / 60 frames of sound for each frame of the headless clock.
    EXPECT_EQ(platform.audio_frames_pulled, 10 * 800);
    const int64_t pulled = refill->blocks_rendered;
    EXPECT_EQ(pulled, (10 * 800 + kRefillFrames - 1) / kRefillFrames);
    // The same song mixed directly by the model, block for block.
    Player* reference = make_song(mix.rate);
    auto mixer = std::make_unique<OutputMixer>();
    output_mixer_init(*mixer, mix);
    std::vector<int16_t> right(kRefillFrames), left(kRefillFrames);
    for (int64_t b = 0; b < pulled; ++b)
      output_mix(reference, *mixer, right.data(), left.data(), 1, kRefillFrames);
    EXPECT_EQ(right,
              std::vector<int16_t>(refill->render_right, refill->render_right + kRefillFrames));
    EXPECT_EQ(left, std::vector<int16_t>(refill->render_left, refill->render_left + kRefillFrames));
    EXPECT_NE(right, std::vector<int16_t>(kRefillFrames));
    player_destroy(reference);
    ops.audio_close(ops.context);
    player_destroy(state.player);
  }
}

}  // namespace
