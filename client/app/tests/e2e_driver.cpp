// e2e_driver.exe: plays the client's side of a scripted hand as a person would, from another
// process in the same display: it waits for the client's frame, clicks the table's buttons, the
// tiles of the player's hand and the rows of the option board, and asks the test runner for
// screenshots. Each step is one argument:
//   frame:T            wait up to T s for the frame; prints the time since the driver started
//   button:ID:T        wait up to T s for the table's button ID to be shown and enabled, click it
//   wait-button:ID:T[:AGAIN]  only wait for it; while waiting, click button AGAIN whenever it
//                      shows (the dice button, as hand: does)
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
//   chat-type:TEXT     click into the chat's input box, type TEXT and press Enter
//   chat-has:TEXT:T    wait up to T s for the chat's output to show TEXT
//   list:N:T           wait up to T s for the person list to hold N rows
//   list-has:TEXT:T    wait up to T s for a row of the person list to show TEXT (any column)
//   dialog-button:ID:T wait up to T s for a window of the client holding button ID (a dialog
//                      the client opened, such as the close dialog), click it
//   splitter:DY        drag the bar between the person list and the chat DY pixels down (up
//                      when negative) and check that both panes followed
//   star:T             wait up to T s for the table's magic-action button (the star), click it
//   pick:K:T           wait up to T s for the magic-action picker, click its K-th action (from 0,
//                      on the page shown)
//   combo:ID:TEXT:T    wait up to T s for a window of the client holding the combo box ID with
//                      an entry showing TEXT, choose that entry
//   dialog-type:ID:TEXT  click into the edit box ID of a window of the client and type TEXT
//   played:T:W:H[:centre]  wait up to T s for a magic action of W x H pixels playing on the
//                      table (its animation window shown; with centre, in the middle of the table)
//   chat-click:TEXT:T  wait up to T s for the chat's output to show TEXT, click its first
//                      character (a line's clickable part)
// TEXT may hold any characters: the steps are also read as UTF-16 from the command line.
// The first failing step ends the run with exit code 1 and a line saying which step failed.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

DWORD g_start = 0;
DWORD g_pid = 0;
// The steps as UTF-16 (texts to type or look for) and the index of the one running.
std::vector<std::wstring> g_wideSteps;
size_t g_step = 0;

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

// Where the driver and the runner exchange requests and pixels: the folder KORVEL_E2E_EXCHANGE
// names (the run's own, so that runs side by side in one program folder do not answer each
// other's requests), else the current folder.
std::string ExchangeName(const std::string& name) {
  const char* dir = std::getenv("KORVEL_E2E_EXCHANGE");
  return dir && *dir ? std::string(dir) + "\\" + name : name;
}

// Asks the runner for a screenshot of `rect` (screen coordinates): NAME.req names the
// rectangle, and with `raw` the runner also leaves the pixels as NAME.raw (BGRA rows). A
// window's pixels cannot be read from another process here, so the display is read from the
// screen.
bool RequestShot(const std::string& name, const RECT& r, bool raw) {
  const std::string req = ExchangeName(name + ".req");
  FILE* out = std::fopen(req.c_str(), "wb");
  if (!out) return false;
  std::fprintf(out, "%ld %ld %ld %ld%s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
               raw ? " raw" : "");
  std::fclose(out);
  return WaitFor(20, [&] { return GetFileAttributesA(req.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

// The screen's pixels in `r` (BGRA rows), read through the runner; empty when not read.
std::vector<uint32_t> ScreenPixels(const RECT& r) {
  std::vector<uint32_t> px(static_cast<size_t>(r.right - r.left) * (r.bottom - r.top));
  const std::string scan = ExchangeName("scan.raw");
  DeleteFileA(scan.c_str());
  if (px.empty() || !RequestShot("scan", r, true)) return {};
  FILE* f = std::fopen(scan.c_str(), "rb");
  if (!f) return {};
  const size_t got = std::fread(px.data(), 4, px.size(), f);
  std::fclose(f);
  if (got != px.size()) return {};
  return px;
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
  const std::string scan = ExchangeName("scan.raw");
  DeleteFileA(scan.c_str());
  if (!RequestShot("scan", screen, true)) return false;
  px.assign(static_cast<size_t>(w) * h, 0);
  FILE* f = std::fopen(scan.c_str(), "rb");
  if (!f) return false;
  const size_t got = std::fread(px.data(), 4, px.size(), f);
  std::fclose(f);
  if (got != px.size()) return false;
  if (const char* dump = std::getenv("KORVEL_E2E_DUMP")) CopyFileA(scan.c_str(), dump, FALSE);
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
    wchar_t name[64];
    GetClassNameW(w, name, 64);
    const bool box = lstrcmpW(name, L"#32770") == 0 || lstrcmpW(name, L"KorvelTableNotice") == 0;
    if (!box || !FindAnyChild(w, s->control)) return TRUE;
    s->found = w;
    return FALSE;
  };
  EnumWindows(probe, reinterpret_cast<LPARAM>(&s));
  if (!s.found) {
    // Boxes held inside the client's other windows (the frame, the table's notice host).
    struct Outer {
      Search* inner;
      WNDENUMPROC probe;
    } outer{&s, probe};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
          auto* o = reinterpret_cast<Outer*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid != g_pid || !IsWindowVisible(w)) return TRUE;
          EnumChildWindows(w, o->probe, reinterpret_cast<LPARAM>(o->inner));
          return o->inner->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&outer));
  }
  return s.found;
}

