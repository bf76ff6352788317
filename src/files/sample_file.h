// Sample files: raw signed 8-bit bytes, or IFF 8SVX with a loop in its
// voice header; and the sample library that songs take their samples from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/player.h"

// Replaces the sample's data, length and loop with what the file's bytes
// hold (cut to the longest sample), volume 64 and finetune 0; the name is
// left to the caller. False when memory runs out (the sample is then empty).
bool parse_sample_file(const uint8_t* bytes, size_t size, Sample& sample);
// Gives the sample a copy of `bytes` bytes of data and a loop (in bytes),
// volume 64 and finetune 0. False when memory runs out (the sample is then
// empty).
bool set_sample_data(Sample& sample, const void* data, int32_t bytes, int32_t loop_start,
                     int32_t loop_length);
// The bytes of the sample as an IFF 8SVX file or as a raw file.
std::vector<uint8_t> serialize_sample(const Sample& sample, bool iff);
// The name a sample loaded from `path` gets: the part after the last '/'.
std::string sample_name_of_path(const char* path);
// Where a library name such as "st-01:bass" lives below the library
// directory ("st-01/bass"); empty for names that cannot be library files.
std::string library_sample_path(const std::string& library, const char* name);
// A SampleFetch for songs: `directory` is the library directory (a
// NUL-terminated path); raw and IFF files are read, cut or zero-padded to
// the length the song's header gives.
bool fetch_library_sample(void* directory, const char* name, int8_t* data, int32_t bytes);
