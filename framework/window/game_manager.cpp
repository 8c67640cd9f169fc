#include "game_manager.h"

#include <ocidl.h>

#include <cstdlib>

#include "vyr_sock.h"

namespace {

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
  CVyrPokeGameManager::CloseSocket();
  transport_.Attach(nullptr);
  socket_.Reset();
  if (host_) host_->Destroy();
  host_.Reset();
}

void CVyrPokeGameManager::CloseSocket() {
  if (!socket_) return;
  try {
    transport_.Close();
  } catch (const winkit::ComError&) {
    // Closing is harmless when nothing is open; a failing close changes nothing here.
  }
}

void CVyrPokeGameManager::CreateSocket(HWND parent, short seats_per_table,
                                       winkit::ControlEventTarget* events) {
  LoadSkin();
  transport_.Attach(nullptr);
  socket_.Reset();
  if (host_) host_->Destroy();
  host_.Reset();
  winkit::ComPtr<winkit::ControlHost> host;
  if (SUCCEEDED(winkit::ControlHost::Create(parent, CLSID_VyrSock, DefaultSourceOf(CLSID_VyrSock),
                                            kSocketChildId, L"VyrSock", RECT{}, events, &host))) {
    host_ = host;
    host_->QueryControl(IID_IVyrSock, socket_.PutVoid());
    // The socket has nothing to show: its window is a child that stays hidden. Controls come
    // up visible when activated in place, so it is hidden here once it exists.
    if (const HWND w = host_->ControlWindow()) {
      ::ShowWindow(w, SW_HIDE);
      MoveWindow(w, 0, 0, 0, 0, FALSE);
    }
  }
  transport_.Attach(socket_.Get());
  settings_.seatsPerTable = seats_per_table;
}

int CVyrPokeGameManager::ReadInSoundSetting() {
  char text[20 + 1] = {};        // 20 bytes of value and a terminator it may lack
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  winkit::UniqueKey key;
  LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Hollin\\insound", 0, KEY_READ, key.Put());
  if (rc == ERROR_SUCCESS) {
    rc = RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
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
