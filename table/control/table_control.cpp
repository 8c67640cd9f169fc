#include "table_control.h"

#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "records/magic_records.h"
#include "table_texts.h"
#include "winkit/boundary.h"
#include "winkit/handle.h"
#include "winkit/module.h"

using table::CCommMjTable;

static_assert(sizeof(mjtablecard) == sizeof(card));

namespace {

const card* Tiles(const mjtablecard* cards) { return reinterpret_cast<const card*>(cards); }

// The stock colour page of the BackColor property.
const CLSID kStockColorPage = {0x7EBDAAE1, 0x8120, 0x11CF,
                               {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

}  // namespace

CTable::CTable() : ControlBase(CLSID_Table, IID__ITableEvents, L"KorvelTable") {}

CTable::~CTable() { ReleaseTable(); }

void* CTable::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ICommTable || iid == IID_ITable)
    return static_cast<ITable*>(this);
  // The control names its property pages (Setup opens them).
  if (iid == IID_ISpecifyPropertyPages) return static_cast<ISpecifyPropertyPages*>(this);
  return ControlBase::CastTo(iid);
}

// ------------------------------------------------------------------------------------------
// The table model's life

void CTable::ReleaseTable() {
  ReleaseAvatarsAndActions();
  m_pController.reset();
  m_pView.reset();  // kills the model's timers, destroys its buttons and list
}

void CTable::BuildTable(short isplay, const std::string* skinPath) {
  HWND hwnd = ControlWindow();
  if (!hwnd) return;  // not in place yet: nothing to draw on
  // A second initialisation replaces the first table whole.
  ReleaseTable();
  const bool big = GetSystemMetrics(SM_CXSCREEN) >= 1024;
  m_pView = std::make_unique<table_gdi::TableView>(hwnd, winkit::Module::Instance(), big,
                                                   skinPath ? *skinPath : std::string(),
                                                   m_ImagesAhead.Take());
  CCommMjTable& m = m_pView->model();
  m.bkColor = m_BkColor;
  m.subtype = m_nSubType;
  m.playMode = isplay != 0;
  if (skinPath) {
    m.skinPath = *skinPath;
    m.avatarLook = true;
  }
  m.InitFanNames();
  m_pView->CreateWindows(m.skinPath);
  m.CreateButtons();
  m.HideButtons();
  m.InitScoreList(m_nType, m_nSubType);
  m.ShowButton(table::kButtonStart, false);
  m.ShowButton(table::kButtonDice, false);
  m.ShowButtons();
  if (skinPath) {
    if (big) table_gdi::CAvact_Board::SetPanelSize(90, 160);
    else table_gdi::CAvact_Board::SetPanelSize(70, 120);
    m_pView->LoadAvatarSkin(*skinPath);
  }
  m_AvatarBoards.resize(static_cast<size_t>(m.SeatCount()));
  m_FlashWnds.resize(static_cast<size_t>(m.SeatCount()) + 1);
  m_pController = std::make_unique<table::TableController>(m, *this, *this);
  InvalidateRect(hwnd, nullptr, TRUE);
  PostMessageW(hwnd, kMsgCreateTips, 0, 0);
}

// ------------------------------------------------------------------------------------------
// Window messages

void CTable::OnWindowCreated() {
  HWND hwnd = ControlWindow();
  SetWindowLongW(hwnd, GWL_STYLE,
                 GetWindowLongW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  // The tile pictures load while the host goes on to InitTable.
  m_ImagesAhead.Start(winkit::Module::Instance());
}

void CTable::OnWindowDestroying() { ReleaseTable(); }

LRESULT CTable::OnCreateTips(UINT, WPARAM, LPARAM, bool&) {
  return Guarded([&] {
    m_pView->CreateTips();
    return LRESULT{0};
  });
}

LRESULT CTable::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  return Guarded([&] {
    m_pView->OnEraseBackground(reinterpret_cast<HDC>(wp));
    // The repaint laid the seats out: the boards stand on their panels.
    for (size_t loc = 0; loc < m_AvatarBoards.size(); ++loc)
      StartAvactBoards(static_cast<int16_t>(loc));
    return LRESULT{1};
  });
}

LRESULT CTable::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  // Everything is drawn by the erase: the paint only validates.
  const winkit::PaintDc validated(ControlWindow());
  return 0;
}

