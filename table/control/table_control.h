// CTable: the table display's ActiveX control. The client places it on its table window and
// drives it through ICommTable (the card-table methods) and ITable (the mahjong methods); the
// control reports what the player does through _ITableEvents.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "avatar_board.h"
#include "flash_window.h"
#include "korvel_table.h"
#include "records/magic_records.h"
#include "table_controller.h"
#include "table_view.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/message_map.h"

class CTable : public winkit::DispatchImpl<ITable, &IID_ITable>,
               public winkit::ControlBase,
               public table::TableEventSink,
               public table::ControllerHost,
               public table_gdi::AvatarBoardHost {
 public:
  CTable();
  ~CTable() override;

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  // ICommTable
  STDMETHODIMP InitPoke(short xinter, short yinter, short high, short size,
                        ULONG bk_color) override;
  STDMETHODIMP InitTable(short num, short isplay, short poketype) override;
  STDMETHODIMP AddPersonInOtherDesk(short loc, LONG_PTR person) override;
  STDMETHODIMP Update(short locate) override;
  STDMETHODIMP SetTimerOut(LONG timerout, LONG timercount) override;
  STDMETHODIMP StartChoice(short loc) override;
  STDMETHODIMP ShowButtons() override;
  STDMETHODIMP HideButtons() override;
  STDMETHODIMP StartGame(short loc) override;
  STDMETHODIMP HideStartButton() override;
  STDMETHODIMP ClearAllSend() override;
  STDMETHODIMP SetTrickNo(short trickno) override;
  STDMETHODIMP SetAdvUrl(LONG_PTR str) override;
  STDMETHODIMP SetPokeSeparater(short isseparater) override;
  STDMETHODIMP HideStartSign() override;
  STDMETHODIMP AddCardsToMyHandWithSort(short count, mjtablecard* cards) override;
  STDMETHODIMP SetRecvCards(short loc, short num, mjtablecard* cards, short isauto, short issend,
                            short isexchange, short isshuaipai) override;
  STDMETHODIMP StartOneTrick(short loc) override;
  STDMETHODIMP AddCardsToMyHandWithoutSort(short count, mjtablecard* cards) override;
  STDMETHODIMP DeleteAllFromMyHand() override;
  STDMETHODIMP EnableSend(short yes_no) override;
  STDMETHODIMP DeleteAllFromSend(short loc) override;
  STDMETHODIMP StartDeal() override;
  STDMETHODIMP SetPersonLocation(short loc, LONG_PTR icon, LONG_PTR per) override;
  STDMETHODIMP Setup() override;
  // ISpecifyPropertyPages: the stock colour page of BackColor.
  STDMETHODIMP GetPages(CAUUID* pages) override;
  STDMETHODIMP SetBkColor(LONG color) override;
  STDMETHODIMP SetMyCardBitmap(LONG_PTR cardbit, LONG_PTR back) override;
  STDMETHODIMP SetCardBitmap(LONG_PTR card, LONG_PTR back) override;
  STDMETHODIMP SetUpPass(short value) override;
  STDMETHODIMP SetDlgTimeOut(LONG time) override;
  STDMETHODIMP SetDlgString(LONG_PTR str) override;
  STDMETHODIMP StartOneHand() override;
  STDMETHODIMP ResetTable() override;
  STDMETHODIMP ShowControlButtons(short isshow) override;
  STDMETHODIMP SetTrump(short trump, short is_sortwithcolor) override;
  STDMETHODIMP SetReviewStyle(short is_review) override;
  STDMETHODIMP SetLeftCards(short loc, short count, mjtablecard* cards) override;
  STDMETHODIMP SetBkBitmap(LONG_PTR bitmap) override;
  STDMETHODIMP AddCardsToMyHandWithSort_InDeal(short count, mjtablecard* cards) override;
  STDMETHODIMP SetSubType(short subtype) override;
  STDMETHODIMP ResetSound(short issound) override;

  // ITable
  STDMETHODIMP put_BackColor(OLE_COLOR clr) override;
  STDMETHODIMP get_BackColor(OLE_COLOR* pclr) override;
  STDMETHODIMP SetFirstPosition_InWall(short loc, short pos) override;
  STDMETHODIMP DeleteCardsFromWall(short num, short isbu) override;
  STDMETHODIMP StartDice(short loc) override;
  STDMETHODIMP SetDice(short loc, short num1, short num2) override;
  STDMETHODIMP LightSend(short issend) override;
  STDMETHODIMP LightTing(short isting) override;
  STDMETHODIMP LightHu(short ishu) override;
  STDMETHODIMP LightChi(short ischi) override;
  STDMETHODIMP LightPeng(short ispeng) override;
  STDMETHODIMP LightGang(short isgang) override;
  STDMETHODIMP LightGuo(short isguo) override;
  STDMETHODIMP ExposeCard(short loc, short type, short count, mjtablecard* cards) override;
  STDMETHODIMP SetDealNum(short loc, short num) override;
  STDMETHODIMP SetBanker(short bankloc, short quan_feng) override;
  STDMETHODIMP InitWall(short num) override;
  STDMETHODIMP AddCardToCurrent(short loc, short color, short value) override;
  STDMETHODIMP ExposeCard_InRecover(short loc, short type, short count,
                                    mjtablecard* cards) override;
  STDMETHODIMP SetTingStatus(short loc, short isting) override;
  STDMETHODIMP FocusCards(short type, short isfocus) override;
  STDMETHODIMP SetRecvCards_InRecover(short loc, short num, mjtablecard* cards) override;
  STDMETHODIMP DeleteAllHideGang() override;
  STDMETHODIMP GetHuaNum(short loc, short* num) override;
  STDMETHODIMP HuPai(short huloc, short gunloc) override;
  STDMETHODIMP SetScoreInfo(short num, short index, LONG_PTR info) override;
  STDMETHODIMP ShowScoreInfo(short isshow) override;
  STDMETHODIMP SetMyFans(short* fans) override;
  STDMETHODIMP SetJiaoBitmap(short num, LONG_PTR bmps) override;
  STDMETHODIMP SetType(short type, short subtype) override;
  STDMETHODIMP KillScrabble() override;
  STDMETHODIMP SetCryBitmap(short num, LONG_PTR bmps) override;
  STDMETHODIMP SetSmellBitmap(short num, LONG_PTR bmps) override;
  STDMETHODIMP AddCardsToMyHandWithSort_InTimer(short count, mjtablecard* cards) override;
  STDMETHODIMP AddCardToCurrentWithoutShow(short loc, short color, short value) override;
  STDMETHODIMP SetDealNum_InTimer(short loc, short num) override;
  STDMETHODIMP InitWall_InTimer(short num) override;
  STDMETHODIMP SetAutoSend(short isauto) override;
  STDMETHODIMP PreTrick() override;
  STDMETHODIMP NextTrick() override;
  STDMETHODIMP SetListBitmap(LONG_PTR left, LONG_PTR mid, LONG_PTR right) override;
  STDMETHODIMP InitTable_Avact(short num, short isplay, short poketype, LONG_PTR path) override;
  STDMETHODIMP SetAvactItem(short loc, LONG_PTR pitem) override;
  STDMETHODIMP PlayFlash(short send_loc, short recv_loc, LONG_PTR item, LONG_PTR con_str) override;

  // The window's messages reach the table only once it exists (InitTable); before that they
  // take their default course.
  BEGIN_MSG_MAP(CTable)
    if (m_pView && m_pController) {
      MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
      MESSAGE_HANDLER(WM_PAINT, OnPaint)
      MESSAGE_HANDLER(WM_TIMER, OnTimer)
      MESSAGE_HANDLER(WM_SIZE, OnSize)
      MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
      MESSAGE_HANDLER(WM_COMMAND, OnCommand)
      MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
      MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
      MESSAGE_HANDLER(kMsgCreateTips, OnCreateTips)
    }
  END_MSG_MAP()

 protected:
  void OnWindowCreated() override;
  void OnWindowDestroying() override;

 private:
  // Posted by BuildTable: the buttons' tooltips are made once the table is on screen.
  static constexpr UINT kMsgCreateTips = WM_APP + 1;
  LRESULT OnCreateTips(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnPaint(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnSize(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnDrawItem(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnCommand(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnRButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  // Runs a handler's body; what it throws stops here (a window message is a boundary).
  template <class F>
  LRESULT Guarded(F&& body) noexcept {
    try {
      return body();
    } catch (...) {
      OutputDebugStringA("KorvelTable: a window message failed\n");
      return 0;
    }
  }

  // TableEventSink: the events of _ITableEvents on every connected sink.
  void Fire(table::TableEvent event) override;
  void FireTimeOut(int16_t loc) override;
  void FireRequestSend(int16_t num, const card* cards) override;
  // ControllerHost: an action's time is over.
  void HideFlash(int16_t place) override;
  // AvatarBoardHost
  void PaintBoardBackground(HDC dc, const RECT& inTable) override;
  Gdiplus::Image* BoardFrame(int16_t kind) override;

  // The seat shows its first avatar board on its panel.
  void StartAvactBoards(int16_t loc);
  // The action window of a seat (place < seat count) or of the centre (place == seat count),
  // made on its first action; null when it could not be made.
  table_gdi::CFlashWnd* InitFlash(int16_t place);
  void ReleaseAvatarsAndActions();

  // Builds a new table model (releasing the one before), as InitTable and InitTable_Avact do.
  void BuildTable(short isplay, const std::string* skinPath);
  void ReleaseTable();
  table::CCommMjTable* Model() { return m_pView ? &m_pView->model() : nullptr; }
  bool ValidSeat(short loc) { return Model() && Model()->ValidSeat(loc); }

  // The tile pictures, loaded from the window's making until the first table takes them.
  table_gdi::TableImagesAhead m_ImagesAhead;
  std::unique_ptr<table_gdi::TableView> m_pView;
  std::unique_ptr<table::TableController> m_pController;
  COLORREF m_BkColor = 0;
  short m_nType = 0;
  short m_nSubType = 1;
  short m_nTrickNo = -1;
  // Kept for the client, never drawn and never deleted here (the client owns them).
  std::array<HBITMAP, 5> m_JiaoBitmaps{};
  SIZE m_JiaoSize{};
  std::array<HBITMAP, 4> m_CryBitmaps{}, m_SmellBitmaps{};
  // The avatar boards of each seat (their items are the client's, kept alive by it).
  std::vector<std::vector<std::unique_ptr<table_gdi::CAvact_Board>>> m_AvatarBoards;
  // The action windows: one per seat, then the centre's.
  std::vector<std::unique_ptr<table_gdi::CFlashWnd>> m_FlashWnds;
  // The stock BackColor: read back as it is, nothing sets it.
  OLE_COLOR m_clrBackColor = 0;
};
