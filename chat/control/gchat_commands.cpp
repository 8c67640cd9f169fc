// CGChat: whisper mode and its channel tabs, the buttons under the mouse (hover, tips, press),
// the commands they run, the panes' context menu and the pictures' animation timer.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <richedit.h>
#include <richole.h>
#include <olectl.h>

#include <algorithm>

#include "chat_adverts.h"
#include "chat_boundary.h"
#include "chat_commands.h"
#include "chat_pictures.h"
#include "chat_platform.h"
#include "chat_texts.h"
#include "dialog_cmd.h"
#include "dialog_option.h"
#include "face_board_window.h"
#include "font_settings.h"
#include "gchat_control.h"
#include "text_copy.h"
#include "winkit/dispatch_call.h"

namespace {

using parley::GetSkinManager;
using parley::WriteErrorLog;

constexpr COLORREF kStateColour = 0x0000FF;   // the channel notices: red, bold
constexpr COLORREF kTargetColour = 0xC0C0C0;  // the whisper-target notices
// The header band's text area, where the cursor is a hand.
constexpr RECT kHeaderText = {20, 3, 200, 20};

bool Inside(const chat::Box& b, POINT p) {
  return p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom;
}

RECT Rect(const chat::Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

// Draws part of a picture file at its natural size (or the part given) at x, y; an image that
// does not load draws nothing. alpha below 1 draws it faded.
void DrawImage(Gdiplus::Graphics& g, const std::string& path, int x, int y, int src_x = 0,
               int width = -1, int height = -1, float alpha = 1.0f) {
  if (path.empty()) return;
  Gdiplus::Image image(parley::Wide(path).c_str());
  if (image.GetLastStatus() != Gdiplus::Ok) return;
  const int w = width < 0 ? static_cast<int>(image.GetWidth()) : width;
  const int h = height < 0 ? static_cast<int>(image.GetHeight()) : height;
  Gdiplus::ImageAttributes attributes;
  Gdiplus::ColorMatrix fade = {{{1, 0, 0, 0, 0},
                                {0, 1, 0, 0, 0},
                                {0, 0, 1, 0, 0},
                                {0, 0, 0, alpha, 0},
                                {0, 0, 0, 0, 1}}};
  if (alpha < 1.0f) attributes.SetColorMatrix(&fade);
  g.DrawImage(&image, Gdiplus::Rect(x, y, w, h), src_x, 0, w, h, Gdiplus::UnitPixel,
              alpha < 1.0f ? &attributes : nullptr);
}

// "宋体" at 10 points, made once for the process.
HFONT SwitchFont() {
  static HFONT font = [] {
    const int dpi = [] {
      const winkit::WindowDc screen(nullptr);
      return screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    }();
    return CreateFontW(-MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, parley::Wide(kTextSongTi).c_str());
  }();
  return font;
}

}  // namespace

void CGChat::CreateWhisperParts() {
  HWND self = ControlWindow();
  parley::ChatSkin& skin = GetSkinManager();
  // The control's own copies of four button points, from the geometry the layout will use.
  if (!skin.values.chatvalidskin) chat::ApplyLayoutDefaults(skin.values);
  m_buttonPoints = chat::CopyButtonPoints(skin.values);
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 53, 118, 62,
                               132, self, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TARGET)),
                               nullptr, nullptr);
  if (combo) SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(SwitchFont()), FALSE);
  for (int id : {IDC_OUTPUT, IDC_CHANNEL, IDC_INPUT})
    if (HWND pane = Pane(id)) m_paneHooks[id - IDC_OUTPUT].Attach(pane, this, id);
  SetTimer(self, kAnimationTimer, 50, nullptr);
}

chat::ChatLayout CGChat::CurrentLayout() const {
  RECT client{};
  GetClientRect(ControlWindow(), &client);
  return chat::ComputeLayout(GetSkinManager().values, client.right, client.bottom, m_paneTop,
                             m_whisperMode, &m_buttonPoints);
}

