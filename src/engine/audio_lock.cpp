#include "engine/audio_lock.h"

namespace {
AudioLockHooks g_hooks{nullptr, nullptr, nullptr};
}

void audio_lock_install(const AudioLockHooks& hooks) {
  g_hooks = hooks;
}

void audio_lock() {
  if (g_hooks.lock) g_hooks.lock(g_hooks.context);
}

void audio_unlock() {
  if (g_hooks.unlock) g_hooks.unlock(g_hooks.context);
}
