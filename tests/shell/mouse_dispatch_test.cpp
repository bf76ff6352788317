#include "shell/mouse_dispatch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "engine/replayer.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "shell/program_dir.h"

namespace {

using screen_test::Screen;

// hit_test only reads the mouse fields, so a bare state serves.
int32_t hit(int32_t x, int32_t y, int32_t held, int32_t fast = 0) {
  EditorState state{};
  state.mouse_x = x;
  state.mouse_y = y;
  state.left_held = held;
  state.fast_repeat = fast;
  return hit_test(&state, kMainButtons, kMainButtonCount);
}

TEST(HitTest, ActsOnTheFirstFrameThenEveryFortyFrames) {
  EXPECT_EQ(hit(100, 5, 1), 19);
  for (int held : {0, 2, 3, 4, 39, 41, 79}) EXPECT_EQ(hit(100, 5, held), -1) << held;
  for (int held : {40, 80, 120}) EXPECT_EQ(hit(100, 5, held), 19) << held;
}

TEST(HitTest, FastRepeatActsEveryFourFrames) {
  EXPECT_EQ(hit(100, 5, 1, 1), 19);
  for (int held : {2, 3, 5, 6, 7, 9}) EXPECT_EQ(hit(100, 5, held, 1), -1) << held;
  for (int held : {4, 8, 12, 40}) EXPECT_EQ(hit(100, 5, held, 1), 19) << held;
}

TEST(HitTest, LaterRectangleWinsWhereTheyOverlap) {
  EXPECT_EQ(hit(120, 21, 1), 4);
  EXPECT_EQ(hit(120, 20, 1), 3);
  EXPECT_EQ(hit(300, 110, 1), 56);
  EXPECT_EQ(hit(286, 110, 1), 54);
  EXPECT_EQ(hit(319, 43, 1), 17);
  EXPECT_EQ(hit(0, 0, 1), -1);      // the quit corner is no button
  EXPECT_EQ(hit(100, 200, 1), -1);  // pattern view
  EditorState state{};
  state.left_held = 1;
  EXPECT_EQ(hit_test(&state, kMainButtons, 0), -1);
}

struct DispatchTest : ::testing::Test {
  Screen screen;
  EditorState& st = screen.state;
  Player& p = screen.player();

