// What the file list shows: names folded to the font's letters and cut to
// their column, sizes in five characters, and which files each row lists.
#include <gtest/gtest.h>

#include <string>

#include "diskop/disk_op.h"

TEST(FileList, NamesFoldToAsciiAndAreCutWithAMark) {
  const struct {
    const char* name;
    int32_t columns;
    const char* shown;
  } kCases[] = {
      {"\xC3\xA9t\xC3\xA9.mod", 23, "ete.mod"},  // é
      {"\xC3\x86r\xC3\xB8_Stra\xC3\x9F"
       "e",
       23, "Aro_StraSe"},  // Æ ø ß
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       23, "Lodz"},                                      // Ł ó ź
      {"\xC3\x80\xC3\xBF\xC4\x80\xC5\xBF", 23, "AyAs"},  // the table's ends
      {"\xC3\x97\xC3\xB7", 23, "??"},                    // × ÷: no letter
      {"\xE6\x97\xA5\xE6\x9C\xAC.mod", 23, "??.mod"},    // three-byte letters
      {"\xF0\x9F\x8E\xB5", 23, "?"},                     // four bytes
      {"a\xFF"
       "b\x01"
       "c\xC3",
       23, "a?b?c?"},  // bad bytes, a control
      {"\xC3"
       "A",
       23, "?A"},  // a lead without follower
      {"abcdefghij", 5, "abcd>"},
      {"abcde", 5, "abcde"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5,
       "eeee>"},  // cut by letters, not bytes
  };
  for (const auto& c : kCases) EXPECT_EQ(list_name(c.name, c.columns), c.shown) << c.name;
}

TEST(FileList, SizesTakeAtMostFiveCharacters) {
  const std::pair<uint64_t, const char*> kCases[] = {
      {0, "0"},
      {99999, "99999"},
      {100000, "98K"},
      {123456, "121K"},
      {10239487, "9999K"},
      {10239488, "10M"},
      {5368709120ull, "5120M"},
      {~0ull, "9999M"},
  };
  for (const auto& [bytes, shown] : kCases) EXPECT_EQ(list_size(bytes), shown) << bytes;
}

TEST(FileList, EachRowListsWhatItLoads) {
  const struct {
    DiskKind kind;
    const char* name;
    uint64_t bytes;
    bool signature;  // what the file's signature says
    bool listed;
    bool asked;  // whether the signature had to be read
  } kCases[] = {
      {kDiskModule, "song.MOD", 10, false, true, false},
      {kDiskModule, "Mod.tune", 10, false, true, false},
      {kDiskModule, "tune", 2000, true, true, true},
      {kDiskModule, "pic.png", 2000, false, false, true},
      {kDiskSong, "c.song", 10, false, true, false},
      {kDiskSong, "title", 2000, true, true, true},
      {kDiskSample, "kick.WAV", 10, true, true, false},
      {kDiskSample, "snare", 10, false, true, false},
      {kDiskSample, "x.8svx", 10, false, true, false},
      {kDiskSample, "s.flac", 10, false, true, false},
      {kDiskSample, "s.aiff", 10, false, true, false},
      {kDiskSample, "s.iff", 10, false, true, false},
      {kDiskSample, "a.mod", 10, false, false, false},
      {kDiskSample, "mod.x", 10, false, false, false},
      {kDiskSample, "pic.png", 10, false, false, false},
      {kDiskTrack, "t", 1024, false, true, false},
      {kDiskTrack, "t", 1023, false, false, false},
      {kDiskPattern, "p.pat", 4096, false, true, false},
      {kDiskPattern, "p", 1024, false, false, false},
  };
  for (const auto& c : kCases) {
    bool asked = false;
    const bool listed = listed_for_kind(c.kind, c.name, c.bytes, [&] {
      asked = true;
      return c.signature;
    });
    EXPECT_EQ(listed, c.listed) << c.kind << " " << c.name;
    EXPECT_EQ(asked, c.asked) << c.kind << " " << c.name;
  }
}
