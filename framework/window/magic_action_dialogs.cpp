#include "magic_action_dialogs.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "magic_action_texts.h"
#include "winkit/gbk.h"

namespace framework_window {

namespace {

constexpr int kPickerWidth = 270, kPickerHeight = 234;
constexpr RECT kGridRect{12, 33, 258, 207};

std::string PersonText(const char (&text)[34]) {
  size_t n = 0;
  while (n < sizeof text && text[n]) ++n;
  return std::string(text, n);
}

std::string Entry(const char* pattern, const TablePerson& p) {
  char line[160];
  std::snprintf(line, sizeof line, pattern, PersonText(p.nickname).c_str(),
                PersonText(p.username).c_str());
  return line;
}

// The background picture over the client area; false when there is none.
bool PaintPicture(HWND hwnd, HDC dc, BitmapPtr& picture, bool& tried, const std::string& path) {
  if (!tried) {
    tried = true;
    picture = LoadPicture(path.c_str());
  }
  RECT client;
  GetClientRect(hwnd, &client);
  if (!picture) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return false;
  }
  Gdiplus::Graphics g(dc);
  g.DrawImage(picture.get(), 0, 0, client.right, client.bottom);
  return true;
}

// The close box (30 x 30, 10 pixels in from the top right corner) and the drag of a body click.
void CloseBoxOrDrag(HWND dialog, LPARAM lp, const std::function<void()>& cancel) {
  RECT client;
  GetClientRect(dialog, &client);
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  if (x >= client.right - 40 && x < client.right - 10 && y >= 10 && y < 40) cancel();
  POINT p{x, y};
  ClientToScreen(dialog, &p);
  PostMessageW(dialog, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

// The send box's picture buttons: preview, send, cancel.
constexpr int kWordButtons[3] = {kPreviewButton, kSendButton, IDCANCEL};

}  // namespace

// --- The send box ------------------------------------------------------------------------

HWND CActionWordDlg::CreateDlg(HWND parent) {
  if (!CreateModeless(parent)) return nullptr;
  for (int i = 0; i < 3; ++i) {
    HWND button = GetDlgItem(hwnd(), kWordButtons[i]);
    if (button && m_buttons[i].Attach(button)) ShowWindow(button, SW_SHOW);
  }
  ShowWindow(GetDlgItem(hwnd(), kRecipientCombo), SW_SHOW);
  ShowWindow(GetDlgItem(hwnd(), kWordsEdit), SW_SHOW);
  return hwnd();
}

void CActionWordDlg::LoadPictures() {
  if (m_picturesLoaded || !hwnd()) return;
  m_picturesLoaded = true;
  const std::string dir = m_host->ImageDir();
  const struct {
    const char *normal, *light;
  } faces[3] = {{"preview.png", "preview_light.png"},
                {"send_b.png", "send_light.png"},
                {"cancel_b.png", "cancel_light.png"}};
  for (int i = 0; i < 3; ++i) {
    HWND button = m_buttons[i].hwnd();
    if (!button) continue;
    const std::string normal = dir + "\\" + faces[i].normal, light = dir + "\\" + faces[i].light;
    m_buttons[i].SetImages(normal.c_str(), normal.c_str(), light.c_str());
    m_buttons[i].EnableHover(true);
    InvalidateRect(button, nullptr, TRUE);
  }
}

void CActionWordDlg::ShowFor(CActionItem* item, HWND picker) {
  LoadPictures();
  m_item = item;
  HWND combo = GetDlgItem(hwnd(), kRecipientCombo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  auto add = [&](const std::string& text, LPARAM data) {
    const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(winkit::GbkToWide(text).c_str()));
    if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), data);
  };
  add(kTextMagicEveryone, -1);
  for (const TablePerson* p : m_host->TablePersons()) {
    if (!p) continue;
    add(Entry(p->status == 5 ? kTextPersonWatching : kTextPersonEntry, *p),
        static_cast<LPARAM>(static_cast<int32_t>(p->id)));
  }
  int selected = 0;
  if (const TablePerson* chosen = m_host->SelectedPerson()) {
    const LRESULT at = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(
                                        winkit::GbkToWide(Entry(kTextPersonEntry, *chosen)).c_str()));
    if (at != CB_ERR) selected = static_cast<int>(at);
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);

  RECT mine, beside{};
  GetWindowRect(hwnd(), &mine);
  const int w = mine.right - mine.left, h = mine.bottom - mine.top;
  int x = mine.left, y = mine.top;
  if (picker && GetWindowRect(picker, &beside)) {
    x = beside.left - 5 - w;
    y = beside.bottom - h;
  }
  SetWindowPos(hwnd(), HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CActionWordDlg::SetItem(CActionItem* item) {
  m_item = item;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool CActionWordDlg::Choice(int32_t& recipient, std::string& words) const {
  HWND combo = GetDlgItem(hwnd(), kRecipientCombo);
  const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return false;
  recipient = static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
  HWND edit = GetDlgItem(hwnd(), kWordsEdit);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  const size_t first = text.find_first_not_of(L' ');
  const size_t last = text.find_last_not_of(L' ');
  words = first == std::wstring::npos ? std::string() : winkit::WideToGbk(text.substr(first, last - first + 1));
  return true;
}

LRESULT CActionWordDlg::OnCommand(UINT, WPARAM wp, LPARAM, bool& handled) {
  const int id = LOWORD(wp);
  if ((id != kPreviewButton && id != kSendButton) || HIWORD(wp) != BN_CLICKED) {
    handled = false;
    return 0;
  }
  int32_t recipient = 0;
  std::string words;
  if (!m_item || !Choice(recipient, words)) return 0;
  const char* text = words.empty() ? nullptr : words.c_str();
  if (id == kPreviewButton) {
    m_host->PreviewMagicAction(recipient, m_item, text);
  } else {
    m_host->SendMagicAction(recipient, 0, m_item, text);
    ShowWindow(hwnd(), SW_HIDE);
  }
  return 0;
}

LRESULT CActionWordDlg::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  HDC dc = reinterpret_cast<HDC>(wp);
  PaintPicture(hwnd(), dc, m_background, m_backgroundTried, m_host->ImageDir() + "\\actionword_dlg.png");
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  auto text = [&](int x, int y, const std::string& s) {
    const std::wstring w = winkit::GbkToWide(s);
    TextOutW(dc, x, y, w.c_str(), static_cast<int>(w.size()));
  };
  if (m_item) {
    char heading[700];
    std::snprintf(heading, sizeof heading, kTextItemHeading, m_item->name, m_item->price);
    text(25, 10, heading);
  }
  text(25, 35, kTextRecipient);
  text(25, 85, kTextWordsPrompt);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
  return 1;
}

LRESULT CActionWordDlg::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  CloseBoxOrDrag(hwnd(), lp, [this] { OnCancel(); });
  return 0;
}

