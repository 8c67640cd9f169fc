// The grouped tile row: melds, face-down melds and the board's candidate combinations. Each
// AddCards call adds one group; tiles inside a group overlap, groups are apart by a gap and the
// fourth tile of a kong is raised over the middle of its group.
#pragma once
#include "comm_poke.h"

namespace sprites {

class CSeperator_Mj_Poke : public CMj_Poke {
 public:
  explicit CSeperator_Mj_Poke(OwnerWindow owner, SpriteBuild build = SpriteBuild::Table);

  void GetCount(uint16_t& n) const override;
  int16_t HitTest(OwnerWindow owner, int32_t x, int32_t y) const override;
  void GetSize(uint16_t& w, uint16_t& h) const override;
  int16_t GetCardX(int32_t k) const override;
  void SortCards() override;
  void ClearAll() override;
  void ShowFrame() override;
  void HideFrame() override { m_bFrame = false; }
  void AddCards(int16_t count, const card* cards) override;
  void SetWildCards(int16_t count, const card* cards) override;
  bool IsWildCard(int32_t) const override { return false; }
  std::optional<card> CardAt(int32_t k) const override;

  void FrameAll();
  void RemoveGroup(int16_t count, const card* cards);
  void GetLastGroupPos(int16_t& x, int16_t& y) const;
  void SetOverlap(int16_t overlap) { m_nOverlap = overlap; }
  int16_t Overlap() const { return m_nOverlap; }
  // x of overall tile k in the face-down layout, where every group of four is a kong.
  int16_t GetFaceDownX(int32_t k) const;

  const std::vector<std::vector<card>>& Groups() const { return m_Groups; }
  static bool IsKong(const std::vector<card>& group);

 protected:
  SpriteDrawing LayoutRow(int32_t x, int32_t y) const override;
  SpriteDrawing LayoutRowByMode(int32_t x, int32_t y) const override;

 private:
  int32_t GroupWidth(const std::vector<card>& g, bool anyFourIsKong) const;
  int32_t WalkX(int32_t k, bool anyFourIsKong) const;
  bool KongLike(const std::vector<card>& g, bool anyFourIsKong) const {
    return g.size() == 4 && (anyFourIsKong || IsKong(g));
  }
  SpriteDrawing StartRow(int32_t x, int32_t y) const;
  void AddFrame(SpriteDrawing& d) const;

  int16_t m_nOverlap = 4;
  std::vector<std::vector<card>> m_Groups;
};

}  // namespace sprites
