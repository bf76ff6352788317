#include "shell/options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// Parses `args` as if typed after the program name.
const char* parse(std::initializer_list<const char*> args, LiveOptions& options) {
  std::vector<char*> argv{const_cast<char*>("tetrad")};
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  return parse_live_options(static_cast<int>(argv.size()), argv.data(), options);
}

TEST(LiveOptions, DefaultsWithNoArguments) {
  LiveOptions o;
  EXPECT_EQ(parse({}, o), nullptr);
  EXPECT_EQ(o.scale, 0);
  EXPECT_FALSE(o.fullscreen);
  EXPECT_FALSE(o.play);
  EXPECT_EQ(o.module, nullptr);
  EXPECT_EQ(o.screenshot, nullptr);
  EXPECT_EQ(o.frames, 1);
}

TEST(LiveOptions, WindowOptionsAndModuleInAnyOrder) {
  LiveOptions o;
  EXPECT_EQ(parse({"song.mod", "--scale", "3", "--fullscreen", "--play"}, o), nullptr);
  EXPECT_EQ(o.scale, 3);
  EXPECT_TRUE(o.fullscreen);
  EXPECT_TRUE(o.play);
  EXPECT_STREQ(o.module, "song.mod");
}

TEST(LiveOptions, Screenshot) {
  LiveOptions o;
  EXPECT_EQ(parse({"--screenshot", "out.png", "--frames", "120", "--play", "a.mod"}, o), nullptr);
  EXPECT_STREQ(o.screenshot, "out.png");
  EXPECT_EQ(o.frames, 120);
  EXPECT_STREQ(o.module, "a.mod");
}

TEST(LiveOptions, RefusesBadValuesAndCombinations) {
  LiveOptions o;
  EXPECT_NE(parse({"--scale"}, o), nullptr);
  EXPECT_NE(parse({"--scale", "0"}, o), nullptr);
  EXPECT_NE(parse({"--scale", "5"}, o), nullptr);
  EXPECT_NE(parse({"--scale", "2x"}, o), nullptr);
  EXPECT_NE(parse({"--screenshot"}, o), nullptr);
  EXPECT_NE(parse({"--screenshot", "a.png", "--frames", "0"}, o), nullptr);
  EXPECT_NE(parse({"--screenshot", "a.png", "--frames", "99999999999"}, o), nullptr);
  EXPECT_NE(parse({"--frames", "3"}, o), nullptr);
  EXPECT_NE(parse({"--screenshot", "a.png", "--scale", "2"}, o), nullptr);
  EXPECT_NE(parse({"a.mod", "b.mod"}, o), nullptr);
  EXPECT_NE(parse({"--loud"}, o), nullptr);
}

TEST(LiveOptions, LoneDashIsAFileName) {
  LiveOptions o;
  EXPECT_EQ(parse({"-"}, o), nullptr);
  EXPECT_STREQ(o.module, "-");
}

}  // namespace
