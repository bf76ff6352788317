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
#include "edit/key_tables.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "files/sample_file.h"
#include "files/track_pattern.h"
#include "shell/disk_op_files.h"
#include "shell/screens.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr int32_t kLine[4] = {45, 52, 59, 66};  // y of the first list lines
constexpr uint32_t kYellow = 0xF0D000;

Bytes file_bytes(const fs::path& path) {
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
    for (auto field : {&DiskOpState::module_dir, &DiskOpState::song_dir, &DiskOpState::sample_dir,
                       &DiskOpState::track_dir, &DiskOpState::pattern_dir, &DiskOpState::path})
      std::strcpy(state().disk_op.*field, dir_.c_str());
    set_screen_open(state(), ScreenId::kDiskOp, true);
  }
  void TearDown() override {
    close_disk_op(state().disk_op, state().status);
    fs::remove_all(dir_);
  }
  EditorState& state() { return screen_.state; }
  int32_t open() { return screen_is_open(state(), ScreenId::kDiskOp) ? 1 : 0; }
  Player& player() { return *screen_.state.player; }
  std::string message() const { return screen_.state.status.message; }
  std::string path() const { return screen_.state.disk_op.path; }

  // One frame with nothing pressed; a message shown earlier has run out.
  void frame() {
    std::fill(screen_.framebuffer.begin(), screen_.framebuffer.end(), 0x80);
    state().input.left_held = 0;
    state().status.message_timer = state().status.message_frames = 0;
    run_screens(state());
  }
  void press(int32_t x, int32_t y) {
    state().input.mouse_x = x;
    state().input.mouse_y = y;
    state().input.left_held = 1;
    run_screens(state());
  }
  void click(int32_t x, int32_t y) {
    frame();
    press(x, y);
  }
  // Notches of the wheel at a point, away from the user when positive.
  void wheel(int32_t x, int32_t y, int32_t notches) {
    frame();
    state().input.mouse_x = x;
    state().input.mouse_y = y;
    state().input.wheel = notches;
    run_screens(state());
    state().input.wheel = 0;
  }
  // A key the screen takes, pressed in a frame of its own.
  void key(int32_t key_index) {
    frame();
    state().input.screen_key = key_index;
    run_screens(state());
    state().input.screen_key = 0;
  }
  // SAVE, taking the name it offers; the question comes once the key is up.
  void save(int32_t y) {
    click(280, y);
    key(kKeyReturn);
    frame();
  }
  // Answers the pending question; the file is written in the next frame.
  void answer(bool yes) {
    press(yes ? 180 : 240, 75);
    frame();
  }
  void write(const std::string& name, const Bytes& bytes) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  }

  screen_test::Screen screen_;
  fs::path dir_;
};

TEST_F(DiskOp, BrowsingScrollingAndEachKindsPlace) {
  for (int i = 0; i < 20; ++i) write(std::string("f").append(std::to_string(100 + i)), {1});
  state().disk_op.show_all = 1;
  frame();  // the first opening reads the list
  ASSERT_EQ(state().disk_op.list_count, 21);
  click(50, kLine[0]);  // sub
  EXPECT_EQ(path(), (dir_ / "sub").string());
  EXPECT_EQ(std::string(state().disk_op.module_dir), path());
  click(200, 38);  // parent
  EXPECT_EQ(path(), dir_.string());
  click(150, 27);  // sample row
  click(313, 45);
  EXPECT_EQ(state().disk_op.list_top, 0) << "nothing above the first line";
  for (int i = 0; i < 14; ++i) click(313, 85);
  EXPECT_EQ(state().disk_op.list_top, 13) << "stops at the last full page";
  click(313, 95);
  click(313, 45);
  EXPECT_EQ(state().disk_op.list_top, 12);
  // The wheel over the list: towards the user shows later lines, within
  // the same ends; elsewhere it scrolls nothing.
  const int32_t turns[][4] = {
      {150, 60, 2, 10}, {150, 60, -5, 13}, {150, 90, 1, 12}, {150, 16, 3, 12}, {150, 100, -1, 12}};
  for (const auto& t : turns) {
    wheel(t[0], t[1], t[2]);
    EXPECT_EQ(state().disk_op.list_top, t[3]) << t[2] << " at y " << t[1];
  }
  click(150, 16);  // song row, at its own position
  EXPECT_EQ(state().disk_op.list_top, 0);
  click(150, 27);
  EXPECT_EQ(state().disk_op.list_top, 12);
  click(181, 38);  // page 2: row 2 is the pattern kind
  EXPECT_EQ(disk_kind(state().disk_op.page, state().disk_op.kind), kDiskPattern);
  std::strcpy(state().disk_op.pattern_dir, (dir_ / "gone").c_str());
  click(181, 38);
  click(181, 38);  // back to it: a missing directory lists nothing
  EXPECT_EQ(message() + std::to_string(state().disk_op.list_count), "CAN'T READ DIR0");
}

