// The one lock shared by the main thread and the audio callback. The
// platform installs the real lock; until then (tests, offline rendering)
// locking does nothing. The lock is recursive.
#pragma once

#include <cstdint>

struct AudioLockHooks {
  void (*lock)(void* context);
  void (*unlock)(void* context);
  void* context;
};

void audio_lock_install(const AudioLockHooks& hooks);
void audio_lock();
void audio_unlock();

// How long the lock was held through audio_lock, for measuring that no
// change keeps the sound waiting: the longest hold since the last reset
// and the number of holds.
struct AudioLockStats {
  int64_t longest_hold_ns;
  int64_t holds;
};
AudioLockStats audio_lock_stats();
void audio_lock_stats_reset();

// Holds the audio lock for a scope.
class AudioGuard {
 public:
  AudioGuard() { audio_lock(); }
  ~AudioGuard() { audio_unlock(); }
  AudioGuard(const AudioGuard&) = delete;
  AudioGuard& operator=(const AudioGuard&) = delete;
};
