// 16-bit PCM audio files written block by block through libsndfile: WAV,
// FLAC or AIFF by the file name's extension, or a WAV on standard output.
#pragma once

#include <cstdint>

#include "files/module_format.h"

enum AudioFormat : int32_t { kAudioUnknown = 0, kAudioWav, kAudioFlac, kAudioAiff };

// The extensions audio_format_of_path knows, for messages.
extern const char kAudioExtensions[];

// The format a path asks for by its extension (any case); "-" is a WAV on
// standard output.
AudioFormat audio_format_of_path(const char* path);

struct AudioWriter;

// Opens a writer of interleaved 16-bit frames. A file is written under a
// temporary name in its directory and takes its own name only when finished,
// so a failed render never replaces an older file. Standard output cannot
// seek back to fill in the header, so for "-" `frames` must be the exact
// length the render will have. Null on failure, with the reason in `result`.
AudioWriter* audio_writer_open(const char* path, int32_t channels, int32_t rate, int64_t frames,
                               FileResult& result);
bool audio_writer_write(AudioWriter* writer, const int16_t* frames, int32_t count);
// Completes the file and frees the writer.
FileResult audio_writer_finish(AudioWriter* writer);
// Frees the writer and removes what it wrote (a partial stream already sent
// to standard output stays sent).
void audio_writer_discard(AudioWriter* writer);
