#include "comm_mj_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "table_texts.h"

namespace table {

namespace {

constexpr uint32_t kSpriteBackground = 0x8000;
constexpr int32_t kMarkSize = 27;

// A text field of a person record: zero-terminated within its 34 bytes.
std::string PersonText(const char* field) { return std::string(field, strnlen(field, 34)); }

[[maybe_unused]] uint16_t Width16(const Holder& h) {
  uint16_t w = 0, ht = 0;
  h.GetSize(w, ht);
  return w;
}

}  // namespace

// ------------------------------------------------------------------------------------------
// CMjLocation

CMjLocation::CMjLocation(CCommMjTable* table, int16_t seat) : m_pTable(table), m_nSeat(seat) {
  for (auto& h : m_Holders) h = table->factory().NewHolder();
}

void CMjLocation::InitPoke() {
  HolderFactory& f = m_pTable->factory();
  const bool big = m_pTable->bigScreen;
  const TileSet own = big ? TileSet::Large : TileSet::Medium;
  if (m_nSeat == 0) {
    const int16_t handMargin = big ? 14 : 12;
    const int16_t meldMargin = big ? 15 : 10;
    f.CreateSprite(hand(), {4, 0, handMargin, 0, kSpriteBackground, own});
    hand().SetFaceOffset(big ? 2 : 3, big ? 17 : 12);
    f.CreateSprite(melds(), {6, 0, meldMargin, 1, kSpriteBackground, own});
    melds().SetFaceOffset(big ? 1 : 2, big ? 2 : 3);
    melds().SetOverlap(2);
    f.CreateSprite(concealedKongs(), {6, 0, meldMargin, 2, kSpriteBackground, own});
    concealedKongs().SetOverlap(2);
    f.CreateSprite(flowers(), {4, 0, 0, 1, kSpriteBackground, TileSet::Small});
    f.CreateSprite(current(), {4, 0, handMargin, 0, kSpriteBackground, own});
    current().SetFaceOffset(big ? 2 : 3, big ? 17 : 12);
  } else if (m_nSeat == 1) {
    f.CreateSprite(hand(), {4, 0, 0, 4, kSpriteBackground, TileSet::Small});
    f.CreateSprite(melds(), {6, 180, 8, 1, kSpriteBackground, TileSet::Small});
    melds().SetFaceOffset(3, 2);
    melds().SetOverlap(1);
    f.CreateSprite(concealedKongs(), {6, 180, 8, 2, kSpriteBackground, TileSet::Small});
    concealedKongs().SetOverlap(1);
    f.CreateSprite(flowers(), {4, 180, 0, 1, kSpriteBackground, TileSet::Small});
    f.CreateSprite(current(), {4, 0, 0, 4, kSpriteBackground, TileSet::Small});
    current().ClearAll();
    current().AddCardWithoutSort(0, 0);
    currentShown = false;
  }
  // Seats beyond the two get no sprites.
}

void CMjLocation::CalcLayout(const Rect& c) {
  const bool big = m_pTable->bigScreen;
  int32_t pw = 240, ph = 280;
  if (m_pTable->avatarLook) {
    pw = big ? 90 : 70;
    ph = big ? 160 : 120;
  }
  const sprites::BitmapSize clock = m_pTable->surface().ClockSize();
  const int32_t L = c.left, T = c.top, R = c.right, B = c.bottom;
  auto mark = [](int32_t x, int32_t y) { return Rect{x, y, x + kMarkSize, y + kMarkSize}; };
  if (m_nSeat == 0) {
    const int32_t ax = (R - L - 252) / 2 + 284;
    m_Anchor = {ax, B - 32, ax + 32, B};
    m_Panel.left = L + (big ? 15 : 0);
    m_Panel.right = m_Panel.left + pw;
    m_Panel.bottom = B - 140;
    m_Panel.top = m_Panel.bottom - ph;
    m_Marks[kMarkBanker] = mark(m_Panel.right, m_Panel.top + 20);
    m_Marks[kMarkReadyHand] = mark(m_Panel.right, m_Panel.top + 50);
    m_Marks[kMarkReady] = mark(m_Panel.right, m_Panel.top + 80);
    const int32_t cx = m_Panel.left + (pw - clock.width) / 2;
    m_Clock = {cx, m_Panel.top - clock.height, cx + clock.width, m_Panel.top};
    m_Action = {R - 130, B - 230, R - 45, B - 150};
  } else if (m_nSeat == 1) {
    const int32_t ax = (R - L - 32) / 2;
    m_Anchor = {ax, T, ax + 32, T + 32};
    m_Panel.right = R - (big ? 15 : 0);
    m_Panel.left = m_Panel.right - pw;
    m_Panel.top = T + 30;
    m_Panel.bottom = m_Panel.top + ph;
    m_Marks[kMarkBanker] = mark(m_Panel.left - 27, T + 80);
    m_Marks[kMarkReadyHand] = mark(m_Panel.left - 27, T + 110);
    m_Marks[kMarkReady] = {m_Panel.left + 20, m_Panel.top - 27, m_Panel.left + 47, m_Panel.top};
    const int32_t cx = m_Panel.left + (pw - clock.width) / 2;
    m_Clock = {cx, m_Panel.bottom + 35, cx + clock.width, m_Panel.bottom + 35 + clock.height};
    uint16_t lw = 0, lh = 0;
    m_pTable->ScoreList().GetListSize(lw, lh);
    const int32_t listLeft = (R - L - lw) / 2;
    m_Action = {listLeft - 100, T + 132, listLeft, T + 252};
  } else {
    m_Anchor = m_Clock = m_Panel = m_Action = {};
    m_Marks = {};
  }
  if (clock.width <= 0 || clock.height <= 0) m_Clock = {};
}

void CMjLocation::CalcCardLayout(const Rect& c) {
  if (m_nSeat > 1) {
    m_Areas = {};
    return;
  }
  uint16_t hw = 0, hh = 0, mw = 0, mh = 0, kw = 0, kh = 0, fw = 0, fh = 0, tw = 0, th = 0;
  hand().GetSize(hw, hh);
  melds().GetSize(mw, mh);
  concealedKongs().GetSize(kw, kh);
  flowers().GetSize(fw, fh);
  current().GetTileSize(tw, th);
  const int32_t L = c.left, R = c.right, B = c.bottom;
  const bool big = m_pTable->bigScreen;
  if (m_nSeat == 0) {
    const int32_t x0 = std::max<int32_t>(0, (R - mw - hw - kw - tw - L - 6) / 2);
    const int32_t base = Height(c) - (big ? 35 : 16);
    const int32_t y0 = base - kh;
    int32_t x = x0;
    m_Areas[kConcealedKongs] = {x, y0, x + kw, y0 + kh};
    x += kw + 2;
    m_Areas[kMelds] = {x, y0, x + mw, y0 + mh};
    x += mw + 2;
    m_Areas[kHand] = {x, y0, x + hw, y0 + hh};
    x += hw + 10;
    m_Areas[kCurrent] = {x, y0, x + tw, y0 + th};
    m_Areas[kFlowers] = {0, B - fh, fw, B};
  } else {
    const int32_t x0 = std::max<int32_t>(0, (R - mw - hw - kw - tw - L - 10) / 2);
    const int32_t top = big ? m_Anchor.top + 6 : m_Anchor.bottom - 2;
    int32_t x = big ? x0 : x0 - 15;
    m_Areas[kCurrent] = {x, top, x + tw, top + th};
    x += tw + 5;
    m_Areas[kHand] = {x, top, x + hw, top + hh};
    x += hw + 2;
    m_Areas[kMelds] = {x, top, x + mw, top + mh};
    x += mw + 2;
    m_Areas[kConcealedKongs] = {x, top, x + kw, top + kh};
    m_Areas[kFlowers] = {R - 100 - fw, m_Anchor.top, R - 100, m_Anchor.top + fh};
  }
}

void CMjLocation::Draw() {
  if (!person || m_nSeat > 1) return;
  TableSurface& s = m_pTable->surface();
  const Rect client = s.ClientRect();
  CalcLayout(client);
  // A mark taken away must not stay on the table.
  for (const Rect& r : m_Marks) s.RestoreBackground(r);
  if (ready && s.HasMark(Mark::Ready)) s.DrawMark(Mark::Ready, m_Marks[kMarkReady]);
  if (m_pTable->bankerSeat == m_nSeat && s.HasMark(Mark::Banker))
    s.DrawMark(Mark::Banker, m_Marks[kMarkBanker]);
  if (readyHand && s.HasMark(Mark::ReadyHand))
    s.DrawMark(Mark::ReadyHand, m_Marks[kMarkReadyHand]);
  CalcCardLayout(client);
  DrawCards();
}

void CMjLocation::DrawCards() {
  if (m_nSeat > 1) return;
  TableSurface& s = m_pTable->surface();
  const Rect client = s.ClientRect();
  Rect all;
  for (const Rect& r : m_Areas) all = Union(all, r);
  if (m_nSeat == 0) {
    all.left = client.left;
    all.right = client.right;
  } else {
    all = Inflated(all, 7, 0);
  }
  s.RestoreBackground(all);
  for (int a = 0; a < kAreaCount; ++a) {
    Holder& h = *m_Holders[a];
    uint16_t w = 0, ht = 0;
    h.GetSize(w, ht);
    const bool shown = (a != kCurrent) || currentShown;
    const bool any = w >= 1 && ht >= 1 && shown;
    uint16_t n = 0;
    h.GetCount(n);
    h.EnableDraw(any && n > 0 ? 1 : 0);
    if (any && n > 0) s.DrawHolder(h, m_Areas[a]);
  }
}

void CMjLocation::SetReady(bool on) {
  ready = on;
  Redraw();
}

void CMjLocation::ShowCurrent(bool show) {
  currentShown = show;
  if (show) {
    CalcLayout(m_pTable->surface().ClientRect());
    CalcCardLayout(m_pTable->surface().ClientRect());
    DrawCards();
  }
}

void CMjLocation::StartCountDown() {
  countdown = 0;
  m_pTable->DrawCountDown(m_nSeat);
  m_pTable->timers().SetTimer(static_cast<uint32_t>(m_nSeat), m_pTable->countdownPeriod);
}

void CMjLocation::ClearCards() {
  for (auto& h : m_Holders) h->ClearAll();
  hand().ClearSelection();
  current().ClearSelection();
  currentFromWall = false;
  Redraw();
}

void CMjLocation::StartDealAnimation(int16_t steps) {
  dealSteps = steps;
  dealStep = 0;
}

int CMjLocation::DealAnimationStep() {
  TableSurface& s = m_pTable->surface();
  const Rect client = s.ClientRect();
  CalcLayout(client);
  CalcCardLayout(client);
  hand().SetVisible(1);
  if (dealSteps > 0 && m_nSeat <= 1) {
    const Rect& whole = m_Areas[kHand];
    Rect part = whole;
    part.right = whole.left + Width(whole) * std::min<int>(dealStep, dealSteps) / dealSteps;
    if (!IsEmpty(part) && !IsEmpty(whole)) s.DrawHolderParts(hand(), whole, {part});
    if (m_nSeat == 0 && dealStep % 2 == 0 && m_pTable->soundOn) s.PlaySound(Sound::Deal, 1);
  }
  ++dealStep;
  if (dealStep >= dealSteps) {
    current().SetVisible(1);
    // The dealer's extra tile, added while the hand was being dealt, shows with the hand.
    uint16_t held = 0;
    current().GetCount(held);
    if (held > 0) currentShown = true;
    return 1;
  }
  return 0;
}

void CMjLocation::StartMeldAnimation(int /*kind*/) {
  meldFrames = kMeldAnimationFrames;
  meldFrame = 0;
}

Rect CMjLocation::AnnouncementRect(int16_t gx, int16_t gy, int32_t w, int32_t h) const {
  if (m_nSeat == 0) return {gx, gy - h, gx + w, gy};
  return {gx, gy + h, gx + w, gy + 2 * h};
}

int CMjLocation::MeldAnimationStep(int kind) {
  TableSurface& s = m_pTable->surface();
  const Rect client = s.ClientRect();
  CalcLayout(client);
  CalcCardLayout(client);
  int16_t gx = 0, gy = 0;
  melds().GetLastGroupPos(gx, gy);
  int32_t x = m_Areas[kMelds].left + gx;
  int32_t y = m_Areas[kMelds].top + gy;
  if (m_nSeat == 0) {
    if (x < m_Panel.right) x = m_Panel.right;
    if (x + 80 > client.right - 130) x = client.right - 210;
  } else if (x + 80 > m_Panel.left - 27) {
    x = m_Panel.left - 107;
  }
  SkinImage image = SkinImage::Gang;
  switch (kind) {
    case 0: image = SkinImage::Eat; break;
    case 1: image = SkinImage::Peng; break;
    case 4: image = SkinImage::Hu; break;
    default: image = SkinImage::Gang; break;
  }
  const float opacity =
      meldFrame <= 5 ? 1.0f : 1.0f - static_cast<float>(meldFrame - 5) / (10 - 5);
  if (m_pTable->bigScreen) {
    y += (m_nSeat == 0) ? -50 : 50;
    s.DrawFadedImage(image, x, y, std::max(0.0f, opacity));
  } else {
    DrawCards();
    s.DrawFadedImage(image, x, y, std::max(0.0f, opacity));
  }
  m_LastAnnouncement = {x, y, x + 200, y + 200};
  ++meldFrame;
  return meldFrame > kMeldAnimationFrames ? 1 : 0;
}

void CMjLocation::DrawMeldArea() {
  TableSurface& s = m_pTable->surface();
  const Rect client = s.ClientRect();
  CalcLayout(client);
  CalcCardLayout(client);
  int16_t gx = 0, gy = 0;
  melds().GetLastGroupPos(gx, gy);
  const sprites::BitmapSize area = s.MeldAreaSize();
  Rect r = AnnouncementRect(static_cast<int16_t>(m_Areas[kMelds].left + gx),
                            static_cast<int16_t>(m_Areas[kMelds].top + gy), area.width,
                            area.height);
  // The announcement may have been moved beside the panel: take it away wherever it stood.
  r = Union(r, m_LastAnnouncement);
  m_LastAnnouncement = {};
  s.RestoreBackground(r);
  if (Intersects(r, m_pTable->WallRect())) m_pTable->DrawWall();
  Draw();
}

void CMjLocation::SetBkColor(uint32_t color) {
  for (auto& h : m_Holders) h->SetBkColor(color);
}

// ------------------------------------------------------------------------------------------
// CCommMjTable

CCommMjTable::CCommMjTable(TableSurface& surface, TimerHost& timers, HolderFactory& factory,
                           bool big)
    : bigScreen(big), m_Surface(surface), m_Timers(timers), m_Factory(factory) {
  m_pWall = factory.NewHolder();
  factory.CreateSprite(*m_pWall, {13, 0, 0, 1, kSpriteBackground, TileSet::Small});
  m_pWall->SetGrid(12, 4);
  m_pWall->SetFaceOffset(4, 3);
  m_pWall->SetWallSize(400, 300);
  CreateLocations(2);
}

CCommMjTable::~CCommMjTable() {
  // The model's timers end with it (a second InitTable replaces the model).
  for (int s = 0; s < SeatCount(); ++s) m_Timers.KillTimer(static_cast<uint32_t>(s));
  for (uint32_t id : {kTimerStart, kTimerWallBlink, kTimerMeldBlink, kTimerKongBlink,
                      kTimerAngry, kTimerLaugh, kTimerWinnerBlink, kTimerAdvert, kTimerDealOwn,
                      kTimerDealOpponent, kTimerWallBuild})
    m_Timers.KillTimer(id);
  for (int s = 0; s < SeatCount(); ++s)
    for (uint32_t base : {kTimerChowAnimation, kTimerPungAnimation, kTimerKongAnimation,
                          kTimerHuAnimation})
      m_Timers.KillTimer(base + static_cast<uint32_t>(s));
}

void CCommMjTable::CreateLocations(int16_t count) {
  if (count < 0) return;
  m_Seats.clear();
  for (int16_t i = 0; i < count; ++i) m_Seats.push_back(std::make_unique<CMjLocation>(this, i));
}

void CCommMjTable::InitPoke(int16_t, int16_t, int16_t, int16_t, uint32_t bk_color) {
  bkColor = bk_color;
  for (auto& s : m_Seats) s->InitPoke();
}

void CCommMjTable::DrawLocation(int16_t seat) {
  if (seat == -1) {
    RedrawTable();
    return;
  }
  if (CMjLocation* s = Seat(seat)) s->Draw();
}

void CCommMjTable::UpdateLocation(int16_t seat) {
  if (CMjLocation* s = Seat(seat)) s->Draw();
}

void CCommMjTable::RelayoutLocation(int16_t seat) {
  if (CMjLocation* s = Seat(seat)) s->CalcLayout(ClientRect());
}

void CCommMjTable::StartOneHand() {
  m_pWall->ClearAll();
  discardOnWall = false;
  workingStart = countdownStart;
  autoMode = false;
  diceSeat = -1;
  dicePhase = false;
  claimChoice = false;
  dice[0] = dice[1] = -1;
  for (auto& s : m_Seats) s->readyHand = false;
}

void CCommMjTable::ClearLocations() {
  for (auto& s : m_Seats) s->ClearCards();
}

void CCommMjTable::ClearAllCards() {
  for (auto& s : m_Seats) {
    for (int a = 0; a < CMjLocation::kAreaCount; ++a)
      s->holder(static_cast<CMjLocation::Area>(a)).ClearAll();
    s->hand().ClearSelection();
    s->current().ClearSelection();
    s->currentFromWall = false;
  }
  m_Timers.KillTimer(kTimerWinnerBlink);
  if (CMjLocation* w = Seat(winnerSeat)) w->melds().SetGroupFrame(0);
  RedrawTable();
}

void CCommMjTable::SetCountDown(uint32_t periodMs, int16_t start) {
  countdownPeriod = periodMs;
  countdownStart = start;
  workingStart = start;
}

void CCommMjTable::SetColors(uint32_t background, uint32_t text) {
  bkColor = background;
  textColor = text;
}

std::optional<card> CCommMjTable::GetSendCards() {
  if (!playMode) return std::nullopt;
  CMjLocation* own = Seat(0);
  if (!own) return std::nullopt;
  uint16_t h = 0, c = 0;
  own->hand().GetSelectedCount(h);
  own->current().GetSelectedCount(c);
  if (h + c != 1) return std::nullopt;
  if (own->readyHand && h > 0) return std::nullopt;
  uint16_t value = 0xFFFF, color = 0xFFFF;
  if (c == 1) {
    own->current().GetCardAt(0, value, color);
  } else {
    const std::vector<uint16_t> sel = own->hand().SelectedIndices();
    uint16_t count = 0;
    own->hand().GetCount(count);
    // A selection left over from tiles that are gone gives no tile.
    if (sel.empty() || sel.front() >= count) return std::nullopt;
    own->hand().GetCardAt(static_cast<int16_t>(sel.front()), value, color);
  }
  if (value == 0xFFFF && color == 0xFFFF) return std::nullopt;
  return card{static_cast<int16_t>(color), static_cast<int16_t>(value)};
}

void CCommMjTable::AddCardsToMyHandWithSort(int16_t count, const card* cards) {
  CMjLocation* own = Seat(0);
  if (!own || count < 1 || !cards) return;
  for (int i = 0; i < count; ++i)
    own->hand().AddCard(static_cast<int16_t>(cards[i].m_nValue),
                        static_cast<int16_t>(cards[i].m_nColor));
  own->hand().ClearSelection();
}

void CCommMjTable::AddCardsToMyHandWithoutSort(int16_t count, const card* cards) {
  CMjLocation* own = Seat(0);
  if (!own || count < 1 || !cards) return;
  for (int i = 0; i < count; ++i)
    own->hand().AddCardWithoutSort(static_cast<int16_t>(cards[i].m_nValue),
                                   static_cast<int16_t>(cards[i].m_nColor));
  own->hand().ClearSelection();
  own->Redraw();
}

void CCommMjTable::AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards) {
  CMjLocation* own = Seat(0);
  if (!own) return;
  own->hand().SetVisible(0);
  own->current().SetVisible(0);
  ShowScoreInfo(false);
  HideHandButtons(false);
  AddCardsToMyHandWithSort(count, cards);
  HideHandButtons(true);
  own->StartDealAnimation(count);
  m_Timers.SetTimer(kTimerDealOwn, 60);
}

