// Draws a sprite's layout with GDI: the back buffer, the background (the table's picture or the
// solid brush), the tile composed from an image-and-mask bitmap over the background, faces from
// the face sheet, the wall stacks, the dice icons and the outlines.
#pragma once
#include <windows.h>

#include <array>
#include <map>
#include <optional>

#include "sprite_layout.h"
#include "winkit/handle.h"

#if !KORVEL_SPRITES_BOARD
namespace Gdiplus {
class Image;
}
#endif

namespace sprites {

// The sprite's build in this library.
#if KORVEL_SPRITES_BOARD
constexpr SpriteBuild kThisBuild = SpriteBuild::Board;
#else
constexpr SpriteBuild kThisBuild = SpriteBuild::Table;
#endif

// Size of a bitmap, 0 x 0 when the handle cannot be read.
BitmapSize MeasureBitmap(HBITMAP bitmap);

// Builds the picture of an image-and-mask bitmap over a brush: the image where the mask is
// white, the brush where it is black (MERGEPAINT, NOTSRCERASE, SRCINVERT). Returns a new bitmap
// of half the width, or none.
winkit::UniqueBitmap ComposeMasked(HDC reference, HBITMAP imageAndMask, HBRUSH background);

// The bitmaps a sprite draws from; borrowed, they belong to the control.
struct SpriteBitmaps {
  HBITMAP faceSheet = nullptr;
  HBITMAP frame = nullptr;
  HBITMAP faceDown = nullptr;
  HBITMAP extra[5] = {};
};

class SpritePainter {
 public:
  SpritePainter();
  ~SpritePainter();
  SpritePainter(const SpritePainter&) = delete;
  SpritePainter& operator=(const SpritePainter&) = delete;

  void SetBitmaps(const SpriteBitmaps& bitmaps);
  const SpriteBitmaps& Bitmaps() const { return m_Bitmaps; }
  // A solid brush of the colour, or a pattern brush of the bitmap, fills the background.
  void SetBkColor(COLORREF color);
  void SetBkBitmap(HBITMAP pattern);
  void SetImages(const HICON icons[6]);
#if !KORVEL_SPRITES_BOARD
  // The table's composed background picture (kept by the table, never freed here).
  // Set again whenever the picture changed.
  void SetBkImage(Gdiplus::Image* image) {
    m_pBkImage = image;
    m_bBuffered = false;
  }
  // A memory DC holding the same picture as the background image: copied with BitBlt, which
  // is much faster than drawing the picture through GDI+ (kept by the table, never freed here).
  void SetBkDc(HDC dc) {
    m_hBkDc = dc;
    m_bBuffered = false;
  }
#endif

  // Draws into `rect` of hdc. With parts, only those rectangles of the drawing reach hdc (the
  // rest of `rect` gets its background back first). Returns 1 when something was drawn.
  int Paint(HDC hdc, const RECT& rect, const SpriteDrawing& d, const RECT* parts = nullptr,
            int partCount = 0);

  BitmapSize BackBufferSize() const { return m_BufferSize; }

 private:
  bool PrepareBackBuffer(HDC hdc, int32_t w, int32_t h);
  HBITMAP ComposedTile(HDC hdc, TileSource source, int16_t extra);
  HBITMAP Stack(HDC hdc, int16_t k);
  void DropComposed();
  void Background(HDC target, int32_t srcX, int32_t srcY, int32_t x, int32_t y, int32_t w,
                  int32_t h, bool brushOnly);
  void RunOps(HDC hdc, HDC target, const std::vector<DrawOp>& ops, HBITMAP tile, int tileKey);
  // Where in the faced strip the tile op's part of the tile lies with the face op's cell on
  // it, made there on first use; -1 when the face does not lie wholly on that part or a
  // source reaches outside its bitmap. Needs the tile in work DC 0 and the sheet in 1.
  int32_t FacedTile(HDC hdc, int tileKey, BitmapSize tileSize, const DrawOp& tileOp,
                    const DrawOp& face);

  SpriteBitmaps m_Bitmaps;
  winkit::UniqueBrush m_hBkBrush;
  winkit::UniqueBrush m_hGroupFrameBrush;  // red outline of a grouped row
  winkit::UniqueBrush m_hWallBrush;        // outline of the last discard
  std::array<HICON, 6> m_Dice{};           // borrowed from the control
  std::map<int, winkit::UniqueBitmap> m_Composed;  // by tile source
  std::array<winkit::UniqueBitmap, 4> m_Stacks;
  // Tiles with their faces on them, side by side in one strip (a tile is then one copy instead
  // of two), by the composed tile's key, the part of the tile, the face cell and where the face
  // lies on the part.
  struct FacedKey {
    int tile;
    int32_t sx, sy, w, h;
    int32_t faceX, faceY, faceW, faceH;
    int32_t x, y;
    auto operator<=>(const FacedKey&) const = default;
  };
  std::map<FacedKey, int32_t> m_FacedX;  // left edge in the strip
  // The strip is the painter's own: it stays selected into its DC between draws (declared so
  // that the selection is undone first).
  winkit::UniqueDc m_hFacedDC;
  winkit::UniqueBitmap m_FacedStrip;
  std::optional<winkit::SelectedObject> m_FacedSelection;
  BitmapSize m_FacedStripSize;
  int32_t m_nFacedUsed = 0;
  BitmapSize m_SheetSize;
  std::array<winkit::UniqueDc, 3> m_hWorkDC;  // tile, face sheet, wall stack
  // The back buffer: the DC, its bitmap, and the bitmap's selection into the DC (declared in
  // this order so that the selection is undone first, then the bitmap and the DC go).
  winkit::UniqueDc m_hBufferDC;
  winkit::UniqueBitmap m_hBuffer;
  std::optional<winkit::SelectedObject> m_BufferSelection;
  BitmapSize m_BufferSize;
  // The drawing the back buffer holds: drawn again the same, with nothing it is made of
  // changed (bitmaps, brush, background picture, dice), the buffer is copied as it is.
  SpriteDrawing m_Buffered;
  bool m_bBuffered = false;
#if !KORVEL_SPRITES_BOARD
  Gdiplus::Image* m_pBkImage = nullptr;
  HDC m_hBkDc = nullptr;
#endif
};

}  // namespace sprites
