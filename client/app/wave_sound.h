// Sounds kept as "WAVE" resources of a resource library, played from the library's memory.
#pragma once
#include <windows.h>

enum class WaveMode { kAsync, kSync };

// The bytes of the "WAVE" resource `name` of `module`; null when either is missing.
const void* FindWave(HMODULE module, const char* name);
// Plays the "WAVE" resource `name` of `module`. False, quietly, when the module, the name or the
// sound is missing or cannot be played.
bool PlayWave(HMODULE module, const char* name, WaveMode mode);
// Stops whatever sound plays; due before a module a sound may play from is freed.
void StopSounds();