namespace {

// No hand is dealt more tiles than the largest wall holds (every tile, the flowers too).
constexpr int16_t kMostWallTiles = 144;

int16_t DealCount(int16_t num) { return std::clamp<int16_t>(num, 0, kMostWallTiles); }

}  // namespace

void CCommMjTable::SetDealNum(int16_t seat, int16_t num) {
  if (seat == 0 || !ValidSeat(seat)) return;
  CMjLocation* s = Seat(seat);
  num = DealCount(num);
  for (int i = 0; i < num; ++i) s->hand().AddCard(0, 1);
  DrawLocation(seat);
}

void CCommMjTable::SetDealNum_InTimer(int16_t seat, int16_t num) {
  if (seat == 0 || !ValidSeat(seat)) return;
  CMjLocation* s = Seat(seat);
  s->hand().SetVisible(0);
  s->current().SetVisible(0);
  num = DealCount(num);
  for (int i = 0; i < num; ++i) s->hand().AddCard(0, 1);
  s->StartDealAnimation(num);
  m_Timers.SetTimer(kTimerDealOpponent, 60);
}

void CCommMjTable::AddCardToCurrent(int16_t seat, int16_t color, int16_t value, bool show) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  if (seat == 0) {
    s->current().AddCard(value, color);
  } else {
    // The opponent's drawn tile is one face-down tile, never more.
    s->current().ClearAll();
    s->current().AddCardWithoutSort(0, 0);
    s->currentFromWall = true;
  }
  s->current().SetVisible(1);
  if (show) s->ShowCurrent(true);
  StartChoice(seat);
}

