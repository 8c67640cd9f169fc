#include "start_game.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "client_texts.h"
#include "winkit/boundary.h"

// Every IStartGame method is a boundary: what the lobby state throws (out of memory) becomes
// the call's HRESULT instead of unwinding into the marshaller.
using winkit::CallAtBoundary;

CStartGame::CStartGame(StartGameHost& host)
    : host_(host),
      events_(static_cast<IStartGame*>(this), static_cast<IConnectionPointContainer*>(this),
              IID__IStartGameEvents) {}

CStartGame::~CStartGame() { host_.ForgetStartGame(this); }

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
  return CallAtBoundary([&] {
    if (!host_.HasMainFrame()) host_.ShowMainFrame(this);
  });
}

HRESULT CStartGame::AddPerson(PERSON* per) {
  return CallAtBoundary([&] { host_.Lobby().AddPerson(per); });
}

HRESULT CStartGame::SetMe(GAMESTR* str) {
  return CallAtBoundary([&] { host_.Lobby().SetMe(str); });
}

HRESULT CStartGame::SetSeatNum(short num) {
  return CallAtBoundary([&] { host_.Lobby().SetSeatNum(num); });
}

HRESULT CStartGame::SetGameSockIp(GAMESTR* ipstr, short port) {
  return CallAtBoundary([&] { host_.Lobby().SetGameSockIp(ipstr, port); });
}

HRESULT CStartGame::SetChatSockIp(GAMESTR*, short) { return S_OK; }  // ignored

HRESULT CStartGame::AddRoomInfo(short, short, short*) { return S_OK; }  // ignored

HRESULT CStartGame::SetWatchStyle(short iswatch) {
  return CallAtBoundary([&] { host_.Lobby().SetWatchStyle(iswatch); });
}

HRESULT CStartGame::SetFontFactor(GAMESTR* fontstr, LONG fontcharset) {
  return CallAtBoundary([&] { host_.Lobby().SetFontFactor(fontstr, fontcharset); });
}

HRESULT CStartGame::SetSubType(short servicetype, short gametype, short subtype,
                               short termtype) {
  return CallAtBoundary(
      [&] { host_.Lobby().SetSubType(servicetype, gametype, subtype, termtype); });
}

HRESULT CStartGame::SetAdvUrl(GAMESTR* gameadv, GAMESTR* tableadv) {
  return CallAtBoundary([&] { host_.Lobby().SetAdvUrl(gameadv, tableadv); });
}

HRESULT CStartGame::SetProxyStyle(short isuseproxy, short socktype, short ispasswd) {
  return CallAtBoundary([&] { host_.Lobby().SetProxyStyle(isuseproxy, socktype, ispasswd); });
}

HRESULT CStartGame::SetProxy(GAMESTR* ipstr, short port, GAMESTR* username, GAMESTR* passwd) {
  return CallAtBoundary([&] { host_.Lobby().SetProxy(ipstr, port, username, passwd); });
}

HRESULT CStartGame::SetListHead(BIG_GAMESTR*, short) { return S_OK; }  // ignored

HRESULT CStartGame::SetComInfo(GAMESTR* cominfo) {
  return CallAtBoundary([&] { host_.Lobby().SetComInfo(cominfo); });
}

HRESULT CStartGame::SetReviewFileName(GAMESTR* filename) {
  return CallAtBoundary([&] { host_.Lobby().SetReviewFileName(filename); });
}

HRESULT CStartGame::SetDoubleStyle(short isdouble) {
  return CallAtBoundary([&] { host_.Lobby().SetDoubleStyle(isdouble); });
}

HRESULT CStartGame::SetDllFileName(GAMESTR* filename) {
  return CallAtBoundary([&] { host_.Lobby().SetDllFileName(filename); });
}

HRESULT CStartGame::SetCurrentDirectory(GAMESTR* filename) {
  return CallAtBoundary([&] { host_.Lobby().SetCurrentDir(filename); });
}

HRESULT CStartGame::Join_Team(GAMESTR* username, LONG joined_id) {
  return CallAtBoundary([&] {
    if (!host_.HasMainFrame()) return;
    char text[160];
    std::snprintf(text, sizeof text, kTextJoinTeamInvitation, GameText(username).c_str());
    host_.ShowJoinTeam(text, 5000, joined_id);
  });
}

HRESULT CStartGame::SetAdvMessage(BIG_GAMESTR* chatinfo, short size, GAMESTR* linkstr,
                                  BIG_GAMESTR* chatstr) {
  return CallAtBoundary([&] {
    if (!host_.HasMainFrame()) return;
    LobbyChatLine line;
    line.advert = true;
    line.sound = "IDW_ADV";
    // The lobby's format bytes replace the start of a default format, never more than it holds.
    const size_t n = std::min<size_t>(static_cast<size_t>(std::max<int>(size, 0)),
                                      sizeof line.format);
    if (chatinfo) std::memcpy(&line.format, chatinfo->str, n);
    std::string link = GameText(linkstr);
    if (link.size() >= 7) line.link = std::move(link);
    line.text = GameText(chatstr);
    host_.ShowLobbyLine(line);
  });
}

HRESULT CStartGame::SetLevel(LONG score_per_level) {
  return CallAtBoundary([&] { host_.Lobby().SetLevel(score_per_level); });
}

HRESULT CStartGame::AddLevelInfo(GAMESTR* info) {
  return CallAtBoundary([&] { host_.Lobby().AddLevelInfo(info); });
}

HRESULT CStartGame::AddRoomInfo1(short deskno, short sendtime, short roomid) {
  return CallAtBoundary([&] { host_.Lobby().AddRoomInfo1(deskno, sendtime, roomid); });
}

HRESULT CStartGame::SetMyID(LONG id) {
  return CallAtBoundary([&] { host_.Lobby().SetMyID(id); });
}

HRESULT CStartGame::ShowInstantMessage(LONG, LONG, BIG_GAMESTR* message, short) {
  return CallAtBoundary([&] {
    if (!host_.HasMainFrame()) return;
    LobbyChatLine line;
    line.sound = "IDW_FINDMESSAGE";
    line.format.m_nColor = 255;
    line.format.m_nStyle[0] = line.format.m_nStyle[1] = 1;
    // At most 199 characters of the message.
    line.text = GameText(message).substr(0, 199);
    host_.ShowLobbyLine(line);
  });
}

HRESULT CStartGame::SetPageUrl(GAMESTR* pageurl, GAMESTR* helpurl) {
  return CallAtBoundary([&] { host_.Lobby().SetPageUrl(pageurl, helpurl); });
}
