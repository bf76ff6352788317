#include <gtest/gtest.h>

#include "render/main_screen.h"
#include "screen_fixture.h"

namespace {

TEST(BlockMark, MessageShowsTheMarkedRowsInOrderAndTheBlockEndsAtTheShownRow) {
  const struct {
    int32_t anchor, row;
    const char* text;
  } cases[] = {
      {40, 12, "mark block 12-40"}, {5, 9, "mark block 05-09"}, {63, 63, "mark block 63-63"}};
  for (const auto& c : cases) {
    screen_test::Screen screen;
    screen.state.block_marking = 1;
    screen.state.block_anchor = screen.state.block_start = c.anchor;
    screen.player().shown_row = c.row;
    redraw_main_screen(&screen.state);
    EXPECT_STREQ(screen.state.message, c.text);
    EXPECT_EQ(screen.state.block_end, c.row);
    EXPECT_EQ(screen.state.message_timer, 0);
    EXPECT_EQ(screen.text_at(89, 127, 16), "MARK BLOCK " + std::string(c.text + 11));
  }
  screen_test::Screen idle;
  idle.player().shown_row = 7;
  redraw_main_screen(&idle.state);
  EXPECT_STREQ(idle.state.message, "ALL RIGHT");
}

}  // namespace
