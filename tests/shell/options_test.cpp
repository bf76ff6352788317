#include "shell/options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Parses the space-separated `args` as if typed after the program name. The
// words outlive the call, as the options point into them.
const char* parse(const std::string& args, LiveOptions& options) {
  static std::vector<std::string> words;
  words.clear();
  std::istringstream in(args);
  for (std::string word; in >> word;) words.push_back(word);
  std::vector<char*> argv{const_cast<char*>("tetrad")};
  for (std::string& word : words) argv.push_back(word.data());
  return parse_live_options(static_cast<int>(argv.size()), argv.data(), options);
}

TEST(LiveOptions, WindowAndScreenshotOptionsInAnyOrder) {
  LiveOptions o, shot;
  EXPECT_EQ(parse("song.mod --scale 4 --fullscreen --play", o), nullptr);
  EXPECT_TRUE(o.scale == 4 && o.fullscreen && o.play && std::string(o.module) == "song.mod");
  EXPECT_EQ(parse("--screenshot out.png --frames 1000000 -", shot), nullptr);
  EXPECT_TRUE(shot.frames == 1000000 && std::string(shot.screenshot) == "out.png");
  EXPECT_STREQ(shot.module, "-") << "a lone dash is a file name";
}

TEST(LiveOptions, RefusesBadValuesAndCombinations) {
  for (const char* args : {"--scale", "--scale 0", "--scale 5", "--scale 2x", "--screenshot",
                           "--screenshot a --frames 0", "--screenshot a --frames 1000001",
                           "--screenshot a --frames 99999999999", "--frames 3",
                           "--screenshot a --scale 2", "a.mod b.mod", "--loud"}) {
    LiveOptions o;
    EXPECT_NE(parse(args, o), nullptr) << args;
  }
}

}  // namespace
