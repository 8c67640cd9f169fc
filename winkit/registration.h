// Registration of COM classes and type libraries in HKEY_CLASSES_ROOT, as each class's
// registry script lays it out.
#pragma once
#include <windows.h>

#include <string>

namespace winkit {

struct ClassRegistration {
  const CLSID* clsid;
  const wchar_t* progid;           // "Korvel.Arithmetic.1"
  const wchar_t* indep_progid;     // "Korvel.Arithmetic" (CurVer = progid)
  const wchar_t* description;      // "Arithmetic Class"
  const GUID* libid;               // written as the class's TypeLib
  const wchar_t* version;          // the script's 'Version' value ("1.0"), null for none
  bool control;                    // 'Control', 'Insertable', 'MiscStatus', 'ToolboxBitmap32'
  int toolbox_bitmap;              // resource id for ToolboxBitmap32
  const wchar_t* misc_status;      // MiscStatus\1 value ("131473")
  bool local_server;               // LocalServer32 (an EXE) instead of InprocServer32
  const GUID* appid;               // AppID value (local servers), null for none
};

// Writes the keys of one class; `module` is the server's file path.
HRESULT RegisterComClass(const ClassRegistration& reg, const std::wstring& module);
// Removes the keys RegisterClass wrote (the CLSID key whole, both ProgIDs).
HRESULT UnregisterComClass(const ClassRegistration& reg);

// Registers the type library embedded in `module` (resource TYPELIB 1). Besides the LCID the
// library declares, the library is also entered under LCID 0, where Wine's type-library
// marshaller looks for it.
HRESULT RegisterModuleTypeLib(const std::wstring& module);
HRESULT UnregisterModuleTypeLib(const std::wstring& module);

// "{XXXXXXXX-...}"
std::wstring GuidString(REFGUID guid);

}  // namespace winkit