// The handler a message of the control window goes to, by the text its failure is logged
// under; a command and a menu item log their own.
parley::MessageFailure CGChat::MessageFailureOf(UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_SIZE: return {"CGChat::OnSize  error"};
    case WM_ERASEBKGND: return {"CGChat::OnEraseBkgnd  error", 1};
    case WM_TIMER:
      if (wp == kAnimationTimer) return {"CGChat::OnTimer 1  error"};
      return {wp == chat::AdvertEngine::kBannerTimerId ? "CGChat::OnTimer 3  error"
                                                       : "CGChat::OnTimer 2  error"};
    case WM_NOTIFY: return {"CGChat::OnClickLink  error"};
    case WM_LBUTTONDOWN: return {"CGChat::OnLButtonDown  error"};
    case WM_LBUTTONUP: return {"CGChat::OnLButtonUp  error"};
    case WM_MOUSEMOVE: return {"CGChat::OnMouseMove  error"};
    case WM_CHAT_FLUSH: return {"CGChat::OnFlush  error"};
    default: return {};
  }
}

LRESULT CGChat::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  // The advert banner in the top strip takes its own clicks.
  if (m_adverts && m_adverts->ClickStrip(p, m_paneTop)) return 0;
  OnButtonClick(p);
  return 0;
}

// A face picked on the face board (posted with its id) goes into the input at the caret.
LRESULT CGChat::OnLButtonUp(UINT, WPARAM wp, LPARAM, bool&) {
  parley::FaultPoint("CGChat::OnLButtonUp  error");
  if (m_faceBoard && m_faceBoard->TakePick(wp)) {
    parley::InsertFace(Pane(IDC_INPUT), static_cast<int32_t>(wp));
    SetFocus(Pane(IDC_INPUT));
  }
  return 0;
}

LRESULT CGChat::OnMouseMove(UINT, WPARAM, LPARAM lp, bool&) {
  OnHover(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
  ShowTip(0, POINT{}, lp);
  return 0;
}

LRESULT CGChat::OnCaptureChanged(UINT, WPARAM, LPARAM, bool&) {
  CaptureChanged();
  return 0;
}

LRESULT CGChat::OnFlush(UINT, WPARAM, LPARAM, bool&) {
  FlushPanes();
  return 0;
}

LRESULT CGChat::OnChatCommand(UINT, WPARAM wp, LPARAM, bool&) {
  RunCommand(static_cast<int>(wp));
  return 0;
}

LRESULT CGChat::OnMenu(WORD, WORD id, HWND, bool&) {
  OnMenuCommand(id);
  return 0;
}

// A press on the control's surface runs the command of the button under it.
void CGChat::OnButtonClick(POINT p) {
  const chat::ChatLayout l = CurrentLayout();
  const int command = chat::PressedCommand(l, m_whisperMode, p.x, p.y);
  if (command == chat::kCommandSwitch && m_hoverCommand == chat::kCommandSwitch) ReleaseCapture();
  if (command == chat::kCommandChannel) {
    ToggleChannel(true);
    return;
  }
  RunCommand(command);
}

void CGChat::RunCommand(int command) {
  char log_text[64];
  wsprintfA(log_text, "CGChat::OnCommand error.nButtonID=%d", command);
  parley::RunLogged(log_text, [&] {
    switch (command) {
      case chat::kCommandSend: SendChat(); break;
      case chat::kCommandFace: OpenFaceBoard(); break;
      case chat::kCommandFont: ChooseInputFont(); break;
      case chat::kCommandPhrases: OpenPhrases(); break;
      case chat::kCommandClear: ClearOutput(); break;
      case chat::kCommandSwitch: SwitchPosition(); break;
      case chat::kCommandChannel: ToggleChannel(false); break;
      case chat::kCommandBlockList: parley::CDialogOption(m_users).DoModal(ControlWindow()); break;
      default: break;
    }
    if (chat::FocusesInputAfter(command))
      if (HWND input = Pane(IDC_INPUT)) SetFocus(input);
  });
}

// The channel pane in place of the public pane, or back; from a tab, with a notice.
void CGChat::ToggleChannel(bool from_tab) {
  m_channelFlag = !m_channelFlag;
  Layout();
  if (from_tab) {
    ShowStateNotice(m_channelFlag ? kTextChannelOn : kTextChannelOff, kStateColour, true);
    const RECT tabs = Rect(CurrentLayout().tabs);
    InvalidateRect(ControlWindow(), &tabs, TRUE);
  }
  if (HWND input = Pane(IDC_INPUT)) SetFocus(input);
}

void CGChat::SwitchPosition() {
  parley::ChatSkin& skin = GetSkinManager();
  skin.values.roomchatalignleft = skin.values.roomchatalignleft ? 0 : 1;
  parley::RunLogged("CGChat::OnCommand()  Fire_OnClickSetup error", [&] {
    Fire(kChatClickSetup, {});
  });
  chat::SaveFontSettings(parley::SettingsDirectory(), chat::GetFontSettings(),
                         skin.values.roomchatalignleft != 0);
}

void CGChat::OpenPhrases() {
  if (!m_phrases) {
    m_phrases = std::make_unique<parley::CDialogCmd>([this](const std::string& phrase) {
      parley::RunLogged("OnListDblClick  error", [&] {
        parley::FaultPoint("OnListDblClick  error");
        HWND input = Pane(IDC_INPUT);
        SendMessageW(input, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageW(input, EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(parley::Wide(phrase).c_str()));
        SetFocus(input);
      });
    });
  }
  m_phrases->Show(ControlWindow());
}

void CGChat::ShowStateNotice(const char* text, COLORREF colour, bool bold) {
  ChatTextFormat format;
  format.m_nColor = static_cast<int32_t>(colour);
  format.m_nStyle[0] = bold ? 1 : 0;
  char line[200] = {};
  CopyCString(line, text);
  AddText(reinterpret_cast<LONG_PTR>(&format), 1, reinterpret_cast<LONG_PTR>(line));
}

// The mouse over a button takes the capture until it leaves it; the button's tip shows.
void CGChat::OnHover(POINT p) {
  HWND self = ControlWindow();
  const chat::ChatLayout l = CurrentLayout();
  for (const chat::CommandButton& b : chat::HoverButtons(l, m_whisperMode)) {
    const bool inside = Inside(b.box, p);
    if (inside && GetCapture() != self) {
      SetCapture(self);
      m_hoverCommand = b.command;
      ShowTip(b.command, p, MAKELPARAM(p.x, p.y));
      if (b.command == chat::kCommandSend || b.command == chat::kCommandSwitch ||
          b.command == chat::kCommandChannel) {
        const RECT r = Rect(b.box);
        InvalidateRect(self, &r, TRUE);
      }
    } else if (!inside && GetCapture() == self && m_hoverCommand == b.command) {
      ReleaseCapture();
      if (m_tooltip) SendMessageW(m_tooltip, TTM_POP, 0, 0);
    }
  }
  const bool hand = PtInRect(&kHeaderText, p) != FALSE;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(hand ? 32649 : 32512)));  // hand, arrow
}

