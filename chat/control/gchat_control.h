// CGChat: the chat pane of the table window. The client creates it as a child window, shows
// lines through IGChat and hears of the player's lines through _IGChatEvents. The control also
// carries the connection point of _IParleyPageEvents, which has no events.
//
// Its window holds three RichEdit panes (the public output 2001, the channel output 2002 and
// the input 2003), lays them out and paints its background and buttons from the skin.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chat_boundary.h"
#include "chat_commands.h"
#include "chat_layout.h"
#include "dirty_word_filter.h"
#include "line_composer.h"
#include "message_lines.h"
#include "parley.h"
#include "parley_events.h"
#include "records/chat_text_format.h"
#include "send_planner.h"
#include "user_manager.h"
#include "winkit/connection_point.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/handle.h"
#include "winkit/subclassed_window.h"

namespace parley {
class CDialogCmd;
class ChatAdverts;
class FaceBoardWindow;
}
namespace chat {
class ChatPeople;
}
namespace Gdiplus {
class Graphics;
}

class CGChat : public winkit::DispatchImpl<IGChat, &IID_IGChat>, public winkit::ControlBase {
 public:
  CGChat();
  ~CGChat() override;

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  // IGChat
  STDMETHODIMP put_BackColor(OLE_COLOR clr) override;
  STDMETHODIMP get_BackColor(OLE_COLOR* pclr) override;
  STDMETHODIMP put_ForeColor(OLE_COLOR clr) override;
  STDMETHODIMP get_ForeColor(OLE_COLOR* pclr) override;
  STDMETHODIMP AddText(LONG_PTR color, LONG ismytext, LONG_PTR str) override;
  STDMETHODIMP SetButtonSize(LONG width, LONG height) override;
  STDMETHODIMP SetCommandIcon(LONG_PTR icon) override;
  STDMETHODIMP SetSetupIcon(LONG_PTR icon) override;
  STDMETHODIMP SetWhisperIcon(LONG_PTR icon) override;
  STDMETHODIMP SetSendIcon(LONG_PTR icon) override;
  STDMETHODIMP SetTextColor(LONG color) override;
  STDMETHODIMP SetBkColor(LONG color) override;
  STDMETHODIMP AddLink(LONG_PTR color, LONG_PTR linkstr, LONG_PTR textstr) override;
  STDMETHODIMP SetSeparatorIcon(LONG_PTR icon) override;
  STDMETHODIMP SetSeparatorColor(LONG color) override;
  STDMETHODIMP SetEditText(LONG_PTR str) override;
  STDMETHODIMP GetIsWhisper(LONG* iswhisper) override;
  STDMETHODIMP OpenColorDialog() override;
  STDMETHODIMP SetWhisperStatus() override;
  STDMETHODIMP SetSeperatorStatus() override;
  STDMETHODIMP Send() override;
  STDMETHODIMP GetIsSeperator(LONG* isseperator) override;
  STDMETHODIMP SetClearIcon(LONG_PTR icon) override;
  STDMETHODIMP Clear() override;
  STDMETHODIMP GetArchiveObject(VARIANT* archive) override;
  STDMETHODIMP SetArchiveObject(VARIANT archive) override;
  STDMETHODIMP SetFontIcon(LONG_PTR icon) override;
  STDMETHODIMP SetBkBitmap(LONG_PTR bitmap) override;
  STDMETHODIMP SetMyID(LONG uid) override;
  STDMETHODIMP AddChatMessage(LONG_PTR msg) override;
  STDMETHODIMP SetUserListAddr(LONG_PTR addr) override;
  STDMETHODIMP SetSelUser(LONG uid) override;
  STDMETHODIMP AddHotRegion(LONG_PTR outerAction, LONG outerAction2) override;
  STDMETHODIMP AddPerson(LONG_PTR per) override;
  STDMETHODIMP AddChatMessage_Indesk(LONG_PTR msg) override;
  STDMETHODIMP SetChatStyle(LONG nstyle) override;
  STDMETHODIMP SetGameInfo(int nGameID, int nSubID, int nRoomID) override;
  STDMETHODIMP AddXmlString(LONG_PTR xmlString) override;

  // IOleControl: the container's back colour becomes the output's, its fore colour the
  // control's background.
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  // IOleObject: also lets go of the page-event sinks.
  STDMETHODIMP Close(DWORD save_option) override;
  // IConnectionPointContainer: the chat events and the page events.
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  enum { IDC_OUTPUT = 2001, IDC_CHANNEL = 2002, IDC_INPUT = 2003, IDC_TARGET = 249 };
  // Runs a command of the control (the buttons' ids; wParam of WM_USER + 234).
  enum { WM_CHAT_COMMAND = WM_USER + 234 };
  // The animation of the pictures in the panes, every 50 ms.
  enum { kAnimationTimer = 1 };
  // Draws, trims and scrolls the panes after a run of lines (posted to the control window).
  enum { WM_CHAT_FLUSH = WM_USER + 235 };