LRESULT CTable::OnTimer(UINT, WPARAM wp, LPARAM, bool&) {
  return Guarded([&] {
    m_pController->OnTimer(static_cast<uint32_t>(wp));
    return LRESULT{0};
  });
}

LRESULT CTable::OnSize(UINT, WPARAM, LPARAM lp, bool&) {
  return Guarded([&] {
    m_pView->OnSize(LOWORD(lp), HIWORD(lp));
    for (size_t loc = 0; loc < m_AvatarBoards.size(); ++loc)
      StartAvactBoards(static_cast<int16_t>(loc));
    return LRESULT{0};
  });
}

LRESULT CTable::OnDrawItem(UINT, WPARAM, LPARAM lp, bool& handled) {
  return Guarded([&] {
    handled = m_pView->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    return LRESULT{handled ? TRUE : FALSE};
  });
}

LRESULT CTable::OnCommand(UINT, WPARAM wp, LPARAM, bool&) {
  return Guarded([&] {
    const int id = LOWORD(wp);
    // The check buttons keep their state in their windows: the model reads it from there.
    if (id == table::kButtonAutoSend || id == table::kButtonPause) {
      if (auto* b = m_pView->Button(id)) m_pView->model().Buttons().Find(id)->checked = b->GetCheck();
    }
    m_pController->OnCommand(id, HIWORD(wp));
    return LRESULT{0};
  });
}

LRESULT CTable::OnRButtonDown(UINT, WPARAM, LPARAM, bool&) {
  return Guarded([&] {
    m_pController->OnRightButtonDown();
    return LRESULT{0};
  });
}

LRESULT CTable::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  return Guarded([&] {
    m_pController->OnLeftButtonDown(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
    return LRESULT{0};
  });
}

// ------------------------------------------------------------------------------------------
// Events

void CTable::Fire(table::TableEvent event) { Events().Fire(event); }

void CTable::FireTimeOut(int16_t loc) {
  Events().Fire(table::kEventTimeOut, {winkit::EventArg::I2(loc)});
}

void CTable::FireRequestSend(int16_t num, const card* cards) {
  if (num < 1 || !cards) return;
  // The sinks read the tiles during the event; the array is freed when every sink returned.
  auto* tiles = static_cast<mjtablecard*>(CoTaskMemAlloc(sizeof(mjtablecard) * num));
  if (!tiles) return;
  for (int i = 0; i < num; ++i) {
    tiles[i].m_nColor = cards[i].m_nColor;
    tiles[i].m_nValue = cards[i].m_nValue;
  }
  try {
    Events().Fire(table::kEventRequestSend,
                  {winkit::EventArg::I2(num), winkit::EventArg::Ptr(tiles)});
  } catch (...) {
    CoTaskMemFree(tiles);
    throw;
  }
  CoTaskMemFree(tiles);
}

// ------------------------------------------------------------------------------------------
// ICommTable. Every method answers S_OK; what it cannot act on it ignores.

#define TABLE_METHOD(...) return winkit::CallAtBoundary([&] { __VA_ARGS__; })

STDMETHODIMP CTable::InitPoke(short xinter, short yinter, short high, short size, ULONG bk_color) {
  TABLE_METHOD({
    m_BkColor = bk_color;
    if (auto* m = Model()) m->InitPoke(xinter, yinter, high, size, bk_color);
  });
}

STDMETHODIMP CTable::InitTable(short /*num*/, short isplay, short /*poketype*/) {
  TABLE_METHOD(BuildTable(isplay, nullptr));
}

STDMETHODIMP CTable::AddPersonInOtherDesk(short /*loc*/, LONG_PTR /*person*/) { return S_OK; }

STDMETHODIMP CTable::Update(short locate) {
  TABLE_METHOD({
    if (auto* m = Model()) {
      if (m->ValidSeat(locate)) m->UpdateLocation(locate);
      else m->DrawAll();
    }
  });
}

STDMETHODIMP CTable::SetTimerOut(LONG timerout, LONG timercount) {
  TABLE_METHOD({
    if (auto* m = Model()) {
      m->SetCountDown(static_cast<uint32_t>(timerout), static_cast<int16_t>(timercount));
      m->countdownStart = static_cast<int16_t>(timercount);
    }
  });
}

