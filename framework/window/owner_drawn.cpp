#include "owner_drawn.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "window_texts.h"
#include "winkit/gbk.h"

namespace framework_window {

namespace {

constexpr LONG kFlatStyle = 0x8000;  // BS_FLAT
constexpr LONG kIconStyle = 0x40;    // BS_ICON
constexpr wchar_t kGameButtonProp[] = L"KorvelGameButton";

void TrackLeave(HWND hwnd) {
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
  TrackMouseEvent(&tme);
}

bool PointerOver(HWND hwnd, LPARAM lp) {
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(hwnd, &p);
  return WindowFromPoint(p) == hwnd;
}

void FillRectColour(HDC dc, const RECT& r, COLORREF c) {
  const COLORREF old = SetBkColor(dc, c);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

// A 3-D rectangle outline: top and left in one colour, bottom and right in the other.
void Draw3dRect(HDC dc, int x, int y, int w, int h, COLORREF top_left, COLORREF bottom_right) {
  FillRectColour(dc, RECT{x, y, x + w - 1, y + 1}, top_left);
  FillRectColour(dc, RECT{x, y, x + 1, y + h - 1}, top_left);
  FillRectColour(dc, RECT{x + w - 1, y, x + w, y + h}, bottom_right);
  FillRectColour(dc, RECT{x, y + h - 1, x + w, y + h}, bottom_right);
}

}  // namespace

// --- CImageButton -------------------------------------------------------------------------

void CImageButton::SetImages(const char* normal, const char* disabled) {
  m_normal = LoadPicture(normal);
  m_disabled = LoadPicture(disabled);
}

void CImageButton::SetImages(const char* normal, const char* disabled, const char* hover) {
  SetImages(normal, disabled);
  m_hover = LoadPicture(hover);
}

LRESULT CImageButton::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  Gdiplus::Bitmap* picture = m_normal.get();
  if (!IsWindowEnabled(hwnd()))
    picture = m_disabled.get();
  else if (m_bHoverEnabled && m_bHovering && m_hover)
    picture = m_hover.get();
  if (picture) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    Gdiplus::Graphics g(reinterpret_cast<HDC>(wp));
    const Gdiplus::Point corners[3] = {{0, 0}, {client.right, 0}, {0, client.bottom}};
    g.DrawImage(picture, corners, 3);
  }
  return 1;
}

LRESULT CImageButton::OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  if (!m_bHoverEnabled || !(GetWindowLongW(hwnd(), GWL_STYLE) & kFlatStyle)) return r;
  if ((wp & MK_LBUTTON) && !m_bHovering) return r;
  if (PointerOver(hwnd(), lp) && GetActiveWindow() && !m_bHovering) {
    m_bHovering = true;
    InvalidateRect(hwnd(), nullptr, TRUE);
    TrackLeave(hwnd());
  }
  return r;
}

LRESULT CImageButton::OnMouseLeave(UINT, WPARAM, LPARAM, bool& handled) {
  if (!m_bHoverEnabled || !(GetWindowLongW(hwnd(), GWL_STYLE) & kFlatStyle)) {
    handled = false;
    return 0;
  }
  m_bHovering = false;
  InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

LRESULT CImageButton::OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  m_bHovering = false;
  return Default(msg, wp, lp);
}

// --- CGameButton --------------------------------------------------------------------------

CGameButton::CGameButton() : m_crBack(GetSysColor(COLOR_BTNFACE)) {}

CGameButton::~CGameButton() {
  if (hwnd()) RemovePropW(hwnd(), kGameButtonProp);
}

bool CGameButton::Attach(HWND button) {
  if (hwnd()) RemovePropW(hwnd(), kGameButtonProp);
  if (!winkit::SubclassedWindow::Attach(button)) return false;
  SetPropW(button, kGameButtonProp, reinterpret_cast<HANDLE>(1));
  return true;
}

bool CGameButton::IsGameButton(HWND hwnd) {
  return hwnd && GetPropW(hwnd, kGameButtonProp) != nullptr;
}

void CGameButton::SetColors(COLORREF background, COLORREF text) {
  m_ownBrush.Reset(CreateSolidBrush(background));
  m_crBack = background;
  m_crText = text;
}

void CGameButton::SetCheckMode(bool toggles, bool exclusive) {
  m_bToggles = toggles;
  m_bExclusive = exclusive;
}

