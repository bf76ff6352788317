// Alt+Y: every sample that has data is saved into the disk op's sample
// directory under its own name, in the format chosen there (IFF or raw).
// A file that exists is replaced only after its own question, or skipped.
#pragma once

#include <cstdint>

#include "shell/editor_state.h"

// Saves the samples from number `from` on, stopping to ask at the first
// whose file exists; when all are done, says how many were saved.
void save_samples_from(EditorState& state, int32_t from);
// The answer about the file of the sample asked for: replace it, or skip
// it; then the saving goes on with the next.
void answer_sample_file(EditorState& state, bool replace);
