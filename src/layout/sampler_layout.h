// The sample editor's panel: its buttons, waveform and scroll bar, drawn
// from kSamplePanelTop down; rectangles are in screen coordinates.
#pragma once

#include "layout/picture.h"

enum class SamplerAction : int32_t {
  kNone,
  kClose,
  kPlay,
  kZoom,
  kZoomOut,
  kStop,
  kPlayView,
  kShowAll,
  kMarkAll,
  kLoop,
  kPlayRange,
  kCursorStart,
  kCursorEnd,
  kSwap,
  kVolume,
  kTune,
  kCut,
  kCopy,
  kPaste,
  kBoost,
  kFilter,
  kResample,
  kNote,
  kTuneNote,
  kWaveform,
  kScrollBar,
};

inline constexpr Button<SamplerAction> kSamplerButtons[] = {
    {{6, 124, 25, 134}, SamplerAction::kClose, "X"},
    {{32, 212, 95, 220}, SamplerAction::kPlay, "PLAY"},
    {{96, 212, 175, 220}, SamplerAction::kZoom, "ZOOM"},
    {{176, 212, 245, 220}, SamplerAction::kZoomOut, "ZOOM OUT"},
    {{0, 223, 30, 242}, SamplerAction::kStop, "STOP"},
    {{32, 223, 95, 231}, SamplerAction::kPlayView, "PLAY VIEW"},
    {{96, 223, 175, 231}, SamplerAction::kShowAll, "SHOW ALL"},
    {{176, 223, 245, 231}, SamplerAction::kMarkAll, "MARK ALL"},
    {{246, 223, 319, 231}, SamplerAction::kLoop, "LOOP"},
    {{32, 234, 94, 242}, SamplerAction::kPlayRange, "PLAY MARK"},
    {{96, 234, 114, 242}, SamplerAction::kCursorStart, kCaptionLeft},
    {{116, 234, 135, 242}, SamplerAction::kCursorEnd, kCaptionRight},
    {{136, 234, 174, 242}, SamplerAction::kSwap, "SWAP"},
    {{176, 234, 245, 242}, SamplerAction::kVolume, "VOLUME"},
    {{246, 234, 286, 242}, SamplerAction::kTune, "TUNE"},
    {{287, 234, 319, 242}, SamplerAction::kTuneNote, nullptr},
    {{0, 245, 31, 256}, SamplerAction::kCut, "CUT"},
    {{32, 245, 63, 256}, SamplerAction::kCopy, "COPY"},
    {{64, 245, 95, 256}, SamplerAction::kPaste, "PASTE"},
    {{96, 245, 135, 256}, SamplerAction::kBoost, "BOOST"},
    {{136, 245, 175, 256}, SamplerAction::kFilter, "FILTER"},
    {{176, 245, 245, 256}, SamplerAction::kResample, "RESAMPLE"},
    {{246, 245, 319, 256}, SamplerAction::kNote, "NOTE"},
    {{0, 138, 319, 201}, SamplerAction::kWaveform, nullptr},
    {{3, 205, 316, 210}, SamplerAction::kScrollBar, nullptr},
};

// The VOLUME panel over the waveform: a ramp from a start to an end
// percentage.
enum class VolumeAction : int32_t {
  kNone,
  kFromUp,
  kFromDown,
  kToUp,
  kToDown,
  kNormalize,
  kApply,
  kExit,
};

inline constexpr Button<VolumeAction> kVolumeButtons[] = {
    {{150, 150, 160, 160}, VolumeAction::kFromUp, kCaptionUp},
    {{161, 150, 171, 160}, VolumeAction::kFromDown, kCaptionDown},
    {{150, 162, 160, 172}, VolumeAction::kToUp, kCaptionUp},
    {{161, 162, 171, 172}, VolumeAction::kToDown, kCaptionDown},
    {{180, 150, 255, 160}, VolumeAction::kNormalize, "NORMALIZE"},
    {{180, 162, 215, 172}, VolumeAction::kApply, "OK"},
    {{216, 162, 255, 172}, VolumeAction::kExit, "EXIT"},
};
constexpr int32_t kVolumePanelLeft = 60;
constexpr int32_t kVolumePanelTop = 144;
constexpr int32_t kVolumePanelRight = 260;
constexpr int32_t kVolumePanelBottom = 178;

// The waveform's area; marks are screen x within it.
constexpr int32_t kWaveLeft = 3;
constexpr int32_t kWaveRight = 316;
constexpr int32_t kWaveTop = 138;
constexpr int32_t kWaveBottom = 201;
constexpr int32_t kWaveCentre = 169;
// Pixels from the first mark position to the last, and the width a view
// window is spread over for markers and play positions.
constexpr int32_t kWaveSpan = kWaveRight - kWaveLeft;  // 313
constexpr double kWaveScale = kWaveSpan + 1.0;         // 314
// The scroll bar's track.
constexpr int32_t kScrollLeft = 4;
constexpr double kScrollWidth = kWaveSpan - 1.0;  // 312
constexpr int32_t kScrollTop = 206;
constexpr int32_t kScrollBottom = 209;
