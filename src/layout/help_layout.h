// The help screen: pages of text over the whole picture, with page and
// scroll buttons along the top.
#pragma once

#include "layout/picture.h"

enum class HelpAction : int32_t {
  kNone,
  kPreviousPage,
  kNextPage,
  kScrollUp,
  kScrollDown,
  kClose,
};

inline constexpr Button<HelpAction> kHelpButtons[] = {
    {{0, 0, 23, 10}, HelpAction::kPreviousPage, kCaptionLeft},
    {{24, 0, 47, 10}, HelpAction::kNextPage, kCaptionRight},
    {{248, 0, 271, 10}, HelpAction::kScrollUp, kCaptionUp},
    {{272, 0, 295, 10}, HelpAction::kScrollDown, kCaptionDown},
    {{296, 0, 319, 10}, HelpAction::kClose, "X"},
};

// The page's title between the buttons; its text in lines below.
inline constexpr ButtonRect kHelpTitle = {48, 0, 247, 10};
inline constexpr ButtonRect kHelpText = {0, 12, 319, kScreenHeight - 1};
constexpr int32_t kHelpTextX = 4;
constexpr int32_t kHelpTextY = 15;
constexpr int32_t kHelpLineHeight = 7;  // the glyphs are 6 rows high
constexpr int32_t kHelpCharWidth = 6;   // and 5 columns wide
constexpr int32_t kHelpLines = (kScreenHeight - 2 - kHelpTextY) / kHelpLineHeight;
constexpr int32_t kHelpColumns = (kScreenWidth - 2 * kHelpTextX) / kHelpCharWidth;
