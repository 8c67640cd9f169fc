#include "room_panes.h"
#include "winkit/gbk.h"
#include "winkit/late_bound.h"

#include <commdlg.h>

#include <cstring>

namespace framework_window {

namespace {

template <class T>
LONG_PTR Value(T value) {
  return static_cast<LONG_PTR>(value);
}

__int3264 Address(const void* p) { return reinterpret_cast<__int3264>(p); }

IID DefaultSource(REFCLSID clsid) {
  IID iid = IID_NULL;
  winkit::ComPtr<IProvideClassInfo2> info;
  if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IProvideClassInfo2,
                                 info.PutVoid()))) {
    info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid);
  }
  return iid;
}

}  // namespace

bool HostedControl::Create(HWND parent, REFCLSID clsid, UINT child_id, const wchar_t* name,
                           winkit::ControlEventTarget* events, REFIID iid, void** out) {
  Destroy();
  winkit::ComPtr<winkit::ControlHost> created;
  RECT rect = {0, 0, 100, 100};
  if (FAILED(winkit::ControlHost::Create(parent, clsid, events ? DefaultSource(clsid) : IID_NULL,
                                         child_id, name, rect, events, &created))) {
    return false;
  }
  if (FAILED(created->QueryControl(iid, out)) || !*out) {
    created->Destroy();
    return false;
  }
  host = created;
  return true;
}

void HostedControl::Destroy() {
  if (host) host->Destroy();
  host.Reset();
}

void HostedControl::Move(int x, int y, int width, int height) const {
  if (HWND window = Window()) {
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// --- chat ---

CVyrChatImp::~CVyrChatImp() {
  m_chat.Reset();
  m_control.Destroy();
}

IGChat& CVyrChatImp::Chat() const {
  if (!m_chat) throw PaneCallError(E_POINTER, IID_IGChat, "no chat control");
  return *m_chat.Get();
}

namespace {
void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw PaneCallError(hr, IID_IGChat, what);
}
}  // namespace

bool CVyrChatImp::HostChatControl(HWND parent, UINT child_id, winkit::ControlEventTarget* events) {
  m_chat.Reset();
  return m_control.Create(parent, CLSID_GChat, child_id, L"Parley.GChat", events, IID_IGChat,
                          m_chat.PutVoid());
}

void CVyrChatImp::ShowCreateError(const char* text) {
  MessageBoxW(m_parent, winkit::GbkToWide(text ? text : "").c_str(), nullptr, MB_OK);
}

int CVyrChatImp::Create(HWND parent, HWND frame) {
  m_parent = parent;
  m_frame = frame;
  if (!CreateControl(parent)) {
    ShowCreateError(kTextChatCreateFailed);
    return 0;
  }
  Reserved21();
  return 1;
}

void CVyrChatImp::Move(int x, int y, int width, int height) { m_control.Move(x, y, width, height); }

void CVyrChatImp::ApplySkin() {
  CChatShowElements* element = GetShowElement();
  if (!element) return;
  IGChat& chat = Chat();
  chat.put_BackColor(element->m_clrBack);  // the two colours are not checked
  chat.put_ForeColor(element->m_clrText);
  Check(chat.SetSeparatorColor(static_cast<long>(element->m_clrSeparator)), "SetSeparatorColor");
  const auto icon = [&](CChatShowElements::Icon which) {
    return Address(element->m_icons[which].Get());
  };
  Check(chat.SetCommandIcon(icon(CChatShowElements::kCommand)), "SetCommandIcon");
  Check(chat.SetSetupIcon(icon(CChatShowElements::kSetup)), "SetSetupIcon");
  Check(chat.SetWhisperIcon(icon(CChatShowElements::kWhisper)), "SetWhisperIcon");
  Check(chat.SetSendIcon(icon(CChatShowElements::kSend)), "SetSendIcon");
  Check(chat.SetSeparatorIcon(icon(CChatShowElements::kSeparator)), "SetSeparatorIcon");
  Check(chat.SetClearIcon(icon(CChatShowElements::kClear)), "SetClearIcon");
  Check(chat.SetFontIcon(icon(CChatShowElements::kFont)), "SetFontIcon");
  Check(chat.SetBkBitmap(Address(element->m_background.Get())), "SetBkBitmap");
}

void CVyrChatImp::RegisterSkinWindow() {
  if (CChatShowElements* element = GetShowElement()) {
    element->RegisterWindow(ControlWindow(), m_frame);
  }
}

void CVyrChatImp::UnregisterSkinWindow() {
  if (CChatShowElements* element = GetShowElement()) element->UnregisterWindow(ControlWindow());
}

void CVyrChatImp::AddText(const ChatTextFormat& format, int32_t mine, const char* text) {
  Check(Chat().AddText(Address(&format), mine, Address(text)), "AddText");
}

void CVyrChatImp::AddLink(const ChatTextFormat* color, const char* linkstr, const char* textstr) {
  Check(Chat().AddLink(Address(color), Address(linkstr), Address(textstr)), "AddLink");
}

HRESULT CVyrChatImp::Send() {
  const HRESULT hr = Chat().Send();
  Check(hr, "Send");
  return hr;
}

HRESULT CVyrChatImp::SetEditText(const char* text) {
  const HRESULT hr = Chat().SetEditText(Address(text));
  Check(hr, "SetEditText");
  return hr;
}

HRESULT CVyrChatImp::Clear() {
  const HRESULT hr = Chat().Clear();
  Check(hr, "Clear");
  return hr;
}

bool CVyrChatImp::SaveChatLog() {
  char directory[200 + 1] = {};
  GetCurrentDirectoryA(200, directory);
  char file[MAX_PATH] = {};
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = m_parent;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  bool copied = false;
  // The dialog library is loaded when the player first asks for it.
  static const auto open =
      winkit::LateBound<decltype(GetOpenFileNameA)>(L"comdlg32.dll", "GetOpenFileNameA");
  if (open && open(&dialog)) copied = CopyChatLog(file);
  SetCurrentDirectoryA(directory);
  return copied;
}

// --- person list ---

namespace {
void CheckList(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw PaneCallError(hr, IID_IPersonList, what);
}
}  // namespace

CVyrPersonListImp::CVyrPersonListImp() {
  m_roomImages = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 8, 8);
  m_personImages = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 16, 4);
}