void CCommMjTable::SetRecvCards(int16_t seat, int16_t num, const card* cards, int16_t issend) {
  CMjLocation* s = Seat(seat);
  if (!s || num < 1 || !cards) return;
  if (issend != 0) StopCountDown(seat);
  m_Timers.KillTimer(kTimerWallBlink);
  s->DrawMeldArea();
  m_Timers.SetTimer(kTimerWallBlink, kBlinkPeriod);
  const card discard = cards[0];
  m_pWall->PutCardInCell(static_cast<int16_t>(discard.m_nValue),
                         static_cast<int16_t>(discard.m_nColor), seat);
  if (num == 1) lastDiscard = discard;
  discardOnWall = true;
  if (seat == 0) {
    m_Timers.KillTimer(kTimerMeldBlink);
    m_Timers.KillTimer(kTimerKongBlink);
    s->melds().SetFrame(0);
    s->concealedKongs().SetFrame(0);
    uint16_t n = 0;
    s->current().GetCount(n);
    const int16_t v = static_cast<int16_t>(discard.m_nValue);
    const int16_t c = static_cast<int16_t>(discard.m_nColor);
    if (n == 1) {
      uint16_t cv = 0, cc = 0;
      s->current().GetCardAt(0, cv, cc);
      const bool same = cv == static_cast<uint16_t>(v) && cc == static_cast<uint16_t>(c);
      // The drawn tile thrown straight away leaves the hand as it was.
      if (!same) {
        s->hand().RemoveCard(v, c);
        s->hand().AddCard(static_cast<int16_t>(cv), static_cast<int16_t>(cc));
      }
    } else {
      s->hand().RemoveCard(v, c);
    }
    s->current().ClearAll();
  } else if (s->currentFromWall) {
    s->currentFromWall = false;
  } else {
    s->hand().RemoveFirst(1);
  }
  if (CMjLocation* own = Seat(0)) {
    own->hand().ClearSelection();
    own->current().ClearSelection();
  }
  s->current().ClearAll();
  s->currentShown = false;
  const Rect client = ClientRect();
  s->CalcLayout(client);
  s->CalcCardLayout(client);
  s->DrawCards();
  DrawWall();
  StartChoice_InTimer(seat == 0 ? 1 : 0);
}

