// Directory lists and path services on real temporary directories.
#include "diskop/directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Directory : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tetrad-dir-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void file(const std::string& name, size_t bytes = 1) const {
    std::ofstream(dir_ / name) << std::string(bytes, 'x');
  }
  std::vector<std::string> names(const DirList& list) const {
    std::vector<std::string> result;
    for (const DirEntry& entry : list.entries)
      result.push_back(std::string(entry.type == kEntryDirectory ? "/" : "") + entry.name);
    return result;
  }

  fs::path dir_;
};

TEST_F(Directory, DirectoriesComeFirstThenFilesEachInNameOrderIgnoringCase) {
  file("b.mod", 5);
  file("A.mod", 1234);
  file("a.mod");
  file(".hidden");
  fs::create_directory(dir_ / "Zeta");
  fs::create_directory(dir_ / "alpha");
  fs::create_directory_symlink(dir_ / "Zeta", dir_ / "link");
  fs::create_symlink(dir_ / "nowhere", dir_ / "dangling");
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  const std::string long_name(255, 'n');
  file(long_name);

  DirList list{};
  ASSERT_TRUE(read_directory(dir_.c_str(), list));
  const std::vector<std::string> expected = {"/alpha", "/link", "/Zeta",  "A.mod",
                                             "a.mod",  "b.mod", long_name};
  EXPECT_EQ(names(list), expected);
  EXPECT_EQ(list.entries[3].size, 1234u);
  EXPECT_EQ(list.entries[0].size, 0u);
  EXPECT_EQ(std::string(list.path), dir_.string());
}

TEST_F(Directory, AnUnreadableDirectoryGivesAnEmptyList) {
  file("plain");
  DirList list{};
  list.entries.resize(3);
  for (const fs::path& path : {dir_ / "missing", dir_ / "plain"}) {
    EXPECT_FALSE(read_directory(path.c_str(), list)) << path;
    EXPECT_TRUE(list.entries.empty());
    EXPECT_FALSE(list.readable);
  }
  DirList empty{};
  EXPECT_TRUE(read_directory(dir_.c_str(), empty) && empty.readable);
}

TEST(PathServices, ParentDirectory) {
  struct Case {
    const char* path;
    size_t size;
    bool ok;
    const char* parent;
  };
  const Case cases[] = {
      {"/home/user/mods", 256, true, "/home/user"},
      {"/home/user/mods/", 256, true, "/home/user"},
      {"/home", 256, true, "/"},
      {"/", 256, false, "kept"},
      {"//", 256, false, "kept"},
      {"relative", 256, false, "kept"},
      {"/a/bc/d", 6, true, "/a/bc"},
      {"/a/bc/d", 5, false, "kept"},
  };
  for (const Case& c : cases) {
    char out[256] = "kept";
    const bool ok = parent_directory(c.path, out, c.size);
    EXPECT_EQ(ok, c.ok) << c.path;
    EXPECT_STREQ(out, c.parent) << c.path;
  }
}

TEST(PathServices, JoinPath) {
  struct Case {
    const char* path;
    const char* name;
    size_t size;
    bool ok;
    const char* result;
  };
  const Case cases[] = {
      {"/mods", "x.mod", 256, true, "/mods/x.mod"},
      {"/", "x.mod", 256, true, "/x.mod"},
      {"/mods", "work:x", 256, true, "/mods/work:x"},
      {"/mods", "", 256, false, "/mods"},
      {"/mods", ".", 256, false, "/mods"},
      {"/mods", "..", 256, false, "/mods"},
      {"/mods", "a/b", 256, false, "/mods"},
      {"/mods", "abc", 9, false, "/mods"},
      {"/mods", "abcd", 11, true, "/mods/abcd"},
  };
  for (const Case& c : cases) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%s", c.path);
    EXPECT_EQ(join_path(buffer, c.name, c.size), c.ok) << c.path << " + " << c.name;
    EXPECT_STREQ(buffer, c.result);
  }
}

TEST(PathServices, VolumesAreHomeTheWorkingDirectoryAndTheRoot) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const int32_t count = count_volumes();
  ASSERT_GE(count, home.empty() ? 2 : 3);
  char name[256];
  const int32_t first = home.empty() ? 0 : 1;
  if (!home.empty()) {
    ASSERT_TRUE(volume_name(0, name, sizeof name));
    EXPECT_EQ(std::string(name), home);
  }
  ASSERT_TRUE(volume_name(first, name, sizeof name));
  EXPECT_EQ(std::string(name), fs::current_path().string());
  ASSERT_TRUE(volume_name(first + 1, name, sizeof name));
  EXPECT_STREQ(name, "/");
  EXPECT_FALSE(volume_name(count, name, sizeof name));
  EXPECT_STREQ(name, "");
}

}  // namespace