  // One frame with the pointer at (x, y) and the left button held for
  // `held` frames so far (0: up).
  void frame(int32_t x, int32_t y, int32_t held, bool right = false) {
    st.mouse_x = x;
    st.mouse_y = y;
    st.left_held = held;
    st.right_down = right ? 1 : 0;
    mouse_dispatch(&st);
  }
  // A press of one frame on the middle of a main-screen button.
  void click(int32_t button, bool right = false) {
    const ButtonRect& r = kMainButtons[button];
    frame((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2, 1, right);
    frame((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2, 0);
  }
  void clicks(int32_t button, int32_t count, bool right = false) {
    for (int32_t i = 0; i < count; ++i) click(button, right);
  }
};

TEST_F(DispatchTest, HeldPositionArrowRepeatsEveryFortyFrames) {
  for (int held = 1; held <= 81; ++held) frame(100, 5, held);
  EXPECT_EQ(p.song_position, 3);  // frames 1, 40 and 80
  EXPECT_EQ(st.hit_button, -1);   // frame 81 is no repeat frame
  for (int held = 1; held <= 40; ++held) frame(100, 5, held, true);
  EXPECT_EQ(p.song_position, 23);
}

TEST_F(DispatchTest, SongNumbersStopAtTheirBounds) {
  clicks(19, 14, true);
  EXPECT_EQ(p.song_position, 127);
  click(19);
  EXPECT_EQ(p.song_position, 127);
  click(20);
  EXPECT_EQ(p.song_position, 126);
  clicks(20, 13, true);
  EXPECT_EQ(p.song_position, 0);
  click(20);
  EXPECT_EQ(p.song_position, 0);

  p.song_position = 4;
  clicks(22, 10, true);
  EXPECT_EQ(p.order[4], 99);
  click(22);
  EXPECT_EQ(p.order[4], 99);
  click(23);
  EXPECT_EQ(p.order[4], 98);
  clicks(23, 10, true);
  EXPECT_EQ(p.order[4], 0);
  EXPECT_EQ(p.order[3], 0);

  clicks(25, 13, true);
  EXPECT_EQ(p.song_length, 127);
  click(25);
  EXPECT_EQ(p.song_length, 127);
  clicks(26, 13, true);
  EXPECT_EQ(p.song_length, 1);
  click(26);
  EXPECT_EQ(p.song_length, 1);

  // A position from a damaged file is brought into range before use.
  p.song_position = 900;
  click(22);
  EXPECT_EQ(p.order[127], 1);
}

TEST_F(DispatchTest, PlayButtonsSetModeClockAndPointer) {
  p.song_position = 5;
  p.song_length = 3;
  p.row = 17;
  click(2);
  EXPECT_EQ(p.play_mode, kPlaySong);
  EXPECT_EQ(p.song_position, 0);
  EXPECT_EQ(p.row, 0);
  EXPECT_EQ(st.restart_clock, 1);
  EXPECT_EQ(st.pointer_colour, kPointerYellow);
  EXPECT_EQ(st.normal_pointer_colour, kPointerYellow);

  p.row = 17;
  click(3, true);  // the right button keeps the row
  EXPECT_EQ(p.play_mode, kPlayPattern);
  EXPECT_EQ(p.row, 17);

  click(4);
  EXPECT_EQ(p.play_mode, kStopped);
  EXPECT_EQ(st.edit_mode, 1);
  EXPECT_EQ(st.pointer_colour, kPointerBlue);

  st.restart_clock = 0;
  click(5);
  EXPECT_EQ(p.play_mode, kPlayPattern);
  EXPECT_EQ(st.edit_mode, 1);
  EXPECT_EQ(st.restart_clock, 1);
  EXPECT_EQ(st.normal_pointer_colour, kPointerBlue);
  EXPECT_EQ(p.row, 0);

  for (ChannelState& ch : p.channels) ch.sample = 3;
  click(6);
  EXPECT_EQ(p.play_mode, kStopped);
  EXPECT_EQ(st.edit_mode, 0);
  EXPECT_EQ(st.pointer_colour, kPointerWhite);
  for (const ChannelState& ch : p.channels) EXPECT_EQ(ch.sample, 0);
}

TEST_F(DispatchTest, ScreenButtonsSetTheStateTheirScreensRead) {
  click(7);
  EXPECT_EQ(st.dialog, kDialogClear);
  EXPECT_STREQ(st.message, "PLEASE SELECT");
  st.dialog = kDialogNone;

  click(13);
  EXPECT_EQ(st.sample_editor_shown, 1);
  click(13);
  EXPECT_EQ(st.sample_editor_shown, 0);

  click(9);
  EXPECT_EQ(st.disk_op_active, 1);
  click(19);  // the disk-op screen owns the mouse now
  EXPECT_EQ(p.song_position, 0);
}

TEST_F(DispatchTest, ChannelSwitchMutesAndSilences) {
  p.channels[2].sample = 4;
  p.channels[2].mix_volume = 40;
  click(16);
  EXPECT_EQ(p.channels[2].enabled, 0);
  EXPECT_EQ(p.channels[2].sample, 0);
  EXPECT_EQ(p.channels[2].mix_volume, 0);
  EXPECT_EQ(p.channels[1].enabled, 1);
  click(16);
  EXPECT_EQ(p.channels[2].enabled, 1);
  click(14);
  click(17);
  EXPECT_EQ(p.channels[0].enabled, 0);
  EXPECT_EQ(p.channels[3].enabled, 0);
}

TEST_F(DispatchTest, FinetuneRunsFromMinusEightToPlusSeven) {
  Sample& s = p.samples[1];
  s.finetune = 15;
  click(28);
  EXPECT_EQ(s.finetune, 0);
  clicks(28, 10);
  EXPECT_EQ(s.finetune, 7);
  s.finetune = 8;
  click(29);
  EXPECT_EQ(s.finetune, 8);
  click(28);
  EXPECT_EQ(s.finetune, 9);
  s.finetune = 0;
  click(29);
  EXPECT_EQ(s.finetune, 15);
  click(29, true);
  EXPECT_EQ(s.finetune, 0);
  s.finetune = 5;
  click(28, true);
  EXPECT_EQ(s.finetune, 0);
}

TEST_F(DispatchTest, SampleNumberAndVolume) {
  test_module::make_constant_sample(&p, 31, 628, 1);
  st.current_sample = 30;
  clicks(31, 3);
  EXPECT_EQ(st.current_sample, 31);
  EXPECT_EQ(st.zoom_end, 628);  // the view was reset for sample 31
  click(32);
  EXPECT_EQ(st.current_sample, 30);
  click(32, true);
  EXPECT_EQ(st.current_sample, 1);
  click(32);
  EXPECT_EQ(st.current_sample, 1);
  click(31, true);
  EXPECT_EQ(st.current_sample, 0);
  click(32);
  EXPECT_EQ(st.current_sample, 1);

  Sample& s = p.samples[1];
  s.volume = 60;
  clicks(34, 5);
  EXPECT_EQ(s.volume, 64);
  click(35, true);
  EXPECT_EQ(s.volume, 48);
  clicks(35, 4, true);
  EXPECT_EQ(s.volume, 0);
  click(34, true);
  EXPECT_EQ(s.volume, 16);
}

TEST_F(DispatchTest, LoopButtonsKeepTheLoopInsideTheSample) {
  Sample& s = test_module::make_sample(&p, 1, 100, 10, 20, 64, [](int32_t) { return 0; });
  click(40);
  EXPECT_EQ(s.loop_start, 12 * kFixOne);
  EXPECT_EQ(s.loop_end, 32 * kFixOne);
  click(40, true);
  EXPECT_EQ(s.loop_start, 28 * kFixOne);
  click(43, true);
  EXPECT_EQ(s.loop_length, 36 * kFixOne);
  EXPECT_EQ(s.loop_end, 64 * kFixOne);
  clicks(40, 2, true);
  EXPECT_EQ(s.loop_start, 60 * kFixOne);
  click(40, true);  // 76 + 36 would end past the 100 bytes
  EXPECT_EQ(s.loop_start, 60 * kFixOne);
  EXPECT_EQ(s.loop_end, 96 * kFixOne);
  clicks(41, 3, true);
  EXPECT_EQ(s.loop_start, 12 * kFixOne);
  click(41, true);  // would go below 0
  EXPECT_EQ(s.loop_start, 12 * kFixOne);
  click(41);
  EXPECT_EQ(s.loop_start, 10 * kFixOne);
  EXPECT_EQ(s.loop_end, 46 * kFixOne);

  s.loop_start = 0;
  s.loop_length = 2 * kFixOne;
  s.loop_end = 2 * kFixOne;
  click(44);
  EXPECT_EQ(s.loop_length, 2 * kFixOne);
  EXPECT_EQ(s.loop_end, 2 * kFixOne);
}

TEST_F(DispatchTest, SampleZeroIsNeverGivenDataOrChanged) {
  click(31, true);
  ASSERT_EQ(st.current_sample, 0);
  const Sample before = p.samples[0];
  for (int button : {28, 29, 34, 35, 40, 41, 43, 44, 56}) {
    click(button);
    click(button, true);
  }
  click(55);
  EXPECT_EQ(st.dialog, kDialogNone);  // no text field on sample 0's name
  EXPECT_EQ(std::memcmp(&before, &p.samples[0], sizeof before), 0);
  EXPECT_EQ(p.samples[0].data, nullptr);
}

TEST_F(DispatchTest, TempoButtonsActOnlyWhileVisible) {
  click(45);
  EXPECT_EQ(p.tempo, 126);
  EXPECT_FLOAT_EQ(p.samples_per_tick, tempo_samples_per_tick(44100, 126));
  clicks(45, 14, true);
  EXPECT_EQ(p.tempo, 255);
  clicks(46, 23, true);
  EXPECT_EQ(p.tempo, 32);
  click(46);
  EXPECT_EQ(p.tempo, 32);
  EXPECT_FLOAT_EQ(p.samples_per_tick, tempo_samples_per_tick(44100, 32));

  st.sample_editor_shown = 1;  // its panel covers the tempo arrows
  click(45);
  EXPECT_EQ(p.tempo, 32);
}

TEST_F(DispatchTest, InsertAndDeletePositions) {
  for (int i = 0; i < kPositions; ++i) p.order[i] = i % 100;
  p.song_position = 5;
  p.song_length = 10;
  click(48);
  EXPECT_EQ(p.order[4], 4);
  EXPECT_EQ(p.order[5], 0);
  EXPECT_EQ(p.order[6], 5);
  EXPECT_EQ(p.order[127], 126 % 100);  // old entry 127 is lost
  EXPECT_EQ(p.song_length, 11);
  click(49);
  for (int i = 0; i < 126; ++i) EXPECT_EQ(p.order[i], i % 100) << i;
  // Entries 126 and 127 keep the values the insert left there.
  EXPECT_EQ(p.order[126], 25);
  EXPECT_EQ(p.order[127], 26);
  EXPECT_EQ(p.song_length, 10);

  p.song_length = 127;
  click(48);
  EXPECT_EQ(p.song_length, 127);
  p.song_length = 1;
  click(49);
  EXPECT_EQ(p.song_length, 1);

  p.song_position = 127;
  p.order[127] = 9;
  click(48);
  EXPECT_EQ(p.order[127], 0);
  EXPECT_EQ(p.order[126], 25);
}

TEST_F(DispatchTest, NotImplementedMessageLastsFortyEightFrames) {
  click(8);  // press frame and release frame
  EXPECT_STREQ(st.message, "NOT IMPLEMENTED");
  EXPECT_EQ(st.pointer_colour, kPointerRed);
  for (int f = 3; f < kMessageFrames; ++f) frame(200, 200, 0);
  EXPECT_STREQ(st.message, "NOT IMPLEMENTED");
  frame(200, 200, 0);  // the 48th frame
  EXPECT_STREQ(st.message, "ALL RIGHT");
  EXPECT_EQ(st.message_timer, 0);
  EXPECT_EQ(st.message_frames, 0);
  EXPECT_EQ(st.pointer_colour, kPointerWhite);

  // A message already running is not restarted.
  click(2);
  st.message_frames = 40;
  st.message_timer = 1;
  frame(65, 5, 1);  // button 18
  EXPECT_STREQ(st.message, "NOT IMPLEMENTED");
  for (int f = 2; f < 8; ++f) frame(200, 200, 0);
  EXPECT_STREQ(st.message, "NOT IMPLEMENTED");
  frame(200, 200, 0);
  EXPECT_STREQ(st.message, "ALL RIGHT");
  EXPECT_EQ(st.pointer_colour, kPointerYellow);  // back to the playing colour
}

TEST_F(DispatchTest, LoadByNameFetchesFromTheSampleLibrary) {
  const std::string disk = "md" + std::to_string(::getpid());
  const std::filesystem::path library = std::filesystem::path(program_path("ST")) / disk;
  std::filesystem::create_directories(library);
  std::ofstream(library / "snare", std::ios::binary) << std::string(96, '\x22');
  st.current_sample = 4;
  Sample& s = p.samples[4];
  std::snprintf(s.name, sizeof s.name, "%s:snare", disk.c_str());
  click(56);
  EXPECT_EQ(s.length, 96 * kFixOne);
  EXPECT_EQ(st.zoom_end, 96);  // the view shows the loaded sample
  EXPECT_STREQ(st.message, "ALL RIGHT");

  std::snprintf(s.name, sizeof s.name, "%s:none", disk.c_str());
  click(56);
  EXPECT_STREQ(st.message, "CAN'T FIND FILE");
  EXPECT_EQ(st.message_timer, 1);
  EXPECT_EQ(st.pointer_colour, kPointerRed);
  EXPECT_EQ(s.length, 96 * kFixOne);
  std::filesystem::remove_all(library);
  std::error_code ignored;
  std::filesystem::remove(program_path("ST"), ignored);  // only if we made it empty
}

TEST_F(DispatchTest, QuitCornerAndNameFields) {
  frame(0, 0, 5);  // the corner works on any frame of a press
  EXPECT_EQ(st.dialog, kDialogQuit);
  EXPECT_STREQ(st.message, "REALLY QUIT ?");
  click(19);  // buttons do not act while a requester is open
  EXPECT_EQ(p.song_position, 0);

  st.dialog = kDialogNone;
  click(54);
  EXPECT_EQ(st.dialog, kDialogTextField);
  EXPECT_EQ(st.saved_dialog, kDialogNone);
}

TEST_F(DispatchTest, PointerIsTintedAndClipped) {
  screen_test::set_image_pixel(screen.pointer, 0, 0, 0xC86432);
  screen_test::set_image_pixel(screen.pointer, 15, 15, 0xFFFFFF);
  st.pointer_colour = kPointerBlue;
  frame(100, 200, 0);
  EXPECT_EQ(screen.pixel(100, 200),
            static_cast<uint32_t>((200 * 17 >> 8) << 16 | (100 * 17 >> 8) << 8 | (50 * 255 >> 8)));
  EXPECT_EQ(screen.pixel(115, 215), 0x1010FEu);
  EXPECT_EQ(screen.pixel(101, 200), screen_test::kBackground);  // black is transparent

  st.pointer_colour = 99;  // out of range: drawn white, not read past the table
  frame(310, 250, 0);
  EXPECT_EQ(screen.pixel(310, 250), 0xC76331u);
}

}  // namespace