// --- The picker -------------------------------------------------------------------------

HWND CActionSelectDlg::CreateDlg(HWND parent) {
  if (!CreateModeless(parent)) return nullptr;
  m_items = m_host->ActionItems();
  m_previews.clear();
  for (CActionItem* item : m_items) {
    m_previews.push_back({item ? item->name : "", item ? item->preview : ""});
  }
  m_grid.Create(hwnd(), kActionPreviewGridId, kGridRect, WS_CHILD | WS_VISIBLE);
  m_grid.SetOwner(hwnd());
  m_pages.Create(hwnd(), kActionPageStripId);
  m_pages.AddTip(kTextPrevPage);
  m_pages.AddTip(kTextNextPage);
  m_pages.SetOwner(hwnd());
  EnableWindow(m_pages.hwnd(), TRUE);
  ShowWindow(m_pages.hwnd(), SW_SHOW);
  return hwnd();
}

void CActionSelectDlg::LoadPictures() {
  if (m_picturesLoaded || !hwnd()) return;
  m_picturesLoaded = true;
  const std::string dir = m_host->ImageDir();
  m_grid.SetItems(&m_previews, kGridRect, 40, 40);
  m_grid.SetOwner(hwnd());
  m_grid.SetBackground((dir + "\\select_bk.png").c_str());
  m_pages.LoadImages((dir + "\\page_button_gray.png").c_str(),
                     (dir + "\\page_button_color.png").c_str(), 2, 1);
  m_pages.CreateTips();
}

void CActionSelectDlg::ShowAtCorner(HWND tableWindow) {
  LoadPictures();
  if (tableWindow) {
    RECT client;
    GetClientRect(tableWindow, &client);
    POINT at{client.right - 275, client.bottom - 234};
    ClientToScreen(tableWindow, &at);
    SetWindowPos(hwnd(), HWND_TOP, at.x, at.y, kPickerWidth, kPickerHeight, 0);
  }
  SetWindowPos(m_grid.hwnd(), nullptr, 12, 33, 246, 174, SWP_NOZORDER);
  SetWindowPos(m_pages.hwnd(), nullptr, 188, 212, 60, 20, SWP_NOZORDER);
  ShowWindow(hwnd(), SW_SHOW);
}

void CActionSelectDlg::OnCancel() {
  ShowWindow(hwnd(), SW_HIDE);
  if (m_words && m_words->hwnd()) ShowWindow(m_words->hwnd(), SW_HIDE);
}

LRESULT CActionSelectDlg::OnPage(UINT msg, WPARAM, LPARAM, bool&) {
  const bool changed = msg == kMsgPageBack ? m_grid.PrevPage() : m_grid.NextPage();
  if (changed) InvalidateRect(m_grid.hwnd(), nullptr, TRUE);
  return 0;
}

LRESULT CActionSelectDlg::OnItemChosen(UINT, WPARAM wp, LPARAM, bool&) {
  const size_t index = static_cast<size_t>(wp);
  if (index >= m_items.size() || !m_words || !m_words->hwnd()) return 0;
  if (IsWindowVisible(m_words->hwnd())) {
    m_words->SetItem(m_items[index]);
  } else {
    m_words->ShowFor(m_items[index], hwnd());
  }
  return 0;
}

LRESULT CActionSelectDlg::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  PaintPicture(hwnd(), reinterpret_cast<HDC>(wp), m_background, m_backgroundTried,
               m_host->ImageDir() + "\\select_dlg.png");
  return 1;
}

LRESULT CActionSelectDlg::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  CloseBoxOrDrag(hwnd(), lp, [this] { OnCancel(); });
  return 0;
}

}  // namespace framework_window