STDMETHODIMP CTable::StartChoice(short loc) {
  TABLE_METHOD(if (auto* m = Model()) m->StartChoice(loc));
}
STDMETHODIMP CTable::ShowButtons() { TABLE_METHOD(if (auto* m = Model()) m->ShowButtons()); }
STDMETHODIMP CTable::HideButtons() { TABLE_METHOD(if (auto* m = Model()) m->HideButtons()); }
STDMETHODIMP CTable::StartGame(short loc) {
  TABLE_METHOD(if (auto* m = Model()) m->StartGame(loc));
}
STDMETHODIMP CTable::HideStartButton() {
  TABLE_METHOD(if (auto* m = Model()) m->ShowStartButton(false));
}
STDMETHODIMP CTable::ClearAllSend() { return StartChoice(-1); }

STDMETHODIMP CTable::SetTrickNo(short trickno) {
  TABLE_METHOD({
    if (trickno == m_nTrickNo) return;
    m_nTrickNo = trickno;
    if (auto* m = Model()) m->ClearOwnTurn();
  });
}

STDMETHODIMP CTable::SetAdvUrl(LONG_PTR str) {
  TABLE_METHOD({
    if (str && ControlWindow()) ::SetTimer(ControlWindow(), table::kTimerAdvert, 5000, nullptr);
  });
}

STDMETHODIMP CTable::SetPokeSeparater(short /*isseparater*/) { return S_OK; }

STDMETHODIMP CTable::HideStartSign() {
  TABLE_METHOD({
    if (auto* m = Model()) {
      for (int s = 0; s < m->SeatCount(); ++s) m->Seat(s)->ready = false;
      RedrawWindow(ControlWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
  });
}

STDMETHODIMP CTable::AddCardsToMyHandWithSort(short count, mjtablecard* cards) {
  TABLE_METHOD({
    if (auto* m = Model()) {
      m->AddCardsToMyHandWithSort(count, Tiles(cards));
      m->HideHandButtons(true);
      m->UpdateLocation(0);
    }
  });
}

STDMETHODIMP CTable::SetRecvCards(short loc, short num, mjtablecard* cards, short /*isauto*/,
                                  short issend, short /*isexchange*/, short /*isshuaipai*/) {
  TABLE_METHOD(if (auto* m = Model()) m->SetRecvCards(loc, num, Tiles(cards), issend));
}

STDMETHODIMP CTable::StartOneTrick(short /*loc*/) { return S_OK; }

STDMETHODIMP CTable::AddCardsToMyHandWithoutSort(short count, mjtablecard* cards) {
  TABLE_METHOD(if (auto* m = Model()) m->AddCardsToMyHandWithoutSort(count, Tiles(cards)));
}

STDMETHODIMP CTable::DeleteAllFromMyHand() {
  TABLE_METHOD(if (auto* m = Model()) m->ClearAllCards());
}

STDMETHODIMP CTable::EnableSend(short /*yes_no*/) { return S_OK; }

STDMETHODIMP CTable::DeleteAllFromSend(short loc) {
  TABLE_METHOD(if (auto* m = Model()) m->DeleteAllFromSend(loc));
}

STDMETHODIMP CTable::StartDeal() { TABLE_METHOD(if (auto* m = Model()) m->StartDeal()); }

STDMETHODIMP CTable::SetPersonLocation(short loc, LONG_PTR icon, LONG_PTR per) {
  TABLE_METHOD({
    if (auto* m = Model())
      m->SetPersonLocation(loc, icon, reinterpret_cast<const TablePerson*>(per));
  });
}

STDMETHODIMP CTable::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) return E_OUTOFMEMORY;
  pages->pElems[0] = kStockColorPage;
  pages->cElems = 1;
  return S_OK;
}

STDMETHODIMP CTable::Setup() {
  TABLE_METHOD({
    IUnknown* self = static_cast<ITable*>(this);
    CAUUID pages{};
    if (FAILED(GetPages(&pages))) return;
    LPOLESTR name = nullptr;
    GetUserType(USERCLASSTYPE_SHORT, &name);
    OleCreatePropertyFrame(ControlWindow(), 10, 10, name, 1, &self, pages.cElems, pages.pElems,
                           GetUserDefaultLCID(), 0, nullptr);
    CoTaskMemFree(name);
    CoTaskMemFree(pages.pElems);
  });
}