// A box of the client (a dialog or a table notice, top-level or inside another of its windows)
// shown with this text.
HWND FindClientBoxSaying(const std::wstring& text) {
  struct Search {
    const std::wstring* text;
    HWND found;
  } s{&text, nullptr};
  const auto probe = [](HWND w, LPARAM lp) -> BOOL {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != g_pid || !IsWindowVisible(w)) return TRUE;
    wchar_t name[64], said[256] = {};
    GetClassNameW(w, name, 64);
    const bool box = lstrcmpW(name, L"#32770") == 0 || lstrcmpW(name, L"KorvelTableNotice") == 0;
    if (box && GetWindowTextW(w, said, 256) > 0 && *s->text == said) {
      s->found = w;
      return FALSE;
    }
    EnumChildWindows(w, [](HWND c, LPARAM lp2) -> BOOL {
      auto* s2 = reinterpret_cast<Search*>(lp2);
      wchar_t n2[64], t2[256] = {};
      GetClassNameW(c, n2, 64);
      if (IsWindowVisible(c) && (lstrcmpW(n2, L"#32770") == 0 || lstrcmpW(n2, L"KorvelTableNotice") == 0) &&
          GetWindowTextW(c, t2, 256) > 0 && *s2->text == t2) {
        s2->found = c;
        return FALSE;
      }
      return TRUE;
    }, lp);
    return s->found ? FALSE : TRUE;
  };
  EnumWindows(probe, reinterpret_cast<LPARAM>(&s));
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

// --- the right column: chat and person list ---

constexpr int kChatId = 32784;
constexpr int kPersonListId = 32777;
constexpr int kChatOutput = 2001;
constexpr int kChatInput = 2003;

// Field `i` of the running step in UTF-16 (fields split at ':' as the narrow ones).
std::wstring WideField(size_t i) {
  if (g_step >= g_wideSteps.size()) return {};
  const std::wstring& s = g_wideSteps[g_step];
  size_t start = 0;
  for (size_t k = 0; k < i; ++k) {
    start = s.find(L':', start);
    if (start == std::wstring::npos) return {};
    ++start;
  }
  return s.substr(start, s.find(L':', start) - start);
}

std::string Narrow(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], n, nullptr, nullptr);
  return out;
}

HWND ChatPart(HWND frame, int part) {
  HWND chat = FindChild(frame, kChatId, nullptr);
  return chat ? GetDlgItem(chat, part) : nullptr;
}

