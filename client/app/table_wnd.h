// The game's table window: the main frame's only child, on the framework's skinned table frame.
// It owns the game manager (socket control, play table, chat and person-list wrappers), is the
// event sink of every control the table hosts and turns each event into a call on the play
// table, a wrapper or another control. Everything runs on the UI thread; a failing control call
// ends the operation it was made in (and is logged), never the game or the process.
#pragma once
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "game_manager.h"
#include "mj_play_table_win.h"
#include "notice_dialogs.h"
#include "shell_table.h"
#include "table_frame.h"
#include "table_notices.h"
#include "table_panes.h"
#include "table_timers.h"

class CPlaytableApp;
class CTableWnd;

// Sets the play table's sound flag and the table display's sounds together.
void SetTableSound(CMjPlayTableWin& table, int on);
// What the table window needs before it can show, whatever the lobby says, done ahead of it
// (on a thread of its own, see CPlaytableApp::SetWarmUp): the libraries of the controls it
// hosts are loaded, and GDI+ has decoded a picture once, its decoder ready for the skin's.
void WarmUpTableWindow();
class CSetDialog;

// The game manager of this game: the socket control (framework), the mahjong play table and
// the two pane wrappers, created, skinned, placed and destroyed in the framework's order.
class CGameManager : public CVyrPokeGameManager {
 public:
  explicit CGameManager(CTableWnd& wnd);
  ~CGameManager() override;

  void LoadSkin() override;
  void InitSkins() override;
  void RefreshChatSkin() override;
  int CreateExtraPane1() override { return 1; }
  int CreateExtraPane2() override { return 1; }
  int CreateChatPane(HWND parent, HWND owner) override;
  int CreatePlayTablePane(HWND parent, HWND owner) override;
  void MoveExtraPane1(int, int, int, int) override {}
  void MoveExtraPane2(int, int, int, int) override {}
  void MovePlayTablePane(int x, int y, int w, int h) override;
  void MoveChatPane(int x, int y, int w, int h) override;
  // Creates the play table (the sub type is not used).
  void NewPlayTable(int16_t subtype);

  CMjPlayTableWin* PlayTable() const { return table_.get(); }
  // The socket control's sink: its connect and receive events go straight to the play table
  // (null before NewPlayTable).
  winkit::ControlEventTarget* SocketEvents() const { return socket_events_.get(); }
  CParleyImp& Chat() { return chat_; }
  CTablePersonListImp& PersonList() { return persons_; }
  TableWindowTimers& Timers() { return timers_; }
  bool ChatUp() const { return chat_up_; }
  bool PersonListUp() const { return persons_up_; }
  void SetPersonListUp(bool up) { persons_up_ = up; }

 private:
  CTableWnd& wnd_;
  TableWindowTimers timers_;
  std::unique_ptr<TableNoticeWindows> notices_;
  CParleyImp chat_;
  CTablePersonListImp persons_;
  std::unique_ptr<CMjPlayTableWin> table_;
  std::unique_ptr<VyrSockEventRouter> socket_events_;
  bool chat_up_ = false;
  bool persons_up_ = false;
};

