// Sample files in the formats libsndfile reads (WAV, AIFF, FLAC and
// others), turned into the 8-bit signed mono sample data a module holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/player.h"
#include "files/module_format.h"

struct ImportedSample {
  std::vector<int8_t> data;  // at most kMaxSampleBytes
  int32_t loop_start = 0;    // bytes
  int32_t loop_length = 0;   // bytes; 0 when the file carries no loop
  bool cut = false;          // the file held more than kMaxSampleBytes frames
};

enum ImportStatus : int32_t {
  kImportNotAudio,  // not a file of such a format: the raw and IFF readers take it
  kImportDone,
  kImportRefused,  // announces such a format but cannot be read
};

struct ImportResult {
  ImportStatus status;
  FileResult file;  // why, when the status is kImportRefused
};

// Decodes the whole file: channels mixed to mono, converted to `rate`
// frames a second (libsamplerate's best sinc converter; 0 keeps one byte a
// frame of the file), each value rounded to the nearest 8-bit one (halves
// away from zero); the first loop the file names is scaled and kept when it
// lies inside the kept data. IFF 8SVX files are left to the IFF reader.
ImportResult import_audio_sample(const uint8_t* bytes, size_t size, ImportedSample& out,
                                 int32_t rate = 0);
// Gives the sample the imported data and loop, volume 64 and finetune 0;
// the name is left to the caller. False when memory runs out.
bool sample_from_import(const ImportedSample& imported, Sample& sample);
