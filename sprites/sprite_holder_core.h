// The holder's side that needs no window: makes the sprite of a kind and forwards the controls'
// calls to it (tiles cross as value then colour). RowSpriteHolder (gdi/) adds the bitmaps and
// the drawing. Every operation does nothing when there is no sprite yet or the sprite is not of
// the kind the operation needs.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "grouped_tile_row.h"
#include "wall_mj_poke.h"

namespace sprites {

// Kind codes: 4 plain row, 5 discard grid, 7 four-sided wall, 13 two-player wall, anything
// else the grouped row.
std::unique_ptr<CMj_Poke> CreateSpriteOfKind(uint16_t kind, OwnerWindow owner, SpriteBuild build);

class SpriteHolderCore {
 public:
  explicit SpriteHolderCore(SpriteBuild build) : m_Build(build) {}
  virtual ~SpriteHolderCore() = default;
  SpriteHolderCore(SpriteHolderCore&&) = default;

  void SetOwnerWnd(OwnerWindow owner) { m_hOwner = owner; }
  // Makes the sprite on the first call (a later call re-initialises it and ignores the kind).
  void CreateSprite(uint16_t kind, uint16_t angle, int16_t topMargin, uint16_t mode,
                    uint32_t background, const SpriteBitmapSizes& sizes);

  std::optional<SpriteDrawing> LayoutDraw(const PixelRect& rect) const;

  void AddCard(int16_t value, int16_t color);
  void AddCardWithoutSort(int16_t value, int16_t color);
  void AddCards(int16_t count, const card* cards);
  void GetCount(uint16_t& n) const;
  void GetCardAt(int16_t index, uint16_t& value, uint16_t& color) const;
  void PutCardInCell(int16_t value, int16_t color, int16_t seat);
  void SetGrid(int16_t columns, int16_t rows);
  void RemoveAt(int16_t index);
  void RemoveFirst(int16_t n);
  void RemoveCard(int16_t value, int16_t color);
  void ClearAll();
  void ClickAt(int32_t x, int32_t y);
  void GetSize(uint16_t& w, uint16_t& h) const;
  void GetTileSize(uint16_t& w, uint16_t& h) const;
  void SetBkColor(uint32_t color);
  void GetSelectedCount(uint16_t& n) const;
  std::vector<uint16_t> SelectedIndices() const;
  void ClearSelection();
  void SetFrame(uint16_t flag);
  void SetGroupFrame(uint16_t flag);
  void RemoveGroup(int16_t count, const card* cards);
  void GetLastGroupPos(int16_t& x, int16_t& y) const;
  void SetOverlap(uint16_t overlap);
  void SetFirstPosition_InWall(int16_t loc, int16_t pos);
  void DeleteCardsFromWall(int16_t num, uint16_t isbu);
  void SetWallSize(uint16_t w, uint16_t h);
  void ShowDice(uint16_t on, int16_t seat, int16_t die1, int16_t die2);
  void InitWall(int16_t num);
  void EnableDraw(uint32_t on);
  void SetVisible(uint32_t on);
  void SetFaceOffset(uint16_t x, uint16_t y);

  CMj_Poke* Sprite() const { return m_Sprite.get(); }
  SpriteBuild Build() const { return m_Build; }

 protected:
  TileWall* Wall() const { return dynamic_cast<TileWall*>(m_Sprite.get()); }
  CSeperator_Mj_Poke* Groups() const { return dynamic_cast<CSeperator_Mj_Poke*>(m_Sprite.get()); }

  SpriteBuild m_Build;
  std::unique_ptr<CMj_Poke> m_Sprite;
  OwnerWindow m_hOwner = nullptr;
};

}  // namespace sprites
