// The tile sprite base and the plain mahjong tile row: tile and selection lists, tile cells,
// face cells at the four angles, hit-testing, single selection and the row layout.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "records/tile_colors.h"
#include "sprite_layout.h"

namespace sprites {

using OwnerWindow = void*;

class CCommPoke {
 public:
  explicit CCommPoke(OwnerWindow owner) : m_hOwner(owner) {}
  virtual ~CCommPoke() = default;
  CCommPoke(const CCommPoke&) = delete;
  CCommPoke& operator=(const CCommPoke&) = delete;
  CCommPoke(CCommPoke&&) = default;

  // Counting, measuring and layout (given their bodies by the mahjong sprites).
  virtual void GetCount(uint16_t& n) const { n = static_cast<uint16_t>(m_Cards.size()); }
  virtual bool GetFaceCell(int32_t index, uint16_t& x, uint16_t& y) const = 0;
  virtual int16_t HitTest(OwnerWindow owner, int32_t x, int32_t y) const = 0;
  virtual void SelectAt(int32_t index) = 0;
  virtual void GetSize(uint16_t& w, uint16_t& h) const = 0;
  virtual int16_t GetCardX(int32_t i) const = 0;
  virtual int16_t GetCardY(int32_t i) const = 0;
  virtual void SortCards() = 0;
  // The layout of `Draw` into the rectangle.
  virtual SpriteDrawing LayoutDraw(const PixelRect& rect) const = 0;

  // Discard grid (the matrix sprites).
  virtual int16_t FindCell(int16_t side, int16_t& column, int16_t& row) {
    column = 0;
    row = 0;
    return side;
  }
  virtual void SetGrid(int16_t, int16_t) {}
  virtual void PlaceInCell(int16_t, int16_t, const card&, int16_t, int16_t) {}

  // Tile list.
  virtual void RemoveCard(int32_t color, int32_t value);
  virtual void ClearAll();
  virtual void RemoveAt(int16_t index);
  virtual void RemoveFirst(int16_t n);
  virtual void ShowFrame() {}
  virtual void HideFrame() {}
  virtual void AddCards(int16_t count, const card* cards);
  // The tile at overall index k, when there is one.
  virtual std::optional<card> CardAt(int32_t k) const;

  void AddCard(const card& c) { m_Cards.push_back(c); }
  bool IsSelected(int32_t index) const;
  const std::vector<uint16_t>& Selection() const { return m_Selection; }
  void ClearSelection() { m_Selection.clear(); m_Selection.shrink_to_fit(); }
  const std::vector<card>& Cards() const { return m_Cards; }

  void SetBkColor(uint32_t color) { m_BkColor = color; }
  uint32_t BkColor() const { return m_BkColor; }
  OwnerWindow Owner() const { return m_hOwner; }

  int16_t CellWidth() const { return m_nCellW; }
  int16_t CellHeight() const { return m_nCellH; }
  void SetFaceOffset(int16_t x, int16_t y) { m_nFaceX = x; m_nFaceY = y; }
  int16_t FaceOffsetX() const { return m_nFaceX; }
  int16_t FaceOffsetY() const { return m_nFaceY; }
  uint16_t Mode() const { return m_nMode; }
  int16_t Raise() const { return m_nRaise; }

 protected:
  std::vector<card> m_Cards;
  std::vector<uint16_t> m_Selection;
  uint32_t m_BkColor = 0;
  int16_t m_nCellW = 0, m_nCellH = 0;
  int16_t m_nFaceX = 0, m_nFaceY = 0;
  uint16_t m_nGroupGap = 7;
  uint16_t m_nMode = 0;
  int16_t m_nRaise = 25;
  OwnerWindow m_hOwner;
};

class CColor_Seperator_Poke : public CCommPoke {
 public:
  using CCommPoke::CCommPoke;
};

class CMj_Poke : public CColor_Seperator_Poke {
 public:
  explicit CMj_Poke(OwnerWindow owner, SpriteBuild build = SpriteBuild::Table);

  // Angle 0, 90, 180 or 270 (any other counts as 0 for the bitmaps but keeps its value);
  // `sizes` are the bitmaps of that angle and mode as measured by the drawing side.
  virtual void Init(uint16_t angle, int16_t topMargin, uint16_t mode, uint32_t background,
                    const SpriteBitmapSizes& sizes);
  virtual bool GetMjFaceCell(const card& c, uint16_t& x, uint16_t& y) const;
  virtual void SetWildCards(int16_t count, const card* cards);
  virtual bool IsWildCard(int32_t i) const;

  bool GetFaceCell(int32_t index, uint16_t& x, uint16_t& y) const override;
  int16_t HitTest(OwnerWindow owner, int32_t x, int32_t y) const override;
  void SelectAt(int32_t index) override;
  void GetSize(uint16_t& w, uint16_t& h) const override;
  int16_t GetCardX(int32_t i) const override;
  int16_t GetCardY(int32_t i) const override;
  void SortCards() override;
  SpriteDrawing LayoutDraw(const PixelRect& rect) const override;

  void GetTileSize(uint16_t& w, uint16_t& h) const;

  // Angle index of the bitmap arrays: 0, 1, 2, 3 for 0, 90, 180, 270; 0 for any other.
  static int AngleIndex(uint16_t angle);

  uint16_t Angle() const { return m_nAngle; }
  SpriteBuild Build() const { return m_Build; }
  int16_t FaceCellWidth() const { return m_nFaceW; }
  int16_t FaceCellHeight() const { return m_nFaceH; }
  BitmapSize ExtraSize(int k) const { return (k >= 0 && k < 5) ? m_ExtraSize[k] : BitmapSize{}; }
  const card& WildCard(int k) const { return m_Wild[k & 1]; }

  bool FrameShown() const { return m_bFrame; }
  const PixelRect& FrameRectangle() const { return m_FrameRect; }
  void EnableDraw(bool on) { m_bDrawEnabled = on; }
  bool DrawEnabled() const { return m_bDrawEnabled; }
  void SetVisible(bool on) { m_bVisible = on; }
  bool Visible() const { return m_bVisible; }

 protected:
  // Whether the mode draws faces (0, 1), face-down tiles (2), extras (3..7); above 7 is invalid.
  bool ValidMode() const { return m_nMode <= 7; }
  // The row draws of the plain row (at the given place on the target).
  virtual SpriteDrawing LayoutRow(int32_t x, int32_t y) const;
  virtual SpriteDrawing LayoutRowByMode(int32_t x, int32_t y) const;
  void AddFace(SpriteDrawing& d, const card& c, int32_t x, int32_t y, int32_t trimW = 0) const;

  uint16_t m_nAngle = 0;
  SpriteBuild m_Build;
  card m_Wild[2] = {{0, 2}, {0, 2}};
  int16_t m_nFaceW = 0, m_nFaceH = 0;
  BitmapSize m_ExtraSize[5];
  BitmapSize m_StackSize;  // the wall stack bitmap (extra 3), image and mask
  BitmapSize m_LyingStackSize;  // extra 4
  PixelRect m_FrameRect;
  bool m_bFrame = false;
  bool m_bDrawEnabled = true;
  bool m_bVisible = true;
};

}  // namespace sprites
