// e2e_driver.exe: plays the client's side of a scripted hand as a person would, from another
// process in the same display: it waits for the client's frame, clicks the table's buttons, the
// tiles of the player's hand and the rows of the option board, and asks the test runner for
// screenshots. Each step is one argument:
//   frame:T            wait up to T s for the frame; prints the time since the driver started
//   button:ID:T        wait up to T s for the table's button ID to be shown and enabled, click it
//   wait-button:ID:T   only wait for it
//   hand:N:K:T[:ID]    wait up to T s for N tiles in the player's hand, click the K-th (from 0);
//                      while waiting, click button ID whenever it shows (the dice button, when
//                      the player's own throw names the player to throw again)
//   last:T             click the rightmost tile of the player's hand (the one just drawn)
//   count:N:T          wait up to T s for N tiles in the player's band, click nothing
//   open:T             wait up to T s for the opponent's hand to lie open (the hand's end)
//   board:R:ROWS:T     wait for the option board showing ROWS options, click option R (from 0)
//   command:ID         the table display's command ID as its button would send it (for the
//                      commands whose buttons stay hidden, such as saving the hand)
//   savefile:NAME:T    wait up to T s for the client's save dialog, answer it with NAME in the
//                      driver's folder
//   ok:T               wait up to T s for a message box of the client, print its text, press OK
//   press:ID:T         wait up to T s for a dialog of the client with a button ID, press it
//   file:NAME:T        wait up to T s for NAME in the driver's folder to hold bytes
//   sleep:MS           wait MS milliseconds
//   shot:NAME          ask the runner for a screenshot NAME.png (writes NAME.req, waits for it
//                      to go away)
//   mem:LABEL          prints the client's private memory
//   close              asks the frame to close (WM_CLOSE)
//   gone:T             wait up to T s for the client's process to end
// The first failing step ends the run with exit code 1 and a line saying which step failed.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