void CGameButton::DrawItem(const DRAWITEMSTRUCT* item) {
  if (!item) return;
  if (hwnd()) {
    const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    m_bFlat = (style & kFlatStyle) != 0;
    m_bTransparent = (GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    m_bIcon = (style & kIconStyle) != 0;
    m_bToggles = true;
  }
  char text[256] = {};
  if (hwnd()) GetWindowTextA(hwnd(), text, sizeof text);
  HDC dc = item->hDC;
  RECT rc = item->rcItem;
  FillRect(dc, &rc, m_ownBrush ? m_ownBrush.Get() : GetSysColorBrush(COLOR_BTNFACE));
  const COLORREF old_text = SetTextColor(dc, m_crText);
  SetBkMode(dc, TRANSPARENT);
  if (m_bChecked) {
    RECT focus{rc.left, rc.top, rc.left + 18, rc.top + 18};
    DrawFocusRect(dc, &focus);
    char line[300];
    std::snprintf(line, sizeof line, kCheckedFormat, text);
    DrawTextW(dc, winkit::GbkToWide(line).c_str(), -1, &rc, DT_SINGLELINE | DT_CENTER | DT_BOTTOM);
  } else {
    RECT focus{rc.left, rc.top, rc.left + 15, rc.top + 15};
    DrawFocusRect(dc, &focus);
    DrawTextW(dc, winkit::GbkToWide(text).c_str(), -1, &rc, DT_SINGLELINE | DT_RIGHT);
  }
  SetTextColor(dc, old_text);
  SetBkMode(dc, OPAQUE);
}

LRESULT CGameButton::OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  const bool flat_style = (GetWindowLongW(hwnd(), GWL_STYLE) & kFlatStyle) != 0;
  if (!m_bHoverEnabled || !m_bFlat || !flat_style) return r;
  if ((wp & MK_LBUTTON) && !m_bHovering) return r;
  if (PointerOver(hwnd(), lp) && GetActiveWindow() && !m_bHovering) {
    m_bHovering = true;
    InvalidateRect(hwnd(), nullptr, TRUE);
    TrackLeave(hwnd());
  }
  return r;
}

LRESULT CGameButton::OnMouseLeave(UINT, WPARAM, LPARAM, bool& handled) {
  if (!m_bHoverEnabled || !m_bFlat) {
    handled = false;
    return 0;
  }
  m_bHovering = false;
  InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

LRESULT CGameButton::OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  m_bHovering = false;
  if (!IsGameButton(reinterpret_cast<HWND>(wp))) return 0;
  if (m_bExclusive) m_bChecked = false;
  const LRESULT r = Default(msg, wp, lp);
  InvalidateRect(hwnd(), nullptr, TRUE);
  return r;
}

LRESULT CGameButton::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  m_bChecked = m_bToggles && !m_bChecked;
  return Default(msg, wp, lp);
}

LRESULT CGameButton::OnLButtonUp(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  if (!m_bToggles) m_bChecked = false;
  InvalidateRect(hwnd(), nullptr, TRUE);
  return Default(msg, wp, lp);
}

// --- CGameMenu ----------------------------------------------------------------------------

CGameMenu::CGameMenu()
    : m_bkBrush(CreateSolidBrush(0x008000)),
      m_hlBrush(GetSysColorBrush(COLOR_HIGHLIGHT)),
      m_font(CreateFontW(12, 6, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                         winkit::GbkToWide(kFontSong).c_str())) {}

CGameMenu::~CGameMenu() = default;

void CGameMenu::SetBkBitmap(HBITMAP bitmap) {
  if (!bitmap) return;
  HBRUSH pattern = CreatePatternBrush(bitmap);
  if (pattern) m_bkBrush.Reset(pattern);
}

const char* CGameMenu::ItemText(ULONG_PTR item_data) {
  return item_data ? reinterpret_cast<const std::string*>(item_data)->c_str() : "";
}

void CGameMenu::MakeOwnerDraw(HMENU menu) {
  if (menu != m_menu.Get()) {
    m_menu.Reset(menu);
    m_texts.clear();
  }
  if (!menu) return;
  OwnerDrawItems(menu);
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i)
    if (HMENU sub = GetSubMenu(menu, i)) OwnerDrawItems(sub);
}

