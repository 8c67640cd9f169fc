#include "sprite_painter.h"

#include <algorithm>

#if !KORVEL_SPRITES_BOARD
// GDI+ wants min and max from somewhere.
using std::max;
using std::min;
#include <gdiplus.h>
#endif

#include <utility>

namespace sprites {

namespace {

constexpr COLORREF kGroupFrameColor = 0x0000FF;
constexpr COLORREF kWallFrameColor = 0x7B0C5D;
constexpr int kTileKeyExtra = 2;  // map keys: 0 frame, 1 face-down, 2.. extras

int TileKey(TileSource source, int16_t extra) {
  return source == TileSource::Extra ? kTileKeyExtra + extra : static_cast<int>(source);
}

bool Within(int32_t x, int32_t y, int32_t w, int32_t h, int32_t outerW, int32_t outerH) {
  return x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= outerW && y + h <= outerH;
}

// A memory DC made for a scope, with one bitmap selected into it until the scope ends.
class ScopedMemoryDc {
 public:
  ScopedMemoryDc(HDC reference, HBITMAP bitmap)
      : m_hDC(CreateCompatibleDC(reference)), m_Selection(m_hDC.Get(), bitmap) {}
  HDC get() const { return m_hDC.Get(); }

 private:
  winkit::UniqueDc m_hDC;
  winkit::SelectedObject m_Selection;
};

}  // namespace

BitmapSize MeasureBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || GetObjectW(bitmap, sizeof bm, &bm) != sizeof bm) return {};
  return {bm.bmWidth, bm.bmHeight};
}

