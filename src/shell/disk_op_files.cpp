#include "shell/disk_op_files.h"

#include "edit/requesters.h"
#include "render/message.h"
#include "sampler/sample_view.h"
#include "shell/module_io.h"
#include "shell/sample_io.h"
#include "shell/track_io.h"

const DiskOpServices& disk_op_services() {
  static constexpr DiskOpServices kServices{
      load_module, save_module,  load_sample,  save_sample,       load_track,
      save_track,  load_pattern, save_pattern, reset_sample_view, confirm_requester,
  };
  return kServices;
}

FileResult load_dropped_file(const char* path, EditorState* state) {
  FileResult loaded = load_module(path, state, kKindModule);
  if (loaded.error == FileError::kNotAModule) loaded = load_sample(state, path);
  reset_sample_view(state);
  if (!loaded.ok) restart_message_timer(state->status);
  return loaded;
}
