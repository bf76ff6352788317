// The disk-op screen's buttons, over the top of the main screen.
#pragma once

#include "layout/picture.h"

enum class DiskAction : int32_t {
  kNone,
  kRow0Label,
  kRow0Switch,
  kRow0Select,
  kRow0Load,
  kRow0Save,
  kRow1Label,
  kRow1Switch,
  kRow1Select,
  kRow1Load,
  kRow1Save,
  kRow2Label,
  kRow2Switch,
  kRow2Select,
  kRow2Load,
  kRow2Save,
  kNextVolume,
  kPathField,
  kPageToggle,
  kParent,
  kFilesLabel,
  kListHome,
  kLineUp,
  kLeave,
  kLineDown,
  kListEnd,
  kListLines,
};

// The file list's lines, which the wheel scrolls.
inline constexpr ButtonRect kDiskListRect = {2, 44, 304, 98};

// Where two rectangles share a pixel row the later one wins. The row
// labels and switches are captioned by page, so they carry none here.
inline constexpr Button<DiskAction> kDiskButtons[] = {
    {{0, 0, 82, 10}, DiskAction::kRow0Label, nullptr},
    {{83, 0, 145, 10}, DiskAction::kRow0Switch, nullptr},
    {{146, 0, 155, 10}, DiskAction::kRow0Select, nullptr},
    {{156, 0, 237, 10}, DiskAction::kRow0Load, "LOAD"},
    {{238, 0, 319, 10}, DiskAction::kRow0Save, "SAVE"},
    {{0, 11, 82, 20}, DiskAction::kRow1Label, nullptr},
    {{83, 11, 145, 20}, DiskAction::kRow1Switch, nullptr},
    {{146, 11, 155, 20}, DiskAction::kRow1Select, nullptr},
    {{156, 11, 237, 20}, DiskAction::kRow1Load, "LOAD"},
    {{238, 11, 319, 20}, DiskAction::kRow1Save, "SAVE"},
    {{0, 22, 82, 33}, DiskAction::kRow2Label, nullptr},
    {{83, 22, 145, 33}, DiskAction::kRow2Switch, nullptr},
    {{146, 22, 155, 33}, DiskAction::kRow2Select, nullptr},
    {{156, 22, 237, 33}, DiskAction::kRow2Load, "LOAD"},
    {{238, 22, 319, 33}, DiskAction::kRow2Save, "SAVE"},
    {{0, 33, 10, 43}, DiskAction::kNextVolume, "V"},
    {{11, 33, 176, 42}, DiskAction::kPathField, nullptr},
    {{177, 33, 186, 42}, DiskAction::kPageToggle, nullptr},
    {{187, 33, 216, 42}, DiskAction::kParent, "aDIR"},
    {{217, 33, 307, 42}, DiskAction::kFilesLabel, nullptr},
    {{308, 33, 319, 42}, DiskAction::kListHome, kCaptionTop},
    {{308, 43, 319, 50}, DiskAction::kLineUp, kCaptionUp},
    {{308, 51, 319, 81}, DiskAction::kLeave, "X"},
    {{308, 82, 319, 89}, DiskAction::kLineDown, kCaptionDown},
    {{308, 90, 319, 99}, DiskAction::kListEnd, kCaptionBottom},
    {kDiskListRect, DiskAction::kListLines, nullptr},
};

// The file list: eight lines of text from (kListX, kListY), a pixel apart
// (the glyphs are six rows high).
constexpr int32_t kListLines = 8;
constexpr int32_t kListX = 9;
constexpr int32_t kListY = 44;
constexpr int32_t kListLineHeight = 7;
