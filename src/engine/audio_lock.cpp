#include "engine/audio_lock.h"

#include <atomic>
#include <chrono>

namespace {

AudioLockHooks g_hooks{nullptr, nullptr, nullptr};

// Holds are timed from the outermost lock to its unlock on each thread, so
// the nested guards of one change count once.
thread_local int32_t t_depth = 0;
thread_local std::chrono::steady_clock::time_point t_since;
std::atomic<int64_t> g_longest_ns{0};
std::atomic<int64_t> g_holds{0};

}  // namespace

void audio_lock_install(const AudioLockHooks& hooks) {
  g_hooks = hooks;
}

void audio_lock() {
  if (g_hooks.lock) g_hooks.lock(g_hooks.context);
  if (t_depth++ == 0) t_since = std::chrono::steady_clock::now();
}

void audio_unlock() {
  if (--t_depth == 0) {
    const int64_t held = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::steady_clock::now() - t_since)
                             .count();
    int64_t longest = g_longest_ns.load(std::memory_order_relaxed);
    while (held > longest && !g_longest_ns.compare_exchange_weak(longest, held)) {
    }
    g_holds.fetch_add(1, std::memory_order_relaxed);
  }
  if (g_hooks.unlock) g_hooks.unlock(g_hooks.context);
}

AudioLockStats audio_lock_stats() {
  return AudioLockStats{g_longest_ns.load(), g_holds.load()};
}

void audio_lock_stats_reset() {
  g_longest_ns.store(0);
  g_holds.store(0);
}
