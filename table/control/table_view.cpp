#include "table_view.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <olectl.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>

#include "gdi_plus.h"
#include "resource_ids.h"
#include "table_texts.h"
#include "winkit/dib.h"
#include "winkit/gbk.h"

namespace table_gdi {

using table::Rect;
using table::Height;
using table::IsEmpty;
using table::Width;

namespace {

winkit::UniqueBitmap LoadBitmapResource(HMODULE module, int id) {
  return winkit::UniqueBitmap(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

winkit::UniqueIcon LoadIconResource(HMODULE module, int id, int size) {
  return winkit::UniqueIcon(
      static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

// An image and its mask side by side, as the sprites' mask composition takes them.
winkit::UniqueBitmap SideBySide(HDC reference, HBITMAP image, HBITMAP mask) {
  BITMAP bi{}, bm{};
  if (!image || !mask || !GetObjectW(image, sizeof bi, &bi) || !GetObjectW(mask, sizeof bm, &bm))
    return {};
  winkit::UniqueBitmap both(CreateCompatibleBitmap(reference, bi.bmWidth * 2, bi.bmHeight));
  {
    const winkit::UniqueDc dst(CreateCompatibleDC(reference)), src(CreateCompatibleDC(reference));
    const winkit::SelectedObject into(dst.Get(), both.Get());
    winkit::SelectedObject from(src.Get(), image);
    BitBlt(dst.Get(), 0, 0, bi.bmWidth, bi.bmHeight, src.Get(), 0, 0, SRCCOPY);
    from.Select(mask);
    BitBlt(dst.Get(), bi.bmWidth, 0, bi.bmWidth, bi.bmHeight, src.Get(), 0, 0, SRCCOPY);
  }
  return both;
}

const char* const kSkinFiles[] = {
    "board.png", "eat.png",    "peng.png",   "gang.png",   "hu.png",
    "clock.png", "center.png", "ting.png",   "zhuang.png", "ready.png",
    "angry1.png", "angry2.png", "laugh1.png", "laugh2.png"};

// A picture drawn at w x h into a 32-bit top-down DIB with premultiplied alpha.
winkit::UniqueBitmap PremultipliedCopy(Gdiplus::Image* image, int w, int h) {
  if (!image) return {};
  void* bits = nullptr;
  winkit::UniqueBitmap dib(winkit::CreateTopDownDib32(w, h, &bits));
  if (!dib) return {};
  Gdiplus::Bitmap target(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
  Gdiplus::Graphics g(&target);
  g.Clear(Gdiplus::Color(0, 0, 0, 0));
  g.DrawImage(image, Gdiplus::Rect(0, 0, w, h));
  return dib;
}

// A picture's pixels as premultiplied ARGB; empty when GDI+ cannot give them.
table::PremultipliedPicture PremultipliedPixels(Gdiplus::Image* image) {
  table::PremultipliedPicture out;
  if (!image || image->GetType() != Gdiplus::ImageTypeBitmap) return out;
  const int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
  if (w < 1 || h < 1) return out;
  Gdiplus::BitmapData data{};
  const Gdiplus::Rect all(0, 0, w, h);
  // Read as a bitmap (see Read), so the cast holds.
  auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
      Gdiplus::Ok)
    return out;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(pixels.data() + static_cast<size_t>(y) * w,
                static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                static_cast<size_t>(w) * 4);
  bitmap->UnlockBits(&data);
  out.width = w;
  out.height = h;
  out.pixels = std::move(pixels);
  return out;
}

const char kActionPicture[] = "Action.bmp";
const char kActionGrayPicture[] = "Action_gray.bmp";

}  // namespace

std::vector<std::string> SkinFileNames() {
  std::vector<std::string> names(std::begin(kSkinFiles), std::end(kSkinFiles));
  for (int d = 0; d < 10; ++d) names.push_back(std::to_string(d) + ".ico");
  names.push_back(kActionPicture);
  names.push_back(kActionGrayPicture);
  return names;
}

// ------------------------------------------------------------------------------------------

TableImages::TableImages(HMODULE m) : module(m) {
  for (int a = 0; a < 4; ++a) {
    small.faces[a] = Bitmap(IDB_FACES_SMALL + a);
    small.framesA[a] = Bitmap(IDB_FRAMES_A_SMALL + a);
    small.framesB[a] = Bitmap(IDB_FRAMES_B_SMALL + a);
    small.faceDown[a] = Bitmap(IDB_DOWN_SMALL + a);
  }
  large.faces[0] = Bitmap(IDB_FACES_LARGE);
  large.framesA[0] = Bitmap(IDB_FRAME_A_LARGE);
  large.framesB[0] = Bitmap(IDB_FRAME_B_LARGE);
  large.faceDown[0] = Bitmap(IDB_DOWN_LARGE);
  medium.faces[0] = Bitmap(IDB_FACES_MEDIUM);
  medium.framesA[0] = Bitmap(IDB_FRAME_A_MEDIUM);
  medium.framesB[0] = Bitmap(IDB_FRAME_B_MEDIUM);
  medium.faceDown[0] = Bitmap(IDB_DOWN_MEDIUM);
  for (int k = 0; k < 5; ++k) extra[k] = Bitmap(IDB_EXTRA + k);
  for (int k = 0; k < 6; ++k) dice[k] = Icon(IDI_DICE + k, 0);
  strip = Bitmap(IDB_ACTION_STRIP);
  grayStrip = Bitmap(IDB_ACTION_STRIP_GRAY);
  start = Bitmap(IDB_START);
  diceButton = Bitmap(IDB_DICE_BUTTON);
  for (int id : {IDI_425, IDI_426, IDI_SAVE, IDI_AUTO_SEND, IDI_NEXT, IDI_PAUSE, IDI_418, IDI_424,
                 IDI_SETUP, IDI_EXIT})
    icons[id] = Icon(id, 32);
  const int markIds[3][2] = {{IDB_READY, IDB_READY_MASK},
                             {IDB_BANKER, IDB_BANKER_MASK},
                             {IDB_READY_HAND, IDB_READY_HAND_MASK}};
  for (int k = 0; k < 3; ++k) {
    markImage[k] = Bitmap(markIds[k][0]);
    markMask[k] = Bitmap(markIds[k][1]);
  }
  meldArea = sprites::MeasureBitmap(LoadBitmapResource(m, IDB_MELD_AREA).Get());
}

TableImages::~TableImages() = default;

HBITMAP TableImages::Bitmap(int id) {
  return ownedBitmaps.emplace_back(LoadBitmapResource(module, id)).Get();
}

HICON TableImages::Icon(int id, int size) {
  return ownedIcons.emplace_back(LoadIconResource(module, id, size)).Get();
}

namespace {

// The images read for the first table of the process: made once and never freed (the first
// table takes its images, or they stay with the process).
std::atomic<TableImagesAhead*> g_firstTable{nullptr};
std::atomic<bool> g_firstTableTaken{false};
std::once_flag g_firstTableOnce;

}  // namespace

void TableImagesAhead::StartForFirstTable(HMODULE module) {
  std::call_once(g_firstTableOnce, [module] {
    auto* first = new TableImagesAhead;
    first->StartThread(module);
    if (first->thread_)
      g_firstTable = first;
    else
      delete first;
  });
}

void TableImagesAhead::Start(HMODULE module) {
  Take();
  TableImagesAhead* first = g_firstTable.load();
  if (first && !g_firstTableTaken.exchange(true)) {
    from_ = first;
    return;
  }
  StartThread(module);
}

void TableImagesAhead::StartThread(HMODULE module) {
  // The thread keeps the library loaded until it has returned out of it (the first table's
  // images may still be loading when a host lets the library go).
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&StartForFirstTable), &held_))
    return;
  module_ = module;
  thread_ = CreateThread(
      nullptr, 0,
      [](void* self) WINAPI -> DWORD {
        auto* ahead = static_cast<TableImagesAhead*>(self);
        const HMODULE held = ahead->held_;
        ahead->images_ = std::make_unique<TableImages>(ahead->module_);
        FreeLibraryAndExitThread(held, 0);
      },
      this, 0, nullptr);
  if (!thread_) FreeLibrary(held_);
}

std::unique_ptr<TableImages> TableImagesAhead::Take() {
  if (from_) {
    TableImagesAhead* first = from_;
    from_ = nullptr;
    return first->Take();
  }
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return std::move(images_);
}

TableImagesAhead::~TableImagesAhead() { Take(); }

AvatarSkin::~AvatarSkin() { Clear(); }

void AvatarSkin::Clear() {
  JoinCentre();
  centrePixels_ = {};
  for (auto& [k, image] : images_) delete image;
  images_.clear();
  path_.clear();
  loaded_ = false;
}

void AvatarSkin::Load(const std::string& path) {
  Clear();
  path_ = path;
  loaded_ = true;
  centreThread_ = CreateThread(
      nullptr, 0,
      [](void* self) WINAPI -> DWORD {
        auto* skin = static_cast<AvatarSkin*>(self);
        skin->centreAhead_ = Read(skin->path_, static_cast<int>(table::SkinImage::Center));
        skin->centrePixels_ = PremultipliedPixels(skin->centreAhead_);
        return 0;
      },
      this, 0, nullptr);
}

void AvatarSkin::JoinCentre() const {
  if (!centreThread_) return;
  WaitForSingleObject(centreThread_, INFINITE);
  CloseHandle(centreThread_);
  centreThread_ = nullptr;
  images_[static_cast<int>(table::SkinImage::Center)] = centreAhead_;
  centreAhead_ = nullptr;
}

Gdiplus::Image* AvatarSkin::Get(table::SkinImage image) const {
  const int key = static_cast<int>(image);
  if (!loaded_) return nullptr;
  if (key == static_cast<int>(table::SkinImage::Center)) JoinCentre();
  if (auto it = images_.find(key); it != images_.end()) return it->second;
  Gdiplus::Image* picture = Read(path_, key);
  images_[key] = picture;
  return picture;
}

Gdiplus::Image* AvatarSkin::Read(const std::string& path, int key) {
  std::string name;
  if (key >= 0 && key < static_cast<int>(std::size(kSkinFiles)))
    name = kSkinFiles[key];
  else if (key >= static_cast<int>(table::SkinImage::Digit0) &&
           key < static_cast<int>(table::SkinImage::Digit0) + 10)
    name = std::to_string(key - static_cast<int>(table::SkinImage::Digit0)) + ".ico";
  if (name.empty()) return nullptr;
  const std::wstring file = winkit::GbkToWide(path + "\\" + name);
  // Every picture is read as a bitmap: the centre's pixels are taken from it.
  Gdiplus::Image* picture = Gdiplus::Bitmap::FromFile(file.c_str());
  // A file that does not load leaves its picture out.
  if (picture && (picture->GetLastStatus() != Gdiplus::Ok || picture->GetWidth() == 0)) {
    delete picture;
    picture = nullptr;
  }
  return picture;
}

const table::PremultipliedPicture* AvatarSkin::CentrePixels() const {
  if (!loaded_) return nullptr;
  JoinCentre();
  return centrePixels_.Empty() ? nullptr : &centrePixels_;
}

sprites::BitmapSize AvatarSkin::ClockSize() const {
  Gdiplus::Image* c = Get(table::SkinImage::Clock);
  if (!c) return {};
  return {static_cast<int32_t>(c->GetWidth()), static_cast<int32_t>(c->GetHeight())};
}

// ------------------------------------------------------------------------------------------

// The DC drawing goes to: the test's, or the window's for the call.
class TableView::TargetDc {
 public:
  explicit TargetDc(const TableView& v) : m_hDc(v.m_hTarget) {
    if (!m_hDc) m_hDc = m_Window.emplace(v.m_hOwner).Get();
  }
  HDC get() const { return m_hDc; }

