// The disk-op screen driven by clicks, on real temporary directories, with
// the program's own loaders and writers.
#include "diskop/disk_op.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../render/screen_fixture.h"
#include "diskop/directory.h"
#include "files/module_format.h"
#include "files/sample_file.h"
#include "files/track_pattern.h"
#include "shell/disk_op_files.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class DiskOp : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tetrad-diskop-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_ / "sub");
    std::strcpy(player().song_name, "tune");
    for (char(&field)[kPathSize] : {std::ref(state().module_dir), std::ref(state().song_dir),
                                    std::ref(state().sample_dir), std::ref(state().track_dir),
                                    std::ref(state().pattern_dir), std::ref(state().disk_op_path)})
      std::snprintf(field, sizeof field, "%s", dir_.c_str());
    state().disk_op_active = 1;
  }
  void TearDown() override {
    close_disk_op(&state());
    fs::remove_all(dir_);
  }
  EditorState& state() { return screen_.state; }
  Player& player() { return *screen_.state.player; }

  // One frame with nothing pressed; a message shown earlier has run out.
  void frame() {
    std::fill(screen_.framebuffer.begin(), screen_.framebuffer.end(), 0x80);
    state().left_held = 0;
    state().message_timer = state().message_frames = 0;
    disk_op_frame(&state(), disk_op_services());
  }
  void click(int32_t x, int32_t y) {
    frame();
    state().mouse_x = x;
    state().mouse_y = y;
    state().left_held = 1;
    disk_op_frame(&state(), disk_op_services());
  }
  // Answers the pending question; the file is written in the next frame.
  void answer(bool yes) {
    state().mouse_x = yes ? 180 : 240;
    state().mouse_y = 75;
    state().left_held = 1;
    disk_op_frame(&state(), disk_op_services());
    frame();
  }
  void write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  std::string message() const { return screen_.state.message; }

  screen_test::Screen screen_;
  fs::path dir_;
};

constexpr int32_t kLine0 = 47;
constexpr int32_t kLine1 = 53;
constexpr uint32_t kYellow = 0xF0D000;

TEST_F(DiskOp, TheFirstOpeningListsTheDirectoryAndDirectoriesAreEntered) {
  write("a.mod", serialize_module(&player(), kKindModule));
  frame();
  ASSERT_EQ(state().list_count, 2);  // sub, a.mod
  EXPECT_EQ(screen_.text_at(9 + 8 * 7, 46, 3, kYellow), "SUB");
  click(50, kLine0);
  EXPECT_EQ(std::string(state().disk_op_path), (dir_ / "sub").string());
  EXPECT_EQ(std::string(state().module_dir), (dir_ / "sub").string());
  EXPECT_EQ(state().list_count, 0);
  click(200, 38);  // parent
  EXPECT_EQ(std::string(state().disk_op_path), dir_.string());
  EXPECT_EQ(state().list_count, 2);
}

TEST_F(DiskOp, AModuleClickedInTheListLoadsAndClosesTheScreen) {
  Player* other = player_create(44100);
  std::strcpy(other->song_name, "other");
  write("other.mod", serialize_module(other, kKindModule));
  player_destroy(other);
  write("broken.mod", {1, 2, 3});
  frame();  // broken.mod, other.mod after sub
  const Player* before = &player();
  click(50, kLine1);
  EXPECT_EQ(state().disk_op_active, 1) << "a refused file keeps the screen";
  EXPECT_EQ(&player(), before);
  EXPECT_EQ(message(), "NOT A MODULE");
  EXPECT_EQ(state().pointer_colour, kPointerRed);
  click(50, kLine1 + 6);
  EXPECT_EQ(state().disk_op_active, 0);
  EXPECT_STREQ(player().song_name, "other");
  EXPECT_EQ(state().dir_list, nullptr);
}

TEST_F(DiskOp, SamplesLoadIntoTheCurrentSlotAndTheScreenStays) {
  write("kick", std::vector<uint8_t>(300, 7));
  write("empty", {});
  click(150, 27);  // sample row
  state().current_sample = 5;
  click(50, kLine1 + 6);  // kick, after sub and empty
  EXPECT_EQ(state().disk_op_active, 1);
  EXPECT_EQ(player().samples[5].length, 300 * kFixOne);
  EXPECT_STREQ(player().samples[5].name, "kick");
  click(50, kLine1);  // empty: refused, slot kept
  EXPECT_EQ(player().samples[5].length, 300 * kFixOne);
  EXPECT_EQ(message(), "EMPTY FILE");
  state().current_sample = 0;
  click(50, kLine1 + 6);
  EXPECT_EQ(player().samples[0].data, nullptr);
  EXPECT_EQ(message(), "NO SAMPLE CHOSEN");
  click(280, 27);
  EXPECT_EQ(state().dialog, kDialogNone) << "sample 0 is never saved";
  state().current_sample = 31;
  click(50, kLine1 + 6);
  EXPECT_EQ(player().samples[31].length, 300 * kFixOne);
  state().current_sample = 30;
  click(50, kLine1 + 12);
  EXPECT_EQ(player().samples[30].length, 0) << "below the last entry nothing happens";
  state().current_sample = 31;
  click(100, 27);  // IFF
  click(280, 27);
  answer(true);
  EXPECT_EQ(file_bytes(dir_ / "kick"), serialize_sample(player().samples[31], true));
}

