// The sample editor's processing: VOLUME (a ramp set on its panel), TUNE
// (the tuning tone) and its note, BOOST, FILTER, and RESAMPLE with its NOTE.
// Each acts on the marked range, or on the whole sample when none is
// marked, as one undo step; the new bytes are made before the audio lock
// is taken for the swap.
#pragma once

#include <cstdint>

#include "engine/history.h"
#include "engine/sample_tools.h"
#include "layout/sampler_layout.h"
#include "render/screen.h"
#include "sampler/sample_view.h"

// One of the processing buttons was pressed.
void process_button(SamplerAction button, SamplerState& sampler, const ScreenContext& ctx);
// The VOLUME panel's turn while it is open: drawn over the waveform, its
// buttons acting. Returns whether it took the click.
bool volume_panel_frame(SamplerState& sampler, const ScreenContext& ctx);
// The tool applied to the range (or the whole sample); `ratio` scales the
// loop when the tool changes the length. False, with a message, when
// there is nothing to act on.
bool apply_sample_tool(const SamplerState& sampler, const ScreenContext& ctx, StepKind kind,
                       SampleBytes (*tool)(const SampleBytes&, const void*), const void* args);
// Draws the two note fields and the message line, which shows the marked
// range's start and length (hexadecimal) while nothing else is said.
void draw_process_fields(const SamplerState& sampler, const ScreenContext& ctx);