 private:
  std::optional<winkit::WindowDc> m_Window;  // the window's, when no DC was given
  HDC m_hDc;
};

TableView::GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

TableView::GdiplusSession::~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }

void TableView::ActionPrefetch::Start(const std::string& skinPath) {
  Finish();
  if (skinPath.empty()) return;
  paths = {skinPath + "\\" + kActionGrayPicture, skinPath + "\\" + kActionPicture};
  thread = CreateThread(
      nullptr, 0,
      [](void* self) WINAPI -> DWORD {
        framework_window::PreloadPictures(static_cast<ActionPrefetch*>(self)->paths);
        return 0;
      },
      this, 0, nullptr);
}

void TableView::ActionPrefetch::Finish() {
  if (!thread) return;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  thread = nullptr;
}

TableView::ActionPrefetch::~ActionPrefetch() {
  Finish();
  // Pictures nobody took go before GDI+ shuts down.
  framework_window::DropPreloadedPictures();
}

TableView::TableView(HWND owner, HMODULE module, bool bigScreen, const std::string& skinPath,
                     std::unique_ptr<TableImages> images)
    : m_hOwner(owner),
      m_bBig(bigScreen),
      m_Prefetch(skinPath),
      m_Skin(skinPath),
      m_pImages(images ? std::move(images) : std::make_unique<TableImages>(module)),
      m_Images(*m_pImages) {
  const std::wstring face = winkit::GbkToWide(table::texts::kFontFace);
  m_hFont.Reset(CreateFontW(12, 6, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH, face.c_str()));
  m_hFontVertical.Reset(CreateFontW(12, 6, 900, 900, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, face.c_str()));
  m_pModel = std::make_unique<table::CCommMjTable>(*this, *this, *this, bigScreen);
  static_cast<sprites::RowSpriteHolder&>(m_pModel->Wall()).SetImages(m_Images.dice);
}

TableView::~TableView() {
  // The model's timers and sprites go first; they use the pictures below.
  m_pModel.reset();
  m_Holders.clear();
  m_Buttons.clear();
  if (m_hToolTip) DestroyWindow(m_hToolTip);
  m_List.Destroy();
  m_Action.Destroy();
  // The GDI+ picture over the background's bits before the bitmap; the brush, the marks and the
  // fonts go with the members.
  m_pComposed.reset();
  DropCentre();
  m_Bk.reset();
  m_Skin.Clear();  // GDI+ pictures go before GDI+ shuts down (m_Gdiplus, the first member)
}

void TableView::CreateWindows(const std::string& skinPath) {
  using namespace table;
  struct ButtonDef {
    int id;
    const char* text;
    bool visible;
  };
  const ButtonDef defs[] = {
      {kButtonSend, "", true},   {kButtonGuo, "", true},   {kButtonTing, "", true},
      {kButtonChi, "", true},    {kButtonStart, "", true}, {kButtonPeng, "", true},
      {kButtonGang, "", true},   {kButtonSave, texts::kButtonSave, false},
      {kButtonAutoSend, texts::kButtonAutoSend, false},    {kButtonHu, "", true},
      {kButtonPause, texts::kButtonPause, false},          {kButtonDice, "", true},
      {kButtonNext, texts::kButtonNext, false},            {kButtonSetup, texts::kButtonSetup, false},
      {kButtonExit, texts::kButtonExit, false}};
  m_Buttons.clear();
  for (const auto& d : defs) {
    auto b = std::make_unique<CGameButtonEx>();
    if (!b->Create(m_hOwner, d.id, winkit::GbkToWide(d.text), d.visible)) continue;
    b->SetBkColor(m_pModel->bkColor);
    b->SetParentPicture(BackgroundDc());
    const int frame = ActionFrame(d.id);
    if (frame >= 0) b->SetBitmaps(m_Images.strip, m_Images.grayStrip, 7, frame);
    switch (d.id) {
      case kButtonStart: b->SetBitmaps(m_Images.start, nullptr, 1, 0); break;
      case kButtonDice: b->SetBitmaps(m_Images.diceButton, nullptr, 1, 0); break;
      case kButtonSave: b->SetIcon(m_Images.icons[IDI_SAVE]); break;
      case kButtonAutoSend: b->SetIcon(m_Images.icons[IDI_AUTO_SEND]); break;
      case kButtonPause: b->SetIcon(m_Images.icons[IDI_PAUSE]); break;
      case kButtonNext: b->SetIcon(m_Images.icons[IDI_NEXT]); break;
      case kButtonSetup: b->SetIcon(m_Images.icons[IDI_SETUP]); break;
      case kButtonExit: b->SetIcon(m_Images.icons[IDI_EXIT]); break;
      default: break;
    }
    if (d.id == kButtonAutoSend || d.id == kButtonPause) b->SetCheckMode(true, false);
    m_Buttons[d.id] = std::move(b);
    m_Applied.erase(d.id);
  }

  // The buttons' tooltips are made by CreateTips.
  if (m_hToolTip) DestroyWindow(m_hToolTip);
  m_hToolTip = nullptr;

  // The magic-action button: the gray picture is its look, the coloured one its highlight.
  m_Action.Destroy();
  m_Prefetch.Finish();
  if (m_Action.Create(m_hOwner, kButtonAction)) {
    m_Action.LoadImages((skinPath + "\\" + kActionGrayPicture).c_str(),
                        (skinPath + "\\" + kActionPicture).c_str(), 1, 1);
    m_Action.AddTip(texts::kActionTip);
    m_Action.SetOwner(m_hOwner);
  }
  // Pictures read ahead for another skin are not kept.
  framework_window::DropPreloadedPictures();
  m_Applied.erase(kButtonAction);

  m_List.Destroy();
  m_List.Create(m_hOwner, 201);
  m_List.SetFont(m_hFont.Get());
  m_List.SetContents(&m_pModel->ScoreList());
  m_List.Attach(LoadBitmapResource(m_Images.module, IDB_LIST_LEFT),
                LoadBitmapResource(m_Images.module, IDB_LIST_MID),
                LoadBitmapResource(m_Images.module, IDB_LIST_RIGHT));
  ShowWindow(m_List.hwnd(), SW_HIDE);
}

void TableView::CreateTips() {
  using table::kToolButtons;
  // Tooltips of the four tool buttons, with their window texts.
  if (m_hToolTip) DestroyWindow(m_hToolTip);
  m_hToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, m_hOwner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  for (int id : kToolButtons) {
    CGameButtonEx* b = Button(id);
    if (!b || !m_hToolTip) continue;
    wchar_t text[21] = {};
    GetWindowTextW(b->hwnd(), text, 21);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = m_hOwner;
    ti.uId = reinterpret_cast<UINT_PTR>(b->hwnd());
    ti.lpszText = text;
    SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    b->SetToolTip(m_hToolTip);
  }
  if (m_Action.hwnd()) m_Action.CreateTips();
}

void TableView::LoadAvatarSkin(const std::string& gbkPath) {
  DropCentre();
  for (winkit::UniqueBitmap& m : m_SkinMarks) m.Reset();
  // The skin the view was made with is loading already.
  if (!m_Skin.LoadedFrom(gbkPath)) m_Skin.Load(gbkPath);
  m_pModel->avatarLook = true;
  m_bBkStale = true;
}

void TableView::SetBkBitmap(HBITMAP bitmap) {
  if (!bitmap) return;
  m_hPattern = bitmap;
  m_pModel->bkIsBitmap = true;
  m_hBrush.Reset(CreatePatternBrush(bitmap));
  m_bBkStale = true;
  for (auto* h : m_Holders) h->SetBkBitmap(bitmap);
  for (winkit::UniqueBitmap& m : m_Marks) m.Reset();
}

void TableView::SetBkPicture(IPicture* picture) {
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (picture && SUCCEEDED(picture->get_Width(&w)) && SUCCEEDED(picture->get_Height(&h)) &&
      w > 0 && h > 0 && SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle)) && handle) {
    // The picture may go before the table: the pattern is a copy of its bitmap.
    winkit::UniqueBitmap copy(static_cast<HBITMAP>(CopyImage(
        reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0)));
    if (copy) {
      SetBkBitmap(copy.Get());
      m_hPictureCopy = std::move(copy);  // the copy before goes
      return;
    }
  }
  if (m_pModel->bkIsBitmap && m_hPattern) {
    SetBkBitmap(m_hPattern);
  } else {
    SetBkColor(m_pModel->bkColor);
  }
}