void CGameMenu::OwnerDrawItems(HMENU menu) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_OWNERDRAW) continue;
    wchar_t text[257] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    m_texts.emplace_back(winkit::WideToGbk(text));
    MENUITEMINFOA owner{};
    owner.cbSize = sizeof owner;
    owner.fMask = MIIM_FTYPE | MIIM_DATA;
    owner.fType = MFT_OWNERDRAW | (info.fType & (MFT_SEPARATOR | MFT_RADIOCHECK));
    owner.dwItemData = reinterpret_cast<ULONG_PTR>(&m_texts.back());
    SetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &owner);
  }
}

void CGameMenu::MeasureItem(MEASUREITEMSTRUCT* item) const {
  if (!item) return;
  item->itemWidth = static_cast<UINT>(std::max<int16_t>(m_nItemWidth, 0));
  item->itemHeight = item->itemID == 0 ? 10 : static_cast<UINT>(std::max<int16_t>(m_nItemHeight, 0));
}

void CGameMenu::DrawItem(const DRAWITEMSTRUCT* item) const {
  if (!item) return;
  HDC dc = item->hDC;
  RECT rc = item->rcItem;
  if (item->itemID == 0) {
    FillRect(dc, &rc, m_bkBrush.Get());
    const int mid = (rc.top + rc.bottom) / 2 - 1;
    Draw3dRect(dc, rc.left + 2, mid, rc.right - rc.left - 4, 2, 0x800040, 0xFFFFFF);
    return;
  }
  COLORREF colour = GetSysColor(COLOR_MENUTEXT);
  if (item->itemState & ODS_GRAYED) {
    FillRect(dc, &rc, m_bkBrush.Get());
    colour = GetSysColor(COLOR_GRAYTEXT);
  } else {
    if (item->itemAction & ODA_DRAWENTIRE) FillRect(dc, &rc, m_bkBrush.Get());
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    if (selected && (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
      FillRect(dc, &rc, m_hlBrush);
      colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (!selected && (item->itemAction & ODA_SELECT)) {
      FillRect(dc, &rc, m_bkBrush.Get());
    }
  }
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = SetTextColor(dc, colour);
  winkit::SelectedObject font(dc, m_font.Get());
  RECT text = rc;
  if (item->itemState & ODS_CHECKED) {
    RECT mark{rc.left, rc.top, rc.left + 20, rc.bottom};
    DrawTextW(dc, winkit::GbkToWide(kCheckMark).c_str(), -1, &mark, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    text.left += 20;
  } else {
    text.left += 10;
  }
  // One line: a row ending in a line break (the person menu's rows do) shows no glyph for it.
  const char* label = ItemText(item->itemData);
  DrawTextW(dc, winkit::GbkToWide(std::string_view(label, std::strcspn(label, "\r\n"))).c_str(),
            -1, &text, DT_SINGLELINE | DT_VCENTER);
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
}

bool CGameMenu::OwnsItem(ULONG_PTR item_data) const {
  for (const std::string& text : m_texts)
    if (reinterpret_cast<ULONG_PTR>(&text) == item_data) return true;
  return false;
}

namespace {

// The menu's owner while the menu is tracked: its measuring and drawing of the menu's items
// are answered by the menu, the rest goes on.
class MenuOwnerHook : public winkit::SubclassedWindow {
 public:
  explicit MenuOwnerHook(const CGameMenu& menu) : menu_(menu) {}

 protected:
  bool ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM lp, LRESULT& result) override {
    if (msg == WM_MEASUREITEM) {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (item && item->CtlType == ODT_MENU && menu_.OwnsItem(item->itemData)) {
        menu_.MeasureItem(item);
        result = TRUE;
        return true;
      }
    } else if (msg == WM_DRAWITEM) {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item && item->CtlType == ODT_MENU && menu_.OwnsItem(item->itemData)) {
        menu_.DrawItem(item);
        result = TRUE;
        return true;
      }
    }
    return false;
  }

 private:
  const CGameMenu& menu_;
};

}  // namespace

UINT CGameMenu::Track(HWND owner, POINT at, UINT flags) {
  if (!m_menu || !owner) return 0;
  MenuOwnerHook hook(*this);
  hook.Attach(owner);
  return static_cast<UINT>(TrackPopupMenu(m_menu.Get(), flags, at.x, at.y, 0, owner, nullptr));
}

}  // namespace framework_window
