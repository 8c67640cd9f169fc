// The button model: what lights, what hides, what play and review modes allow, and the timers
// the buttons and blinking start and stop.
#include <gtest/gtest.h>

#include "table_fixture.h"

namespace table {
namespace {

using namespace testing;

TEST(Buttons, CreatedDisabledAndShownOnlyWhenPlaying) {
  for (bool play : {true, false}) {
    TableFixture f(true, true, play);
    for (int id : kActionStrip) {
      EXPECT_EQ(f.t().Buttons().Visible(id), play) << id;
      EXPECT_FALSE(f.t().Buttons().Enabled(id)) << id;
    }
    for (int id : {kButtonStart, kButtonDice, kButtonSave, kButtonAutoSend, kButtonPause,
                   kButtonNext, kButtonSetup, kButtonExit})
      EXPECT_FALSE(f.t().Buttons().Visible(id)) << id;
    EXPECT_TRUE(f.t().Buttons().Visible(kButtonAction));
  }
}

TEST(Buttons, LightsByMethod) {
  using Light = void (CCommMjTable::*)(int16_t);
  struct Case {
    Light light;
    int id;
  } cases[] = {{&CCommMjTable::LightSend, kButtonSend}, {&CCommMjTable::LightGuo, kButtonGuo},
               {&CCommMjTable::LightTing, kButtonTing}, {&CCommMjTable::LightChi, kButtonChi},
               {&CCommMjTable::LightPeng, kButtonPeng}, {&CCommMjTable::LightGang, kButtonGang},
               {&CCommMjTable::LightHu, kButtonHu}};
  for (const auto& c : cases) {
    TableFixture f;
    (f.t().*c.light)(1);
    EXPECT_TRUE(f.t().Buttons().Enabled(c.id)) << c.id;
    (f.t().*c.light)(0);
    EXPECT_FALSE(f.t().Buttons().Enabled(c.id)) << c.id;
    EXPECT_TRUE(f.t().Buttons().Visible(c.id));

    TableFixture watching(true, true, false);
    watching.surface.Clear();
    (watching.t().*c.light)(1);
    EXPECT_FALSE(watching.t().Buttons().Enabled(c.id)) << c.id;
    EXPECT_FALSE(watching.t().Buttons().Visible(c.id));
    EXPECT_TRUE(watching.surface.buttonsChanged.empty());
  }
}

TEST(Buttons, SendLightSetsTheOwnTurn) {
  TableFixture f;
  EXPECT_TRUE(f.t().sendNotLit);
  f.t().LightSend(1);
  EXPECT_TRUE(f.t().m_bOwnTurn);
  EXPECT_FALSE(f.t().sendNotLit);
  f.t().LightSend(2);
  EXPECT_FALSE(f.t().m_bOwnTurn);
  EXPECT_TRUE(f.t().sendNotLit);
}

TEST(Buttons, StartButtonArmsItsTimeOutOnlyWhenPlaying) {
  TableFixture f;
  f.t().StartDeal();
  EXPECT_TRUE(f.t().Buttons().Visible(kButtonStart));
  EXPECT_EQ(f.timers.running[kTimerStart], 120000u);
  f.t().ShowStartButton(false);
  EXPECT_FALSE(f.t().Buttons().Visible(kButtonStart));
  TableFixture watching(true, true, false);
  watching.t().ShowStartButton(true);
  EXPECT_FALSE(watching.t().Buttons().Visible(kButtonStart));
  EXPECT_FALSE(watching.timers.Runs(kTimerStart));
}

TEST(Buttons, ToolButtonsStayHiddenExceptThoseOfAReplay) {
  struct Case {
    int16_t review;
    bool flag;
    bool replayButtons;
  } cases[] = {{0, true, false}, {0, false, false}, {1, false, false}, {1, true, true}};
  for (const auto& c : cases) {
    TableFixture f;
    f.t().reviewStyle = c.review;
    f.t().HideHandButtons(c.flag);
    EXPECT_FALSE(f.t().Buttons().Visible(kButtonSave));
    EXPECT_FALSE(f.t().Buttons().Visible(kButtonAutoSend));
    EXPECT_EQ(f.t().Buttons().Visible(kButtonPause), c.replayButtons);
    EXPECT_EQ(f.t().Buttons().Visible(kButtonNext), c.replayButtons);
    if (c.replayButtons) EXPECT_TRUE(f.t().Buttons().Enabled(kButtonNext));
  }
}

TEST(Timers, FocusCardsOnlyForItsThreeKinds) {
  struct Case {
    int16_t type, focus;
    int timer;  // -1: none started
  } cases[] = {{1, 1, 104}, {2, 1, 105}, {3, 1, 106}, {0, 1, -1}, {4, 1, -1}, {110, 1, -1},
               {2, 0, -1}};
  for (const auto& c : cases) {
    TableFixture f;
    f.t().FocusCards(c.type, c.focus);
    if (c.timer >= 0) {
      EXPECT_EQ(f.timers.running.size(), 1u);
      EXPECT_EQ(f.timers.running[c.timer], 400u);
    } else {
      EXPECT_TRUE(f.timers.running.empty()) << c.type;
    }
  }
  TableFixture f;
  f.t().FocusCards(2, 1);
  f.t().FocusCards(2, 0);
  EXPECT_FALSE(f.timers.Runs(105));
}

TEST(Timers, WinAnimatesOnlyARealSeat) {
  struct Case {
    int16_t huloc;
    int animation;  // -1 none
  } cases[] = {{0, 145}, {1, 146}, {2, -1}, {-1, -1}, {30, -1}};
  for (const auto& c : cases) {
    TableFixture f;
    f.t().HuPai(c.huloc, 1);
    EXPECT_TRUE(f.timers.Runs(kTimerAngry));
    EXPECT_TRUE(f.timers.Runs(kTimerLaugh));
    EXPECT_TRUE(f.timers.Runs(kTimerWinnerBlink));
    size_t animations = 0;
    for (auto [id, ms] : f.timers.running) animations += (id >= 130 && id < 250);
    EXPECT_EQ(animations, c.animation >= 0 ? 1u : 0u) << c.huloc;
    if (c.animation >= 0) EXPECT_TRUE(f.timers.Runs(c.animation));
    // The winner blink stops itself without a winner.
    EXPECT_EQ(f.t().WinnerBlinkStep(true), c.animation >= 0);
  }
}

TEST(Timers, FacesDrawOnlyForTheirSide) {
  TableFixture f;
  f.t().HuPai(0, 1);
  f.surface.Clear();
  f.t().AngryFaceStep();
  EXPECT_TRUE(f.surface.Of("image").empty());
  f.t().LaughFaceStep();
  f.t().LaughFaceStep();
  auto images = f.surface.Of("image");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].arg, int(SkinImage::Laugh1));
  EXPECT_EQ(images[1].arg, int(SkinImage::Laugh2));
  EXPECT_EQ(images[0].rect, (Rect{894, 538, 979, 618}));
  f.t().HuPai(1, 0);
  f.surface.Clear();
  f.t().AngryFaceStep();
  f.t().LaughFaceStep();
  images = f.surface.Of("image");
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].arg, int(SkinImage::Angry1));
}