CVyrPersonListImp::~CVyrPersonListImp() {
  m_list.Reset();
  m_owned.clear();
  m_control.Destroy();
  if (m_roomImages) ImageList_Destroy(m_roomImages);
  if (m_personImages) ImageList_Destroy(m_personImages);
}

IPersonList& CVyrPersonListImp::List() const {
  if (!m_list) throw PaneCallError(E_POINTER, IID_IPersonList, "no person list control");
  return *m_list.Get();
}

bool CVyrPersonListImp::HostPersonListControl(HWND parent, UINT child_id,
                                              winkit::ControlEventTarget* events) {
  m_list.Reset();
  return m_control.Create(parent, CLSID_OzkPersonList, child_id, L"CPersonList.OzkPersonList",
                          events, IID_IPersonList, m_list.PutVoid());
}

void CVyrPersonListImp::ShowCreateError(const char* text) {
  MessageBoxW(m_parent, winkit::GbkToWide(text ? text : "").c_str(), nullptr, MB_OK);
}

int CVyrPersonListImp::Create(HWND parent, HWND frame) {
  m_parent = parent;
  m_frame = frame;
  if (!CreateControl(parent)) {
    ShowCreateError(kTextPersonListCreateFailed);
    return 0;
  }
  Reserved9();
  return 1;
}

void CVyrPersonListImp::Move(int x, int y, int width, int height) {
  m_control.Move(x, y, width, height);
}

void CVyrPersonListImp::PassSkinValues(CPersonListShowElements& e) {
  IPersonList& list = List();
  CheckList(list.SetSkinColor1(e.m_nSkinValue[0]), "SetSkinColor1");               // 1284
  CheckList(list.SetSkinColor2(static_cast<long>(e.m_clr[0])), "SetSkinColor2");  // 1281
  CheckList(list.SetSkinColor3(static_cast<long>(e.m_clr[1])), "SetSkinColor3");  // 1282
  CheckList(list.SetSkinColor4(static_cast<long>(e.m_clr[2])), "SetSkinColor4");  // 1283
  CheckList(list.SetSkinColor5(e.m_nSkinValue[1]), "SetSkinColor5");               // 1285
  CheckList(list.SetSkinColor7(e.m_nSkinValue[2]), "SetSkinColor7");               // 1287
  CheckList(list.SetSkinColor6(e.m_nSkinValue[3]), "SetSkinColor6");               // 1286
  CheckList(list.SetListBkBitmap(Address(e.m_listBitmap.Get())), "SetListBkBitmap");  // 1288
}

