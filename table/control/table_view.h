// The table model bound to a window: its drawing surface (GDI and GDI+ on the window or on a
// DC given for tests), its window timers, its tile sprites with the control's bitmaps, the
// button windows, the score list window and the skin pictures.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comm_mj_table.h"
#include "control_buttons.h"
#include "game_button.h"
#include "memory_bitmap.h"
#include "picture_scale.h"
#include "row_sprite_holder.h"
#include "table_list.h"
#include "winkit/handle.h"

namespace Gdiplus {
class Image;
class Bitmap;
}

namespace table_gdi {

// The control's tile bitmaps, icons and pictures, loaded from its resources. The handles below
// are what the sprites and buttons are given; each has its one owner in
// `ownedBitmaps` or `ownedIcons`.
struct TableImages {
  explicit TableImages(HMODULE module);
  ~TableImages();
  TableImages(const TableImages&) = delete;
  TableImages& operator=(const TableImages&) = delete;

  struct Set {
    HBITMAP faces[4] = {}, framesA[4] = {}, framesB[4] = {}, faceDown[4] = {};
  };
  Set small, large, medium;
  HBITMAP extra[5] = {};
  HICON dice[6] = {};
  HBITMAP strip = nullptr, grayStrip = nullptr, start = nullptr, diceButton = nullptr;
  std::map<int, HICON> icons;  // by resource id
  HBITMAP markImage[3] = {}, markMask[3] = {};  // by table::Mark
  sprites::BitmapSize meldArea;
  HMODULE module;

 private:
  HBITMAP Bitmap(int id);
  HICON Icon(int id, int size);

  std::vector<winkit::UniqueBitmap> ownedBitmaps;
  std::vector<winkit::UniqueIcon> ownedIcons;
};

// TableImages loaded on a thread of their own, from Start until Take: the control starts them
// when its window is made (the first table takes those its class started), so they load while
// its host goes on until the table is built.
class TableImagesAhead {
 public:
  TableImagesAhead() = default;
  TableImagesAhead(const TableImagesAhead&) = delete;
  TableImagesAhead& operator=(const TableImagesAhead&) = delete;
  ~TableImagesAhead();
  // The first table of the process takes the images read ahead by StartForFirstTable, if any.
  void Start(HMODULE module);
  // The images (waits for the thread); null when none were started or they were taken.
  std::unique_ptr<TableImages> Take();

  // Once a process: the images of the module read on a thread from now on (when the class is
  // first asked for), for the first table made. The thread holds the module until it ends.
  static void StartForFirstTable(HMODULE module);

 private:
  void StartThread(HMODULE module);

  HANDLE thread_ = nullptr;
  HMODULE module_ = nullptr;
  HMODULE held_ = nullptr;  // the thread's hold on the library
  std::unique_ptr<TableImages> images_;
  TableImagesAhead* from_ = nullptr;  // the first table's images, taken from there
};

// Every file the table reads from the skin directory it is given: the avatar skin's pictures,
// the clock's digits and the magic-action button's two pictures.
std::vector<std::string> SkinFileNames();

// The avatar skin's pictures (GDI+ images from the skin directory). Each is read the first time
// it is asked for: an empty table shows only the centre, and the rest (the melds, the faces, the
// marks, the clock's digits) wait until a hand needs them instead of holding up its first showing.
// The centre, the largest and needed first, is read on a thread of its own from Load on, while the
// table is still being set up, and its pixels taken out there too for the table's own stretch.
struct AvatarSkin {
  AvatarSkin() = default;
  // Loads `gbkPath` at once when it is not empty.
  explicit AvatarSkin(const std::string& gbkPath) {
    if (!gbkPath.empty()) Load(gbkPath);
  }
  AvatarSkin(const AvatarSkin&) = delete;
  AvatarSkin& operator=(const AvatarSkin&) = delete;
  ~AvatarSkin();
  void Load(const std::string& gbkPath);
  void Clear();
  Gdiplus::Image* Get(table::SkinImage image) const;
  bool LoadedFrom(const std::string& gbkPath) const { return loaded_ && path_ == gbkPath; }
  // The clock's size (its picture is read for it).
  sprites::BitmapSize ClockSize() const;
  // The centre's pixels, premultiplied (null when the centre did not load).
  const table::PremultipliedPicture* CentrePixels() const;

