#include "start_game.h"

#include <cstdio>

#include "client_texts.h"
#include "main_frame.h"
#include "playtable_app.h"

CStartGame::CStartGame()
    : events_(static_cast<IStartGame*>(this), static_cast<IConnectionPointContainer*>(this),
              IID__IStartGameEvents) {}

CStartGame::~CStartGame() { TheApp().ForgetStartGame(this); }

void* CStartGame::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IStartGame)
    return static_cast<IStartGame*>(this);
  if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

void CStartGame::Fire_AgreeOrNot(int16_t roomno, int16_t isagree, int32_t joined_id) {
  events_.Fire(1, {winkit::EventArg::I2(roomno), winkit::EventArg::I2(isagree),
                   winkit::EventArg::I4(joined_id)});
}

HRESULT CStartGame::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_IStartGame ? S_OK : S_FALSE;
}

HRESULT CStartGame::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return winkit::EnumConnectionPointsOf({&events_}, out);
}

HRESULT CStartGame::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  return winkit::FindConnectionPointIn({&events_}, iid, out);
}

HRESULT CStartGame::ShowWindow() {
  CPlaytableApp& app = TheApp();
  if (app.MainFrame()) return S_OK;
  app.LoadResourceModules(this);
  app.CreateMainFrame();
  return S_OK;
}

HRESULT CStartGame::AddPerson(PERSON* per) {
  TheApp().Lobby().AddPerson(per);
  return S_OK;
}

HRESULT CStartGame::SetMe(GAMESTR* str) {
  TheApp().Lobby().SetMe(str);
  return S_OK;
}

HRESULT CStartGame::SetSeatNum(short num) {
  TheApp().Lobby().SetSeatNum(num);
  return S_OK;
}

HRESULT CStartGame::SetGameSockIp(GAMESTR* ipstr, short port) {
  TheApp().Lobby().SetGameSockIp(ipstr, port);
  return S_OK;
}

HRESULT CStartGame::SetChatSockIp(GAMESTR*, short) { return S_OK; }  // ignored

HRESULT CStartGame::AddRoomInfo(short, short, short*) { return S_OK; }  // ignored

HRESULT CStartGame::SetWatchStyle(short iswatch) {
  TheApp().Lobby().SetWatchStyle(iswatch);
  return S_OK;
}

HRESULT CStartGame::SetFontFactor(GAMESTR* fontstr, LONG fontcharset) {
  TheApp().Lobby().SetFontFactor(fontstr, fontcharset);
  return S_OK;
}

HRESULT CStartGame::SetSubType(short servicetype, short gametype, short subtype,
                               short termtype) {
  TheApp().Lobby().SetSubType(servicetype, gametype, subtype, termtype);
  return S_OK;
}

HRESULT CStartGame::SetAdvUrl(GAMESTR* gameadv, GAMESTR* tableadv) {
  TheApp().Lobby().SetAdvUrl(gameadv, tableadv);
  return S_OK;
}

HRESULT CStartGame::SetProxyStyle(short isuseproxy, short socktype, short ispasswd) {
  TheApp().Lobby().SetProxyStyle(isuseproxy, socktype, ispasswd);
  return S_OK;
}

HRESULT CStartGame::SetProxy(GAMESTR* ipstr, short port, GAMESTR* username, GAMESTR* passwd) {
  TheApp().Lobby().SetProxy(ipstr, port, username, passwd);
  return S_OK;
}

HRESULT CStartGame::SetListHead(BIG_GAMESTR*, short) { return S_OK; }  // ignored

HRESULT CStartGame::SetComInfo(GAMESTR* cominfo) {
  TheApp().Lobby().SetComInfo(cominfo);
  return S_OK;
}

HRESULT CStartGame::SetReviewFileName(GAMESTR* filename) {
  TheApp().Lobby().SetReviewFileName(filename);
  return S_OK;
}

HRESULT CStartGame::SetDoubleStyle(short isdouble) {
  TheApp().Lobby().SetDoubleStyle(isdouble);
  return S_OK;
}

HRESULT CStartGame::SetDllFileName(GAMESTR* filename) {
  TheApp().Lobby().SetDllFileName(filename);
  return S_OK;
}

HRESULT CStartGame::SetCurrentDirectory(GAMESTR* filename) {
  TheApp().Lobby().SetCurrentDir(filename);
  return S_OK;
}

HRESULT CStartGame::Join_Team(GAMESTR* username, LONG joined_id) {
  CPlaytableApp& app = TheApp();
  if (!app.MainFrame()) return S_OK;
  char text[160];
  std::snprintf(text, sizeof text, kTextJoinTeamInvitation, GameText(username).c_str());
  app.ShowJoinTeam(text, 5000, joined_id);
  return S_OK;
}

HRESULT CStartGame::SetAdvMessage(BIG_GAMESTR*, short, GAMESTR*, BIG_GAMESTR*) {
  // The advert line goes to the chat pane, which the table window brings.
  return S_OK;
}

HRESULT CStartGame::SetLevel(LONG score_per_level) {
  TheApp().Lobby().SetLevel(score_per_level);
  return S_OK;
}

HRESULT CStartGame::AddLevelInfo(GAMESTR* info) {
  TheApp().Lobby().AddLevelInfo(info);
  return S_OK;
}

HRESULT CStartGame::AddRoomInfo1(short deskno, short sendtime, short roomid) {
  TheApp().Lobby().AddRoomInfo1(deskno, sendtime, roomid);
  return S_OK;
}

HRESULT CStartGame::SetMyID(LONG id) {
  TheApp().Lobby().SetMyID(id);
  return S_OK;
}

HRESULT CStartGame::ShowInstantMessage(LONG, LONG, BIG_GAMESTR*, short) {
  // The message goes to the chat pane, which the table window brings.
  return S_OK;
}

HRESULT CStartGame::SetPageUrl(GAMESTR* pageurl, GAMESTR* helpurl) {
  TheApp().Lobby().SetPageUrl(pageurl, helpurl);
  return S_OK;
}
