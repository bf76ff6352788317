// How the record page's settings shape note entry (split keyboard,
// quantize, multi-keyboard order), the metronome, and the position
// editor's list following the song, the wheel and the scroll bar.
#include <gtest/gtest.h>

#include <array>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "edit/edit_op.h"
#include "edit/note_entry.h"
#include "edit/position_editor.h"

namespace {

TEST(Record, SplitQuantizeAndChannelOrder) {
  RecordOptions record{};
  record.split = 1;
  record.ranges[0] = {0, 0, 0};    // unused: no sample
  record.ranges[1] = {12, 7, -1};  // from C-2: sample 7 a semitone down
  record.ranges[2] = {24, 9, 12};  // from C-3: sample 9 an octave up
  record.ranges[3] = {30, 0, 0};   // unused
  struct Split {
    int32_t note, want_note, want_sample;
  };
  for (const Split& s : {Split{5, 5, 3}, Split{12, 11, 7}, Split{23, 22, 7}, Split{24, 35, 9},
                         Split{31, 35, 9}, Split{25, 35, 9}})
    EXPECT_EQ(split_note(record, s.note, 3).note * 100 + split_note(record, s.note, 3).sample,
              s.want_note * 100 + s.want_sample)
        << "note " << s.note;
  record.split = 0;
  EXPECT_EQ(split_note(record, 24, 3).sample, 3);

  struct Quantize {
    int32_t row, quantize, want;
  };
  for (const Quantize& q :
       {Quantize{5, 0, 5}, Quantize{5, 1, 5}, Quantize{5, 4, 4}, Quantize{6, 4, 8},
        Quantize{7, 4, 8}, Quantize{62, 4, 64}, Quantize{40, 63, 63}, Quantize{31, 63, 0}})
    EXPECT_EQ(quantized_row(q.row, q.quantize), q.want) << q.row << " by " << q.quantize;

  struct Order {
    int32_t order[4], channel, want;
  };
  for (const Order& o :
       {Order{{1, 2, 3, 4}, 3, 0}, Order{{4, 2, 0, 1}, 3, 1}, Order{{4, 2, 0, 1}, 0, 3},
        Order{{4, 2, 0, 1}, 2, 3}, Order{{0, 0, 0, 0}, 2, 3}, Order{{2, 0, 0, 0}, 1, 1}}) {
    std::copy(o.order, o.order + 4, record.channel_order);
    EXPECT_EQ(next_multi_channel(record, o.channel), o.want) << "from channel " << o.channel;
  }
}

TEST(Record, MetronomeClicksOnItsRowsWhileRecording) {
  screen_test::Screen screen;
  Player& p = screen.player();
  test_module::make_constant_sample(&p, 2, 1000, 50);
  EditorState& st = screen.state;
  st.selection.current_sample = 2;
  st.selection.edit_mode = 1;
  RecordOptions& record = st.selection.record;
  record.metronome = 1;
  record.metronome_rows = 4;
  record.metronome_channel = 2;
  EditOpState editop{};
  editop.metronome_row = -1;
  struct Step {
    int32_t play_mode, row, edit, want_sample;
  };
  // Rows 4 and 8 click; row 5, a row seen again and a stopped song do not.
  for (const Step& s :
       {Step{kPlayPattern, 4, 1, 2}, Step{kPlayPattern, 5, 1, 0}, Step{kPlayPattern, 8, 1, 2},
        Step{kPlayPattern, 8, 1, 0}, Step{kStopped, 12, 1, 0}, Step{kPlaySong, 12, 0, 0}}) {
    p.channels[2].sample = 0;
    p.play_mode = s.play_mode;
    p.shown_row = s.row;
    st.selection.edit_mode = s.edit;
    edit_op_frame(editop, screen_context(st), st.edit_buffers, false);
    EXPECT_EQ(p.channels[2].sample, s.want_sample) << "row " << s.row;
  }
  EXPECT_EQ(p.range_end, 400 * kFixOne);  // a short click, not the whole sample
}

TEST(PositionEditor, ListFollowsTheSongTheWheelAndTheBar) {
  screen_test::Screen screen;
  Player& p = screen.player();
  EditorState& st = screen.state;
  p.song_length = 20;
  PositionEditorState editor{};
  editor.followed = -1;
  editor.typed = -1;
  struct Step {
    int32_t song_position, wheel, mouse_y, left_held, want_top;
  };
  // Nine lines show; the last top is 11. The bar runs from y 33 to 87 and
  // maps onto tops 0..11, halves rounding up.
  for (const Step& s : {Step{15, 0, 200, 0, 7}, Step{15, -2, 50, 0, 9}, Step{15, -5, 50, 0, 11},
                        Step{15, 3, 50, 0, 8}, Step{15, 3, 150, 0, 8}, Step{2, 0, 200, 0, 2},
                        Step{2, 0, 87, 1, 11}, Step{2, 0, 33, 2, 0}, Step{2, 0, 60, 3, 6}}) {
    p.song_position = s.song_position;
    st.input = FrameInput{};
    st.input.mouse_x = s.mouse_y >= 33 && s.mouse_y <= 87 && s.left_held ? 112 : 20;
    st.input.mouse_y = s.mouse_y;
    st.input.wheel = s.wheel;
    st.input.left_held = s.left_held;
    position_editor_frame(editor, screen_context(st), true);
    EXPECT_EQ(editor.top, s.want_top)
        << "position " << s.song_position << " wheel " << s.wheel << " y " << s.mouse_y;
  }
}

TEST(PositionEditor, HomeAndEndMakeTheEndsTheSongPosition) {
  screen_test::Screen screen;
  Player& p = screen.player();
  EditorState& st = screen.state;
  p.song_length = 20;
  p.song_position = 9;
  PositionEditorState editor{};
  editor.followed = 9;
  editor.typed = -1;
  editor.top = 5;
  // Nine lines: the last position shows from top 11.
  for (const auto& [key, want_position, want_top] :
       {std::array<int32_t, 3>{kKeyEnd, 19, 11}, std::array<int32_t, 3>{kKeyHome, 0, 0}}) {
    st.input = FrameInput{};
    st.input.mouse_y = 200;
    st.input.screen_key = key;
    position_editor_frame(editor, screen_context(st), true);
    EXPECT_EQ(p.song_position, want_position);
    EXPECT_EQ(editor.top, want_top);
  }
}

}  // namespace
