// Sample processing: each tool takes the bytes of a sample (or of its
// marked range) and gives the new bytes, every value rounded (halves away
// from zero) and clipped to -128..127. Tools that lengthen a sample stop at
// kMaxSampleBytes. Pure functions: the caller swaps the result in.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/history.h"
#include "engine/player.h"

using SampleBytes = std::vector<int8_t>;

// Treble boost: y[n] = x[n] + (x[n] - x[n-1]) / 2, with x[-1] = x[0].
SampleBytes boost(const SampleBytes& x);
// Low-pass: y[n] = (x[n-1] + 2 x[n] + x[n+1]) / 4, an end standing in for
// its missing neighbour.
SampleBytes smooth(const SampleBytes& x);
// A linear ramp of the volume from `from` to `to` percent over the bytes.
SampleBytes ramp_volume(const SampleBytes& x, int32_t from, int32_t to);
// The largest percentage (0..200) that scales the bytes without clipping.
int32_t normalize_percent(const SampleBytes& x);
// The bytes played `ratio` times as many a second (libsamplerate's best
// sinc converter): about x.size() * ratio of them.
SampleBytes change_rate(const SampleBytes& x, double ratio);
SampleBytes reversed(const SampleBytes& x);
// The mean taken away.
SampleBytes remove_dc(const SampleBytes& x);
// The `n` bytes before the loop end blended with the `n` before the loop
// start (weight rising to the end), so the seam does not click.
SampleBytes crossfade_loop(const SampleBytes& x, int32_t loop_start, int32_t loop_end, int32_t n);
// a at volume_a plus b at volume_b (0..64), as long as the longer,
// normalised to full scale.
SampleBytes mix(const SampleBytes& a, int32_t volume_a, const SampleBytes& b, int32_t volume_b);
// Echoes `delay` bytes apart, each `feedback` percent of the one before,
// the sample lengthened by the tail until it dies out.
SampleBytes echo(const SampleBytes& x, int32_t delay, int32_t feedback);
// The bytes mixed with themselves at up to three intervals (semitones; 0
// means none), normalised; as long as the longest part.
SampleBytes chord(const SampleBytes& x, const int32_t (&intervals)[3]);
// Scales a loop by `ratio`, kept on even bytes within `length`; the loop
// off (0, 2) when too little of it is left.
void scale_loop(int32_t* start, int32_t* length_bytes, double ratio, int32_t length);

// The current pattern played once through the mixer at `rate` frames a
// second (mono, the module's filter as set), normalised, at most
// kMaxSampleBytes.
SampleBytes pattern_to_sample(const Player& player, int32_t pattern, int32_t rate);

// Putting a result back.

enum class ToolResult : int32_t { kDone, kEmpty, kNoMemory, kCutShort };
// The message line's text for a result other than kDone.
const char* tool_result_text(ToolResult result);

// Bytes a..b of sample `number`; the whole sample when b <= a (a and b set
// to what was taken). Empty for an empty sample or sample 0.
SampleBytes sample_range(const Player& player, int32_t number, int32_t* a, int32_t* b);
// Puts `result` in place of bytes a..b (as sample_range gave them) of
// sample `number`, as one undo step of `kind`: the new data is made before
// the audio lock is taken for the swap. The loop is scaled with a whole
// sample, moved with what follows the range, and switched off when it
// overlaps a range that changed length.
ToolResult replace_sample_range(Player& player, int32_t number, int32_t a, int32_t b,
                                const SampleBytes& result, StepKind kind);
// Gives slot `number` the bytes as a new sample (volume 64, finetune 0, no
// loop), named `name` when one is given, as one undo step of `kind`.
ToolResult fill_slot(Player& player, int32_t number, const SampleBytes& bytes, const char* name,
                     StepKind kind);
