#include "gchat_control.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <ctime>

#include "chat_layout.h"
#include "chat_boundary.h"
#include "chat_platform.h"
#include "chat_adverts.h"
#include "chat_pictures.h"
#include "chat_texts.h"
#include "face_board_window.h"
#include "dialog_cmd.h"
#include "dialog_option.h"
#include "font_settings.h"
#include "link_rules.h"
#include "gbk_codec.h"
#include "image_buttons.h"
#include "records/hot_region_record.h"
#include "user_list.h"
#include "text_copy.h"

namespace {

using parley::GetSkinManager;
using parley::WriteErrorLog;

// The time of the last accepted line, shared by every chat control of the process.
chat::SendClock g_sendClock;

constexpr COLORREF kNoticeColour = 0x0000FF;

std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

// Event arguments: addresses pointer-sized, numbers as 32-bit values.
winkit::EventArg Ptr(const void* p) { return winkit::EventArg::Ptr(p); }
winkit::EventArg Int(LONG n) { return winkit::EventArg::I4(n); }

// A character format from a head: face, colour, effects; the height of a line's head kept
// within 10 to 20 points (the panes' own format, from the player's font, is not).
CHARFORMAT2W MakeFormat(const ChatTextFormat& head, COLORREF colour, bool bold,
                        bool line_head = true) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  // The link mark is part of the mask (off), so that text after a link does not carry it on.
  cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR |
              CFM_FACE | CFM_CHARSET | CFM_LINK;
  if (bold || head.m_nStyle[0]) cf.dwEffects |= CFE_BOLD;
  if (head.m_nStyle[1]) cf.dwEffects |= CFE_ITALIC;
  if (head.m_nStyle[2]) cf.dwEffects |= CFE_UNDERLINE;
  if (head.m_nStyle[3]) cf.dwEffects |= CFE_STRIKEOUT;
  static const int dpi = [] {
    const winkit::WindowDc screen(nullptr);
    return screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  }();
  cf.yHeight = line_head ? chat::HeadHeightTwips(head.m_nSize, dpi)
                         : chat::FormatHeightTwips(head.m_nSize, dpi);
  cf.crTextColor = colour;
  char face[20];
  CopyText(face, head.m_sFontFace);
  const std::wstring wide = parley::Wide(face[0] ? face : kTextSongTi);
  lstrcpynW(cf.szFaceName, wide.c_str(), LF_FACESIZE);
  return cf;
}

void DrawPicture(Gdiplus::Graphics& g, const std::string& path, const chat::Box& box,
                 bool clip_to_box) {
  if (path.empty()) return;
  Gdiplus::Image image(parley::Wide(path).c_str());
  if (image.GetLastStatus() != Gdiplus::Ok) return;
  const int w = clip_to_box ? box.Width() : static_cast<int>(image.GetWidth());
  const int h = clip_to_box ? box.Height() : static_cast<int>(image.GetHeight());
  g.DrawImage(&image, Gdiplus::Rect(box.left, box.top, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
}

}  // namespace

ChatTextFormat LineFormat(COLORREF colour) {
  ChatTextFormat f;
  f.m_nColor = static_cast<int32_t>(colour);
  f.m_nSize = 100;
  return f;
}

bool IsViewNearBottom(HWND pane) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(pane, SB_VERT, &si)) return true;
  return si.nPos + static_cast<int>(si.nPage) + 50 >= si.nMax - si.nMin;
}

CGChat::CGChat()
    : ControlBase(CLSID_GChat, IID__IGChatEvents, L"ParleyGChat"),
      page_events_(static_cast<IGChat*>(this), static_cast<IConnectionPointContainer*>(this),
                   IID__IParleyPageEvents) {}

CGChat::~CGChat() {
  // A container may let the control go without deactivating it: the window goes after this
  // object, and the panes must not call into it on their way.
  if (ControlWindow()) DetachPanes();
}

void CGChat::DetachPanes() {
  for (PaneHook& hook : m_paneHooks) hook.Detach();
}

void* CGChat::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IGChat)
    return static_cast<IGChat*>(this);
  return ControlBase::CastTo(iid);
}

HWND CGChat::Pane(int id) const {
  if (id >= IDC_OUTPUT && id <= IDC_INPUT && m_panes[id - IDC_OUTPUT]) return m_panes[id - IDC_OUTPUT];
  return ControlWindow() ? GetDlgItem(ControlWindow(), id) : nullptr;
}