void CCommMjTable::SetRecvCards_InRecover(int16_t seat, int16_t num, const card* cards) {
  if (!ValidSeat(seat) || num < 1 || !cards) return;
  discardOnWall = false;  // a rebuilt row holds no discard waiting for a claim
  m_pWall->PutCardInCell(static_cast<int16_t>(cards[0].m_nValue),
                         static_cast<int16_t>(cards[0].m_nColor), seat);
}

void CCommMjTable::ExposeCard_InRecover(int16_t seat, int16_t type, int16_t count,
                                        const card* cards) {
  CMjLocation* s = Seat(seat);
  if (!s || count < 1 || !cards) return;
  switch (type) {
    case kMeldChowOrPung:
    case kMeldAddedKong:
    case kMeldKongOnDiscard:
    case kMeldHandLaidOpen:
      s->melds().AddCards(count, cards);
      break;
    case kMeldConcealedKong:
      s->concealedKongs().AddCards(count, cards);
      break;
    case kMeldFlowers:
      for (int i = 0; i < count; ++i)
        s->flowers().AddCard(static_cast<int16_t>(cards[i].m_nValue),
                             static_cast<int16_t>(cards[i].m_nColor));
      break;
    default:
      break;
  }
}

void CCommMjTable::ExposeCard(int16_t seat, int16_t type, int16_t count, const card* cards) {
  CMjLocation* s = Seat(seat);
  if (!s || count < 1 || !cards) return;
  auto v = [&](int i) { return static_cast<int16_t>(cards[i].m_nValue); };
  auto c = [&](int i) { return static_cast<int16_t>(cards[i].m_nColor); };
  int animation = -1;
  switch (type) {
    case kMeldChowOrPung: {
      s->melds().AddCards(count, cards);
      const bool pung = count >= 2 && cards[0].m_nValue == cards[1].m_nValue;
      if (seat == 0) {
        if (pung) {
          for (int i = 0; i < count - 1; ++i) s->hand().RemoveCard(v(i), c(i));
        } else {
          for (int i = 0; i < count; ++i)
            if (cards[i].m_nValue != lastDiscard.m_nValue) s->hand().RemoveCard(v(i), c(i));
        }
      } else {
        s->hand().RemoveFirst(static_cast<int16_t>(count - 1));
      }
      TakeClaimedDiscard();
      animation = pung ? 1 : 0;
      break;
    }
    case kMeldKongOnDiscard:
      s->melds().AddCards(count, cards);
      if (seat == 0) {
        for (int i = 0; i < count - 1; ++i) s->hand().RemoveCard(v(0), c(0));
      } else {
        s->hand().RemoveFirst(static_cast<int16_t>(count - 1));
      }
      TakeClaimedDiscard();
      animation = 2;
      break;
    case kMeldConcealedKong:
      s->concealedKongs().AddCards(count, cards);
      if (seat == 0) {
        uint16_t n = 0;
        s->current().GetCount(n);
        for (uint16_t i = 0; i < n; ++i) {
          uint16_t cv = 0, cc = 0;
          s->current().GetCardAt(static_cast<int16_t>(i), cv, cc);
          s->hand().AddCard(static_cast<int16_t>(cv), static_cast<int16_t>(cc));
        }
        for (int i = 0; i < count; ++i) s->hand().RemoveCard(v(i), c(i));
        s->current().ClearAll();
      } else {
        s->hand().RemoveFirst(static_cast<int16_t>(count - 1));
        s->currentShown = false;
        s->currentFromWall = false;
      }
      animation = 3;
      break;
    case kMeldAddedKong:
      s->melds().AddCards(count, cards);
      if (seat == 0) {
        uint16_t n = 0;
        s->current().GetCount(n);
        if (n == 1) {
          uint16_t cv = 0, cc = 0;
          s->current().GetCardAt(0, cv, cc);
          if (cv != static_cast<uint16_t>(v(0)) || cc != static_cast<uint16_t>(c(0))) {
            s->hand().AddCard(static_cast<int16_t>(cv), static_cast<int16_t>(cc));
            s->hand().RemoveCard(v(0), c(0));
          }
        }
        s->current().ClearAll();
      } else {
        s->currentShown = false;
        s->currentFromWall = false;
      }
      animation = 2;
      break;
    case kMeldFlowers:
      for (int i = 0; i < count; ++i) s->flowers().AddCard(v(i), c(i));
      break;
    case kMeldHandLaidOpen:
      s->hand().ClearAll();
      s->melds().AddCards(count, cards);
      break;
    default:
      return;
  }
  if (seat == 0) {
    s->hand().ClearSelection();
    s->current().ClearSelection();
  }
  if (animation >= 0) {
    StartMeldAnimation(seat, static_cast<int16_t>(animation));
    StartChoice(seat);
  }
  const Rect client = ClientRect();
  s->CalcLayout(client);
  s->CalcCardLayout(client);
  s->DrawCards();
  if (seat == 0 && type != kMeldFlowers) {
    LightSend(1);
    LightPeng(0);
    LightChi(0);
    LightGang(0);
  }
}

