#include "table_frame.h"

#include <windowsx.h>

#include <algorithm>

#include "window_texts.h"
#include "winkit/module.h"
#include "winkit/dispatch_call.h"
#include "winkit/gbk.h"

namespace framework_window {

namespace {

constexpr CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0,
                                    {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
// The browser's Navigate method.
constexpr DISPID kDispidNavigate = 104;

[[maybe_unused]] RECT ToRect(const layout::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

// --- CWebBrowser2 -------------------------------------------------------------------------

const CLSID& CWebBrowser2::ClassId() { return kClsidWebBrowser; }

bool CWebBrowser2::Create(HWND parent, UINT id, DWORD, const RECT& rect) {
  Destroy();
  winkit::ComPtr<winkit::ControlHost> host;
  const HRESULT hr = winkit::ControlHost::Create(parent, kClsidWebBrowser, IID_NULL, id, L"",
                                                 rect, nullptr, &host);
  if (FAILED(hr)) return false;
  m_host = host;
  return true;
}

bool CWebBrowser2::Navigate(const char* url) {
  if (!m_host) return false;
  winkit::ComPtr<IDispatch> dispatch;
  if (FAILED(m_host->QueryControl(IID_IDispatch, reinterpret_cast<void**>(dispatch.Put()))) ||
      !dispatch)
    return false;
  // Navigate(URL, Flags, TargetFrameName, PostData, Headers), the optional four left out.
  const HRESULT hr = winkit::CallMethod(
      dispatch.Get(), kDispidNavigate,
      {winkit::EventArg::Bstr(winkit::GbkToWide(url ? url : "")), winkit::EventArg::Missing(),
       winkit::EventArg::Missing(), winkit::EventArg::Missing(), winkit::EventArg::Missing()});
  return SUCCEEDED(hr);
}

void CWebBrowser2::Destroy() {
  if (m_host) m_host->Destroy();
  m_host = nullptr;
}

// --- CVyrTableWnd2_Adv0 -------------------------------------------------------------------

CVyrTableWnd2_Adv0::~CVyrTableWnd2_Adv0() {
  if (m_backDc && m_backOld) SelectObject(m_backDc.Get(), m_backOld);
  m_advert.Destroy();
  Destroy();
}

HWND CVyrTableWnd2_Adv0::MainWindow() const {
  return hwnd() ? GetAncestor(hwnd(), GA_ROOT) : nullptr;
}

layout::Rect CVyrTableWnd2_Adv0::ClientRect() const {
  RECT r{};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return layout::Rect{r.left, r.top, r.right, r.bottom};
}

void CVyrTableWnd2_Adv0::LoadSkin(HMODULE module, bool first_load) {
  // 1. The skin's image folder beside the program.
  m_strImagePath = CVyrTableWnd2_Adv3::ImageFolderOf(module);
  // 2. Metrics.
  m_metrics = layout::ReadFrameMetrics(
      [module](uint32_t id) { return LoadResString(module, id); },
      GetSystemMetrics(SM_CYSCREEN), first_load);
  m_clrTitleButtonsBack = m_metrics.m_clrTitleButtonsBack;
  // 3. The caption font is made once, by LoadResources: a later skin keeps it.
  // 4. The system's cursors (shared, never deleted).
  m_hCursorArrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  m_hCursorWE = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE));
  m_hCursorNS = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENS));
  // 5. Separator pattern, dialog button background, caption icons.
  m_separator.Reset(LoadSkinBitmap(module, "IDB_SEPERATOR"));
  m_separatorBrush.Reset(m_separator ? CreatePatternBrush(m_separator.Get()) : nullptr);
  m_wndBar.SetBrush(m_separatorBrush.Get());
  m_hDlgButtonBk.Reset(LoadSkinBitmap(module, "IDB_DLG_BUTTON_BK"));
  auto icon = [module](const char* name) {
    return module ? static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, 0, 0, 0)) : nullptr;
  };
  m_hIconClose.Reset(icon("CAPTION_CLOSE"));
  m_hIconMax.Reset(icon("CAPTION_MAX"));
  m_hIconMin.Reset(icon("CAPTION_MIN"));
  m_hIconNormal.Reset(icon("CAPTION_NORMAL"));
  // 6. The title strip's colour came with the metrics; LoadResources hands it over once.
  // 7. The three frames.
  m_outerFrame.SetFillColour(m_metrics.m_clrFrameFill);
  m_outerFrame.Load(module, "IDB_BORDER51", "IDB_BORDER53", "IDB_BORDER57", "IDB_BORDER59",
                    "IDB_BORDER55", "IDB_BORDER54", "IDB_BORDER56", "IDB_BORDER58");
  m_playFrame.SetFillColour(m_metrics.m_clrFrameFill);
  m_playFrame.Load(module, "IDB_BORDER61", "IDB_BORDER63", "IDB_BORDER66", "IDB_BORDER68",
                   "IDB_BORDER64", "IDB_BORDER62", "IDB_BORDER65", "IDB_BORDER67");
  m_columnFrame.SetFillColour(m_metrics.m_clrColumnFill);
  m_columnFrame.Load(module, "IDB_BORDER81", "IDB_BORDER83", "IDB_BORDER86", "IDB_BORDER88",
                     "IDB_BORDER84", "IDB_BORDER82", "IDB_BORDER85", "IDB_BORDER87");
  // 8. Bands.
  m_titleBand.Load(module, "IDB_BORDER41", "IDB_BORDER42", "IDB_BORDER43");
  if (m_titleBand.LeftSize().height > 0)
    m_nTitleBandHeight = static_cast<int16_t>(m_titleBand.LeftSize().height);
  m_captionBand.Load(module, "IDB_TITLE1", "IDB_TITLE2", "IDB_TITLE3");
  // 9. List pieces and the table's centre.
  m_hListLeft.Reset(LoadSkinBitmap(module, "IDB_LISTLEFT"));
  m_hListMid.Reset(LoadSkinBitmap(module, "IDB_LISTMID"));
  m_hListRight.Reset(LoadSkinBitmap(module, "IDB_LISTRIGHT"));
  m_hTableCenter.Reset(LoadSkinBitmap(module, "TABLE_CENTER1"));
}