TEST(Animations, MeldAnnouncementFadesOverTenFrames) {
  TableFixture f;
  const card pung[3] = {{0, 5}, {0, 5}, {0, 5}};
  f.t().ExposeCard_InRecover(0, kMeldChowOrPung, 3, pung);
  f.t().StartMeldAnimation(0, 1);
  std::vector<float> opacities;
  int end = 0;
  for (int i = 0; i < 20 && !end; ++i) {
    f.surface.Clear();
    end = f.seat(0).MeldAnimationStep(1);
    auto faded = f.surface.Of("faded");
    ASSERT_EQ(faded.size(), 1u);
    EXPECT_EQ(faded[0].arg, int(SkinImage::Peng));
    opacities.push_back(faded[0].opacity);
  }
  ASSERT_EQ(opacities.size(), 11u);
  for (int i = 0; i <= 5; ++i) EXPECT_FLOAT_EQ(opacities[i], 1.0f);
  EXPECT_FLOAT_EQ(opacities[6], 0.8f);
  EXPECT_FLOAT_EQ(opacities[10], 0.0f);
}

TEST(Animations, DealAndWallGrowStepByStep) {
  TableFixture f;
  const card hand[4] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}};
  f.t().AddCardsToMyHandWithSort_InTimer(4, hand);
  EXPECT_EQ(f.timers.running[kTimerDealOwn], 60u);
  std::vector<int> widths;
  int sounds = 0, end = 0;
  while (!end) {
    f.surface.Clear();
    end = f.seat(0).DealAnimationStep();
    for (const auto& p : f.surface.Of("parts")) widths.push_back(Width(p.parts[0]));
    sounds += static_cast<int>(f.surface.Of("sound").size());
  }
  EXPECT_EQ(widths, (std::vector<int>{40, 80, 120}));  // step 0 draws nothing
  EXPECT_EQ(sounds, 2);                                // steps 0 and 2

  f.t().InitWall_InTimer(64);
  EXPECT_EQ(f.timers.running[kTimerWallBuild], 40u);
  int steps = 0;
  end = 0;
  while (!end && steps < 50) {
    end = f.t().WallAnimationStep();
    ++steps;
  }
  EXPECT_EQ(steps, 17);
}

TEST(Model, ASecondModelLeavesNoTimerOfTheFirstRunning) {
  TableFixture f;
  f.t().StartChoice(0);
  f.t().HuPai(0, 1);
  f.t().FocusCards(1, 1);
  f.t().StartDeal();
  f.table.reset();
  EXPECT_TRUE(f.timers.running.empty());
}

}  // namespace
}  // namespace table
