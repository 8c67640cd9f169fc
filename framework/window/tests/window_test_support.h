// Helpers of the window kit's Wine tests: GDI+ for the whole program, one shown host window
// for the whole run (destroying shown top-level windows is slow under Xvfb), a window that
// records the messages it gets, message pumping, and pictures of windows kept as PNG files.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "winkit/window.h"

namespace framework_window::testing {

// GdiplusStartup and common controls for the test program.
class WindowTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

 private:
  ULONG_PTR token_ = 0;
};

// A top-level window that records the messages of interest (WM_USER and above, WM_CLOSE,
// WM_COMMAND) instead of acting on them.
class RecordingWindow : public winkit::Window {
 public:
  struct Record {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  HWND CreateTopLevel(int x, int y, int w, int h);
  HWND CreateChild(HWND parent, int x, int y, int w, int h);
  std::vector<Record> records;
  std::vector<UINT> Messages() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// The program's host window: shown at (0, 0), 1100 x 800, active; kept until the process ends.
HWND Host();
// Makes the host the thread's active window again (after a test minimised it).
void ActivateHost();

// Dispatches the thread's messages for `ms` milliseconds (at least one pass).
void Pump(DWORD ms = 0);

// A 32-bit top-down DIB selected into a memory DC.
class Canvas {
 public:
  Canvas(int w, int h, uint32_t fill = 0x00FF00FF);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  int width() const { return w_; }
  int height() const { return h_; }
  // 0xRRGGBB at (x, y).
  uint32_t At(int x, int y) const;
  // Writes the canvas as a PNG file (through GDI+).
  bool SavePng(const std::string& path) const;

 private:
  int w_, h_;
  uint32_t* bits_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// What is on screen inside `hwnd` (its window rectangle, children included), after painting.
void CaptureWindow(HWND hwnd, Canvas& canvas);
// A picture of `hwnd` written to KORVEL_ARTEFACT_DIR-style path `path`.
bool SaveWindowPng(HWND hwnd, const std::string& path);

// 0xRRGGBB of pixel (x, y) of a PNG file (through GDI+); 0xFF000000 when it cannot be read.
uint32_t PicturePixel(const std::string& path, int x, int y);
// True when two colours differ by at most `tolerance` in each channel.
bool Near(uint32_t a, uint32_t b, int tolerance = 8);

// 0xRRGGBB of a COLORREF.
inline uint32_t ColourOf(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// GDI objects of this process (GetGuiResources).
DWORD GdiObjectCount();

}  // namespace framework_window::testing
