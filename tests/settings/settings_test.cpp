// The settings file: what each line gives, which lines are skipped and why,
// and that what is written reads back.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(Settings, ReadSkippingEachBadLineWithItsReasonAndWrittenToReadBack) {
  // "autosave backups delay import_rate 'input' transpose velocity", then each skipped
  // line as "LINE:" and the first word of its reason.
  auto shown = [](const Settings& s, const std::vector<SettingsProblem>& problems = {}) {
    std::string text = std::to_string(s.autosave_seconds) + " " + std::to_string(s.backups) + " " +
                       std::to_string(s.repeat_delay_ms) + " " + std::to_string(s.import_rate) +
                       " '" + s.midi_input + "' " + std::to_string(s.midi_transpose) + " " +
                       std::to_string(s.midi_velocity);
    for (const SettingsProblem& p : problems)
      text += " " + std::to_string(p.line) + ":" + p.reason.substr(0, p.reason.find(' '));
    return text;
  };
  const std::pair<std::string, const char*> kFiles[] = {
      // Keys stand in their own section; a bad value keeps the one before.
      {"\xEF\xBB\xBF# by hand\nbackups = 0\n[Safety]\nbackups = 0\n[safety]\r\nautosave = 1\n"
       "autosave_seconds = 86400 ; a day\nautosave_seconds = 86401\nbackups = -1\nbackups = 2\n"
       "[keyboard]\nrepeat_delay_ms = 1e2\n  repeat_delay_ms= 2000\r\n",
       "86400 1 2000 16726 '' 0 0 2:unknown 4:unknown 6:unknown 8:clamped 9:clamped 10:clamped "
       "12:bad"},
      // Every bad line is named, and the lines after it still count.
      {"[keyboard\n[safety]\nx\nbackups 0\nbackups = 0\n" + std::string(200, ' ') + "; long\n" +
           "backups = " + std::string(200, '1') +
           std::string("\nbackups = 1\0 = 1\n[keyboard]", 28),
       "120 0 300 16726 '' 0 0 1:syntax 3:syntax 4:syntax 7:line 8:unreadable"},
      // The port is text as written, spaces at its ends trimmed; the numbers
      // out of range are clamped, and said so.
      {"[midi]\ninput =  USB Keys:Port 1 20:0  \ntranspose = -48\nvelocity = 1\n"
       "transpose = 49\ntranspose = -49\nvelocity = 2\ninput\n[keyboard]\ninput = none\n"
       "[samples]\nimport_rate = 96001\nimport_rate = 0\n",
       "120 1 300 0 'USB Keys:Port 1 20:0' -48 1 5:clamped 6:clamped 7:clamped 8:syntax 10:unknown "
       "12:clamped"}};
  for (const auto& [text, want] : kFiles) {
    std::vector<SettingsProblem> problems;
    EXPECT_EQ(shown(parse_settings(text, problems), problems), want) << text;
  }
  const std::string dir = testing::TempDir() + "tetrad-settings", path = dir + "/tetrad/t.ini";
  std::filesystem::remove_all(dir);
  EXPECT_EQ(shown(read_settings(path)), "120 1 300 16726 '' 0 0");  // no file: the defaults
  for (const Settings& s :
       {Settings{0, false, 0, 0, "none", -48, true},
        Settings{86400, true, 2000, 96000, "Keys:Port 1 20:0", 48, false}, Settings{}}) {
    ASSERT_TRUE(write_settings(path, s));  // making the missing folders
    EXPECT_EQ(shown(read_settings(path)), shown(s));
  }
  EXPECT_FALSE(write_settings(path + "/under-a-file", Settings{}));
  std::filesystem::remove_all(dir);
}