// command 0: only relays the mouse move to the tip window.
void CGChat::ShowTip(int command, POINT /*p*/, LPARAM lp) {
  HWND self = ControlWindow();
  if (command) {
    const char* tip = chat::CommandTip(command);
    if (!tip) return;
    const std::wstring text = parley::Wide(tip);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = self;
    ti.uId = reinterpret_cast<UINT_PTR>(self);
    ti.lpszText = const_cast<wchar_t*>(text.c_str());
    if (!m_tooltip) {
      m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, self, nullptr, nullptr, nullptr);
      if (!m_tooltip) return;
      SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
      SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
  }
  if (!m_tooltip) return;
  MSG relay{};
  relay.hwnd = self;
  relay.message = WM_MOUSEMOVE;
  relay.lParam = lp;
  SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

void CGChat::CaptureChanged() {
  if (!m_hoverCommand) return;
  const chat::ChatLayout l = CurrentLayout();
  m_hoverCommand = 0;
  // The send button, the switch and the tabs in their normal look again.
  for (const chat::Box& b : {l.send, l.setSwitch, l.tabs}) {
    const RECT r = Rect(b);
    InvalidateRect(ControlWindow(), &r, TRUE);
  }
}

// The send button's hover look, and in whisper mode the hint, the block-list button, the tab
// row and the switch.
void CGChat::PaintWhisperParts(Gdiplus::Graphics& g, const chat::ChatLayout& l, HDC dc) {
  const chat::CSkinManager& v = GetSkinManager().values;
  if (m_hoverCommand == chat::kCommandSend)
    DrawImage(g, v.pictures[chat::kPictureSend], l.send.left, l.send.top, l.send.Width(),
              l.send.Width(), l.send.Height());
  if (!m_whisperMode) return;
  DrawImage(g, v.pictures[chat::kPictureSet], l.prevent.left, l.prevent.top);
  DrawImage(g, v.pictures[chat::kPicturePrivate], l.targetHint.left, l.targetHint.top);

  // The tab row: the band picture across the width, the two tabs, the active one full.
  RECT client{};
  GetClientRect(ControlWindow(), &client);
  const std::string& band = v.pictures[chat::kPictureChatHead];
  if (!band.empty()) {
    Gdiplus::Image image(parley::Wide(band).c_str());
    if (image.GetLastStatus() == Gdiplus::Ok) {
      Gdiplus::TextureBrush brush(&image);
      brush.TranslateTransform(0, static_cast<Gdiplus::REAL>(l.tabs.top));
      g.FillRectangle(&brush, 0, l.tabs.top, client.right, l.tabs.Height());
    }
  }
  const int tab = v.chatchannelsize[0];
  const bool hover = m_hoverCommand == chat::kCommandChannel;
  DrawImage(g, v.pictures[chat::kPictureChannelComm], 0, l.tabs.top, 0, -1, -1,
            !m_channelFlag || hover ? 1.0f : 0.5f);
  DrawImage(g, v.pictures[chat::kPictureChannelPrivate], tab, l.tabs.top, 0, -1, -1,
            m_channelFlag || hover ? 1.0f : 0.5f);

  g.Flush();
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, SwitchFont());
  ::SetTextColor(dc, m_hoverCommand == chat::kCommandSwitch ? v.chatsetbtnfocustextcolor
                                                          : v.chatsetbtntextcolor);
  RECT sw = Rect(l.setSwitch);
  const std::wstring label = parley::Wide(kTextSwitchButton);
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &sw,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RestoreDC(dc, saved);
}

