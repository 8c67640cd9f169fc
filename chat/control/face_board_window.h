// The face board: a popup grid of the faces from which the player picks one. A pick posts
// WM_LBUTTONUP to the owner with the face's id as wParam and 0 as lParam; any click, a right
// click or losing the mouse capture closes the board. The drawing is kept after the first paint.
#pragma once
#include <windows.h>

#include <vector>

#include "face_board.h"
#include "winkit/handle.h"

namespace parley {

class FaceBoardWindow {
 public:
  explicit FaceBoardWindow(HWND owner);
  ~FaceBoardWindow();
  FaceBoardWindow(const FaceBoardWindow&) = delete;
  FaceBoardWindow& operator=(const FaceBoardWindow&) = delete;

  // Shows the board with its top-left corner at (x, y) on the screen, or hides it.
  void Show(bool show, int x = 0, int y = 0);
  bool Visible() const { return m_hwnd && IsWindowVisible(m_hwnd); }
  HWND hwnd() const { return m_hwnd; }
  static int Width() { return chat::BoardMetrics::kWidth; }
  static int Height() { return chat::BoardMetrics::kHeight; }

  // True (once) when the owner's WM_LBUTTONUP with this wParam is the board's pick.
  bool TakePick(WPARAM id);

  static constexpr wchar_t kClassName[] = L"KorvelFaceBoard";

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  void Close();

  HWND m_owner;
  HWND m_hwnd = nullptr;
  // The bitmap outlives the DC it is selected into.
  winkit::UniqueBitmap m_cacheBitmap;
  winkit::UniqueDc m_cache;
  HGDIOBJ m_cacheOld = nullptr;
  std::vector<chat::BoardRect> m_cells;
  std::vector<int32_t> m_ids;
  chat::FaceBoardHover m_hover;
  bool m_pickPending = false;
  WPARAM m_pick = 0;
};

}  // namespace parley
