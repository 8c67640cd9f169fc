// The game client as a local automation server, driven from other processes: registration
// switches, the stand-alone start, and a lobby that hands over persons and texts, shows the
// frame, gets the join-team acceptance and releases the server.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "winkit/testing/com_test_support.h"

namespace {

using winkit::testing::ClassesRootKeyExists;
using winkit::testing::ClassesRootValue;

const wchar_t kClsidKey[] = L"CLSID\\{AA7A5B45-B522-403E-B5B8-44630D395706}";

struct RunResult {
  DWORD exit_code = 0xFFFFFFFF;
  bool finished = false;
  std::string output;
  DWORD elapsed_ms = 0;
};

// Runs a command line, collecting its standard output, for at most timeout_ms.
RunResult RunProcess(std::wstring command, DWORD timeout_ms, const wchar_t* env_name = nullptr,
              const wchar_t* env_value = nullptr) {
  RunResult r;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &sa, 0)) {
    r.output = "CreatePipe failed, error " + std::to_string(GetLastError());
    return r;
  }
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write;
  si.hStdError = write;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  if (env_name) SetEnvironmentVariableW(env_name, env_value);
  const DWORD start = GetTickCount();
  // Wine's process creation can fail now and then while the server is still tearing down the
  // previous child; try again a few times and say why if it never starts.
  BOOL ok = FALSE;
  DWORD create_error = 0;
  for (int attempt = 0; attempt < 5 && !ok; ++attempt) {
    if (attempt) Sleep(200);
    ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi);
    if (!ok) create_error = GetLastError();
  }
  if (env_name) SetEnvironmentVariableW(env_name, nullptr);
  CloseHandle(write);
  if (!ok) {
    CloseHandle(read);
    r.output = "CreateProcess failed, error " + std::to_string(create_error);
    return r;
  }
  char buf[4096];
  for (;;) {
    DWORD avail = 0;
    while (PeekNamedPipe(read, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
      DWORD got = 0;
      if (!ReadFile(read, buf, sizeof buf, &got, nullptr) || got == 0) break;
      r.output.append(buf, got);
    }
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start > timeout_ms) break;
  }
  // Drain what is left without waiting for the end of the pipe: a process the child started
  // may hold its write end.
  DWORD avail = 0;
  while (PeekNamedPipe(read, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
    DWORD got = 0;
    if (!ReadFile(read, buf, sizeof buf, &got, nullptr) || got == 0) break;
    r.output.append(buf, got);
  }
  r.elapsed_ms = GetTickCount() - start;
  r.finished = WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
  if (!r.finished) TerminateProcess(pi.hProcess, 99);
  GetExitCodeProcess(pi.hProcess, &r.exit_code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(read);
  return r;
}

bool FrameExists() { return FindWindowW(L"KorvelGameFrame", nullptr) != nullptr; }

TEST(GameServer, RegistrationSwitchesRegisterOrUnregisterAndQuit) {
  struct Case {
    const wchar_t* command;
    bool registered;
  } cases[] = {{L"KorvelGame.exe -unregserver", false},
               {L"KorvelGame.exe /RegServer", true},
               {L"KorvelGame.exe /UNREGSERVER", false},
               {L"KorvelGame.exe -regserver", true}};
  for (const Case& c : cases) {
    RunResult r = RunProcess(c.command, 30000);
    ASSERT_TRUE(r.finished) << "still running: " << r.output;
    EXPECT_EQ(r.exit_code, 0u);
    EXPECT_FALSE(FrameExists());
    EXPECT_EQ(ClassesRootKeyExists(kClsidKey), c.registered);
    EXPECT_EQ(ClassesRootKeyExists(L"KorvelGame.StartGame"), c.registered);
    EXPECT_EQ(ClassesRootKeyExists(L"TypeLib\\{7A32925E-DCFC-4607-9880-0CA1E75526D2}\\1.3"), c.registered);
  }
  // Left registered: the script's values.
  EXPECT_EQ(ClassesRootValue(L"KorvelGame.StartGame\\CurVer"), L"KorvelGame.StartGame.1");
  EXPECT_EQ(ClassesRootValue(kClsidKey), L"StartGame Class");
  EXPECT_EQ(ClassesRootValue(kClsidKey, L"AppID"), L"{488DDF87-89D9-4BC6-A4A5-3FF85D58BA22}");
  EXPECT_NE(ClassesRootValue(std::wstring(kClsidKey) + L"\\LocalServer32").find(L"KorvelGame.exe"),
            std::wstring::npos);
  EXPECT_TRUE(ClassesRootKeyExists(std::wstring(kClsidKey) + L"\\Programmable"));
  EXPECT_EQ(ClassesRootValue(std::wstring(kClsidKey) + L"\\TypeLib"),
            L"{7A32925E-DCFC-4607-9880-0CA1E75526D2}");
}

TEST(GameServer, StandAloneStartLeavesNothingBehind) {
  // Twice: the first creates the mutex, the second finds it; neither stays nor shows a window.
  for (int i = 0; i < 2; ++i) {
    RunResult r = RunProcess(L"KorvelGame.exe", 30000);
    EXPECT_TRUE(r.finished) << "run " << i << ": " << r.output;
    EXPECT_EQ(r.exit_code, 0u) << "run " << i << ": " << r.output;
    EXPECT_FALSE(FrameExists());
  }
}

// The controls the table hosts, registered as an installation leaves them: without them the
// client stops at its "component version" message before the frame is shown.
void RegisterTableControls() {
  for (const wchar_t* dll : {L"Korvel.dll", L"KorvelTable.dll", L"Vitrine.dll", L"Parley.dll",
                             L"VyrSock.dll", L"OzkPersonList.dll", L"KorvelFlash.dll"})
    RunProcess(std::wstring(L"regsvr32 /s ") + dll, 30000);
}

TEST(GameServer, LobbyHandsOverPersonsAndTextsAndTheServerEndsAfterRelease) {
  RegisterTableControls();
  ASSERT_TRUE(RunProcess(L"KorvelGame.exe /RegServer", 30000).finished);
  wchar_t trace[MAX_PATH];
  GetFullPathNameW(L"lobby_trace.txt", MAX_PATH, trace, nullptr);
  DeleteFileW(trace);
  // 张三 / 小张 travel as GBK; seat count set after ShowWindow must be ignored.
  RunResult r = RunProcess(
      L"lobby.exe \"--person=7,\x5f20\x4e09,\x5c0f\x5f20,0\" --person=8,bob,Bob,1,5 "
      L"\"--me=\x5f20\x4e09\" --seats=2 --server=127.0.0.1:40000 --room=3,0,12 --watch=3 "
      L"\"--font=\x9ed1\x4f53,134\" --proxy=proxy.local,1080 --after-show-seats=4 "
      L"--join-accept=55 --hold=300",
      60000, L"KORVEL_LOBBY_TRACE", trace);
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  EXPECT_NE(r.output.find("ShowWindow 0x00000000"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("frame shown"), std::string::npos) << r.output;
  // VT_I2 roomno, VT_I2 isagree, VT_I4 joined_id.
  EXPECT_NE(r.output.find("event AgreeOrNot roomno=12(vt2) isagree=1(vt2) joined_id=55(vt3)"),
            std::string::npos)
      << r.output;
  // The server process ends by itself after the lobby's release, not before the one-second
  // grace has passed. (The upper bound only catches a server that never ends; the lobby
  // reports the figure, about 1000 ms here.)
  unsigned ms = 0;
  const size_t at = r.output.find("server ended ");
  ASSERT_NE(at, std::string::npos) << r.output;
  ASSERT_EQ(std::sscanf(r.output.c_str() + at, "server ended %u ms", &ms), 1);
  EXPECT_GE(ms, 800u);
  EXPECT_LE(ms, 10000u);

  std::ifstream in(trace, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string t = text.str();
  const std::string show = t.substr(0, t.find("[exit]"));
  const std::string exit = t.find("[exit]") == std::string::npos ? "" : t.substr(t.find("[exit]"));
  // The GBK bytes of 张三 (d5c5c8fd), 小张 (d0a1d5c5) and 黑体 (badacce5).
  EXPECT_NE(show.find("person=7,d5c5c8fd,d0a1d5c5,0,4"), std::string::npos) << t;
  EXPECT_NE(show.find("person=8,626f62,426f62,1,5"), std::string::npos) << t;
  EXPECT_NE(show.find("me=7"), std::string::npos) << t;
  EXPECT_NE(show.find("font=badacce5,134"), std::string::npos) << t;
  EXPECT_NE(show.find("gamesock=3132372e302e302e31:40000"), std::string::npos) << t;
  EXPECT_NE(show.find("room=3,0,12"), std::string::npos) << t;
  EXPECT_NE(show.find("isplayer=1"), std::string::npos) << t;
  EXPECT_NE(show.find("seatnum=2"), std::string::npos) << t;
  // Nothing changed after the frame existed.
  EXPECT_NE(exit.find("seatnum=2"), std::string::npos) << t;
  EXPECT_FALSE(FrameExists());
}

// The lobby's advert and instant message, sent once the table is on screen, show in its chat
// pane: the advert as a notice line (line kind 2) with its link, the message as it was sent.
TEST(GameServer, TheLobbysLinesShowInTheTablesChatPane) {
  RegisterTableControls();
  ASSERT_TRUE(RunProcess(L"KorvelGame.exe /RegServer", 30000).finished);
  RunResult r = RunProcess(
      L"lobby.exe --person=7,a,A,0 --me=a \"--adv=2,http://adverts.example/table,advert words\" "
      L"\"--instant=a word from the lobby\" \"--expect-chat=advert words\" "
      L"\"--expect-chat=a word from the lobby\" \"--expect-chat=\x7ba1\x7406\x516c\x544a\" "
      L"--hold=200",
      60000);
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_NE(r.output.find("SetAdvMessage 0x00000000"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("ShowInstantMessage 0x00000000"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("chat shows: advert words"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("chat shows: a word from the lobby"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("chat lacks"), std::string::npos) << r.output;
  EXPECT_FALSE(FrameExists());
}

TEST(GameServer, AClosedTableLetsTheNextGameStartInANewProcess) {
  RegisterTableControls();
  ASSERT_TRUE(RunProcess(L"KorvelGame.exe /RegServer", 30000).finished);
  RunResult r = RunProcess(L"lobby.exe --person=7,a,A,0 --me=a --next-game --hold=200", 60000);
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  EXPECT_NE(r.output.find("next game frame shown in a new process"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("server ended"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("next game's server ended"), std::string::npos) << r.output;
  EXPECT_FALSE(FrameExists());
}

}  // namespace
