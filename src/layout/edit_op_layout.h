// The edit-op screen: three pages over the top of the main screen
// (transpose, record, sample tools), each with its own button table.
#pragma once

#include "layout/picture.h"

enum class EditOpAction : int32_t {
  kNone,
  kPage,
  kClose,
  // Transpose.
  kScopeBlock,
  kScopeTrack,
  kScopePattern,
  kScopeSong,
  kNotesSample,
  kNotesAll,
  kKeep,
  kDelete,
  kSemitoneUp,
  kSemitoneDown,
  kOctaveUp,
  kOctaveDown,
  // Record.
  kRecordPattern,
  kRecordSong,
  kQuantizeUp,
  kQuantizeDown,
  kMetronome,
  kMetronomeChannelUp,
  kMetronomeChannelDown,
  kMetronomeRowsUp,
  kMetronomeRowsDown,
  kAutoEffect,
  kEffectUp,
  kEffectDown,
  kParamUp,
  kParamDown,
  kOrderSlot,  // which slot: from the pointer's x
  kSplit,
  kSplitNoteUp,  // which range: from the pointer's place
  kSplitNoteDown,
  kSplitSampleUp,
  kSplitSampleDown,
  kSplitTransposeUp,
  kSplitTransposeDown,
  // Sample tools.
  kReverse,
  kFadeIn,
  kFadeOut,
  kRemoveDc,
  kCrossfade,
  kCrossfadeUp,
  kCrossfadeDown,
  kEcho,
  kDelayUp,
  kDelayDown,
  kFeedbackUp,
  kFeedbackDown,
  kMix,
  kMixAUp,
  kMixADown,
  kMixBUp,
  kMixBDown,
  kTargetUp,
  kTargetDown,
  kChord,
  kInterval1Up,
  kInterval1Down,
  kInterval2Up,
  kInterval2Down,
  kInterval3Up,
  kInterval3Down,
  kHalfRate,
  kDoubleRate,
  kPatternToSample,
  kSampling,
};

constexpr int32_t kEditOpPages = 3;
constexpr int32_t kEditOpHeight = 100;

// Every page's first row holds the page button, which cycles the pages,
// and the close button.
inline constexpr Button<EditOpAction> kTransposeButtons[] = {
    {{0, 0, 59, 10}, EditOpAction::kPage, nullptr},
    {{296, 0, 319, 10}, EditOpAction::kClose, "X"},
    {{60, 13, 119, 23}, EditOpAction::kScopeBlock, "BLOCK"},
    {{120, 13, 179, 23}, EditOpAction::kScopeTrack, "TRACK"},
    {{180, 13, 239, 23}, EditOpAction::kScopePattern, "PATTERN"},
    {{240, 13, 299, 23}, EditOpAction::kScopeSong, "SONG"},
    {{60, 25, 119, 35}, EditOpAction::kNotesSample, "SAMPLE"},
    {{120, 25, 179, 35}, EditOpAction::kNotesAll, "ALL"},
    {{60, 37, 119, 47}, EditOpAction::kKeep, "KEEP"},
    {{120, 37, 179, 47}, EditOpAction::kDelete, "DELETE"},
    {{4, 55, 79, 69}, EditOpAction::kSemitoneUp, "SEMI UP"},
    {{82, 55, 157, 69}, EditOpAction::kSemitoneDown, "SEMI DOWN"},
    {{160, 55, 235, 69}, EditOpAction::kOctaveUp, "OCT UP"},
    {{238, 55, 315, 69}, EditOpAction::kOctaveDown, "OCT DOWN"},
};

// The split ranges: two columns of two, each a note, a sample and a
// transpose field with their arrows.
constexpr int32_t kSplitRangeWidth = 160;
constexpr int32_t kSplitRangeTop = 73;
constexpr int32_t kSplitRangeHeight = 12;
constexpr int32_t kOrderSlotX = 60;
constexpr int32_t kOrderSlotWidth = 20;