STDMETHODIMP CTable::SetBkColor(LONG color) {
  TABLE_METHOD({
    m_BkColor = static_cast<COLORREF>(color);
    if (!m_pView) return;
    for (int id : {table::kButtonSave, table::kButtonAutoSend, table::kButtonPause})
      if (auto* b = m_pView->Button(id)) b->SetBkColor(m_BkColor);
    static_cast<sprites::RowSpriteHolder&>(m_pView->model().Wall()).SetBkColor(m_BkColor);
  });
}

STDMETHODIMP CTable::SetMyCardBitmap(LONG_PTR /*cardbit*/, LONG_PTR /*back*/) { return S_OK; }
STDMETHODIMP CTable::SetCardBitmap(LONG_PTR /*card*/, LONG_PTR /*back*/) { return S_OK; }
STDMETHODIMP CTable::SetUpPass(short /*value*/) { return S_OK; }
STDMETHODIMP CTable::SetDlgTimeOut(LONG /*time*/) { return S_OK; }
STDMETHODIMP CTable::SetDlgString(LONG_PTR /*str*/) { return S_OK; }

STDMETHODIMP CTable::StartOneHand() { TABLE_METHOD(if (auto* m = Model()) m->StartOneHand()); }
STDMETHODIMP CTable::ResetTable() { TABLE_METHOD(if (auto* m = Model()) m->ResetTable()); }

STDMETHODIMP CTable::ShowControlButtons(short isshow) {
  TABLE_METHOD(if (auto* m = Model()) m->HideHandButtons(isshow == 1));
}

STDMETHODIMP CTable::SetTrump(short /*trump*/, short /*is_sortwithcolor*/) { return S_OK; }

STDMETHODIMP CTable::SetReviewStyle(short is_review) {
  TABLE_METHOD(if (auto* m = Model()) m->reviewStyle = is_review);
}

STDMETHODIMP CTable::SetLeftCards(short /*loc*/, short /*count*/, mjtablecard* /*cards*/) {
  return S_OK;
}

STDMETHODIMP CTable::SetBkBitmap(LONG_PTR bitmap) {
  TABLE_METHOD({
    if (!bitmap || !m_pView) return;
    m_pView->SetBkBitmap(reinterpret_cast<HBITMAP>(bitmap));
  });
}

// Adds the tiles sorted and shows them, as AddCardsToMyHandWithSort does (the client's
// recovery shows the own hand with it).
STDMETHODIMP CTable::AddCardsToMyHandWithSort_InDeal(short count, mjtablecard* cards) {
  return AddCardsToMyHandWithSort(count, cards);
}

STDMETHODIMP CTable::SetSubType(short subtype) {
  m_nSubType = subtype;
  return S_OK;
}

STDMETHODIMP CTable::ResetSound(short issound) {
  TABLE_METHOD(if (auto* m = Model()) m->soundOn = (issound == 1));
}

// ------------------------------------------------------------------------------------------
// ITable

// The stock colour page edits BackColor, but the table paints with the colour of InitPoke and
// SetBkColor: putting it changes nothing.
STDMETHODIMP CTable::put_BackColor(OLE_COLOR /*clr*/) { return S_OK; }

STDMETHODIMP CTable::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

STDMETHODIMP CTable::SetFirstPosition_InWall(short loc, short pos) {
  TABLE_METHOD(if (auto* m = Model()) m->Wall().SetFirstPosition_InWall(loc, pos));
}

STDMETHODIMP CTable::DeleteCardsFromWall(short num, short isbu) {
  TABLE_METHOD({
    if (auto* m = Model()) {
      m->Wall().DeleteCardsFromWall(num, static_cast<uint16_t>(isbu));
      m->DrawWall();
    }
  });
}

STDMETHODIMP CTable::StartDice(short loc) {
  TABLE_METHOD({
    if (auto* m = Model()) {
      m->StartDice(loc);
      m->ClearMyFans();
      InvalidateRect(ControlWindow(), nullptr, TRUE);
    }
  });
}

STDMETHODIMP CTable::SetDice(short loc, short num1, short num2) {
  TABLE_METHOD(if (auto* m = Model()) m->SetDice(loc, num1, num2));
}

STDMETHODIMP CTable::LightSend(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightSend(v)); }
STDMETHODIMP CTable::LightTing(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightTing(v)); }
STDMETHODIMP CTable::LightHu(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightHu(v)); }
STDMETHODIMP CTable::LightChi(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightChi(v)); }
STDMETHODIMP CTable::LightPeng(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightPeng(v)); }
STDMETHODIMP CTable::LightGang(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightGang(v)); }
STDMETHODIMP CTable::LightGuo(short v) { TABLE_METHOD(if (auto* m = Model()) m->LightGuo(v)); }

