// A seat's avatar on the table: CAvact_Board, a small child window of the table control over
// the seat's panel that shows the avatar item as a picture (animated frame by frame when it has
// several frames, through CAnimationImage) or as a movie in a hosted movie player; a double
// click opens the item's link.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "magic_imaging.h"
#include "records/magic_records.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/handle.h"
#include "winkit/window.h"

namespace Gdiplus {
class Image;
}

namespace table_gdi {

// A picture loaded through GDI+, animated on a window timer when it has several frames.
class CAnimationImage {
 public:
  CAnimationImage() = default;
  virtual ~CAnimationImage();
  CAnimationImage(const CAnimationImage&) = delete;
  CAnimationImage& operator=(const CAnimationImage&) = delete;

  // path: zero-terminated GBK. True when the picture loaded.
  bool Load(const char* path);
  // The active frame stretched into the rectangle; all four 0: its own size at (0, 0).
  bool Render(HDC dc, int left, int top, int right, int bottom);
  // The source rectangle of the active frame into the destination rectangle.
  bool DrawPart(HDC dc, const RECT& destination, const RECT& source);
  // Selects the next frame and arms the frame timer for its delay.
  void NextFrame();
  SIZE GetSize() const { return {static_cast<LONG>(m_nWidth), static_cast<LONG>(m_nHeight)}; }
  bool IsAnimated() const { return m_nFrameCount > 1; }
  bool LoadFailed() const { return m_bLoadFailed; }
  int FrameCount() const { return m_nFrameCount; }
  const std::vector<uint32_t>& Delays() const { return m_Delays; }
  void SetTimerId(UINT_PTR id) { m_nTimerId = id; }
  void SetTimerWindow(HWND hwnd) { m_hTimerWindow = hwnd; }

 private:
  void Release();

  bool m_bUseEmbeddedColorManagement = false;
  Gdiplus::Image* m_pImage = nullptr;
  bool m_bLoop = true;
  bool m_bLoadFailed = false;
  int m_nFrameCount = 1;
  uint32_t m_nWidth = 0, m_nHeight = 0;
  GUID m_FrameDimension{};
  std::vector<uint32_t> m_Delays;
  std::unique_ptr<FrameStepper> m_pStepper;
  UINT_PTR m_nTimerId = 0;
  HWND m_hTimerWindow = nullptr;
};

// What a board needs of the table it stands on.
class AvatarBoardHost {
 public:
  virtual ~AvatarBoardHost() = default;
  // The table's background under `inTable` (control client coordinates), drawn at (0, 0).
  virtual void PaintBoardBackground(HDC dc, const RECT& inTable) = 0;
  // The frame picture of a board of this kind (null: none loaded).
  virtual Gdiplus::Image* BoardFrame(int16_t kind) = 0;
};

class CAvact_Board : public winkit::Window {
 public:
  static constexpr UINT_PTR kFrameTimer = 230;

  CAvact_Board(AvatarBoardHost& host, int16_t seat);
  ~CAvact_Board() override;

  // Creates the window once (a second call does nothing); false when it could not be made.
  bool Create(HWND parent);
  void SetItem(const CAvact_Adv_Item* item) { m_pItem = item; }
  const CAvact_Adv_Item* Item() const { return m_pItem; }
  void SetSeat(int16_t seat) { m_nSeat = seat; }
  void SetFrameKind(int16_t kind) { m_nFrameKind = kind; }
  // Moves the visible window to the rectangle (control client coordinates).
  void MoveTo(const RECT& r);
  void Draw(HDC dc);
  virtual void Enable();
  virtual void Disable();
  CAnimationImage* Animation() const { return m_pImage.get(); }
  bool HasMovie() const { return m_pFlash.Get() != nullptr; }
  int WindowId() const { return m_nId; }

  // The panel the picture goes into inside a client area (shared panel size, frame kind).
  static RECT PanelIn(int clientWidth, int clientHeight, int16_t kind);
  // The size of the avatar panel for every board (InitTable_Avact sets it).
  static void SetPanelSize(int width, int height);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void DrawPicture(HDC dc);
  void DrawFlash(HDC dc);
  void DrawFrame(HDC dc, const RECT& client);
  void AnimationStep();
  void OpenLink();
  RECT RectInTable() const;

  AvatarBoardHost& m_Host;
  const CAvact_Adv_Item* m_pItem = nullptr;
  int16_t m_nSeat;
  int16_t m_nFrameKind = 0;
  std::unique_ptr<CAnimationImage> m_pImage;
  std::string m_strLoadedPath;  // the picture or movie loaded, with its kind
  int32_t m_nLoadedKind = 0;
  winkit::ComPtr<winkit::ControlHost> m_pFlash;
  bool m_bFlashTried = false;
  winkit::UniqueFont m_hFont;
  int m_nId = 0;
};

}  // namespace table_gdi