void TableView::SetBkColor(COLORREF color) {
  m_pModel->SetBkColor(color);
  m_hPattern = nullptr;
  m_hBrush.Reset(CreateSolidBrush(color));
  m_bBkStale = true;
  for (auto* h : m_Holders) h->SetBkColor(color);
  // The marks were composed over the old background.
  for (winkit::UniqueBitmap& m : m_Marks) m.Reset();
  for (auto& [id, b] : m_Buttons) b->SetBkColor(color);
}

CGameButtonEx* TableView::Button(int id) {
  auto it = m_Buttons.find(id);
  return it == m_Buttons.end() ? nullptr : it->second.get();
}

void TableView::BuildMarks(HDC reference) {
  for (int k = 0; k < 3; ++k) {
    if (m_Marks[k]) continue;
    const winkit::UniqueBitmap both =
        SideBySide(reference, m_Images.markImage[k], m_Images.markMask[k]);
    if (!both) continue;
    m_Marks[k] = sprites::ComposeMasked(reference, both.Get(), m_hBrush.Get());
  }
}

void TableView::OnEraseBackground(HDC dc) {
  HDC keep = m_hTarget;
  if (dc) m_hTarget = dc;
  if (!m_hBrush) {
    if (m_pModel->bkIsBitmap && m_hPattern) m_hBrush.Reset(CreatePatternBrush(m_hPattern));
    else m_hBrush.Reset(CreateSolidBrush(m_pModel->bkColor));
    m_bBkStale = true;
    static_cast<sprites::RowSpriteHolder&>(m_pModel->Wall()).SetBkColor(m_pModel->bkColor);
  }
  BuildMarks(dc ? dc : BackgroundDc());
  m_pModel->RedrawTable();
  m_hTarget = keep;
}

