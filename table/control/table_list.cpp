#include "table_list.h"

#include "gdi_plus.h"
#include "winkit/gbk.h"

namespace table_gdi {

namespace {

constexpr COLORREF kListGreen = RGB(0x19, 0x73, 0x19);  // 0x197319
constexpr int32_t kRow = table::kScoreRowHeight;
constexpr int32_t kHeader = table::kScoreHeaderHeight;

void FillColour(HDC dc, const RECT& r, COLORREF c) {
  const winkit::UniqueBrush b(CreateSolidBrush(c));
  FillRect(dc, &r, b.Get());
}

// A monochrome mask of a cap: white where it is magenta (see-through).
winkit::UniqueBitmap MaskOf(HDC dc, HBITMAP bitmap) {
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof bm, &bm)) return {};
  winkit::UniqueBitmap mask(CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr));
  {
    const winkit::UniqueDc src(CreateCompatibleDC(dc)), dst(CreateCompatibleDC(dc));
    const winkit::SelectedObject from(src.Get(), bitmap), to(dst.Get(), mask.Get());
    SetBkColor(src.Get(), RGB(255, 0, 255));
    BitBlt(dst.Get(), 0, 0, bm.bmWidth, bm.bmHeight, src.Get(), 0, 0, SRCCOPY);
  }
  return mask;
}

}  // namespace

CTableList::CTableList() : m_hPen(CreatePen(PS_SOLID, 1, RGB(0x48, 0x93, 0x3E))) {}

CTableList::~CTableList() = default;

bool CTableList::Create(HWND parent, int id) {
  const RECT r{0, 0, 10, 10};
  return winkit::Window::Create(L"KorvelTableList", L"", WS_CHILD | WS_VISIBLE, 0, r, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

void CTableList::Attach(winkit::UniqueBitmap left, winkit::UniqueBitmap middle,
                        winkit::UniqueBitmap right) {
  m_hLeft = std::move(left);
  m_hMiddle = std::move(middle);
  m_hRight = std::move(right);
  m_hLeftMask.Reset();
  m_hRightMask.Reset();
}

void CTableList::SetFanLines(std::vector<std::string> lines, COLORREF textColor) {
  m_FanLines = std::move(lines);
  m_FanColor = textColor;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void CTableList::DrawCap(HDC dc, HBITMAP cap, winkit::UniqueBitmap& mask, int x, int y) {
  BITMAP bm{};
  if (!cap || !GetObjectW(cap, sizeof bm, &bm)) return;
  if (!mask) mask = MaskOf(dc, cap);
  const winkit::UniqueDc src(CreateCompatibleDC(dc));
  const winkit::SelectedObject selected(src.Get(), cap);
  // The see-through colour keeps what is under the cap.
  MaskBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src.Get(), 0, 0, mask.Get(), 0, 0,
          MAKEROP4(0x00AA0029 /* keep */, SRCCOPY));
}

void CTableList::Paint(HDC dc, int W, int H) {
  FillColour(dc, {0, 0, W, kHeader}, kListGreen);
  FillColour(dc, {1, kHeader, W - 1, H}, kListGreen);
  FillColour(dc, {1, kHeader, W - 1, kHeader + kRow}, kListGreen);

  // Header: the middle stretched between the caps, the caps over its ends.
  BITMAP l{}, m{}, r{};
  if (m_hLeft) GetObjectW(m_hLeft.Get(), sizeof l, &l);
  if (m_hRight) GetObjectW(m_hRight.Get(), sizeof r, &r);
  if (m_hMiddle && GetObjectW(m_hMiddle.Get(), sizeof m, &m)) {
    const winkit::UniqueDc src(CreateCompatibleDC(dc));
    const winkit::SelectedObject selected(src.Get(), m_hMiddle.Get());
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, l.bmWidth, kHeader - m.bmHeight, W - l.bmWidth - r.bmWidth, m.bmHeight,
               src.Get(), 0, 0, m.bmWidth, m.bmHeight, SRCCOPY);
  }
  DrawCap(dc, m_hLeft.Get(), m_hLeftMask, 0, kHeader - l.bmHeight);
  DrawCap(dc, m_hRight.Get(), m_hRightMask, W - r.bmWidth, kHeader - r.bmHeight);

  if (!m_pList) return;
  const winkit::SelectedObject font(dc, m_hFont);  // none: the DC's own
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  const auto& columns = m_pList->Columns();
  int x = 0;
  for (const auto& c : columns) {
    RECT cell{x, 0, x + c.width, kHeader};
    const std::wstring t = winkit::GbkToWide(c.caption);
    DrawTextW(dc, t.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    x += c.width;
  }
  const size_t rows = m_pList->Rows().size();
  {
    const winkit::SelectedObject pen(dc, m_hPen.Get());
    x = 0;
    for (size_t i = 0; i + 1 < columns.size(); ++i) {
      x += columns[i].width;
      MoveToEx(dc, x, kHeader, nullptr);
      LineTo(dc, x, kHeader + 3 * kRow);
    }
    for (size_t i = 0; i < rows + 2; ++i) {
      const int y = kHeader + static_cast<int>(i) * kRow;
      MoveToEx(dc, 0, y, nullptr);
      LineTo(dc, W, y);
    }
  }
  for (size_t row = 0; row < rows; ++row) {
    const int top = kHeader + kRow * static_cast<int>(row + 1);
    x = 0;
    for (size_t col = 0; col < columns.size(); ++col) {
      RECT cell{x, top, x + columns[col].width, top + kRow};
      const std::wstring t = winkit::GbkToWide(m_pList->CellText(row, col));
      DrawTextW(dc, t.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      x += columns[col].width;
    }
  }

  // The fan panel under the rows.
  uint16_t lw = 0, lh = 0;
  m_pList->GetListSize(lw, lh);
  RECT line{5, lh + 5, lw + 5, lh + 5};
  SetTextColor(dc, m_FanColor);
  for (const auto& text : m_FanLines) {
    const std::wstring t = winkit::GbkToWide(text);
    RECT measure{0, 0, lw, 20};
    DrawTextExW(dc, const_cast<wchar_t*>(t.c_str()), -1, &measure,
                DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_EDITCONTROL, nullptr);
    line.bottom = line.top + (measure.bottom - measure.top);
    DrawTextExW(dc, const_cast<wchar_t*>(t.c_str()), -1, &line,
                DT_SINGLELINE | DT_NOCLIP | DT_EDITCONTROL, nullptr);
    line.top = line.bottom;
  }
}

LRESULT CTableList::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    const winkit::PaintDc dc(hwnd());
    RECT rc;
    GetClientRect(hwnd(), &rc);
    Paint(dc.Get(), rc.right, rc.bottom);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return winkit::Window::HandleMessage(msg, wp, lp);
}

}  // namespace table_gdi
