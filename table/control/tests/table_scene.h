// A host window for the table view and a dealt table in the middle of a hand, shared by the
// drawing test and the benchmark.
#pragma once
#include <windows.h>

#include <cstring>
#include <memory>

#include "table_view.h"
#include "winkit/window.h"

namespace table_gdi::testing {

// A top-level window that passes the table's messages to its view.
class HostWindow : public winkit::Window {
 public:
  TableView* view = nullptr;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (view) {
      switch (msg) {
        case WM_ERASEBKGND:
          view->OnEraseBackground(reinterpret_cast<HDC>(wp));
          return 1;
        case WM_DRAWITEM:
          if (view->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
          break;
        case WM_TIMER:
          return 0;  // the scene is drawn step by step by the test
        default:
          break;
      }
    }
    return winkit::Window::HandleMessage(msg, wp, lp);
  }
};

inline void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_TIMER) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

inline void CopyGbk(char* field, const char* text) { std::strcpy(field, text); }

struct TableScene {
  HostWindow host;
  std::unique_ptr<TableView> view;
  TablePerson me, you;

  // A 1024 x 768 client area on a big screen (or the size given).
  explicit TableScene(bool avatar = true, int width = 1024, int height = 768) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
    host.Create(L"KorvelTableHost", L"table", WS_POPUP | WS_CLIPCHILDREN, 0,
                {0, 0, r.right - r.left, r.bottom - r.top}, nullptr, nullptr);
    view = std::make_unique<TableView>(host.hwnd(), GetModuleHandleW(nullptr), true);
    host.view = view.get();
    table::CCommMjTable& t = view->model();
    t.playMode = true;
    view->CreateWindows(avatar ? KORVEL_TABLE_SKIN : "");
    view->CreateTips();
    t.InitFanNames();
    t.CreateButtons();
    t.HideButtons();
    t.InitScoreList(0, 1);
    t.ShowButton(table::kButtonStart, false);
    t.ShowButton(table::kButtonDice, false);
    t.ShowButtons();
    if (avatar) view->LoadAvatarSkin(KORVEL_TABLE_SKIN);
    t.InitPoke(0, 0, 0, 0, 0x8000);
    ShowWindow(host.hwnd(), SW_SHOWNA);
    Pump();
  }
  ~TableScene() {
    host.view = nullptr;
    view.reset();
    host.Abandon();
  }
  table::CCommMjTable& t() { return view->model(); }

  // The hand as the Parts' test table wants it: deal, melds with a raised kong, flowers,
  // discards with the last one framed, the wall with dice, names and marks, the clock at 15,
  // the fan panel and score list after a win, and lit action buttons.
  void Deal() {
    table::CCommMjTable& m = t();
    CopyGbk(me.nickname, "\xd5\xc5\xc8\xfd");      // 张三
    CopyGbk(me.username, "zhangsan");
    CopyGbk(you.nickname, "\xc0\xee\xcb\xc4");     // 李四
    CopyGbk(you.username, "lisi");
    m.SetPersonLocation(0, 0, &me);
    m.SetPersonLocation(1, 0, &you);
    m.SetBanker(0, 0);
    m.StartGame(1);
    m.InitWall(64);
    m.Wall().SetFirstPosition_InWall(0, 3);
    m.Wall().DeleteCardsFromWall(26, 0);
    m.Wall().DeleteCardsFromWall(2, 1);
    m.SetDice(0, 3, 5);

    const card hand[8] = {{0, 1}, {0, 2}, {0, 3}, {1, 5}, {1, 6}, {2, 7}, {2, 7}, {3, 4}};
    m.AddCardsToMyHandWithSort(8, hand);
    const card pung[3] = {{1, 9}, {1, 9}, {1, 9}};
    m.ExposeCard_InRecover(0, table::kMeldChowOrPung, 3, pung);
    const card kong[4] = {{2, 2}, {2, 2}, {2, 2}, {2, 2}};
    m.ExposeCard_InRecover(0, table::kMeldKongOnDiscard, 4, kong);
    const card flowers[2] = {{5, 1}, {5, 3}};
    m.ExposeCard_InRecover(0, table::kMeldFlowers, 2, flowers);
    m.AddCardToCurrent(0, 4, 3, true);

    m.SetDealNum(1, 10);
    const card chow[3] = {{0, 6}, {0, 7}, {0, 8}};
    m.ExposeCard_InRecover(1, table::kMeldChowOrPung, 3, chow);
    const card hidden[4] = {{4, 1}, {4, 1}, {4, 1}, {4, 1}};
    m.ExposeCard_InRecover(1, table::kMeldConcealedKong, 4, hidden);
    const card flower[1] = {{6, 2}};
    m.ExposeCard_InRecover(1, table::kMeldFlowers, 1, flower);

    const card discards[] = {{3, 1}, {0, 9}, {4, 2}, {1, 1}, {3, 3}, {2, 9}, {4, 1}, {0, 4}};
    for (int i = 0; i < 8; ++i) m.SetRecvCards_InRecover(static_cast<int16_t>(i % 2), 1, &discards[i]);
    m.SetTingStatus(0, 1);
  }

  void Win() {
    table::CCommMjTable& m = t();
    ScoreRow rows[2] = {};
    std::strcpy(rows[0].name, "\xd5\xc5\xc8\xfd");
    rows[0].values[0] = 24;
    rows[0].values[1] = 1230;
    rows[0].values[2] = 12;
    rows[0].values[3] = 7;
    rows[0].values[4] = 1;
    std::strcpy(rows[1].name, "\xc0\xee\xcb\xc4");
    rows[1].values[0] = -24;
    rows[1].values[1] = 870;
    rows[1].values[2] = 7;
    rows[1].values[3] = 12;
    rows[1].values[4] = 1;
    m.SetScoreInfo(2, 0, &rows[0]);
    m.SetScoreInfo(2, 1, &rows[1]);
    const int16_t fans[30] = {901, 1201, 1212, 1213};
    m.SetMyFans(fans);
    m.ShowScoreInfo(true);
  }
};

}  // namespace table_gdi::testing
