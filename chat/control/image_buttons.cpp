#include "image_buttons.h"

#include <commctrl.h>

#include <algorithm>

#include "chat_platform.h"
#include "chat_texts.h"
#include "winkit/handle.h"

namespace parley {

void CButtonCommand::OnClick(int id, int state) {
  if (m_owner) PostMessageW(m_owner, kClickMessage, static_cast<WPARAM>(id), static_cast<LPARAM>(state));
}

CBitmapViewer::CBitmapViewer() {
  m_font.Reset(CreateFontW(12, 6, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           Wide(kTextSongTi).c_str()));
}

CBitmapViewer::~CBitmapViewer() {
  if (hwnd()) KillTimer(hwnd(), 1);
  for (auto& [index, image] : m_frames) {
    if (m_kind == kBitmap) DeleteObject(image);
    else DestroyIcon(static_cast<HICON>(image));
  }
  if (m_tooltip) DestroyWindow(m_tooltip);
}

bool CBitmapViewer::Attach(HWND window) {
  if (!SubclassedWindow::Attach(window)) return false;
  SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | SS_NOTIFY);
  return true;
}

void CBitmapViewer::AddFrame(HANDLE image) {
  m_frames[static_cast<int16_t>(m_frames.size())] = image;
  m_state.SetFrameCount(static_cast<int>(m_frames.size()));
}