TEST_F(DiskOp, SavingAsksFirstAndWritesOnlyOnYes) {
  struct Row {
    int32_t page;
    int32_t y;  // the row's save button
    const char* question;
    const char* file;
  };
  const Row rows[] = {
      {0, 5, "SAVE MODULE ?", "mod.tune"}, {0, 16, "SAVE SONG ?", "tune"},
      {0, 27, "SAVE SAMPLE ?", "snare"},   {1, 16, "SAVE TRACK ?", "tune"},
      {1, 27, "SAVE PATTERN ?", "tune"},
  };
  std::strcpy(player().samples[1].name, "snare");
  for (const Row& row : rows) {
    fs::remove_all(dir_ / row.file);
    state().disk_op_page = row.page;
    click(280, row.y);
    EXPECT_EQ(message(), row.question);
    EXPECT_EQ(state().dialog, kDialogConfirm);
    click(150, 16);  // other buttons wait while the question is open
    EXPECT_EQ(state().disk_op_kind, 0);
    answer(false);
    EXPECT_FALSE(fs::exists(dir_ / row.file)) << row.question;
    EXPECT_EQ(state().dialog, kDialogNone);
    click(280, row.y);
    answer(true);
    EXPECT_TRUE(fs::exists(dir_ / row.file)) << row.question;
  }
  // The last one written was the pattern file: the current pattern's cells.
  EXPECT_EQ(file_bytes(dir_ / "tune"), serialize_cells(&player().patterns[0][0][0], kPatternCells));
}

TEST_F(DiskOp, ReplacingAFileSaysSoAndAFailedSaveIsReported) {
  write("mod.tune", {9, 9});
  click(280, 5);
  EXPECT_EQ(message(), "REPLACE MODULE?");
  answer(true);
  EXPECT_EQ(file_bytes(dir_ / "mod.tune"), serialize_module(&player(), kKindModule));
  EXPECT_EQ(message(), "ALL RIGHT");

  // A directory that cannot take the file: the message says so, in red.
  std::strcpy(state().disk_op_path, "/proc");
  click(280, 5);
  answer(true);
  EXPECT_EQ(message(), "CAN'T SAVE FILE");
  EXPECT_EQ(state().pointer_colour, kPointerRed);
  EXPECT_EQ(state().message_timer, 1);
}

