// The settings file: what each line gives, which lines are skipped and why,
// and that what is written reads back.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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
  auto made = [](int32_t autosave, bool backups, int32_t delay, int32_t rate, const char* input,
                 int32_t transpose, bool velocity) {
    Settings s;
    s.autosave_seconds = autosave;
    s.backups = backups;
    s.repeat_delay_ms = delay;
    s.import_rate = rate;
    s.midi_input = input;
    s.midi_transpose = transpose;
    s.midi_velocity = velocity;
    return s;
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
       {made(0, false, 0, 0, "none", -48, true),
        made(86400, true, 2000, 96000, "Keys:Port 1 20:0", 48, false), Settings{}}) {
    ASSERT_TRUE(write_settings(path, s));  // making the missing folders
    EXPECT_EQ(shown(read_settings(path)), shown(s));
  }
  EXPECT_FALSE(write_settings(path + "/under-a-file", Settings{}));
  std::filesystem::remove_all(dir);
}

// The keys of the keyboard, samples, audio buffer and start folders.
TEST(Settings, RepeatFormatBufferAndFolders) {
  auto shown = [](const Settings& s, const std::vector<SettingsProblem>& problems) {
    std::string text = std::to_string(s.repeat_frames) + " " + (s.sample_iff ? "iff" : "raw") +
                       " " + std::to_string(s.audio_buffer) + " '" + s.module_dir + "' '" +
                       s.sample_dir + "' '" + s.pattern_dir + "'";
    for (const SettingsProblem& p : problems)
      text += " " + std::to_string(p.line) + ":" + p.reason.substr(0, p.reason.find(' '));
    return text;
  };
  const std::pair<const char*, const char*> kFiles[] = {
      {"", "5 raw 1024 '' '' ''"},
      {"[keyboard]\nrepeat_frames = 0\n[samples]\nformat = iff\nformat = IFF\n",
       "1 iff 1024 '' '' '' 2:clamped 5:bad"},
      {"[keyboard]\nrepeat_frames = 31\n[audio]\nbuffer = 256\nbuffer = 300\nbuffer = 8192\n",
       "30 raw 256 '' '' '' 2:clamped 5:bad 6:bad"},
      {"[dirs]\nmodules = ~/my mods \nsamples=/s\nsongs\npatterns =\n[samples]\nmodules = /x\n",
       "5 raw 1024 '~/my mods' '/s' '' 4:syntax 7:unknown"},
  };
  for (const auto& [text, want] : kFiles) {
    std::vector<SettingsProblem> problems;
    EXPECT_EQ(shown(parse_settings(text, problems), problems), want) << text;
  }
}

// Written over a file of the user's, every line of it stays where it was
// (comments, unknown keys, a line that cannot be read); the known keys take
// the new values, those missing join the end of their section or, for a
// section missing, the end of the file.
TEST(Settings, WritingKeepsTheUsersLines) {
  Settings s;
  s.audio_rate = 96000;
  s.backups = false;
  s.module_dir = "~/m";
  const std::string mine =
      "# mine\n[audio]\n; loud\nrate = 48000\nfuture = yes\n\n[safety]\nbackups = 1\n"
      "backups = x\nnot a key line\n";
  const std::string want =
      "# mine\n[audio]\n; loud\nrate = 96000\nfuture = yes\nmodel = exact\nseparation = 100\n"
      "clock = pal\nstereo = stereo\nbuffer = 1024\n\n[safety]\nbackups = 0\nbackups = 0\n"
      "not a key line\nautosave_seconds = 120\n\n[keyboard]\nrepeat_delay_ms = 300\n"
      "repeat_frames = 5\n\n[samples]\nimport_rate = 16726\nformat = raw\n\n[midi]\n"
      "transpose = 0\nvelocity = 0\ninput =\n\n[display]\nscale = 0\nfullscreen = 0\n\n[dirs]\n"
      "modules = ~/m\nsongs =\nsamples =\ntracks =\npatterns =\nlibrary =\n";
  const std::string path = testing::TempDir() + "tetrad-kept.ini";
  {
    std::ofstream out(path, std::ios::binary);
    out << mine;
  }
  ASSERT_TRUE(write_settings(path, s));
  std::ifstream in(path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, want);
  // Written again, nothing moves.
  ASSERT_TRUE(write_settings(path, s));
  std::ifstream again(path, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()),
            want);
  std::filesystem::remove(path);
}

// Each section of presets.ini is an entry, in the file's order, with or
// without a comment under it; a key before any section belongs to none.
TEST(Settings, PresetsAreTheFilesSections) {
  const std::pair<const char*, const char*> kFiles[] = {
      {"", ""},
      {"[st-01:bass]\ncomment = deep\n[st-01:hat]\n", "st-01:bass=deep|st-01:hat=|"},
      {"; mine\ncomment = none\n[a]\n\n[b]\ncolour = red\ncomment = x\n", "a=|b=x|"},
  };
  for (const auto& [text, want] : kFiles) {
    std::string got;
    for (const Preset& preset : parse_presets(text))
      got += preset.name + "=" + preset.comment + "|";
    EXPECT_EQ(got, want) << text;
  }
}
