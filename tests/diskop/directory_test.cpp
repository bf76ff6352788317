// Directory lists and path services on real temporary directories.
#include "diskop/directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(Directory, DirectoriesComeFirstThenRegularFilesEachInNameOrderIgnoringCase) {
  const fs::path dir = fs::temp_directory_path() / ("tetrad-dir-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string long_name(255, 'n');
  for (const std::string& name : {std::string("b.mod"), std::string("a.mod"), long_name,
                                  std::string(".hidden"), std::string("plain")})
    std::ofstream(dir / name) << "12345";
  std::ofstream(dir / "A.mod") << "1";
  fs::create_directory(dir / "Zeta");
  fs::create_directory(dir / "alpha");
  fs::create_directory_symlink(dir / "Zeta", dir / "link");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);

  DirList list{};
  ASSERT_TRUE(read_directory(dir.c_str(), list));
  std::vector<std::string> names;
  for (const DirEntry& entry : list.entries)
    names.push_back((entry.type == kEntryDirectory ? "/" : "") + std::string(entry.name) + ":" +
                    std::to_string(entry.size));
  const std::vector<std::string> expected = {"/alpha:0", "/link:0", "/Zeta:0",        "A.mod:1",
                                             "a.mod:5",  "b.mod:5", long_name + ":5", "plain:5"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(std::string(list.path), dir.string());

  // A missing directory, or a file given as one, gives an empty list.
  for (const fs::path& path : {dir / "missing", dir / "plain"}) {
    EXPECT_FALSE(read_directory(path.c_str(), list)) << path;
    EXPECT_TRUE(list.entries.empty() && !list.readable);
  }
  fs::remove_all(dir);
}

TEST(PathServices, ParentDirectory) {
  // path, buffer size, parent ("-" when there is none and the buffer stays).
  const char* const cases[][3] = {
      {"/home/user/mods", "256", "/home/user"},
      {"/home/user/mods/", "256", "/home/user"},
      {"/home", "256", "/"},
      {"/", "256", "-"},
      {"//", "256", "-"},
      {"relative", "256", "-"},
      {"/a/bc/d", "6", "/a/bc"},
      {"/a/bc/d", "5", "-"},
  };
  for (const auto& c : cases) {
    char out[256] = "-";
    EXPECT_EQ(parent_directory(c[0], out, std::stoul(c[1])), std::string(c[2]) != "-") << c[0];
    EXPECT_STREQ(out, c[2]) << c[0];
  }
}

TEST(PathServices, JoinPath) {
  // path, name, buffer size, result (the path itself when refused).
  const char* const cases[][4] = {
      {"/mods", "x.mod", "256", "/mods/x.mod"},
      {"/", "x.mod", "256", "/x.mod"},
      {"", "x.mod", "256", "x.mod"},
      {"/mods", "work:x", "256", "/mods/work:x"},
      {"/mods", "", "256", "/mods"},
      {"/mods", ".", "256", "/mods"},
      {"/mods", "..", "256", "/mods"},
      {"/mods", "a/b", "256", "/mods"},
      {"/mods", "abc", "9", "/mods"},
      {"/mods", "abcd", "11", "/mods/abcd"},
  };
  for (const auto& c : cases) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%s", c[0]);
    EXPECT_EQ(join_path(buffer, c[1], std::stoul(c[2])), std::string(c[3]) != c[0]) << c[1];
    EXPECT_STREQ(buffer, c[3]);
  }
}

}  // namespace
