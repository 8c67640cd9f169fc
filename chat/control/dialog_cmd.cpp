#include "dialog_cmd.h"

#include <commctrl.h>
#include <windowsx.h>

#include "chat_file.h"
#include "chat_platform.h"
#include "chat_texts.h"
#include "common_phrases.h"
#include "image_buttons.h"
#include "winkit/handle.h"

namespace parley {
namespace {

constexpr COLORREF kFramePen = 0xA55E05;
constexpr COLORREF kFrameBrush = 0xFFE5D5;
constexpr COLORREF kLabelColour = 0xD47906;

void DrawGbkText(HDC dc, const char* gbk, RECT rect, UINT format) {
  const std::wstring text = Wide(gbk);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace

std::string PhrasesPath() {
  const std::string dir = SettingsDirectory();
  return dir.empty() ? std::string() : dir + chat::kPhrasesFileName;
}

std::vector<std::string> LoadPhrasesFile() {
  std::vector<std::string> phrases;
  const std::string path = PhrasesPath();
  std::vector<uint8_t> bytes;
  if (path.empty() ||
      chat::ReadWholeFile(path, chat::kMaxPhrasesFileBytes, bytes) == chat::ReadResult::kMissing)
    return phrases;
  if (!chat::LoadPhrases(bytes.data(), bytes.size(), phrases))
    WriteErrorLog("CDialogCmd::Load  error");
  return phrases;
}

bool SavePhrasesFile(const std::vector<std::string>& phrases) {
  const std::string path = PhrasesPath();
  return !path.empty() && chat::ReplaceFileContents(path, chat::StorePhrases(phrases));
}

// ---- SkinnedDialog ----

SkinnedDialog::~SkinnedDialog() = default;

void SkinnedDialog::SetUpSkin(const std::vector<std::pair<int, const char*>>& buttons) {
  ChatSkin& skin = GetSkinManager();
  font_.Reset(CreateFontW(12, 6, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                          Wide(kTextSongTi).c_str()));
  RECT client{};
  GetClientRect(hwnd(), &client);
  const chat::SkinRect& m = skin.values.dlgsysexitbtn;
  MoveWindow(Item(IDB_CLOSE), client.right - m[0], m[1], m[0] - m[2], m[3] - m[1], FALSE);
  RECT window{};
  GetWindowRect(hwnd(), &window);
  command_ = CButtonCommand(hwnd());
  for (const auto& [id, text] : buttons) {
    HWND button = Item(id);
    if (!button) continue;
    const bool close = id == IDB_CLOSE;
    if (!close) {
      RECT r{};
      GetWindowRect(button, &r);
      MoveWindow(button, r.left - window.left, r.top - window.top, skin.values.dlgbuttonwidth,
                 skin.values.dlgbuttonheight, FALSE);
    }
    SetWindowTextW(button, Wide(text).c_str());
    auto viewer = std::make_unique<CBitmapViewer>();
    if (!viewer->Attach(button)) continue;
    // The viewer frees its frames: it gets copies of the skin's pictures.
    viewer->SetImageKind(CBitmapViewer::kBitmap);
    for (HBITMAP picture : {close ? skin.dlgclosebtn : skin.dlgbtnbmp,
                            close ? skin.dlgclosebtnfocus : skin.dlgbtnmousemovebmp})
      if (picture)
        if (HANDLE copy = CopyImage(picture, IMAGE_BITMAP, 0, 0, 0)) viewer->AddFrame(copy);
    if (!close) viewer->SetCaption(Wide(text));
    viewer->SetTextColor(skin.values.dlgbtntextcolor);
    viewer->SetHoverTextColor(skin.values.dlgbtnfocustextcolor);
    viewer->SetHoverFrames(true);
    viewer->SetAnimateHover(false);
    viewer->SetId(id);
    viewer->SetListener(&command_);
    InvalidateRect(button, nullptr, TRUE);
    buttons_.push_back(std::move(viewer));
  }
}

LRESULT SkinnedDialog::OnImageButton(UINT, WPARAM wp, LPARAM, bool&) {
  const int id = static_cast<int>(wp);
  SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
  return 0;
}

void SkinnedDialog::RoundFrame(HDC dc, int left, int top, int right, int bottom) {
  winkit::UniquePen pen(CreatePen(PS_SOLID, 1, kFramePen));
  winkit::UniqueBrush brush(CreateSolidBrush(kFrameBrush));
  HGDIOBJ old_pen = SelectObject(dc, pen.Get());
  HGDIOBJ old_brush = SelectObject(dc, brush.Get());
  RoundRect(dc, left, top, right, bottom, 10, 10);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_brush);
}

LRESULT SkinnedDialog::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  HDC target = reinterpret_cast<HDC>(wp);
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int w = client.right, h = client.bottom;
  winkit::UniqueDc memory(CreateCompatibleDC(target));
  winkit::UniqueBitmap canvas(CreateCompatibleBitmap(target, w, h));
  HGDIOBJ old_canvas = SelectObject(memory.Get(), canvas.Get());
  const ChatSkin& skin = GetSkinManager();
  if (skin.dlgbmp) {
    // The skin's picture as a frame: corners as they are, edges and centre tiled.
    DrawSkinFrame(memory.Get(), client, skin.dlgbmp, nullptr, nullptr, true);

    HGDIOBJ old_font = SelectObject(memory.Get(), font_.Get());
    SetBkMode(memory.Get(), TRANSPARENT);
    SetTextColor(memory.Get(), skin.values.dlgcaptiontextcolor);
    const std::wstring title = Wide(title_);
    TextOutW(memory.Get(), skin.values.dlgcaptionpoint[0], skin.values.dlgcaptionpoint[1],
             title.c_str(), static_cast<int>(title.size()));
    SetTextColor(memory.Get(), kLabelColour);
    PaintFrames(memory.Get(), client);
    SelectObject(memory.Get(), old_font);
  }
  BitBlt(target, 0, 0, w, h, memory.Get(), 0, 0, SRCCOPY);
  SelectObject(memory.Get(), old_canvas);
  return 1;
}

LRESULT SkinnedDialog::OnLButtonDown(UINT, WPARAM, LPARAM, bool&) {
  dragging_ = true;
  GetCursorPos(&last_);
  SetCapture(hwnd());
  return 0;
}

LRESULT SkinnedDialog::OnMouseMove(UINT, WPARAM, LPARAM, bool&) {
  if (!dragging_) return 0;
  POINT now{};
  GetCursorPos(&now);
  RECT r{};
  GetWindowRect(hwnd(), &r);
  SetWindowPos(hwnd(), nullptr, r.left + now.x - last_.x, r.top + now.y - last_.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  last_ = now;
  return 0;
}

LRESULT SkinnedDialog::OnLButtonUp(UINT, WPARAM, LPARAM, bool&) {
  dragging_ = false;
  ReleaseCapture();
  return 0;
}

LRESULT SkinnedDialog::OnCtlColorStatic(UINT, WPARAM wp, LPARAM, bool&) {
  SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// ---- CDialogCmdEdit ----

CDialogCmdEdit::CDialogCmdEdit(std::string phrase)
    : SkinnedDialog(IDD, kTextPhraseEditTitle), m_phrase(chat::CutPhrase(phrase)) {}

LRESULT CDialogCmdEdit::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  SetUpSkin({{IDB_CLOSE, kTextClose}, {IDB_OK, kTextOk}, {IDB_CANCEL, kTextCancel}});
  HWND owner = GetWindow(hwnd(), GW_OWNER);
  RECT mine{}, theirs{};
  GetWindowRect(hwnd(), &mine);
  if (owner && GetWindowRect(owner, &theirs)) {
    const int x = theirs.left + ((theirs.right - theirs.left) - (mine.right - mine.left)) / 2;
    const int y = theirs.top + ((theirs.bottom - theirs.top) - (mine.bottom - mine.top)) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  MoveWindow(Item(IDC_TEXT), 20, 45, client.right - 111, client.bottom - 121, FALSE);
  SendDlgItemMessageW(hwnd(), IDC_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()), FALSE);
  SetDlgItemTextW(hwnd(), IDC_TEXT, Wide(m_phrase).c_str());
  SetFocus(Item(IDC_TEXT));
  return FALSE;  // the focus is set
}

LRESULT CDialogCmdEdit::OnOk(WORD, WORD, HWND, bool&) {
  const int n = GetWindowTextLengthW(Item(IDC_TEXT));
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetDlgItemTextW(hwnd(), IDC_TEXT, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  m_phrase = chat::CutPhrase(Gbk(text));
  EndDialog(IDOK);
  return 0;
}

LRESULT CDialogCmdEdit::OnCancel(WORD, WORD, HWND, bool&) {
  EndDialog(IDCANCEL);
  return 0;
}

void CDialogCmdEdit::PaintFrames(HDC dc, const RECT& client) {
  const int w = client.right, h = client.bottom;
  RoundFrame(dc, 14, 37, w - 85, h - 70);
  RoundFrame(dc, 14, h - 65, w - 15, h - 15);
  DrawGbkText(dc, kTextPhraseEditNote, RECT{22, h - 60, w - 22, h - 20}, DT_LEFT | DT_WORDBREAK);
}

// ---- CDialogCmd ----

CDialogCmd::CDialogCmd(std::function<void(const std::string&)> chosen)
    : SkinnedDialog(IDD, kTextPhrasesTitle), m_chosen(std::move(chosen)) {}

void CDialogCmd::Show(HWND owner) {
  if (!hwnd()) CreateModeless(owner);
  if (hwnd()) ShowWindow(hwnd(), SW_SHOW);
}

LRESULT CDialogCmd::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  ChatSkin& skin = GetSkinManager();
  if (!skin.values.chatvalidskin) ApplyDialogSkinDefaults(skin);
  SetUpSkin({{IDB_CLOSE, kTextClose}, {IDB_OK, kTextOk}, {IDB_CANCEL, kTextCancel},
             {IDB_EDIT, kTextEdit}, {IDB_ADD, kTextAdd}, {IDB_DELETE, kTextDelete}});

  HWND list = Item(IDC_LIST);
  RECT area{};
  GetClientRect(hwnd(), &area);
  MoveWindow(list, 20, 56, area.right - 111, area.bottom - 77, FALSE);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()), FALSE);
  SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
  RECT client{};
  GetClientRect(list, &client);
  std::wstring title = Wide(kTextPhrasesColumn);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = client.right - 20;
  column.pszText = title.data();
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int row = 0;
  for (const std::string& phrase : LoadPhrasesFile()) InsertRow(row++, phrase);
  return TRUE;
}