void TableView::OnSize(int, int) {
  // A new size is a new layout: the whole table is drawn again from it (background, wall, seats
  // and buttons), so nothing drawn for the old layout stays.
  OnEraseBackground(nullptr);
}

bool TableView::OnDrawItem(const DRAWITEMSTRUCT* dis) {
  if (!dis) return false;
  CGameButtonEx* b = Button(static_cast<int>(dis->CtlID));
  if (!b) return false;
  b->DrawItem(*dis);
  return true;
}

// ------------------------------------------------------------------------------------------
// Surface

Rect TableView::ClientRect() const {
  RECT r{};
  GetClientRect(m_hOwner, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TableView::ComposeBackground(const Rect& client, const std::vector<table::TextRun>& texts) {
  const int w = std::max(1, Width(client)), h = std::max(1, Height(client));
  Gdiplus::Image* centre = m_Skin.Get(table::SkinImage::Center);
  // A redraw with the same size, texts and background finds the picture made already.
  if (w == m_nBkW && h == m_nBkH && BackgroundDc() && m_hBrush && !m_bBkStale &&
      m_nComposedTextColor == m_pModel->textColor && m_pComposedCentre == centre &&
      texts == m_ComposedTexts)
    return;
  if (w != m_nBkW || h != m_nBkH || !BackgroundDc()) {
    m_pComposed.reset();
    m_Bk.reset();
    void* bits = nullptr;
    winkit::UniqueBitmap bitmap(winkit::CreateTopDownDib32(w, h, &bits));
    m_Bk = std::make_unique<MemoryBitmap>(nullptr, std::move(bitmap));
    m_nBkW = w;
    m_nBkH = h;
    m_pComposed = std::make_unique<Gdiplus::Bitmap>(w, h, w * 4, PixelFormat32bppRGB,
                                                    static_cast<BYTE*>(bits));
    for (auto& [id, b] : m_Buttons) b->SetParentPicture(BackgroundDc());
  }
  const HDC bk = BackgroundDc();
  const RECT all{0, 0, w, h};
  if (!m_hBrush) m_hBrush.Reset(CreateSolidBrush(m_pModel->bkColor));
  if (centre) {
    // The centre picture stretched once per size; every repaint copies it.
    if (!m_Centre || !m_Centre->Dc() || m_nCentreW != w || m_nCentreH != h ||
        m_pCentreOf != centre) {
      DropCentre();
      void* bits = nullptr;
      winkit::UniqueBitmap stretched(winkit::CreateTopDownDib32(w, h, &bits));
      const table::PremultipliedPicture* pixels = m_Skin.CentrePixels();
      if (stretched && pixels) {
        // Stretched by our own code (GDI+ resamples pixel by pixel where it is emulated). The
        // picture lies over black where it is transparent, as over a fresh bitmap: that is its
        // premultiplied colour.
        auto* out = static_cast<uint32_t*>(bits);
        table::ScaleBilinear(pixels->pixels.data(), pixels->width, pixels->height, out, w, h);
        table::LayOverBlack(out, static_cast<size_t>(w) * h);
        m_Centre = std::make_unique<MemoryBitmap>(bk, std::move(stretched));
      } else {
        m_Centre = std::make_unique<MemoryBitmap>(
            bk, winkit::UniqueBitmap(CreateCompatibleBitmap(bk, w, h)));
        Gdiplus::Graphics g(m_Centre->Dc());
        g.DrawImage(centre, Gdiplus::Rect(0, 0, w, h));
      }
      m_nCentreW = w;
      m_nCentreH = h;
      m_pCentreOf = centre;
    }
  }
  // The centre, where there is one, covers the whole picture (black where it is transparent):
  // the background colour or pattern shows only without it.
  if (centre && m_Centre && m_Centre->Dc())
    BitBlt(bk, 0, 0, w, h, m_Centre->Dc(), 0, 0, SRCCOPY);
  else
    FillRect(bk, &all, m_hBrush.Get());
  {
    const winkit::SelectedObject font(bk, m_hFont.Get());
    SetBkMode(bk, TRANSPARENT);
    SetTextColor(bk, m_pModel->textColor);
    for (const auto& t : texts) {
      const std::wstring s = winkit::GbkToWide(t.text);
      TextOutW(bk, t.x, t.y, s.c_str(), static_cast<int>(s.size()));
    }
  }
  GdiFlush();
  m_ComposedTexts = texts;
  m_nComposedTextColor = m_pModel->textColor;
  m_pComposedCentre = centre;
  m_bBkStale = false;
  for (auto* holder : m_Holders) {
    holder->SetBkImage(m_pComposed.get());
    holder->SetBkDc(bk);
  }
}

void TableView::DropCentre() {
  m_Centre.reset();
  m_pCentreOf = nullptr;
}

void TableView::RestoreBackground(const Rect& r) {
  if (!BackgroundDc() || IsEmpty(r)) return;
  TargetDc dc(*this);
  BitBlt(dc.get(), r.left, r.top, Width(r), Height(r), BackgroundDc(), r.left, r.top, SRCCOPY);
}

void TableView::DrawHolder(sprites::SpriteHolderCore& holder, const Rect& r) {
  TargetDc dc(*this);
  const RECT rc = ToRect(r);
  static_cast<sprites::RowSpriteHolder&>(holder).Draw(dc.get(), &rc);
}

void TableView::DrawHolderParts(sprites::SpriteHolderCore& holder, const Rect& whole,
                                const std::vector<Rect>& parts) {
  TargetDc dc(*this);
  auto& h = static_cast<sprites::RowSpriteHolder&>(holder);
  const RECT w = ToRect(whole);
  if (parts.size() == 1) {
    const RECT p = ToRect(parts[0]);
    h.DrawTwoParts(dc.get(), &w, &p);
  } else if (parts.size() >= 2) {
    const RECT a = ToRect(parts[0]), b = ToRect(parts[1]);
    h.DrawThreeParts(dc.get(), &w, &a, &b);
  }
}

namespace {
table::SkinImage SkinOfMark(table::Mark m) {
  switch (m) {
    case table::Mark::Ready: return table::SkinImage::Ready;
    case table::Mark::Banker: return table::SkinImage::Zhuang;
    default: return table::SkinImage::Ting;
  }
}
}  // namespace

bool TableView::HasMark(table::Mark mark) const {
  if (m_pModel && m_pModel->avatarLook) return m_Skin.Get(SkinOfMark(mark)) != nullptr;
  return m_Images.markImage[static_cast<int>(mark)] != nullptr;
}

void TableView::DrawMark(table::Mark mark, const Rect& r) {
  TargetDc dc(*this);
  if (m_pModel->avatarLook) {
    // The skin's marks as premultiplied bitmaps, blended by GDI (GDI+ is slow per call).
    winkit::UniqueBitmap& cached = m_SkinMarks[static_cast<int>(mark)];
    if (!cached) cached = PremultipliedCopy(m_Skin.Get(SkinOfMark(mark)), 27, 27);
    if (!cached) return;
    const winkit::UniqueDc src(CreateCompatibleDC(dc.get()));
    const winkit::SelectedObject selected(src.Get(), cached.Get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc.get(), r.left, r.top, 27, 27, src.Get(), 0, 0, 27, 27, blend);
    return;
  }
  BuildMarks(dc.get());
  const HBITMAP m = m_Marks[static_cast<int>(mark)].Get();
  if (!m) return;
  const winkit::UniqueDc src(CreateCompatibleDC(dc.get()));
  const winkit::SelectedObject selected(src.Get(), m);
  BitBlt(dc.get(), r.left, r.top, 27, 27, src.Get(), 0, 0, SRCCOPY);
}

void TableView::DrawSkinImage(HDC dc, Gdiplus::Image* image, const Rect& r, float opacity) {
  if (!image || IsEmpty(r)) return;
  Gdiplus::Graphics g(dc);
  Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                  {0, 1, 0, 0, 0},
                                  {0, 0, 1, 0, 0},
                                  {0, 0, 0, opacity, 0},
                                  {0, 0, 0, 0, 1}}};
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&matrix);
  g.DrawImage(image, Gdiplus::Rect(r.left, r.top, Width(r), Height(r)), 0, 0,
              static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
              Gdiplus::UnitPixel, &attributes);
}

