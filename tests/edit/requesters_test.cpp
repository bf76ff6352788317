#include "edit/requesters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "engine/audio_lock.h"

namespace {

enum : int32_t {
  kBackspace = 0x0E,
  kY = 0x15,
  kO = 0x18,
  kReturn = 0x1C,
  kA = 0x1E,
  kS = 0x1F,
  kC = 0x2E,
  kLeft = 0xCB,
  kRight = 0xCD,
  kDelete = 0xD3,
};

// One frame of the requester or field under test with the key held.
class Requesters : public ::testing::Test {
 protected:
  screen_test::Screen screen;
  EditorState& state = screen.state;

  void frame(int32_t (*handler)(EditorState*), int32_t key, int32_t modifiers = 0) {
    state.key_code = key;
    state.modifiers = modifiers;
    handler(&state);
  }
  // Press and release: two frames.
  void press(int32_t key, int32_t modifiers = 0) {
    frame(edit_text_field, key, modifiers);
    frame(edit_text_field, 0);
  }
  void click(int32_t (*handler)(EditorState*), int32_t x, int32_t y) {
    state.mouse_x = x;
    state.mouse_y = y;
    state.left_held = 1;
    handler(&state);
    state.left_held = 0;
  }
};

// Clicks on the requesters' buttons; their keys are in the key tables.
TEST_F(Requesters, ButtonsAnswerAndTheSpaceBetweenThemDoesNot) {
  struct Click {
    int32_t dialog, x, y;
    int32_t (*handler)(EditorState*);
    int32_t dialog_after, quit, answer, colour;
  };
  const Click clicks[] = {
      {kDialogQuit, 180, 75, quit_requester, kDialogQuit, 1, -1, kPointerMagenta},
      {kDialogQuit, 240, 75, quit_requester, kDialogNone, 0, -1, kPointerRed},
      {kDialogQuit, 200, 75, quit_requester, kDialogQuit, 0, -1, kPointerMagenta},
      {kDialogConfirm, 180, 75, confirm_requester, kDialogConfirm, 0, 1, kPointerMagenta},
      {kDialogConfirm, 240, 80, confirm_requester, kDialogConfirm, 0, 0, kPointerRed},
      {kDialogConfirm, 200, 75, confirm_requester, kDialogConfirm, 0, -1, kPointerMagenta},
  };
  for (const Click& c : clicks) {
    state.dialog = c.dialog;
    state.quit_confirmed = 0;
    state.confirm_answer = -1;
    click(c.handler, c.x, c.y);
    EXPECT_EQ(state.dialog, c.dialog_after) << c.x;
    EXPECT_EQ(state.quit_confirmed, c.quit) << c.x;
    EXPECT_EQ(state.confirm_answer, c.answer) << c.x;
    EXPECT_EQ(state.pointer_colour, c.colour) << c.x;
  }
  EXPECT_EQ(screen.pixel(160, 51), 0x506070u);  // the requester image
}

TEST_F(Requesters, RequestersDoNothingOutsideTheirDialog) {
  state.dialog = kDialogNone;
  frame(quit_requester, kY);
  frame(clear_requester, kA);
  frame(edit_text_field, kA);
  EXPECT_EQ(confirm_requester(&state), 0);
  EXPECT_EQ(state.quit_confirmed, 0);
  EXPECT_EQ(state.dialog, kDialogNone);
  EXPECT_EQ(state.pointer_colour, kPointerWhite);
}

class ClearRequester : public Requesters {
 protected:
  void SetUp() override {
    Player* p = state.player;
    p->patterns[0][0][0].period = 428;
    p->patterns[100][5][2].period = 214;  // named by the order list only
    p->order[3] = 100;
    p->song_length = 4;
    p->pattern_count = 1;
    p->tempo = 90;
    std::strcpy(p->song_name, "TUNE");
    test_module::make_constant_sample(p, 1, 1000, 5);
    test_module::make_constant_sample(p, 7, 500, 5);
    p->channels[0].sample = 7;
    p->channels[0].position = 100 * kFixOne;
    p->play_mode = kPlaySong;
    p->shown_row = 30;
    state.current_sample = 7;
    state.mark_a = 40;
    state.dialog = kDialogClear;
    state.pointer_colour = state.normal_pointer_colour = kPointerYellow;
  }
};

// O clears the song, S the samples, A both, C cancels; every answer but
// cancel stops playback, silences the channels and goes to row 0.
TEST_F(ClearRequester, AnswersClearWhatTheySay) {
  struct Answer {
    int32_t key;
    bool song, samples;
    int32_t current_sample;
  };
  for (const Answer& a : {Answer{kO, true, false, 7}, Answer{kS, false, true, 1},
                          Answer{kA, true, true, 7}, Answer{kC, false, false, 7}}) {
    SetUp();
    frame(clear_requester, a.key);
    const Player* p = state.player;
    EXPECT_EQ(p->patterns[100][5][2].period == 0, a.song) << a.key;
    EXPECT_EQ(p->order[3] == 0 && p->song_name[0] == '\0' && p->tempo == 125, a.song) << a.key;
    EXPECT_EQ(p->samples[7].data == nullptr, a.samples) << a.key;
    EXPECT_EQ(p->channels[0].position < 0, a.samples) << a.key;
    EXPECT_EQ(state.current_sample, a.current_sample) << a.key;
    EXPECT_EQ(state.dialog, kDialogNone);
    const bool cleared = a.song || a.samples;
    EXPECT_EQ(p->play_mode, cleared ? kStopped : kPlaySong) << a.key;
    EXPECT_EQ(p->shown_row, cleared ? 0 : 30) << a.key;
    EXPECT_EQ(state.pointer_colour, cleared ? kPointerWhite : kPointerRed) << a.key;
    EXPECT_EQ(state.mark_a, a.samples ? 0 : 40) << "the sample view is reset" << a.key;
  }
}

TEST_F(ClearRequester, SamplesAreFreedUnderTheAudioLock) {
  static int lock_depth = 0;
  static int locks_taken = 0;
  lock_depth = locks_taken = 0;
  audio_lock_install(AudioLockHooks{[](void*) { ++lock_depth, ++locks_taken; },
                                    [](void*) { --lock_depth; }, nullptr});
  click(clear_requester, 230, 60);
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  EXPECT_GT(locks_taken, 0);
  EXPECT_EQ(lock_depth, 0);
  EXPECT_EQ(state.player->samples[7].data, nullptr);
}

// A field of 19 characters plus its trailing byte, followed by guard bytes
// that the field must never touch.
class TextField : public Requesters {
 protected:
  static constexpr int32_t kLength = 19;
  char buffer[kLength + 1 + 8];

