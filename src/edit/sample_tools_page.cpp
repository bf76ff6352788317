#include "edit/sample_tools_page.h"

#include <algorithm>
#include <cstdio>

#include "engine/editing.h"
#include "engine/periods.h"
#include "engine/sample_tools.h"
#include "render/draw.h"
#include "render/message.h"

namespace {

constexpr uint32_t kValueInk = 0x000000;

void done(const ScreenContext& ctx, ToolResult result, const char* text) {
  if (const char* refusal = tool_result_text(result)) return timed_message(ctx.status, refusal);
  set_message(ctx.status, text);
  ctx.status.message_timer = 1;
}

// The tool on the marked range of the current sample, or on all of it.
void on_range(const SampleToolsState& tools, const ScreenContext& ctx,
              SampleBytes (*tool)(const SampleBytes&), const char* text) {
  const int32_t number = ctx.selection.current_sample;
  int32_t a = tools.range_a, b = tools.range_b;
  const SampleBytes bytes = sample_range(*ctx.player, number, &a, &b);
  done(ctx,
       bytes.empty()
           ? ToolResult::kEmpty
           : replace_sample_range(*ctx.player, number, a, b, tool(bytes), StepKind::kSampleTool),
       text);
}

SampleBytes fade_in(const SampleBytes& x) {
  return ramp_volume(x, 0, 100);
}
SampleBytes fade_out(const SampleBytes& x) {
  return ramp_volume(x, 100, 0);
}
SampleBytes half_rate(const SampleBytes& x) {
  return change_rate(x, 0.5);
}
SampleBytes double_rate(const SampleBytes& x) {
  return change_rate(x, 2.0);
}

// The whole of sample `number`.
SampleBytes whole(const ScreenContext& ctx, int32_t number) {
  int32_t a = 0, b = 0;
  return sample_range(*ctx.player, number, &a, &b);
}

void crossfade(const SampleToolsState& tools, const ScreenContext& ctx) {
  const int32_t number = ctx.selection.current_sample;
  const Sample* sample = editable_sample(*ctx.player, number);
  if (!sample || !sample_loops(*sample) || sample_bytes(*sample) == 0)
    return timed_message(ctx.status, "NO LOOP");
  // The blend takes the bytes before the loop start.
  if (sample->loop_start == 0) return timed_message(ctx.status, "LOOP AT START");
  const SampleBytes bytes = whole(ctx, number);
  const SampleBytes faded =
      crossfade_loop(bytes, sample->loop_start >> 14, sample->loop_end >> 14, tools.crossfade);
  done(ctx,
       replace_sample_range(*ctx.player, number, 0, static_cast<int32_t>(bytes.size()), faded,
                            StepKind::kSampleTool),
       "LOOP CROSSFADED");
}

void echo_tool(const SampleToolsState& tools, const ScreenContext& ctx) {
  const int32_t number = ctx.selection.current_sample;
  const SampleBytes bytes = whole(ctx, number);
  if (bytes.empty()) return timed_message(ctx.status, "EMPTY SAMPLE");
  done(ctx,
       replace_sample_range(*ctx.player, number, 0, static_cast<int32_t>(bytes.size()),
                            echo(bytes, tools.delay, tools.feedback), StepKind::kSampleTool),
       "ECHO ADDED");
}

void mix_tool(const SampleToolsState& tools, const ScreenContext& ctx) {
  const SampleBytes a = whole(ctx, tools.mix_a), b = whole(ctx, tools.mix_b);
  if (a.empty() || b.empty()) return timed_message(ctx.status, "EMPTY SAMPLE");
  const Player& player = *ctx.player;
  const SampleBytes mixed =
      mix(a, player.samples[tools.mix_a].volume, b, player.samples[tools.mix_b].volume);
  done(ctx, fill_slot(*ctx.player, tools.target, mixed, nullptr, StepKind::kSampleTool),
       "SAMPLES MIXED");
}

void chord_tool(const SampleToolsState& tools, const ScreenContext& ctx) {
  const SampleBytes bytes = whole(ctx, ctx.selection.current_sample);
  if (bytes.empty()) return timed_message(ctx.status, "EMPTY SAMPLE");
  done(ctx,
       fill_slot(*ctx.player, tools.target, chord(bytes, tools.intervals), nullptr,
                 StepKind::kSampleTool),
       "CHORD MADE");
}

// The current pattern at the rate of the sample editor's NOTE, into the
// current slot.
void pattern_tool(const ScreenContext& ctx) {
  const int32_t pattern = replay_view(*ctx.player).current_pattern;
  const int32_t period = period_from_c3(ctx.selection.resample_note);
  const SampleBytes bytes =
      pattern_to_sample(*ctx.player, pattern, static_cast<int32_t>(period_rate(period)));
  char name[16];
  std::snprintf(name, sizeof name, "PATTERN %02d", pattern);
  if (bytes.empty()) return timed_message(ctx.status, "PATTERN IS SILENT");
  done(ctx,
       fill_slot(*ctx.player, ctx.selection.current_sample, bytes, name, StepKind::kSampleTool),
       "PATTERN SAMPLED");
}

// Moves a value one step (ten with the right button) within its range.
void step(int32_t& value, const ScreenContext& ctx, int32_t sign, int32_t unit, int32_t lowest,
          int32_t highest) {
  value = std::clamp(value + sign * unit * (ctx.input.right_down ? 10 : 1), lowest, highest);
}

}  // namespace