void TableView::DrawImage(table::SkinImage image, const Rect& r, float opacity) {
  TargetDc dc(*this);
  DrawSkinImage(dc.get(), m_Skin.Get(image), r, opacity);
}

void TableView::DrawFadedImage(table::SkinImage which, int32_t x, int32_t y, float opacity) {
  Gdiplus::Image* image = m_Skin.Get(which);
  if (!image) return;
  const Rect natural{x, y, x + static_cast<int32_t>(image->GetWidth()),
                     y + static_cast<int32_t>(image->GetHeight())};
  TargetDc dc(*this);
  if (!m_bBig || !m_pComposed) {
    DrawSkinImage(dc.get(), image, natural, opacity);
    return;
  }
  // The background under the picture, the picture over it, then the whole buffer at once.
  Gdiplus::Bitmap fade(200, 200, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&fade);
    // Only the part of the buffer over the window has a background to copy: near an edge the
    // source would lie outside the composed picture.
    const int32_t left = std::max(x, 0), top = std::max(y, 0);
    const int32_t right = std::min(x + 200, m_nBkW), bottom = std::min(y + 200, m_nBkH);
    if (right > left && bottom > top)
      g.DrawImage(m_pComposed.get(), Gdiplus::Rect(left - x, top - y, right - left, bottom - top),
                  left, top, right - left, bottom - top, Gdiplus::UnitPixel);
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                    {0, 1, 0, 0, 0},
                                    {0, 0, 1, 0, 0},
                                    {0, 0, 0, opacity, 0},
                                    {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    g.DrawImage(image, Gdiplus::Rect(0, 0, Width(natural), Height(natural)), 0, 0,
                Width(natural), Height(natural), Gdiplus::UnitPixel, &attributes);
  }
  Gdiplus::Graphics out(dc.get());
  out.DrawImage(&fade, x, y, 200, 200);
}