void CVyrTableWnd2_Adv0::RelayoutClient() {
  const layout::Rect c = ClientRect();
  LayoutChildren(0, 0, c.Width(), c.Height());
}

void CVyrTableWnd2_Adv0::PaintFrame() {
  if (!hwnd()) return;
  winkit::WindowDc dc(hwnd());
  if (dc) DrawFrame(dc.Get());
}

void CVyrTableWnd2_Adv0::DrawCaptionBand(HDC dc) {
  const layout::Rect c = ClientRect();
  if (m_metrics.m_bStretchTitle)
    m_captionBand.DrawStretchedCaption(dc, 0, 0, c.Width(), m_metrics.m_nCaptionHeight);
  else
    m_captionBand.DrawTiledCaption(dc, 0, 0, c.Width());
}

void CVyrTableWnd2_Adv0::DrawCaptionText(HDC dc) {
  if (m_strCaption.empty()) return;
  const layout::Rect c = ClientRect();
  winkit::SelectedObject font(dc, m_captionFont.Get());
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = SetTextColor(dc, m_metrics.m_clrCaptionText);
  RECT r;
  UINT format = DT_VCENTER | DT_SINGLELINE;
  if (m_metrics.m_bCenterCaption) {
    r = RECT{c.left, m_metrics.m_nCaptionTextTop, c.right, m_metrics.m_nCaptionTextBottom};
    format |= DT_CENTER;
  } else {
    r = RECT{m_metrics.m_nCaptionTextLeft, m_metrics.m_nCaptionTextTop,
             m_metrics.m_nCaptionTextRight, m_metrics.m_nCaptionTextBottom};
    format |= DT_LEFT;
  }
  DrawTextW(dc, winkit::GbkToWide(m_strCaption).c_str(), -1, &r, format);
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
}

