#include "game_manager.h"

#include <ocidl.h>

#include <cstdlib>

#include "socket_dispatch.h"

namespace {

// {27A5EEE4-7504-4876-BCB8-11B52CC6F0EE}
const CLSID kSocketClass = {0x27A5EEE4, 0x7504, 0x4876,
                            {0xBC, 0xB8, 0x11, 0xB5, 0x2C, 0xC6, 0xF0, 0xEE}};
// {4172CC4E-E019-446C-92E6-6369B5B2C28A}
const IID kSocketInterface = {0x4172CC4E, 0xE019, 0x446C,
                              {0x92, 0xE6, 0x63, 0x69, 0xB5, 0xB2, 0xC2, 0x8A}};

// The control's event interface, as the control itself names it.
IID DefaultSourceOf(REFCLSID clsid) {
  IID iid = IID_NULL;
  winkit::ComPtr<IProvideClassInfo2> info;
  if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IProvideClassInfo2,
                                 info.PutVoid())) &&
      FAILED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
    iid = IID_NULL;
  return iid;
}

}  // namespace

CVyrPokeGameManager::~CVyrPokeGameManager() {
  if (socket_) VyrSockDispatch(socket_.Get()).Close();
  for (HBITMAP& b : table_bitmaps) {
    if (b) DeleteObject(b);
    b = nullptr;
  }
  socket_.Reset();
  if (host_) host_->Destroy();
  host_.Reset();
}

void CVyrPokeGameManager::CloseSocket() {
  if (socket_) VyrSockDispatch(socket_.Get()).Close();
}

void CVyrPokeGameManager::CreateSocket(HWND parent, short seats_per_table,
                                       winkit::ControlEventTarget* events) {
  LoadSkin();
  socket_.Reset();
  if (host_) host_->Destroy();
  host_.Reset();
  winkit::ComPtr<winkit::ControlHost> host;
  if (SUCCEEDED(winkit::ControlHost::Create(parent, kSocketClass, DefaultSourceOf(kSocketClass),
                                            kSocketChildId, L"VyrSock", RECT{}, events, &host))) {
    host_ = host;
    host_->QueryControl(kSocketInterface, socket_.PutVoid());
  }
  settings_.seats_per_table = seats_per_table;
}

int CVyrPokeGameManager::ReadInSoundSetting() {
  char text[20 + 1] = {};        // 20 bytes of value and a terminator it may lack
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  HKEY key;
  LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Hollin\\insound", 0, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) {
    rc = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (rc == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) rc = ERROR_INVALID_DATA;
  }
  if (rc != ERROR_SUCCESS) {
    sound_setting_ = 1;
    return static_cast<int>(rc);
  }
  text[sizeof text - 1] = '\0';
  sound_setting_ = std::atoi(text);
  return sound_setting_;
}
