// Any strings in a style module: the metrics are read and the frame laid out and dragged
// without a fault (sanitizers watch the arithmetic).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_plans.h"
#include "frame_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is cut into strings at zero bytes, given to ids 101 to 148 in turn.
  std::vector<std::string> strings;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      strings.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  strings.push_back(current);
  const auto read = [&](uint32_t id) {
    const size_t i = id - 101;
    return i < strings.size() ? strings[i] : std::string();
  };
  const layout::FrameMetrics m = layout::ReadFrameMetrics(read, size % 2 ? 600 : 768, size % 3 == 0);
  layout::FrameInputs in;
  in.w = 1024;
  in.h = 768;
  const layout::PaneHeights ph = layout::PaneLayoutHeights(m, in.h);
  in.listHeight = static_cast<int16_t>(ph.listAndChat / 2);
  in.chatHeight = static_cast<int16_t>(ph.listAndChat - ph.listAndChat / 2);
  in.setupStrip = {208, 24};
  in.setupStripHasImage = true;
  in.titleStrip = {78, 20};
  in.windowWidth = 1024;
  layout::FrameRects r = layout::LayoutFrame(m, in);
  layout::FrameDrag drag;
  drag.OnPress({900, r.list.bottom}, m, r, 22);
  drag.OnMove({900, r.list.bottom + 20}, {0, 0, 1024, 768}, r);
  drag.OnRelease({0, 0, 1024, 768}, m, r, 22);
  const auto plan = layout::PlanNinePart(r.play.left, r.play.top, r.play.Width() % 4096,
                                         r.play.Height() % 4096, {8, 8}, {});
  (void)plan;
  return 0;
}
