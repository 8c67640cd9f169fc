// The mahjong play table on Windows: CMjPlayTableImp with its two game controls (the table
// display and the rules engine) hosted as child controls of the table window, the option
// chooser dialog hosting the board, and what the core leaves to the program (connecting,
// persons, icons, the chat pane, ending the game) answered by the table window through
// IMjTableHost.
#pragma once
#include <windows.h>
// WinMM's PlaySound macro would rename the play table's own PlaySound; WinMM is called by its
// A/W names where needed.
#ifdef PlaySound
#undef PlaySound
#endif

#include <functional>
#include <memory>
#include <string>

#include "connect_server.h"
#include "hand_record_files.h"
#include "mj_play_table.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"

class ChatHostCore;
class CAction_Manager;
namespace framework_window {
class CActionSelectDlg;
class CActionWordDlg;
}  // namespace framework_window
class CAvact_Manager;
struct ITable;
struct ICommTable;
struct IArithmetic;
struct ICommArithmetic;

// What the play table asks of the table window. The table window implements it and outlives
// the play table.
class IMjTableHost : public IMjTableWindow {
 public:
  // The table window: parent of the controls and of the chooser dialog.
  virtual HWND TableHwnd() const = 0;
  // The main frame: ExitGame posts WM_CLOSE to it.
  virtual HWND MainFrameHwnd() const = 0;
  // Where the events of the table display (child id 32770) and of the rules engine (32769) go.
  virtual winkit::ControlEventTarget* ControlEvents() = 0;

  // The skin: the background colour (string 101 of the skin resources), "TABLE_BK2", the four
  // cry and four smell bitmaps and the three list bitmaps (null entries allowed).
  virtual COLORREF TableBkColor() const = 0;
  virtual HBITMAP TableBackground() const = 0;
  virtual void CryBitmaps(HBITMAP out[4]) const = 0;
  virtual void SmellBitmaps(HBITMAP out[4]) const = 0;
  virtual void ListBitmaps(HBITMAP out[3]) const = 0;
  // The table window's image folder, empty when unset.
  virtual std::string ImageDir() const = 0;

  // The person list and its icons.
  virtual intptr_t PersonIcon(const TablePerson* person) = 0;
  virtual int PersonIconCount() = 0;
  virtual void PersonListAdd(TablePerson* person) = 0;
  virtual void PersonListRemove(TablePerson* person) = 0;

  // The chat pane: its wire side (messages the framework did not take go there first; null
  // while there is no chat pane), a line shown, a hot region added.
  virtual ChatHostCore* ChatHost() = 0;
  virtual void AddChatLine(const ChatTextFormat& format, const char* text) = 0;
  virtual void AddHotRegion(const HotRegionRecord& region) = 0;

 protected:
  ~IMjTableHost() = default;
};

// What the lobby handed over that the play table reads beyond SessionSettings.
struct MjTableLaunch {
  ConnectionSettings connection;  // the game server (and proxy) to connect to
  int16_t sendtime = 0;           // the discard time limit, seconds
  std::string tableadv;           // the table advert URL
  std::string dllfile;            // the resource library path (avatar and magic catalogues)
  std::string cominfo;
  std::string reviewfile;
};

class CMjPlayTableWin : public CMjPlayTableImp {
 public:
  static constexpr UINT kTableControlId = 32770;
  static constexpr UINT kArithmeticControlId = 32769;

  CMjPlayTableWin(IVyrSockTransport& socket, ITableTimers& timers, ITableNotices& notices,
                  SessionSettings& settings, IMjTableHost& host, MjTableLaunch launch);
  ~CMjPlayTableWin() override;

  // Moves the table display to the play pane (the rules engine stays hidden, 0x0).
  void Move(int x, int y, int w, int h);
  HWND TableControlWindow() const;
  // The controls' interfaces for the table window's own calls (DrawTable, SetAutoSend, ...);
  // null before Create made them.
  ITable* TableInterface() const;
  ICommTable* CommTableInterface() const;
  // The rules engine's window (hidden, 0 x 0) and interfaces; null before Create made them.
  HWND ArithmeticControlWindow() const;
  IArithmetic* ArithmeticInterface() const;
  ICommArithmetic* CommArithmeticInterface() const;
  // The option chooser's dialog window (a hidden child of the table window); null before
  // InitTable made it.
  HWND ChooserWindow() const;

