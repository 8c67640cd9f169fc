// Small models behind the magic-action and avatar windows: the frame timing of an animated
// avatar picture, and the alpha a windowless movie gets from two renderings. (The picker's pages
// are the window kit's layout::PreviewPages.)
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Frame delays of an animated picture from its frame-delay property (hundredths of a second,
// 32-bit little-endian, one per frame): frames beyond the property get 200 ms, as do all frames
// when the property is missing; a single frame (or none) has no delay table.
std::vector<uint32_t> FrameDelays(uint32_t frameCount, const uint8_t* property, size_t size);

// The frame step of an animation: which frame to select and how long the timer waits.
class FrameStepper {
 public:
  explicit FrameStepper(std::vector<uint32_t> delays, bool loop = true)
      : m_delays(std::move(delays)), m_loop(loop) {}
  struct Step {
    int frame = -1;        // frame to select, -1 none
    bool armTimer = false;
    uint32_t delayMs = 0;
  };
  Step Next();

 private:
  std::vector<uint32_t> m_delays;
  bool m_loop;
  size_t m_index = 0;
};

// Alpha of each 32-bit BGRA pixel from the content drawn on white and on black:
// 255 - ((w.r - b.r) + (w.g - b.g) + (w.b - b.b)) / 3, each difference a byte; written into the
// black buffer's alpha byte.
void DeriveAlpha(const uint8_t* white, uint8_t* black, size_t pixels);

// Rectangles (one row high) of the runs of pixels whose alpha is at least 5.
struct AlphaRun {
  int left, top, right, bottom;
};
std::vector<AlphaRun> AlphaRuns(const uint8_t* bgra, int width, int height);

// Where an avatar board puts its picture: a panel of the shared avatar size, vertically centred
// in the board's client area; kind 1 against the right edge, kind 2 against the left, any other
// kind centred.
struct PanelBox {
  int left, top, right, bottom;
  bool operator==(const PanelBox&) const = default;
};
PanelBox AvatarPanel(int clientWidth, int clientHeight, int panelWidth, int panelHeight, int kind);

// Whether two GBK movie paths name the same movie: ASCII letters compare without regard to
// case, a double-byte character only as it is (its trail byte may look like a letter).
bool SameMoviePath(const std::string& a, const std::string& b);
