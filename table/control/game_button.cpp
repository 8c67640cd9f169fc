#include "game_button.h"

#include <commctrl.h>

namespace table_gdi {

CGameButtonEx::~CGameButtonEx() {
  if (m_hWnd) {
    m_hook.Detach();
    DestroyWindow(m_hWnd);
  }
}

bool CGameButtonEx::Create(HWND parent, int id, const std::wstring& text, bool visible) {
  m_nId = id;
  m_hWnd = CreateWindowExW(0, L"BUTTON", text.c_str(),
                           WS_CHILD | BS_OWNERDRAW | (visible ? WS_VISIBLE : 0), 0, 0, 10, 10,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!m_hWnd) return false;
  m_hook.Attach(m_hWnd);
  return true;
}

void CGameButtonEx::SetBkColor(COLORREF color) {
  m_hBkBrush.Reset(CreateSolidBrush(color));
  if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CGameButtonEx::SetIcons(HICON normal, HICON pressed, HICON hover, HICON disabled) {
  m_Icons[0] = normal;
  m_Icons[1] = pressed;
  m_Icons[2] = hover;
  m_Icons[3] = disabled;
}

void CGameButtonEx::SetBitmaps(HBITMAP normal, HBITMAP gray, int frames, int index) {
  m_hStrip = normal;
  m_hGrayStrip = gray;
  m_nFrames = frames > 0 ? frames : 1;
  m_nIndex = index;
}

void CGameButtonEx::SetCheck(bool on) {
  m_bChecked = on;
  if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CGameButtonEx::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  const bool disabled = (dis.itemState & ODS_DISABLED) != 0;
  const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
  const bool focus = (dis.itemState & ODS_FOCUS) != 0;
  const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);

  // Background: the parent's picture under the button, else the brush.
  if (m_hParentPicture) {
    RECT r;
    GetWindowRect(m_hWnd, &r);
    MapWindowPoints(nullptr, GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hParentPicture, r.left,
           r.top, SRCCOPY);
  } else {
    FillRect(dc, &rc, m_hBkBrush ? m_hBkBrush.Get() : GetSysColorBrush(COLOR_BTNFACE));
  }

  const bool hasIcon = m_Icons[0] != nullptr;
  const bool hasStrip = m_hStrip != nullptr;
  // Edge.
  if (m_bChecked) {
    DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
  } else if (m_bTracking && !disabled) {
    if (pressed) DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
    else if (!m_bHover && (style & BS_FLAT)) {
    } else {
      DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
    }
  }

  // Picture.
  if (hasIcon) {
    HICON icon = m_Icons[0];
    if (m_bHover) {
      if (pressed && m_Icons[1]) icon = m_Icons[1];
      else if (disabled && m_Icons[3]) icon = m_Icons[3];
      else if (m_Icons[2]) icon = m_Icons[2];
    }
    if (style & BS_ICON) {
      DrawIconEx(dc, rc.left, rc.top, icon, rc.right - rc.left, rc.bottom - rc.top, 0, nullptr,
                 DI_NORMAL);
    } else {
      const int x = rc.left + (rc.right - rc.left - 32) / 2;
      const int y = rc.top + (rc.bottom - rc.top - 32) / 3 - 5;
      DrawIconEx(dc, x, y, icon, 32, 32, 0, nullptr, DI_NORMAL);
    }
  } else if (hasStrip) {
    HBITMAP strip = (disabled && m_hGrayStrip) ? m_hGrayStrip : m_hStrip;
    BITMAP bm{};
    if (GetObjectW(strip, sizeof bm, &bm)) {
      const int fw = bm.bmWidth / m_nFrames;
      winkit::UniqueDc src(CreateCompatibleDC(dc));
      winkit::SelectedObject selected(src.Get(), strip);
      const int x = rc.left + (rc.right - rc.left - fw) / 2;
      const int y = rc.top + (rc.bottom - rc.top - bm.bmHeight) / 2;
      BitBlt(dc, x, y, fw, bm.bmHeight, src.Get(), fw * m_nIndex, 0, SRCCOPY);
    }
  }

  // Text.
  ::SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : m_TextColor);
  if (focus && !disabled) {
    RECT f = rc;
    InflateRect(&f, -3, -3);
    DrawFocusRect(dc, &f);
  }
  if (!hasIcon && !(style & BS_ICON)) {
    wchar_t text[64] = {};
    GetWindowTextW(m_hWnd, text, 64);
    if (text[0]) {
      SetBkMode(dc, TRANSPARENT);
      HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(m_hWnd), WM_GETFONT, 0, 0));
      winkit::SelectedObject selected(dc, font);  // none: the DC's own
      DrawTextW(dc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
}

LRESULT CGameButtonEx::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (!m_hWnd) return m_hook.Pass(msg, wp, lp);
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (m_hToolTip) {
        MSG m{m_hWnd, msg, wp, lp, 0, {}};
        SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
      }
      const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
      if (m_bTracking && (style & BS_FLAT) && !m_bHover) {
        m_bHover = true;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&t);
      }
      break;
    }
    case WM_MOUSELEAVE:
      m_bHover = false;
      InvalidateRect(m_hWnd, nullptr, FALSE);
      break;
    case WM_LBUTTONUP:
      if (m_bCheckMode) m_bChecked = !m_bChecked;
      else m_bChecked = false;
      break;
    case WM_KILLFOCUS:
      m_bHover = false;
      if (m_bClearOnCapture) m_bChecked = false;
      InvalidateRect(m_hWnd, nullptr, FALSE);
      break;
    case WM_DESTROY: {
      // The window goes (with its parent, say): the object no longer has it.
      const LRESULT r = m_hook.Pass(msg, wp, lp);
      m_hWnd = nullptr;
      return r;
    }
    default:
      break;
  }
  return m_hook.Pass(msg, wp, lp);
}

}  // namespace table_gdi
