// The holder through which the table display and the board use a tile sprite: it makes the
// sprite of a kind with its bitmaps, forwards the controls' calls and draws it.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "sprite_holder_core.h"
#include "sprite_painter.h"

namespace sprites {

class RowSpriteHolder : public SpriteHolderCore {
 public:
  RowSpriteHolder() : SpriteHolderCore(kThisBuild) {}

  void SetOwnerWnd(HWND owner) { SpriteHolderCore::SetOwnerWnd(owner); }
  // The kind, then the sprite's initialisation: angle, top margin, mode, background colour, the
  // five extra bitmaps, the face sheets, frames A and frames B by angle, a pointer that is not
  // used, and the face-down tiles by angle. The bitmaps stay the caller's.
  void CreateRowSprite(uint16_t kind, uint16_t angle, int16_t topMargin, uint16_t mode,
                       COLORREF background, const HBITMAP extra[5], const HBITMAP faces[4],
                       const HBITMAP framesA[4], const HBITMAP framesB[4], const void* unused,
                       const HBITMAP faceDown[4]);

  // The three draws do nothing without a sprite or while it is hidden.
  int Draw(HDC hdc, const RECT* rect);
  int DrawTwoParts(HDC hdc, const RECT* whole, const RECT* part);
  int DrawThreeParts(HDC hdc, const RECT* whole, const RECT* partA, const RECT* partB);

  using SpriteHolderCore::ClickAt;
  void ClickAt(const POINT* point);
  void SetBkBitmap(HBITMAP pattern);
  void SetBkColor(COLORREF color);
  // The selected indices in selection order as VT_ARRAY | VT_I2; empty with no selection.
  void GetSelectedIndices(VARIANT* out) const;
#if !KORVEL_SPRITES_BOARD
  // The six dice faces, 1 to 6 (kept, not copied).
  void SetImages(const HICON icons[6]) { m_Painter.SetImages(icons); }
  void SetBkImage(Gdiplus::Image* image) { m_Painter.SetBkImage(image); }
  void SetBkDc(HDC dc) { m_Painter.SetBkDc(dc); }
#endif

  SpritePainter& Painter() { return m_Painter; }

 private:
  SpritePainter m_Painter;
};

}  // namespace sprites
