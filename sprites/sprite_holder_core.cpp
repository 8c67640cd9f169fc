#include "sprite_holder_core.h"

namespace sprites {

std::unique_ptr<CMj_Poke> CreateSpriteOfKind(uint16_t kind, OwnerWindow owner, SpriteBuild build) {
  switch (kind) {
    case 4: return std::make_unique<CMj_Poke>(owner, build);
    case 5: return std::make_unique<CMatrix_Mj_Poke>(owner, build);
    case 7: return std::make_unique<CWall_Mj_Poke>(owner, build);
    case 13: return std::make_unique<CWall_Mj_Poke_2_90>(owner, build);
    default: return std::make_unique<CSeperator_Mj_Poke>(owner, build);
  }
}

void SpriteHolderCore::CreateSprite(uint16_t kind, uint16_t angle, int16_t topMargin,
                                    uint16_t mode, uint32_t background,
                                    const SpriteBitmapSizes& sizes) {
  if (!m_Sprite) m_Sprite = CreateSpriteOfKind(kind, m_hOwner, m_Build);
  m_Sprite->Init(angle, topMargin, mode, background, sizes);
}

std::optional<SpriteDrawing> SpriteHolderCore::LayoutDraw(const PixelRect& rect) const {
  if (!m_Sprite || !m_Sprite->Visible()) return std::nullopt;
  return m_Sprite->LayoutDraw(rect);
}

void SpriteHolderCore::AddCard(int16_t value, int16_t color) {
  if (!m_Sprite) return;
  m_Sprite->AddCard(card{color, value});
  m_Sprite->SortCards();
}

void SpriteHolderCore::AddCardWithoutSort(int16_t value, int16_t color) {
  if (m_Sprite) m_Sprite->AddCard(card{color, value});
}

void SpriteHolderCore::AddCards(int16_t count, const card* cards) {
  if (m_Sprite) m_Sprite->AddCards(count, cards);
}

void SpriteHolderCore::GetCount(uint16_t& n) const {
  n = 0;
  if (m_Sprite) m_Sprite->GetCount(n);
}

void SpriteHolderCore::GetCardAt(int16_t index, uint16_t& value, uint16_t& color) const {
  value = color = 0xFFFF;
  if (!m_Sprite) return;
  uint16_t n = 0;
  m_Sprite->GetCount(n);
  if (index < 0 || index >= n) return;
  if (const auto c = m_Sprite->CardAt(index)) {
    value = static_cast<uint16_t>(c->m_nValue);
    color = static_cast<uint16_t>(c->m_nColor);
  }
}

void SpriteHolderCore::PutCardInCell(int16_t value, int16_t color, int16_t seat) {
  if (!m_Sprite) return;
  m_Sprite->HideFrame();
  int16_t column = -1, row = -1;
  const int16_t side = m_Sprite->FindCell(seat, column, row);
  m_Sprite->PlaceInCell(seat, side, card{color, value}, column, row);
}

void SpriteHolderCore::SetGrid(int16_t columns, int16_t rows) {
  if (m_Sprite) m_Sprite->SetGrid(columns, rows);
}
void SpriteHolderCore::RemoveAt(int16_t index) {
  if (m_Sprite) m_Sprite->RemoveAt(index);
}
void SpriteHolderCore::RemoveFirst(int16_t n) {
  if (m_Sprite) m_Sprite->RemoveFirst(n);
}
void SpriteHolderCore::RemoveCard(int16_t value, int16_t color) {
  if (m_Sprite) m_Sprite->RemoveCard(color, value);
}
void SpriteHolderCore::ClearAll() {
  if (m_Sprite) m_Sprite->ClearAll();
}

void SpriteHolderCore::ClickAt(int32_t x, int32_t y) {
  if (!m_Sprite) return;
  const int16_t index = m_Sprite->HitTest(m_hOwner, x, y);
  if (index >= 0) m_Sprite->SelectAt(index);
}

void SpriteHolderCore::GetSize(uint16_t& w, uint16_t& h) const {
  w = h = 0;
  if (m_Sprite) m_Sprite->GetSize(w, h);
}
void SpriteHolderCore::GetTileSize(uint16_t& w, uint16_t& h) const {
  w = h = 0;
  if (m_Sprite) m_Sprite->GetTileSize(w, h);
}
void SpriteHolderCore::SetBkColor(uint32_t color) {
  if (m_Sprite) m_Sprite->SetBkColor(color);
}
void SpriteHolderCore::GetSelectedCount(uint16_t& n) const {
  n = m_Sprite ? static_cast<uint16_t>(m_Sprite->Selection().size()) : 0;
}
std::vector<uint16_t> SpriteHolderCore::SelectedIndices() const {
  return m_Sprite ? m_Sprite->Selection() : std::vector<uint16_t>{};
}
void SpriteHolderCore::ClearSelection() {
  if (m_Sprite) m_Sprite->ClearSelection();
}
void SpriteHolderCore::SetFrame(uint16_t flag) {
  if (!m_Sprite) return;
  if (flag == 1) m_Sprite->ShowFrame();
  else m_Sprite->HideFrame();
}
void SpriteHolderCore::SetGroupFrame(uint16_t flag) {
  if (auto* g = Groups()) {
    if (flag == 1) g->FrameAll();
    else g->HideFrame();
  }
}
void SpriteHolderCore::RemoveGroup(int16_t count, const card* cards) {
  if (auto* g = Groups()) g->RemoveGroup(count, cards);
}
void SpriteHolderCore::GetLastGroupPos(int16_t& x, int16_t& y) const {
  x = y = 0;
  if (auto* g = Groups()) g->GetLastGroupPos(x, y);
}
void SpriteHolderCore::SetOverlap(uint16_t overlap) {
  if (auto* g = Groups()) g->SetOverlap(static_cast<int16_t>(overlap));
}
void SpriteHolderCore::SetFirstPosition_InWall(int16_t loc, int16_t pos) {
  if (auto* w = Wall()) w->SetFirstPosition(loc, pos);
}
void SpriteHolderCore::DeleteCardsFromWall(int16_t num, uint16_t isbu) {
  auto* w = Wall();
  if (!w) return;
  if (isbu == 1) w->DeleteFromTail(num);
  else w->DeleteFromHead(num);
}
void SpriteHolderCore::SetWallSize(uint16_t w, uint16_t h) {
  if (auto* wall = Wall()) wall->SetWallSize(w, h);
}
void SpriteHolderCore::ShowDice(uint16_t on, int16_t seat, int16_t die1, int16_t die2) {
  auto* w = Wall();
  if (!w) return;
  if (on == 1) w->ShowDice(seat, die1, die2);
  else w->ShowDice(-1, -1, -1);
}
void SpriteHolderCore::InitWall(int16_t num) {
  if (auto* w = Wall()) w->InitWall(num);
}
void SpriteHolderCore::EnableDraw(uint32_t on) {
  if (m_Sprite) m_Sprite->EnableDraw(on != 0);
}
void SpriteHolderCore::SetVisible(uint32_t on) {
  if (m_Sprite) m_Sprite->SetVisible(on != 0);
}
void SpriteHolderCore::SetFaceOffset(uint16_t x, uint16_t y) {
  if (m_Sprite) m_Sprite->SetFaceOffset(static_cast<int16_t>(x), static_cast<int16_t>(y));
}

}  // namespace sprites
