#include "shell/disk_op_files.h"

#include "render/message.h"
#include "shell/module_io.h"
#include "shell/sample_io.h"
#include "shell/screens.h"

FileResult load_dropped_file(const char* path, EditorState* state) {
  FileResult loaded = load_module(path, state, kKindModule);
  if (loaded.error == FileError::kNotAModule) loaded = load_sample(state, path);
  sample_changed(*state);
  if (!loaded.ok) restart_message_timer(state->status);
  return loaded;
}
