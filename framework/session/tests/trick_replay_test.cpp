// The trick replay's state on its own: tricks built from the steps, and the bounds of the trick
// and step indexes.
#include "trick_replay.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HandStep Step(int16_t trick, int16_t seat, std::vector<card> cards) {
  HandStep step;
  step.values = {trick, seat, 0};
  step.cards = std::move(cards);
  return step;
}

TEST(TrickReplay, TricksInTheOrderTheirNumbersFirstAppearWithEachSeatsCards) {
  TrickReplay replay;
  replay.SetSteps({Step(3, 1, {{0, 4}}), Step(1, 0, {{1, 5}}), Step(3, 0, {{2, 6}, {2, 7}}),
                   Step(3, -1, {{9, 9}}), Step(3, 2, {{9, 9}}), Step(1, 1, {})});
  replay.BuildTricks(2);
  ASSERT_EQ(replay.TrickCount(), 2);
  EXPECT_EQ(replay.Tricks()[0].number, 3);
  EXPECT_EQ(replay.Tricks()[0].seatCards,
            (std::vector<std::vector<card>>{{{2, 6}, {2, 7}}, {{0, 4}}}));
  EXPECT_EQ(replay.Tricks()[1].number, 1);
  EXPECT_EQ(replay.Tricks()[1].seatCards, (std::vector<std::vector<card>>{{{1, 5}}, {}}));
  EXPECT_EQ(replay.StepsOfTrick(3), (std::vector<size_t>{0, 2, 3, 4}));
  // The cards of a seat count every step, whichever trick.
  EXPECT_EQ(replay.SeatCards(0), (std::vector<card>{{1, 5}, {2, 6}, {2, 7}}));

  EXPECT_TRUE(replay.SelectTrick(1));
  EXPECT_EQ(replay.CurrentTrickIndex(), 2);
  EXPECT_FALSE(replay.SelectTrick(2));
  EXPECT_EQ(replay.CurrentTrickIndex(), 2);
  EXPECT_FALSE(replay.Forward());
  EXPECT_TRUE(replay.Back());
  EXPECT_FALSE(replay.Back());
  EXPECT_EQ(replay.CurrentTrick()->number, 3);

  // Rebuilding for a table without seats keeps the tricks but no cards.
  replay.BuildTricks(0);
  EXPECT_EQ(replay.TrickCount(), 2);
  EXPECT_TRUE(replay.Tricks()[0].seatCards.empty());
}

TEST(TrickReplay, StepIndexBoundsBeforeAndAfterARecord) {
  TrickReplay replay;
  EXPECT_EQ(replay.CurrentStepIndex(), -1);
  EXPECT_EQ(replay.NextStep(), nullptr);
  EXPECT_FALSE(replay.UndoStep());
  EXPECT_EQ(replay.CurrentStepIndex(), -1);
  EXPECT_EQ(replay.CurrentTrick(), nullptr);
  EXPECT_EQ(replay.CurrentTrickIndex(), 0);
  EXPECT_FALSE(replay.Forward());
  EXPECT_FALSE(replay.Back());

  replay.SetSteps({Step(1, 0, {{0, 4}}), Step(1, 1, {{0, 5}})});
  EXPECT_EQ(replay.CurrentStepIndex(), 0);
  EXPECT_FALSE(replay.UndoStep());
  ASSERT_NE(replay.NextStep(), nullptr);
  const HandStep* second = replay.NextStep();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->values[TrickReplay::kSeatValue], 1);
  EXPECT_EQ(replay.NextStep(), nullptr);
  EXPECT_EQ(replay.CurrentStepIndex(), 2);
  EXPECT_TRUE(replay.UndoStep());
  EXPECT_EQ(replay.NextStep(), second);

  replay.Clear();
  EXPECT_TRUE(replay.Steps().empty());
  EXPECT_EQ(replay.CurrentStepIndex(), -1);
}

}  // namespace