TEST_F(DiskOp, LoadingEachKindAndRefusals) {
  Player* other = player_create(44100);
  std::strcpy(other->song_name, "other");
  std::strcpy(other->samples[1].name, "st-99:missing");
  other->samples[1].length = 100 * kFixOne;
  write("a.mod", {1, 2, 3});
  write("b.mod", serialize_module(other, kKindModule));
  write("c.song", serialize_module(other, kKindSong));
  player_destroy(other);
  player().play_mode = kPlaySong;
  click(50, kLine[1]);  // a.mod
  EXPECT_EQ(message(), "NOT A MODULE");
  EXPECT_EQ(open(), 1) << "a refused file keeps the screen";
  EXPECT_EQ(player().play_mode, kPlaySong) << "and the song playing";
  EXPECT_STREQ(player().song_name, "tune");
  // Held past the repeat delay, the click does not try again; with the
  // message still up, the next press acts at once.
  state().input.repeat_delay_frames = 18;
  for (int32_t held = 2; held < 100; ++held) {
    state().input.left_held = held;
    state().status.message[0] = 0;
    run_screens(state());
    ASSERT_STREQ(state().status.message, "") << held;
  }
  state().input.left_held = 0;
  run_screens(state());
  ASSERT_EQ(state().status.message_timer, 1);
  press(50, kLine[2]);  // b.mod
  EXPECT_STREQ(player().song_name, "other");
  EXPECT_EQ(open(), 0);

  set_screen_open(state(), ScreenId::kDiskOp, true);
  click(150, 16);       // song row
  click(50, kLine[3]);  // c.song: the library lacks the sample, its name stays
  EXPECT_STREQ(player().samples[1].name, "st-99:missing");
  EXPECT_EQ(player().samples[1].data, nullptr);

  set_screen_open(state(), ScreenId::kDiskOp, true);
  write("empty", {});
  write("kick", Bytes(300, 7));
  click(150, 27);  // sample row: sub, empty, kick (the modules are not listed)
  state().selection.current_sample = 31;
  click(50, kLine[2]);  // kick
  EXPECT_EQ(player().samples[31].length, 300 * kFixOne);
  click(50, kLine[1]);  // empty: refused, the slot kept
  EXPECT_EQ(message(), "EMPTY FILE");
  EXPECT_EQ(player().samples[31].length, 300 * kFixOne);
  state().selection.current_sample = 0;
  click(280, 27);
  EXPECT_EQ(state().status.dialog, kDialogNone) << "sample 0 is never saved";
  state().selection.current_sample = 30;
  click(50, kLine[3]);
  EXPECT_EQ(player().samples[30].length, 0) << "below the last entry nothing happens";
}