  // The message box of the control checks ("组件版本不符,请重新下载游戏"): the owner window and
  // the GBK text. By default a modal MessageBoxA; tests put a recorder here.
  using MessageBoxFn = std::function<void(HWND owner, const char* text)>;
  void SetMessageBox(MessageBoxFn show);

  // Connects the chat pane's host to the socket and the session, for the lines it sends.
  void ConnectChat(ChatHostCore& chat);
  // The chat pane's host, connected; null without a chat pane.
  ChatHostCore* InDeskChat() override;

  // The magic-action and avatar catalogues, loaded by InitTable from the resource library's
  // folder (the action selection dialogs of the table window read the first).
  CAction_Manager& ActionManager();
  CAvact_Manager& AvatarManager();
  // The magic-action picker and send box, made by InitTable with the table window as parent;
  // null before.
  framework_window::CActionSelectDlg* ActionPicker() const;
  framework_window::CActionWordDlg* ActionWords() const;
  // The person chosen in the person list (the send box offers him first), as the list gave
  // it; 0 for none. SelectedPerson finds him among the table's persons (null when he is not
  // one of them).
  void SetSelectedPerson(intptr_t person) { m_selectedPerson = person; }
  const TablePerson* SelectedPerson() { return KnownPerson(m_selectedPerson); }
  // The person of this table that a control's value (a person list's row) names: compared with
  // the table's persons, never followed; null for any other value.
  TablePerson* KnownPerson(intptr_t person);
  // A click on a received magic action's chat line: `action` is the line's action value, the
  // item's place in the catalogue; the item plays again. A value outside the catalogue does
  // nothing.
  void PlayActionOfLine(intptr_t action);
  // Hides the picker before the action leaves (only while a hand has started, as the send).
  void SendMagicAction(int32_t recvId, int16_t value, int32_t actionType, int32_t itemId,
                       const char* text) override;

  // The hand-record files: the save dialog and the message boxes belong to the table window.
  WinRecordFiles& RecordFiles() { return m_recordFiles; }

  // --- What the core leaves to the program ---
  intptr_t GetPersonIcon(const TablePerson* person) override;
  std::string GetComInfo() override { return m_launch.cominfo; }
  std::string GetReviewFileName() override { return m_launch.reviewfile; }
  void StartConnection() override;
  // The type-library checks ("组件版本不符,请重新下载游戏" when one is missing), the control, its
  // two interfaces handed to the core; 0 when anything is missing.
  int CreateTableControl() override;
  int CreateArithmeticControl() override;
  // The eleven steps on the real table display, the chooser dialog, the catalogues.
  void InitTable() override;
  void ExitGame() override;
  void AddChatLine(const ChatTextFormat& format, const char* text) override;
  void PersonListAddPerson(TablePerson* person) override;
  void PersonListRemovePerson(TablePerson* person) override;
  int GetPersonIconCount() override;
  void AddHotRegion(const HotRegionRecord& region) override;
  void ShowMagicAction(const CVyrMessage_MagicAction& action) override;
  bool FindAvatarItem(uint32_t userId) override;
  std::string LoadDefaultAvatar(const TablePerson& person) override;
  std::string GetAvatarFolder() override;
  // The table window's image folder, else "<program folder>\image" (the notices' pictures too).
  std::string ImageDir() const;
  bool FileExists(const std::string& path) override;
  void AddAvatarItem(uint32_t userId, const std::string& picturePath) override;
  void PushAvatarsToTable() override;

 protected:
  // Chat messages go to the chat pane's host first.
  MessageAnswer OnChatMessage(uint16_t id, const uint8_t* body, size_t bodyLength) override;

 private:
  struct Controls;  // the hosts, the interface pointers and the seam bindings
  class ActionHost;  // what the magic-action dialogs ask of this play table
  void CreateActionDialogs();
  // The base folder of the catalogues: the resource library's path less its file name and the
  // folder that holds it.
  std::string CatalogueDir() const;
  IMjTableHost& m_host;
  MjTableLaunch m_launch;
  WinRecordFiles m_recordFiles;
  std::unique_ptr<Controls> m_controls;
  intptr_t m_selectedPerson = 0;
};
