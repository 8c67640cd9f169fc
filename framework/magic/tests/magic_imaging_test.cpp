// The frame timing of animated avatars and the alpha of movie frames.
#include <gtest/gtest.h>

#include <vector>

#include "magic_imaging.h"

namespace {

std::vector<uint8_t> Property(std::vector<uint32_t> hundredths) {
  std::vector<uint8_t> bytes;
  for (uint32_t v : hundredths) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  }
  return bytes;
}

TEST(FrameTiming, DelaysFromTheProperty) {
  struct Case {
    uint32_t frames;
    std::vector<uint32_t> property;
    bool hasProperty;
    std::vector<uint32_t> want;
  };
  const Case cases[] = {
      {3, {10, 0, 25}, true, {100, 0, 250}},
      {3, {}, false, {200, 200, 200}},           // no delay property
      {4, {7, 8}, true, {70, 80, 200, 200}},      // a property shorter than the frames
      {2, {5, 6, 7, 8}, true, {50, 60}},          // longer: the rest unread
      {2, {0xFFFFFFFF, 1}, true, {0xFFFFFFFF, 10}},  // huge: no wrap
      {1, {10}, true, {}},                         // a single frame
      {0, {}, false, {}},                          // no frames
  };
  for (const Case& c : cases) {
    const auto bytes = Property(c.property);
    EXPECT_EQ(FrameDelays(c.frames, c.hasProperty ? bytes.data() : nullptr, bytes.size()), c.want);
  }
  // A property size that is not a multiple of four reads whole values only.
  auto bytes = Property({3, 4});
  EXPECT_EQ(FrameDelays(2, bytes.data(), 7), (std::vector<uint32_t>{30, 200}));
}

TEST(FrameTiming, StepsThroughTheFramesAndStartsAgain) {
  FrameStepper stepper({100, 0, 250});
  std::vector<std::pair<int, uint32_t>> steps;
  for (int i = 0; i < 5; ++i) {
    auto s = stepper.Next();
    EXPECT_TRUE(s.armTimer);
    steps.push_back({s.frame, s.delayMs});
  }
  const std::vector<std::pair<int, uint32_t>> want = {{0, 100}, {1, 0}, {2, 250}, {0, 100}, {1, 0}};
  EXPECT_EQ(steps, want);

  FrameStepper once({50, 60}, false);
  once.Next();
  once.Next();
  auto end = once.Next();
  EXPECT_EQ(end.frame, 0);
  EXPECT_FALSE(end.armTimer);  // not looping: the timer stays off

  FrameStepper still({});  // a single-frame picture never arms the timer
  EXPECT_FALSE(still.Next().armTimer);
}

TEST(Alpha, FromTheWhiteAndBlackRenderings) {
  struct Case {
    uint8_t white[3], black[3], alpha;
  };
  const Case cases[] = {
      {{255, 255, 255}, {0, 0, 0}, 0},        // nothing drawn
      {{10, 20, 30}, {10, 20, 30}, 255},      // opaque content
      {{191, 191, 191}, {64, 64, 64}, 128},   // half covered
      {{0, 255, 255}, {1, 0, 0}, 0},          // a byte difference wraps: (255+255+255)/3
      {{200, 100, 50}, {50, 40, 30}, 179},    // (150+60+20)/3 = 76
  };
  std::vector<uint8_t> white, black;
  for (const Case& c : cases) {
    white.insert(white.end(), {c.white[0], c.white[1], c.white[2], 0});
    black.insert(black.end(), {c.black[0], c.black[1], c.black[2], 0});
  }
  DeriveAlpha(white.data(), black.data(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(black[4 * i + 3], cases[i].alpha) << i;
    EXPECT_EQ(black[4 * i], cases[i].black[0]);  // colours kept
  }
}

TEST(Alpha, RunsOfVisiblePixels) {
  const uint8_t alphas[2][5] = {{0, 5, 200, 4, 255}, {0, 0, 0, 0, 0}};
  std::vector<uint8_t> bgra;
  for (auto& row : alphas) {
    for (uint8_t a : row) bgra.insert(bgra.end(), {1, 2, 3, a});
  }
  const auto runs = AlphaRuns(bgra.data(), 5, 2);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ((std::vector<int>{runs[0].left, runs[0].top, runs[0].right, runs[0].bottom}),
            (std::vector<int>{1, 0, 3, 1}));
  EXPECT_EQ((std::vector<int>{runs[1].left, runs[1].right}), (std::vector<int>{4, 5}));
}

TEST(AvatarPanel, PlacedByFrameKind) {
  struct Case {
    int width, height, kind;
    PanelBox want;
  };
  const Case cases[] = {
      {200, 300, 2, {0, 70, 90, 230}},     // against the left edge
      {200, 300, 1, {110, 70, 200, 230}},  // against the right edge
      {200, 300, 0, {55, 70, 145, 230}},   // centred
      {200, 300, 7, {55, 70, 145, 230}},
      {90, 160, 0, {0, 0, 90, 160}},       // the board is the panel
      {60, 100, 0, {-15, -30, 75, 130}},   // a smaller board: the panel overhangs evenly
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AvatarPanel(c.width, c.height, 90, 160, c.kind), c.want)
        << c.width << "x" << c.height << " kind " << c.kind;
  }
}

TEST(MoviePath, SameMovieWhateverTheLetterCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"C:\\Game\\Kiss.KVMV", "c:\\game\\kiss.kvmv", true},
      {"C:\\game\\kiss.kvmv", "C:\\game\\kiss2.kvmv", false},
      {"", "", true},
      // A trail byte that looks like a letter is not folded: C4 41 and C4 61 are two
      // different characters.
      {"\xc4\x41.kvmv", "\xc4\x61.kvmv", false},
      {"\xb9\xfe\xb9\xfe.KVMV", "\xb9\xfe\xb9\xfe.kvmv", true},
  };
  for (const Case& c : cases) EXPECT_EQ(SameMoviePath(c.a, c.b), c.same) << c.a << " / " << c.b;
}

}  // namespace