void CGChat::ShowPaneMenu(HWND pane, POINT screen) {
  const bool input = pane == Pane(IDC_INPUT);
  if (input) {
    m_menuTarget = IDC_INPUT;
    SetFocus(pane);
  } else {
    m_menuTarget = m_whisperMode && m_channelFlag ? IDC_CHANNEL : IDC_OUTPUT;
  }
  HWND target = Pane(m_menuTarget);
  CHARRANGE selection{};
  SendMessageW(target, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  chat::PaneEditState state;
  state.canUndo = SendMessageW(target, EM_CANUNDO, 0, 0) != 0;
  state.hasSelection = selection.cpMax > selection.cpMin;
  state.canPaste = SendMessageW(target, EM_CANPASTE, 0, 0) != 0;
  const winkit::UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (const chat::MenuEntry& e : chat::PaneMenu(input, state)) {
    if (!e.id) {
      AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(menu.Get(), MF_STRING | (e.enabled ? MF_ENABLED : MF_GRAYED),
                static_cast<UINT_PTR>(e.id), parley::Wide(e.text).c_str());
  }
  // A picture under the cursor in the input adds its own verbs; no command of the control
  // answers them.
  if (input) {
    IRichEditOle* ole = nullptr;
    SendMessageW(pane, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    if (ole) {
      POINT client = screen;
      ScreenToClient(pane, &client);
      bool separated = false;
      for (LONG i = 0, n = ole->GetObjectCount(); i < n; ++i) {
        REOBJECT object{};
        object.cbStruct = sizeof object;
        if (ole->GetObject(i, &object, REO_GETOBJ_POLEOBJ) != S_OK || !object.poleobj) continue;
        POINTL at{};
        SendMessageW(pane, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), object.cp);
        const RECT r{at.x, at.y, at.x + object.sizel.cx / 26, at.y + object.sizel.cy / 26};
        IEnumOLEVERB* verbs = nullptr;
        if (PtInRect(&r, client) && SUCCEEDED(object.poleobj->EnumVerbs(&verbs)) && verbs) {
          OLEVERB verb{};
          while (verbs->Next(1, &verb, nullptr) == S_OK) {
            if (!separated) AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
            separated = true;
            if (verb.lpszVerbName)
              AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(verb.lVerb),
                          verb.lpszVerbName);
            CoTaskMemFree(verb.lpszVerbName);
          }
          verbs->Release();
        }
        object.poleobj->Release();
      }
      ole->Release();
    }
  }
  TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, ControlWindow(),
                 nullptr);
}