void CBitmapViewer::SetTooltip(const std::wstring& text) {
  if (text.empty() || !hwnd()) return;
  m_tip = text;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(hwnd());
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
  tool.lpszText = m_tip.data();
  if (!m_tooltip) {
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                nullptr, nullptr, nullptr);
    if (!m_tooltip) return;
    SetWindowPos(m_tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CBitmapViewer::EnableTimer(bool on) {
  if (!hwnd()) return;
  if (on) SetTimer(hwnd(), 1, chat::ImageButtonState::kTimerPeriodMs, nullptr);
  else KillTimer(hwnd(), 1);
}

void CBitmapViewer::Apply(const chat::ImageButtonState::Effect& e, UINT msg, WPARAM wp, LPARAM lp) {
  if (e.relayToTooltip && m_tooltip) {
    MSG relay{hwnd(), msg, wp, lp, 0, {}};
    SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  if (e.trackLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
    TrackMouseEvent(&track);
  }
  if (e.startTimer) EnableTimer(true);
  if (e.invalidate) InvalidateRect(hwnd(), nullptr, FALSE);
  if (e.click && m_listener) m_listener->OnClick(m_id, m_state.latched ? 1 : 0);
}

LRESULT CBitmapViewer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE: Apply(m_state.OnMouseMove(), msg, wp, lp); return 0;
    case WM_LBUTTONDOWN: Apply(m_state.OnLButtonDown(), msg, wp, lp); return 0;
    case WM_LBUTTONUP: Apply(m_state.OnLButtonUp(), msg, wp, lp); return 0;
    case WM_MOUSELEAVE: Apply(m_state.OnMouseLeave(), msg, wp, lp); return 0;
    case WM_TIMER:
      if (wp == 1) {
        Apply(m_state.OnTimer(), msg, wp, lp);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const winkit::PaintDc paint(hwnd());
      Paint(paint.Get());
      return 0;
    }
  }
  return SubclassedWindow::HandleMessage(msg, wp, lp);
}

void CBitmapViewer::Paint(HDC dc) {
  RECT r{};
  GetClientRect(hwnd(), &r);
  if (m_fillBack) {
    const winkit::UniqueBrush brush(CreateSolidBrush(m_backColor));
    FillRect(dc, &r, brush.Get());
  }
  auto it = m_frames.find(static_cast<int16_t>(m_state.Frame()));
  if (it != m_frames.end() && it->second) {
    if (m_kind == kBitmap) {
      BITMAP bm{};
      GetObjectW(it->second, sizeof bm, &bm);
      const winkit::UniqueDc source(CreateCompatibleDC(dc));
      const winkit::SelectedObject selected(source.Get(), it->second);
      DrawTransparent(dc, 0, 0, r.right, r.bottom, source.Get(), 0, 0, bm.bmWidth, bm.bmHeight,
                      GetPixel(source.Get(), 0, 0));
    } else {
      ICONINFO info{};
      int w = 16;
      if (GetIconInfo(static_cast<HICON>(it->second), &info)) {
        const winkit::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        if (colour && GetObjectW(colour.Get(), sizeof bm, &bm)) w = bm.bmWidth;
      }
      DrawIconEx(dc, (r.right - w) / 2, 2, static_cast<HICON>(it->second), 0, 0, 0, nullptr, DI_NORMAL);
    }
  }
  if (!m_caption.empty()) {
    const bool latched_listener = m_state.latched && m_listener;
    const COLORREF colour = latched_listener      ? m_hoverTextColor
                            : !m_state.hoverFrames ? chat::ImageButtonState::kPlainTextColor
                            : m_state.tracked      ? m_hoverTextColor
                                                   : m_textColor;
    const winkit::SelectedObject selected(dc, m_font.Get());
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    DrawTextW(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT PictureButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      PostMessageW(GetParent(hwnd()), msg, static_cast<WPARAM>(m_id), 0);
      return 0;
    case WM_MOUSEMOVE:
      if (m_tooltip) {
        MSG relay{hwnd(), WM_MOUSEMOVE, wp, lp, 0, {}};
        SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
      }
      if (m_hover == 0) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
        if (TrackMouseEvent(&track)) m_hover = 1;
        InvalidateRect(hwnd(), nullptr, TRUE);
      }
      break;
    case WM_MOUSELEAVE:
      m_hover = 0;
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_PAINT:
      if (m_picture) {
        const winkit::PaintDc paint(hwnd());
        const HDC dc = paint.Get();
        RECT r{};
        GetClientRect(hwnd(), &r);
        BITMAP bm{};
        GetObjectW(m_picture, sizeof bm, &bm);
        {
          const winkit::UniqueDc source(CreateCompatibleDC(dc));
          const winkit::SelectedObject selected(source.Get(), m_picture);
          StretchBlt(dc, 0, 0, r.right, r.bottom, source.Get(), 0, 0, bm.bmWidth, bm.bmHeight,
                     SRCCOPY);
        }
        if (m_hover == 1) {
          // A raised frame: light top-left, dark bottom-right.
          const winkit::UniquePen light(CreatePen(PS_SOLID, 1, 0xC8FFFF));
          const winkit::UniquePen dark(CreatePen(PS_SOLID, 1, 0x646464));
          winkit::SelectedObject pen(dc, light.Get());
          MoveToEx(dc, 0, r.bottom - 1, nullptr);
          LineTo(dc, 0, 0);
          LineTo(dc, r.right - 1, 0);
          pen.Select(dark.Get());
          LineTo(dc, r.right - 1, r.bottom - 1);
          LineTo(dc, -1, r.bottom - 1);
        }
        return 0;
      }
      break;
    case WM_DESTROY:
      break;
  }
  return SubclassedWindow::HandleMessage(msg, wp, lp);
}

bool DrawTransparent(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                     int swidth, int sheight, COLORREF transparent) {
  if (width < 1 || height < 1 || swidth < 1 || sheight < 1) return false;
  const winkit::UniqueDc image_dc(CreateCompatibleDC(dest));
  const winkit::UniqueDc mask_dc(CreateCompatibleDC(dest));
  const winkit::UniqueBitmap imageBitmap(CreateCompatibleBitmap(dest, swidth, sheight));
  const winkit::UniqueBitmap maskBitmap(CreateBitmap(swidth, sheight, 1, 1, nullptr));
  const bool ok = image_dc && mask_dc && imageBitmap && maskBitmap;
  if (ok) {
    const HDC image = image_dc.Get(), mask = mask_dc.Get();
    const winkit::SelectedObject imageSelected(image, imageBitmap.Get());
    const winkit::SelectedObject maskSelected(mask, maskBitmap.Get());
    BitBlt(image, 0, 0, swidth, sheight, source, sx, sy, SRCCOPY);
    // The mask: white where the transparent colour is.
    SetBkColor(image, transparent);
    BitBlt(mask, 0, 0, swidth, sheight, image, 0, 0, SRCCOPY);
    // The image: black where it is transparent, so OR leaves the destination there.
    SetBkColor(image, RGB(0, 0, 0));
    SetTextColor(image, RGB(255, 255, 255));
    BitBlt(image, 0, 0, swidth, sheight, mask, 0, 0, SRCAND);
    const int oldMode = SetStretchBltMode(dest, HALFTONE);
    SetBrushOrgEx(dest, 0, 0, nullptr);
    const COLORREF oldBack = SetBkColor(dest, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dest, RGB(0, 0, 0));
    StretchBlt(dest, x, y, width, height, mask, 0, 0, swidth, sheight, SRCAND);
    StretchBlt(dest, x, y, width, height, image, 0, 0, swidth, sheight, SRCPAINT);
    SetBkColor(dest, oldBack);
    SetTextColor(dest, oldText);
    SetStretchBltMode(dest, oldMode);
  }
  return ok;
}

bool DrawSkinFrame(HWND window, const RECT& dest, HBITMAP bitmap, const RECT* source,
                   const RECT* inner, bool /*unused*/, bool fill_centre) {
  if (!window || !bitmap) return false;
  const winkit::WindowDc dc(window);
  return dc && DrawSkinFrame(dc.Get(), dest, bitmap, source, inner, fill_centre);
}

bool DrawSkinFrame(HDC dc, const RECT& dest, HBITMAP bitmap, const RECT* source,
                   const RECT* inner, bool fill_centre) {
  if (!dc || !bitmap) return false;
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof bm, &bm)) return false;
  const RECT src = source ? *source : RECT{0, 0, bm.bmWidth, bm.bmHeight};
  const int sw = src.right - src.left, sh = src.bottom - src.top;
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  if (sw < 1 || sh < 1 || dw < 1 || dh < 1) return false;
  // Corner sizes: the inner rectangle's margins, or half the source.
  const int cl = inner ? inner->left - src.left : sw / 2, ct = inner ? inner->top - src.top : sh / 2;
  const int cr = inner ? src.right - inner->right : sw - sw / 2;
  const int cb = inner ? src.bottom - inner->bottom : sh - sh / 2;
  // Edge and centre tiles: a sixth of the bitmap, from the middle of the source.
  const int tw = std::max<int>(1, bm.bmWidth / 6), th = std::max<int>(1, bm.bmHeight / 6);
  const int tx = src.left + (sw - tw) / 2, ty = src.top + (sh - th) / 2;
  winkit::UniqueDc picture(CreateCompatibleDC(dc));
  HDC memory = picture.Get();
  winkit::SelectedObject keep(memory, bitmap);
  auto tile = [&](int x0, int y0, int x1, int y1, int sx, int sy, int w, int h) {
    for (int y = y0; y < y1; y += h)
      for (int x = x0; x < x1; x += w)
        BitBlt(dc, x, y, std::min(w, x1 - x), std::min(h, y1 - y), memory, sx, sy, SRCCOPY);
  };
  const int l = dest.left, t = dest.top, r = dest.right, b = dest.bottom;
  if (fill_centre) tile(l + cl, t + ct, r - cr, b - cb, tx, ty, tw, th);
  tile(l + cl, t, r - cr, t + ct, tx, src.top, tw, ct);            // top edge
  tile(l + cl, b - cb, r - cr, b, tx, src.bottom - cb, tw, cb);    // bottom edge
  tile(l, t + ct, l + cl, b - cb, src.left, ty, cl, th);           // left edge
  tile(r - cr, t + ct, r, b - cb, src.right - cr, ty, cr, th);     // right edge
  BitBlt(dc, l, t, cl, ct, memory, src.left, src.top, SRCCOPY);
  BitBlt(dc, r - cr, t, cr, ct, memory, src.right - cr, src.top, SRCCOPY);
  BitBlt(dc, l, b - cb, cl, cb, memory, src.left, src.bottom - cb, SRCCOPY);
  BitBlt(dc, r - cr, b - cb, cr, cb, memory, src.right - cr, src.bottom - cb, SRCCOPY);
  return true;
}

}  // namespace parley