inline constexpr Button<EditOpAction> kRecordButtons[] = {
    {{0, 0, 59, 10}, EditOpAction::kPage, nullptr},
    {{296, 0, 319, 10}, EditOpAction::kClose, "X"},
    {{60, 13, 99, 23}, EditOpAction::kRecordPattern, "PATT"},
    {{100, 13, 139, 23}, EditOpAction::kRecordSong, "SONG"},
    {{232, 13, 242, 23}, EditOpAction::kQuantizeUp, kCaptionUp},
    {{243, 13, 253, 23}, EditOpAction::kQuantizeDown, kCaptionDown},
    {{60, 25, 99, 35}, EditOpAction::kMetronome, "ON"},
    {{136, 25, 146, 35}, EditOpAction::kMetronomeChannelUp, kCaptionUp},
    {{147, 25, 157, 35}, EditOpAction::kMetronomeChannelDown, kCaptionDown},
    {{216, 25, 226, 35}, EditOpAction::kMetronomeRowsUp, kCaptionUp},
    {{227, 25, 237, 35}, EditOpAction::kMetronomeRowsDown, kCaptionDown},
    {{60, 37, 99, 47}, EditOpAction::kAutoEffect, "ON"},
    {{136, 37, 146, 47}, EditOpAction::kEffectUp, kCaptionUp},
    {{147, 37, 157, 47}, EditOpAction::kEffectDown, kCaptionDown},
    {{224, 37, 234, 47}, EditOpAction::kParamUp, kCaptionUp},
    {{235, 37, 245, 47}, EditOpAction::kParamDown, kCaptionDown},
    {{60, 49, 139, 59}, EditOpAction::kOrderSlot, nullptr},
    {{184, 49, 223, 59}, EditOpAction::kSplit, "ON"},
    {{38, 73, 46, 83}, EditOpAction::kSplitNoteUp, kCaptionUp},
    {{47, 73, 55, 83}, EditOpAction::kSplitNoteDown, kCaptionDown},
    {{76, 73, 84, 83}, EditOpAction::kSplitSampleUp, kCaptionUp},
    {{85, 73, 93, 83}, EditOpAction::kSplitSampleDown, kCaptionDown},
    {{122, 73, 130, 83}, EditOpAction::kSplitTransposeUp, kCaptionUp},
    {{131, 73, 139, 83}, EditOpAction::kSplitTransposeDown, kCaptionDown},
    {{198, 73, 206, 83}, EditOpAction::kSplitNoteUp, kCaptionUp},
    {{207, 73, 215, 83}, EditOpAction::kSplitNoteDown, kCaptionDown},
    {{236, 73, 244, 83}, EditOpAction::kSplitSampleUp, kCaptionUp},
    {{245, 73, 253, 83}, EditOpAction::kSplitSampleDown, kCaptionDown},
    {{282, 73, 290, 83}, EditOpAction::kSplitTransposeUp, kCaptionUp},
    {{291, 73, 299, 83}, EditOpAction::kSplitTransposeDown, kCaptionDown},
    {{38, 85, 46, 95}, EditOpAction::kSplitNoteUp, kCaptionUp},
    {{47, 85, 55, 95}, EditOpAction::kSplitNoteDown, kCaptionDown},
    {{76, 85, 84, 95}, EditOpAction::kSplitSampleUp, kCaptionUp},
    {{85, 85, 93, 95}, EditOpAction::kSplitSampleDown, kCaptionDown},
    {{122, 85, 130, 95}, EditOpAction::kSplitTransposeUp, kCaptionUp},
    {{131, 85, 139, 95}, EditOpAction::kSplitTransposeDown, kCaptionDown},
    {{198, 85, 206, 95}, EditOpAction::kSplitNoteUp, kCaptionUp},
    {{207, 85, 215, 95}, EditOpAction::kSplitNoteDown, kCaptionDown},
    {{236, 85, 244, 95}, EditOpAction::kSplitSampleUp, kCaptionUp},
    {{245, 85, 253, 95}, EditOpAction::kSplitSampleDown, kCaptionDown},
    {{282, 85, 290, 95}, EditOpAction::kSplitTransposeUp, kCaptionUp},
    {{291, 85, 299, 95}, EditOpAction::kSplitTransposeDown, kCaptionDown},
};

// Where a page's values are written (the text's top-left).
struct ValuePlace {
  int32_t x, y;
};

