// StartGame: the one COM class of the game client, served from its process. The lobby fills
// the settings through IStartGame and then calls ShowWindow.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "korvel_game.h"
#include "lobby_state.h"
#include "records/chat_text_format.h"
#include "winkit/com_object.h"
#include "winkit/connection_point.h"
#include "winkit/dispatch.h"

class CStartGame;

// A line the lobby sends into the table's chat pane once the game runs, kept as the pane will
// show it.
struct LobbyChatLine {
  ChatTextFormat format;
  std::string link;  // an advert's link; empty without one
  std::string text;  // GBK
  bool advert = false;  // an advert (AddLink), else an instant message (ShowLine)
  const char* sound = nullptr;  // the "WAVE" resource played with the line
};

// What a StartGame object needs of the game client that serves it.
class StartGameHost {
 public:
  // Where the lobby's settings and persons go.
  virtual LobbyState& Lobby() = 0;
  virtual bool HasMainFrame() const = 0;
  // IStartGame::ShowWindow: load the resource libraries for `caller` and create the frame.
  virtual void ShowMainFrame(CStartGame* caller) = 0;
  virtual void ShowJoinTeam(const std::string& text, int ms, int32_t joined_id) = 0;
  // IStartGame::SetAdvMessage and ShowInstantMessage, once the frame exists.
  virtual void ShowLobbyLine(const LobbyChatLine& line) = 0;
  // `game` is going away: nothing may fire through it any more.
  virtual void ForgetStartGame(CStartGame* game) = 0;

 protected:
  ~StartGameHost() = default;
};

class CStartGame : public winkit::DispatchImpl<IStartGame, &IID_IStartGame>,
                   public ISupportErrorInfo,
                   public IConnectionPointContainer,
                   public winkit::ComObject {
 public:
  explicit CStartGame(StartGameHost& host);
  ~CStartGame() override;
  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  void Fire_AgreeOrNot(int16_t roomno, int16_t isagree, int32_t joined_id);

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // IStartGame
  STDMETHODIMP ShowWindow() override;
  STDMETHODIMP AddPerson(PERSON* per) override;
  STDMETHODIMP SetMe(GAMESTR* str) override;
  STDMETHODIMP SetSeatNum(short num) override;
  STDMETHODIMP SetGameSockIp(GAMESTR* ipstr, short port) override;
  STDMETHODIMP SetChatSockIp(GAMESTR* ipstr, short port) override;
  STDMETHODIMP AddRoomInfo(short deskno, short levelnum, short* levels) override;
  STDMETHODIMP SetWatchStyle(short iswatch) override;
  STDMETHODIMP SetFontFactor(GAMESTR* fontstr, LONG fontcharset) override;
  STDMETHODIMP SetSubType(short servicetype, short gametype, short subtype,
                          short termtype) override;
  STDMETHODIMP SetAdvUrl(GAMESTR* gameadv, GAMESTR* tableadv) override;
  STDMETHODIMP SetProxyStyle(short isuseproxy, short socktype, short ispasswd) override;
  STDMETHODIMP SetProxy(GAMESTR* ipstr, short port, GAMESTR* username,
                        GAMESTR* passwd) override;
  STDMETHODIMP SetListHead(BIG_GAMESTR* listhead, short size) override;
  STDMETHODIMP SetComInfo(GAMESTR* cominfo) override;
  STDMETHODIMP SetReviewFileName(GAMESTR* filename) override;
  STDMETHODIMP SetDoubleStyle(short isdouble) override;
  STDMETHODIMP SetDllFileName(GAMESTR* filename) override;
  STDMETHODIMP SetCurrentDirectory(GAMESTR* filename) override;
  STDMETHODIMP Join_Team(GAMESTR* username, LONG joined_id) override;
  STDMETHODIMP SetAdvMessage(BIG_GAMESTR* chatinfo, short size, GAMESTR* linkstr,
                             BIG_GAMESTR* chatstr) override;
  STDMETHODIMP SetLevel(LONG score_per_level) override;
  STDMETHODIMP AddLevelInfo(GAMESTR* info) override;
  STDMETHODIMP AddRoomInfo1(short deskno, short sendtime, short roomid) override;
  STDMETHODIMP SetMyID(LONG id) override;
  STDMETHODIMP ShowInstantMessage(LONG fromid, LONG toid, BIG_GAMESTR* message,
                                  short size) override;
  STDMETHODIMP SetPageUrl(GAMESTR* pageurl, GAMESTR* helpurl) override;

 private:
  StartGameHost& host_;
  winkit::ConnectionPoint events_;
};