void CGChat::OnMenuCommand(int id) {
  HWND target = Pane(m_menuTarget);
  HWND input = Pane(IDC_INPUT);
  const bool in_input = m_menuTarget == IDC_INPUT;
  const char* log_text = id == chat::kMenuCut ? "CGChat::OnCut  error" : "CGChat::OnClear  error";
  parley::RunLogged(log_text, [&] {
    switch (id) {
      case chat::kMenuCopy: SendMessageW(target, WM_COPY, 0, 0); break;
      case chat::kMenuPaste:
        if (in_input) SendMessageW(input, WM_PASTE, 0, 0);
        break;
      case chat::kMenuCut:
        if (in_input) SendMessageW(input, WM_CUT, 0, 0);
        break;
      case chat::kMenuFont:
        if (in_input) RunCommand(chat::kCommandFont);
        break;
      case chat::kMenuUndo:
        if (in_input && SendMessageW(input, EM_CANUNDO, 0, 0)) SendMessageW(input, EM_UNDO, 0, 0);
        break;
      case chat::kMenuDelete:
        if (in_input) SendMessageW(input, WM_CLEAR, 0, 0);
        break;
      case chat::kMenuSelectAll: SendMessageW(target, EM_SETSEL, 0, -1); break;
      case chat::kMenuClear: RunCommand(chat::kCommandClear); break;
      default: break;  // save: nothing
    }
  });
}

// Every picture in view in the three panes draws its next frame.
void CGChat::AnimatePictures() {
  for (int id : {IDC_OUTPUT, IDC_CHANNEL, IDC_INPUT}) {
    HWND pane = Pane(id);
    if (pane && IsWindowVisible(pane)) parley::AnimateVisiblePictures(pane);
  }
}

// The face board opens below the face button, above it at the screen's bottom, and within the
// screen's right edge.
void CGChat::OpenFaceBoard() {
  const chat::ChatLayout l = CurrentLayout();
  if (!m_faceBoard) m_faceBoard = std::make_unique<parley::FaceBoardWindow>(ControlWindow());
  POINT corners[2] = {{l.face.left, l.face.top}, {l.face.right, l.face.bottom}};
  MapWindowPoints(ControlWindow(), nullptr, corners, 2);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoW(MonitorFromPoint(corners[0], MONITOR_DEFAULTTONEAREST), &monitor))
    screen = monitor.rcMonitor;
  const chat::BoardPoint at = chat::PlaceBoard(
      {corners[0].x, corners[0].y, corners[1].x, corners[1].y},
      {screen.left, screen.top, screen.right, screen.bottom});
  m_faceBoard->Show(true, at.x, at.y);
}

bool CGChat::PaneHook::Attach(HWND pane, CGChat* chat, int id) {
  chat_ = chat;
  id_ = id;
  return SubclassedWindow::Attach(pane);
}

// The three panes: Enter anywhere sends and other keys go to the input; a press in the output
// drops the whisper target unless it lands on a name; the right button opens the menu.
parley::MessageFailure CGChat::PaneHook::FailureOf(UINT msg, WPARAM) {
  switch (msg) {
    case WM_CHAR: return {"CGChat::OnChar  error"};
    case WM_LBUTTONDOWN: return {"CGChat::OnRichLButtonDown  error"};
    case WM_RBUTTONDOWN: return {"CGChat::OnRichRButtonDown  error"};
    default: return {};
  }
}

LRESULT CGChat::PaneHook::OnChar(UINT, WPARAM wp, LPARAM lp, bool& handled) {
  if (id_ == IDC_INPUT) {
    if (wp == '\r')
      chat_->SendChat();  // Enter in the input sends
    else
      handled = false;
    return 0;
  }
  HWND input = chat_->Pane(IDC_INPUT);
  if (wp == '\r')
    chat_->SendChat();
  else
    SendMessageW(input, WM_CHAR, wp, lp);
  SetFocus(input);
  return 0;
}

LRESULT CGChat::PaneHook::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  if (id_ == IDC_INPUT) {
    handled = false;
    return 0;
  }
  CGChat* self = chat_;
  const int32_t old = self->m_whisperTarget;
  SendDlgItemMessageW(self->ControlWindow(), IDC_TARGET, CB_SETCURSEL, 0, 0);
  self->m_whisperTarget = 0;
  const LRESULT result = Default(msg, wp, lp);
  if (self->m_whisperTarget == 0 && old != 0)
    self->ShowStateNotice(kTextPublicChat, kTargetColour, false);
  return result;
}