void TableView::PlaySound(table::Sound sound, int times) {
  const wchar_t* name = sound == table::Sound::Deal ? L"IDW_DEAL" : L"IDW_PING";
  HRSRC res = FindResourceW(m_Images.module, name, L"WAVE");
  HGLOBAL data = res ? LoadResource(m_Images.module, res) : nullptr;
  const void* wave = data ? LockResource(data) : nullptr;
  if (!wave) return;
  for (int i = 0; i < times; ++i)
    PlaySoundW(static_cast<LPCWSTR>(wave), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
}

void TableView::ButtonChanged(int id) {
  const table::ButtonState* s = m_pModel->Buttons().Find(id);
  if (id == table::kButtonAction) {
    if (!s || !m_Action.hwnd()) return;
    table::ButtonState& shown = m_Applied[id];
    if (shown.id == 0 || !(shown.rect == s->rect) || shown.visible != s->visible) {
      if (!IsEmpty(s->rect))
        SetWindowPos(m_Action.hwnd(), nullptr, s->rect.left, s->rect.top, Width(s->rect),
                     Height(s->rect), SWP_NOZORDER | SWP_NOACTIVATE);
      ShowWindow(m_Action.hwnd(), s->visible ? SW_SHOWNA : SW_HIDE);
      EnableWindow(m_Action.hwnd(), s->enabled ? TRUE : FALSE);
    }
    shown = *s;
    shown.id = id;
    return;
  }
  CGameButtonEx* b = Button(id);
  if (!b || !s) return;
  // Window calls cost a round trip each under Wine: only what changed goes to the window.
  table::ButtonState& shown = m_Applied[id];
  const bool first = shown.id == 0;
  bool repaint = false;
  if (first || shown.enabled != s->enabled) {
    EnableWindow(b->hwnd(), s->enabled ? TRUE : FALSE);
    repaint = true;
  }
  if (!IsEmpty(s->rect) && (first || !(shown.rect == s->rect))) {
    SetWindowPos(b->hwnd(), nullptr, s->rect.left, s->rect.top, Width(s->rect), Height(s->rect),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    repaint = true;
  }
  if (s->checkMode && b->GetCheck() != s->checked) {
    b->SetCheck(s->checked);
    repaint = true;
  }
  if (first || shown.visible != s->visible) {
    ShowWindow(b->hwnd(), s->visible ? SW_SHOWNA : SW_HIDE);
    repaint = true;
  }
  if (repaint) InvalidateRect(b->hwnd(), nullptr, FALSE);
  shown = *s;
  shown.id = id;
}

void TableView::ScoreListChanged() {
  if (!m_List.hwnd()) return;
  if (!m_pModel->ScoreListShown()) {
    ShowWindow(m_List.hwnd(), SW_HIDE);
    return;
  }
  const Rect& r = m_pModel->ScoreListRect();
  m_List.SetFanLines(m_pModel->FanLines(), m_pModel->textColor);
  SetWindowPos(m_List.hwnd(), HWND_TOP, r.left, r.top, Width(r), Height(r), SWP_NOACTIVATE);
  ShowWindow(m_List.hwnd(), SW_SHOWNA);
  InvalidateRect(m_List.hwnd(), nullptr, TRUE);
}

// The fan panel's lines are measured in a device context as it comes, with the system font, not
// with the table's 12-pixel font they are drawn in: each measured line is a few pixels taller
// than the line drawn, and those pixels hold the panel's 5-pixel top margin, so the window, as
// tall as the rows and the measured lines, shows its last line whole.
int32_t TableView::MeasureLineHeight(const std::string& text) {
  const winkit::UniqueDc dc(CreateCompatibleDC(nullptr));
  const winkit::SelectedObject font(dc.Get(), GetStockObject(SYSTEM_FONT));
  uint16_t w = 0, h = 0;
  m_pModel->ScoreList().GetListSize(w, h);
  RECT r{0, 0, w, 20};
  const std::wstring t = winkit::GbkToWide(text);
  DrawTextExW(dc.Get(), const_cast<wchar_t*>(t.c_str()), -1, &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_EDITCONTROL, nullptr);
  return r.bottom - r.top;
}

// ------------------------------------------------------------------------------------------
// Timers and holders

void TableView::SetTimer(uint32_t id, uint32_t periodMs) { ::SetTimer(m_hOwner, id, periodMs, nullptr); }
void TableView::KillTimer(uint32_t id) { ::KillTimer(m_hOwner, id); }

std::unique_ptr<sprites::SpriteHolderCore> TableView::NewHolder() {
  auto h = std::make_unique<sprites::RowSpriteHolder>();
  h->SetOwnerWnd(m_hOwner);
  m_Holders.push_back(h.get());
  return h;
}

void TableView::CreateSprite(sprites::SpriteHolderCore& holder, const table::SpriteSpec& spec) {
  const TableImages::Set& set = spec.set == table::TileSet::Large    ? m_Images.large
                                : spec.set == table::TileSet::Medium ? m_Images.medium
                                                                     : m_Images.small;
  auto& h = static_cast<sprites::RowSpriteHolder&>(holder);
  h.CreateRowSprite(spec.kind, spec.angle, spec.margin, spec.mode, spec.background,
                    m_Images.extra, set.faces, set.framesA, set.framesB, nullptr, set.faceDown);
  if (m_pComposed) {
    h.SetBkImage(m_pComposed.get());
    h.SetBkDc(BackgroundDc());
  }
}

}  // namespace table_gdi
