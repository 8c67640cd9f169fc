#include "wave_sound.h"

#include <mmsystem.h>

#include "winkit/late_bound.h"

namespace {

// The sound library is loaded at the first sound, not with the program.
BOOL Play(LPCSTR sound, DWORD flags) {
  static const auto play = winkit::LateBound<decltype(PlaySoundA)>(L"winmm.dll", "PlaySoundA");
  return play ? play(sound, nullptr, flags) : FALSE;
}

}  // namespace

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
  return Play(static_cast<LPCSTR>(bytes), flags) != FALSE;
}

void StopSounds() { Play(nullptr, 0); }
