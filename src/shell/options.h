// Options of the interactive program and of the headless screenshot run.
#pragma once

#include <cstdint>

struct LiveOptions {
  int32_t scale;  // 0 = the largest that fits the desktop
  bool fullscreen;
  bool play;
  const char* module;      // null = start with an empty module
  const char* screenshot;  // non-null: headless run writing this PNG
  int32_t frames;          // frames of a screenshot run
  const char* script;      // non-null: headless run of this input script
};

// Fills `options` from the arguments (argv[0] is the program). Returns
// nullptr when they are valid, else the reason to print.
const char* parse_live_options(int argc, char** argv, LiveOptions& options);