TEST_F(DiskOp, SavingAsksFirstAndWritesOnlyOnYes) {
  struct Row {
    int32_t page, y;
    const char* question;
    const char* file;
  };
  const Row rows[] = {{0, 5, "SAVE MODULE ?", "mod.tune"},
                      {0, 16, "SAVE SONG ?", "tune"},
                      {0, 27, "SAVE SAMPLE ?", "snare"},
                      {1, 16, "SAVE TRACK ?", "tune"},
                      {1, 27, "SAVE PATTERN ?", "tune"}};
  std::strcpy(player().samples[1].name, "snare");
  for (const Row& row : rows) {
    fs::remove_all(dir_ / row.file);
    state().disk_op.page = row.page;
    save(row.y);
    EXPECT_EQ(message(), row.question);
    click(150, 16);  // other buttons wait while the question is open
    EXPECT_EQ(state().disk_op.kind, 0);
    answer(false);
    EXPECT_FALSE(fs::exists(dir_ / row.file)) << row.question;
    save(row.y);
    answer(true);
    EXPECT_TRUE(fs::exists(dir_ / row.file)) << row.question;
  }
  EXPECT_EQ(file_bytes(dir_ / "tune"), serialize_cells(&player().patterns[0][0][0], kPatternCells));
  state().disk_op.page = 0;
  click(100, 27);  // IFF
  save(27);
  EXPECT_EQ(message(), "REPLACE SAMPLE?");
  answer(true);
  EXPECT_EQ(file_bytes(dir_ / "snare"), serialize_sample(player().samples[1], true));

  std::memcpy(player().song_name, "../etc/passwdXXXXXXX", 20);  // no terminator
  save(16);
  answer(true);
  EXPECT_TRUE(fs::exists(dir_ / "_._etc_passwdXXXXXXX"));
  std::strcpy(state().disk_op.path, "/proc");  // takes no file
  save(5);
  answer(true);
  EXPECT_EQ(message(), "CAN'T SAVE FILE");
  EXPECT_EQ(state().status.pointer_colour, kPointerRed);

  // Closed by a key while a question waits: the question goes, the main
  // screen gets the mouse back.
  std::strcpy(state().disk_op.path, dir_.c_str());
  save(5);
  ASSERT_EQ(state().status.dialog, kDialogConfirm);
  set_screen_open(state(), ScreenId::kDiskOp, false);  // Esc or Alt+D
  frame();
  EXPECT_EQ(state().status.dialog, kDialogNone);
  EXPECT_EQ(state().disk_op.list, nullptr);
  set_screen_open(state(), ScreenId::kDiskOp, true);
  frame();
  EXPECT_FALSE(fs::exists(dir_ / "mod._._etc_passwdXXXXXXX"));
}

// A module over unsaved work is loaded only when the question is answered
// yes; a sample is not asked about.
TEST_F(DiskOp, LoadingOverUnsavedWorkAsksFirst) {
  Player* other = player_create(44100);
  std::strcpy(other->song_name, "other");
  write("b.mod", serialize_module(other, kKindModule));
  player_destroy(other);
  set_song_name(player(), "edited", 6);
  click(50, kLine[1]);  // b.mod
  EXPECT_EQ(message() + std::to_string(state().status.dialog),
            "UNSAVED! LOAD ?" + std::to_string(kDialogConfirm));
  answer(false);
  frame();
  EXPECT_STREQ(player().song_name, "edited");
  EXPECT_EQ(open(), 1);
  click(50, kLine[1]);
  answer(true);
  EXPECT_STREQ(player().song_name, "other");
  EXPECT_EQ(open(), 0);
}

TEST_F(DiskOp, HomeEndAndTypingMarkAnEntryThatReturnOpens) {
  for (int i = 0; i < 20; ++i) write("f" + std::to_string(100 + i), {1});
  write("etude", {1});
  write("\xC3\xA9t\xC3\xA9", {1});  // shown as "ete"
  state().disk_op.show_all = 1;
  frame();
  ASSERT_EQ(state().disk_op.list_count, 23);  // sub and 22 files
  const auto marked = [&] {
    const int32_t mark = state().disk_op.marked - 1;
    return mark < 0 ? std::string("none") : state().disk_op.list->entries[mark].name;
  };
  const auto type = [&](const char* text) {
    for (const char* c = text; *c; ++c) {
      state().input.text_char = *c;
      key(kKeyA);  // the layout's character, not the key's, is typed
    }
    state().input.text_char = 0;
  };
  // sub, etude, f100 .. f119, then the name whose first byte is past ASCII.
  key(kKeyEnd);
  EXPECT_EQ(state().disk_op.list_top, 15);
  EXPECT_EQ(marked(), "\xC3\xA9t\xC3\xA9");
  key(kKeyHome);
  EXPECT_EQ(state().disk_op.list_top, 0);
  EXPECT_EQ(marked(), "sub");
  type("F11");
  EXPECT_EQ(marked(), "f110");
  EXPECT_EQ(state().disk_op.list_top, 5) << "scrolled just enough to show it";
  for (int i = 0; i < 60; ++i) frame();  // a pause: the next letter starts anew
  type("ete");
  EXPECT_EQ(marked(), "\xC3\xA9t\xC3\xA9") << "matched by the folded name";
  type("x");
  EXPECT_EQ(marked(), "\xC3\xA9t\xC3\xA9") << "no match leaves the mark";
  type("su");
  // Scrolled out of sight, the mark is not opened by Return.
  for (int i = 0; i < 15; ++i) scroll_disk_op_list(state().disk_op, 1);
  key(kKeyReturn);
  frame();
  EXPECT_EQ(path(), dir_.string());
  for (int i = 0; i < 15; ++i) scroll_disk_op_list(state().disk_op, -1);
  // Return held opens nothing until it is let go.
  state().input.key_code = 0x1C;
  key(kKeyReturn);
  frame();
  EXPECT_EQ(path(), dir_.string());
  state().input.key_code = 0;
  frame();
  EXPECT_EQ(path(), (dir_ / "sub").string());
  EXPECT_EQ(marked(), "none") << "a new list has no mark";
}