class CTableWnd : public framework_window::CVyrTableWnd2_Adv3,
                  public ShellTableWindow,
                  public IMjTableHost,
                  public ITablePanesApp,
                  public winkit::ControlEventTarget {
 public:
  static constexpr UINT_PTR kAdvertTimer = 230;
  static constexpr UINT kToggleSoundCommand = 0x8003;

  explicit CTableWnd(CPlaytableApp& app);
  ~CTableWnd() override;

  // --- ShellTableWindow (what the main frame asks) ---
  bool Create(HWND frame) override;
  HWND Hwnd() const override { return hwnd(); }
  void Layout(int cx, int cy) override;
  void DrawCaption() override { CVyrTableWnd2_Adv0::DrawCaption(); }
  void ClearMouseDown() override {}
  void OnGameTimer(HWND frame, UINT_PTR id) override;
  ShellPlayTable* PlayTable() override;
  std::string ImageDir() const override;
  // The skin's dialog colours (strings 142, 144 and 143 of the style module).
  ShellNoticeColors NoticeColors() const override;
  // The lobby's line in the chat pane: an advert with its link, or an instant message.
  bool ShowLobbyLine(const LobbyChatLine& line) override;

  // --- The framework frame's operations ---
  void CreateGame() override;
  void SetPaneLayout(int key, int list_and_chat_height) override;
  void MovePanes() override;
  void InvalidatePanes() override;
  void RefreshLayout() override;
  void OnShop() override;
  void OnSetup() override;
  void OnHelp() override;
  void OnExit() override;
  framework_window::CMFCShowElement* GetCaptionElements() override { return &m_elements; }
  HMODULE ReloadSkin() override;
  void DrawTable(HMODULE module) override;
  void DrawFrame(HDC dc) override;
  void PaintFrame() override;
  void OnPreTrick();
  void OnNextTrick();
  void OnSaveRecord();
  void OnAutoSend(bool checked);

  // --- IMjTableHost (what the play table asks) ---
  HWND TableHwnd() const override { return hwnd(); }
  HWND MainFrameHwnd() const override { return GetParent(hwnd()); }
  winkit::ControlEventTarget* ControlEvents() override { return this; }
  COLORREF TableBkColor() const override { return m_bkColor; }
  HBITMAP TableBackground() const override;
  void CryBitmaps(HBITMAP out[4]) const override;
  void SmellBitmaps(HBITMAP out[4]) const override;
  void ListBitmaps(HBITMAP out[3]) const override;
  intptr_t PersonIcon(const TablePerson* person) override;
  int PersonIconCount() override;
  void PersonListAdd(TablePerson* person) override;
  void PersonListRemove(TablePerson* person) override;
  ChatHostCore* ChatHost() override;
  void AddChatLine(const ChatTextFormat& format, const char* text) override;
  void AddHotRegion(const HotRegionRecord& region) override;
  void PlaySoundSync(const char* name) override;
  void PlaySoundAsync(const char* name) override;
  void PlayStyleSound(const char* name) override;
  void RedrawPersonList() override;

  // --- ITablePanesApp (what the wrappers ask) ---
  TablePerson* GetMe() override;
  TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) override;
  std::vector<TablePerson*> GetPersons() override;
  void SetLevelTitle(TablePerson* person) override;
  framework_window::CChatShowElements* ChatElement() override { return &m_elements.chat; }
  framework_window::CPersonListShowElements* PersonListElement() override {
    return &m_elements.personList;
  }
  int16_t GetSeatCode(int16_t deskno, int16_t seatno) override;

  // --- The controls' events ---
  void OnControlEvent(UINT child_id, DISPID id, const winkit::EventArgs& args) override;

  CGameManager& Manager() { return m_manager; }
  CPlaytableApp& App() { return m_app; }
  // Review mode: the action events of the table and the rules engine are ignored.
  bool Replaying() const { return m_manager.Settings().reviewMode != 0; }
  COLORREF ChatTextColor() const { return m_chatTextColor; }
  // The control failures caught so far (each ended its own operation), and the last one.
  int FailureCount() const { return m_failures; }
  const std::string& LastFailure() const { return m_lastFailure; }

 protected:
  // Runs a handler: a failing control call ends that operation only; it is logged under `what`.
  template <class Body>
  void Guarded(const char* what, Body body);
  template <class Body>
  void Guarded(Body body) {
    Guarded("table window", body);
  }

  BEGIN_MSG_MAP(CTableWnd)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    COMMAND_ID_HANDLER(kToggleSoundCommand, OnToggleSound)
    CHAIN_MSG_MAP(CVyrTableWnd2_Adv3)
  END_MSG_MAP()

 private:
  class ExitView;
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnToggleSound(WORD code, WORD id, HWND control, bool& handled);
  void OnTableEvent(DISPID id, const winkit::EventArgs& args);
  void OnArithmeticEvent(DISPID id, const winkit::EventArgs& args);
  void OnChatEvent(DISPID id, const winkit::EventArgs& args);
  void OnPersonListEvent(DISPID id, const winkit::EventArgs& args);
  // The person of this table that a person-list value names; null for any other value.
  const TablePerson* PersonOfList(intptr_t person);
  void OnChatSendMyText(const ChatTextFormat* format, int32_t iswhisper, const char* text);
  void LogFailure(const char* what, const char* why);
  void LoadSkinBitmaps(HMODULE module);
  void ApplyPersonsFromLobby();

  CPlaytableApp& m_app;
  CGameManager m_manager;
  CTableShowElements m_elements;
  winkit::UniqueBitmap m_cry[4];
  winkit::UniqueBitmap m_smell[4];
  winkit::UniqueBitmap m_background;
  HICON m_icon = nullptr;
  std::unique_ptr<CSetDialog> m_pSetDialog;
  intptr_t m_selectedPerson = 0;
  int m_paneLayoutKey = -1;  // the window height the panes were last shared out for
  COLORREF m_bkColor = RGB(0, 96, 48);
  COLORREF m_chatTextColor = 0;
  COLORREF m_listColor = 0x00331A;
  std::unique_ptr<ExitView> m_exitView;
  int m_failures = 0;
  std::string m_lastFailure;
};

template <class Body>
void CTableWnd::Guarded(const char* what, Body body) {
  try {
    body();
  } catch (const std::exception& e) {
    LogFailure(what, e.what());
  }
}