void CGChat::OnWindowCreated() {
  parley::RunLogged("CGChat::OnInitDialog  error2", [&] {
    Gdiplus::GdiplusStartupInput startup;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &startup, nullptr);
    HWND self = ControlWindow();
    const DWORD output_style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                               WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN |
                               ES_AUTOVSCROLL;
    // RichEdit 2.0 in its wide form: the host's GBK texts go in as UTF-16, converted by the
    // chat's own code page tables, so a line shows the same characters whatever the system's
    // ANSI code page is (the ANSI form would pass them through that code page and turn every
    // Chinese character into "?" on a system that is not GBK). A host reads a pane as it would
    // read the ANSI form on a GBK system: EM_GETTEXTEX with code page 936 gives its GBK bytes.
    // Without RichEdit 2.0 the panes fall back to RichEdit 1.0.
    for (int id : {IDC_OUTPUT, IDC_CHANNEL}) {
      HWND pane = CreateWindowExW(0, L"RichEdit20W", L"", output_style, 0, 0, 10, 10, self,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                  nullptr);
      if (!pane)
        pane = CreateWindowExW(0, L"RICHEDIT", L"", output_style, 0, 0, 10, 10, self,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
      SendMessageW(pane, EM_SETEVENTMASK, 0, ENM_LINK);
      // Web addresses are marked as lines are added (Append): RichEdit's own detection also
      // takes the link mark off every other text of the lines it looks at, so the clickable
      // names and hot regions would stop being links as soon as the next line came.
      SendMessageW(pane, EM_AUTOURLDETECT, FALSE, 0);
      // Far above the default 32K characters, so that one very long line cannot stop every
      // later line from showing.
      SendMessageW(pane, EM_EXLIMITTEXT, 0, 16 * 1024 * 1024);
    }
    HWND input = nullptr;
    for (const wchar_t* richedit_class : {L"RichEdit20W", L"RICHEDIT"}) {
      input = CreateWindowExW(0, richedit_class, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE, 0, 0, 10, 10,
                              self, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INPUT)),
                              nullptr, nullptr);
      if (input) break;
    }
    SendMessageW(Pane(IDC_OUTPUT), EM_SETREADONLY, TRUE, 0);

    parley::ChatSkin& skin = GetSkinManager();
    chat::FontSettings& font = chat::GetFontSettings();
    const uint8_t switch_before = skin.values.roomchatalignleft;
    chat::LoadFontSettings(parley::SettingsDirectory(), font, skin.values.roomchatalignleft,
                           [](const std::string& line) { WriteErrorLog(line.c_str()); });
    if (skin.values.roomchatalignleft != switch_before) {
      parley::RunLogged("CGChat::OnInitDialog  Fire_OnClickSetuperror", [&] {
        Fire(kChatClickSetup, {});
      });
    }
    m_ownFormat.m_nStyle[0] = static_cast<int16_t>(font.blod);
    m_ownFormat.m_nStyle[1] = static_cast<int16_t>(font.italic);
    m_ownFormat.m_nStyle[2] = static_cast<int16_t>(font.underline);
    m_ownFormat.m_nStyle[3] = static_cast<int16_t>(font.strickout);
    m_ownFormat.m_nSize = static_cast<int16_t>(font.size);
    m_ownFormat.m_nColor = skin.values.usedefaultinputcolor
                               ? static_cast<int32_t>(skin.values.chatdefaulttextcolor)
                               : font.color;
    CopyCString(m_ownFormat.m_sFontFace, font.fontname.c_str());
    CHARFORMAT2W own =
        MakeFormat(m_ownFormat, static_cast<COLORREF>(m_ownFormat.m_nColor), false, false);
    // The default format of the three panes (what is typed or added without a format of
    // its own), and the format of what they hold.
    for (int id : {IDC_OUTPUT, IDC_CHANNEL, IDC_INPUT}) {
      SendMessageW(Pane(id), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&own));
      SendMessageW(Pane(id), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&own));
    }
    for (int id : {IDC_OUTPUT, IDC_CHANNEL})
      SendMessageW(Pane(id), EM_SETBKGNDCOLOR, 0, skin.values.chatoutrichbackcolor);
    SendMessageW(Pane(IDC_INPUT), EM_SETBKGNDCOLOR, 0, skin.values.chatinputrichbackcolor);
    m_paneTop = skin.values.m_nChannelBarHeight;
    parley::LoadUserManager(m_users);
    parley::LoadFacesOnce();
    m_adverts = std::make_unique<parley::ChatAdverts>();
    m_adverts->SetChatStyle(m_chatStyle);
    m_adverts->Load(self);
    for (int id : {IDC_OUTPUT, IDC_CHANNEL, IDC_INPUT}) m_panes[id - IDC_OUTPUT] = Pane(id);
    CreateWhisperParts();
    Layout();
  });
}

void CGChat::OnWindowDestroying() {
  DetachPanes();
  parley::RunLogged("CGChat::OnDestroy  error", [&] {
    parley::FaultPoint("CGChat::OnDestroy  error");
    for (HWND& pane : m_panes) pane = nullptr;
    m_phrases.reset();
    for (UINT_PTR id : {UINT_PTR{kAnimationTimer}, UINT_PTR{chat::AdvertEngine::kAdvertTimerId},
                        UINT_PTR{chat::AdvertEngine::kBannerTimerId}})
      KillTimer(ControlWindow(), id);
    m_adverts.reset();
    m_faceBoard.reset();
    if (m_tooltip) DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    m_links.clear();
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
  });
}

LRESULT CGChat::OnSize(UINT, WPARAM, LPARAM, bool&) {
  parley::FaultPoint("CGChat::OnSize  error");
  // An open face board closes; the input keeps the keys.
  if (m_faceBoard && m_faceBoard->Visible()) m_faceBoard->Show(false);
  Layout();
  if (HWND input = Pane(IDC_INPUT)) SetFocus(input);
  return 0;
}

LRESULT CGChat::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  parley::FaultPoint("CGChat::OnEraseBkgnd  error");
  Paint(reinterpret_cast<HDC>(wp));
  return 1;
}

LRESULT CGChat::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  const winkit::PaintDc paint(ControlWindow());
  return 0;
}

// The picture timer; the rest are the adverts'.
LRESULT CGChat::OnTimer(UINT, WPARAM wp, LPARAM, bool&) {
  if (wp == kAnimationTimer) {
    AnimatePictures();
    return 0;
  }
  parley::FaultPoint(wp == chat::AdvertEngine::kBannerTimerId ? "CGChat::OnTimer 3  error"
                                                              : "CGChat::OnTimer 2  error");
  if (m_adverts) m_adverts->OnTimer(ControlWindow(), Pane(IDC_OUTPUT), wp);
  return 0;
}

LRESULT CGChat::OnNotify(UINT, WPARAM, LPARAM lp, bool& handled) {
  const auto* header = reinterpret_cast<const NMHDR*>(lp);
  if (header && header->code == EN_LINK &&
      (header->idFrom == IDC_OUTPUT || header->idFrom == IDC_CHANNEL)) {
    OnClickLink(*reinterpret_cast<const ENLINK*>(lp));
    return 0;
  }
  handled = false;
  return 0;
}

