// Typing to jump in a list, Home and End, and the scroll that shows an
// entry: rows of keys typed with the frames between them, and the entry
// each key marks, worked out from the names by hand.
#include "edit/list_jump.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// `keys`: a character is typed in a frame of its own; a number is that many
// frames without a key. Returns what each typed character marked.
std::string marks(const Names& names, const std::string& keys) {
  ListJump jump{};
  std::istringstream in(keys);
  std::string out;
  const auto name_of = [&](int32_t i, int32_t) { return names[static_cast<size_t>(i)]; };
  const auto count = static_cast<int32_t>(names.size());
  for (std::string word; in >> word;) {
    if (std::isdigit(static_cast<unsigned char>(word[0])) && word.size() > 1) {
      for (int n = std::stoi(word); n > 0; --n) list_jump_frame(jump, 0, count, name_of);
      continue;
    }
    out +=
        (out.empty() ? "" : " ") + std::to_string(list_jump_frame(jump, word[0], count, name_of));
  }
  return out;
}

TEST(ListJump, TypedPrefixMarksTheFirstEntryStartingWithIt) {
  const Names tunes = {"beat", "Bass", "bassline", "c64 tune", "7th", "B52"};
  const struct {
    const char* what;
    Names names;
    const char* keys;
    const char* marked;
  } rows[] = {
      {"empty list", {}, "b", "-1"},
      {"first letter", tunes, "b", "0"},
      {"a prefix, letter case aside", tunes, "b a s s l", "0 1 1 1 2"},
      {"typed in upper case", tunes, "B A", "0 1"},
      {"59 frames apart still build", tunes, "b 59 a", "0 1"},
      {"60 frames apart start anew", tunes, "b 60 a", "0 -1"},
      {"a digit alone", tunes, "7", "4"},
      {"a digit inside the prefix", tunes, "c 6", "3 3"},
      {"digits after a letter", tunes, "b 5", "0 5"},
      {"no match drops the whole prefix", tunes, "b x 7", "0 -1 4"},
      {"the letters must follow each other", tunes, "c 6 4 t", "3 3 3 -1"},
  };
  for (const auto& row : rows) EXPECT_EQ(marks(row.names, row.keys), row.marked) << row.what;
}

TEST(ListJump, KeysOfTheFrameMarkEnds) {
  const Names names = {"alpha", "beta", "gamma"};
  const auto name_of = [&](int32_t i, int32_t) { return names[static_cast<size_t>(i)]; };
  const struct {
    const char* what;
    int32_t screen_key;
    int32_t key_code;  // PC set-1
    int32_t text_char;
    int32_t count;
    int32_t marked;
  } rows[] = {
      {"Home", kKeyHome, 0xC7, 0, 3, 0},
      {"End", kKeyEnd, 0xCF, 0, 3, 2},
      {"Home on an empty list", kKeyHome, 0xC7, 0, 0, -1},
      {"End on an empty list", kKeyEnd, 0xCF, 0, 0, -1},
      {"the key's own letter", kKeyG, 0x22, 0, 3, 2},
      {"the layout's letter wins", kKeyQ, 0x10, 'b', 3, 1},
      {"a key that types no letter", kKeyStopAll + 8, 0x33, ',', 3, -1},
      {"no key this frame", 0, 0x22, 'g', 3, -1},
  };
  for (const auto& row : rows) {
    ListJump jump{};
    FrameInput input{};
    input.screen_key = row.screen_key;
    input.key_code = row.key_code;
    input.text_char = row.text_char;
    EXPECT_EQ(list_key_entry(jump, input, row.count, name_of), row.marked) << row.what;
  }
}

TEST(ListJump, TopShowsTheEntryWithTheLeastScroll) {
  // Twenty entries, eight lines: tops 0..12.
  const int32_t rows[][3] = {
      // entry, top, top after
      {0, 5, 0},   {4, 5, 4},    {5, 5, 5},  {12, 5, 5},   {13, 5, 6},
      {19, 0, 12}, {10, 12, 10}, {3, 15, 3}, {19, 15, 12},
  };
  for (const auto& row : rows)
    EXPECT_EQ(top_showing(row[0], row[1], 8, 20), row[2]) << row[0] << " from " << row[1];
  EXPECT_EQ(top_showing(2, 0, 8, 5), 0) << "a list shorter than the lines never scrolls";
}

}  // namespace