void CCommMjTable::DeleteAllFromSend(int16_t seat) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  const Rect before = s->AreaRect(CMjLocation::kHand);
  s->hand().ClearAll();
  s->current().ClearAll();
  s->concealedKongs().ClearAll();
  s->currentFromWall = false;
  if (seat == 0) {
    s->hand().ClearSelection();
    s->current().ClearSelection();
    Rect r = before;
    r.right = std::max(before.right, s->AreaRect(CMjLocation::kCurrent).right);
    m_Surface.RestoreBackground(Inflated(r, 10, 10));
  }
}

void CCommMjTable::DeleteAllHideGang() {
  for (auto& s : m_Seats) s->concealedKongs().ClearAll();
}

int16_t CCommMjTable::GetHuaNum(int16_t seat) {
  CMjLocation* s = Seat(seat);
  if (!s) return 0;
  uint16_t n = 0;
  s->flowers().GetCount(n);
  return static_cast<int16_t>(n);
}

void CCommMjTable::SetTingStatus(int16_t seat, int16_t isting) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  s->readyHand = isting != 0;
  s->Redraw();
}

void CCommMjTable::SetBanker(int16_t bankloc, int16_t quan_feng) {
  if (!ValidSeat(bankloc)) return;
  bankerSeat = bankloc;
  roundWind = quan_feng;
  const int n = SeatCount();
  int seat = bankloc;
  for (int w = 0; w < n; ++w) {
    m_Seats[static_cast<size_t>(seat)]->wind = static_cast<uint16_t>(w);
    seat = (seat - 1 + n) % n;
  }
  DrawLocation(-1);
}

void CCommMjTable::StartGame(int16_t seat) {
  if (seat == -1) {
    for (auto& s : m_Seats) s->SetReady(false);
  } else if (CMjLocation* s = Seat(seat)) {
    s->SetReady(true);
  }
}

void CCommMjTable::HideStartSign() {
  for (auto& s : m_Seats) s->ready = false;
  RedrawTable();
}

void CCommMjTable::StartDeal() {
  for (auto& s : m_Seats) s->current().ClearAll();
  ShowStartButton(true);
}

void CCommMjTable::ResetTable() { m_pWall->ClearAll(); }

void CCommMjTable::InitWall(int16_t num) {
  m_pWall->SetVisible(1);
  m_pWall->InitWall(num);
}

