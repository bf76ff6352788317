// The position editor: a panel over the left column under the POS label,
// listing the order list one position a line.
#pragma once

#include "layout/picture.h"

enum class PositionAction : int32_t {
  kNone,
  kInsert,
  kDelete,
  kLines,      // a click picks the song position, a drag scrolls
  kPatternUp,  // the arrows beside each line
  kPatternDown,
  kScrollUp,
  kScrollDown,
  kScrollBar,
};

inline constexpr ButtonRect kPositionScrollBar = {108, 33, 119, 87};

inline constexpr Button<PositionAction> kPositionButtons[] = {
    {{0, 11, 29, 21}, PositionAction::kInsert, "INS"},
    {{30, 11, 59, 21}, PositionAction::kDelete, "DEL"},
    {{0, 22, 55, 98}, PositionAction::kLines, nullptr},
    {{56, 22, 66, 98}, PositionAction::kPatternUp, nullptr},
    {{67, 22, 77, 98}, PositionAction::kPatternDown, nullptr},
    {{108, 22, 119, 32}, PositionAction::kScrollUp, kCaptionUp},
    {{108, 88, 119, 98}, PositionAction::kScrollDown, kCaptionDown},
    {kPositionScrollBar, PositionAction::kScrollBar, nullptr},
};

// The panel image covers kPositionPanel; the list shows kPositionLines
// lines of text from (kPositionTextX, kPositionListY).
inline constexpr ButtonRect kPositionPanel = {0, 11, 119, 98};
constexpr int32_t kPositionLines = 9;
constexpr int32_t kPositionListY = 24;
constexpr int32_t kPositionLineHeight = 8;
constexpr int32_t kPositionTextX = 4;      // the position number, 3 digits
constexpr int32_t kPositionPatternX = 36;  // the pattern number, 2 digits
constexpr int32_t kPositionLengthX = 92;   // the song length, right of its caption
constexpr int32_t kPositionHeaderY = 13;