  // The control window: its size and surface, the mouse on the buttons, the links of the
  // panes, commands, menus and timers.
  BEGIN_CHAT_MSG_MAP(CGChat, MessageFailureOf)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_CHAT_FLUSH, OnFlush)
    MESSAGE_HANDLER(WM_CHAT_COMMAND, OnChatCommand)
    COMMAND_ID_HANDLER(kIgnoredCommand, OnIgnoredCommand)
    COMMAND_RANGE_HANDLER(chat::kMenuCopy, chat::kMenuClear, OnMenu)
  END_MSG_MAP()

 protected:
  void OnWindowCreated() override;
  void OnWindowDestroying() override;

 private:
  // A command of the control's window that nothing answers.
  enum { kIgnoredCommand = 238 };
  static parley::MessageFailure MessageFailureOf(UINT msg, WPARAM wp);
  LRESULT OnSize(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnTimer(UINT, WPARAM wp, LPARAM, bool&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&);
  LRESULT OnLButtonUp(UINT, WPARAM wp, LPARAM, bool&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lp, bool&);
  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnFlush(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnChatCommand(UINT, WPARAM wp, LPARAM, bool&);
  LRESULT OnIgnoredCommand(WORD, WORD, HWND, bool&) { return 0; }
  LRESULT OnMenu(WORD, WORD id, HWND, bool&);

  HWND Pane(int id) const;
  void Layout();
  void Paint(HDC dc);
  // Sends the input's line; a failure goes to the log and to the player.
  void SendChat();
  void SendInput();
  void ReportSendFailure(const char* reason);
  void ShowNotice(const chat::Notice& notice);
  // Appends text at the end of a pane in a format; returns the start of the run.
  int Append(HWND pane, const std::u16string& text, const ChatTextFormat& format, COLORREF colour);
  // Marks the web addresses of text, which begins at start in the pane, as links.
  void MarkWebLinks(HWND pane, int start, const std::u16string& text);
  void TrimPane(HWND pane);
  // Keeps the last 66 lines up to the line that holds position end.
  void TrimPane(HWND pane, int end);
  void ScrollToBottom(HWND pane);
  // Where the readers of both output panes are before lines go in: near the bottom (the view
  // follows the new lines) or scrolled up (the view stays where it is).
  struct PaneViews {
    bool nearBottom[2] = {};
    POINT position[2] = {};
  };
  PaneViews NoteViews() const;
  // After the lines: a pane near the bottom, or one that must follow (`follow`), is scrolled to
  // the bottom; any other is put back where its reader had it.
  void SettleViews(const PaneViews& views, bool follow_public, bool follow_channel);
  void ClearOutput();
  void OnButtonClick(POINT p);
  void OnClickLink(const ENLINK& link);
  void ChooseInputFont();
  // Fires an event through IDispatch::Invoke on every sink (arguments in their natural order).
  void Fire(DISPID id, std::initializer_list<winkit::EventArg> args);
  // The panes' window procedures without the control's hooks.
  void DetachPanes();

  // The stock colours.
  OLE_COLOR m_clrBackColor = 0;
  OLE_COLOR m_clrForeColor = 0;
  winkit::ConnectionPoint page_events_;

  ChatTextFormat m_ownFormat;
  chat::CDirtyWordFilter m_filter;
  chat::CUserManager m_users;
  bool m_whisperMode = false;
  bool m_channelFlag = false;
  bool m_tileBackground = true;
  COLORREF m_separatorColor = GetSysColor(COLOR_BTNSHADOW);
  // The brush of the separator's colour, replaced by SetSeparatorColor.
  winkit::UniqueBrush m_separatorBrush{CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW))};
  LONG m_chatStyle = 3;
  int m_paneTop = 20;
  ULONG_PTR m_gdiplusToken = 0;
  std::unique_ptr<parley::CDialogCmd> m_phrases;

  // The clickable spans of the output panes: speakers' names, the host's action lines
  // (IGChat::AddHotRegion) and web links.
  struct HotRegion {
    int pane = IDC_OUTPUT;
    chat::HotSpan span;
    uint32_t id = 0;
    uint32_t action = 0;
    int kind = 1;      // 0 a user's name, 1 the host's action, 2 a web link
    std::wstring link;  // kind 2
  };
  std::vector<HotRegion> m_hotRegions;

  // Adverts, faces and the people a host lists (chat_adverts.h, chat_pictures.h, user_list.h).
  std::unique_ptr<parley::ChatAdverts> m_adverts;
  std::unique_ptr<chat::ChatPeople> m_people;
  std::unique_ptr<parley::FaceBoardWindow> m_faceBoard;
  chat::ChatPeople& People();

  // Whisper mode, the channel tabs, the buttons and menus (gchat_commands.cpp).
  void CreateWhisperParts();
  chat::ChatLayout CurrentLayout() const;
  void RunCommand(int command);
  void ToggleChannel(bool from_tab);
  void SwitchPosition();
  void OpenPhrases();
  void OnHover(POINT p);
  void ShowTip(int command, POINT p, LPARAM lp);
  void CaptureChanged();
  void PaintWhisperParts(Gdiplus::Graphics& g, const chat::ChatLayout& l, HDC dc);
  void PaintSendLook(HDC dc, bool hover);
  void ShowPaneMenu(HWND pane, POINT screen);
  void OnMenuCommand(int id);
  void AnimatePictures();
  void OpenFaceBoard();
  void ShowStateNotice(const char* text, COLORREF colour, bool bold);
  // The control's hook on one of its panes (gchat_commands.cpp).
  class PaneHook : public winkit::SubclassedWindow {
   public:
    bool Attach(HWND pane, CGChat* chat, int id);

    BEGIN_CHAT_MSG_MAP(PaneHook, FailureOf)
      MESSAGE_HANDLER(WM_CHAR, OnChar)
      MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
      MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
    END_MSG_MAP()

   private:
    static parley::MessageFailure FailureOf(UINT msg, WPARAM wp);
    LRESULT OnChar(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    LRESULT OnRButtonDown(UINT, WPARAM, LPARAM lp, bool&);

    CGChat* chat_ = nullptr;
    int id_ = 0;
  };
  PaneHook m_paneHooks[3];

  // Lines of a host that keeps a user list (gchat_messages.cpp).
  void WriteMessageLine(const chat::MessageLine& line, const ChatTextFormat& head,
                        const PaneViews& views);
  // The whisper target chosen in the target box, and whether the own record may send several
  // lines.
  void FillSendTarget(chat::SendRequest& request) const;
  // A click on a user's name: that user becomes the whisper target.
  void ChooseWhisperTarget(int32_t id);
  // The target box shows `id` (its record `person`) as the whisper target.
  void ShowWhisperTarget(int32_t id, const void* person);
  // The speaker's picture and name; the user list's part of the control.
  void WriteSpeakerName(HWND pane, int32_t person);
  // A picture of one of the control's picture lists (0 faces, 1 user flags, 2 system flags)
  // at the end of a pane; nothing while the lists hold no pictures.
  void InsertListPicture(HWND pane, int list, int id);
  // The RichEdit character format of a line format in a colour.
  static CHARFORMAT2W CharFormat(const ChatTextFormat& format, COLORREF colour);
  // A run's format and colour: one of the control's line formats, or the line's own head.
  std::pair<ChatTextFormat, COLORREF> RunFormat(chat::RunFormat format,
                                                const ChatTextFormat& head) const;
  chat::ChatMessageInput MessageInput(const chat::ChatMessage& message) const;

  // Lines written in one go (one or a thousand, until the thread next handles its messages)
  // are drawn once, and the pane is trimmed and scrolled once, as line by line would have left
  // it: RichEdit redraws and scrolls far more slowly than it takes text.
  void BeginPaneUpdate(HWND pane);
  void FlushPanes();
  void TrimPaneTo(HWND pane, int end);
  void ScrollNow(HWND pane);
  struct PendingUpdate {
    bool active = false;    // drawing suspended, the pane writable
    bool readOnly = false;  // what it goes back to
    bool scroll = false;
    bool caretToEnd = false;  // a line left its last run selected
    int trimEnd = -1;     // trim as a speaker line ending here asked
    int lines = 0;
  };
  PendingUpdate m_pending[2];
  bool m_flushPosted = false;
  HWND m_panes[3] = {};

  chat::ButtonPoints m_buttonPoints;
  int m_hoverCommand = 0;
  HWND m_tooltip = nullptr;
  int m_menuTarget = IDC_OUTPUT;
  int32_t m_whisperTarget = 0;

  // The lines AddLink showed with a link: the pane's line, the link's length and text.
  struct LinkRecord {
    int pane = IDC_OUTPUT;
    uint32_t line = 0;
    uint16_t length = 0;
    char text[50] = {};
    chat::HotSpan span;
  };
  std::vector<LinkRecord> m_links;
};

// A line's head format in the panes' default face: `colour` at size 100.
ChatTextFormat LineFormat(COLORREF colour);
// The pane shows its last lines (within 50 units of the end): new lines keep it there.
bool IsViewNearBottom(HWND pane);