TEST_F(DiskOp, TitlesNeverLeaveTheDirectory) {
  std::memcpy(player().song_name, "../../etc/passwdXXXX", 20);  // no terminator
  click(280, 16);
  answer(true);
  EXPECT_TRUE(fs::exists(dir_ / "_._.._etc_passwdXXXX"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 2);  // sub and the song
}

TEST_F(DiskOp, TracksAndPatternsMoveBetweenFilesAndThePatternOrTheClipboards) {
  PatternCell& cell = player().patterns[0][9][2];
  cell.period = 428;
  cell.sample = 3;
  state().cursor_channel = 2;
  state().disk_op_page = 1;
  click(150, 16);  // track row
  click(280, 16);  // from the pattern (CUR)
  answer(true);
  click(100, 16);     // BUF
  click(50, kLine1);  // "tune" into the track clipboard, which closes the screen
  EXPECT_EQ(state().track_clipboard[9].period, 428);
  EXPECT_EQ(state().disk_op_active, 0);

  state().disk_op_active = 1;
  player().current_pattern = 4;
  state().cursor_channel = 0;
  click(100, 16);  // CUR
  click(50, kLine1);
  EXPECT_EQ(player().patterns[4][9][0].sample, 3);
  EXPECT_EQ(player().patterns[5][0][0].period, 0) << "the track ends with row 63";
  EXPECT_EQ(state().undo_pattern_number, 4);

  state().disk_op_active = 1;
  click(150, 27);  // pattern row, BUF
  click(100, 27);
  fs::create_directories(dir_ / "p");
  std::strcpy(state().disk_op_path, (dir_ / "p").c_str());
  state().pattern_clipboard[1][1].period = 214;
  click(280, 27);
  answer(true);
  player().current_pattern = 6;
  click(100, 27);  // CUR
  click(50, kLine0);
  EXPECT_EQ(player().patterns[6][1][1].period, 214);
  EXPECT_EQ(state().disk_op_active, 1);
}

TEST_F(DiskOp, KindsKeepTheirDirectoryAndListPosition) {
  for (int i = 0; i < 20; ++i) write("f" + std::to_string(100 + i), {1});
  click(150, 27);  // sample row
  EXPECT_EQ(state().list_count, 21);
  click(313, 45);
  EXPECT_EQ(state().list_top, 0) << "nothing above the first line";
  write("late", {1});
  frame();
  EXPECT_EQ(state().list_count, 21) << "redrawing does not read the directory";
  for (int i = 0; i < 14; ++i) click(313, 85);
  EXPECT_EQ(state().list_top, 13) << "stops at the last full page";
  click(313, 35);
  EXPECT_EQ(state().list_top, 0);
  click(313, 95);
  EXPECT_EQ(state().list_top, 13);
  click(313, 45);
  EXPECT_EQ(state().list_top, 12);
  click(150, 16);  // song row, at its own position
  EXPECT_EQ(state().list_top, 0);
  click(150, 27);
  EXPECT_EQ(state().list_top, 12);
  click(181, 38);  // page 1: the pattern kind of row 2
  EXPECT_EQ(disk_kind(state().disk_op_page, state().disk_op_kind), kDiskPattern);
  click(181, 38);
  EXPECT_EQ(disk_kind(state().disk_op_page, state().disk_op_kind), kDiskSample);
}

TEST_F(DiskOp, ClosingFromTheKeyboardGivesTheMouseBackToTheMainScreen) {
  frame();
  click(280, 5);
  ASSERT_EQ(state().dialog, kDialogConfirm);
  state().disk_op_active = 0;  // Esc or Alt+D
  frame();
  EXPECT_EQ(state().dialog, kDialogNone);
  EXPECT_EQ(state().dir_list, nullptr);
  EXPECT_EQ(state().save_kind, 0);
  state().disk_op_active = 1;
  frame();
  EXPECT_FALSE(fs::exists(dir_ / "mod.tune"));
  EXPECT_EQ(state().list_count, 1);
}

TEST_F(DiskOp, TheListShowsDateNameAndSizeColumns) {
  write("abcdefghijklmnopqrstuvwxyz", std::vector<uint8_t>(7));
  write("seven", std::vector<uint8_t>(123456));
  for (int i = 0; i < 6; ++i) write("z" + std::to_string(i), {1});
  std::tm noon{};
  noon.tm_year = 2026 - 1900;
  noon.tm_mon = 11;
  noon.tm_mday = 5;
  noon.tm_hour = 12;
  noon.tm_isdst = -1;
  const timeval times[2] = {{std::mktime(&noon), 0}, {std::mktime(&noon), 0}};
  ASSERT_EQ(utimes((dir_ / "seven").c_str(), times), 0);
  frame();
  // Lines: sub, abc..., seven; the name starts after "DDMMYY ".
  EXPECT_EQ(screen_.text_at(265, 46, 5, kYellow), "(DIR)");
  EXPECT_EQ(screen_.text_at(65, 52, 25, kYellow), "ABCDEFGHIJKLMNOPQRSTUVWX.");
  EXPECT_EQ(screen_.text_at(289, 52, 2, kYellow), ".7");
  EXPECT_EQ(screen_.text_at(9, 58, 13, kYellow), "051226 SEVEN.");
  EXPECT_EQ(screen_.text_at(249, 58, 7, kYellow), ".123456");
  EXPECT_EQ(screen_.text_at(65, 88, 2, kYellow), "Z4");
  EXPECT_EQ(screen_.text_at(65, 94, 2, kYellow), "..") << "eight lines only";
}

TEST_F(DiskOp, ThePanelShowsTheSwitchesOfItsPage) {
  state().option_song = 1;
  frame();
  EXPECT_EQ(screen_.text_at(120, 3, 3) + screen_.text_at(120, 14, 3) + screen_.text_at(120, 25, 3),
            "OFF ONRAW");
  click(181, 38);
  click(100, 16);
  EXPECT_EQ(screen_.text_at(120, 3, 3) + screen_.text_at(120, 14, 3) + screen_.text_at(120, 25, 3),
            "OFFCURCUR");
  frame();
  EXPECT_EQ(screen_.text_at(120, 14, 3), "BUF");
}

TEST_F(DiskOp, TheVolumeButtonCyclesThroughHomeTheWorkingDirectoryAndTheRoot) {
  const char* home = std::getenv("HOME");
  const std::string saved_home = home ? home : "";
  setenv("HOME", dir_.c_str(), 1);
  const int32_t count = count_volumes();
  const std::string expected[] = {dir_.string(), fs::current_path().string(), "/"};
  for (int round = 0; round < 2; ++round) {
    for (const std::string& place : expected) {
      click(5, 38);
      EXPECT_EQ(std::string(state().disk_op_path), place) << round;
    }
    for (int32_t i = 3; i < count; ++i) click(5, 38);  // mounted media
  }
  EXPECT_EQ(std::string(state().sample_dir), dir_.string()) << "the kind keeps the place";
  setenv("HOME", saved_home.c_str(), 1);
}

TEST_F(DiskOp, DataDirectoriesAreMadeWhenFirstShown) {
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string saved = data ? data : "";
  setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
  set_default_directories(&state(), (dir_ / "sub" / "x.mod").c_str());
  EXPECT_EQ(std::string(state().disk_op_path), (dir_ / "sub").string());
  EXPECT_EQ(std::string(state().song_dir), (dir_ / "sub").string());
  EXPECT_EQ(std::string(state().pattern_dir), (dir_ / "data/tetrad/Patterns").string());
  EXPECT_FALSE(fs::exists(dir_ / "data"));
  click(150, 27);
  EXPECT_TRUE(fs::is_directory(dir_ / "data/tetrad/Samples"));
  EXPECT_FALSE(fs::exists(dir_ / "data/tetrad/Tracks"));
  setenv("XDG_DATA_HOME", "relative", 1);
  const char* home = std::getenv("HOME");
  EXPECT_EQ(data_directory(), std::string(home ? home : "") + "/.local/share/tetrad");
  if (saved.empty())
    unsetenv("XDG_DATA_HOME");
  else
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST_F(DiskOp, ThePathFieldShowsTheEndOfALongPath) {
  fs::create_directories(dir_ / "a-long-directory-name");
  std::strcpy(state().disk_op_path, (dir_ / "a-long-directory-name").c_str());
  frame();
  EXPECT_EQ(screen_.text_at(31, 36, 19), "ONG-DIRECTORY-NAME.");
  std::strcpy(state().disk_op_path, "/tmp");
  frame();
  EXPECT_EQ(screen_.text_at(31, 36, 18), "/TMP______________");
}

TEST_F(DiskOp, ASongKeepsTheNamesOfSamplesTheLibraryLacks) {
  Player* song = player_create(44100);
  std::strcpy(song->samples[1].name, "st-99:missing");
  song->samples[1].length = 100 * kFixOne;
  write("song", serialize_module(song, kKindSong));
  player_destroy(song);
  click(150, 16);     // song row
  click(50, kLine1);  // after sub
  EXPECT_EQ(state().disk_op_active, 0);
  EXPECT_STREQ(player().samples[1].name, "st-99:missing");
  EXPECT_EQ(player().samples[1].data, nullptr);
}

TEST_F(DiskOp, DroppedFilesLoadAsModulesOrSamplesAndNothingElseIsOpened) {
  Player* other = player_create(44100);
  std::strcpy(other->song_name, "dropped");
  write("dropped.mod", serialize_module(other, kKindModule));
  player_destroy(other);
  write("hat", std::vector<uint8_t>(50, 3));
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(load_dropped_file((dir_ / "dropped.mod").c_str(), &state()), 1);
  EXPECT_STREQ(player().song_name, "dropped");
  state().current_sample = 7;
  EXPECT_EQ(load_dropped_file((dir_ / "hat").c_str(), &state()), 1);
  EXPECT_EQ(player().samples[7].length, 50 * kFixOne);
  for (const char* name : {"fifo", "sub", "none"}) {
    EXPECT_EQ(load_dropped_file((dir_ / name).c_str(), &state()), 0) << name;
    EXPECT_EQ(state().pointer_colour, kPointerRed);
    EXPECT_STREQ(player().song_name, "dropped");
  }
  EXPECT_EQ(message(), "CAN'T FIND FILE");
}

TEST(SafeFileName, NamesFromFilesBecomeNamesInsideTheDirectory) {
  struct Case {
    const char* raw;
    size_t max;
    const char* expected;
  };
  const Case cases[] = {
      {"tune", 20, "tune"},       {"a b", 20, "a b"},       {"tune   ", 20, "tune"},
      {"", 20, "fallback"},       {"   ", 20, "fallback"},  {".", 20, "_"},
      {"..", 20, "_."},           {"a/b", 20, "a_b"},       {"\x01x\x7f", 20, "_x_"},
      {".hidden", 20, "_hidden"}, {"abcdefgh", 5, "abcde"}, {"st-01:bass", 22, "st-01:bass"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(safe_file_name(c.raw, c.max, "fallback"), c.expected) << c.raw;
}

}  // namespace
