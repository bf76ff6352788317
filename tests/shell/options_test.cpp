#include "shell/options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

// Parses `args` as if typed after the program name.
const char* parse(std::initializer_list<const char*> args, LiveOptions& options) {
  std::vector<char*> argv{const_cast<char*>("tetrad")};
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  return parse_live_options(static_cast<int>(argv.size()), argv.data(), options);
}

TEST(LiveOptions, WindowAndScreenshotOptionsInAnyOrder) {
  LiveOptions o, shot;
  EXPECT_EQ(parse({"song.mod", "--scale", "4", "--fullscreen", "--play"}, o), nullptr);
  EXPECT_TRUE(o.scale == 4 && o.fullscreen && o.play);
  EXPECT_STREQ(o.module, "song.mod");
  EXPECT_EQ(parse({"--screenshot", "out.png", "--frames", "1000000", "-"}, shot), nullptr);
  EXPECT_STREQ(shot.screenshot, "out.png");
  EXPECT_EQ(shot.frames, 1000000);
  EXPECT_STREQ(shot.module, "-") << "a lone dash is a file name";
}

TEST(LiveOptions, RefusesBadValuesAndCombinations) {
  const std::initializer_list<const char*> refused[] = {
      {"--scale"},
      {"--scale", "0"},
      {"--scale", "5"},
      {"--scale", "2x"},
      {"--screenshot"},
      {"--screenshot", "a.png", "--frames", "0"},
      {"--screenshot", "a.png", "--frames", "1000001"},
      {"--screenshot", "a.png", "--frames", "99999999999"},
      {"--frames", "3"},
      {"--screenshot", "a.png", "--scale", "2"},
      {"a.mod", "b.mod"},
      {"--loud"}};
  for (const auto& args : refused) {
    LiveOptions o;
    EXPECT_NE(parse(args, o), nullptr) << *args.begin();
  }
}

}  // namespace
