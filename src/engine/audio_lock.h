// The one lock shared by the main thread and the audio callback. The
// platform installs the real lock; until then (tests, offline rendering)
// locking does nothing. The lock is recursive.
#pragma once

struct AudioLockHooks {
  void (*lock)(void* context);
  void (*unlock)(void* context);
  void* context;
};

void audio_lock_install(const AudioLockHooks& hooks);
void audio_lock();
void audio_unlock();

// Holds the audio lock for a scope.
class AudioGuard {
 public:
  AudioGuard() { audio_lock(); }
  ~AudioGuard() { audio_unlock(); }
  AudioGuard(const AudioGuard&) = delete;
  AudioGuard& operator=(const AudioGuard&) = delete;
};