void CCommMjTable::InitWall_InTimer(int16_t num) {
  m_pWall->SetVisible(0);
  m_pWall->InitWall(num);
  wallSteps = kWallBuildSteps;
  wallStep = 0;
  m_Timers.SetTimer(kTimerWallBuild, 40);
}

void CCommMjTable::SetPersonLocation(int16_t seat, int64_t icon, const TablePerson* person) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  s->icon = icon;
  s->person = person;
  DrawLocation(seat);
}

// ------------------------------------------------------------------------------------------
// Clocks

void CCommMjTable::StopEveryClock() {
  for (int16_t s = 0; s < SeatCount(); ++s) StopCountDown(s);
}

void CCommMjTable::StartChoice(int16_t seat) {
  if (reviewStyle != 0) return;
  CMjLocation* s = Seat(seat);
  if (!s) {
    StopEveryClock();
    return;
  }
  claimChoice = false;
  if (seat != 0) {
    s->StartCountDown();
    return;
  }
  if (autoSend) {
    EnableButton(kButtonSend, false);
    s->countdown = 1;
  } else if (autoMode) {
    workingStart = workingStart >= 11 ? static_cast<int16_t>(workingStart / 2) : 5;
    s->countdown = workingStart;
  } else {
    s->countdown = countdownStart;
  }
  m_Timers.SetTimer(kTimerOwnClock, countdownPeriod);
  if (!dicePhase) m_bOwnTurn = true;
}

void CCommMjTable::StartChoice_InTimer(int16_t seat) {
  if (reviewStyle != 0) return;
  CMjLocation* s = Seat(seat);
  if (!s) return;
  if (seat != 0) {
    s->StartCountDown();
    return;
  }
  claimChoice = true;
  if (autoSend) {
    for (int id : {kButtonSend, kButtonGuo, kButtonChi, kButtonPeng, kButtonGang})
      EnableButton(id, false);
    s->countdown = 1;
  } else if (autoMode) {
    workingStart = 5;
    s->countdown = 5;
  } else {
    s->countdown = 15;
  }
  m_Timers.SetTimer(kTimerOwnClock, countdownPeriod);
  m_bOwnTurn = false;
}

int CCommMjTable::CountDownTick(int16_t seat) {
  CMjLocation* s = Seat(seat);
  if (!s) return kClockGoesOn;
  DrawCountDown(seat);
  if (seat == 0) {
    if (s->countdown == 15 && soundOn) m_Surface.PlaySound(Sound::Ping, 2);
    --s->countdown;
    if (s->countdown < 1) {
      for (int id : {kButtonSend, kButtonGuo, kButtonTing, kButtonChi, kButtonPeng, kButtonGang,
                     kButtonHu})
        EnableButton(id, false);
      autoMode = true;
      m_Timers.KillTimer(kTimerOwnClock);
      return claimChoice ? kClaimTimeOut : kOwnTimeOut;
    }
    return kClockGoesOn;
  }
  ++s->countdown;
  if (s->countdown >= 300) m_Timers.KillTimer(static_cast<uint32_t>(seat));
  return kClockGoesOn;
}

void CCommMjTable::StopCountDown(int16_t seat) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  m_Timers.KillTimer(static_cast<uint32_t>(seat));
  s->countdown = -1;
  if (!IsEmpty(s->ClockRect())) m_Surface.RestoreBackground(s->ClockRect());
}

void CCommMjTable::DrawCountDown(int16_t seat) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  s->CalcLayout(ClientRect());
  const Rect clock = s->ClockRect();
  if (IsEmpty(clock)) return;
  if (s->countdown < 0) {
    m_Surface.RestoreBackground(clock);
    return;
  }
  m_Surface.DrawImage(SkinImage::Clock, clock, 1.0f);
  const int m = s->countdown % 60;
  Rect r = Inflated(clock, -20, -16);
  r = Offset(r, -6, 0);
  m_Surface.DrawImage(DigitImage(m / 10), r, 1.0f);
  r = Offset(r, 12, 0);
  m_Surface.DrawImage(DigitImage(m % 10), r, 1.0f);
}

// ------------------------------------------------------------------------------------------
// Buttons

void CCommMjTable::EnableButton(int id, bool on) {
  if (ButtonState* b = m_Buttons.Find(id)) {
    b->enabled = on;
    m_Surface.ButtonChanged(id);
  }
}

void CCommMjTable::ShowButton(int id, bool on) {
  if (ButtonState* b = m_Buttons.Find(id)) {
    b->visible = on;
    m_Surface.ButtonChanged(id);
  }
}

void CCommMjTable::SetButtonChecked(int id, bool on) {
  if (ButtonState* b = m_Buttons.Find(id)) {
    b->checked = on;
    m_Surface.ButtonChanged(id);
  }
}

void CCommMjTable::CreateButtons() {
  for (int id : kAllButtons) {
    ButtonState* b = m_Buttons.Find(id);
    b->enabled = true;
    b->visible = false;
    b->checked = false;
    b->checkMode = (id == kButtonAutoSend || id == kButtonPause);
  }
  for (int id : kActionStrip) {
    ButtonState* b = m_Buttons.Find(id);
    b->enabled = false;
    b->visible = playMode;
  }
  m_Buttons.Find(kButtonAction)->visible = true;
  for (int id : kAllButtons) m_Surface.ButtonChanged(id);
}

void CCommMjTable::ShowButtons() {
  for (int id : kActionStrip) {
    ButtonState* b = m_Buttons.Find(id);
    if (playMode) b->enabled = false;
    b->visible = playMode;
    m_Surface.ButtonChanged(id);
  }
}

void CCommMjTable::HideButtons() {
  for (int id : kActionStrip) ShowButton(id, false);
}

void CCommMjTable::Light(int id, int16_t on) {
  if (!playMode) return;
  ButtonState* b = m_Buttons.Find(id);
  b->enabled = on != 0;
  b->visible = true;
  m_Surface.ButtonChanged(id);
}

void CCommMjTable::LightSend(int16_t on) {
  if (!playMode) return;
  Light(kButtonSend, on);
  m_bOwnTurn = (on == 1);
  sendNotLit = (on != 1);
}
void CCommMjTable::LightGuo(int16_t on) { Light(kButtonGuo, on); }
void CCommMjTable::LightTing(int16_t on) { Light(kButtonTing, on); }
void CCommMjTable::LightChi(int16_t on) { Light(kButtonChi, on); }
void CCommMjTable::LightPeng(int16_t on) { Light(kButtonPeng, on); }
void CCommMjTable::LightGang(int16_t on) { Light(kButtonGang, on); }
void CCommMjTable::LightHu(int16_t on) { Light(kButtonHu, on); }