namespace {

DWORD g_start = 0;
DWORD g_pid = 0;

DWORD Elapsed() { return GetTickCount() - g_start; }

void Pump(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
}

HWND FindFrame() {
  HWND frame = FindWindowW(L"KorvelGameFrame", nullptr);
  if (frame && IsWindowVisible(frame)) {
    GetWindowThreadProcessId(frame, &g_pid);
    return frame;
  }
  return nullptr;
}

struct ChildSearch {
  int id;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK FindChildProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (GetDlgCtrlID(w) != s->id || !IsWindowVisible(w)) return TRUE;
  if (s->cls) {
    wchar_t name[64];
    GetClassNameW(w, name, 64);
    if (lstrcmpiW(name, s->cls) != 0) return TRUE;
  }
  s->found = w;
  return FALSE;
}

HWND FindChild(HWND root, int id, const wchar_t* cls) {
  ChildSearch s{id, cls, nullptr};
  EnumChildWindows(root, FindChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

template <class Probe>
bool WaitFor(double seconds, Probe probe) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  do {
    if (probe()) return true;
    Pump(50);
  } while (static_cast<LONG>(until - GetTickCount()) > 0);
  return probe();
}

void Click(HWND w, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageW(w, WM_MOUSEMOVE, 0, at);
  PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(w, WM_LBUTTONUP, 0, at);
}

bool Ivory(COLORREF c) {
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  return r > 215 && g > 205 && b > 165 && r - b > 8;
}

// Asks the runner for a screenshot of `rect` (screen coordinates): NAME.req names the
// rectangle, and with `raw` the runner also leaves the pixels as NAME.raw (BGRA rows). A
// window's pixels cannot be read from another process here, so the display is read from the
// screen.
bool RequestShot(const std::string& name, const RECT& r, bool raw) {
  const std::string req = name + ".req";
  FILE* out = std::fopen(req.c_str(), "wb");
  if (!out) return false;
  std::fprintf(out, "%ld %ld %ld %ld%s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
               raw ? " raw" : "");
  std::fclose(out);
  return WaitFor(20, [&] { return GetFileAttributesA(req.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

// The tiles of the player's hand: the runs of tile face along the lowest band of standing
// tiles of the table display. Centres in the display's client coordinates.
// The table display's pixels as the screen shows them (BGRA rows); false when not read.
bool ScanTable(HWND table, std::vector<uint32_t>& px, int& w, int& h) {
  RECT rc;
  if (!GetClientRect(table, &rc)) return false;
  POINT origin{0, 0};
  ClientToScreen(table, &origin);
  w = rc.right;
  h = rc.bottom;
  if (w <= 0 || h <= 0) return false;
  const RECT screen{origin.x, origin.y, origin.x + w, origin.y + h};
  DeleteFileA("scan.raw");
  if (!RequestShot("scan", screen, true)) return false;
  px.assign(static_cast<size_t>(w) * h, 0);
  FILE* f = std::fopen("scan.raw", "rb");
  if (!f) return false;
  const size_t got = std::fread(px.data(), 4, px.size(), f);
  std::fclose(f);
  if (got != px.size()) return false;
  if (const char* dump = std::getenv("KORVEL_E2E_DUMP")) CopyFileA("scan.raw", dump, FALSE);
  return true;
}

// Rows of the table's upper quarter dense with tile face: a few for the opponent's hidden hand
// (the tops of its tiles), a tile's height once that hand is laid open.
int TopFaceRows(HWND table) {
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  if (!ScanTable(table, px, w, h)) return 0;
  int rows = 0;
  for (int y = 0; y < h / 4; ++y) {
    int n = 0;
    for (int x = 0; x < w; ++x) {
      const uint32_t v = px[static_cast<size_t>(y) * w + x];
      n += Ivory(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    rows += n > 250;
  }
  return rows;
}

std::vector<POINT> HandTiles(HWND table) {
  std::vector<POINT> tiles;
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  if (!ScanTable(table, px, w, h)) return tiles;
  auto at = [&](int x, int y) {
    const uint32_t v = px[static_cast<size_t>(y) * w + x];  // BGRA
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  };
  // The lowest band of rows dense with tile face, in the lower part of the table.
  int bottom = -1;
  for (int y = h - 1; y > h / 2 && bottom < 0; --y) {
    int n = 0;
    for (int x = 0; x < w; ++x) n += Ivory(at(x, y));
    if (n > 60) bottom = y;
  }
  if (bottom < 0) return tiles;
  // The standing tiles of the hand reach the band's bottom; the exposed melds beside them end
  // higher.
  std::vector<int> face(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) face[x] = Ivory(at(x, bottom)) && Ivory(at(x, bottom - 1));
  const int cy = bottom - 20;
  // Neighbouring tiles touch: a run of face is cut into tiles by the hand's tile pitch.
  constexpr double kPitch = 39.8;
  for (int x = 0; x < w;) {
    if (!face[x]) {
      ++x;
      continue;
    }
    const int start = x;
    while (x < w && face[x]) ++x;
    const int n = static_cast<int>((x - start) / kPitch + 0.5);
    for (int k = 0; k < n; ++k)
      tiles.push_back(POINT{start + static_cast<int>((k + 0.5) * (x - start) / n), cy});
  }
  return tiles;
}

HWND TableDisplay(HWND frame) { return FindChild(frame, 32770, nullptr); }

// A child with the id `id`, shown or not.
HWND FindAnyChild(HWND root, int id) {
  struct Search {
    int id;
    HWND found;
  } s{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(w) != s->id) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// A shown dialog window of the client's process that holds a control `control`: a window of
// its own, or a box inside the frame (the table's notices).
HWND FindClientDialog(int control) {
  struct Search {
    int control;
    HWND found;
  } s{control, nullptr};
  const auto probe = [](HWND w, LPARAM lp) -> BOOL {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != g_pid || !IsWindowVisible(w)) return TRUE;
    wchar_t name[16];
    GetClassNameW(w, name, 16);
    if (lstrcmpW(name, L"#32770") != 0 || !FindAnyChild(w, s->control)) return TRUE;
    s->found = w;
    return FALSE;
  };
  EnumWindows(probe, reinterpret_cast<LPARAM>(&s));
  if (!s.found) {
    if (HWND frame = FindWindowW(L"KorvelGameFrame", nullptr))
      EnumChildWindows(frame, probe, reinterpret_cast<LPARAM>(&s));
  }
  return s.found;
}

std::string Utf8(const wchar_t* text) {
  char out[512] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
  return out;
}

std::string HereName(const std::string& name) {
  char dir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, dir);
  return std::string(dir) + "\\" + name;
}

bool Fail(const std::string& step, const char* why) {
  std::printf("e2e: step %s failed: %s (at %lu ms)\n", step.c_str(), why, Elapsed());
  std::fflush(stdout);
  return false;
}

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t p = s.find(':', start);
    out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) return out;
    start = p + 1;
  }
}

bool Run(const std::string& step) {
  const std::vector<std::string> f = Split(step);
  const std::string& op = f[0];
  auto num = [&](size_t i, double def) { return i < f.size() ? std::atof(f[i].c_str()) : def; };
  HWND frame = FindFrame();
  if (op == "frame") {
    if (!WaitFor(num(1, 30), [&] { return (frame = FindFrame()) != nullptr; }))
      return Fail(step, "no frame");
    // The table is drawn once its display exists.
    if (!WaitFor(num(1, 30), [&] { return TableDisplay(frame) != nullptr; }))
      return Fail(step, "no table display");
    std::printf("e2e: frame and table after %lu ms\n", Elapsed());
    return true;
  }
  if (op == "poll") {
    WaitFor(num(1, 1000) / 1000.0, [&] { return FindChild(FindFrame(), 999, nullptr) != nullptr; });
    return true;
  }
  if (op == "sleep") {
    Pump(static_cast<DWORD>(num(1, 1000)));
    return true;
  }
  if (op == "gone") {
    HANDLE p = g_pid ? OpenProcess(SYNCHRONIZE, FALSE, g_pid) : nullptr;
    if (!p) return FindFrame() == nullptr ? true : Fail(step, "no process handle");
    const DWORD r = WaitForSingleObject(p, static_cast<DWORD>(num(1, 20) * 1000));
    CloseHandle(p);
    if (r != WAIT_OBJECT_0) return Fail(step, "the client is still running");
    std::printf("e2e: client ended at %lu ms\n", Elapsed());
    return true;
  }
  if (!frame) return Fail(step, "the frame is gone");
  if (op == "button" || op == "wait-button") {
    const int id = static_cast<int>(num(1, 0));
    HWND button = nullptr;
    if (!WaitFor(num(2, 20), [&] {
          button = FindChild(frame, id, L"BUTTON");
          return button && IsWindowEnabled(button);
        }))
      return Fail(step, "button not shown");
    if (op == "button") {
      PostMessageW(button, BM_CLICK, 0, 0);
      Pump(300);
    }
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "open") {
    HWND table = TableDisplay(frame);
    if (!table) return Fail(step, "no table display");
    int rows = 0;
    if (!WaitFor(num(1, 20), [&] {
          rows = TopFaceRows(table);
          if (rows >= 12) return true;
          Pump(400);
          return false;
        })) {
      std::printf("e2e: %d rows of face\n", rows);
      return Fail(step, "the opponent's hand is not open");
    }
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "count") {
    HWND table = TableDisplay(frame);
    if (!table) return Fail(step, "no table display");
    const size_t want = static_cast<size_t>(num(1, 0));
    std::vector<POINT> tiles;
    if (!WaitFor(num(2, 20), [&] {
          tiles = HandTiles(table);
          if (tiles.size() == want) return true;
          Pump(400);
          return false;
        })) {
      std::printf("e2e: %zu tiles seen\n", tiles.size());
      return Fail(step, "not as many tiles as expected");
    }
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "hand" || op == "last") {
    HWND table = TableDisplay(frame);
    if (!table) return Fail(step, "no table display");
    const size_t want = op == "hand" ? static_cast<size_t>(num(1, 0)) : 0;
    std::vector<POINT> tiles;
    const double t = op == "hand" ? num(3, 20) : num(1, 20);
    const int again = op == "hand" && f.size() > 4 ? static_cast<int>(num(4, 0)) : 0;
    if (!WaitFor(t, [&] {
          if (again) {
            HWND b = FindChild(frame, again, L"BUTTON");
            if (b && IsWindowEnabled(b)) {
              PostMessageW(b, BM_CLICK, 0, 0);
              std::printf("e2e: button %d clicked again at %lu ms\n", again, Elapsed());
              Pump(300);
            }
          }
          tiles = HandTiles(table);
          if (want ? tiles.size() == want : !tiles.empty()) return true;
          Pump(400);
          return false;
        })) {
      std::printf("e2e: %zu tiles seen\n", tiles.size());
      return Fail(step, "hand not as expected");
    }
    const size_t k = op == "hand" ? static_cast<size_t>(num(2, 0)) : tiles.size() - 1;
    if (k >= tiles.size()) return Fail(step, "no such tile");
    Click(table, tiles[k].x, tiles[k].y);
    Pump(300);
    std::printf("e2e: %s: %zu tiles, clicked (%ld,%ld) at %lu ms\n", step.c_str(), tiles.size(),
                tiles[k].x, tiles[k].y, Elapsed());
    return true;
  }
  if (op == "board") {
    // The option chooser: a dialog child of the table window holding the board (child 32785).
    HWND board = nullptr;
    if (!WaitFor(num(3, 20), [&] {
          board = FindChild(frame, 32785, nullptr);
          return board != nullptr;
        }))
      return Fail(step, "no option board");
    RECT rc;
    GetClientRect(board, &rc);
    const int row = static_cast<int>(num(1, 0));
    const int rows = static_cast<int>(num(2, 1));
    // The options share the board's height evenly, one band each.
    Click(board, rc.right / 2, (2 * row + 1) * rc.bottom / (2 * (rows > 0 ? rows : 1)));
    Pump(300);
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "file") {
    const std::string path = HereName(f.size() > 1 ? f[1] : "");
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!WaitFor(num(2, 20), [&] {
          return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
                 (data.nFileSizeLow | data.nFileSizeHigh) != 0;
        }))
      return Fail(step, "no such file, or it is empty");
    std::printf("e2e: %s: %lu bytes at %lu ms\n", step.c_str(), data.nFileSizeLow, Elapsed());
    return true;
  }
  if (op == "savefile") {
    // The save dialog's file-name box is a combo box (1148) or an edit (1152).
    HWND dialog = nullptr;
    int box = 0;
    if (!WaitFor(num(2, 20), [&] {
          for (int id : {1148, 1152}) {
            if ((dialog = FindClientDialog(id)) != nullptr) {
              box = id;
              return true;
            }
          }
          return false;
        }))
      return Fail(step, "no save dialog");
    Pump(300);
    const std::string path = HereName(f.size() > 1 ? f[1] : "hand.mjr");
    // A file left by an earlier run would bring the overwrite question, and pass for the save.
    DeleteFileA(path.c_str());
    SetWindowTextA(FindAnyChild(dialog, box), path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    if (!WaitFor(10, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
      return Fail(step, "the save dialog stays");
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "ok") {
    HWND box = nullptr;
    if (!WaitFor(num(1, 20), [&] { return (box = FindClientDialog(IDOK)) != nullptr; }))
      return Fail(step, "no message box");
    std::string said;
    EnumChildWindows(
        box,
        [](HWND w, LPARAM lp) -> BOOL {
          wchar_t name[16], text[256];
          GetClassNameW(w, name, 16);
          if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(w, text, 256) > 0)
            *reinterpret_cast<std::string*>(lp) += Utf8(text);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&said));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    Pump(300);
    std::printf("e2e: %s: \"%s\" at %lu ms\n", step.c_str(), said.c_str(), Elapsed());
    return true;
  }
  if (op == "press") {
    const int id = static_cast<int>(num(1, 0));
    HWND dialog = nullptr;
    if (!WaitFor(num(2, 20), [&] { return (dialog = FindClientDialog(id)) != nullptr; }))
      return Fail(step, "no dialog with that button");
    Pump(300);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(FindAnyChild(dialog, id)));
    Pump(300);
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "command") {
    HWND table = TableDisplay(frame);
    const int id = static_cast<int>(num(1, 0));
    HWND button = table ? FindAnyChild(table, id) : nullptr;
    if (!button) return Fail(step, "no such command");
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    Pump(300);
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "shot") {
    RECT r;
    GetWindowRect(frame, &r);
    if (!RequestShot(f.size() > 1 ? f[1] : "shot", r, false))
      return Fail(step, "no screenshot taken");
    return true;
  }
  if (op == "mem") {
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, g_pid);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (!p || !GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                                    sizeof pmc)) {
      if (p) CloseHandle(p);
      return Fail(step, "no memory counters");
    }
    CloseHandle(p);
    // Private bytes: PrivateUsage, or the page-file use where the system leaves it empty.
    const size_t priv = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    std::printf("e2e: mem %s private %zu KiB\n", f.size() > 1 ? f[1].c_str() : "", priv / 1024);
    return true;
  }
  if (op == "close") {
    PostMessageW(frame, WM_CLOSE, 0, 0);
    Pump(300);
    return true;
  }
  return Fail(step, "unknown step");
}

}  // namespace

int main(int argc, char** argv) {
  g_start = GetTickCount();
  for (int i = 1; i < argc; ++i) {
    std::fflush(stdout);
    if (!Run(argv[i])) return 1;
  }
  std::printf("e2e: all steps done at %lu ms\n", Elapsed());
  return 0;
}