TEST_F(DiskOp, TracksAndPatternsMoveBetweenFilesAndThePatternOrTheClipboards) {
  player().patterns[0][9][2].period = 428;
  player().patterns[0][9][2].sample = 3;
  state().selection.cursor_channel = 2;
  state().disk_op.page = 1;
  click(150, 16);  // track row
  save(16);        // from the pattern (CUR)
  answer(true);
  player().current_pattern = 4;
  state().selection.cursor_channel = 0;
  click(50, kLine[1]);  // into channel 0 of pattern 4; the screen closes
  EXPECT_EQ(player().patterns[4][9][0].sample, 3);
  EXPECT_EQ(player().patterns[5][0][0].period, 0) << "the track ends with row 63";
  // The load is one step, undone in pattern 4.
  EXPECT_EQ(history_undo(player()).pattern, 4);
  EXPECT_EQ(player().patterns[4][9][0].sample, 0);
  history_redo(player());
  state().disk_op.show_all = 1;  // a file of another size is listed only so
  set_screen_open(state(), ScreenId::kDiskOp, true);
  write("short", Bytes(kTrackFileBytes - 1));
  click(50, kLine[1]);  // short, now before tune
  EXPECT_EQ(message(), "FILE TOO SHORT");
  EXPECT_EQ(player().patterns[4][9][0].sample * open(), 3);
  fs::remove(dir_ / "short");

  click(150, 27);  // pattern row, BUF
  click(100, 27);
  state().edit_buffers.pattern_clipboard[1][1].period = 214;
  fs::remove(dir_ / "tune");
  save(27);
  answer(true);
  player().current_pattern = 6;
  click(100, 27);  // CUR
  click(50, kLine[1]);
  EXPECT_EQ(player().patterns[6][1][1].period, 214);
  EXPECT_EQ(open(), 1);
}

TEST_F(DiskOp, TheScreenShowsListColumnsAndTheEndOfThePath) {
  state().disk_op.show_all = 1;
  write("abcdefghijklmnopqrstuvwxyz", Bytes(7));
  write("seven", Bytes(123456));
  for (int i = 0; i < 6; ++i) write(std::string("z").append(std::to_string(i)), {1});
  std::tm noon{0, 0, 12, 5, 11, 126, 0, 0, -1, 0, nullptr};  // 5 December 2026
  const timeval times[2] = {{std::mktime(&noon), 0}, {std::mktime(&noon), 0}};
  ASSERT_EQ(utimes((dir_ / "seven").c_str(), times), 0);
  frame();
  // Lines: sub, abc..., seven, z0..z4; names start after "DDMMYY ".
  // A long name is cut with a mark, a space before the size; 123456 bytes
  // are 121 K.
  EXPECT_EQ(screen_.text_at(265, 44, 5, kYellow), "(DIR)");
  EXPECT_EQ(screen_.text_at(65, 51, 24, kYellow), "ABCDEFGHIJKLMNOPQRSTUV>.");
  EXPECT_EQ(screen_.text_at(289, 51, 2, kYellow), ".7");
  EXPECT_EQ(screen_.text_at(9, 58, 13, kYellow), "051226 SEVEN.");
  EXPECT_EQ(screen_.text_at(249, 58, 7, kYellow), "...121K");
  EXPECT_EQ(screen_.text_at(65, 86, 2, kYellow) + screen_.text_at(65, 93, 2, kYellow), "Z3Z4");
  // The two switches of rows 1 and 2 belong to the page shown.
  state().disk_op.option_song = 1;
  state().settings.sample_iff = false;
  frame();
  EXPECT_EQ(screen_.text_at(120, 14, 3) + screen_.text_at(120, 25, 3), " ONRAW");
  state().disk_op.page = 1;
  state().disk_op.track_buffer = 1;
  frame();
  EXPECT_EQ(screen_.text_at(120, 14, 3) + screen_.text_at(120, 25, 3), "BUFCUR");
  state().disk_op.page = 0;
  fs::create_directories(dir_ / "a-long-directory-name");
  std::strcpy(state().disk_op.path, (dir_ / "a-long-directory-name").c_str());
  frame();
  EXPECT_EQ(screen_.text_at(31, 36, 19), "ONG-DIRECTORY-NAME.");
}