 private:
  // Reads a picture of the skin; null when the file does not load.
  static Gdiplus::Image* Read(const std::string& path, int key);
  // Takes the centre from its thread (waits for it).
  void JoinCentre() const;

  std::string path_;
  bool loaded_ = false;
  mutable std::map<int, Gdiplus::Image*> images_;  // by SkinImage; null: the file did not load
  mutable HANDLE centreThread_ = nullptr;
  mutable Gdiplus::Image* centreAhead_ = nullptr;  // the thread's, until it has ended
  mutable table::PremultipliedPicture centrePixels_;  // the thread's too, until it has ended
};

class TableView : public table::TableSurface,
                  public table::TimerHost,
                  public table::HolderFactory {
 public:
  // `skinPath` is the skin CreateWindows and LoadAvatarSkin will be given: its action button's
  // pictures and its centre are read on threads from here on, while the tile pictures load (or
  // are taken from `images`).
  TableView(HWND owner, HMODULE module, bool bigScreen, const std::string& skinPath = {},
            std::unique_ptr<TableImages> images = nullptr);
  ~TableView() override;
  TableView(const TableView&) = delete;
  TableView& operator=(const TableView&) = delete;

  table::CCommMjTable& model() { return *m_pModel; }
  HWND owner() const { return m_hOwner; }

  // The buttons and the score list as child windows of the owner (what InitTable does after
  // the model exists), and the tooltips of the tool buttons.
  // The magic-action button takes its pictures from the skin path.
  void CreateWindows(const std::string& skinPath);
  // The tooltips of the tool buttons and of the action button (again after CreateWindows). They
  // show only under a pointer resting on a button, and each costs a window: the control makes
  // them once the table is on screen.
  void CreateTips();
  void LoadAvatarSkin(const std::string& gbkPath);
  // Drawing goes to this DC instead of the window's (tests); null returns to the window.
  void SetDrawTarget(HDC dc) { m_hTarget = dc; }
  void SetBkBitmap(HBITMAP bitmap);
  // A picture given through COM: a bitmap of positive size becomes the background pattern (the
  // table keeps its own copy); anything else returns to the bitmap kept before, or the colour.
  void SetBkPicture(IPicture* picture);
  // The table, the wall and every tile area in one colour again.
  void SetBkColor(COLORREF color);

  // Messages of the owner window.
  void OnEraseBackground(HDC dc);
  void OnSize(int width, int height);
  bool OnDrawItem(const DRAWITEMSTRUCT* dis);

  CGameButtonEx* Button(int id);
  CTableList& ScoreListWindow() { return m_List; }
  CControl_Buttons& ActionButton() { return m_Action; }
  HDC BackgroundDc() const { return m_Bk ? m_Bk->Dc() : nullptr; }
  // A picture of the avatar skin (null when it did not load).
  Gdiplus::Image* SkinPicture(table::SkinImage image) const { return m_Skin.Get(image); }

  // TableSurface
  table::Rect ClientRect() const override;
  sprites::BitmapSize ClockSize() const override { return m_Skin.ClockSize(); }
  sprites::BitmapSize MeldAreaSize() const override { return m_Images.meldArea; }
  void ComposeBackground(const table::Rect& client,
                         const std::vector<table::TextRun>& texts) override;
  void RestoreBackground(const table::Rect& r) override;
  void DrawHolder(sprites::SpriteHolderCore& holder, const table::Rect& r) override;
  void DrawHolderParts(sprites::SpriteHolderCore& holder, const table::Rect& whole,
                       const std::vector<table::Rect>& parts) override;
  void DrawMark(table::Mark mark, const table::Rect& r) override;
  bool HasMark(table::Mark mark) const override;
  void DrawImage(table::SkinImage image, const table::Rect& r, float opacity) override;
  void DrawFadedImage(table::SkinImage image, int32_t x, int32_t y, float opacity) override;
  void PlaySound(table::Sound sound, int times) override;
  void ButtonChanged(int id) override;
  void ScoreListChanged() override;
  int32_t MeasureLineHeight(const std::string& text) override;

  // TimerHost
  void SetTimer(uint32_t id, uint32_t periodMs) override;
  void KillTimer(uint32_t id) override;

  // HolderFactory
  std::unique_ptr<sprites::SpriteHolderCore> NewHolder() override;
  void CreateSprite(sprites::SpriteHolderCore& holder, const table::SpriteSpec& spec) override;

 private:
  class TargetDc;
  void BuildMarks(HDC reference);
  void DrawSkinImage(HDC dc, Gdiplus::Image* image, const table::Rect& r, float opacity);

  HWND m_hOwner;
  HDC m_hTarget = nullptr;
  bool m_bBig;
  // GDI+ for the view's life: started before any picture below is read, shut down after the
  // last one went.
  struct GdiplusSession {
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ULONG_PTR token = 0;
  } m_Gdiplus;
  // The action button's pictures read ahead on a thread (CreateWindows takes them).
  struct ActionPrefetch {
    explicit ActionPrefetch(const std::string& skinPath) { Start(skinPath); }
    ActionPrefetch(const ActionPrefetch&) = delete;
    ActionPrefetch& operator=(const ActionPrefetch&) = delete;
    ~ActionPrefetch();
    void Start(const std::string& skinPath);
    // Waits for the thread; the pictures wait for their LoadPicture.
    void Finish();
    HANDLE thread = nullptr;
    std::vector<std::string> paths;
  } m_Prefetch;
  // The skin given to the constructor starts loading there (its centre on a thread).
  AvatarSkin m_Skin;
  std::unique_ptr<TableImages> m_pImages;
  TableImages& m_Images;
  std::vector<sprites::RowSpriteHolder*> m_Holders;
  std::unique_ptr<table::CCommMjTable> m_pModel;

  // The composed background: a bitmap selected into a memory DC, and the same picture for
  // the sprites (over the bitmap's bits, so it goes first).
  std::unique_ptr<MemoryBitmap> m_Bk;
  int m_nBkW = 0, m_nBkH = 0;
  std::unique_ptr<Gdiplus::Bitmap> m_pComposed;
  // What the composed background was made from: it is composed again only when the size, the
  // texts, their colour, the centre picture or the brush changed (m_bBkStale).
  std::vector<table::TextRun> m_ComposedTexts;
  COLORREF m_nComposedTextColor = 0;
  Gdiplus::Image* m_pComposedCentre = nullptr;
  bool m_bBkStale = true;
  winkit::UniqueBrush m_hBrush;
  HBITMAP m_hPattern = nullptr;  // kept, not owned
  winkit::UniqueBitmap m_hPictureCopy;  // the copy of the last SetBkPicture's bitmap
  winkit::UniqueBitmap m_Marks[3];      // the marks over the table's brush
  winkit::UniqueBitmap m_SkinMarks[3];  // the skin's marks, premultiplied
  winkit::UniqueFont m_hFont, m_hFontVertical;
  // The centre picture stretched to the window.
  void DropCentre();
  std::unique_ptr<MemoryBitmap> m_Centre;
  int m_nCentreW = 0, m_nCentreH = 0;
  Gdiplus::Image* m_pCentreOf = nullptr;

  std::map<int, std::unique_ptr<CGameButtonEx>> m_Buttons;
  std::map<int, table::ButtonState> m_Applied;  // what each button window shows
  HWND m_hToolTip = nullptr;
  CTableList m_List;  // draws with m_hFont: declared after it
  CControl_Buttons m_Action;
};

}  // namespace table_gdi
