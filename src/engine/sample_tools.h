// Sample processing: each tool takes the bytes of a sample (or of its
// marked range) and gives the new bytes, every value rounded (halves away
// from zero) and clipped to -128..127. Tools that lengthen a sample stop at
// kMaxSampleBytes. Pure functions: the caller swaps the result in.
#pragma once

#include <cstdint>
#include <vector>

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
