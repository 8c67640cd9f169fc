#pragma once
// A function of a system library bound at its first call rather than when the program loads: a
// library that is needed only now and then (the file dialogs, the shell, the sounds) costs the
// start of the program nothing. The library stays loaded once bound.
#include <windows.h>

namespace winkit {

// The function `name` of `library`, loading the library if no one has yet; null when either is
// missing. Callers keep the result (a function-local static binds once).
template <typename Function>
Function* LateBound(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryW(library);
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace winkit
