// The scripted input source: feeds a parsed script to a headless run as the
// window would feed its events. Each command becomes the input of its
// frames, one frame at a time; shots write the picture between frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/headless.h"
#include "shell/script.h"

struct ScriptInput {
  const std::vector<ScriptCommand>* commands;
  const char* file;            // the script's name, for messages
  const uint8_t* framebuffer;  // what a shot writes
  size_t next;                 // the next command to start
  const ScriptCommand* current;
  int32_t step;   // frames of the current command begun
  int32_t steps;  // frames it takes
  bool failed;    // a shot or a save failed; the run ended there
  // Writes the module as it is now, as the disk op's save does.
  bool (*save)(void* context, const char* path);
  void* save_context;
  // The sound heard since the start or the last listen, interleaved
  // stereo, and its rate.
  std::vector<int16_t> heard;
  int32_t heard_rate;
};

void script_input_init(ScriptInput& script, const std::vector<ScriptCommand>& commands,
                       const char* file, const uint8_t* framebuffer,
                       bool (*save)(void* context, const char* path), void* save_context);
// Exit status of a script's abort: the program ends at once, as a crash would.
constexpr int kScriptAbortStatus = 3;
// The feed of a headless run. It ends the run after the last command, or when
// a shot or a save fails.
HeadlessFeed script_feed(ScriptInput& script);
