#include "registration.h"

#include <oleauto.h>

#include "boundary.h"
#include "com_ptr.h"
#include "handle.h"

namespace winkit {
namespace {

HRESULT FromStatus(LSTATUS rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

UniqueKey CreateKey(HKEY root, const std::wstring& subkey) {
  UniqueKey key;
  ThrowIfFailed(FromStatus(RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                           nullptr, key.Put(), nullptr)),
                "create a registry key");
  return key;
}

void SetString(HKEY root, const std::wstring& subkey, const wchar_t* name,
               const std::wstring& value) {
  const UniqueKey key = CreateKey(root, subkey);
  ThrowIfFailed(FromStatus(RegSetValueExW(key.Get(), name, 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>((value.size() + 1) *
                                                             sizeof(wchar_t)))),
                "set a registry value");
}

LSTATUS DeleteTree(HKEY root, const std::wstring& subkey) {
  LSTATUS rc = RegDeleteTreeW(root, subkey.c_str());
  if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(root, subkey.c_str());
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace

std::wstring GuidString(REFGUID guid) {
  wchar_t buf[64];
  int n = StringFromGUID2(guid, buf, 64);
  return n > 0 ? std::wstring(buf) : std::wstring();
}

HRESULT RegisterComClass(const ClassRegistration& reg, const std::wstring& module) {
  // The first key or value that cannot be written stops the registration.
  return CallAtBoundary([&] {
    const std::wstring clsid = GuidString(*reg.clsid);
    const std::wstring key = L"CLSID\\" + clsid;
    auto set = [](const std::wstring& sub, const wchar_t* name, const std::wstring& value) {
      SetString(HKEY_CLASSES_ROOT, sub, name, value);
    };
    auto create = [](const std::wstring& sub) { CreateKey(HKEY_CLASSES_ROOT, sub); };

    // Both ProgIDs. ForceRemove semantics for the CLSID key: start from a clean key.
    if (reg.progid) {
      set(reg.progid, nullptr, reg.description);
      set(std::wstring(reg.progid) + L"\\CLSID", nullptr, clsid);
    }
    if (reg.indep_progid) {
      set(reg.indep_progid, nullptr, reg.description);
      set(std::wstring(reg.indep_progid) + L"\\CLSID", nullptr, clsid);
      if (reg.progid) set(std::wstring(reg.indep_progid) + L"\\CurVer", nullptr, reg.progid);
    }
    ThrowIfFailed(FromStatus(DeleteTree(HKEY_CLASSES_ROOT, key)), "clear the class key");
    set(key, nullptr, reg.description);
    if (reg.progid) set(key + L"\\ProgID", nullptr, reg.progid);
    if (reg.indep_progid) set(key + L"\\VersionIndependentProgID", nullptr, reg.indep_progid);
    create(key + L"\\Programmable");
    if (reg.local_server) {
      // Quoted: COM runs this as a command line, and the path may hold blanks.
      set(key + L"\\LocalServer32", nullptr, L"\"" + module + L"\"");
      if (reg.appid) set(key, L"AppID", GuidString(*reg.appid));
    } else {
      set(key + L"\\InprocServer32", nullptr, module);
      set(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
    if (reg.control) {
      create(key + L"\\Control");
      create(key + L"\\Insertable");
      set(key + L"\\ToolboxBitmap32", nullptr,
          module + L", " + std::to_wstring(reg.toolbox_bitmap));
      set(key + L"\\MiscStatus", nullptr, L"0");
      if (reg.misc_status) set(key + L"\\MiscStatus\\1", nullptr, reg.misc_status);
    }
    if (reg.libid) set(key + L"\\TypeLib", nullptr, GuidString(*reg.libid));
    if (reg.version) set(key + L"\\Version", nullptr, reg.version);
  });
}

HRESULT UnregisterComClass(const ClassRegistration& reg) {
  LSTATUS rc = DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidString(*reg.clsid));
  if (reg.progid) {
    LSTATUS r = DeleteTree(HKEY_CLASSES_ROOT, reg.progid);
    if (rc == ERROR_SUCCESS) rc = r;
  }
  if (reg.indep_progid) {
    LSTATUS r = DeleteTree(HKEY_CLASSES_ROOT, reg.indep_progid);
    if (rc == ERROR_SUCCESS) rc = r;
  }
  return FromStatus(rc);
}

namespace {

std::wstring TypeLibVersionKey(const TLIBATTR& attr) {
  wchar_t ver[32];
  wsprintfW(ver, L"%x.%x", attr.wMajorVerNum, attr.wMinorVerNum);
  return L"TypeLib\\" + GuidString(attr.guid) + L"\\" + ver;
}

// The platform subkey a type library of this kind is registered under (a 32-bit build's
// library is win32, an x86-64 one win64).
const wchar_t* PlatformKey(SYSKIND kind) { return kind == SYS_WIN64 ? L"win64" : L"win32"; }

}  // namespace

HRESULT RegisterModuleTypeLib(const std::wstring& module) {
  return CallAtBoundary([&] {
    ComPtr<ITypeLib> lib;
    ThrowIfFailed(LoadTypeLibEx(module.c_str(), REGKIND_NONE, lib.Put()), "load the type library");
    ThrowIfFailed(RegisterTypeLib(lib.Get(), const_cast<LPOLESTR>(module.c_str()), nullptr),
                  "register the type library");
    TLIBATTR* attr = nullptr;
    ThrowIfFailed(lib->GetLibAttr(&attr), "read the type library's attributes");
    const std::wstring ver = TypeLibVersionKey(*attr);
    const SYSKIND kind = attr->syskind;
    lib->ReleaseTLibAttr(attr);
    SetString(HKEY_CLASSES_ROOT, ver + L"\\0\\" + PlatformKey(kind), nullptr, module);
  });
}

HRESULT UnregisterModuleTypeLib(const std::wstring& module) {
  ComPtr<ITypeLib> lib;
  HRESULT hr = LoadTypeLibEx(module.c_str(), REGKIND_NONE, lib.Put());
  if (FAILED(hr)) return hr;
  TLIBATTR* attr = nullptr;
  hr = lib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  const TLIBATTR a = *attr;
  lib->ReleaseTLibAttr(attr);
  const std::wstring ver = TypeLibVersionKey(a);
  DeleteTree(HKEY_CLASSES_ROOT, ver + L"\\0");
  hr = UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
  // Leave no empty library key behind when this was the last version.
  const std::wstring libkey = L"TypeLib\\" + GuidString(a.guid);
  bool empty = false;
  {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, libkey.c_str(), 0, KEY_READ, key.Put()) ==
        ERROR_SUCCESS) {
      DWORD subkeys = 0;
      RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
      empty = subkeys == 0;
    }
  }
  if (empty) RegDeleteKeyW(HKEY_CLASSES_ROOT, libkey.c_str());
  return hr == TYPE_E_REGISTRYACCESS ? S_OK : hr;
}

}  // namespace winkit
