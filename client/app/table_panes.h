// The game's wrappers of the right column's panes: the chat pane CParleyImp (the chat control
// Parley.GChat) and the person list CTablePersonListImp (the person-list control, its columns,
// its colours and a person's details as a popup menu).
#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "room_panes.h"

// The table's person-list skin element: the room icons come from the libraries
// "<curdir>\room\<prefix><letter>.dll", letters 'a' onward. String 1 of each library is the
// number of its icons, named IDI_<n> with n running on from the libraries loaded before.
class CTable_PersonListShowElements : public framework_window::CPersonListShowElements {
 public:
  // A library claiming more icons than this is read up to this many.
  static constexpr int kMaxIconsPerLibrary = 256;

  std::string curdir;
  std::string modulePrefix;
  int iconCount = 0;

  // The libraries 'a', 'b', ... (at most ten, up to the first missing), when no icon is loaded.
  void LoadRoomIcons();
  // 1 when the library of that letter was loaded.
  int LoadIconModule(char letter) override;
};

// The table window's skin: the elements of its areas, refreshed, assigned and freed together.
class CTableShowElements : public framework_window::CMFCShowElement {
 public:
  framework_window::CCaptionShowElements caption;
  framework_window::CTabShowElements tab1;
  framework_window::CTabShowElements tab2;
  framework_window::CRoomShowElements room;
  std::vector<framework_window::CRoomTabRecord> roomTabs;
  CTable_PersonListShowElements personList;
  std::vector<framework_window::CRoomTabRecord> roomTabs2;
  framework_window::CChatShowElements chat;
  framework_window::CSplitterShowElements splitter;
  framework_window::CTreeShowElements tree;
  std::string name;
  std::string value;

  // Caption, the two tabs, the person list, the room and the chat, then every room tab.
  void Refresh() override;
  // From another table skin only: name, value, each area's element and the two tab lists.
  void Assign(const framework_window::CMFCShowElement& other) override;
  // The caption's and the person list's resources.
  void FreeResources() override;
  // The picture library's caption and person-list skin.
  void SetPictureModule(HMODULE module);
};

// What the wrappers ask of the application: the persons of the table and the skin elements.
class ITablePanesApp {
 public:
  virtual ~ITablePanesApp() = default;
  virtual TablePerson* GetMe() = 0;
  virtual TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) = 0;
  virtual std::vector<TablePerson*> GetPersons() = 0;
  // Fills the person's level title from the application's level names.
  virtual void SetLevelTitle(TablePerson* person) = 0;
  virtual framework_window::CChatShowElements* ChatElement() = 0;
  virtual framework_window::CPersonListShowElements* PersonListElement() = 0;
  virtual int16_t GetSeatCode(int16_t deskno, int16_t seatno) = 0;
};

// The column of the person list at `index` (0 to 7); false for any other index.
bool GetColumn(int index, PersonListColumn& column);

// The six rows of a person's details menu: status, seat, score, credit, school, identity.
std::array<std::string, 6> PersonMenuRows(const TablePerson& person);

class CParleyImp : public framework_window::CVyrChatImp {
 public:
  static constexpr UINT kChildId = 32784;
  explicit CParleyImp(ITablePanesApp& app) : m_app(app) {}

  int CreateControl(HWND parent) override;
  // Where the control's events go (the table window); none by default.
  void SetEvents(winkit::ControlEventTarget* events) { m_events = events; }
  framework_window::CChatShowElements* GetShowElement() override { return m_app.ChatElement(); }
  void OnClickCommand() override {}
  void OnClickSetup() override {}
  // The two section names of the chat settings.
  void GetSectionNames(std::string& chat, std::string& cmd) const;

 protected:
  TablePerson* GetMe() override { return m_app.GetMe(); }
  TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) override {
    return m_app.FindPersonAt(deskno, seatno, state);
  }
  std::vector<uint32_t> GetBlockedIds() override { return {}; }
  int CanShowLines() override { return 1; }
  int16_t GetSeatCode(int16_t deskno, int16_t seatno) override {
    return m_app.GetSeatCode(deskno, seatno);
  }

 private:
  ITablePanesApp& m_app;
  winkit::ControlEventTarget* m_events = nullptr;
};

class CTablePersonListImp : public framework_window::CVyrPersonListImp {
 public:
  static constexpr UINT kChildId = 32777;
  // The ids of the six rows of a person's details menu, top to bottom.
  static constexpr UINT kDetailIds[6] = {51003, 51503, 52003, 53003, 54003, 55003};
  explicit CTablePersonListImp(ITablePanesApp& app) : m_app(app) {}

  int CreateControl(HWND parent) override;
  void SetEvents(winkit::ControlEventTarget* events) { m_events = events; }
  framework_window::CPersonListShowElements* GetShowElement() override {
    return m_app.PersonListElement();
  }
  void Reserved8() override {}
  // The framework's skinning, then the table's own colours and the style module.
  void InitSkin(HMODULE styleModule);
  void InitSkin() override { InitSkin(nullptr); }
  // Columns, then every person of the table with its level title, then the local player.
  // `paired`: the paired-table value is passed on.
  void SetupColumns(bool paired = false, int32_t pairedValue = 0);
  // Rebuilds the details menu of `person` (rows with the ids kDetailIds); its handle.
  HMENU BuildPersonMenu(const TablePerson& person);
  // The details menu of `person` at the mouse pointer, over the list.
  void ShowPersonMenu(TablePerson* person) override;
  const framework_window::CGameMenu& DetailsMenu() const { return m_detailsMenu; }

 private:
  ITablePanesApp& m_app;
  winkit::ControlEventTarget* m_events = nullptr;
  framework_window::CGameMenu m_detailsMenu;
};
