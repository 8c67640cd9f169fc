// CMjBoard: the option board's ActiveX control, a small popup on which the player picks one of
// up to three tile combinations; the choice comes back as _IMjBoardEvents::Click.
//
// The rows, the display list, the layout and the click rules live in board::OptionBoard; this
// class keeps one grouped-row sprite per row in step with it and draws them on the board's
// brush.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "option_board.h"
#include "row_sprite_holder.h"
#include "vitrine.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/handle.h"
#include "winkit/message_map.h"

class CMjBoard : public winkit::DispatchImpl<IMjBoard, &IID_IMjBoard>,
                 public winkit::ControlBase,
                 public ISupportErrorInfo {
 public:
  CMjBoard();
  ~CMjBoard() override;

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  // IMjBoard
  STDMETHODIMP put_BackColor(OLE_COLOR clr) override;
  STDMETHODIMP get_BackColor(OLE_COLOR* pclr) override;
  STDMETHODIMP InsertRow(short id, short count, mjcard* cards) override;
  STDMETHODIMP AddCards(short id, short count, mjcard* cards) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP ClearAll() override;
  STDMETHODIMP SetBkColor(LONG color) override;

  // ISupportErrorInfo: error information for IMjBoard only.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

  BEGIN_MSG_MAP(CMjBoard)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
  END_MSG_MAP()

 protected:
  void OnWindowCreated() override;
  void OnWindowDestroying() override;
  HRESULT OnDraw(HDC dc, const RECT& bounds) override;

 private:
  // The tile art of the board (face sheet 201, frames 205-208 and 209-212) and the three row
  // sprites drawn with it; they live while the window does. The bitmaps outlive the rows.
  struct BoardTileResources {
    winkit::UniqueBitmap faceSheet;
    std::array<winkit::UniqueBitmap, 4> framesA, framesB;
    std::array<sprites::RowSpriteHolder, board::kRowCount> rows;
  };

  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnPaint(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDblClk(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  void LoadTileResources(HWND owner);
  // Brings the row sprites in step with the board's rows.
  void SyncRows();
  // The height of row 0's sprite, which the bands of the clicks are measured with.
  int32_t RowHeight() const;
  // The whole board (background and rows) laid out in `area`, drawn onto dc through an
  // off-screen copy.
  void Paint(HDC dc, const RECT& area);
  void DrawRows(HDC dc, int32_t width, int32_t height);
  // Reports the click at display-list position `index`.
  void Report(size_t index);

  // The off-screen copy the board is drawn in, kept between paints: made again for another
  // size, freed with the window. Declared so that the selection is undone first.
  struct PaintBuffer {
    winkit::UniqueDc dc;
    winkit::UniqueBitmap bitmap;
    std::optional<winkit::SelectedObject> selection;
    int32_t width = 0, height = 0;
  };
  // The buffer for a w x h paint, made when there is none of that size; null when it cannot
  // be made.
  HDC BufferFor(int32_t w, int32_t h);

  board::OptionBoard m_Board;
  std::unique_ptr<BoardTileResources> m_Tiles;
  std::unique_ptr<PaintBuffer> m_Buffer;
  winkit::UniqueBrush m_BkBrush;
  uint32_t m_SyncedRevision = 0;
  bool m_bPainting = false;  // inside WM_PAINT's BeginPaint
};
