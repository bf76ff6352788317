// Four-channel modules under the other signatures real collections hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/song_render.h"
#include "every_command_module.h"
#include "files/module_format.h"

namespace {

std::vector<uint8_t> with_signature(std::vector<uint8_t> bytes, const char* signature) {
  std::memcpy(bytes.data() + 1080, signature, 4);
  return bytes;
}

std::string signature_of(const std::vector<uint8_t>& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()) + 1080, 4);
}

TEST(ModuleVariants, LoadAndPlayLikeTheSameFileWithTheCommonSignature) {
  const std::vector<uint8_t> plain = test_module::every_command_module_bytes();
  Player* reference = player_create(44100);
  ASSERT_TRUE(parse_module(plain.data(), plain.size(), reference, kKindModule, nullptr).ok);
  const std::vector<int16_t> expected = render_song(reference, 44100 * 5, nullptr);
  for (const char* signature : {"M!K!", "4CHN", "FLT4"}) {
    const std::vector<uint8_t> bytes = with_signature(plain, signature);
    Player* p = player_create(44100);
    ASSERT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok) << signature;
    EXPECT_EQ(std::string(p->signature, 4), signature);
    EXPECT_EQ(p->pattern_count, reference->pattern_count);
    EXPECT_EQ(std::memcmp(p->patterns, reference->patterns, sizeof p->patterns), 0) << signature;
    EXPECT_EQ(render_song(p, 44100 * 5, nullptr), expected) << signature;
    // Nothing here needs more than "M.K." says, so that is what is saved.
    EXPECT_EQ(signature_of(serialize_module(p, kKindModule)), "M.K.") << signature;
    player_destroy(p);
  }
  player_destroy(reference);
}

TEST(ModuleVariants, MoreThanSixtyFourPatternsKeepTheirSignatureWhileTheyNeedIt) {
  Player* source = player_create(44100);
  source->song_length = 2;
  source->order[1] = 70;  // 71 patterns
  const std::vector<uint8_t> bytes = with_signature(serialize_module(source, kKindModule), "M!K!");
  player_destroy(source);
  Player* p = player_create(44100);
  ASSERT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok);
  EXPECT_EQ(p->pattern_count, 71);
  EXPECT_EQ(signature_of(serialize_module(p, kKindModule)), "M!K!");
  const struct {
    int32_t highest_pattern;
    const char* saved;
  } cases[] = {{64, "M!K!"}, {63, "M.K."}, {0, "M.K."}};
  for (const auto& c : cases) {
    p->order[1] = c.highest_pattern;
    EXPECT_EQ(signature_of(serialize_module(p, kKindModule)), c.saved) << c.highest_pattern;
  }
  // A module that came as "M.K." stays "M.K." however many patterns it has.
  std::memcpy(p->signature, "M.K.", 4);
  p->order[1] = 100;
  EXPECT_EQ(signature_of(serialize_module(p, kKindModule)), "M.K.");
  player_destroy(p);
}

TEST(ModuleVariants, OtherSignaturesStayRefused) {
  const std::vector<uint8_t> plain = test_module::every_command_module_bytes();
  for (const char* signature : {"6CHN", "8CHN", "CD81", "FLT8", "OKTA", "M.K ", "m.k."}) {
    const std::vector<uint8_t> bytes = with_signature(plain, signature);
    Player* p = player_create(44100);
    const FileResult r = parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr);
    EXPECT_FALSE(r.ok) << signature;
    EXPECT_STREQ(r.message, "NOT A MODULE") << signature;
    player_destroy(p);
  }
}

}  // namespace