  void SetUp() override {
    std::memset(buffer, 0, sizeof buffer);
    std::memset(buffer + kLength + 1, 0x55, 8);
    state.dialog = kDialogNone;
    state.normal_pointer_colour = kPointerBlue;
    state.mouse_y = 105;
  }
  void begin(const char* text, int32_t cursor) {
    std::memcpy(buffer, text, std::strlen(text));
    state.text_field_cursor = cursor;
    begin_text_field(104, 107, 100, 110, kLength, buffer, &state);
    state.saved_dialog = state.dialog;
    state.dialog = kDialogTextField;
  }
  std::string text() const { return std::string(buffer, strnlen(buffer, kLength + 1)); }
  bool guard_intact() const {
    for (int32_t i = kLength + 1; i < static_cast<int32_t>(sizeof buffer); ++i)
      if (buffer[i] != 0x55) return false;
    return true;
  }
};

struct FieldCase {
  const char* text;  // up to 20 bytes: a name from a file needs no terminator
  int32_t cursor;
  const char* keys;   // a s bksp del left right; "~" holds one frame; "*n" n frames
  const char* field;  // the 19 bytes and the trailing byte afterwards, '.' for 0
  int32_t cursor_after;
};

const FieldCase kFields[] = {
    {"", 0, "a~ s~ s _", "AS..................", 2},  // S went down before A came up
    {"", 0, "s s s s s s s s s s s s s s s s s s s s s", "SSSSSSSSSSSSSSSSSSS.", 19},
    {"SSSSSSSSSSSSSSSSSSS", 5, "a", "SSSSSSSSSSSSSSSSSSS.", 5},  // full: nothing goes in
    {"ABCDEFGHIJKLMNOPQRST", 50, "right right del", "ABCDEFGHIJKLMNOPQRST", 19},
    {"ABCDEFGHIJKLMNOPQRST", 50, "bksp", "ABCDEFGHIJKLMNOPQRTT", 18},
    {"AB", 21, "bksp del", "A...................", 1},  // a cursor from a longer field
    {"HELLO", 0, "bksp del", "ELLO................", 0},
    {"HELLO", 0, "right right bksp left left", "HLLO................", 0},
    {"HELLO", 0, "right*10", "HELLO...............", 2},  // held: first frame, then every 5th
};

TEST_F(TextField, KeysEditInsideTheField) {
  const std::pair<const char*, int32_t> names[] = {
      {"a", kA},        {"s", kS},       {"bksp", kBackspace},
      {"del", kDelete}, {"left", kLeft}, {"right", kRight}};
  for (const FieldCase& c : kFields) {
    SetUp();
    begin(c.text, c.cursor);
    std::istringstream keys(c.keys);
    for (std::string k; keys >> k;) {
      const bool hold = k.back() == '~';
      const size_t star = k.find('*');
      const int frames = star == std::string::npos ? 1 : std::stoi(k.substr(star + 1));
      k = k.substr(0, std::min(k.find_first_of("~*"), k.size()));
      int32_t code = 0;
      for (const auto& [name, key] : names)
        if (k == name) code = key;
      for (int f = 0; f < frames; ++f) frame(edit_text_field, code);
      if (!hold) frame(edit_text_field, 0);
    }
    std::string field(buffer, kLength + 1);
    for (char& ch : field) ch = ch ? ch : '.';
    EXPECT_EQ(field, c.field) << c.text << " | " << c.keys;
    EXPECT_EQ(state.text_field_cursor, c.cursor_after) << c.text << " | " << c.keys;
    EXPECT_TRUE(guard_intact());
  }
}

TEST_F(TextField, TheLayoutCharacterAndClicksPlaceTheCursor) {
  begin("ELO", 0);
  state.text_char = 'q';  // the layout's character wins over the table
  press(kA);
  EXPECT_EQ(text(), "QELO");
  EXPECT_EQ(screen.pixel(104 + 8, 107), 0xFFFFFFu);  // the text cursor
  const int32_t clicks[][2] = {{104 + 8 * 2 + 3, 2}, {300, 4}, {20, 0}};
  for (const auto& [x, cursor] : clicks) {
    click(edit_text_field, x, 105);
    EXPECT_EQ(state.text_field_cursor, cursor) << x;
  }
  EXPECT_EQ(state.dialog, kDialogTextField);
}

TEST_F(TextField, EndsWithoutWritingWhenTheNameBelongedToAReplacedPlayer) {
  begin("OLD", 3);
  Player* loaded = player_create(44100);
  Player* before = state.player;
  state.player = loaded;
  press(kA);
  EXPECT_EQ(state.dialog, kDialogNone);
  EXPECT_EQ(text(), "OLD");
  state.player = before;
  player_destroy(loaded);
}

TEST_F(TextField, EndingRestoresTheDialogAndThePointer) {
  begin("NAME", 4);
  frame(edit_text_field, kReturn);
  EXPECT_EQ(state.dialog, kDialogNone);
  EXPECT_EQ(state.pointer_colour, kPointerBlue);  // still in edit mode
  EXPECT_EQ(state.key_consumed, 1);
  EXPECT_EQ(text(), "NAME");

  begin("", 4);
  click(edit_text_field, 150, 130);  // below the field
  EXPECT_EQ(state.dialog, kDialogNone);

  state.dialog = kDialogQuit;  // fields start over requesters too
  begin("", 4);
  state.right_down = 1;
  frame(edit_text_field, 0);
  EXPECT_EQ(std::string(buffer, kLength), std::string(kLength, '\0'));
  EXPECT_EQ(state.dialog, kDialogQuit);
  EXPECT_TRUE(guard_intact());
}

}  // namespace
