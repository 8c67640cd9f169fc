// Skin frames and bands drawn from bitmap resources, the bar shown while a pane boundary is
// dragged, the paged picture grid of the magic-action picker, and reading a string resource.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "bitmap_plans.h"
#include "image_buttons.h"
#include "preview_pages.h"
#include "winkit/handle.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

namespace framework_window {

// String `id` of `module` (at most 255 characters); empty when missing.
void LoadResString(HMODULE module, UINT id, std::string& out);
std::string LoadResString(HMODULE module, UINT id);
// Bitmap `name` of `module` as a DIB section; null when missing.
HBITMAP LoadSkinBitmap(HMODULE module, const char* name);
// Size of a bitmap; 0 x 0 for none.
layout::Size BitmapSize(HBITMAP bitmap);

// Eight border pieces round a filled interior, and an optional ornament on the top edge.
class NinePartFrame {
 public:
  // Pieces by resource name, in the order top-left, top-right, bottom-left, bottom-right, left
  // edge, top edge, right edge, bottom edge; an ornament name replaces the ornament.
  void Load(HMODULE module, const char* top_left, const char* top_right, const char* bottom_left,
            const char* bottom_right, const char* left, const char* top, const char* right,
            const char* bottom, const char* ornament = nullptr);
  void SetFillColour(COLORREF colour) { m_crFill = colour; }
  // Nothing is drawn when a piece is missing.
  void Draw(HDC dc, int x, int y, int w, int h) const;
  // The part (x, y, w, h) of the frame drawn at (fx, fy) with size (fw, fh), copied from a
  // rendering cached per frame size.
  void DrawClipped(HDC dc, int fx, int fy, int fw, int fh, int x, int y, int w, int h);
  bool Complete() const;
  void Free();

 private:
  enum { kTopLeft, kTopRight, kBottomLeft, kBottomRight, kTop, kLeft, kRight, kBottom, kCount };
  HBITMAP PieceOf(layout::Piece p) const;
  winkit::UniqueBitmap m_pieces[kCount];
  winkit::UniqueBitmap m_ornament;
  winkit::UniqueBitmap m_cache;
  int16_t m_nCacheWidth = 0, m_nCacheHeight = 0;
  COLORREF m_crFill = 0;
};

// A left piece, a tiled middle piece and a right piece.
class ThreePartStrip {
 public:
  void Load(HMODULE module, const char* left, const char* middle, const char* right);
  void Draw(HDC dc, int x, int y, int w) const;
  void DrawTiledCaption(HDC dc, int x, int y, int w) const;
  void DrawStretchedCaption(HDC dc, int x, int y, int w, int h) const;
  layout::Size LeftSize() const { return BitmapSize(m_left.Get()); }
  void Free();

 private:
  void Run(HDC dc, const std::vector<layout::Blit>& blits) const;
  winkit::UniqueBitmap m_left, m_middle, m_right;
};

// Carries out copies of pieces (a stretch where the sizes differ) through one memory DC.
void DrawBlits(HDC dc, const std::vector<layout::Blit>& blits,
               HBITMAP (*piece)(const void* owner, layout::Piece), const void* owner);

// The bar shown over a pane boundary while it is dragged.
class CSplitter_Wnd : public winkit::Window {
 public:
  HWND Create(HWND parent, UINT id, DWORD style);
  void SetBrush(HBRUSH brush) { m_pBrush = brush; }  // owned elsewhere

  BEGIN_MSG_MAP(CSplitter_Wnd)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  HBRUSH m_pBrush = nullptr;
};

// One picture of the picker's catalogue: its name (the tip) and its preview picture.
struct PreviewItem {
  std::string name;
  std::string picture;  // ANSI path; empty: no picture
};

// The picker's paged grid of pictures; a click reports the item to the owner (0x466).
class CImage_Preview : public winkit::Window {
 public:
  ~CImage_Preview() override;
  HWND Create(HWND parent, UINT id, const RECT& rect, DWORD style = WS_CHILD | WS_VISIBLE);
  // `items` is not owned and must outlive the grid.
  void SetItems(const std::vector<PreviewItem>* items, const RECT& rect, int16_t cell_w,
                int16_t cell_h);
  void ShowPage();
  bool PrevPage();
  bool NextPage();
  void SetBackground(const char* path);
  void SetOwner(HWND owner) { m_hOwner = owner; }
  virtual void OnButtonClick(int16_t index);

  const layout::PreviewPages& Pages() const { return m_pages; }
  int32_t HoverItem() const { return m_nHover; }
  size_t LoadedPictures() const { return m_pictures.size(); }
  HWND ToolTip() const { return m_hTip; }

  static constexpr UINT kMsgItemChosen = 0x466;

 protected:
  BEGIN_MSG_MAP(CImage_Preview)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseLeave(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNotify(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  int32_t m_nHover = -1;
  bool m_bTracking = false;
  layout::PreviewPages m_pages;
  BitmapPtr m_background;
  std::vector<BitmapPtr> m_pictures;
  std::vector<std::string> m_tips;
  const std::vector<PreviewItem>* m_items = nullptr;
  HWND m_hTip = nullptr;
  winkit::UniquePen m_gridPen{CreatePen(PS_SOLID, 1, 0x030303)};
  HWND m_hOwner = nullptr;
};

}  // namespace framework_window
