// The two magic-action dialogs of the play table: the picker (CActionSelectDlg), a paged grid of
// the catalogue's previews in the lower right corner of the table window, and the send box
// (CActionWordDlg), where the player picks the recipient, may type words for the animation, and
// previews or sends the action. Both are modeless, made once and then shown and hidden.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "image_buttons.h"
#include "owner_drawn.h"
#include "records/magic_records.h"
#include "records/table_person.h"
#include "skin_bitmaps.h"
#include "winkit/dialog.h"
#include "winkit/message_map.h"

namespace framework_window {

constexpr UINT kTemplateActionSelect = 184;
constexpr UINT kTemplateActionWord = 183;
constexpr UINT kActionPreviewGridId = 33280;
constexpr UINT kActionPageStripId = 33281;
constexpr int kRecipientCombo = 190, kPreviewButton = 191, kSendButton = 192, kWordsEdit = 193;

// What the dialogs need of their play table.
class MagicActionHost {
 public:
  virtual ~MagicActionHost() = default;
  virtual std::string ImageDir() const = 0;
  virtual std::vector<CActionItem*> ActionItems() const = 0;
  virtual std::vector<const TablePerson*> TablePersons() const = 0;
  virtual const TablePerson* SelectedPerson() const = 0;  // from the person list; may be null
  // recipient: a user id, -1 everybody; words: null for none.
  virtual void PreviewMagicAction(int32_t recipient, const CActionItem* item, const char* words) = 0;
  virtual void SendMagicAction(int32_t recipient, int16_t value, const CActionItem* item,
                               const char* words) = 0;
};

class CActionWordDlg : public winkit::Dialog {
 public:
  explicit CActionWordDlg(MagicActionHost* host) : Dialog(kTemplateActionWord), m_host(host) {}
  HWND CreateDlg(HWND parent);
  // Fills the recipients and shows the box beside the picker (picker: its window, or null).
  void ShowFor(CActionItem* item, HWND picker);
  // Another item while the box is open: recipient and words stay.
  void SetItem(CActionItem* item);
  const CActionItem* Item() const { return m_item; }

  BEGIN_MSG_MAP(CActionWordDlg)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  END_MSG_MAP()

 protected:
  void OnOK() override {}
  void OnCancel() override { ShowWindow(hwnd(), SW_HIDE); }

 private:
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnCommand(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  // The chosen recipient and the trimmed words; false when no recipient is selected.
  bool Choice(int32_t& recipient, std::string& words) const;
  // The buttons' pictures, read when the box first shows (a table that never opens it reads none).
  void LoadPictures();

  MagicActionHost* m_host;
  CActionItem* m_item = nullptr;
  BitmapPtr m_background;
  bool m_backgroundTried = false;
  CImageButton m_buttons[3];
  bool m_picturesLoaded = false;
};

class CActionSelectDlg : public winkit::Dialog {
 public:
  CActionSelectDlg(MagicActionHost* host, CActionWordDlg* words)
      : Dialog(kTemplateActionSelect), m_host(host), m_words(words) {}
  HWND CreateDlg(HWND parent);
  void ShowAtCorner(HWND tableWindow);
  const CImage_Preview& Grid() const { return m_grid; }

  BEGIN_MSG_MAP(CActionSelectDlg)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kMsgPageBack, OnPage)
    MESSAGE_HANDLER(kMsgPageForward, OnPage)
    MESSAGE_HANDLER(CImage_Preview::kMsgItemChosen, OnItemChosen)
  END_MSG_MAP()

 protected:
  void OnOK() override {}
  void OnCancel() override;

 private:
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnPage(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnItemChosen(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  // The grid's items and background and the page buttons, read when the picker first shows.
  void LoadPictures();

  MagicActionHost* m_host;
  CActionWordDlg* m_words;
  CImage_Preview m_grid;
  CPage_Buttons m_pages;
  std::vector<PreviewItem> m_previews;
  std::vector<CActionItem*> m_items;
  BitmapPtr m_background;
  bool m_backgroundTried = false;
  bool m_picturesLoaded = false;
};

}  // namespace framework_window