void CVyrPersonListImp::InitSkin() {
  CPersonListShowElements* element = GetShowElement();
  if (!element) return;
  element->LoadIcons();
  m_contextMenu.SetBkBitmap(element->m_listBitmap.Get());
  m_secondMenu.SetBkBitmap(element->m_listBitmap.Get());
  PassSkinValues(*element);
  if (m_roomImages) ImageList_RemoveAll(m_roomImages);
  if (m_personImages) ImageList_RemoveAll(m_personImages);
  for (HICON icon : element->m_roomIcons) {
    if (icon && m_roomImages) ImageList_AddIcon(m_roomImages, icon);
  }
  for (const auto& icon : element->m_skinIcons) {
    if (icon && m_personImages) ImageList_AddIcon(m_personImages, icon.Get());
  }
  CheckList(List().SetImageLists(Address(m_roomImages), Address(m_personImages)),
            "SetImageLists");
  RegisterSkinWindow();
}

void CVyrPersonListImp::ApplySkin() {
  CPersonListShowElements* element = GetShowElement();
  if (!element) return;
  m_contextMenu.SetBkBitmap(element->m_listBitmap.Get());
  PassSkinValues(*element);
  CheckList(List().RedrawList(), "RedrawList");
}

void CVyrPersonListImp::RegisterSkinWindow() {
  if (CPersonListShowElements* element = GetShowElement()) {
    element->RegisterWindow(ControlWindow(), m_frame);
  }
}

void CVyrPersonListImp::UnregisterSkinWindow() {
  if (CPersonListShowElements* element = GetShowElement()) {
    element->UnregisterWindow(ControlWindow());
  }
}

void CVyrPersonListImp::SetMyPerson(TablePerson* person) {
  CheckList(List().SetMyPerson(Address(person)), "SetMyPerson");
  m_me = person;
}

void CVyrPersonListImp::AddPerson(TablePerson* person) {
  CheckList(List().AddPerson(Address(person)), "AddPerson");
}

void CVyrPersonListImp::RemovePerson(TablePerson* person) {
  CheckList(List().RemovePerson(Address(person)), "RemovePerson");
}

void CVyrPersonListImp::PersonOp17(int32_t value) {
  CheckList(List().PersonOp17(value), "PersonOp17");
}

void CVyrPersonListImp::RedrawList() { CheckList(List().RedrawList(), "RedrawList"); }

void CVyrPersonListImp::AddColumn(const PersonListColumn* column) {
  CheckList(List().PersonOp24(Address(column)), "AddColumn");
}

void CVyrPersonListImp::ClearColumns() { CheckList(List().PersonOp25(), "ClearColumns"); }

void CVyrPersonListImp::PersonOp26() { CheckList(List().PersonOp26(), "PersonOp26"); }

void CVyrPersonListImp::PersonOp29(int32_t a, int32_t b) {
  CheckList(List().PersonOp29(a, b), "PersonOp29");
}

void CVyrPersonListImp::PersonOp30(int32_t value) {
  CheckList(List().PersonOp30(value), "PersonOp30");
}

bool CVyrPersonListImp::LoadContextMenu(UINT menu_id, HMODULE module) {
  m_menu.Reset(LoadMenuA(module ? module : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menu_id)));
  if (!m_menu) return false;
  HMENU popup = GetSubMenu(m_menu.Get(), 0);
  if (!popup) return false;
  // The context menu owns the popup from here on; detach it from the loaded bar.
  RemoveMenu(m_menu.Get(), 0, MF_BYPOSITION);
  m_contextMenu.MakeOwnerDraw(popup);
  m_contextMenu.SetItemSize(60, 20);
  return true;
}

UINT CVyrPersonListImp::TrackContextMenu(HMENU, POINT point) {
  return m_contextMenu.Track(m_parent, point, 0);
}

UINT CVyrPersonListImp::UpdateContextMenu(const TablePerson* person, POINT point) {
  HMENU menu = m_contextMenu.menu();
  if (!menu || !person) return 0;  // nobody under the pointer: no menu
  CheckMenuItem(menu, kItemFriend,
                MF_BYCOMMAND | (person->ismyfriend ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, kItemDislike,
                MF_BYCOMMAND | (person->ismydislike ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(menu, kItemPermitWatch,
                 MF_BYCOMMAND | (m_me && person == m_me ? MF_ENABLED : MF_GRAYED));
  CheckMenuItem(menu, kItemPermitWatch,
                MF_BYCOMMAND | (person->is_permit_watch ? MF_CHECKED : MF_UNCHECKED));
  return TrackContextMenu(menu, point);
}

}  // namespace framework_window
