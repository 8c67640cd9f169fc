#include "row_sprite_holder.h"

#include <oleauto.h>

namespace sprites {

namespace {

PixelRect ToPixels(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

void RowSpriteHolder::CreateRowSprite(uint16_t kind, uint16_t angle, int16_t topMargin,
                                      uint16_t mode, COLORREF background, const HBITMAP extra[5],
                                      const HBITMAP faces[4], const HBITMAP framesA[4],
                                      const HBITMAP framesB[4], const void*,
                                      const HBITMAP faceDown[4]) {
  const int a = CMj_Poke::AngleIndex(angle);
  SpriteBitmaps bitmaps;
  bitmaps.faceSheet = faces ? faces[a] : nullptr;
  const HBITMAP* frames = (mode == 1) ? framesB : framesA;
  bitmaps.frame = frames ? frames[a] : nullptr;
  bitmaps.faceDown = faceDown ? faceDown[a] : nullptr;
  for (int k = 0; k < 5; ++k) bitmaps.extra[k] = extra ? extra[k] : nullptr;

  SpriteBitmapSizes sizes;
  sizes.faceSheet = MeasureBitmap(bitmaps.faceSheet);
  sizes.frame = MeasureBitmap(bitmaps.frame);
  sizes.faceDown = MeasureBitmap(bitmaps.faceDown);
  for (int k = 0; k < 5; ++k) sizes.extra[k] = MeasureBitmap(bitmaps.extra[k]);

  m_Painter.SetBitmaps(bitmaps);
  m_Painter.SetBkColor(background);
  CreateSprite(kind, angle, topMargin, mode, background, sizes);
}

int RowSpriteHolder::Draw(HDC hdc, const RECT* rect) {
  if (!rect) return 0;
  const auto d = LayoutDraw(ToPixels(*rect));
  return d ? m_Painter.Paint(hdc, *rect, *d) : 0;
}

int RowSpriteHolder::DrawTwoParts(HDC hdc, const RECT* whole, const RECT* part) {
  if (!whole || !part) return 0;
  const auto d = LayoutDraw(ToPixels(*whole));
  return d ? m_Painter.Paint(hdc, *whole, *d, part, 1) : 0;
}

int RowSpriteHolder::DrawThreeParts(HDC hdc, const RECT* whole, const RECT* partA,
                                    const RECT* partB) {
  if (!whole || !partA || !partB) return 0;
  const auto d = LayoutDraw(ToPixels(*whole));
  const RECT parts[2] = {*partA, *partB};
  return d ? m_Painter.Paint(hdc, *whole, *d, parts, 2) : 0;
}

void RowSpriteHolder::ClickAt(const POINT* point) {
  if (point) SpriteHolderCore::ClickAt(point->x, point->y);
}

void RowSpriteHolder::SetBkBitmap(HBITMAP pattern) {
  if (Sprite()) m_Painter.SetBkBitmap(pattern);
}

void RowSpriteHolder::SetBkColor(COLORREF color) {
  if (!Sprite()) return;
  SpriteHolderCore::SetBkColor(color);
  m_Painter.SetBkColor(color);
}

void RowSpriteHolder::GetSelectedIndices(VARIANT* out) const {
  if (!out) return;
  VariantInit(out);
  const std::vector<uint16_t> selected = SelectedIndices();
  if (selected.empty()) return;
  SAFEARRAY* array = SafeArrayCreateVector(VT_I2, 0, static_cast<ULONG>(selected.size()));
  if (!array) return;
  for (LONG i = 0; i < static_cast<LONG>(selected.size()); ++i) {
    SHORT value = static_cast<SHORT>(selected[static_cast<size_t>(i)]);
    SafeArrayPutElement(array, &i, &value);
  }
  out->vt = VT_ARRAY | VT_I2;
  out->parray = array;
}

}  // namespace sprites
