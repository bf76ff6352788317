// PACK: a module saved without the patterns its song never plays.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/player.h"
#include "files/module_format.h"

TEST(Pack, LeavesOutUnplayedPatternsAndRenumbersTheRest) {
  Player* player = player_create(44100);
  // Each pattern marked by its number in row 0, channel 0.
  for (int32_t p = 0; p < 8; ++p) player->patterns[p][0][0].period = 100 + p;
  const int32_t order[] = {5, 2, 5, 7};
  std::memcpy(player->order, order, sizeof order);
  player->order[4] = 6;  // past the song's length: never played
  player->song_length = 4;
  pack_patterns(*player);
  // 2, 5 and 7 are played: they become 0, 1 and 2 in their order.
  const int32_t packed[] = {1, 0, 1, 2, 0, 0};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(player->order[i], packed[i]) << i;
  EXPECT_EQ(player->patterns[0][0][0].period, 102);
  EXPECT_EQ(player->patterns[1][0][0].period, 105);
  EXPECT_EQ(player->patterns[2][0][0].period, 107);
  const std::vector<uint8_t> bytes = serialize_module(player, kKindSong);
  EXPECT_EQ(bytes.size(), 1084u + 3 * 1024) << "three patterns written";
  EXPECT_EQ(bytes[1084 + 2 * 1024 + 1], 107) << "the last one is the old 7";
  player_destroy(player);
}
