#include "avatar_board.h"

#include <shellapi.h>

#include <cstring>

#include "gdi_plus.h"
#include "memory_bitmap.h"
#include "shockwave_flash.h"
#include "winkit/gbk.h"

namespace table_gdi {

namespace {

// GDI+'s time dimension of animated pictures.
const GUID kTimeDimension = {0x6AEDBD6D, 0x3FB5, 0x418A,
                             {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
constexpr PROPID kFrameDelayTag = 0x5100;
// The area of a picture a source rectangle names.
constexpr int kSourceW = 90, kSourceH = 160;

SIZE g_PanelSize = {240, 280};
int g_NextId = 5000;

std::string Bounded(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

}  // namespace

// ------------------------------------------------------------------------------------------
// CAnimationImage

CAnimationImage::~CAnimationImage() {
  if (m_hTimerWindow && m_nTimerId) ::KillTimer(m_hTimerWindow, m_nTimerId);
  Release();
}

void CAnimationImage::Release() {
  delete m_pImage;
  m_pImage = nullptr;
  m_Delays.clear();
  m_pStepper.reset();
  m_nFrameCount = 0;
  m_bLoop = true;
}

bool CAnimationImage::Load(const char* path) {
  Release();
  m_bLoadFailed = false;
  const std::wstring file = winkit::GbkToWide(path ? Bounded(path, MAX_PATH) : std::string());
  auto* image = file.empty() ? nullptr
                             : Gdiplus::Image::FromFile(file.c_str(), m_bUseEmbeddedColorManagement);
  if (!image || image->GetLastStatus() != Gdiplus::Ok) {
    delete image;
    m_bLoadFailed = true;
    return false;
  }
  m_pImage = image;
  m_nFrameCount = 0;
  if (const UINT dimensions = image->GetFrameDimensionsCount(); dimensions > 0) {
    std::vector<GUID> ids(dimensions);
    if (image->GetFrameDimensionsList(ids.data(), dimensions) == Gdiplus::Ok)
      m_nFrameCount = static_cast<int>(image->GetFrameCount(&ids[0]));
  }
  m_nWidth = image->GetWidth();
  m_nHeight = image->GetHeight();
  if (m_nFrameCount > 1) {
    // One delay per frame in hundredths of a second; a property shorter than the frames (or
    // none) leaves 200 ms for the frames it does not cover.
    std::vector<uint8_t> property;
    const UINT size = image->GetPropertyItemSize(kFrameDelayTag);
    const uint8_t* values = nullptr;
    size_t valueBytes = 0;
    if (size >= sizeof(Gdiplus::PropertyItem)) {
      property.resize(size);
      auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(property.data());
      if (image->GetPropertyItem(kFrameDelayTag, size, item) == Gdiplus::Ok && item->value) {
        values = static_cast<const uint8_t*>(item->value);
        valueBytes = std::min<size_t>(item->length, size - sizeof(Gdiplus::PropertyItem));
      }
    }
    m_Delays = FrameDelays(static_cast<uint32_t>(m_nFrameCount), values, valueBytes);
    m_FrameDimension = kTimeDimension;
    m_pStepper = std::make_unique<FrameStepper>(m_Delays, m_bLoop);
  }
  return true;
}

void CAnimationImage::NextFrame() {
  if (m_nFrameCount <= 1 || !m_pStepper || !m_pImage) return;
  if (m_hTimerWindow) ::KillTimer(m_hTimerWindow, m_nTimerId);
  const FrameStepper::Step step = m_pStepper->Next();
  if (step.frame >= 0) m_pImage->SelectActiveFrame(&m_FrameDimension, static_cast<UINT>(step.frame));
  if (step.armTimer && m_hTimerWindow) {
    // The system's timer takes at most about 24 days; a longer delay waits that long.
    const UINT delay = static_cast<UINT>(std::min<uint32_t>(step.delayMs, 0x7FFFFFFF));
    ::SetTimer(m_hTimerWindow, m_nTimerId, delay, nullptr);
  }
}

bool CAnimationImage::Render(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return false;
  if (!m_pImage) return false;
  try {
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
      right = static_cast<int>(m_nWidth);
      bottom = static_cast<int>(m_nHeight);
    }
    Gdiplus::Graphics g(dc);
    return g.DrawImage(m_pImage, left, top, right - left, bottom - top) == Gdiplus::Ok;
  } catch (...) {
    return false;
  }
}

bool CAnimationImage::DrawPart(HDC dc, const RECT& d, const RECT& s) {
  if (!dc || !m_pImage) return true;
  Gdiplus::Graphics g(dc);
  g.DrawImage(m_pImage, Gdiplus::Rect(d.left, d.top, d.right - d.left, d.bottom - d.top), s.left,
              s.top, s.right - s.left, s.bottom - s.top, Gdiplus::UnitPixel);
  return true;
}

// ------------------------------------------------------------------------------------------
// CAvact_Board

CAvact_Board::CAvact_Board(AvatarBoardHost& host, int16_t seat) : m_Host(host), m_nSeat(seat) {
  m_hFont.Reset(CreateFontW(14, 7, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                            L"\x9ed1\x4f53"));  // 黑体
}

CAvact_Board::~CAvact_Board() {
  if (m_pFlash) m_pFlash->Destroy();
  m_pFlash.Reset();
  if (hwnd()) ::KillTimer(hwnd(), kFrameTimer);
  m_pImage.reset();
  Destroy();
}

void CAvact_Board::SetPanelSize(int width, int height) { g_PanelSize = {width, height}; }

bool CAvact_Board::Create(HWND parent) {
  if (hwnd()) return true;
  const int id = g_NextId;
  if (!winkit::Window::Create(L"avactwnd", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
                              WS_CLIPCHILDREN, 0, RECT{0, 0, 0, 0}, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))))
    return false;
  m_nId = id;
  g_NextId += 10;
  return true;
}

void CAvact_Board::MoveTo(const RECT& r) {
  if (!hwnd() || !IsWindowVisible(hwnd())) return;
  SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAvact_Board::Enable() {
  if (hwnd()) EnableWindow(hwnd(), TRUE);
}

void CAvact_Board::Disable() {
  if (hwnd()) EnableWindow(hwnd(), FALSE);
}

RECT CAvact_Board::PanelIn(int clientWidth, int clientHeight, int16_t kind) {
  const PanelBox p = AvatarPanel(clientWidth, clientHeight, g_PanelSize.cx, g_PanelSize.cy, kind);
  return {p.left, p.top, p.right, p.bottom};
}

RECT CAvact_Board::RectInTable() const {
  RECT r = {};
  if (!hwnd()) return r;
  GetWindowRect(hwnd(), &r);
  MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void CAvact_Board::Draw(HDC dc) {
  if (!m_pItem || !hwnd() || !IsWindowVisible(hwnd())) return;
  if (m_pItem->kind == 1) DrawPicture(dc);
  else DrawFlash(dc);
}

void CAvact_Board::DrawFrame(HDC dc, const RECT& client) {
  Gdiplus::Image* frame = m_Host.BoardFrame(m_nFrameKind);
  if (!frame) return;
  Gdiplus::Graphics g(dc);
  g.DrawImage(frame, 0, 0, client.right, client.bottom);
}

void CAvact_Board::DrawPicture(HDC dc) {
  const std::string path = Bounded(m_pItem->path, sizeof m_pItem->path);
  // A changed picture is loaded again (the item may be replaced by one of another person).
  if (!m_pImage || path != m_strLoadedPath || m_nLoadedKind != m_pItem->kind) {
    ::KillTimer(hwnd(), kFrameTimer);
    m_pImage = std::make_unique<CAnimationImage>();
    m_pImage->Load(path.c_str());
    m_pImage->SetTimerId(kFrameTimer);
    m_pImage->SetTimerWindow(hwnd());
    m_strLoadedPath = path;
    m_nLoadedKind = m_pItem->kind;
    m_pImage->NextFrame();
  }
  RECT client;
  GetClientRect(hwnd(), &client);
  DrawFrame(dc, client);
  const RECT panel = PanelIn(client.right, client.bottom, m_nFrameKind);
  const int32_t* s = m_pItem->source;
  if (s[2] != s[0] && s[3] != s[1]) {
    m_pImage->DrawPart(dc, panel, RECT{s[0], s[1], s[0] + kSourceW, s[1] + kSourceH});
  } else {
    m_pImage->Render(dc, panel.left, panel.top, panel.right, panel.bottom);
  }
}

void CAvact_Board::DrawFlash(HDC dc) {
  const std::string path = Bounded(m_pItem->path, sizeof m_pItem->path);
  RECT client;
  GetClientRect(hwnd(), &client);
  const RECT panel = PanelIn(client.right, client.bottom, m_nFrameKind);
  if (!m_pFlash && !m_bFlashTried) {
    m_bFlashTried = true;
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &clsid))) {
      winkit::ControlHost::Create(hwnd(), clsid, IID_NULL, static_cast<UINT>(m_nId + 1),
                                  L"ShockwaveFlash.ShockwaveFlash", panel, nullptr, &m_pFlash);
    }
  }
  if (m_pFlash && (path != m_strLoadedPath || m_nLoadedKind != m_pItem->kind)) {
    winkit::ComPtr<IShockwaveFlash> flash;
    if (SUCCEEDED(m_pFlash->QueryControl(IID_IShockwaveFlash, flash.PutVoid())) && flash) {
      flash->put_Movie(winkit::Bstr(winkit::GbkToWide(path).c_str()).Get());
      flash->Play();
    }
    m_strLoadedPath = path;
    m_nLoadedKind = m_pItem->kind;
  }
  DrawFrame(dc, client);
  if (m_pFlash && m_pFlash->ControlWindow()) {
    SetWindowPos(m_pFlash->ControlWindow(), nullptr, panel.left, panel.top,
                 panel.right - panel.left, panel.bottom - panel.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CAvact_Board::AnimationStep() {
  RECT client;
  GetClientRect(hwnd(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // Composed off screen, then copied: the frame does not flicker through the background.
  winkit::WindowDc dc(hwnd());
  winkit::UniqueBitmap bitmap(CreateCompatibleBitmap(dc.Get(), client.right, client.bottom));
  const MemoryBitmap frame(dc.Get(), std::move(bitmap));
  m_Host.PaintBoardBackground(frame.Dc(), RectInTable());
  if (m_pItem && m_pItem->kind == 1) DrawPicture(frame.Dc());
  BitBlt(dc.Get(), 0, 0, client.right, client.bottom, frame.Dc(), 0, 0, SRCCOPY);
}

void CAvact_Board::OpenLink() {
  if (!m_pItem) return;
  const std::string link = Bounded(m_pItem->link, sizeof m_pItem->link);
  if (link.empty()) return;
  // One argument, quoted, whatever the link holds.
  std::wstring argument = winkit::GbkToWide(link);
  std::wstring quoted = L"\"";
  for (wchar_t c : argument) {
    if (c != L'"') quoted += c;
  }
  quoted += L"\"";
  ShellExecuteW(hwnd(), L"open", L"IExplore.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL);
}

LRESULT CAvact_Board::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      m_Host.PaintBoardBackground(dc, RectInTable());
      Draw(dc);
      return 1;
    }
    case WM_TIMER:
      if (wp == kFrameTimer) {
        if (m_pImage && m_pImage->IsAnimated()) {
          m_pImage->NextFrame();
          AnimationStep();
        } else {
          ::KillTimer(hwnd(), kFrameTimer);
        }
      }
      break;
    case WM_SIZE:
      if (m_pFlash && m_pFlash->ControlWindow()) {
        SetWindowPos(m_pFlash->ControlWindow(), nullptr, 0, 0, LOWORD(lp), HIWORD(lp),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    case WM_LBUTTONDBLCLK:
      OpenLink();
      return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG:
      return 0;
    default:
      break;
  }
  return winkit::Window::HandleMessage(msg, wp, lp);
}

}  // namespace table_gdi
