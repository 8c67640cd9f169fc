// The tile walls: face-down stacks round the table centre, taken from the head (ordinary draws)
// and the tail (replacement draws), the two dice, and the discard grid in the middle.
// CWall_Mj_Poke is the four-sided wall of 144 tiles, CWall_Mj_Poke_2_90 the two-player wall of
// 64; both keep their wall in a TileWall.
#pragma once
#include "matrix_mj_poke.h"

namespace sprites {

// The wall itself, shared by both wall sprites: which positions still hold a tile, where the
// head and the tail are, the fixed pixel size and the dice. Stack s holds positions 2s (lower)
// and 2s + 1 (upper).
class TileWall {
 public:
  TileWall(int16_t length, int16_t sides) : m_nLength(length), m_nSides(sides) {
    m_nStacksPerSide = static_cast<int16_t>(length / (2 * sides));
  }
  virtual ~TileWall() = default;
  TileWall(TileWall&&) = default;

  // A new wall of `num` tiles, all present; num < 1 is ignored.
  void InitWall(int16_t num);
  virtual void SetFirstPosition(int16_t loc, int16_t pos) = 0;
  // Takes `num` tiles going down from the head, wrapping at the wall's start.
  void DeleteFromHead(int16_t num);
  // Takes `num` tiles going up from the tail, wrapping at the wall's end.
  void DeleteFromTail(int16_t num);
  void SetWallSize(uint16_t w, uint16_t h) { m_nFixedW = w; m_nFixedH = h; }
  // 0xFFFF (or -1) hides the dice; any other seat index shows them with the two values.
  void ShowDice(int16_t seat, int16_t die1, int16_t die2);
  void HideDice() { m_bDice = false; }

  bool HasWall() const { return !m_Present.empty(); }
  bool Present(int32_t pos) const {
    return pos >= 0 && pos < static_cast<int32_t>(m_Present.size()) && m_Present[static_cast<size_t>(pos)] != 0;
  }
  int32_t PresentCount() const;
  int16_t Head() const { return m_nHead; }
  int16_t Tail() const { return m_nTail; }
  int16_t Length() const { return m_nLength; }
  int16_t StacksPerSide() const { return m_nStacksPerSide; }
  bool DiceShown() const { return m_bDice; }
  int32_t DiceSeat() const { return m_nDiceSeat; }
  int16_t Die(int k) const { return k == 0 ? m_nDie1 : m_nDie2; }
  bool FixedSize() const { return m_nFixedW != 0 && m_nFixedH != 0; }
  uint16_t FixedWidth() const { return m_nFixedW; }
  uint16_t FixedHeight() const { return m_nFixedH; }

 protected:
  // Places head and tail on the wall (a position from the network may lie anywhere).
  void PlaceHead(int32_t head);
  int32_t Wrap(int32_t pos) const;

  uint16_t m_nFixedW = 0, m_nFixedH = 0;
  int16_t m_nHead = 0, m_nTail = 0;
  int16_t m_nLength;
  int16_t m_nSides;
  int16_t m_nStacksPerSide;
  std::vector<uint16_t> m_Present;
  bool m_bDice = false;
  int32_t m_nDiceSeat = -1;
  int16_t m_nDie1 = -1, m_nDie2 = -1;
};

class CWall_Mj_Poke : public CMatrix_Mj_Poke, public TileWall {
 public:
  explicit CWall_Mj_Poke(OwnerWindow owner, SpriteBuild build = SpriteBuild::Table)
      : CMatrix_Mj_Poke(owner, build), TileWall(144, 4) {}

  void SetFirstPosition(int16_t loc, int16_t pos) override;
  void GetSize(uint16_t& w, uint16_t& h) const override;
  void ShowFrame() override;
  void HideFrame() override { m_bFrame = false; }
  SpriteDrawing LayoutDraw(const PixelRect& rect) const override;
  // The wall and the discards at the surface's origin (face-down discards in mode 2).
  void LayoutWall(SpriteDrawing& d, bool faceDownDiscards) const;
};

class CWall_Mj_Poke_2_90 : public CMatrix_Mj_Poke_2, public TileWall {
 public:
  explicit CWall_Mj_Poke_2_90(OwnerWindow owner, SpriteBuild build = SpriteBuild::Table)
      : CMatrix_Mj_Poke_2(owner, build), TileWall(64, 2) {}

  void SetFirstPosition(int16_t loc, int16_t pos) override;
  void GetSize(uint16_t& w, uint16_t& h) const override;
  void ShowFrame() override;
  void HideFrame() override { m_bFrame = false; }
  SpriteDrawing LayoutDraw(const PixelRect& rect) const override;
  void LayoutWall(SpriteDrawing& d) const;
  void LayoutWallEx(SpriteDrawing& d) const;
};

}  // namespace sprites