void CVyrTableWnd2_Adv0::DrawSetupExitText(HDC dc) {
  winkit::SelectedObject font(dc, m_captionFont.Get());
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = SetTextColor(dc, 0xFFFFFF);
  const struct {
    const layout::Rect& rect;
    const char* text;
  } texts[] = {{m_rc.setupText, kTextSetup}, {m_rc.exitText, kTextExit}};
  for (const auto& t : texts) {
    RECT r{t.rect.left, t.rect.top, t.rect.right + 30, t.rect.bottom};
    DrawTextW(dc, winkit::GbkToWide(t.text).c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  }
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
}

void CVyrTableWnd2_Adv0::DrawCaption() {
  if (!hwnd() || !IsWindow(hwnd())) return;
  winkit::WindowDc dc(hwnd());
  if (!dc) return;
  DrawCaptionBand(dc.Get());
  if (m_metrics.m_nCaptionHeight >= m_rc.play.top) {
    const layout::Rect& p = m_rc.play;
    m_playFrame.DrawClipped(dc.Get(), p.left, p.top, p.Width(), p.Height(), p.left, p.top,
                            p.Width(), m_metrics.m_nTableInsetTop);
    const layout::Rect& f = m_rc.columnFrame;
    m_columnFrame.DrawClipped(dc.Get(), f.left, f.top, f.Width(), f.Height(), f.left, f.top,
                              f.Width(), m_rc.list.top - f.top);
  }
  DrawCaptionText(dc.Get());
  DrawCaptionIcons(dc.Get());
}

void CVyrTableWnd2_Adv0::ApplyColumnWidth(int32_t width) {
  m_nColumnWidth = static_cast<int16_t>(width);
  RelayoutClient();
  InvalidateRect(hwnd(), nullptr, TRUE);
  InvalidatePanes();
}

BOOL CVyrTableWnd2_Adv0::MoveSplitterLeft(int delta) {
  const int32_t w = layout::MoveSplitterLeft(m_nColumnWidth, m_rc, delta);
  if (w < 0) return FALSE;
  ApplyColumnWidth(w);
  return TRUE;
}

BOOL CVyrTableWnd2_Adv0::MoveSplitterRight(int delta) {
  const int32_t w = layout::MoveSplitterRight(m_nColumnWidth, m_rc, delta);
  if (w < 0) return FALSE;
  ApplyColumnWidth(w);
  return TRUE;
}

void CVyrTableWnd2_Adv0::SetSplitterMax() {
  const int32_t w = layout::SetSplitterMax(m_nColumnWidth, m_rc, ClientRect().Width());
  if (w >= 0) ApplyColumnWidth(w);
}

void CVyrTableWnd2_Adv0::ToggleSplitter() {
  const int32_t w = layout::ToggleSplitter(m_nColumnWidth, m_rc);
  if (w >= 0) ApplyColumnWidth(w);
}

void CVyrTableWnd2_Adv0::RedrawFrame() {
  if (!hwnd()) return;
  const layout::Rect c = ClientRect();
  const layout::Size size{std::max(c.Width(), 1), std::max(c.Height(), 1)};
  winkit::WindowDc dc(hwnd());
  if (!dc) return;
  if (!m_backDc) m_backDc.Reset(CreateCompatibleDC(dc.Get()));
  if (!m_backDc) return;
  // The buffer follows the window's size (a frame grown later is painted in full).
  if (!m_backBitmap || !(m_backSize == size)) {
    HBITMAP bitmap = CreateCompatibleBitmap(dc.Get(), size.width, size.height);
    if (!bitmap) return;
    HGDIOBJ old = SelectObject(m_backDc.Get(), bitmap);
    if (!m_backOld) m_backOld = old;
    m_backBitmap.Reset(bitmap);
    m_backSize = size;
  }
  DrawFrame(m_backDc.Get());
}

LRESULT CVyrTableWnd2_Adv0::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  if (m_drag.state() == layout::FrameDrag::kListChatDrag) return FALSE;
  if (m_backDc && m_backBitmap) {
    // Only what the DC can show: a strip asking for the background behind its gaps gets its
    // own small part, not a copy of the whole frame.
    HDC dc = reinterpret_cast<HDC>(wp);
    const layout::Rect c = ClientRect();
    RECT r{0, 0, c.Width(), c.Height()};
    RECT clip{};
    if (GetClipBox(dc, &clip) != ERROR && !IntersectRect(&r, &r, &clip)) return TRUE;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_backDc.Get(), r.left, r.top,
           SRCCOPY);
  }
  return TRUE;
}

