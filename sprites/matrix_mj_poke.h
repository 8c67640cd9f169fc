// The discard grid: tiles placed ring by ring from the outside inwards, each side of a ring
// filled by its own runner; the last placement can be taken back. CMatrix_Mj_Poke has four
// sides, CMatrix_Mj_Poke_2 two (one per player).
#pragma once
#include "comm_poke.h"

namespace sprites {

struct GridCell {
  int32_t column = -1, row = -1;
  bool operator==(const GridCell&) const = default;
};

struct PlacedCard {
  int32_t m_nColor = -1, m_nValue = -1, column = -1, row = -1;
  bool Used() const { return column != -1 && row != -1; }
};

class CMatrix_Mj_Poke : public CMj_Poke {
 public:
  explicit CMatrix_Mj_Poke(OwnerWindow owner, SpriteBuild build = SpriteBuild::Table);

  void GetCount(uint16_t& n) const override { n = static_cast<uint16_t>(m_Placed.size()); }
  bool GetFaceCell(int32_t index, uint16_t& x, uint16_t& y) const override;
  int16_t HitTest(OwnerWindow, int32_t, int32_t) const override { return -1; }
  void GetSize(uint16_t& w, uint16_t& h) const override { GetMatrixSize(w, h); }
  int16_t GetCardY(int32_t i) const override { return static_cast<int16_t>(i * m_nCellH); }
  int16_t FindCell(int16_t side, int16_t& column, int16_t& row) override;
  void SetGrid(int16_t columns, int16_t rows) override;
  void PlaceInCell(int16_t seat, int16_t side, const card& c, int16_t column, int16_t row) override;
  void ClearAll() override;
  void RemoveAt(int16_t index) override;
  void SetWildCards(int16_t count, const card* cards) override;
  bool IsWildCard(int32_t) const override { return false; }
  std::optional<card> CardAt(int32_t k) const override;

  // Returns 0 with a free side's cell, 1 when every side but `except` is full.
  virtual int16_t FindFreeSlot(int16_t except, int16_t& column, int16_t& row, uint16_t& side);
  virtual bool AllSlotsUsed() const;
  virtual void ResetSlots();
  virtual void SaveSlots();
  virtual void RestoreSlots();
  virtual void GetMatrixSize(uint16_t& w, uint16_t& h) const;

  int16_t Columns() const { return m_nColumns; }
  int16_t Rows() const { return m_nRows; }
  uint16_t Ring() const { return m_nRing; }
  int32_t PlacedCount() const { return m_nPlaced; }
  const std::vector<PlacedCard>& Placed() const { return m_Placed; }
  bool SideFull(int side) const { return side >= 0 && side < SideCount() && m_Full[side] != 0; }

  // The placed tiles drawn at (x, y) of a surface: face up, or face down.
  void LayoutPlaced(SpriteDrawing& d, int32_t x, int32_t y, bool faceDown) const;

 protected:
  SpriteDrawing LayoutRow(int32_t x, int32_t y) const override;
  SpriteDrawing LayoutRowByMode(int32_t x, int32_t y) const override;

  // Ring geometry of one side of ring r: its start cell, its step and its end cell.
  struct SideGeometry {
    GridCell start;
    int32_t stepColumn, stepRow;
    GridCell end;
  };
  virtual int SideCount() const { return 4; }
  virtual SideGeometry Side(int side, int32_t r) const;

 private:
  void ResetRunners();
  bool InGrid(const GridCell& c) const {
    return c.column >= 0 && c.column < m_nColumns && c.row >= 0 && c.row < m_nRows;
  }
  bool Occupied(int32_t column, int32_t row) const;

  int16_t m_nColumns = 0, m_nRows = 0;
  std::vector<GridCell> m_Runner, m_SavedRunner;
  std::vector<uint16_t> m_Full, m_SavedFull;
  uint16_t m_nRing = 0, m_nSavedRing = 0;
  std::vector<PlacedCard> m_Placed;
  int32_t m_nPlaced = 0;
};

class CMatrix_Mj_Poke_2 : public CMatrix_Mj_Poke {
 public:
  using CMatrix_Mj_Poke::CMatrix_Mj_Poke;

 protected:
  int SideCount() const override { return 2; }
  SideGeometry Side(int side, int32_t r) const override;
};

}  // namespace sprites
