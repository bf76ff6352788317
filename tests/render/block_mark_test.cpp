#include <gtest/gtest.h>

#include "render/main_screen.h"
#include "screen_fixture.h"

namespace {

TEST(BlockMark, MessageShowsTheRowsInOrderAndTheBlockEndsAtTheShownRow) {
  const struct {
    int32_t marking, anchor, row;
    const char* text;
  } cases[] = {{1, 40, 12, "mark block 12-40"}, {1, 5, 9, "mark block 05-09"},
               {1, 63, 63, "mark block 63-63"}, {1, 40, 0, "mark block 00-40"},
               {1, 5, 64, "mark block 05-64"},  // no such row: the block keeps its end
               {0, 5, 9, "ALL RIGHT"}};
  for (const auto& c : cases) {
    screen_test::Screen screen;
    screen.state.block_marking = c.marking;
    screen.state.block_anchor = screen.state.block_start = screen.state.block_end = c.anchor;
    screen.player().shown_row = c.row;
    redraw_main_screen(&screen.state);
    EXPECT_STREQ(screen.state.message, c.text);
    EXPECT_EQ(screen.state.block_end, c.marking && c.row < 64 ? c.row : c.anchor);
    EXPECT_EQ(screen.state.message_timer, 0);
  }
}

}  // namespace
