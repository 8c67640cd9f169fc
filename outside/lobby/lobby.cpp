// lobby.exe: a stand-in for the lobby program. It activates KorvelGame.StartGame out of
// process, makes the IStartGame calls its command line (or a file of the same lines) asks
// for, calls ShowWindow, keeps the object until the client's frame closes (or a time-out),
// then releases it and reports how long the server process took to end.
//
//   lobby.exe [--file=F] [--KEY=VALUE ...]
//     --person=id,username,nickname,seat[,status[,desk[,games,forced]]]   (repeatable;
//                         games started and forced exits, 0 and 0 when not given)
//     --me=username  --myid=N  --seats=N  --server=host:port  --watch=N
//     --subtype=service,game,sub,term  --room=desk,sendtime,roomid  --double=N
//     --proxystyle=use,kind,haspass  --proxy=host,port[,user,pass]
//     --dll=path  --curdir=dir  --review=file  --font=face,charset  --level=N  --levelname=T
//     --after-show-seats=N   a setter call made after ShowWindow (it must be ignored)
//     --join-accept=ID       Join_Team, then accept it as the invitation dialog does
//     --hold=MS              release MS after ShowWindow instead of waiting for the frame
//     --next-game            close the frame, then start a second game with the same persons
//                            while still holding the first object: it must come up in a new
//                            client process
//     --timeout=S            give up waiting for the frame after S seconds (default 3600)
//     --adv=KIND,LINK,TEXT   SetAdvMessage once the table is on screen (KIND: the line kind of
//                            the format, 0 a system line, 2 a notice, 4 a broadcast)
//     --instant=TEXT         ShowInstantMessage once the table is on screen
//     --expect-chat=TEXT     report whether the table's chat pane shows TEXT (waits up to 5 s)
//     --probe-answers        after the table shows, report the longest a message to it waits
//                            in the first 4 s (how soon a click would be answered)
//     --clsid={...}          activate this class instead of KorvelGame.StartGame (another
//                            server answering IStartGame, such as the start-up bench's)
// Texts on the command line are turned into the GBK code page.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "korvel_game.h"
#include "winkit/com_ptr.h"
#include "winkit/handle.h"
#include "winkit/gbk.h"

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t p = s.find(sep, start);
    out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) return out;
    start = p + 1;
  }
}

GAMESTR Game(const std::string& s) {
  GAMESTR g = {};
  std::strncpy(g.str, s.c_str(), sizeof g.str - 1);
  return g;
}

int Int(const std::string& s) { return std::atoi(s.c_str()); }

BIG_GAMESTR BigGame(const std::string& s) {
  BIG_GAMESTR g = {};
  std::strncpy(g.str, s.c_str(), sizeof g.str - 1);
  return g;
}

// The chat pane's output (child 2001 of the chat control, child 32784 of the table window).
std::wstring ChatOutput(HWND frame) {
  struct Find {
    HWND chat = nullptr;
  } find;
  EnumChildWindows(
      frame,
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        if (GetDlgCtrlID(w) != 32784) return TRUE;
        reinterpret_cast<Find*>(lp)->chat = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  HWND output = find.chat ? GetDlgItem(find.chat, 2001) : nullptr;
  if (!output) return std::wstring();
  const LRESULT n = SendMessageW(output, WM_GETTEXTLENGTH, 0, 0);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got =
      SendMessageW(output, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

// Prints each event the client fires.
class EventSink : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__IStartGameEvents) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs_); }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    if (id == 1 && p && p->cArgs == 3) {
      // Arguments arrive in reverse order: joined_id, isagree, roomno.
      std::printf("event AgreeOrNot roomno=%d(vt%d) isagree=%d(vt%d) joined_id=%ld(vt%d)\n",
                  p->rgvarg[2].iVal, p->rgvarg[2].vt, p->rgvarg[1].iVal, p->rgvarg[1].vt,
                  static_cast<long>(p->rgvarg[0].lVal), p->rgvarg[0].vt);
      ++agree_count;
    } else {
      std::printf("event %ld with %u arguments\n", static_cast<long>(id), p ? p->cArgs : 0);
    }
    std::fflush(stdout);
    return S_OK;
  }
  int agree_count = 0;

 private:
  LONG refs_ = 1;
};

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

