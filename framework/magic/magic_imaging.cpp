#include "magic_imaging.h"

#include "gbk_text.h"

#include <algorithm>

std::vector<uint32_t> FrameDelays(uint32_t frameCount, const uint8_t* property, size_t size) {
  if (frameCount <= 1) return {};
  // A count no real picture has is not allocated for.
  frameCount = std::min<uint32_t>(frameCount, 100000);
  std::vector<uint32_t> delays(frameCount, 200);
  const size_t have = property ? std::min<size_t>(frameCount, size / 4) : 0;
  for (size_t i = 0; i < have; ++i) {
    const uint32_t v = uint32_t(property[4 * i]) | uint32_t(property[4 * i + 1]) << 8 |
                       uint32_t(property[4 * i + 2]) << 16 | uint32_t(property[4 * i + 3]) << 24;
    // Hundredths to milliseconds, kept within 32 bits.
    delays[i] = v > 0xFFFFFFFFu / 10 ? 0xFFFFFFFFu : v * 10;
  }
  return delays;
}

FrameStepper::Step FrameStepper::Next() {
  Step step;
  if (m_delays.size() <= 1) return step;
  if (m_index < m_delays.size()) {
    step.frame = static_cast<int>(m_index);
  } else {
    m_index = 0;
    step.frame = 0;
    if (!m_loop) {
      m_index = 1;
      return step;
    }
  }
  step.armTimer = true;
  step.delayMs = m_delays[m_index];
  ++m_index;
  return step;
}

void DeriveAlpha(const uint8_t* white, uint8_t* black, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* w = white + 4 * i;
    uint8_t* b = black + 4 * i;
    const unsigned sum = uint8_t(w[0] - b[0]) + uint8_t(w[1] - b[1]) + uint8_t(w[2] - b[2]);
    b[3] = static_cast<uint8_t>(255 - sum / 3);
  }
}

std::vector<AlphaRun> AlphaRuns(const uint8_t* bgra, int width, int height) {
  std::vector<AlphaRun> runs;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = bgra + static_cast<size_t>(y) * width * 4;
    int x = 0;
    while (x < width) {
      while (x < width && row[4 * x + 3] < 5) ++x;
      if (x >= width) break;
      const int start = x;
      while (x < width && row[4 * x + 3] >= 5) ++x;
      runs.push_back({start, y, x, y + 1});
    }
  }
  return runs;
}

PanelBox AvatarPanel(int clientWidth, int clientHeight, int panelWidth, int panelHeight,
                     int kind) {
  const int top = (clientHeight - panelHeight) / 2;
  int left = (clientWidth - panelWidth) / 2;
  if (kind == 1) left = clientWidth - panelWidth;
  else if (kind == 2) left = 0;
  return {left, top, left + panelWidth, top + panelHeight};
}

bool SameMoviePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (GbkPairWidth(a.data(), a.size(), i) == 2) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (fold(x) != fold(y)) {
      return false;
    }
  }
  return true;
}