void CGChat::Layout() {
  HWND self = ControlWindow();
  if (!self) return;
  parley::ChatSkin& skin = GetSkinManager();
  if (!skin.values.chatvalidskin) chat::ApplyLayoutDefaults(skin.values);
  const chat::ChatLayout l = CurrentLayout();
  if (HWND combo = Pane(IDC_TARGET)) {
    if (l.showCombo)
      SetWindowPos(combo, nullptr, l.combo.left, l.combo.top, l.combo.Width(), l.combo.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
      ShowWindow(combo, SW_HIDE);
  }
  const bool channel = m_whisperMode && m_channelFlag;
  HWND shown = Pane(channel ? IDC_CHANNEL : IDC_OUTPUT);
  HWND hidden = Pane(channel ? IDC_OUTPUT : IDC_CHANNEL);
  MoveWindow(shown, l.output.left, l.output.top, l.output.Width(), l.output.Height(), TRUE);
  ShowWindow(shown, SW_SHOW);
  ShowWindow(hidden, SW_HIDE);
  MoveWindow(Pane(IDC_INPUT), l.input.left, l.input.top, l.input.Width(), l.input.Height(), TRUE);
  InvalidateRect(self, nullptr, TRUE);
}

void CGChat::Paint(HDC dc) {
  RECT client{};
  GetClientRect(ControlWindow(), &client);
  const parley::ChatSkin& skin = GetSkinManager();
  const chat::CSkinManager& v = skin.values;
  Gdiplus::Graphics g(dc);
  const std::string& back = v.pictures[chat::kPictureBack];
  bool painted = false;
  // Mode 1 tiles the picture only while the tile flag is on (the host's colour turns it off);
  // otherwise, like a missing picture, the background colour fills the control.
  if (v.chatbackmodal == 1 && !back.empty() && m_tileBackground) {
    Gdiplus::Image image(parley::Wide(back).c_str());
    if (image.GetLastStatus() == Gdiplus::Ok) {
      Gdiplus::TextureBrush brush(&image);
      g.FillRectangle(&brush, 0, 0, client.right, client.bottom);
      painted = true;
    }
  } else if (v.chatbackmodal != 0 && v.chatbackmodal != 1 && !back.empty()) {
    // The picture as a skin frame over the whole control: corners as they are, edges and
    // centre tiled.
    winkit::UniqueBitmap picture(static_cast<HBITMAP>(LoadImageW(
        nullptr, parley::Wide(back).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    painted = parley::DrawSkinFrame(dc, client, picture.Get(), nullptr, nullptr, true);
  }
  if (!painted) {
    // Mode 0, or a background picture that is not there: the background colour.
    const winkit::UniqueBrush brush(CreateSolidBrush(v.chatbackcolor));
    FillRect(dc, &client, brush.Get());
  }
  const chat::ChatLayout l = CurrentLayout();
  DrawPicture(g, v.pictures[chat::kPictureClear], l.clear, false);
  DrawPicture(g, v.pictures[chat::kPictureFont], l.font, false);
  DrawPicture(g, v.pictures[chat::kPictureFace], l.face, false);
  DrawPicture(g, v.pictures[chat::kPictureWord], l.word, false);
  DrawPicture(g, v.pictures[chat::kPictureSend], l.send, true);
  PaintWhisperParts(g, l, dc);
  if (m_adverts) m_adverts->PaintBanner(ControlWindow(), dc);
}

// A left press on a link of an output pane: its text (at most 254 characters) is opened when
// it is a web address; anything else is left alone.
void CGChat::OnClickLink(const ENLINK& link) {
  if (link.msg != WM_LBUTTONDOWN) return;
  parley::FaultPoint("CGChat::OnClickLink  error");
  const int pane = static_cast<int>(link.nmhdr.idFrom);
  for (const HotRegion& r : m_hotRegions) {
    if (r.pane == pane && r.span.start <= link.chrg.cpMax && r.span.end >= link.chrg.cpMin) {
      if (r.kind == 0) {
        ChooseWhisperTarget(static_cast<int32_t>(r.id));
      } else if (r.kind == 1) {
        const auto action = static_cast<uintptr_t>(r.action);
        Fire(kChatClickHotRegion,
             {Ptr(reinterpret_cast<const void*>(action)), Int(static_cast<LONG>(r.id))});
      } else if (r.kind == 2) {
        parley::OpenChatLink(r.link);
      }
      return;
    }
  }
  // A line the host gave with a link opens that link (when it is a web address).
  for (const LinkRecord& r : m_links) {
    if (r.pane == pane && r.span.start <= link.chrg.cpMax && r.span.end >= link.chrg.cpMin) {
      parley::OpenChatLink(parley::Wide(r.text));
      return;
    }
  }
  if (pane == IDC_OUTPUT && m_adverts && m_adverts->ClickLink(link.chrg)) return;
  const LONG start = std::max<LONG>(0, link.chrg.cpMin);
  const LONG end = std::min<LONG>(link.chrg.cpMax, start + chat::kMaxLinkCharacters);
  if (end <= start) return;
  std::wstring text(static_cast<size_t>(end - start) + 1, L'\0');
  TEXTRANGEW range{{start, end}, text.data()};
  SendMessageW(link.nmhdr.hwndFrom, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  text.resize(wcslen(text.c_str()));
  parley::OpenChatLink(text);
}

// The font button: the player picks the input font; the own format and the process's font
// settings take it (the face within its 20-byte field, sizes below 5 points raised), and the
// settings are saved whether or not the dialog was confirmed.
void CGChat::ChooseInputFont() {
  parley::RunLogged("CGChat::OnFont  error", [&] {
    HWND input = Pane(IDC_INPUT);
    LOGFONTW font{};
    {
      const winkit::WindowDc screen(nullptr);
      font.lfHeight = -MulDiv(std::max<int>(m_ownFormat.m_nSize, 50),
                              GetDeviceCaps(screen.Get(), LOGPIXELSY), 720);
    }
    font.lfWeight = m_ownFormat.m_nStyle[0] ? FW_BOLD : FW_NORMAL;
    font.lfItalic = m_ownFormat.m_nStyle[1] ? TRUE : FALSE;
    font.lfUnderline = m_ownFormat.m_nStyle[2] ? TRUE : FALSE;
    font.lfStrikeOut = m_ownFormat.m_nStyle[3] ? TRUE : FALSE;
    char face[20];
    CopyText(face, m_ownFormat.m_sFontFace);
    lstrcpynW(font.lfFaceName, parley::Wide(face).c_str(), LF_FACESIZE);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = ControlWindow();
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    choose.rgbColors = static_cast<COLORREF>(m_ownFormat.m_nColor);
    if (ChooseFontW(&choose)) {
      CopyCString(m_ownFormat.m_sFontFace, parley::Gbk(font.lfFaceName).c_str());
      m_ownFormat.m_nColor = static_cast<int32_t>(choose.rgbColors);
      m_ownFormat.m_nSize = static_cast<int16_t>(choose.iPointSize);
      m_ownFormat.m_nStyle[0] = font.lfWeight >= FW_BOLD ? 1 : 0;
      m_ownFormat.m_nStyle[1] = font.lfItalic ? 1 : 0;
      m_ownFormat.m_nStyle[2] = font.lfUnderline ? 1 : 0;
      m_ownFormat.m_nStyle[3] = font.lfStrikeOut ? 1 : 0;
      CHARFORMAT2W cf = MakeFormat(m_ownFormat, choose.rgbColors, false, false);
      SendMessageW(input, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
      SendMessageW(input, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
      SetFocus(input);
    }
    chat::FontSettings& settings = chat::GetFontSettings();
    settings.fontname = m_ownFormat.m_sFontFace;
    settings.color = m_ownFormat.m_nColor;
    settings.size = m_ownFormat.m_nSize;
    settings.blod = m_ownFormat.m_nStyle[0];
    settings.italic = m_ownFormat.m_nStyle[1];
    settings.underline = m_ownFormat.m_nStyle[2];
    settings.strickout = m_ownFormat.m_nStyle[3];
    chat::SaveFontSettings(parley::SettingsDirectory(), settings,
                           GetSkinManager().values.roomchatalignleft != 0);
    if (m_ownFormat.m_nSize < chat::kMinFontSize) m_ownFormat.m_nSize = chat::kMinFontSize;
  });
}

void CGChat::Fire(DISPID id, std::initializer_list<winkit::EventArg> args) {
  Events().Fire(id, args);
}

CHARFORMAT2W CGChat::CharFormat(const ChatTextFormat& format, COLORREF colour) {
  return MakeFormat(format, colour, false);
}

namespace {

// Puts the caret at the end of a pane; gives that position.
int CaretToEnd(HWND pane) {
  CHARRANGE end{-1, -1};
  const LRESULT at = SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  return at > 0 ? static_cast<int>(at) : 0;
}

}  // namespace

int CGChat::Append(HWND pane, const std::u16string& text, const ChatTextFormat& format,
                   COLORREF colour) {
  const int start = CaretToEnd(pane);
  const std::wstring wide = W(text);
  SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  // The run takes its format once it stands in the pane: the format of an empty selection
  // does not always reach the text typed over it, which then carries on whatever the text
  // before it had (a bold, underlined message part, a name's link). The caret stands after
  // the text that went in, at the pane's end.
  CHARRANGE written{};
  SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&written));
  const int end = static_cast<int>(written.cpMax);
  CHARFORMAT2W cf = MakeFormat(format, colour, false);
  SendMessageW(pane, EM_SETSEL, start, end);
  SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  MarkWebLinks(pane, start, text);
  SendMessageW(pane, EM_SETSEL, end, end);
  return start;
}

void CGChat::MarkWebLinks(HWND pane, int start, const std::u16string& text) {
  const std::vector<chat::LinkSpan> links = chat::FindLinks(text);
  if (!links.empty()) {
    CHARFORMAT2W link{};
    link.cbSize = sizeof link;
    link.dwMask = CFM_LINK;
    link.dwEffects = CFE_LINK;
    for (const chat::LinkSpan& l : links) {
      SendMessageW(pane, EM_SETSEL, start + l.start, start + l.end);
      SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&link));
    }
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  }
}

void CGChat::TrimPane(HWND pane) { TrimPane(pane, parley::PaneTextLength(pane)); }

void CGChat::TrimPane(HWND pane, int end) {
  const int index = pane == Pane(IDC_CHANNEL) ? 1 : 0;
  PendingUpdate& pending = m_pending[index];
  if (pending.active) {
    pending.trimEnd = end;
    // A long run is trimmed on the way, so that the pane never holds many more lines.
    if (++pending.lines >= 256) FlushPanes();
    return;
  }
  TrimPaneTo(pane, end);
}

// Keeps the last 66 lines up to the line that holds end (the pane's lines as RichEdit counts
// them, wrapped lines too).
void CGChat::TrimPaneTo(HWND pane, int end) {
  const int lines = static_cast<int>(SendMessageW(pane, EM_LINEFROMCHAR, end, 0)) + 1;
  if (lines < chat::kKeptLines) return;
  const int first_kept =
      static_cast<int>(SendMessageW(pane, EM_LINEINDEX, chat::FirstKeptLine(lines), 0));
  const int deleted = chat::CharactersToTrim(lines, first_kept);
  if (deleted <= 0) return;
  const BOOL read_only = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
  parley::SetReadOnly(pane, FALSE);
  SendMessageW(pane, EM_SETSEL, 0, deleted);
  SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  parley::SetReadOnly(pane, read_only);
  // The regions of the pane move with its text; those trimmed away go.
  const int id = GetDlgCtrlID(pane);
  std::vector<HotRegion> kept;
  for (HotRegion r : m_hotRegions) {
    if (r.pane == id) {
      std::vector<chat::HotSpan> one = {r.span};
      chat::ShiftHotSpans(one, deleted);
      if (one.empty()) continue;
      r.span = one.front();
    }
    kept.push_back(r);
  }
  m_hotRegions = std::move(kept);
  if (id == IDC_OUTPUT && m_adverts) m_adverts->OnTrim(deleted);
  std::vector<LinkRecord> links;
  for (LinkRecord r : m_links) {
    if (r.pane == id) {
      std::vector<chat::HotSpan> one = {r.span};
      chat::ShiftHotSpans(one, deleted);
      if (one.empty()) continue;
      r.span = one.front();
    }
    links.push_back(r);
  }
  m_links = std::move(links);
}

void CGChat::ScrollToBottom(HWND pane) {
  if (m_flushPosted) {
    m_pending[pane == Pane(IDC_CHANNEL) ? 1 : 0].scroll = true;
    return;
  }
  ScrollNow(pane);
}

CGChat::PaneViews CGChat::NoteViews() const {
  PaneViews views;
  for (int i = 0; i < 2; ++i) {
    // In a run of lines, a pane that goes to the bottom when the run is drawn goes there
    // whatever the lines after it find: it is not asked again.
    if (m_pending[i].scroll) {
      views.nearBottom[i] = true;
      continue;
    }
    HWND pane = Pane(i == 0 ? IDC_OUTPUT : IDC_CHANNEL);
    views.nearBottom[i] = IsViewNearBottom(pane);
    if (pane) SendMessageW(pane, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&views.position[i]));
  }
  return views;
}

void CGChat::SettleViews(const PaneViews& views, bool follow_public, bool follow_channel) {
  for (int i = 0; i < 2; ++i) {
    HWND pane = Pane(i == 0 ? IDC_OUTPUT : IDC_CHANNEL);
    if (!pane) continue;
    if (views.nearBottom[i] || (i == 0 ? follow_public : follow_channel)) {
      ScrollToBottom(pane);
    } else if (!m_pending[i].scroll) {
      // Writing at the end brings the end into view; the reader who scrolled up stays put
      // (the caret at the end first, which would bring it into view too).
      if (m_pending[i].caretToEnd) {
        SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        m_pending[i].caretToEnd = false;
      }
      POINT at = views.position[i];
      SendMessageW(pane, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    }
  }
}

void CGChat::ScrollNow(HWND pane) {
  SendMessageW(pane, WM_VSCROLL, SB_BOTTOM, 0);
  SendMessageW(pane, WM_VSCROLL, SB_LINEDOWN, 0);
}

STDMETHODIMP CGChat::AddText(LONG_PTR color, LONG ismytext, LONG_PTR str) {
  CHAT_METHOD("CGChat::AddText() error", {
    if (!color || !str || !ControlWindow()) return;
    ChatTextFormat head;
    std::memcpy(&head, reinterpret_cast<const void*>(color), sizeof head);
    const char* text = reinterpret_cast<const char*>(str);
    const PaneViews views = NoteViews();

    chat::AddTextInput in;
    in.text = chat::GbkToWide(text);
    in.kind = head.m_nStyle[4];
    in.isMyText = ismytext != 0;
    in.whisperMode = m_whisperMode;
    in.channelFlag = m_channelFlag;
    in.timeStamp = m_users.m_options.values[7] == 1;
    if (in.timeStamp) parley::StampLocalTime(in);
    const auto line = chat::ComposeAddText(in, m_filter, parley::Faces().FacesForLines());
    if (!line) return;

    const chat::CSkinManager& skin = GetSkinManager().values;
    HWND pane = Pane(line->pane);
    const COLORREF head_colour =
        line->privateHead ? skin.chatprivatedefaultheadcolor : skin.chatdefaultheadcolor;
    BeginPaneUpdate(pane);
    BOOL read_only = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
    parley::SetReadOnly(pane, FALSE);
    // Every line starts with a line break, the first line of an empty pane too.
    const std::u16string lead = u"\r";
    if (line->speaker) {
      // One insertion for the whole line (RichEdit takes one far faster than two), in the
      // head's format; the message part then takes the line's own (the link mark off in both)
      // and the web addresses are marked. The last run formatted reaches the pane's end, so
      // that its final paragraph mark takes that run's format: a line without a message part
      // is formatted after its insertion, one with a message part goes in in the format set
      // at the caret.
      const std::u16string speaker = lead + line->speakerPart;
      const std::u16string whole = speaker + line->messagePart;
      const int start = CaretToEnd(pane);
      const int message = start + static_cast<int>(speaker.size());
      const std::wstring wide = W(whole);
      CHARFORMAT2W cf = MakeFormat(LineFormat(head_colour), head_colour, false);
      if (line->messagePart.empty()) {
        SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
        // The caret stands after what went in (all of it but in a full pane).
        CHARRANGE written{};
        SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&written));
        SendMessageW(pane, EM_SETSEL, start, written.cpMax);
      }
      SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      if (!line->messagePart.empty())
        SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
      MarkWebLinks(pane, start, whole);
      if (!line->messagePart.empty()) {
        cf = MakeFormat(head, static_cast<COLORREF>(head.m_nColor), false);
        SendMessageW(pane, EM_SETSEL, message, message + static_cast<int>(line->messagePart.size()));
        SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        MarkWebLinks(pane, message, line->messagePart);
      }
      // The faces' keys become their pictures. The caret ends at the end either way; in a run
      // of lines it goes there once, when the run is drawn (every line starts at the end).
      if (!line->faces.empty())
        parley::ShowFaces(pane, message, line->faces);
      else if (m_flushPosted)
        m_pending[pane == Pane(IDC_CHANNEL) ? 1 : 0].caretToEnd = true;
      else
        SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(-1), -1);
      // Trimmed last: a trim on the way of a long run moves the line's text.
      TrimPane(pane, message);
    } else {
      ChatTextFormat format = LineFormat(head_colour);
      COLORREF colour = head_colour;
      switch (line->format) {
        case chat::LineFormat::kAdmin: colour = skin.chatadmintextcolor; break;
        case chat::LineFormat::kBroadcast: colour = skin.chatbroadcastcolor; break;
        case chat::LineFormat::kRecord:
          format = head;
          colour = static_cast<COLORREF>(head.m_nColor);
          break;
        case chat::LineFormat::kSpeaker: break;
      }
      if (line->systemPicture) {
        // Notices, broadcasts and system lines start with the system picture.
        Append(pane, lead, format, colour);
        InsertListPicture(pane, 2, 2);
        Append(pane, line->text, format, colour);
      } else {
        Append(pane, lead + line->text, format, colour);
      }
    }
    parley::SetReadOnly(pane, read_only);
    SettleViews(views, ismytext != 0, ismytext != 0);
  });
}

