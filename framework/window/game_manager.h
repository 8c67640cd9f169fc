// The framework's game manager: creates and closes the socket control and holds the values the
// whole session shares. The game's manager supplies the skin and pane operations.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "winkit/com_ptr.h"
#include "winkit/control_host.h"

// Values the table window sets when it creates the game.
struct SessionSettings {
  short seats_per_table = 0;
  int PlayerFlag = 0;  // the local user plays (1) or watches (0)
  int review_mode = 0;
  int double_style = 0;
  short servicetype = 0;
  short gametype = 0;
  short subtype = 0;
};

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
  void SetReviewMode(int v) { settings_.review_mode = v; }
  void SetDoubleStyle(int v) { settings_.double_style = v; }
  void SetSubType(short servicetype, short gametype, short subtype) {
    settings_.servicetype = servicetype;
    settings_.gametype = gametype;
    settings_.subtype = subtype;
  }

  // The default value of HKCU "Software\Hollin\insound" as a number. When it cannot be read the
  // setting becomes 1 and the registry's error code is returned: callers use SoundSetting().
  int ReadInSoundSetting();
  int SoundSetting() const { return sound_setting_; }

  IDispatch* Socket() const { return socket_.Get(); }
  const SessionSettings& Settings() const { return settings_; }
  SessionSettings& Settings() { return settings_; }

  // The four table bitmaps the game's LoadSkin fills; deleted by the destructor.
  enum TableBitmap { kCardFace, kCardBack, kExtraBitmap, kTableBackground, kTableBitmapCount };
  HBITMAP table_bitmaps[kTableBitmapCount] = {};

 protected:
  std::string name_;

 private:
  winkit::ComPtr<IDispatch> socket_;
  winkit::ComPtr<winkit::ControlHost> host_;
  int sound_setting_ = 1;
  SessionSettings settings_;
};
