#include "wave_sound.h"

#include <mmsystem.h>

const void* FindWave(HMODULE module, const char* name) {
  if (!module || !name || !*name) return nullptr;
  HRSRC found = FindResourceA(module, name, "WAVE");
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  return loaded ? LockResource(loaded) : nullptr;
}

bool PlayWave(HMODULE module, const char* name, WaveMode mode) {
  const void* bytes = FindWave(module, name);
  if (!bytes) return false;
  DWORD flags = SND_MEMORY | SND_NODEFAULT;
  if (mode == WaveMode::kAsync) flags |= SND_ASYNC;
  return PlaySoundA(static_cast<LPCSTR>(bytes), nullptr, flags) != FALSE;
}

void StopSounds() { PlaySoundA(nullptr, nullptr, 0); }