void CGChat::ShowNotice(const chat::Notice& notice) {
  ChatTextFormat format;
  format.m_nColor = static_cast<int32_t>(kNoticeColour);
  format.m_nStyle[0] = notice.bold ? 1 : 0;
  char text[200] = {};
  CopyCString(text, notice.text.c_str());
  AddText(reinterpret_cast<LONG_PTR>(&format), 1, reinterpret_cast<LONG_PTR>(text));
}

void CGChat::SendChat() {
  try {
    SendInput();
  } catch (const std::exception& e) {
    ReportSendFailure(e.what());
  } catch (...) {
    ReportSendFailure("");
  }
}

// A send that failed: the log, and a box that tells the player why.
void CGChat::ReportSendFailure(const char* reason) {
  WriteErrorLog("CGChat::SendChat  error");
  char cause[501] = {};
  CopyCString(cause, reason ? reason : "");
  char text[600];
  std::snprintf(text, sizeof text, kTextSendFailed, cause);
  parley::ShowChatMessage(ControlWindow(), text);
}

void CGChat::SendInput() {
  parley::FaultPoint("CGChat::SendChat  error");
  HWND input = Pane(IDC_INPUT);
  if (!input) return;
  GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
  const int n = static_cast<int>(SendMessageW(input, EM_GETTEXTLENGTHEX,
                                              reinterpret_cast<WPARAM>(&length), 0));
  std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  SendMessageW(input, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));

  chat::SendRequest request;
  request.text.assign(text.begin(), text.end());
  CHARRANGE selection{};
  SendMessageW(input, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  request.selectionStart = selection.cpMin;
  request.lineCount = static_cast<int>(SendMessageW(input, EM_GETLINECOUNT, 0, 0));
  request.whisperMode = m_whisperMode;
  request.haveUserList = m_users.m_pUserList && !m_users.m_pUserList->empty();
  FillSendTarget(request);
  request.now = GetTickCount();
  for (const auto& [position, key] : parley::CollectPictureKeys(input)) request.faces[position] = key;
  request.faceKey = [](int id) { return parley::Faces().GetFaceKey(id); };
  const chat::SendPlan plan = chat::PlanSend(request, m_filter, g_sendClock);

  if (plan.targetGoneBox) {
    parley::ShowChatMessage(ControlWindow(), kTextTargetGone);
    return;
  }
  if (plan.deleteBreakBeforeCaret) {
    SendMessageW(input, EM_SETSEL, selection.cpMin - 1, selection.cpMin);
    SendMessageW(input, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  }
  if (plan.cutFrom >= 0) {
    SendMessageW(input, EM_SETSEL, plan.cutFrom, -1);
    SendMessageW(input, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  }
  for (const chat::Notice& notice : plan.notices) ShowNotice(notice);
  if (plan.clearInput) SetWindowTextW(input, L"");
  if (plan.setReceiver) m_ownFormat.m_nSecondId = static_cast<uint32_t>(plan.receiverId);
  if (!plan.fireOnChat) return;
  m_ownFormat.m_nStyle[4] = plan.kind;
  char line[chat::kMaxSendBytes + 1] = {};
  std::memcpy(line, plan.line.data(), std::min(plan.line.size(), chat::kMaxSendBytes));
  Fire(kChatLine, {Ptr(&m_ownFormat), Ptr(line), Int(plan.whisper ? 1 : 0)});
  if (plan.fireOnSendMyText) Fire(kChatSendMyText, {Ptr(&m_ownFormat), Int(0), Ptr(line)});
}

void CGChat::ClearOutput() {
  for (PendingUpdate& p : m_pending) p.trimEnd = -1;
  m_hotRegions.clear();
  m_links.clear();
  for (int id : {IDC_OUTPUT, IDC_CHANNEL}) {
    HWND pane = Pane(id);
    if (!pane) continue;
    SetWindowTextW(pane, L"");
    PendingUpdate& pending = m_pending[id == IDC_CHANNEL ? 1 : 0];
    if (pending.active)
      pending.readOnly = true;
    else
      parley::SetReadOnly(pane, true);
  }
}

STDMETHODIMP CGChat::put_BackColor(OLE_COLOR clr) {
  m_clrBackColor = clr;
  return S_OK;
}

STDMETHODIMP CGChat::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

STDMETHODIMP CGChat::put_ForeColor(OLE_COLOR clr) {
  m_clrForeColor = clr;
  return S_OK;
}

STDMETHODIMP CGChat::get_ForeColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrForeColor;
  return S_OK;
}

STDMETHODIMP CGChat::SetButtonSize(LONG /*width*/, LONG /*height*/) { return S_OK; }
STDMETHODIMP CGChat::SetCommandIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetSetupIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetWhisperIcon(LONG_PTR /*icon*/) { return S_OK; }

STDMETHODIMP CGChat::SetSendIcon(LONG_PTR /*icon*/) { return S_OK; }

// The client's chat colour becomes the control's background.
STDMETHODIMP CGChat::SetTextColor(LONG color) {
  CHAT_METHOD("CGChat::SetTextColor error", {
    GetSkinManager().values.chatbackcolor = static_cast<uint32_t>(color);
    m_tileBackground = false;
    if (ControlWindow()) InvalidateRect(ControlWindow(), nullptr, TRUE);
  });
}

STDMETHODIMP CGChat::SetBkColor(LONG color) {
  CHAT_METHOD("CGChat::SetBkColor error", {
    GetSkinManager().values.chatoutrichbackcolor = static_cast<uint32_t>(color);
    for (int id : {IDC_OUTPUT, IDC_CHANNEL})
      if (HWND pane = Pane(id)) SendMessageW(pane, EM_SETBKGNDCOLOR, 0, color);
  });
}

STDMETHODIMP CGChat::AddLink(LONG_PTR color, LONG_PTR linkstr, LONG_PTR textstr) {
  CHAT_METHOD("CGChat::AddLink error", {
    if (!color || !textstr || !ControlWindow()) return;
    // Advert XML goes to the adverts; any other text is a line.
    if (m_adverts && m_adverts->AddXml(reinterpret_cast<const char*>(textstr))) return;
    ChatTextFormat head;
    std::memcpy(&head, reinterpret_cast<const void*>(color), sizeof head);
    const chat::CSkinManager& skin = GetSkinManager().values;
    const char* label = nullptr;
    COLORREF colour = skin.chatsysmsgcolor;
    if (head.m_nStyle[4] == chat::kKindAdmin) {
      label = kTextAdminLabel;
      colour = skin.chatadmintextcolor;
    } else if (head.m_nStyle[4] == chat::kKindBroadcast) {
      label = kTextBroadcastLabel;
      colour = skin.chatbroadcastcolor;
    }
    const std::u16string label_text =
        u" " + chat::GbkToWide(label ? label : "[\xcf\xb5\xcd\xb3\xcf\xfb\xcf\xa2]") + u" ";
    // The pane in view: the channel pane only while it is shown.
    HWND pane = Pane(m_whisperMode && m_channelFlag ? IDC_CHANNEL : IDC_OUTPUT);
    BeginPaneUpdate(pane);
    const BOOL read_only = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
    parley::SetReadOnly(pane, FALSE);
    const ChatTextFormat format = LineFormat(colour);
    Append(pane, u"\r" + label_text, format, colour);
    const std::u16string text =
        chat::GbkToWide(reinterpret_cast<const char*>(textstr)).substr(0, chat::kMaxLineCharacters);
    const char* target = reinterpret_cast<const char*>(linkstr);
    const size_t target_length = target ? strnlen(target, 64) : 0;
    const uint32_t line = static_cast<uint32_t>(
        SendMessageW(pane, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
    // The text and a closing line break, in the line's format (with the link effect).
    const int start = Append(pane, text + u"\r", format, colour);
    const int end = parley::PaneTextLength(pane);
    // A link is kept only with text of its own in the pane: a full pane takes no more text,
    // and then no more records either.
    const bool linked = target_length > 2 && end > start;
    if (linked) {
      // The line's text reports clicks; the click opens the link kept for it.
      LinkRecord record;
      record.pane = GetDlgCtrlID(pane);
      record.line = line;
      CopyCString(record.text, target);
      record.length = static_cast<uint16_t>(std::strlen(record.text));
      record.span = {start, end};
      m_links.push_back(record);
      SendMessageW(pane, EM_SETSEL, start, end);
      CHARFORMAT2W cf{};
      cf.cbSize = sizeof cf;
      cf.dwMask = CFM_LINK;
      cf.dwEffects = CFE_LINK;
      SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      SendMessageW(pane, EM_SETSEL, end, end);
    }
    parley::SetReadOnly(pane, read_only);
    ScrollToBottom(pane);
  });
}

STDMETHODIMP CGChat::SetSeparatorIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetSeparatorColor(LONG color) {
  m_separatorColor = static_cast<COLORREF>(color);
  m_separatorBrush.Reset(CreateSolidBrush(m_separatorColor));
  return S_OK;
}

STDMETHODIMP CGChat::SetEditText(LONG_PTR str) {
  CHAT_METHOD("CGChat::SetEditText error", {
    HWND input = Pane(IDC_INPUT);
    if (!input || !str) return;
    // The whole input goes, the text comes in at its end and the caret stays after it, where
    // the next key (typed in the input or in an output pane) goes.
    SendMessageW(input, EM_SETSEL, 0, -1);
    SendMessageW(input, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    SendMessageW(input, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(input, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(parley::Wide(reinterpret_cast<const char*>(str)).c_str()));
    SetFocus(input);
  });
}

STDMETHODIMP CGChat::GetIsWhisper(LONG* iswhisper) {
  CHAT_METHOD("CGChat::GetIsWhisper() error", {
    if (iswhisper) *iswhisper = 0;
    parley::FaultPoint("CGChat::GetIsWhisper() error");
  });
}

STDMETHODIMP CGChat::OpenColorDialog() { return S_OK; }

// Whisper mode on; in chat style 1 the output panes start below the channel tabs.
STDMETHODIMP CGChat::SetWhisperStatus() {
  CHAT_METHOD("CGChat::OnSize  error", {
    m_whisperMode = true;
    if (m_chatStyle == 1) {
      const chat::CSkinManager& skin = GetSkinManager().values;
      m_paneTop = skin.m_nChannelBarHeight + skin.chatchannelsize[1];
      chat::ShiftButtonPoints(m_buttonPoints, skin.chatcombosize[0]);
    }
    Layout();
  });
}
STDMETHODIMP CGChat::SetSeperatorStatus() { return S_OK; }

STDMETHODIMP CGChat::Send() {
  CHAT_METHOD("CGChat::Send error", {
    SendChat();
    if (HWND input = Pane(IDC_INPUT)) SetFocus(input);
  });
}

STDMETHODIMP CGChat::GetIsSeperator(LONG* isseperator) {
  CHAT_METHOD("CGChat::GetIsSeperator() error", {
    if (isseperator) *isseperator = m_channelFlag ? 1 : 0;
    parley::FaultPoint("CGChat::GetIsSeperator() error");
  });
}

STDMETHODIMP CGChat::SetClearIcon(LONG_PTR /*icon*/) { return S_OK; }

// Empties the output panes; they go back to read-only.
STDMETHODIMP CGChat::Clear() {
  CHAT_METHOD("CGChat::Clear() error", {
    ClearOutput();
  });
}

STDMETHODIMP CGChat::GetArchiveObject(VARIANT* /*archive*/) { return S_OK; }
STDMETHODIMP CGChat::SetArchiveObject(VARIANT /*archive*/) { return S_OK; }
STDMETHODIMP CGChat::SetFontIcon(LONG_PTR /*icon*/) { return S_OK; }

STDMETHODIMP CGChat::SetBkBitmap(LONG_PTR /*bitmap*/) {
  if (ControlWindow())
    RedrawWindow(ControlWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return S_OK;
}

STDMETHODIMP CGChat::SetMyID(LONG uid) {
  m_users.m_nMyId = uid;
  parley::LoadFacesOnce();
  return S_OK;
}

chat::ChatPeople& CGChat::People() {
  if (!m_people) m_people = std::make_unique<chat::ChatPeople>(m_users);
  return *m_people;
}

STDMETHODIMP CGChat::SetSelUser(LONG uid) {
  CHAT_METHOD("CGChat::SetSelUser error", {
    if (const auto notice = People().SetSelUser(uid)) {
      // The target box shows the chosen person too.
      if (const void* person = People().FindPerson(uid)) ShowWhisperTarget(uid, person);
      ChatTextFormat format;
      CopyCString(format.m_sFontFace, kTextSongTi);
      format.m_nSize = 90;
      format.m_nColor = 0xC0C0C0;
      AddText(reinterpret_cast<LONG_PTR>(&format), 1, reinterpret_cast<LONG_PTR>(notice->c_str()));
    }
  });
}
STDMETHODIMP CGChat::AddHotRegion(LONG_PTR outerAction, LONG /*outerAction2*/) {
  CHAT_METHOD("CGChat::AddText() error", {
    if (!outerAction || !ControlWindow()) return;
    HotRegionRecord record;
    std::memcpy(&record, reinterpret_cast<const void*>(outerAction), sizeof record);
    char bounded[sizeof record.m_sText];
    CopyText(bounded, record.m_sText);  // at most 511 bytes, whatever the record holds
    const std::u16string text = chat::GbkToWide(bounded);
    const PaneViews views = NoteViews();
    const int id = m_channelFlag && m_whisperMode ? IDC_CHANNEL : IDC_OUTPUT;
    HWND pane = Pane(id);
    const chat::CSkinManager& skin = GetSkinManager().values;
    const COLORREF head = skin.chatdefaultheadcolor;
    BeginPaneUpdate(pane);
    const BOOL read_only = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
    parley::SetReadOnly(pane, FALSE);
    if (record.m_nKind) {
      // A line break, two spaces, the system picture 1 and a space.
      Append(pane, u"\n  ", LineFormat(head), head);
      const int at = parley::PaneTextLength(pane);
      SendMessageW(pane, EM_SETSEL, at, at);
      if (!parley::InsertPicture(pane, chat::kSystemFlagList, 1)) Append(pane, u" ", LineFormat(head), head);
      Append(pane, u" ", LineFormat(head), head);
    }
    const int base = parley::PaneTextLength(pane);
    Append(pane, text, LineFormat(head), head);
    // The clickable span, kept within the text that went in (none in a full pane); an empty
    // span makes no region.
    const int shown = std::min(static_cast<int>(text.size()), parley::PaneTextLength(pane) - base);
    if (const auto region =
            chat::ActionRegion(base, shown, record.m_nStart,
                               record.m_nEnd, record.m_nId, record.m_nAction, id == IDC_CHANNEL)) {
      // The region reaches one character beyond the span on either side.
      SendMessageW(pane, EM_SETSEL, region->start + 1, region->end - 1);
      CHARFORMAT2W cf = MakeFormat(LineFormat(head), head, false);
      cf.dwMask |= CFM_LINK | CFM_OFFSET;
      cf.dwEffects |= CFE_LINK;
      cf.yOffset = 3;
      SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      const int after = parley::PaneTextLength(pane);
      SendMessageW(pane, EM_SETSEL, after, after);
      m_hotRegions.push_back({id, {region->start, region->end}, region->id, region->rawData,
                              static_cast<int>(region->kind), {}});
    }
    parley::SetReadOnly(pane, read_only);
    SettleViews(views, id == IDC_CHANNEL, id == IDC_CHANNEL);
  });
}
STDMETHODIMP CGChat::AddPerson(LONG_PTR per) {
  People().AddPerson(reinterpret_cast<const void*>(per));
  return S_OK;
}

STDMETHODIMP CGChat::SetChatStyle(LONG nstyle) {
  m_chatStyle = nstyle;
  if (m_adverts) m_adverts->SetChatStyle(nstyle);
  return S_OK;
}

STDMETHODIMP CGChat::SetGameInfo(int /*nGameID*/, int /*nSubID*/, int /*nRoomID*/) { return S_OK; }
STDMETHODIMP CGChat::AddXmlString(LONG_PTR xmlString) {
  CHAT_METHOD("CGChat::AddXmlString error", {
    if (xmlString && m_adverts) m_adverts->AddXml(reinterpret_cast<const char*>(xmlString));
  });
}

STDMETHODIMP CGChat::Close(DWORD save_option) {
  HRESULT hr = ControlBase::Close(save_option);
  page_events_.UnadviseAll();
  return hr;
}

STDMETHODIMP CGChat::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return winkit::EnumConnectionPointsOf({&Events(), &page_events_}, out);
}

STDMETHODIMP CGChat::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  return winkit::FindConnectionPointIn({&Events(), &page_events_}, iid, out);
}
