#include "engine/player.h"

#include <gtest/gtest.h>

TEST(Player, FreshPlayerIsSilentAndEmpty) {
  Player* p = player_create(44100);
  for (int c = 0; c < kChannels; ++c) EXPECT_LT(p->channels[c].position, 0);
  EXPECT_EQ(p->channels[0].pan, 0);
  EXPECT_EQ(p->channels[1].pan, 255);
  EXPECT_EQ(p->channels[2].pan, 255);
  EXPECT_EQ(p->channels[3].pan, 0);
  for (int s = 0; s < kSampleCount; ++s) {
    EXPECT_EQ(p->samples[s].data, nullptr);
    EXPECT_EQ(p->samples[s].length, 0);
    EXPECT_EQ(p->samples[s].loop_length, 0x8000);
  }
  EXPECT_EQ(p->speed, 6);
  EXPECT_EQ(p->tempo, 125);
  EXPECT_EQ(p->play_mode, kStopped);
  EXPECT_EQ(p->pattern_count, 1);
  EXPECT_EQ(p->song_length, 1);
  EXPECT_EQ(p->flags, 4);
  EXPECT_FLOAT_EQ(p->samples_per_tick, 873.2673f);
  EXPECT_NEAR(p->filter_coefficient, 0.5468823f, 1e-6);
  EXPECT_NEAR(p->filter_gain, 0.2265588f, 1e-6);
  player_destroy(p);
}
