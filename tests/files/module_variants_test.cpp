// Four-channel modules under the other signatures real collections hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "every_command_module.h"

namespace {

std::vector<uint8_t> signed_as(std::vector<uint8_t> bytes, const char* signature) {
  std::memcpy(bytes.data() + 1080, signature, 4);
  return bytes;
}

std::string saved_signature(const Player* p) {
  const std::vector<uint8_t> bytes = serialize_module(p, kKindModule);
  return std::string(bytes.begin() + 1080, bytes.begin() + 1084);
}

TEST(ModuleVariants, LoadAndSaveAsTheCommonSignatureUnlessTheyNeedTheirOwn) {
  Player* made = player_create(44100);
  made->song_length = 2;
  made->order[1] = 70;  // 71 patterns
  const std::vector<uint8_t> plain = serialize_module(made, kKindModule);
  player_destroy(made);
  // signature, highest pattern in the order list when saving, saved as
  const struct {
    const char* loaded;
    int32_t highest;
    const char* saved;
  } cases[] = {{"M!K!", 70, "M!K!"}, {"M!K!", 64, "M!K!"}, {"M!K!", 63, "M.K."},
               {"4CHN", 70, "M.K."}, {"FLT4", 70, "M.K."}, {"M.K.", 100, "M.K."}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = signed_as(plain, c.loaded);
    Player* p = player_create(44100);
    ASSERT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok) << c.loaded;
    EXPECT_EQ(std::string(p->signature, 4), c.loaded);
    p->order[1] = c.highest;
    EXPECT_EQ(saved_signature(p), c.saved) << c.loaded << " " << c.highest;
    player_destroy(p);
  }
}

}  // namespace
