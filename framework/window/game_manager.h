// The framework's game manager: creates and closes the socket control, gives the session its
// transport over it, and holds the values the whole session shares (SessionSettings). The
// game's manager supplies the skin and pane operations.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "session_settings.h"
#include "vyr_sock_transport.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/handle.h"

class CVyrPokeGameManager {
 public:
  static constexpr UINT kSocketChildId = 20481;

  CVyrPokeGameManager() = default;
  virtual ~CVyrPokeGameManager();
  CVyrPokeGameManager(const CVyrPokeGameManager&) = delete;
  CVyrPokeGameManager& operator=(const CVyrPokeGameManager&) = delete;

  virtual void CloseSocket();
  // Loads the skin, then hosts the socket control hidden in `parent`; its events go to
  // `events` (the table window's sink). A missing control leaves Socket() empty.
  // The events are usually a VyrSockEventRouter to the play table.
  virtual void CreateSocket(HWND parent, short seats_per_table,
                            winkit::ControlEventTarget* events = nullptr);
  virtual void LoadSkin() = 0;
  virtual void InitSkins() = 0;
  virtual void RefreshChatSkin() = 0;
  virtual int CreateExtraPane1() = 0;
  virtual int CreateExtraPane2() = 0;
  virtual int CreateChatPane(HWND parent, HWND owner) = 0;
  virtual int CreatePlayTablePane(HWND parent, HWND owner) = 0;
  virtual void MoveExtraPane1(int x, int y, int w, int h) = 0;
  virtual void MoveExtraPane2(int x, int y, int w, int h) = 0;
  virtual void MovePlayTablePane(int x, int y, int w, int h) = 0;
  virtual void MoveChatPane(int x, int y, int w, int h) = 0;

  void SetIsPlayer(int v) { settings_.PlayerFlag = v; }
  void SetReviewMode(int v) { settings_.reviewMode = v; }
  void SetDoubleStyle(int v) { settings_.doubleStyle = v; }
  void SetSubType(short servicetype, short gametype, short subtype) {
    settings_.serviceType = servicetype;
    settings_.gameType = gametype;
    settings_.subType = subtype;
  }

  // The default value of HKCU "Software\Hollin\insound" as a number. When it cannot be read the
  // setting becomes 1 and the registry's error code is returned: callers use SoundSetting().
  int ReadInSoundSetting();
  int SoundSetting() const { return sound_setting_; }

  IDispatch* Socket() const { return socket_.Get(); }
  // The socket control as the session's transport; it stays valid for the manager's life and
  // follows the control CreateSocket hosts (without one, every call fails).
  IVyrSockTransport& Transport() { return transport_; }
  const SessionSettings& Settings() const { return settings_; }
  SessionSettings& Settings() { return settings_; }

  // The four table bitmaps the game's LoadSkin fills (table_bitmaps[k].Reset(bitmap)); owned.
  enum TableBitmap { kCardFace, kCardBack, kExtraBitmap, kTableBackground, kTableBitmapCount };
  winkit::UniqueBitmap table_bitmaps[kTableBitmapCount];

 protected:
  std::string name_;

 private:
  winkit::ComPtr<IDispatch> socket_;
  VyrSockTransport transport_;
  winkit::ComPtr<winkit::ControlHost> host_;
  int sound_setting_ = 1;
  SessionSettings settings_;
};
