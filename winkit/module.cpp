#include "module.h"

namespace winkit {
namespace {
HINSTANCE g_instance = nullptr;
volatile LONG g_locks = 0;
Module::UnlockHook g_last_unlock = nullptr;
ITypeLib* g_typelib = nullptr;
bool g_typelib_tried = false;
}  // namespace

void Module::SetInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE Module::Instance() {
  return g_instance ? g_instance : GetModuleHandleW(nullptr);
}

std::wstring Module::Path() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(Instance(), buf, static_cast<DWORD>(std::size(buf)));
  if (n == 0 || n >= std::size(buf)) return std::wstring();
  return std::wstring(buf, n);
}

std::string Module::ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // cut short: read again with room to spare
  }
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

LONG Module::Lock() { return InterlockedIncrement(&g_locks); }

LONG Module::Unlock() {
  LONG n = InterlockedDecrement(&g_locks);
  if (n == 0 && g_last_unlock) g_last_unlock();
  return n;
}

LONG Module::LockCount() { return g_locks; }

void Module::SetLastUnlockHook(UnlockHook hook) { g_last_unlock = hook; }

ITypeLib* Module::TypeLib() {
  if (!g_typelib_tried) {
    g_typelib_tried = true;
    std::wstring path = Module::Path();
    if (!path.empty() && FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &g_typelib)))
      g_typelib = nullptr;
  }
  return g_typelib;
}

HRESULT Module::GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  ITypeLib* lib = TypeLib();
  if (!lib) return TYPE_E_CANTLOADLIBRARY;
  return lib->GetTypeInfoOfGuid(guid, info);
}

void Module::ReleaseTypeLib() {
  if (g_typelib) g_typelib->Release();
  g_typelib = nullptr;
  g_typelib_tried = false;
}

}  // namespace winkit