void CCommMjTable::ShowStartButton(bool show) {
  if (playMode && show) {
    ShowButton(kButtonStart, true);
    m_Timers.SetTimer(kTimerStart, kStartButtonPeriod);
  } else {
    ShowButton(kButtonStart, false);
  }
}

void CCommMjTable::ShowDiceButton(bool show) {
  if (playMode && show) {
    CalcLayout();
    ShowButton(kButtonDice, true);
  } else {
    ShowButton(kButtonDice, false);
  }
}

void CCommMjTable::HideHandButtons(bool flag) {
  for (int id : kToolButtons) ShowButton(id, false);
  // A replay shows its pause and next-step buttons.
  if (flag && reviewStyle != 0) {
    for (int id : {kButtonPause, kButtonNext}) {
      EnableButton(id, true);
      ShowButton(id, true);
    }
  }
}

void CCommMjTable::StartDice(int16_t seat) {
  ShowScoreInfo(false);
  if (ValidSeat(seat)) {
    dicePhase = true;
    diceSeat = seat;
    StartChoice(seat);
    if (seat == 0) ShowDiceButton(true);
  } else {
    dicePhase = false;
    diceSeat = -1;
    ShowDiceButton(false);
    StopEveryClock();
    m_pWall->ShowDice(0, 0, 0, 0);
    DrawWall();
  }
  m_Timers.KillTimer(kTimerWinnerBlink);
  if (CMjLocation* w = Seat(winnerSeat)) w->melds().SetGroupFrame(0);
  winnerSeat = discarderSeat = -1;
  for (auto& s : m_Seats) s->ready = false;
}

void CCommMjTable::SetDice(int16_t seat, int16_t num1, int16_t num2) {
  if (!ValidSeat(seat)) return;
  dice[0] = num1;
  dice[1] = num2;
  diceSeat = seat;
  dicePhase = false;  // the phase lasts from StartDice to the dice being thrown
  StopCountDown(seat);
  ShowDiceButton(false);
  m_pWall->ShowDice(1, seat, num1, num2);
  DrawWall();
  if (!playMode) ClearAllCards();
}

// ------------------------------------------------------------------------------------------
// Timed effects

void CCommMjTable::FocusCards(int16_t type, int16_t isfocus) {
  if (type < 1 || type > 3) return;
  const uint32_t id = kTimerWallBlink + static_cast<uint32_t>(type - 1);
  if (isfocus == 1) m_Timers.SetTimer(id, kBlinkPeriod);
  else m_Timers.KillTimer(id);
}

void CCommMjTable::BlinkWall(bool on) {
  m_pWall->SetFrame(on ? 1 : 0);
  DrawWall();
}

void CCommMjTable::BlinkMelds(bool on) {
  CMjLocation* own = Seat(0);
  if (!own) return;
  own->melds().SetFrame(on ? 1 : 0);
  own->CalcCardLayout(ClientRect());
  m_Surface.DrawHolder(own->melds(), own->AreaRect(CMjLocation::kMelds));
}

void CCommMjTable::BlinkConcealedKongs(bool on) {
  CMjLocation* own = Seat(0);
  if (!own) return;
  own->concealedKongs().SetFrame(on ? 1 : 0);
  own->CalcCardLayout(ClientRect());
  m_Surface.DrawHolder(own->concealedKongs(), own->AreaRect(CMjLocation::kConcealedKongs));
}

bool CCommMjTable::WinnerBlinkStep(bool on) {
  CMjLocation* w = Seat(winnerSeat);
  if (!w) return false;
  w->melds().SetGroupFrame(on ? 1 : 0);
  w->CalcLayout(ClientRect());
  w->CalcCardLayout(ClientRect());
  m_Surface.DrawHolder(w->melds(), w->AreaRect(CMjLocation::kMelds));
  return true;
}

// The claimed discard leaves the discarder's row at once, and the row is drawn without it.
void CCommMjTable::TakeClaimedDiscard() {
  m_Timers.KillTimer(kTimerWallBlink);
  m_pWall->RemoveAt(0);
  m_pWall->SetFrame(0);
  discardOnWall = false;
  DrawWall();
}

void CCommMjTable::HuPai(int16_t huloc, int16_t gunloc) {
  winnerSeat = huloc;
  discarderSeat = gunloc;
  // A win on a discard takes the tile into the winner's hand: it leaves the discards.
  if (ValidSeat(huloc) && ValidSeat(gunloc) && gunloc != huloc && discardOnWall)
    TakeClaimedDiscard();
  angryToggle = laughToggle = 0;
  m_Timers.SetTimer(kTimerLaugh, kBlinkPeriod);
  m_Timers.SetTimer(kTimerAngry, kBlinkPeriod);
  m_Timers.SetTimer(kTimerWinnerBlink, kBlinkPeriod);
  if (ValidSeat(huloc)) StartMeldAnimation(huloc, 4);
}

void CCommMjTable::AngryFaceStep() {
  CMjLocation* own = Seat(0);
  if (!own || !ValidSeat(winnerSeat) || winnerSeat == 0) return;
  own->CalcLayout(ClientRect());
  m_Surface.RestoreBackground(own->ActionRect());
  m_Surface.DrawImage(angryToggle ? SkinImage::Angry2 : SkinImage::Angry1, own->ActionRect(), 1);
  angryToggle ^= 1;
}

void CCommMjTable::LaughFaceStep() {
  CMjLocation* own = Seat(0);
  if (!own || winnerSeat != 0) return;
  own->CalcLayout(ClientRect());
  m_Surface.RestoreBackground(own->ActionRect());
  m_Surface.DrawImage(laughToggle ? SkinImage::Laugh2 : SkinImage::Laugh1, own->ActionRect(), 1);
  laughToggle ^= 1;
}

void CCommMjTable::StartMeldAnimation(int16_t seat, int16_t kind) {
  CMjLocation* s = Seat(seat);
  if (!s) return;
  uint32_t base = 0;
  switch (kind) {
    case 0: base = kTimerChowAnimation; break;
    case 1: base = kTimerPungAnimation; break;
    case 2:
    case 3: base = kTimerKongAnimation; break;
    case 4: base = kTimerHuAnimation; break;
    default: return;
  }
  s->StartMeldAnimation(kind);
  m_Timers.SetTimer(base + static_cast<uint32_t>(seat), 100);
}