TEST_F(DiskOp, PlacesAndDefaultDirectories) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
  setenv("HOME", dir_.c_str(), 1);
  setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
  char name[8];
  EXPECT_FALSE(volume_name(count_volumes(), name, sizeof name));
  click(50, kLine[0]);  // into sub, away from the first place
  for (const std::string& place : {dir_.string(), fs::current_path().string(), std::string("/")}) {
    click(5, 38);
    EXPECT_EQ(path(), place);
  }
  set_default_directories(state().disk_op, (dir_ / "sub" / "x.mod").c_str());
  EXPECT_EQ(path() + state().disk_op.song_dir, (dir_ / "sub").string() + (dir_ / "sub").string());
  EXPECT_EQ(std::string(state().disk_op.pattern_dir), (dir_ / "data/tetrad/Patterns").string());
  click(150, 27);
  EXPECT_TRUE(fs::is_directory(dir_ / "data/tetrad/Samples")) << "made when first shown";
  EXPECT_FALSE(fs::exists(dir_ / "data/tetrad/Tracks"));
  setenv("XDG_DATA_HOME", "relative", 1);  // not an absolute path: ignored
  EXPECT_EQ(data_directory(), dir_.string() + "/.local/share/tetrad");
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_DATA_HOME");
}

// Only a module or a sample is loaded; a FIFO, a directory or a missing
// path is refused without blocking. Only a file that is no module at all is
// tried as a sample: a damaged module is refused as one.
TEST_F(DiskOp, DroppedFilesLoadAsModulesOrSamplesAndNothingElseIsOpened) {
  const Bytes module = serialize_module(&player(), kKindModule);
  write("dropped.mod", module);
  write("hat", Bytes(50, 3));
  write("empty", {});
  Bytes packed = module;
  std::copy_n("PACK", 4, packed.begin());
  write("packed.mod", packed);
  write("cut.mod", Bytes(module.begin(), module.end() - 1));
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  const std::pair<const char*, FileError> drops[] = {
      {"dropped.mod", FileError::kNone},  {"hat", FileError::kNone},
      {"fifo", FileError::kNotRegular},   {"sub", FileError::kNotRegular},
      {"none", FileError::kNotFound},     {"empty", FileError::kEmpty},
      {"packed.mod", FileError::kPacked}, {"cut.mod", FileError::kTruncated}};
  for (const auto& [name, error] : drops) {
    const FileResult loaded = load_dropped_file((dir_ / name).c_str(), &state());
    EXPECT_EQ(static_cast<int32_t>(loaded.error), static_cast<int32_t>(error)) << name;
    EXPECT_EQ(loaded.ok, error == FileError::kNone) << name;
  }
  EXPECT_EQ(player().samples[1].length, 50 * kFixOne);
}

TEST(SafeFileName, NamesFromFilesBecomeNamesInsideTheDirectory) {
  const char* const cases[][3] = {
      {"tune", "20", "tune"},     {"tune   ", "20", "tune"},  {"", "20", "fb"},
      {"   ", "20", "fb"},        {"..", "20", "_."},         {"a/b", "20", "a_b"},
      {"a b", "20", "a b"},       {"\x01x\x7f", "20", "_x_"}, {".hide", "20", "_hide"},
      {"abcdefgh", "5", "abcde"},
  };
  for (const auto& c : cases) EXPECT_EQ(safe_file_name(c[0], std::stoul(c[1]), "fb"), c[2]) << c[0];
}

}  // namespace