void sample_tools_button(SampleToolsState& tools, const ScreenContext& ctx, EditOpAction action) {
  using A = EditOpAction;
  switch (action) {
    case A::kReverse:
      return on_range(tools, ctx, reversed, "REVERSED");
    case A::kFadeIn:
      return on_range(tools, ctx, fade_in, "FADED IN");
    case A::kFadeOut:
      return on_range(tools, ctx, fade_out, "FADED OUT");
    case A::kRemoveDc:
      return on_range(tools, ctx, remove_dc, "DC REMOVED");
    case A::kHalfRate:
      return on_range(tools, ctx, half_rate, "HALF RATE");
    case A::kDoubleRate:
      return on_range(tools, ctx, double_rate, "DOUBLE RATE");
    case A::kCrossfade:
      return crossfade(tools, ctx);
    case A::kEcho:
      return echo_tool(tools, ctx);
    case A::kMix:
      return mix_tool(tools, ctx);
    case A::kChord:
      return chord_tool(tools, ctx);
    case A::kPatternToSample:
      return pattern_tool(ctx);
    case A::kSampling:
      tools.sampling_asked = 1;
      return;
    case A::kCrossfadeUp:
    case A::kCrossfadeDown:
      return step(tools.crossfade, ctx, action == A::kCrossfadeUp ? 1 : -1, 16, 2, 8192);
    case A::kDelayUp:
    case A::kDelayDown:
      return step(tools.delay, ctx, action == A::kDelayUp ? 1 : -1, 100, 100, 32000);
    case A::kFeedbackUp:
    case A::kFeedbackDown:
      return step(tools.feedback, ctx, action == A::kFeedbackUp ? 1 : -1, 1, 0, 95);
    case A::kMixAUp:
    case A::kMixADown:
      return step(tools.mix_a, ctx, action == A::kMixAUp ? 1 : -1, 1, 1, kSampleCount - 1);
    case A::kMixBUp:
    case A::kMixBDown:
      return step(tools.mix_b, ctx, action == A::kMixBUp ? 1 : -1, 1, 1, kSampleCount - 1);
    case A::kTargetUp:
    case A::kTargetDown:
      return step(tools.target, ctx, action == A::kTargetUp ? 1 : -1, 1, 1, kSampleCount - 1);
    case A::kInterval1Up:
    case A::kInterval1Down:
    case A::kInterval2Up:
    case A::kInterval2Down:
    case A::kInterval3Up:
    case A::kInterval3Down: {
      const int32_t k = (static_cast<int32_t>(action) - static_cast<int32_t>(A::kInterval1Up)) / 2;
      const bool up =
          (static_cast<int32_t>(action) - static_cast<int32_t>(A::kInterval1Up)) % 2 == 0;
      return step(tools.intervals[k], ctx, up ? 1 : -1, 1, -24, 24);
    }
    default:
      return;
  }
}

void draw_sample_tools(const SampleToolsState& tools, const Canvas& canvas) {
  draw_text(canvas, kCrossfadeValue.x, kCrossfadeValue.y, 0, kValueInk, "%4d", tools.crossfade);
  draw_text(canvas, kDelayValue.x, kDelayValue.y, 0, kValueInk, "%5d", tools.delay);
  draw_text(canvas, kFeedbackValue.x, kFeedbackValue.y, 0, kValueInk, "%2d%%", tools.feedback);
  draw_text(canvas, kMixAValue.x, kMixAValue.y, 0, kValueInk, "%02d", tools.mix_a);
  draw_text(canvas, kMixBValue.x, kMixBValue.y, 0, kValueInk, "%02d", tools.mix_b);
  for (int32_t k = 0; k < 3; ++k)
    draw_text(canvas, kIntervalValues[k].x, kIntervalValues[k].y, 0, kValueInk, "%+03d",
              tools.intervals[k]);
  draw_text(canvas, kTargetValue.x, kTargetValue.y, 0, kValueInk, "%02d", tools.target);
}
