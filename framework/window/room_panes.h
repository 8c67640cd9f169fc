// The panes of the table window's right column: the pane base VRoomImp, the chat host
// CVyrChatImp (the chat control IGChat, its skin and the in-table chat of ChatHostCore) and the
// person-list host CVyrPersonListImp (the person-list control IPersonList, its skin, its image
// lists and the person context menu). The game's wrappers derive from them and create the
// controls.
//
// Calls into a control throw PaneCallError: E_POINTER when the control is not there, else the
// failing HRESULT with the control interface's id.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "chat_host.h"
#include "owner_drawn.h"
#include "ozk_person_list.h"
#include "parley.h"
#include "records/person_list_column.h"
#include "records/table_person.h"
#include "skin_elements.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"

namespace framework_window {

class PaneCallError : public winkit::ComError {
 public:
  PaneCallError(HRESULT hr, REFIID iid, const char* what) : winkit::ComError(hr, what), iid_(iid) {}
  const IID& iid() const { return iid_; }

 private:
  IID iid_;
};

// 创建聊天错误
inline constexpr char kTextChatCreateFailed[] = "\xb4\xb4\xbd\xa8\xc1\xc4\xcc\xec\xb4\xed\xce\xf3";
// 创建人员列表错误
inline constexpr char kTextPersonListCreateFailed[] =
    "\xb4\xb4\xbd\xa8\xc8\xcb\xd4\xb1\xc1\xd0\xb1\xed\xb4\xed\xce\xf3";

class VRoomImp {
 public:
  virtual ~VRoomImp() = default;
  virtual void InitSkin() = 0;
  virtual void ApplySkin() = 0;
  virtual int Create(HWND parent, HWND frame) = 0;
  virtual void Move(int x, int y, int width, int height) = 0;
  virtual int Reserved5() { return 0; }
};

// Hosts a control in a child window of `parent`, queries `iid` from it and keeps both.
struct HostedControl {
  winkit::ComPtr<winkit::ControlHost> host;
  HWND Window() const { return host ? host->ControlWindow() : nullptr; }
  // True when the control was created and answers `iid` (into `out`).
  bool Create(HWND parent, REFCLSID clsid, UINT child_id, const wchar_t* name,
              winkit::ControlEventTarget* events, REFIID iid, void** out);
  void Destroy();
  void Move(int x, int y, int width, int height) const;
};

class CVyrChatImp : public VRoomImp, public ChatHostCore {
 public:
  ~CVyrChatImp() override;

  void InitSkin() override { ApplySkin(); }
  void ApplySkin() override;
  // 1 when the control was created; else "创建聊天错误" and 0.
  int Create(HWND parent, HWND frame) override;
  void Move(int x, int y, int width, int height) override;

  virtual int CreateControl(HWND parent) = 0;
  virtual CChatShowElements* GetShowElement() = 0;
  virtual void OnClickCommand() = 0;
  virtual void OnClickSetup() = 0;
  // Called after a successful Create.
  virtual void Reserved21() {}

  void UnregisterSkinWindow();
  void RegisterSkinWindow();
  // color: the line's format; linkstr and textstr NUL-terminated GBK.
  void AddLink(const ChatTextFormat* color, const char* linkstr, const char* textstr);
  HRESULT Send();
  HRESULT SetEditText(const char* text);
  HRESULT Clear();
  // Asks for a file and copies the chat log into it; false when cancelled or nothing to copy.
  bool SaveChatLog();

  HWND ControlWindow() const { return m_control.Window(); }
  IGChat* Control() const { return m_chat.Get(); }

 protected:
  // Creates the chat control (Parley.GChat) in `parent`; what CreateControl of a wrapper calls.
  bool HostChatControl(HWND parent, UINT child_id, winkit::ControlEventTarget* events);
  void AddText(const ChatTextFormat& format, int32_t mine, const char* text) override;
  // The creation failure notice (a message box with an OK button).
  virtual void ShowCreateError(const char* text);
  IGChat& Chat() const;

  HWND m_parent = nullptr;
  HWND m_frame = nullptr;

 private:
  HostedControl m_control;
  winkit::ComPtr<IGChat> m_chat;
};

class CVyrPersonListImp : public VRoomImp {
 public:
  static constexpr UINT kItemFriend = 50001;
  static constexpr UINT kItemDislike = 50002;
  static constexpr UINT kItemPermitWatch = 50020;

  CVyrPersonListImp();
  ~CVyrPersonListImp() override;

  void InitSkin() override;
  void ApplySkin() override;
  // 1 when the control was created; else "创建人员列表错误" and 0.
  int Create(HWND parent, HWND frame) override;
  void Move(int x, int y, int width, int height) override;

  virtual int CreateControl(HWND parent) = 0;
  virtual CPersonListShowElements* GetShowElement() = 0;
  virtual void Reserved8() = 0;
  virtual void Reserved9() { Reserved8(); }
  void UnregisterSkinWindow();
  void RegisterSkinWindow();

  void SetMyPerson(TablePerson* person);
  void AddPerson(TablePerson* person);
  void RemovePerson(TablePerson* person);
  void PersonOp17(int32_t value);
  void RedrawList();
  void AddColumn(const PersonListColumn* column);
  void ClearColumns();
  void PersonOp26();
  // A person's menu; the game's wrapper shows one.
  virtual void ShowPersonMenu(TablePerson* /*person*/) {}
  // Loads the menu resource from the current resource module (`module`, default the program).
  bool LoadContextMenu(UINT menu_id, HMODULE module = nullptr);
  // Checks and enables the context menu's items for `person`, then shows it at `point` (screen
  // coordinates) for the parent window, which gets the chosen command; TrackPopupMenu's
  // result, 0 for no person.
  UINT UpdateContextMenu(const TablePerson* person, POINT point);
  void PersonOp29(int32_t a, int32_t b);
  void PersonOp30(int32_t value);

  // Owned objects, deleted with the wrapper.
  void Own(std::unique_ptr<CShowElement> object) { m_owned.push_back(std::move(object)); }

  HWND ControlWindow() const { return m_control.Window(); }
  IPersonList* Control() const { return m_list.Get(); }
  HIMAGELIST RoomImages() const { return m_roomImages; }
  HIMAGELIST PersonImages() const { return m_personImages; }
  CGameMenu& ContextMenu() { return m_contextMenu; }
  CGameMenu& SecondMenu() { return m_secondMenu; }
  const TablePerson* MyPerson() const { return m_me; }

 protected:
  bool HostPersonListControl(HWND parent, UINT child_id, winkit::ControlEventTarget* events);
  virtual void ShowCreateError(const char* text);
  // The popup of the context menu; tests replace it to read the menu without tracking it.
  virtual UINT TrackContextMenu(HMENU menu, POINT point);
  IPersonList& List() const;

  HWND m_parent = nullptr;
  HWND m_frame = nullptr;

 private:
  void PassSkinValues(CPersonListShowElements& element);

  HostedControl m_control;
  winkit::ComPtr<IPersonList> m_list;
  TablePerson* m_me = nullptr;
  std::vector<std::unique_ptr<CShowElement>> m_owned;
  HIMAGELIST m_roomImages = nullptr;
  HIMAGELIST m_personImages = nullptr;
  winkit::UniqueMenu m_menu;
  CGameMenu m_contextMenu;
  CGameMenu m_secondMenu;
};

}  // namespace framework_window