winkit::UniqueBitmap ComposeMasked(HDC reference, HBITMAP imageAndMask, HBRUSH background) {
  const BitmapSize size = MeasureBitmap(imageAndMask);
  const int w = size.width / 2, h = size.height;
  if (w <= 0 || h <= 0) return {};
  winkit::UniqueBitmap image(CreateCompatibleBitmap(reference, w, h));
  winkit::UniqueBitmap tile(CreateCompatibleBitmap(reference, w, h));
  if (!image || !tile) return {};
  {
    ScopedMemoryDc src(reference, imageAndMask), img(reference, image.Get()),
        out(reference, tile.Get());
    BitBlt(img.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
    const RECT all{0, 0, w, h};
    FillRect(out.get(), &all, background ? background : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    BitBlt(img.get(), 0, 0, w, h, src.get(), w, 0, MERGEPAINT);   // image OR NOT mask
    BitBlt(out.get(), 0, 0, w, h, src.get(), w, 0, NOTSRCERASE);  // NOT (tile OR mask)
    BitBlt(out.get(), 0, 0, w, h, img.get(), 0, 0, SRCINVERT);    // tile XOR image
  }
  return tile;
}

SpritePainter::SpritePainter()
    : m_hGroupFrameBrush(CreateSolidBrush(kGroupFrameColor)),
      m_hWallBrush(CreateSolidBrush(kWallFrameColor)) {}

SpritePainter::~SpritePainter() = default;

void SpritePainter::DropComposed() {
  m_Composed.clear();
  m_FacedX.clear();
  m_FacedSelection.reset();
  m_FacedStrip.Reset();
  m_FacedStripSize = {};
  m_nFacedUsed = 0;
  m_bBuffered = false;
  for (winkit::UniqueBitmap& s : m_Stacks) s.Reset();
}

void SpritePainter::SetBitmaps(const SpriteBitmaps& bitmaps) {
  m_Bitmaps = bitmaps;
  m_SheetSize = MeasureBitmap(bitmaps.faceSheet);
  DropComposed();
}

void SpritePainter::SetBkColor(COLORREF color) {
  m_hBkBrush.Reset(CreateSolidBrush(color));
  // The tiles' corners show the background: compose them again over the new one.
  DropComposed();
}

void SpritePainter::SetBkBitmap(HBITMAP pattern) {
  if (!pattern) return;
  winkit::UniqueBrush brush(CreatePatternBrush(pattern));
  if (!brush) return;
  m_hBkBrush = std::move(brush);
  DropComposed();
}

void SpritePainter::SetImages(const HICON icons[6]) {
  if (!icons) return;
  for (int k = 0; k < 6; ++k) m_Dice[static_cast<size_t>(k)] = icons[k];
  m_bBuffered = false;
}

bool SpritePainter::PrepareBackBuffer(HDC hdc, int32_t w, int32_t h) {
  const BitmapSize want = NextBackBufferSize(m_BufferSize, w, h);
  if (m_hBuffer && want.width == m_BufferSize.width && want.height == m_BufferSize.height)
    return true;
  if (!m_hBufferDC) m_hBufferDC.Reset(CreateCompatibleDC(hdc));
  if (!m_hBufferDC) return false;
  m_bBuffered = false;
  if (m_hBuffer) {
    m_BufferSelection.reset();
    m_hBuffer.Reset();
    m_BufferSize = {};
  }
  m_hBuffer.Reset(CreateCompatibleBitmap(hdc, want.width, want.height));
  BitmapSize made = want;
  if (!m_hBuffer) {
    // Retry at half height; the size stored is the size made, so a later draw tries again.
    made = {want.width, want.height / 2};
    m_hBuffer.Reset(CreateCompatibleBitmap(hdc, made.width, made.height));
  }
  if (!m_hBuffer) return false;
  m_BufferSize = made;
  m_BufferSelection.emplace(m_hBufferDC.Get(), m_hBuffer.Get());
  return made.width >= w && made.height >= h;
}

HBITMAP SpritePainter::ComposedTile(HDC hdc, TileSource source, int16_t extra) {
  const int key = TileKey(source, extra);
  if (auto it = m_Composed.find(key); it != m_Composed.end()) return it->second.Get();
  HBITMAP from = source == TileSource::Frame      ? m_Bitmaps.frame
                 : source == TileSource::FaceDown ? m_Bitmaps.faceDown
                 : (extra >= 0 && extra < 5)      ? m_Bitmaps.extra[extra]
                                                  : nullptr;
  winkit::UniqueBitmap tile = from ? ComposeMasked(hdc, from, m_hBkBrush.Get())
                                  : winkit::UniqueBitmap();
  if (!tile) return nullptr;
  HBITMAP made = tile.Get();
  m_Composed[key] = std::move(tile);
  return made;
}

HBITMAP SpritePainter::Stack(HDC hdc, int16_t k) {
  if (k < 0 || k > 3) return nullptr;
  winkit::UniqueBitmap& s = m_Stacks[static_cast<size_t>(k)];
  // Stacks 0 and 2 are the upright wall stack (extra 3), 1 and 3 the lying one (extra 4).
  if (!s) s = ComposeMasked(hdc, m_Bitmaps.extra[(k % 2 == 0) ? 3 : 4], m_hBkBrush.Get());
  return s.Get();
}

void SpritePainter::Background(HDC target, int32_t srcX, int32_t srcY, int32_t x, int32_t y,
                               int32_t w, int32_t h, bool brushOnly) {
#if !KORVEL_SPRITES_BOARD
  if (m_hBkDc && !brushOnly) {
    BitBlt(target, x, y, w, h, m_hBkDc, srcX, srcY, SRCCOPY);
    return;
  }
  if (m_pBkImage && !brushOnly) {
    Gdiplus::Graphics g(target);
    g.DrawImage(m_pBkImage, Gdiplus::Rect(x, y, w, h), srcX, srcY, w, h, Gdiplus::UnitPixel);
    return;
  }
#else
  (void)srcX;
  (void)srcY;
  (void)brushOnly;
#endif
  const RECT r{x, y, x + w, y + h};
  FillRect(target, &r,
           m_hBkBrush ? m_hBkBrush.Get() : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

int32_t SpritePainter::FacedTile(HDC hdc, int tileKey, BitmapSize tileSize, const DrawOp& t,
                                 const DrawOp& f) {
  const int32_t x = f.dx - t.dx, y = f.dy - t.dy;
  if (!Within(x, y, f.w, f.h, t.w, t.h) ||
      !Within(t.sx, t.sy, t.w, t.h, tileSize.width, tileSize.height) ||
      !Within(f.sx, f.sy, f.w, f.h, m_SheetSize.width, m_SheetSize.height))
    return -1;
  const FacedKey key{tileKey, t.sx, t.sy, t.w, t.h, f.sx, f.sy, f.w, f.h, x, y};
  if (auto it = m_FacedX.find(key); it != m_FacedX.end()) return it->second;
  if (!m_hFacedDC) m_hFacedDC.Reset(CreateCompatibleDC(hdc));
  const HDC stripDC = m_hFacedDC.Get();
  if (!stripDC) return -1;
  const int32_t need = m_nFacedUsed + t.w;
  if (!m_FacedStrip || need > m_FacedStripSize.width || t.h > m_FacedStripSize.height) {
    // A longer strip, with the tiles made so far copied over.
    const BitmapSize size{std::max({need, m_FacedStripSize.width * 2, t.w * 16}),
                          std::max(t.h, m_FacedStripSize.height)};
    winkit::UniqueBitmap grown(CreateCompatibleBitmap(hdc, size.width, size.height));
    if (!grown) return -1;
    if (m_FacedStrip && m_nFacedUsed > 0) {
      winkit::UniqueDc copy(CreateCompatibleDC(hdc));
      if (!copy) return -1;
      winkit::SelectedObject into(copy.Get(), grown.Get());
      BitBlt(copy.Get(), 0, 0, m_nFacedUsed, m_FacedStripSize.height, stripDC, 0, 0, SRCCOPY);
    }
    m_FacedSelection.reset();
    m_FacedStrip = std::move(grown);
    m_FacedSelection.emplace(stripDC, m_FacedStrip.Get());
    m_FacedStripSize = size;
  }
  // The same two copies a draw of the tile makes, into the strip instead of the target.
  const int32_t left = m_nFacedUsed;
  BitBlt(stripDC, left, 0, t.w, t.h, m_hWorkDC[0].Get(), t.sx, t.sy, SRCCOPY);
  BitBlt(stripDC, left + x, y, f.w, f.h, m_hWorkDC[1].Get(), f.sx, f.sy, SRCCOPY);
  m_nFacedUsed += t.w;
  m_FacedX[key] = left;
  return left;
}

void SpritePainter::RunOps(HDC hdc, HDC target, const std::vector<DrawOp>& ops, HBITMAP tile,
                           int tileKey) {
  if (ops.empty()) return;
  for (winkit::UniqueDc& work : m_hWorkDC)
    if (!work) work.Reset(CreateCompatibleDC(hdc));
  // The face sheet is shared by the sprites of a control, so nothing stays selected after a
  // draw.
  winkit::SelectedObject tiles(m_hWorkDC[0].Get(), tile),
      sheet(m_hWorkDC[1].Get(), m_Bitmaps.faceSheet), stacks(m_hWorkDC[2].Get(), nullptr);
  const HDC tilesDC = m_hWorkDC[0].Get(), sheetDC = m_hWorkDC[1].Get(),
            stacksDC = m_hWorkDC[2].Get();
  const BitmapSize tileSize = tile ? MeasureBitmap(tile) : BitmapSize{};
  for (size_t i = 0; i < ops.size(); ++i) {
    const DrawOp& op = ops[i];
    switch (op.source) {
      case DrawSource::Tile: {
        if (!tile) break;
        // A tile with its face on it goes in one copy.
        const bool withFace = i + 1 < ops.size() && ops[i + 1].source == DrawSource::Face &&
                              m_Bitmaps.faceSheet;
        const int32_t x = withFace ? FacedTile(hdc, tileKey, tileSize, op, ops[i + 1]) : -1;
        if (x >= 0) {
          BitBlt(target, op.dx, op.dy, op.w, op.h, m_hFacedDC.Get(), x, 0, SRCCOPY);
          ++i;
        } else {
          BitBlt(target, op.dx, op.dy, op.w, op.h, tilesDC, op.sx, op.sy, SRCCOPY);
        }
        break;
      }
      case DrawSource::Face:
        if (m_Bitmaps.faceSheet)
          BitBlt(target, op.dx, op.dy, op.w, op.h, sheetDC, op.sx, op.sy, SRCCOPY);
        break;
      case DrawSource::Stack:
        if (HBITMAP s = Stack(hdc, op.index)) {
          stacks.Select(s);
          BitBlt(target, op.dx, op.dy, op.w, op.h, stacksDC, op.sx, op.sy, SRCCOPY);
        }
        break;
      case DrawSource::Dice:
        if (op.index >= 0 && op.index < 6 && m_Dice[static_cast<size_t>(op.index)])
          DrawIconEx(target, op.dx, op.dy, m_Dice[static_cast<size_t>(op.index)], op.w, op.h, 0,
                     nullptr, DI_NORMAL);
        break;
      case DrawSource::FrameRect: {
        const RECT r{op.dx, op.dy, op.dx + op.w, op.dy + op.h};
        FrameRect(target, &r, op.index == 1 ? m_hWallBrush.Get() : m_hGroupFrameBrush.Get());
        break;
      }
    }
  }
}

int SpritePainter::Paint(HDC hdc, const RECT& rect, const SpriteDrawing& d, const RECT* parts,
                         int partCount) {
  if (!hdc) return 0;
  if (d.error) {
    RECT r = rect;
    DrawTextA(hdc, "error", 5, &r, DT_CENTER);
    return 0;
  }
  if (!d.drawn) return 0;
  HBITMAP tile = ComposedTile(hdc, d.tile, d.extra);
  const int tileKey = TileKey(d.tile, d.extra);
  if (d.target == DrawTarget::Direct) {
    RunOps(hdc, hdc, d.ops, tile, tileKey);
    return 1;
  }
  if (d.width <= 0 || d.height <= 0) return 1;
  if (!PrepareBackBuffer(hdc, d.width, d.height)) return 0;
  if (!m_bBuffered || !(d == m_Buffered)) {
    Background(m_hBufferDC.Get(), d.x, d.y, 0, 0, d.width, d.height, d.brushBackground);
    RunOps(hdc, m_hBufferDC.Get(), d.ops, tile, tileKey);
    m_Buffered = d;
    m_bBuffered = true;
  }
  if (parts && partCount > 0) {
    // Reveal: the whole area gets its background back, then only the parts show the drawing.
    Background(hdc, d.x, d.y, d.x, d.y, d.width, d.height, d.brushBackground);
    for (int i = 0; i < partCount; ++i) {
      const RECT& p = parts[i];
      BitBlt(hdc, p.left, p.top, p.right - p.left, p.bottom - p.top, m_hBufferDC.Get(),
             p.left - d.x, p.top - d.y, SRCCOPY);
    }
  } else {
    BitBlt(hdc, d.x, d.y, d.width, d.height, m_hBufferDC.Get(), 0, 0, SRCCOPY);
  }
  RunOps(hdc, hdc, d.directOps, tile, tileKey);
  return 1;
}

}  // namespace sprites