LRESULT CVyrTableWnd2_Adv0::OnSetCursor(UINT, WPARAM, LPARAM, bool&) {
  switch (m_drag.state()) {
    case layout::FrameDrag::kListChatDrag:
    case layout::FrameDrag::kListChatHover:
      SetCursor(m_hCursorNS);
      break;
    case layout::FrameDrag::kColumn:
      SetCursor(m_hCursorWE);
      break;
    default:
      SetCursor(m_hCursorArrow);
  }
  return TRUE;
}

LRESULT CVyrTableWnd2_Adv0::OnMoving(UINT, WPARAM, LPARAM lp, bool&) {
  m_drag.ClearMouseDown();
  const auto* proposed = reinterpret_cast<const RECT*>(lp);
  if (HWND main = MainWindow(); main && proposed && main != hwnd())
    SetWindowPos(main, nullptr, proposed->left, proposed->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

LRESULT CVyrTableWnd2_Adv0::OnMouseLeave(UINT, WPARAM, LPARAM, bool&) {
  m_drag.OnLeave();
  m_bTrackingLeave = FALSE;
  ReleaseCapture();
  return 0;
}

LRESULT CVyrTableWnd2_Adv0::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const layout::Point p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  const int32_t w = ClientRect().Width();
  HWND main = MainWindow();
  switch (layout::HitCaptionBox(p, w)) {
    case layout::CaptionHit::kClose:
      OnExit();
      return 0;
    case layout::CaptionHit::kMaximise:
      if (main) ShowWindow(main, IsZoomed(main) ? SW_RESTORE : SW_MAXIMIZE);
      return Default(msg, wp, lp);
    case layout::CaptionHit::kMinimise:
      if (main) ShowWindow(main, SW_MINIMIZE);
      return Default(msg, wp, lp);
    case layout::CaptionHit::kNone:
      break;
  }
  auto widened = [](layout::Rect r) {
    r.right += 25;
    return r;
  };
  if (widened(m_rc.setupText).Contains(p)) {
    OnSetup();
    return 0;
  }
  if (widened(m_rc.exitText).Contains(p)) {
    OnExit();
    return 0;
  }
  m_drag.OnPress(p, m_metrics, m_rc, m_nTitleBandHeight);
  const LRESULT r = Default(msg, wp, lp);
  if (main && !IsZoomed(main)) {
    POINT screen{p.x, p.y};
    ClientToScreen(hwnd(), &screen);
    PostMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
  }
  return r;
}

void CVyrTableWnd2_Adv0::ShowDragFeedback() {
  if (m_drag.state() == layout::FrameDrag::kListChatDrag) {
    if (winkit::WindowDc dc(hwnd()); dc)
      m_titleBand.Draw(dc.Get(), m_rc.listTitle.left, m_rc.listTitle.top, m_rc.listTitle.Width());
    SetWindowPos(m_wndBar.hwnd(), HWND_TOP, m_rc.list.left + m_metrics.m_nPaneInsetLeft,
                 m_rc.listChatBar.top,
                 m_rc.list.right - m_metrics.m_nPaneInsetRight - m_metrics.m_nPaneInsetLeft -
                     m_rc.list.left,
                 6, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  } else {
    SetWindowPos(m_wndBar.hwnd(), HWND_TOP, m_rc.columnBar.left, m_rc.columnBar.top, 6,
                 m_rc.columnBar.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  }
  RedrawWindow(m_wndBar.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CVyrTableWnd2_Adv0::OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  if (!m_bTrackingLeave) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
    if (TrackMouseEvent(&tme)) m_bTrackingLeave = TRUE;
  }
  const auto move =
      m_drag.OnMove(layout::Point{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, ClientRect(), m_rc);
  if (move.capture && GetCapture() != hwnd()) SetCapture(hwnd());
  if (move.feedback) ShowDragFeedback();
  return Default(msg, wp, lp);
}

LRESULT CVyrTableWnd2_Adv0::OnLButtonUp(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const auto up = m_drag.OnRelease(ClientRect(), m_metrics, m_rc, m_nTitleBandHeight);
  if (up.ended == layout::FrameDrag::kListChatDrag) {
    m_nListHeight = static_cast<int16_t>(up.boundary - m_rc.list.top);
    m_nChatHeight = static_cast<int16_t>(m_rc.chat.bottom - up.boundary);
    RefreshLayout();
    RedrawFrame();
  } else if (up.ended == layout::FrameDrag::kColumn) {
    ApplyColumnWidth(up.columnWidth);
  }
  layout::BarsOf(m_metrics, m_rc, m_nTitleBandHeight);
  ReleaseCapture();
  m_bTrackingLeave = FALSE;
  ShowWindow(m_wndBar.hwnd(), SW_HIDE);
  return Default(msg, wp, lp);
}

// --- CVyrTableWnd2_Adv3 -------------------------------------------------------------------

BOOL CVyrTableWnd2_Adv3::CreateChildren(UINT id, HWND parent) {
  const RECT empty{0, 0, 0, 0};
  if (!Create(L"KorvelTableFrame", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
              0, empty, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
    return FALSE;
  // The advert pane may be missing (a platform without the browser): the frame goes on.
  m_advert.Create(hwnd(), kIdAdvertPane, WS_CHILD | WS_VISIBLE, empty);
  m_setupButtons.Create(hwnd(), kIdSetupStrip);
  m_titleButtons.Create(hwnd(), kIdTitleStrip);
  m_wndBar.Create(hwnd(), kIdBarWindow, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  ShowWindow(m_wndBar.hwnd(), SW_HIDE);
  return TRUE;
}

void CVyrTableWnd2_Adv3::LoadResources(HMODULE module, LPARAM) {
  LoadSkin(module, /*first_load=*/true);
  m_nSetupButtonsTop = m_metrics.m_nSetupButtonsTop;
  m_captionFont.Reset(CreateFontW(12, 6, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH, winkit::GbkToWide(kFontSong).c_str()));
  m_titleButtons.SetBackColor(m_clrTitleButtonsBack);
  LoadButtonImages();
  CreateGame();
}

void CVyrTableWnd2_Adv3::LoadFrameBitmaps(HMODULE module) {
  LoadSkin(module, /*first_load=*/false);
  m_nSetupButtonsTop = m_metrics.m_nSetupButtonsTop;
}

std::string CVyrTableWnd2_Adv3::ImageFolderOf(HMODULE module) {
  return winkit::Module::ProgramFolder() + "\\" + LoadResString(module, 147).substr(0, 31);
}

std::vector<std::string> CVyrTableWnd2_Adv3::StripPicturePaths(const std::string& folder) {
  std::vector<std::string> paths;
  for (const char* name : {"setup_gray.png", "setup_color.png", "icon_1.png", "icon_1_gray.png",
                           "icon_2.png", "icon_2_gray.png"})
    paths.push_back(folder + "\\" + name);
  return paths;
}

void CVyrTableWnd2_Adv3::LoadButtonImages() {
  const std::vector<std::string> p = StripPicturePaths(m_strImagePath);
  m_setupButtons.LoadImages(p[0].c_str(), p[1].c_str(), 4, 1);
  for (const char* tip : {kTipShop, kTipHelp, kTipSettings, kTipExit}) m_setupButtons.AddTip(tip);
  m_setupButtons.SetOwner(hwnd());
  EnableWindow(m_setupButtons.hwnd(), TRUE);
  ShowWindow(m_setupButtons.hwnd(), SW_SHOW);
  m_setupButtons.CreateTips();
  m_titleButtons.LoadImages(p[2].c_str(), p[3].c_str(), p[4].c_str(), p[5].c_str(), 3, 1);
}

void CVyrTableWnd2_Adv3::LayoutChildren(int x, int y, int w, int h) {
  const layout::PaneHeights ph = layout::PaneLayoutHeights(m_metrics, h);
  SetPaneLayout(ph.height, ph.listAndChat);
  layout::FrameInputs in;
  in.x = x, in.y = y, in.w = w, in.h = h;
  in.columnWidth = m_nColumnWidth;
  in.listHeight = m_nListHeight;
  in.chatHeight = m_nChatHeight;
  in.titleBandHeight = m_nTitleBandHeight;
  const SIZE setup = m_setupButtons.PictureSize();
  in.setupStrip = layout::Size{setup.cx, setup.cy};
  in.setupStripHasImage = setup.cx > 0;
  const SIZE title = m_titleButtons.PictureSize();
  in.titleStrip = layout::Size{title.cx, title.cy};
  RECT wr{};
  if (hwnd()) GetWindowRect(hwnd(), &wr);
  in.windowWidth = wr.right - wr.left;
  in.systemFrameWidth = GetSystemMetrics(SM_CXFRAME);
  m_rc = layout::LayoutFrame(m_metrics, in);
  m_rcTitleButtons = m_rc.titleButtons;
  if (HWND advert = m_advert.hwnd())
    SetWindowPos(advert, nullptr, m_rc.advert.left, m_rc.advert.top, m_rc.advert.Width(),
                 m_rc.advert.Height(), SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  MovePanes();
  RedrawFrame();
  // The whole frame is drawn afresh from the new layout at the next repaint, children too: the
  // frame's own erase clips them, and a pane moved without drawing (the advert) or a picture
  // showing the frame through its gaps (the setup strip) would otherwise keep what the screen
  // held there before.
  if (hwnd()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CVyrTableWnd2_Adv3::DrawFrame(HDC dc) {
  const layout::Rect c = ClientRect();
  m_outerFrame.Draw(dc, 0, 0, c.Width(), c.Height());
  // The caption band belongs to the frame's picture too, so that a repaint keeps it.
  DrawCaptionBand(dc);
  m_playFrame.Draw(dc, m_rc.play.left, m_rc.play.top, m_rc.play.Width(), m_rc.play.Height());
  const layout::Rect& f = m_rc.columnFrame;
  m_columnFrame.Draw(dc, f.left, f.top, f.Width(), f.Height());
  m_rc.chatTitle = layout::Rect{m_rc.list.left + m_metrics.m_nPaneInsetLeft, m_rc.chat.top,
                                m_rc.list.right - m_metrics.m_nPaneInsetRight,
                                m_rc.chat.top + m_nTitleBandHeight};
  m_rc.listTitle = layout::Rect{m_rc.chatTitle.left, m_rc.list.top, m_rc.chatTitle.right,
                                m_rc.list.top + m_nTitleBandHeight};
  m_titleBand.Draw(dc, m_rc.listTitle.left, m_rc.listTitle.top, m_rc.listTitle.Width());
  m_titleBand.Draw(dc, m_rc.chatTitle.left, m_rc.chatTitle.top, m_rc.chatTitle.Width());
  DrawCaptionText(dc);
  DrawCaptionIcons(dc);
  const layout::Rect& s = m_rc.setupButtons;
  SetWindowPos(m_setupButtons.hwnd(), nullptr, s.left, s.top, s.Width(), s.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(m_titleButtons.hwnd(), nullptr, m_rcTitleButtons.left, m_rcTitleButtons.top,
               m_rcTitleButtons.Width(), m_rcTitleButtons.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  DrawCaptionIcons(dc);
}

void CVyrTableWnd2_Adv3::DrawCaptionIcons(HDC) {
  HWND main = MainWindow();
  m_titleButtons.SetMaximized(main && (GetWindowLongW(main, GWL_STYLE) & WS_MAXIMIZE));
  if (m_titleButtons.hwnd())
    RedrawWindow(m_titleButtons.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CVyrTableWnd2_Adv3::DrawTitle() {
  if (!hwnd()) return;
  winkit::WindowDc dc(hwnd());
  if (!dc) return;
  const layout::Rect& f = m_rc.columnFrame;
  m_columnFrame.Draw(dc.Get(), f.left, f.top, f.Width(), f.Height());
  m_titleBand.Draw(dc.Get(), m_rc.listTitle.left, m_rc.listTitle.top, m_rc.listTitle.Width());
  m_titleBand.Draw(dc.Get(), m_rc.chatTitle.left, m_rc.chatTitle.top, m_rc.chatTitle.Width());
}

LRESULT CVyrTableWnd2_Adv3::OnSkinChange(UINT, WPARAM, LPARAM, bool&) {
  if (HMODULE module = ReloadSkin()) {
    LoadFrameBitmaps(module);
    DrawTable(module);
    RelayoutClient();
    PaintFrame();
  }
  return 0;
}

}  // namespace framework_window
