// The presets screen: a panel over the top of the main screen listing the
// sample-library entries the user keeps.
#pragma once

#include "layout/picture.h"

enum class PresetsAction : int32_t {
  kNone,
  kAdd,
  kDelete,
  kClose,
  kLines,  // which entry: from the pointer's place
  kScrollUp,
  kScrollDown,
};

constexpr int32_t kPresetsHeight = 100;
constexpr int32_t kPresetLines = 12;
constexpr int32_t kPresetListY = 14;
constexpr int32_t kPresetLineHeight = 7;
constexpr int32_t kPresetNameX = 4;       // 21 characters
constexpr int32_t kPresetLengthX = 180;   // 7 characters
constexpr int32_t kPresetCommentX = 244;  // 7 characters

inline constexpr Button<PresetsAction> kPresetsButtons[] = {
    {{0, 0, 49, 10}, PresetsAction::kAdd, "ADD"},
    {{50, 0, 99, 10}, PresetsAction::kDelete, "DEL"},
    {{296, 0, 319, 10}, PresetsAction::kClose, "X"},
    {{0, 12, 307, 98}, PresetsAction::kLines, nullptr},
    {{308, 12, 319, 54}, PresetsAction::kScrollUp, kCaptionUp},
    {{308, 55, 319, 98}, PresetsAction::kScrollDown, kCaptionDown},
};
