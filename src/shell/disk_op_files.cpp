#include "shell/disk_op_files.h"

#include <cstring>

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

int32_t load_dropped_file(const char* path, EditorState* state) {
  int32_t loaded = load_module(path, state, kKindModule);
  if (!loaded && std::strcmp(state->status.message, "NOT A MODULE") == 0)
    loaded = load_sample(state, path);
  reset_sample_view(state);
  if (!loaded) restart_message_timer(state);
  return loaded;
}