STDMETHODIMP CTable::ExposeCard(short loc, short type, short count, mjtablecard* cards) {
  TABLE_METHOD({
    StartChoice(-1);
    if (auto* m = Model()) m->ExposeCard(loc, type, count, Tiles(cards));
  });
}

STDMETHODIMP CTable::SetDealNum(short loc, short num) {
  TABLE_METHOD(if (auto* m = Model()) m->SetDealNum(loc, num));
}

STDMETHODIMP CTable::SetBanker(short bankloc, short quan_feng) {
  TABLE_METHOD(if (auto* m = Model()) m->SetBanker(bankloc, quan_feng));
}

STDMETHODIMP CTable::InitWall(short num) { TABLE_METHOD(if (auto* m = Model()) m->InitWall(num)); }

STDMETHODIMP CTable::AddCardToCurrent(short loc, short color, short value) {
  TABLE_METHOD(if (auto* m = Model()) m->AddCardToCurrent(loc, color, value, true));
}

STDMETHODIMP CTable::ExposeCard_InRecover(short loc, short type, short count,
                                          mjtablecard* cards) {
  TABLE_METHOD(if (auto* m = Model()) m->ExposeCard_InRecover(loc, type, count, Tiles(cards)));
}

STDMETHODIMP CTable::SetTingStatus(short loc, short isting) {
  TABLE_METHOD(if (auto* m = Model()) m->SetTingStatus(loc, isting));
}

STDMETHODIMP CTable::FocusCards(short type, short isfocus) {
  TABLE_METHOD(if (auto* m = Model()) m->FocusCards(type, isfocus));
}

STDMETHODIMP CTable::SetRecvCards_InRecover(short loc, short num, mjtablecard* cards) {
  TABLE_METHOD(if (auto* m = Model()) m->SetRecvCards_InRecover(loc, num, Tiles(cards)));
}

STDMETHODIMP CTable::DeleteAllHideGang() {
  TABLE_METHOD(if (auto* m = Model()) m->DeleteAllHideGang());
}

STDMETHODIMP CTable::GetHuaNum(short loc, short* num) {
  TABLE_METHOD({
    if (!num) return;
    *num = 0;
    if (auto* m = Model()) *num = m->GetHuaNum(loc);
  });
}

STDMETHODIMP CTable::HuPai(short huloc, short gunloc) {
  TABLE_METHOD(if (auto* m = Model()) m->HuPai(huloc, gunloc));
}

STDMETHODIMP CTable::SetScoreInfo(short num, short index, LONG_PTR info) {
  TABLE_METHOD({
    if (auto* m = Model()) m->SetScoreInfo(num, index, reinterpret_cast<const ScoreRow*>(info));
  });
}

STDMETHODIMP CTable::ShowScoreInfo(short isshow) {
  TABLE_METHOD(if (auto* m = Model()) m->ShowScoreInfo(isshow == 1));
}

STDMETHODIMP CTable::SetMyFans(short* fans) {
  TABLE_METHOD(if (auto* m = Model()) m->SetMyFans(fans));
}

STDMETHODIMP CTable::SetJiaoBitmap(short num, LONG_PTR bmps) {
  TABLE_METHOD({
    if (!bmps || num < 1) return;
    const HBITMAP* list = reinterpret_cast<const HBITMAP*>(bmps);
    for (int i = 0; i < num && i < 5; ++i)
      if (list[i]) m_JiaoBitmaps[i] = list[i];
    BITMAP bm{};
    if (m_JiaoBitmaps[0] && GetObjectW(m_JiaoBitmaps[0], sizeof bm, &bm))
      m_JiaoSize = {bm.bmWidth, bm.bmHeight};
  });
}

STDMETHODIMP CTable::SetType(short type, short subtype) {
  m_nType = type;
  m_nSubType = subtype;
  return S_OK;
}

STDMETHODIMP CTable::KillScrabble() {
  TABLE_METHOD(if (ControlWindow())::KillTimer(ControlWindow(), table::kTimerOwnClock));
}