inline constexpr Button<EditOpAction> kSampleToolsButtons[] = {
    {{0, 0, 59, 10}, EditOpAction::kPage, nullptr},
    {{296, 0, 319, 10}, EditOpAction::kClose, "X"},
    {{0, 13, 63, 23}, EditOpAction::kReverse, "REVERSE"},
    {{64, 13, 127, 23}, EditOpAction::kFadeIn, "FADE IN"},
    {{128, 13, 199, 23}, EditOpAction::kFadeOut, "FADE OUT"},
    {{200, 13, 279, 23}, EditOpAction::kRemoveDc, "REMOVE DC"},
    {{0, 25, 63, 35}, EditOpAction::kCrossfade, "X-FADE"},
    {{106, 25, 114, 35}, EditOpAction::kCrossfadeUp, kCaptionUp},
    {{115, 25, 123, 35}, EditOpAction::kCrossfadeDown, kCaptionDown},
    {{136, 25, 183, 35}, EditOpAction::kEcho, "ECHO"},
    {{230, 25, 238, 35}, EditOpAction::kDelayUp, kCaptionUp},
    {{239, 25, 247, 35}, EditOpAction::kDelayDown, kCaptionDown},
    {{278, 25, 286, 35}, EditOpAction::kFeedbackUp, kCaptionUp},
    {{287, 25, 295, 35}, EditOpAction::kFeedbackDown, kCaptionDown},
    {{0, 37, 63, 47}, EditOpAction::kMix, "MIX"},
    {{90, 37, 98, 47}, EditOpAction::kMixAUp, kCaptionUp},
    {{99, 37, 107, 47}, EditOpAction::kMixADown, kCaptionDown},
    {{136, 37, 144, 47}, EditOpAction::kMixBUp, kCaptionUp},
    {{145, 37, 153, 47}, EditOpAction::kMixBDown, kCaptionDown},
    {{0, 49, 63, 59}, EditOpAction::kChord, "CHORD"},
    {{98, 49, 106, 59}, EditOpAction::kInterval1Up, kCaptionUp},
    {{107, 49, 115, 59}, EditOpAction::kInterval1Down, kCaptionDown},
    {{150, 49, 158, 59}, EditOpAction::kInterval2Up, kCaptionUp},
    {{159, 49, 167, 59}, EditOpAction::kInterval2Down, kCaptionDown},
    {{202, 49, 210, 59}, EditOpAction::kInterval3Up, kCaptionUp},
    {{211, 49, 219, 59}, EditOpAction::kInterval3Down, kCaptionDown},
    {{286, 43, 294, 53}, EditOpAction::kTargetUp, kCaptionUp},
    {{295, 43, 303, 53}, EditOpAction::kTargetDown, kCaptionDown},
    {{0, 61, 79, 71}, EditOpAction::kHalfRate, "HALF RATE"},
    {{80, 61, 175, 71}, EditOpAction::kDoubleRate, "DOUBLE RATE"},
    {{176, 61, 295, 71}, EditOpAction::kPatternToSample, "PATT TO SAMPLE"},
    {{0, 73, 63, 83}, EditOpAction::kSampling, "SAMPLE"},
};
// The tools' values: crossfade bytes, echo delay and feedback, the two
// samples mixed, the chord's three intervals, and the slot MIX and CHORD
// write to.
inline constexpr ValuePlace kCrossfadeValue = {68, 27};
inline constexpr ValuePlace kDelayValue = {188, 27};
inline constexpr ValuePlace kFeedbackValue = {252, 27};
inline constexpr ValuePlace kMixAValue = {70, 39};
inline constexpr ValuePlace kMixBValue = {116, 39};
inline constexpr ValuePlace kIntervalValues[3] = {{68, 51}, {120, 51}, {172, 51}};
inline constexpr ValuePlace kTargetValue = {264, 45};

inline constexpr ValuePlace kQuantizeValue = {208, 15};
inline constexpr ValuePlace kMetronomeChannelValue = {124, 27};
inline constexpr ValuePlace kMetronomeRowsValue = {196, 27};
inline constexpr ValuePlace kEffectValue = {124, 39};
inline constexpr ValuePlace kParamValue = {204, 39};
// In each split range, from the range's left edge.
constexpr int32_t kSplitNoteX = 13;
constexpr int32_t kSplitSampleX = 59;
constexpr int32_t kSplitTransposeX = 97;