LRESULT CALLBACK CDialogCmd::ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<CDialogCmd*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && (wp == VK_RETURN || wp == VK_ESCAPE)) {
    SendMessageW(self->hwnd(), WM_COMMAND, wp == VK_RETURN ? IDOK : IDCANCEL, 0);
    return 0;
  }
  return CallWindowProcW(self->m_listProc, list, msg, wp, lp);
}

int CDialogCmd::SelectedRow() const {
  return static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_GETNEXTITEM,
                                              static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string CDialogCmd::RowText(int row) const {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = 512;
  SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&item));
  return chat::CutPhrase(Gbk(text));
}

std::vector<std::string> CDialogCmd::GetRows() const {
  std::vector<std::string> rows;
  const int n = static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) rows.push_back(RowText(i));
  return rows;
}

void CDialogCmd::InsertRow(int row, const std::string& text) {
  std::wstring wide = Wide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = wide.data();
  SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CDialogCmd::Save() { SavePhrasesFile(GetRows()); }

bool CDialogCmd::Choose(int row) {
  if (row < 0) return false;
  const std::string text = RowText(row);
  if (text.empty()) return false;
  if (m_chosen) m_chosen(text);
  return true;
}

LRESULT CDialogCmd::OnNotify(UINT, WPARAM, LPARAM lp, bool& handled) {
  const auto* header = reinterpret_cast<const NMHDR*>(lp);
  if (header->idFrom == IDC_LIST && header->code == NM_DBLCLK) {
    PostMessageW(hwnd(), kChoosePosted, static_cast<WPARAM>(SelectedRow()), 0);
    return 0;
  }
  handled = false;
  return 0;
}

LRESULT CDialogCmd::OnChoosePosted(UINT, WPARAM wp, LPARAM, bool&) {
  if (Choose(static_cast<int>(wp))) ShowWindow(hwnd(), SW_HIDE);
  return 0;
}

LRESULT CDialogCmd::OnChoose(WORD, WORD, HWND, bool&) {
  Choose(SelectedRow());
  ShowWindow(hwnd(), SW_HIDE);
  return 0;
}

LRESULT CDialogCmd::OnClose(UINT, WPARAM, LPARAM, bool&) {
  ShowWindow(hwnd(), SW_HIDE);
  return 0;
}

LRESULT CDialogCmd::OnHide(WORD, WORD, HWND, bool&) {
  ShowWindow(hwnd(), SW_HIDE);
  return 0;
}

LRESULT CDialogCmd::OnEdit(WORD, WORD, HWND, bool&) {
  const int row = SelectedRow();
  if (row < 0) return 0;
  CDialogCmdEdit editor(RowText(row));
  if (editor.DoModal(hwnd()) != IDOK) return 0;
  std::wstring text = Wide(editor.GetPhrase());
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = text.data();
  SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&item));
  Save();
  return 0;
}

LRESULT CDialogCmd::OnAdd(WORD, WORD, HWND, bool&) {
  CDialogCmdEdit editor("");
  if (editor.DoModal(hwnd()) != IDOK) return 0;
  InsertRow(static_cast<int>(GetRows().size()), editor.GetPhrase());
  Save();
  return 0;
}

LRESULT CDialogCmd::OnDelete(WORD, WORD, HWND, bool&) {
  const int row = SelectedRow();
  if (row < 0) return 0;
  SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  Save();
  return 0;
}

void CDialogCmd::PaintFrames(HDC dc, const RECT& client) {
  RoundFrame(dc, 14, 37, client.right - 85, client.bottom - 15);
  const std::wstring label = Wide(kTextPhrasesListLabel);
  TextOutW(dc, 24, 39, label.c_str(), static_cast<int>(label.size()));
}

}  // namespace parley
