#include "sampler/sample_process.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/audio_lock.h"
#include "engine/editing.h"
#include "engine/periods.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/message.h"

namespace {

constexpr uint32_t kPanelColour = 0x9C9C9C;
constexpr uint32_t kTextColour = 0x000000;

SampleBytes boosted(const SampleBytes& x, const void*) {
  return boost(x);
}
SampleBytes smoothed(const SampleBytes& x, const void*) {
  return smooth(x);
}
SampleBytes ramped(const SampleBytes& x, const void* args) {
  const auto* percent = static_cast<const int32_t*>(args);
  return ramp_volume(x, percent[0], percent[1]);
}
SampleBytes rerated(const SampleBytes& x, const void* args) {
  return change_rate(x, *static_cast<const double*>(args));
}

void toggle_tone(const ScreenContext& ctx) {
  AudioGuard guard;  // the sound reads the tone
  Selection& s = ctx.selection;
  s.tone_channel = s.tone_channel ? 0 : 1 + (std::clamp(s.cursor_channel, 0, 3) + 1) % kChannels;
  s.tone_period = period_from_c3(s.tune_note);
}

}  // namespace

bool apply_sample_tool(const SamplerState& sampler, const ScreenContext& ctx, StepKind kind,
                       SampleBytes (*tool)(const SampleBytes&, const void*), const void* args) {
  const int32_t number = ctx.selection.current_sample;
  const Sample* sample = editable_sample(*ctx.player, number);
  auto [a, b] = marked_range(sampler, sample ? sample_bytes(*sample) : 0);
  const SampleBytes bytes = sample_range(*ctx.player, number, &a, &b);
  const ToolResult done =
      bytes.empty() ? ToolResult::kEmpty
                    : replace_sample_range(*ctx.player, number, a, b, tool(bytes, args), kind);
  if (const char* text = tool_result_text(done)) timed_message(ctx.status, text);
  return done == ToolResult::kDone || done == ToolResult::kCutShort;
}

void process_button(SamplerAction button, SamplerState& sampler, const ScreenContext& ctx) {
  Selection& s = ctx.selection;
  switch (button) {
    case SamplerAction::kVolume: {
      const Sample* sample = editable_sample(*ctx.player, s.current_sample);
      if (!sample || sample_bytes(*sample) == 0) return timed_message(ctx.status, "EMPTY SAMPLE");
      sampler.volume_open = 1;
      sampler.volume_from = sampler.volume_to = 100;
      return;
    }
    case SamplerAction::kTune:
      return toggle_tone(ctx);
    case SamplerAction::kTuneNote:
    case SamplerAction::kNote:
      s.note_field = button == SamplerAction::kTuneNote ? 1 : 2;
      return set_message(ctx.status, "PRESS A NOTE KEY");
    case SamplerAction::kBoost:
      apply_sample_tool(sampler, ctx, StepKind::kBoost, boosted, nullptr);
      return;
    case SamplerAction::kFilter:
      apply_sample_tool(sampler, ctx, StepKind::kFilter, smoothed, nullptr);
      return;
    case SamplerAction::kResample: {
      // Played at NOTE, the new bytes last as long as the old ones at TUNE.
      const double ratio =
          static_cast<double>(period_from_c3(s.tune_note)) / period_from_c3(s.resample_note);
      apply_sample_tool(sampler, ctx, StepKind::kResample, rerated, &ratio);
      return;
    }
    default:
      return;
  }
}

bool volume_panel_frame(SamplerState& sampler, const ScreenContext& ctx) {
  if (!sampler.volume_open) return false;
  const Canvas& canvas = ctx.canvas;
  fill_rect(canvas, {kVolumePanelLeft, kVolumePanelTop, kVolumePanelRight, kVolumePanelBottom},
            kPanelColour);
  draw_text(canvas, 66, 152, 0, kTextColour, "START %3d%%", sampler.volume_from);
  draw_text(canvas, 66, 164, 0, kTextColour, "END   %3d%%", sampler.volume_to);
  for (const Button<VolumeAction>& b : kVolumeButtons) {
    fill_rect(canvas, b.rect, 0xC8C8C8);
    const bool up = b.caption == kCaptionUp;
    if (!up && b.caption != kCaptionDown) {
      draw_text(canvas, b.rect.x1 + 2, b.rect.y1 + 2, 0, kTextColour, "%s", b.caption);
      continue;
    }
    // An arrow: rows of 1, 3 and 5 pixels, pointing up or down.
    const int32_t cx = (b.rect.x1 + b.rect.x2) / 2, top = b.rect.y1 + 3;
    for (int32_t row = 0; row < 3; ++row)
      fill_rect(canvas,
                {cx - row, top + (up ? row : 2 - row), cx + row, top + (up ? row : 2 - row)},
                kTextColour);
  }
  const VolumeAction action = hit_action(ctx.input, kVolumeButtons);
  const int32_t step = ctx.input.right_down ? 10 : 1;
  const auto stepped = [step](int32_t& percent, int32_t sign) {
    percent = std::clamp(percent + sign * step, 0, 200);
  };
  switch (action) {
    case VolumeAction::kFromUp:
      stepped(sampler.volume_from, 1);
      break;
    case VolumeAction::kFromDown:
      stepped(sampler.volume_from, -1);
      break;
    case VolumeAction::kToUp:
      stepped(sampler.volume_to, 1);
      break;
    case VolumeAction::kToDown:
      stepped(sampler.volume_to, -1);
      break;
    case VolumeAction::kNormalize: {
      const Sample* sample = editable_sample(*ctx.player, ctx.selection.current_sample);
      const int32_t length = sample ? sample_bytes(*sample) : 0;
      auto [a, b] = marked_range(sampler, length);
      if (b <= a) a = 0, b = length;
      sampler.volume_from = sampler.volume_to =
          length ? normalize_percent(SampleBytes(sample->data + a, sample->data + b)) : 100;
      break;
    }
    case VolumeAction::kApply: {
      const int32_t percent[2] = {sampler.volume_from, sampler.volume_to};
      apply_sample_tool(sampler, ctx, StepKind::kVolumeRamp, ramped, percent);
      sampler.volume_open = 0;
      break;
    }
    case VolumeAction::kExit:
      sampler.volume_open = 0;
      break;
    case VolumeAction::kNone:
      break;
  }
  // The panel owns every click over the sample editor while it is open.
  return ctx.input.left_held != 0;
}

void draw_process_fields(const SamplerState& sampler, const ScreenContext& ctx) {
  draw_text(ctx.canvas, 289, 236, 0, kTextColour, "%s",
            note_name(period_from_c3(ctx.selection.tune_note)));
  draw_text(ctx.canvas, 289, 247, 0, kTextColour, "%s",
            note_name(period_from_c3(ctx.selection.resample_note)));
  // While a range is marked and nothing else is said, the message line
  // shows where it starts and how long it is.
  const Sample* sample = editable_sample(*ctx.player, ctx.selection.current_sample);
  const int32_t length = sample ? sample_bytes(*sample) : 0;
  const auto [a, b] = marked_range(sampler, length);
  const bool quiet = std::strcmp(ctx.status.message, "ALL RIGHT") == 0;
  if (b > a && quiet) {
    draw_text(ctx.canvas, 89, 127, 0, kTextColour, "RANGE %04X %04X", a, b - a);
  } else {
    draw_text(ctx.canvas, 89, 127, 0, kTextColour, "%s", ctx.status.message);
  }
}
