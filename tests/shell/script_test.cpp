#include "shell/script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
  const char* text;
  const char* error;  // "" when the text parses
};

TEST(Script, RefusesTheFirstLineItCannotRead) {
  const ParseCase cases[] = {
      {"key a\nwait 3\n# a comment\n\nclick 10 20 right\n", ""},
      {"key Return shift ctrl\nhold KP_Enter 5 ralt\ndrag 0 0 320 255\n", ""},
      {"type Hi, #1!\nshot a b.png\ndrop /tmp/x#y.mod\nclose\n", ""},
      {"key a\nkey nosuchkey\n", "2: unknown key name"},
      {"key a hyper\n", "1: unknown modifier"},
      {"wait\n", "1: wait takes 0..1000000 frames"},
      {"wait -1\n", "1: wait takes 0..1000000 frames"},
      {"\n\nclick 321 0\n", "3: click takes X Y [right]"},
      {"click 1 256\n", "1: click takes X Y [right]"},
      {"click 1 2 middle\n", "1: click takes X Y [right]"},
      {"hold a 0\n", "1: frames must be 1..1000000"},
      {"hold a\n", "1: hold takes a key and frames"},
      {"drag 1 2 3\n", "1: drag takes X1 Y1 X2 Y2"},
      {"type\n", "1: missing text"},
      {"type caf\xc3\xa9\n", "1: cannot type that character"},
      {"close now\n", "1: close and abort take nothing"},
      {"wheel 1 2 -3\nsave /tmp/a b.mod\nabort\n", ""},
      {"wheel 1 2\n", "1: wheel takes X Y N"},
      {"wheel 321 2 1\n", "1: wheel takes X Y N"},
      {"save\n", "1: missing text"},
      {"listen /tmp/a #1.wav\n", ""},
      {"listen\n", "1: missing text"},
      {"jump 3\n", "1: unknown command"},
  };
  for (const ParseCase& c : cases) {
    std::vector<ScriptCommand> commands;
    std::string error;
    const bool ok = parse_script(c.text, commands, error);
    EXPECT_EQ(ok, c.error[0] == 0) << c.text;
    if (!ok) {
      EXPECT_EQ(error, c.error) << c.text;
    }
  }
}

TEST(Script, ReadsEachCommandsArguments) {
  std::vector<ScriptCommand> commands;
  std::string error;
  ASSERT_TRUE(parse_script(
      "key F3 shift # cut\nhold Down 30\ntype A?\nclick 5 6 right\nshot out 1.png\nwait 7\n",
      commands, error));
  ASSERT_EQ(commands.size(), 6u);
  EXPECT_EQ(commands[0].verb, kScriptKey);
  EXPECT_EQ(commands[0].scancode, 60);
  EXPECT_EQ(commands[0].modifiers, kScriptModShift);
  EXPECT_EQ(commands[1].scancode, 81);
  EXPECT_EQ(commands[1].frames, 30);
  EXPECT_EQ(commands[2].text, "A?");
  EXPECT_TRUE(commands[3].right);
  EXPECT_EQ(commands[3].x1, 5);
  EXPECT_EQ(commands[3].y1, 6);
  EXPECT_EQ(commands[4].text, "out 1.png");
  EXPECT_EQ(commands[5].line, 6);
  EXPECT_EQ(commands[5].frames, 7);

  // Characters and the keys that type them on a US layout.
  const struct {
    char c;
    int32_t scancode;
    bool shift;
  } chars[] = {{'a', 4, false}, {'Z', 29, true},  {'1', 30, false}, {'0', 39, false},
               {'!', 30, true}, {'?', 56, true},  {' ', 44, false}, {'_', 45, true},
               {'"', 52, true}, {'\t', -1, false}};
  for (const auto& row : chars) {
    const ScriptCharKey key = script_char_key(row.c);
    EXPECT_EQ(key.scancode, row.scancode) << row.c;
    if (key.scancode >= 0) {
      EXPECT_EQ(key.shift, row.shift) << row.c;
    }
  }
}

}  // namespace