int CCommMjTable::WallAnimationStep() {
  m_pWall->SetVisible(1);
  const Rect whole = WallRect();
  const int half = std::max(1, wallSteps / 2);
  const int32_t midY = whole.top + Height(whole) / 2;
  Rect first{whole.left, whole.top, whole.right, midY};
  Rect second{whole.left, whole.bottom, whole.right, whole.bottom};
  if (wallStep < half) {
    first.right = whole.left + std::max(0, Width(whole) * wallStep / half - 60);
  } else {
    second.top = whole.bottom - (whole.bottom - midY) * (wallStep - half) / half;
  }
  std::vector<Rect> parts;
  if (!IsEmpty(first)) parts.push_back(first);
  if (!IsEmpty(second)) parts.push_back(second);
  if (!parts.empty()) m_Surface.DrawHolderParts(*m_pWall, whole, parts);
  ++wallStep;
  return wallStep > wallSteps ? 1 : 0;
}

// ------------------------------------------------------------------------------------------
// Fans and score list

void CCommMjTable::SetMyFans(const int16_t* fans) {
  if (!fans) return;
  std::copy(fans, fans + kFanListSize, m_MyFans.begin());
}

std::vector<std::string> CCommMjTable::FanLines() const {
  return FanPanelLines(CollectFanRows(m_MyFans, m_FanNames));
}

void CCommMjTable::InitScoreList(int16_t type, int16_t subtype_) {
  m_ScoreList.InitScoreList(type, subtype_);
  ShowScoreInfo(false);
}

void CCommMjTable::SetScoreInfo(int16_t num, int16_t index, const ScoreRow* info) {
  m_ScoreList.SetScoreInfo(num, index, info);
  if (m_bScoreShown) ShowScoreInfo(true);
}

Rect CCommMjTable::MeasureFanPanel() {
  uint16_t w = 0, h = 0;
  m_ScoreList.GetListSize(w, h);
  int32_t extra = 0;
  for (const std::string& t : FanMeasureTexts(CollectFanRows(m_MyFans, m_FanNames)))
    extra += m_Surface.MeasureLineHeight(t);
  const Rect c = ClientRect();
  const int32_t left = (Width(c) - w) / 2;
  // The rows, then the panel's lines as measured (see MeasureLineHeight).
  return {left, 110, left + w, 110 + h + extra};
}

void CCommMjTable::ShowScoreInfo(bool show) {
  if (show) {
    m_ScoreRect = MeasureFanPanel();
    m_pWall->EnableDraw(0);
    m_Surface.RestoreBackground(WallRect());
    m_bScoreShown = true;
  } else {
    m_bScoreShown = false;
    m_pWall->EnableDraw(1);
    // Hiding the panel starts the next hand with an empty fan list.
    if (!CollectFanRows(m_MyFans, m_FanNames).empty()) m_MyFans.fill(0);
  }
  m_Surface.ScoreListChanged();
}

// ------------------------------------------------------------------------------------------
// Layout and drawing

void CCommMjTable::CalcLayout() {
  const Rect c = ClientRect();
  const int32_t L = c.left, T = c.top, R = c.right, B = c.bottom;
  int32_t x = (R - L - 280) / 2;
  const int32_t bottom = B - (bigScreen ? 190 : 100);
  for (int id : kActionStrip) {
    m_Buttons.Find(id)->rect = {x, bottom - 40, x + 36, bottom};
    x += 40;
  }
  const int32_t startRight = (R - 410 - L) / 2 + 410;
  const int32_t startTop = (B - 330 - T) / 2 + 330;
  const Rect start{startRight - 49, startTop, startRight, startTop + 30};
  m_Buttons.Find(kButtonStart)->rect = start;
  m_Buttons.Find(kButtonDice)->rect = Inflated(start, 7, 0);
  m_Buttons.Find(kButtonAction)->rect = {R - 5 - 38, B - 5 - 40, R - 5, B - 5};
  m_ExitArea = {R - 54, 5, R - 30, 29};
  m_SetupArea = Offset(m_ExitArea, -60, 0);
}

void CCommMjTable::PlaceButtons() {
  for (int id : kActionStrip) m_Surface.ButtonChanged(id);
  for (int id : {kButtonStart, kButtonDice, kButtonAction}) m_Surface.ButtonChanged(id);
  if (m_bScoreShown) m_ScoreRect = MeasureFanPanel();
  m_Surface.ScoreListChanged();
}

std::vector<TextRun> CCommMjTable::BackgroundTexts() const {
  std::vector<TextRun> runs;
  const Rect c = ClientRect();
  for (const auto& s : m_Seats) {
    if (!s->person || s->seat() > 1) continue;
    s->CalcLayout(c);
    const Rect& p = s->PanelRect();
    int32_t x = p.left;
    if (s->seat() == 1 && !bigScreen) x -= 20;
    const int32_t y = p.bottom;
    char user[64];
    std::snprintf(user, sizeof user, texts::kUserNameFormat,
                  PersonText(s->person->username).c_str());
    runs.push_back({x, y, PersonText(s->person->nickname)});
    runs.push_back({x, y + 15, user});
  }
  return runs;
}

void CCommMjTable::ComposeBackground() { m_Surface.ComposeBackground(ClientRect(), BackgroundTexts()); }

void CCommMjTable::RedrawTable() {
  ComposeBackground();
  m_Surface.RestoreBackground(ClientRect());
  // The wall is drawn once, by DrawAll, over the seats.
  DrawAll();
}

void CCommMjTable::DrawAll() {
  for (auto& s : m_Seats) s->Draw();
  DrawWall();
  CalcLayout();
  PlaceButtons();
}

Rect CCommMjTable::WallRect() const {
  uint16_t w = 0, h = 0;
  m_pWall->GetSize(w, h);
  const Rect c = ClientRect();
  const int32_t left = (Width(c) - w - c.left) / 2;
  const int32_t top = (Height(c) - h - c.top - (bigScreen ? 80 : 40)) / 2;
  return {left, top, left + w, top + h};
}

void CCommMjTable::DrawWall() { m_Surface.DrawHolder(*m_pWall, WallRect()); }

void CCommMjTable::SetBkColor(uint32_t color) {
  bkColor = color;
  bkIsBitmap = false;
  for (auto& s : m_Seats) s->SetBkColor(color);
  m_pWall->SetBkColor(color);
}

}  // namespace table