STDMETHODIMP CTable::SetCryBitmap(short num, LONG_PTR bmps) {
  TABLE_METHOD({
    if (!bmps) return;
    const HBITMAP* list = reinterpret_cast<const HBITMAP*>(bmps);
    for (int i = 0; i < num && i < 4; ++i)
      if (list[i]) m_CryBitmaps[i] = list[i];
  });
}

STDMETHODIMP CTable::SetSmellBitmap(short num, LONG_PTR bmps) {
  TABLE_METHOD({
    if (!bmps) return;
    const HBITMAP* list = reinterpret_cast<const HBITMAP*>(bmps);
    for (int i = 0; i < num && i < 4; ++i)
      if (list[i]) m_SmellBitmaps[i] = list[i];
  });
}

STDMETHODIMP CTable::AddCardsToMyHandWithSort_InTimer(short count, mjtablecard* cards) {
  TABLE_METHOD(if (auto* m = Model()) m->AddCardsToMyHandWithSort_InTimer(count, Tiles(cards)));
}

STDMETHODIMP CTable::AddCardToCurrentWithoutShow(short loc, short color, short value) {
  TABLE_METHOD(if (auto* m = Model()) m->AddCardToCurrent(loc, color, value, false));
}

STDMETHODIMP CTable::SetDealNum_InTimer(short loc, short num) {
  TABLE_METHOD(if (auto* m = Model()) m->SetDealNum_InTimer(loc, num));
}

STDMETHODIMP CTable::InitWall_InTimer(short num) {
  TABLE_METHOD(if (auto* m = Model()) m->InitWall_InTimer(num));
}

STDMETHODIMP CTable::SetAutoSend(short isauto) {
  TABLE_METHOD(if (auto* m = Model()) m->autoSend = (isauto == 1));
}

STDMETHODIMP CTable::PreTrick() { return S_OK; }
STDMETHODIMP CTable::NextTrick() { return S_OK; }
STDMETHODIMP CTable::SetListBitmap(LONG_PTR /*left*/, LONG_PTR /*mid*/, LONG_PTR /*right*/) {
  return S_OK;
}

STDMETHODIMP CTable::InitTable_Avact(short /*num*/, short isplay, short /*poketype*/,
                                     LONG_PTR path) {
  TABLE_METHOD({
    std::string skin;
    if (path) {
      const char* p = reinterpret_cast<const char*>(path);
      skin.assign(p, strnlen(p, MAX_PATH));
    }
    BuildTable(isplay, &skin);
  });
}

// ------------------------------------------------------------------------------------------
// Avatars and magic actions

void CTable::ReleaseAvatarsAndActions() {
  m_FlashWnds.clear();
  m_AvatarBoards.clear();
}

void CTable::PaintBoardBackground(HDC dc, const RECT& r) {
  if (!m_pView || !m_pView->BackgroundDc()) return;
  BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, m_pView->BackgroundDc(), r.left, r.top,
         SRCCOPY);
}

Gdiplus::Image* CTable::BoardFrame(int16_t) {
  // The skin has one board picture for the three kinds of frame.
  return m_pView ? m_pView->SkinPicture(table::SkinImage::Board) : nullptr;
}

void CTable::StartAvactBoards(int16_t loc) {
  auto* m = Model();
  if (!m || !m->ValidSeat(loc) || static_cast<size_t>(loc) >= m_AvatarBoards.size()) return;
  auto& boards = m_AvatarBoards[static_cast<size_t>(loc)];
  if (boards.empty() || !boards.front()->hwnd()) return;
  // The panel as the seat lays it out now (a seat nobody sits at is laid out only here).
  table::CMjLocation* seat = m->Seat(loc);
  seat->CalcLayout(m->surface().ClientRect());
  const table::Rect panel = seat->PanelRect();
  HWND board = boards.front()->hwnd();
  if (!IsWindowVisible(board)) ShowWindow(board, SW_SHOWNA);
  if (table::IsEmpty(panel)) return;
  RECT now;
  GetWindowRect(board, &now);
  MapWindowPoints(nullptr, ControlWindow(), reinterpret_cast<POINT*>(&now), 2);
  const RECT want = {panel.left, panel.top, panel.right, panel.bottom};
  if (!EqualRect(&now, &want)) boards.front()->MoveTo(want);
}

