// CTableList: the score list window over the table's centre: a header from three bitmaps, one
// row per player, and the fan panel's lines under the rows.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "score_list.h"
#include "winkit/handle.h"
#include "winkit/window.h"

namespace table_gdi {

class CTableList : public winkit::Window {
 public:
  CTableList();
  ~CTableList() override;

  bool Create(HWND parent, int id);
  // The three header bitmaps (left cap, middle, right cap); the list takes them over.
  void Attach(winkit::UniqueBitmap left, winkit::UniqueBitmap middle, winkit::UniqueBitmap right);
  void SetFont(HFONT font) { m_hFont = font; }
  void SetContents(const table::ScoreListCore* list) { m_pList = list; }
  void SetFanLines(std::vector<std::string> lines, COLORREF textColor);
  // Paints the whole list into a DC (the paint handler; tests).
  void Paint(HDC dc, int width, int height);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // A cap drawn over the header, its magenta see-through; the mask is made on the first draw.
  void DrawCap(HDC dc, HBITMAP cap, winkit::UniqueBitmap& mask, int x, int y);

  const table::ScoreListCore* m_pList = nullptr;
  std::vector<std::string> m_FanLines;
  COLORREF m_FanColor = 0xFFFFFF;
  HFONT m_hFont = nullptr;  // the table's, not owned
  winkit::UniquePen m_hPen;
  winkit::UniqueBitmap m_hLeft, m_hMiddle, m_hRight;
  winkit::UniqueBitmap m_hLeftMask, m_hRightMask;
};

}  // namespace table_gdi