LRESULT CGChat::PaneHook::OnRButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  ClientToScreen(hwnd(), &p);
  chat_->ShowPaneMenu(hwnd(), p);
  return 0;
}

void CGChat::BeginPaneUpdate(HWND pane) {
  if (!pane) return;
  PendingUpdate& pending = m_pending[pane == Pane(IDC_CHANNEL) ? 1 : 0];
  if (!pending.active) {
    // Drawing stops, and the pane stays writable, until the run is drawn.
    SendMessageW(pane, WM_SETREDRAW, FALSE, 0);
    pending.active = true;
    pending.readOnly = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
    parley::SetReadOnly(pane, false);
  }
  if (!m_flushPosted) m_flushPosted = PostMessageW(ControlWindow(), WM_CHAT_FLUSH, 0, 0) != FALSE;
}

void CGChat::FlushPanes() {
  m_flushPosted = false;
  for (int i = 0; i < 2; ++i) {
    const PendingUpdate pending = m_pending[i];
    m_pending[i] = {};
    HWND pane = Pane(i == 0 ? IDC_OUTPUT : IDC_CHANNEL);
    if (!pane) continue;
    if (pending.caretToEnd) SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    if (pending.trimEnd >= 0) TrimPaneTo(pane, pending.trimEnd);
    // Scrolled while drawing is off, then drawn once at the new place (a scroll while drawing
    // is on draws the pane at once, twice).
    if (pending.scroll) ScrollNow(pane);
    if (pending.active) {
      parley::SetReadOnly(pane, pending.readOnly);
      SendMessageW(pane, WM_SETREDRAW, TRUE, 0);
      // Turning drawing on marks a window visible; the pane not in view stays hidden.
      const bool in_view = (i == 1) == (m_whisperMode && m_channelFlag);
      if (!in_view) ShowWindow(pane, SW_HIDE);
      InvalidateRect(pane, nullptr, TRUE);
    }
  }
}

namespace {

// An ambient colour of the container; false when the site has none.
bool AmbientColour(IOleClientSite* site, DISPID id, COLORREF& colour) {
  if (!site) return false;
  IDispatch* ambients = nullptr;
  if (FAILED(site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambients))) ||
      !ambients)
    return false;
  VARIANT value;
  VariantInit(&value);
  const HRESULT hr = winkit::GetProperty(ambients, id, &value);
  ambients->Release();
  // A site without ambient properties may answer with nothing at all: that is no colour.
  if (FAILED(hr) || V_VT(&value) == VT_EMPTY || FAILED(VariantChangeType(&value, &value, 0, VT_I4))) {
    VariantClear(&value);
    return false;
  }
  return SUCCEEDED(OleTranslateColor(static_cast<OLE_COLOR>(V_I4(&value)), nullptr, &colour));
}

}  // namespace

STDMETHODIMP CGChat::OnAmbientPropertyChange(DISPID id) {
  CHAT_METHOD("CGChat::OnAmbientPropertyChange  error", {
    IOleClientSite* site = nullptr;
    GetClientSite(&site);
    chat::CSkinManager& skin = GetSkinManager().values;
    COLORREF colour = 0;
    bool changed = false;
    if ((id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN) &&
        AmbientColour(site, DISPID_AMBIENT_BACKCOLOR, colour)) {
      skin.chatoutrichbackcolor = colour;
      if (HWND output = Pane(IDC_OUTPUT)) SendMessageW(output, EM_SETBKGNDCOLOR, 0, colour);
      if (HWND input = Pane(IDC_INPUT))
        SendMessageW(input, EM_SETBKGNDCOLOR, 0, skin.chatinputrichbackcolor);
      changed = true;
    }
    if ((id == DISPID_AMBIENT_FORECOLOR || id == DISPID_UNKNOWN) &&
        AmbientColour(site, DISPID_AMBIENT_FORECOLOR, colour)) {
      skin.chatbackcolor = colour;
      changed = true;
    }
    if (site) site->Release();
    if (changed && ControlWindow())
      RedrawWindow(ControlWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  });
}