std::wstring WindowText(HWND w) {
  const LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

// The list view inside the person-list control.
HWND PersonListView(HWND frame) {
  HWND control = FindChild(frame, kPersonListId, nullptr);
  return control ? FindWindowExW(control, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

// Every cell of the list view, row by row. The texts live in the client's process: the item
// record and its buffer are placed there.
std::vector<std::wstring> ListRows(HWND view) {
  std::vector<std::wstring> rows;
  const int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
  HWND header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, g_pid);
  if (!p) return rows;
  constexpr size_t kChars = 260;
  auto* remote = static_cast<char*>(VirtualAllocEx(p, nullptr, sizeof(LVITEMW) + kChars * 2,
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (remote) {
    for (int r = 0; r < count; ++r) {
      std::wstring row;
      for (int c = 0; c < std::max(columns, 1); ++c) {
        LVITEMW item{};
        item.iSubItem = c;
        item.cchTextMax = kChars;
        item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
        wchar_t text[kChars] = {};
        SIZE_T done = 0;
        if (!WriteProcessMemory(p, remote, &item, sizeof item, &done)) continue;
        SendMessageW(view, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(p, remote + sizeof(LVITEMW), text, sizeof text - 2, &done);
        row += text;
        row += L'|';
      }
      rows.push_back(row);
    }
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
  }
  CloseHandle(p);
  return rows;
}

// A pane's rectangle in its parent's client coordinates.
RECT InParent(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

struct DialogSearch {
  int id;
  HWND button;
};

BOOL CALLBACK FindDialogButton(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<DialogSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != g_pid || !IsWindowVisible(w)) return TRUE;
  HWND button = GetDlgItem(w, s->id);
  if (button && IsWindowVisible(button) && IsWindowEnabled(button)) {
    s->button = button;
    return FALSE;
  }
  return TRUE;
}

// A shown window of the client (its own or a child of one) holding a control `id`; the control.
HWND FindClientControl(int id) {
  HWND dialog = FindClientDialog(id);
  if (!dialog) {
    DialogSearch search{id, nullptr};
    EnumWindows(FindDialogButton, reinterpret_cast<LPARAM>(&search));
    return search.button;
  }
  return FindAnyChild(dialog, id);
}

// The entries of a combo box of the client (the system carries the texts across the processes
// for a combo box's own messages).
std::vector<std::wstring> ComboEntries(HWND combo) {
  std::vector<std::wstring> entries;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[260] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 259)
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text);
  }
  return entries;
}

// The animation window of a magic action of `size` playing in the client; with `table`, one whose
// middle is near the middle of the table.
HWND PlayingAction(SIZE size, HWND table = nullptr) {
  struct Search {
    RECT centre;
    bool any;
    SIZE size;
    HWND found;
  } s{{}, table == nullptr, size, nullptr};
  if (table) {
    RECT r;
    GetWindowRect(table, &r);
    const LONG cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    s.centre = RECT{cx - 20, cy - 20, cx + 20, cy + 20};
  }
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t name[64];
        GetClassNameW(w, name, 64);
        if (pid != g_pid || !IsWindowVisible(w) || lstrcmpW(name, L"MyOleControl") != 0) return TRUE;
        RECT r;
        GetWindowRect(w, &r);
        const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        if (r.right - r.left != s->size.cx || r.bottom - r.top != s->size.cy) return TRUE;
        if (!s->any && !PtInRect(&s->centre, middle)) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Where TEXT starts in the chat's output (a character position), -1 when it is not there. The
// search record and the text are placed in the client's process.
LONG FindInOutput(HWND output, const std::wstring& text) {
  HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, g_pid);
  if (!p) return -1;
  LONG at = -1;
  const size_t bytes = sizeof(FINDTEXTEXW) + (text.size() + 1) * sizeof(wchar_t);
  auto* remote = static_cast<char*>(
      VirtualAllocEx(p, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (remote) {
    FINDTEXTEXW find{};
    find.chrg = CHARRANGE{0, -1};
    find.lpstrText = reinterpret_cast<LPCWSTR>(remote + sizeof find);
    SIZE_T done = 0;
    if (WriteProcessMemory(p, remote, &find, sizeof find, &done) &&
        WriteProcessMemory(p, remote + sizeof find, text.c_str(),
                           (text.size() + 1) * sizeof(wchar_t), &done))
      at = static_cast<LONG>(SendMessageW(output, EM_FINDTEXTEXW, FR_DOWN,
                                          reinterpret_cast<LPARAM>(remote)));
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
  }
  CloseHandle(p);
  return at;
}

bool RunColumnStep(const std::string& step, const std::vector<std::string>& f, HWND frame) {
  const std::string& op = f[0];
  auto num = [&](size_t i, double def) { return i < f.size() ? std::atof(f[i].c_str()) : def; };
  if (op == "star") {
    // A picture strip of the table display (child 201), not a push button.
    constexpr int kActionButton = 201;
    HWND star = nullptr;
    if (!WaitFor(num(1, 10), [&] {
          HWND table = TableDisplay(frame);
          star = table ? FindChild(table, kActionButton, nullptr) : nullptr;
          return star && IsWindowEnabled(star);
        }))
      return Fail(step, "no magic-action button");
    RECT rc;
    GetClientRect(star, &rc);
    Click(star, rc.right / 2, rc.bottom / 2);
    Pump(300);
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "pick") {
    constexpr int kPreviewGrid = 33280, kCell = 40;
    HWND grid = nullptr;
    if (!WaitFor(num(2, 10), [&] { return (grid = FindClientControl(kPreviewGrid)) != nullptr; }))
      return Fail(step, "no magic-action picker");
    Pump(300);
    RECT rc;
    GetClientRect(grid, &rc);
    const int columns = std::max(1, static_cast<int>(rc.right / kCell));
    const int k = static_cast<int>(num(1, 0));
    Click(grid, (k % columns) * kCell + kCell / 2, (k / columns) * kCell + kCell / 2);
    Pump(300);
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "combo") {
    const int id = static_cast<int>(num(1, 0));
    const std::wstring want = WideField(2);
    HWND combo = nullptr;
    std::vector<std::wstring> entries;
    int at = -1;
    if (!WaitFor(num(3, 10), [&] {
          combo = FindClientControl(id);
          entries = combo ? ComboEntries(combo) : std::vector<std::wstring>();
          for (size_t i = 0; i < entries.size(); ++i)
            if (!want.empty() && entries[i].find(want) != std::wstring::npos) at = static_cast<int>(i);
          return at >= 0;
        })) {
      for (const auto& e : entries) std::printf("e2e: entry %s\n", Narrow(e).c_str());
      return Fail(step, "no such entry");
    }
    SendMessageW(combo, CB_SETCURSEL, at, 0);
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    Pump(200);
    std::printf("e2e: chose %s (entry %d of %zu) at %lu ms\n", Narrow(want).c_str(), at,
                entries.size(), Elapsed());
    return true;
  }
  if (op == "chat-click") {
    const std::wstring want = WideField(1);
    HWND output = nullptr;
    LONG at = -1;
    if (!WaitFor(num(2, 10), [&] {
          output = ChatPart(frame, kChatOutput);
          at = output && !want.empty() ? FindInOutput(output, want) : -1;
          return at >= 0;
        }))
      return Fail(step, "text not in the chat");
    // The character's top left corner (the short form: index in, coordinates out).
    const LRESULT xy = SendMessageW(output, EM_POSFROMCHAR, static_cast<WPARAM>(at), 0);
    const int x = static_cast<short>(LOWORD(xy)) + 3, y = static_cast<short>(HIWORD(xy)) + 6;
    Click(output, x, y);
    Pump(300);
    std::printf("e2e: clicked %s (character %ld) at (%d,%d), %lu ms\n", Narrow(want).c_str(), at,
                x, y, Elapsed());
    return true;
  }
  if (op == "dialog-type") {
    const int id = static_cast<int>(num(1, 0));
    HWND edit = nullptr;
    if (!WaitFor(10, [&] { return (edit = FindClientControl(id)) != nullptr; }))
      return Fail(step, "no such edit box");
    RECT rc;
    GetClientRect(edit, &rc);
    Click(edit, rc.right / 2, rc.bottom / 2);
    Pump(100);
    for (wchar_t c : WideField(2)) PostMessageW(edit, WM_CHAR, c, 1);
    Pump(300);
    std::printf("e2e: typed into %d at %lu ms\n", id, Elapsed());
    return true;
  }
  if (op == "played") {
    HWND centre = f.size() > 4 && f[4] == "centre" ? TableDisplay(frame) : nullptr;
    const SIZE size{static_cast<LONG>(num(2, 0)), static_cast<LONG>(num(3, 0))};
    HWND movie = nullptr;
    if (!WaitFor(num(1, 10), [&] { return (movie = PlayingAction(size, centre)) != nullptr; }))
      return Fail(step, "no magic action playing");
    RECT r;
    GetWindowRect(movie, &r);
    std::printf("e2e: a magic action plays at (%ld,%ld) %ld x %ld, %lu ms\n", r.left, r.top,
                r.right - r.left, r.bottom - r.top, Elapsed());
    return true;
  }
  if (op == "dialog-button") {
    DialogSearch search{static_cast<int>(num(1, 0)), nullptr};
    if (!WaitFor(num(2, 10), [&] {
          search.button = nullptr;
          EnumWindows(FindDialogButton, reinterpret_cast<LPARAM>(&search));
          return search.button != nullptr;
        }))
      return Fail(step, "no such dialog button");
    PostMessageW(search.button, BM_CLICK, 0, 0);
    Pump(300);
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "chat-type") {
    HWND input = nullptr;
    if (!WaitFor(20, [&] { return (input = ChatPart(frame, kChatInput)) != nullptr; }))
      return Fail(step, "no chat input box");
    RECT rc;
    GetClientRect(input, &rc);
    Click(input, rc.right / 2, rc.bottom / 2);
    Pump(100);
    for (wchar_t c : WideField(1)) PostMessageW(input, WM_CHAR, c, 1);
    Pump(200);
    PostMessageW(input, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(input, WM_CHAR, L'\r', 1);
    PostMessageW(input, WM_KEYUP, VK_RETURN, 0xC0000001);
    Pump(300);
    std::printf("e2e: typed into the chat at %lu ms\n", Elapsed());
    return true;
  }
  if (op == "chat-has") {
    const std::wstring want = WideField(1);
    std::wstring shown;
    if (!WaitFor(num(2, 10), [&] {
          HWND output = ChatPart(frame, kChatOutput);
          shown = output ? WindowText(output) : std::wstring();
          return !want.empty() && shown.find(want) != std::wstring::npos;
        })) {
      std::printf("e2e: the chat shows [%s]\n", Narrow(shown).c_str());
      return Fail(step, "line not in the chat");
    }
    std::printf("e2e: %s in the chat at %lu ms\n", Narrow(want).c_str(), Elapsed());
    return true;
  }
  if (op == "list" || op == "list-has") {
    const size_t rows_wanted = op == "list" ? static_cast<size_t>(num(1, 0)) : 0;
    const std::wstring want = op == "list-has" ? WideField(1) : std::wstring();
    std::vector<std::wstring> rows;
    if (!WaitFor(num(2, 10), [&] {
          HWND view = PersonListView(frame);
          rows = view ? ListRows(view) : std::vector<std::wstring>();
          if (op == "list") return rows.size() == rows_wanted;
          for (const auto& r : rows)
            if (r.find(want) != std::wstring::npos) return true;
          return false;
        })) {
      for (const auto& r : rows) std::printf("e2e: list row %s\n", Narrow(r).c_str());
      return Fail(step, "person list not as expected");
    }
    for (const auto& r : rows) std::printf("e2e: list row %s\n", Narrow(r).c_str());
    return true;
  }
  if (op == "list-click") {
    // A left click in the middle of a row of the person list, where the list says the row is;
    // the list must then have that row selected.
    HWND view = PersonListView(frame);
    if (!view) return Fail(step, "no person list");
    const int row = static_cast<int>(num(1, 0));
    HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, g_pid);
    if (!p) return Fail(step, "no process");
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    auto* remote = static_cast<RECT*>(
        VirtualAllocEx(p, nullptr, sizeof item, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    SIZE_T done = 0;
    WriteProcessMemory(p, remote, &item, sizeof item, &done);
    SendMessageW(view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(p, remote, &item, sizeof item, &done);
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
    CloseHandle(p);
    POINT at{item.left + 30, (item.top + item.bottom) / 2};  // in the first column, in sight
    ClientToScreen(view, &at);
    SetCursorPos(at.x, at.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Pump(500);
    const int selected = static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    std::printf("e2e: %s: row at %ld..%ld, clicked (%ld,%ld), row %d selected\n", step.c_str(),
                item.top, item.bottom, at.x, at.y, selected);
    if (selected != row) return Fail(step, "another row was selected");
    return true;
  }
  if (op == "splitter") {
    HWND list = FindChild(frame, kPersonListId, nullptr);
    HWND chat = FindChild(frame, kChatId, nullptr);
    if (!list || !chat) return Fail(step, "no person list or chat pane");
    HWND table = GetParent(list);
    const RECT list0 = InParent(list), chat0 = InParent(chat);
    const int dy = static_cast<int>(num(1, 40));
    // Press on the bar just below the list, move in steps the bar follows, let go.
    const int x = (list0.left + list0.right) / 2;
    int y = list0.bottom + 2;
    PostMessageW(table, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(table, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    const int steps = (std::abs(dy) + 9) / 10;
    for (int k = 1; k <= steps; ++k) {
      const int to = list0.bottom + 2 + dy * k / steps;
      PostMessageW(table, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, to));
      y = to;
    }
    PostMessageW(table, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    RECT list1{}, chat1{};
    const auto close_to = [](int a, int b) { return std::abs(a - b) <= 6; };
    if (!WaitFor(5, [&] {
          list1 = InParent(list);
          chat1 = InParent(chat);
          return close_to(list1.bottom - list0.bottom, dy) && close_to(chat1.top - chat0.top, dy) &&
                 chat1.bottom == chat0.bottom;
        })) {
      std::printf("e2e: list bottom %ld -> %ld, chat %ld..%ld -> %ld..%ld\n", list0.bottom,
                  list1.bottom, chat0.top, chat0.bottom, chat1.top, chat1.bottom);
      return Fail(step, "the panes did not follow the bar");
    }
    RECT client{};
    GetClientRect(table, &client);
    std::printf("e2e: splitter moved the list's bottom %ld -> %ld and the chat's top %ld -> %ld"
                " (chat bottom %ld, table height %ld)\n",
                list0.bottom, list1.bottom, chat0.top, chat1.top, chat1.bottom, client.bottom);
    return true;
  }
  return Fail(step, "unknown step");
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
    const int again = op == "wait-button" && f.size() > 3 ? static_cast<int>(num(3, 0)) : 0;
    HWND button = nullptr;
    if (!WaitFor(num(2, 20), [&] {
          button = FindChild(frame, id, L"BUTTON");
          if (button && IsWindowEnabled(button)) return true;
          if (HWND b = again ? FindChild(frame, again, L"BUTTON") : nullptr;
              b && IsWindowEnabled(b)) {
            PostMessageW(b, BM_CLICK, 0, 0);
            std::printf("e2e: button %d clicked again at %lu ms\n", again, Elapsed());
            Pump(300);
          }
          return false;
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
  if (op == "resize") {
    // resize:<w>:<h>:<name>:<max %>: the frame goes to w x h and back to the screen's size; the
    // frame the screen then shows must match the same frame drawn afresh in all but max % of
    // its pixels (kept as <name>_resized.png and <name>_fresh.png).
    const int w = static_cast<int>(num(1, 1024)), h = static_cast<int>(num(2, 768));
    const std::string name = f.size() > 3 ? f[3] : "resize";
    const double most = num(4, 1);
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    GetWindowPlacement(frame, &place);
    RECT r0;
    ShowWindow(frame, SW_RESTORE);
    SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOZORDER);
    Pump(1500);
    // Back to (nearly) the whole screen; the client places a restored frame at (10, 10). A
    // virtual display without a window manager keeps a maximised window's old extent on the
    // screen, so the size is set as a player dragging the frame sets it.
    SetWindowPos(frame, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN) - 20,
                 GetSystemMetrics(SM_CYSCREEN) - 20, SWP_NOZORDER);
    Pump(1500);
    GetWindowRect(frame, &r0);
    std::printf("e2e: %s: %d x %d, then %ld x %ld (shown %u)\n", step.c_str(), w, h,
                r0.right - r0.left, r0.bottom - r0.top, place.showCmd);
    RECT r, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    GetWindowRect(frame, &r);
    IntersectRect(&r, &r, &screen);  // a maximised frame's edges lie off the screen
    if (!RequestShot(name + "_resized", r, false)) return Fail(step, "no screenshot taken");
    // The pixels compared: the whole frame's (table, advert, person list, chat, strips).
    const std::vector<uint32_t> resized = ScreenPixels(r);
    RedrawWindow(frame, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump(1500);
    if (!RequestShot(name + "_fresh", r, false)) return Fail(step, "no screenshot taken");
    const std::vector<uint32_t> fresh = ScreenPixels(r);
    if (resized.empty() || resized.size() != fresh.size()) return Fail(step, "no pixels read");
    size_t differ = 0;
    for (size_t i = 0; i < fresh.size(); ++i) differ += (resized[i] & 0xFFFFFF) != (fresh[i] & 0xFFFFFF);
    const double pct = 100.0 * static_cast<double>(differ) / static_cast<double>(fresh.size());
    std::printf("e2e: %s: %.2f%% of the frame's pixels differ from a fresh drawing at %lu ms\n",
                step.c_str(), pct, Elapsed());
    if (pct > most) return Fail(step, "the resized frame differs from a fresh drawing");
    return true;
  }
  if (op == "off") {
    // An action button that must not be lit now.
    HWND button = FindChild(frame, static_cast<int>(num(1, 0)), L"BUTTON");
    if (button && IsWindowVisible(button) && IsWindowEnabled(button))
      return Fail(step, "the button is lit");
    std::printf("e2e: %s at %lu ms\n", step.c_str(), Elapsed());
    return true;
  }
  if (op == "playout") {
    // Plays the hand out: every own turn throws the tile just drawn (the rightmost), until the
    // client shows a box with the text given; the frame is then kept as <shot>.png.
    HWND table = TableDisplay(frame);
    if (!table) return Fail(step, "no table display");
    const std::wstring text = WideField(2);
    const std::string shot = f.size() > 3 ? f[3] : "playout";
    int thrown = 0;
    HWND box = nullptr;
    if (!WaitFor(num(1, 120), [&] {
          if ((box = FindClientBoxSaying(text)) != nullptr) return true;
          HWND send = FindChild(frame, 306, L"BUTTON");
          if (send && IsWindowEnabled(send) && IsWindowVisible(send)) {
            const std::vector<POINT> tiles = HandTiles(table);
            if (!tiles.empty()) {
              Click(table, tiles.back().x, tiles.back().y);
              Pump(150);
              PostMessageW(send, BM_CLICK, 0, 0);
              ++thrown;
              // The discard is away once the button goes out.
              WaitFor(5, [&] { return !IsWindowEnabled(send) || !IsWindowVisible(send); });
            }
          }
          Pump(250);
          return false;
        })) {
      std::printf("e2e: %d tiles thrown\n", thrown);
      return Fail(step, "no box with that text");
    }
    std::printf("e2e: %s: %d tiles thrown, the box at %lu ms\n", step.c_str(), thrown, Elapsed());
    RECT r;
    GetWindowRect(frame, &r);
    if (!RequestShot(shot, r, false)) return Fail(step, "no screenshot taken");
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
    if (!WaitFor(num(1, 20), [&] { return (box = FindClientDialog(IDOK)) != nullptr; })) {
      // What the client shows instead, for the log.
      EnumWindows(
          [](HWND w, LPARAM) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != g_pid) return TRUE;
            wchar_t name[64];
            GetClassNameW(w, name, 64);
            std::printf("e2e:   window %p %s%s\n", static_cast<void*>(w), Utf8(name).c_str(),
                        IsWindowVisible(w) ? " shown" : "");
            return TRUE;
          },
          0);
      return Fail(step, "no message box");
    }
    std::string said;
    EnumChildWindows(
        box,
        [](HWND w, LPARAM lp) -> BOOL {
          wchar_t name[64], text[256];
          GetClassNameW(w, name, 64);
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
  return RunColumnStep(step, f, frame);
}

}  // namespace

int main(int argc, char** argv) {
  g_start = GetTickCount();
  int wide_count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wide_count)) {
    for (int i = 0; i < wide_count; ++i) g_wideSteps.emplace_back(wide[i]);
    LocalFree(wide);
  }
  for (int i = 1; i < argc; ++i) {
    g_step = static_cast<size_t>(i);
    std::fflush(stdout);
    if (!Run(argv[i])) return 1;
  }
  std::printf("e2e: all steps done at %lu ms\n", Elapsed());
  return 0;
}