struct Options {
  std::vector<std::pair<std::string, std::string>> items;  // in order
};

// A person of the options: id,user,nick,seat[,status[,desk[,games[,forced exits]]]].
PERSON PersonOf(const std::vector<std::string>& f) {
  auto at = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
  PERSON p = {};
  p.id = static_cast<unsigned>(std::strtoul(at(0).c_str(), nullptr, 10));
  std::strncpy(p.username, at(1).c_str(), sizeof p.username - 1);
  std::strncpy(p.nickname, at(2).c_str(), sizeof p.nickname - 1);
  p.seatno = static_cast<short>(Int(at(3)));
  p.status = static_cast<short>(f.size() > 4 ? Int(at(4)) : 4);
  p.deskno = static_cast<short>(f.size() > 5 ? Int(at(5)) : 0);
  p.watchno = -1;
  p.startgame_num = f.size() > 6 ? Int(at(6)) : 0;
  p.forceexit_num = f.size() > 7 ? Int(at(7)) : 0;
  return p;
}

// The persons and the local player of the options, handed to `game` (a second game of the
// lobby gets the same table).
void HandOverPersons(IStartGame* game, const Options& opt) {
  for (const auto& [key, value] : opt.items) {
    if (key == "person") {
      PERSON p = PersonOf(Split(value, ','));
      game->AddPerson(&p);
    } else if (key == "me") {
      GAMESTR g = Game(value);
      game->SetMe(&g);
    } else if (key == "myid") {
      game->SetMyID(Int(value));
    }
  }
}