// The board of the item's owner gets the item; an owner without one gets a new board.
STDMETHODIMP CTable::SetAvactItem(short loc, LONG_PTR pitem) {
  TABLE_METHOD({
    if (!pitem || !ValidSeat(loc) || !ControlWindow()) return;
    if (static_cast<size_t>(loc) >= m_AvatarBoards.size()) return;
    const auto* item = reinterpret_cast<const CAvact_Adv_Item*>(pitem);
    auto& boards = m_AvatarBoards[static_cast<size_t>(loc)];
    const int32_t key = item->userId != -1 ? item->userId : item->secondId;
    bool found = false;
    if (key != -1) {
      for (auto& board : boards) {
        const CAvact_Adv_Item* kept = board->Item();
        if (kept && (kept->userId == key || kept->secondId == key)) {
          board->SetItem(item);
          found = true;
          if (board->hwnd()) InvalidateRect(board->hwnd(), nullptr, TRUE);
          break;
        }
      }
    }
    if (!found) {
      auto board = std::make_unique<table_gdi::CAvact_Board>(*this, loc);
      board->SetItem(item);
      board->SetSeat(loc);
      board->SetFrameKind(0);
      // A board whose window cannot be made is left out; the seat shows the others.
      if (board->Create(ControlWindow())) boards.push_back(std::move(board));
    }
    StartAvactBoards(loc);
  });
}

table_gdi::CFlashWnd* CTable::InitFlash(int16_t place) {
  if (place < 0 || static_cast<size_t>(place) >= m_FlashWnds.size()) return nullptr;
  auto& wnd = m_FlashWnds[static_cast<size_t>(place)];
  if (!wnd) {
    wnd = table_gdi::CFlashWnd::Make(ControlWindow(), winkit::Module::Instance());
    if (!wnd->Window()) {
      wnd.reset();
      MessageBoxA(ControlWindow(), "InitFlash() error", nullptr, MB_OK);
      return nullptr;
    }
  }
  return wnd.get();
}

void CTable::HideFlash(int16_t place) {
  if (place >= 0 && static_cast<size_t>(place) < m_FlashWnds.size() && m_FlashWnds[place])
    m_FlashWnds[static_cast<size_t>(place)]->Hide();
}

// Plays on the receiver's seat, else the sender's, else in the centre of the table.
STDMETHODIMP CTable::PlayFlash(short send_loc, short recv_loc, LONG_PTR item, LONG_PTR con_str) {
  TABLE_METHOD({
    auto* m = Model();
    HWND hwnd = ControlWindow();
    if (!m || !item || !hwnd) return;
    const auto* action = reinterpret_cast<const CActionItem*>(item);
    const char* text = reinterpret_cast<const char*>(con_str);
    int16_t place = m->SeatCount();
    if (m->ValidSeat(recv_loc)) place = recv_loc;
    else if (m->ValidSeat(send_loc)) place = send_loc;
    static const char kLaugh[] = "\xb9\xfe\xb9\xfe\xd0\xa6";  // 哈哈笑 in GBK
    const bool laugh = std::strncmp(action->name, kLaugh, sizeof action->name) == 0;
    // A catalogue's size is trusted only within what a screen can show.
    const SIZE itemSize = {std::clamp<LONG>(action->width, 1, 4096),
                           std::clamp<LONG>(action->height, 1, 4096)};
    const SIZE size = laugh ? SIZE{200, 200} : itemSize;
    const UINT_PTR timer = table::kTimerFlash + static_cast<uint32_t>(place);
    ::KillTimer(hwnd, timer);
    table_gdi::CFlashWnd* wnd = InitFlash(place);
    if (!wnd) return;
    RECT client;
    GetClientRect(hwnd, &client);
    POINT at;
    if (place == m->SeatCount()) {
      at = {(client.right - size.cx) / 2, (client.bottom - size.cy) / 2};
    } else {
      table::CMjLocation* seat = m->Seat(place);
      seat->CalcLayout(m->surface().ClientRect());
      const table::Rect panel = seat->PanelRect();
      // Seat 0's action rises from the bottom of its panel, the others' hang from the top.
      at = {panel.left, place == 0 ? panel.bottom - itemSize.cy : panel.top};
    }
    ClientToScreen(hwnd, &at);
    SetWindowPos(wnd->Window(), nullptr, at.x, at.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    wnd->ShowContent(action, text);
    ::SetTimer(hwnd, timer, 10000, nullptr);
  });
}
