// The person list beside the table: a report list of the persons the client hands over (by the
// address of their TablePerson records, which the client keeps alive while they are listed),
// with the columns it asks for, the local player first, and each person's icon from the image
// list of person icons. A right click or a double click on a person reports it (event 1).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "ozk_person_list.h"
#include "records/person_list_column.h"
#include "records/table_person.h"
#include "winkit/boundary.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/inproc_server.h"
#include "winkit/gbk.h"

namespace {

constexpr DISPID kSelect = 1;
constexpr UINT kListId = 1;
constexpr size_t kMaxPersons = 4096;  // far above any table; more are not listed
constexpr size_t kMaxColumns = 32;

std::wstring FromGbk(const char* text, size_t size) {
  size_t n = 0;
  while (n < size && text[n]) ++n;
  return winkit::GbkToWide(std::string_view(text, n));
}

std::wstring FieldText(const TablePerson& p, int32_t field) {
  switch (field) {
    case kColumnUserName: return FromGbk(p.username, sizeof p.username);
    case kColumnNickName: return FromGbk(p.nickname, sizeof p.nickname);
    case kColumnSex: return std::to_wstring(p.sex);
    case kColumnMember: return std::to_wstring(p.ismember);
    case kColumnGameScore: return std::to_wstring(p.gamescore);
    case kColumnWins: return std::to_wstring(p.winnum);
    case kColumnLosses: return std::to_wstring(p.losenum);
    case kColumnDraws: return std::to_wstring(p.equalnum);
    default: return {};
  }
}

class COzkPersonList : public winkit::DispatchImpl<IPersonList, &IID_IPersonList>,
                       public winkit::ControlBase {
 public:
  COzkPersonList()
      : ControlBase(CLSID_OzkPersonList, IID__IPersonListEvents, L"OzkPersonListControl") {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    colours_.fill(-1);
  }

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IPersonList)
      return static_cast<IPersonList*>(this);
    return ControlBase::CastTo(iid);
  }

  // IPersonList
  STDMETHODIMP SetImageLists(LONG_PTR rooms, LONG_PTR persons) override {
    rooms_ = reinterpret_cast<HIMAGELIST>(rooms);
    icons_ = reinterpret_cast<HIMAGELIST>(persons);
    if (list_) ListView_SetImageList(list_, icons_, LVSIL_SMALL);
    return Refill();
  }
  STDMETHODIMP AddPerson(LONG_PTR person) override {
    auto* p = reinterpret_cast<const TablePerson*>(person);
    if (!p || persons_.size() >= kMaxPersons ||
        std::find(persons_.begin(), persons_.end(), p) != persons_.end())
      return S_OK;
    persons_.push_back(p);
    // A newcomer other than the local player takes the last row; only a new local player
    // reorders the rows.
    if (p == me_) return Refill();
    InsertRow(static_cast<int>(Rows().size()) - 1, *p);
    return S_OK;
  }
  STDMETHODIMP SetSkinColor1(long v) override { return SetColour(0, v); }
  STDMETHODIMP SetSkinColor2(long v) override { return SetColour(1, v); }
  STDMETHODIMP SetSkinColor3(long v) override { return SetColour(2, v); }
  STDMETHODIMP SetSkinColor4(long v) override { return SetColour(3, v); }
  STDMETHODIMP SetSkinColor5(long v) override { return SetColour(4, v); }
  STDMETHODIMP SetSkinColor6(long v) override { return SetColour(5, v); }
  STDMETHODIMP SetSkinColor7(long v) override { return SetColour(6, v); }
  STDMETHODIMP RedrawList() override { return Refill(); }
  STDMETHODIMP PersonOp17(long value) override {
    op17_ = value;
    return S_OK;
  }
  STDMETHODIMP SetListFont(LONG_PTR bitmap) override {
    font_bitmap_ = reinterpret_cast<HBITMAP>(bitmap);
    return S_OK;
  }
  STDMETHODIMP Reserved19() override { return S_OK; }
  STDMETHODIMP Reserved20() override { return S_OK; }
  STDMETHODIMP SetMyPerson(LONG_PTR person) override {
    auto* p = reinterpret_cast<const TablePerson*>(person);
    if (p == me_) return S_OK;
    me_ = p;
    return Refill();
  }
  STDMETHODIMP SetResourceModule(LONG_PTR module, long) override {
    module_ = reinterpret_cast<HMODULE>(module);
    return S_OK;
  }
  STDMETHODIMP RemovePerson(LONG_PTR person) override {
    auto* p = reinterpret_cast<const TablePerson*>(person);
    persons_.erase(std::remove(persons_.begin(), persons_.end(), p), persons_.end());
    if (me_ == p) me_ = nullptr;  // the record may go away with the person
    return Refill();
  }
  STDMETHODIMP PersonOp24(LONG_PTR column) override {
    auto* c = reinterpret_cast<const PersonListColumn*>(column);
    if (!c || columns_.size() >= kMaxColumns) return S_OK;
    columns_.push_back({FromGbk(c->title, sizeof c->title), c->column});
    // One column more: the rows keep their places and get its texts.
    if (!list_) return S_OK;
    const size_t at = columns_.size() - 1;
    InsertColumn(at);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    int row = 0;
    for (const TablePerson* person : Rows()) SetCell(row++, at, *person);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    return S_OK;
  }
  STDMETHODIMP PersonOp25() override {
    columns_.clear();
    RebuildColumns();
    return Refill();
  }
  STDMETHODIMP PersonOp26() override { return S_OK; }
  STDMETHODIMP Reserved27() override { return S_OK; }
  STDMETHODIMP SetListBkBitmap(LONG_PTR bitmap) override {
    bk_bitmap_ = reinterpret_cast<HBITMAP>(bitmap);
    return S_OK;
  }
  STDMETHODIMP PersonOp29(long a, long b) override {
    op29_ = {a, b};
    return S_OK;
  }
  STDMETHODIMP PersonOp30(long value) override {
    op30_ = value;
    return S_OK;
  }

 protected:
  void OnWindowCreated() override {
    RECT rc;
    GetClientRect(ControlWindow(), &rc);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER,
                            0, 0, rc.right, rc.bottom, ControlWindow(),
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)),
                            winkit::Module::Instance(), nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    if (icons_) ListView_SetImageList(list_, icons_, LVSIL_SMALL);
    ApplyColours();
    RebuildColumns();
    Refill();
  }
  void OnWindowDestroying() override { list_ = nullptr; }

  LRESULT OnWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_SIZE && list_) {
      MoveWindow(list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    }
    if (msg == WM_NOTIFY && lp) {
      auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->hwndFrom == list_ && (hdr->code == NM_RCLICK || hdr->code == NM_DBLCLK)) {
        const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lp);
        if (const TablePerson* p = PersonAtRow(item->iItem)) FireSelect(p);
        return 0;
      }
    }
    return ControlBase::OnWindowMessage(hwnd, msg, wp, lp);
  }

 private:
  struct Column {
    std::wstring title;
    int32_t field;
  };

  HRESULT SetColour(int index, long value) {
    colours_[index] = value;
    ApplyColours();
    return S_OK;
  }

  // Colour 1 is the text, colour 6 the background; the others are kept.
  void ApplyColours() {
    if (!list_) return;
    if (colours_[0] >= 0) ListView_SetTextColor(list_, static_cast<COLORREF>(colours_[0]));
    if (colours_[5] >= 0) {
      ListView_SetBkColor(list_, static_cast<COLORREF>(colours_[5]));
      ListView_SetTextBkColor(list_, static_cast<COLORREF>(colours_[5]));
    }
    InvalidateRect(list_, nullptr, TRUE);
  }

  void RebuildColumns() {
    if (!list_) return;
    while (ListView_DeleteColumn(list_, 0)) {
    }
    for (size_t i = 0; i < columns_.size(); ++i) InsertColumn(i);
  }

  void InsertColumn(size_t i) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = columns_[i].field == kColumnNickName || columns_[i].field == kColumnUserName ? 90 : 64;
    col.pszText = const_cast<wchar_t*>(columns_[i].title.c_str());
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }

  // Row `row` for `p`: its icon and record in the first column, its texts in every column.
  void InsertRow(int row, const TablePerson& p) {
    if (!list_ || columns_.empty()) return;
    for (size_t c = 0; c < columns_.size(); ++c) SetCell(row, c, p);
  }

  void SetCell(int row, size_t c, const TablePerson& p) {
    std::wstring text = FieldText(p, columns_[c].field);
    LVITEMW item = {};
    item.iItem = row;
    item.iSubItem = static_cast<int>(c);
    item.pszText = text.data();
    item.mask = LVIF_TEXT;
    if (c == 0) {
      item.mask |= LVIF_IMAGE | LVIF_PARAM;
      item.iImage = icons_ && p.headpicid >= 0 && p.headpicid < ImageList_GetImageCount(icons_)
                        ? p.headpicid
                        : -1;
      item.lParam = reinterpret_cast<LPARAM>(&p);
      // The first column's cell makes the row when it is not there yet.
      if (row >= ListView_GetItemCount(list_)) {
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return;
      }
    }
    SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }

  // The rows: the local player first, then the others in the order they came.
  std::vector<const TablePerson*> Rows() const {
    std::vector<const TablePerson*> rows;
    if (me_ && std::find(persons_.begin(), persons_.end(), me_) != persons_.end())
      rows.push_back(me_);
    for (const TablePerson* p : persons_)
      if (p != me_) rows.push_back(p);
    return rows;
  }

  const TablePerson* PersonAtRow(int row) const {
    auto rows = Rows();
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? rows[static_cast<size_t>(row)]
                                                               : nullptr;
  }

  HRESULT Refill() {
    if (!list_) return S_OK;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    int row = 0;
    for (const TablePerson* p : Rows()) InsertRow(row++, *p);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    return S_OK;
  }

  void FireSelect(const TablePerson* p) {
    Events().Fire(kSelect, {winkit::EventArg::Ptr(p)});
  }

  HWND list_ = nullptr;
  HIMAGELIST rooms_ = nullptr;  // not drawn by this list; kept for the client
  HIMAGELIST icons_ = nullptr;
  std::vector<const TablePerson*> persons_;
  const TablePerson* me_ = nullptr;
  std::vector<Column> columns_;
  std::array<long, 7> colours_;
  long op17_ = 0, op30_ = 0;
  std::array<long, 2> op29_ = {0, 0};
  HBITMAP font_bitmap_ = nullptr, bk_bitmap_ = nullptr;  // the client's; never deleted here
  HMODULE module_ = nullptr;
};

winkit::ClassFactory<COzkPersonList> g_factory;
const winkit::ServedClass g_classes[] = {
    {{&CLSID_OzkPersonList, L"CPersonList.OzkPersonList.1", L"CPersonList.OzkPersonList",
      L"OzkPersonList Control", &LIBID_OZKPERSONLISTLib, L"1.0", true, 101, L"131473", false,
      nullptr},
     &g_factory},
};
const winkit::InprocServer g_server(g_classes, 1);

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