void AddLine(Options& o, const std::string& line) {
  std::string s = line;
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  if (s.rfind("--", 0) == 0) s = s.substr(2);
  if (s.empty() || s[0] == '#') return;
  const size_t eq = s.find('=');
  o.items.emplace_back(s.substr(0, eq), eq == std::string::npos ? "" : s.substr(eq + 1));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options opt;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = winkit::WideToGbk(argv[i]);
    if (arg.rfind("--file=", 0) == 0) {
      std::ifstream in(arg.substr(7), std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "lobby: cannot read %s\n", arg.substr(7).c_str());
        return 2;
      }
      for (std::string line; std::getline(in, line);) AddLine(opt, line);
    } else {
      AddLine(opt, arg);
    }
  }

  if (FAILED(OleInitialize(nullptr))) return 2;
  CLSID clsid = CLSID_StartGame;
  bool probe_answers = false;
  for (const auto& [key, value] : opt.items) {
    if (key == "probe-answers") probe_answers = true;
    if (key != "clsid") continue;
    const std::wstring text(value.begin(), value.end());
    if (FAILED(CLSIDFromString(text.c_str(), &clsid))) {
      std::fprintf(stderr, "lobby: bad class id %s\n", value.c_str());
      return 2;
    }
  }
  winkit::ComPtr<IStartGame> game;
  const DWORD activated = GetTickCount();
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IStartGame,
                                game.PutVoid());
  const DWORD created = GetTickCount();
  if (FAILED(hr)) {
    std::fprintf(stderr, "lobby: cannot start KorvelGame.StartGame (0x%08lx)\n",
                 static_cast<unsigned long>(hr));
    OleUninitialize();
    return 1;
  }
  EventSink sink;
  winkit::ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  {
    winkit::ComPtr<IConnectionPointContainer> cpc;
    if (SUCCEEDED(game.As(&cpc, IID_IConnectionPointContainer)) &&
        SUCCEEDED(cpc->FindConnectionPoint(IID__IStartGameEvents, point.Put())) &&
        FAILED(point->Advise(&sink, &cookie)))
      point.Reset();
  }

  int hold_ms = -1;
  int timeout_s = 3600;
  int join_accept = 0;
  bool join = false;
  bool next_game = false;
  std::vector<int> after_show_seats;
  struct LobbyLine {
    bool advert;
    std::vector<std::string> fields;
  };
  std::vector<LobbyLine> lines;
  std::vector<std::string> expect_chat;
  for (const auto& [key, value] : opt.items) {
    const std::vector<std::string> f = Split(value, ',');
    auto at = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (key == "person") {
      PERSON p = PersonOf(f);
      hr = game->AddPerson(&p);
    } else if (key == "me") {
      GAMESTR g = Game(value);
      hr = game->SetMe(&g);
    } else if (key == "myid") {
      hr = game->SetMyID(Int(value));
    } else if (key == "seats") {
      hr = game->SetSeatNum(static_cast<short>(Int(value)));
    } else if (key == "server") {
      const std::vector<std::string> hp = Split(value, ':');
      GAMESTR g = Game(hp[0]);
      hr = game->SetGameSockIp(&g, static_cast<short>(hp.size() > 1 ? Int(hp[1]) : 0));
    } else if (key == "watch") {
      hr = game->SetWatchStyle(static_cast<short>(Int(value)));
    } else if (key == "subtype") {
      hr = game->SetSubType(static_cast<short>(Int(at(0))), static_cast<short>(Int(at(1))),
                            static_cast<short>(Int(at(2))), static_cast<short>(Int(at(3))));
    } else if (key == "room") {
      hr = game->AddRoomInfo1(static_cast<short>(Int(at(0))), static_cast<short>(Int(at(1))),
                              static_cast<short>(Int(at(2))));
    } else if (key == "double") {
      hr = game->SetDoubleStyle(static_cast<short>(Int(value)));
    } else if (key == "proxystyle") {
      hr = game->SetProxyStyle(static_cast<short>(Int(at(0))), static_cast<short>(Int(at(1))),
                               static_cast<short>(Int(at(2))));
    } else if (key == "proxy") {
      GAMESTR host = Game(at(0)), user = Game(at(2)), pass = Game(at(3));
      const bool creds = f.size() > 3;
      hr = game->SetProxy(&host, static_cast<short>(Int(at(1))), creds ? &user : nullptr,
                          creds ? &pass : nullptr);
    } else if (key == "dll") {
      GAMESTR g = Game(value);
      hr = game->SetDllFileName(&g);
    } else if (key == "curdir") {
      GAMESTR g = Game(value);
      hr = game->SetCurrentDirectory(&g);
    } else if (key == "review") {
      GAMESTR g = Game(value);
      hr = game->SetReviewFileName(&g);
    } else if (key == "font") {
      GAMESTR g = Game(at(0));
      hr = game->SetFontFactor(&g, f.size() > 1 ? Int(at(1)) : 1);
    } else if (key == "level") {
      hr = game->SetLevel(Int(value));
    } else if (key == "levelname") {
      GAMESTR g = Game(value);
      hr = game->AddLevelInfo(&g);
    } else if (key == "after-show-seats") {
      after_show_seats.push_back(Int(value));
      continue;
    } else if (key == "adv" || key == "instant") {
      lines.push_back({key == "adv", key == "adv" ? f : std::vector<std::string>{value}});
      continue;
    } else if (key == "expect-chat") {
      expect_chat.push_back(value);
      continue;
    } else if (key == "join-accept") {
      join = true;
      join_accept = Int(value);
      continue;
    } else if (key == "next-game") {
      next_game = true;
      continue;
    } else if (key == "hold") {
      hold_ms = Int(value);
      continue;
    } else if (key == "clsid" || key == "probe-answers") {
      continue;
    } else if (key == "timeout") {
      timeout_s = Int(value);
      continue;
    } else {
      std::fprintf(stderr, "lobby: unknown option %s\n", key.c_str());
      continue;
    }
    if (FAILED(hr))
      std::fprintf(stderr, "lobby: %s failed (0x%08lx)\n", key.c_str(),
                   static_cast<unsigned long>(hr));
  }

  const DWORD before_show = GetTickCount();
  hr = game->ShowWindow();
  std::printf("ShowWindow 0x%08lx (the server up after %lu ms, ShowWindow took %lu ms)\n",
              static_cast<unsigned long>(hr), static_cast<unsigned long>(created - activated),
              static_cast<unsigned long>(GetTickCount() - before_show));
  std::fflush(stdout);
  for (int seats : after_show_seats) game->SetSeatNum(static_cast<short>(seats));

  // The client's frame and its process.
  HWND frame = nullptr;
  for (int i = 0; i < 50 && !frame; ++i) {
    frame = FindWindowW(L"KorvelGameFrame", nullptr);
    if (!frame) Pump(100);
  }
  DWORD pid = 0;
  if (frame) GetWindowThreadProcessId(frame, &pid);
  winkit::UniqueHandle process(pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr);
  std::printf("frame %s\n", frame ? "shown" : "missing");
  // The table display (child 32770 of the frame's table window) on screen: the time from the
  // activation, a figure of the client's start.
  for (int i = 0; i < 100 && frame; ++i) {
    HWND table = FindWindowExW(frame, nullptr, nullptr, nullptr);
    HWND display = nullptr;
    for (HWND w = table; w && !display; w = FindWindowExW(frame, w, nullptr, nullptr))
      if (HWND d = GetDlgItem(w, 32770); d && IsWindowVisible(d)) display = d;
    if (display) {
      const DWORD shown = GetTickCount();
      std::printf("table shown %lu ms after the activation\n",
                  static_cast<unsigned long>(shown - activated));
      // How long the client's window thread keeps a message (as it would a click) waiting in
      // the first 4 s after the table showed: the longest of messages sent 50 ms apart.
      DWORD longest = 0;
      while (probe_answers && GetTickCount() - shown < 4000) {
        const DWORD sent = GetTickCount();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(display, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer);
        if (GetTickCount() - sent > longest) longest = GetTickCount() - sent;
        Pump(50);
      }
      if (probe_answers)
        std::printf("table answers within %lu ms in its first 4 s\n",
                    static_cast<unsigned long>(longest));
      break;
    }
    Pump(20);
  }
  std::fflush(stdout);

  // The lobby's lines for the table's chat pane: an advert (a format of the given line kind,
  // its link and its text) and an instant message.
  for (const LobbyLine& line : lines) {
    if (line.advert) {
      unsigned char format[44] = {};
      std::memcpy(format + 8, "\xcb\xce\xcc\xe5", 4);  // 宋体
      format[32] = 9;                                     // size
      format[42] = static_cast<unsigned char>(Int(line.fields[0]));  // line kind
      BIG_GAMESTR info = {};
      std::memcpy(info.str, format, sizeof format);
      GAMESTR link = Game(line.fields.size() > 1 ? line.fields[1] : std::string());
      BIG_GAMESTR text = BigGame(line.fields.size() > 2 ? line.fields[2] : std::string());
      hr = game->SetAdvMessage(&info, static_cast<short>(sizeof format), &link, &text);
    } else {
      BIG_GAMESTR text = BigGame(line.fields[0]);
      hr = game->ShowInstantMessage(1, 2, &text, static_cast<short>(line.fields[0].size()));
    }
    std::printf("%s 0x%08lx\n", line.advert ? "SetAdvMessage" : "ShowInstantMessage",
                static_cast<unsigned long>(hr));
  }
  for (const std::string& want : expect_chat) {
    const std::wstring wide = winkit::GbkToWide(want);
    bool shown = false;
    for (int i = 0; i < 50 && frame && !shown; ++i) {
      shown = ChatOutput(frame).find(wide) != std::wstring::npos;
      if (!shown) Pump(100);
    }
    std::printf("chat %s: %s\n", shown ? "shows" : "lacks", want.c_str());
  }
  std::fflush(stdout);

  if (join && frame) {
    GAMESTR who = Game("inviter");
    game->Join_Team(&who, join_accept);
    // The invitation dialog's OK sends this message to the frame.
    PostMessageW(frame, WM_USER + 200, static_cast<WPARAM>(join_accept), 0);
    for (int i = 0; i < 50 && sink.agree_count == 0; ++i) Pump(100);
  }

  winkit::UniqueHandle second_process;
  winkit::ComPtr<IStartGame> second;
  if (next_game && frame) {
    // The table is over once its frame closes; the lobby's next activation gets a new client.
    PostMessageW(frame, WM_CLOSE, 0, 0);
    for (int i = 0; i < 10 && IsWindow(frame); ++i) Pump(100);
    // A table may ask before it closes: leave it with the close dialog's exit button (161), as
    // the player would before the first hand.
    struct Find {
      HWND owner;
      HWND button;
    } find{frame, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) CALLBACK -> BOOL {
          auto* f = reinterpret_cast<Find*>(lp);
          if (GetWindow(w, GW_OWNER) != f->owner) return TRUE;
          f->button = GetDlgItem(w, 161);
          return f->button ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    if (find.button) PostMessageW(find.button, BM_CLICK, 0, 0);
    // Without a window manager every hidden window waits for the display a while: give the
    // frame's teardown its time before asking for the next game.
    for (int i = 0; i < 300 && IsWindow(frame); ++i) Pump(100);
    std::printf("frame %s\n", IsWindow(frame) ? "still open" : "closed");
    hr = CoCreateInstance(CLSID_StartGame, nullptr, CLSCTX_LOCAL_SERVER, IID_IStartGame,
                          second.PutVoid());
    if (SUCCEEDED(hr)) {
      HandOverPersons(second.Get(), opt);
      second->ShowWindow();
      HWND frame2 = nullptr;
      for (int i = 0; i < 50 && !frame2; ++i) {
        frame2 = FindWindowW(L"KorvelGameFrame", nullptr);
        if (!frame2) Pump(100);
      }
      DWORD pid2 = 0;
      if (frame2) GetWindowThreadProcessId(frame2, &pid2);
      if (pid2) second_process.Reset(OpenProcess(SYNCHRONIZE, FALSE, pid2));
      std::printf("next game frame %s in %s process\n", frame2 ? "shown" : "missing",
                  pid2 && pid2 != pid ? "a new" : "the same");
    } else {
      std::printf("next game failed (0x%08lx)\n", static_cast<unsigned long>(hr));
    }
    std::fflush(stdout);
  }

  if (hold_ms >= 0) {
    Pump(static_cast<DWORD>(hold_ms));
  } else {
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeout_s) * 1000;
    while (IsWindow(frame) && static_cast<LONG>(end - GetTickCount()) > 0) Pump(200);
  }

  if (point) {
    point->Unadvise(cookie);
    point.Reset();
  }
  game.Reset();
  second.Reset();
  const DWORD released = GetTickCount();
  int code = 0;
  if (process) {
    if (WaitForSingleObject(process.Get(), 15000) == WAIT_OBJECT_0) {
      std::printf("server ended %lu ms after release\n",
                  static_cast<unsigned long>(GetTickCount() - released));
    } else {
      std::printf("server still running 15 s after release\n");
      code = 3;
    }
  }
  if (second_process) {
    if (WaitForSingleObject(second_process.Get(), 15000) == WAIT_OBJECT_0) {
      std::printf("next game's server ended\n");
    } else {
      std::printf("next game's server still running 15 s after release\n");
      code = 3;
    }
  }
  std::fflush(stdout);
  OleUninitialize();
  return code;
}
