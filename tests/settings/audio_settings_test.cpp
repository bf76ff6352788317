// The [audio] keys: words and numbers they take, what they refuse, and that
// they are written as they are read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings.h"

TEST(AudioSettings, TakeTheirWordsAndNumbersAndReadBack) {
  // "model separation rate clock mono scale fullscreen", then each skipped line as "LINE:" and the
  // first word of its reason.
  auto shown = [](const Settings& s, const std::vector<SettingsProblem>& problems = {}) {
    std::string text = std::to_string(s.audio_model) + " " + std::to_string(s.audio_separation) +
                       " " + std::to_string(s.audio_rate) + " " + std::to_string(s.audio_clock) +
                       " " + std::to_string(s.audio_mono) + " " + std::to_string(s.display_scale) +
                       " " + std::to_string(s.display_fullscreen);
    for (const SettingsProblem& p : problems)
      text += " " + std::to_string(p.line) + ":" + p.reason.substr(0, p.reason.find(' '));
    return text;
  };
  const std::pair<const char*, const char*> kFiles[] = {
      {"[audio]\nmodel = a1200\nseparation = 35\nrate = 96000\nclock = ntsc\n",
       "2 35 96000 1 0 0 0"},
      {"[audio]\nmodel = a500\nrate = 48000\nmodel = A500\nmodel = 1\nseparation = 101\n"
       "rate = 44000\nrate = 96000.0\nclock = secam\nseparation = -1\n",
       "1 0 48000 0 0 0 0 4:bad 5:bad 6:clamped 7:bad 8:bad 9:bad 10:clamped"},
      {"model = a500\n[safety]\nrate = 48000\n", "0 100 44100 0 0 0 0 1:unknown 3:unknown"},
      {"[audio]\nstereo = mono\nstereo = 1\n[display]\nscale = 5\nfullscreen = 1\nscale = two\n",
       "0 100 44100 0 1 4 1 3:bad 5:clamped 7:bad"},
  };
  for (const auto& [text, want] : kFiles) {
    std::vector<SettingsProblem> problems;
    EXPECT_EQ(shown(parse_settings(text, problems), problems), want) << text;
  }
  const std::string path = testing::TempDir() + "tetrad-audio-settings.ini";
  Settings s;
  s.audio_model = 1;
  s.audio_separation = 0;
  s.audio_rate = 48000;
  s.audio_clock = 1;
  s.audio_mono = true;
  s.display_scale = 3;
  ASSERT_TRUE(write_settings(path, s));
  EXPECT_EQ(shown(read_settings(path)), "1 0 48000 1 1 3 0");
  std::filesystem::remove(path);
}
