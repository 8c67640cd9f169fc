// The base play table's trick-by-trick replay of a recorded hand, for a card game that plays in
// tricks: the recorded steps (each a trick number, a seat and the cards played), the tricks built
// from them with the cards of every seat, and where the replay stands. The mahjong table replays
// its own record and leaves this empty.
#pragma once
#include <cstdint>
#include <vector>

#include "hand_storage.h"
#include "records/card.h"

struct ReplayTrick {
  int16_t number = 0;
  // The cards each seat played in the trick, by seat.
  std::vector<std::vector<card>> seatCards;
};

class TrickReplay {
 public:
  // HandStep values: the trick number, the seat, and the step's own word.
  static constexpr size_t kTrickValue = 0, kSeatValue = 1;

  // Forgets the steps and tricks; the replay stands before its first step.
  void Clear();

  // The steps of the hand, replacing the old ones; the replay then stands before the first step.
  void SetSteps(std::vector<HandStep> steps);
  const std::vector<HandStep>& Steps() const { return m_steps; }

  // Appends a trick with that number, its seats' cards gathered from the steps of that trick.
  // A step whose seat is not one of the `seats` is left out.
  void AppendTrick(int16_t trickNo, int16_t seats);
  // One trick for every trick number of the steps, in the order they first appear.
  void BuildTricks(int16_t seats);
  const std::vector<ReplayTrick>& Tricks() const { return m_tricks; }
  // The trick at the current trick index, or null when there is none.
  const ReplayTrick* CurrentTrick() const;
  // The current trick index counts from 1 (0 while there are no tricks).
  int16_t CurrentTrickIndex() const { return m_currentTrick; }
  int16_t TrickCount() const { return m_trickCount; }
  // Moves the current trick index by one, not below 1 and not past the last trick; false when it
  // did not move.
  bool Back();
  bool Forward();
  // Makes the trick with that number the current one; false when there is no such trick.
  bool SelectTrick(int16_t trickNo);

  // The index of the next step to show; -1 before a record was loaded.
  int16_t CurrentStepIndex() const { return m_currentStep; }
  // The step at the current step index, advancing the index; null past the last step.
  const HandStep* NextStep();
  // Moves the step index one step back; false at the first step.
  bool UndoStep();
  // The indexes of the steps of a trick.
  std::vector<size_t> StepsOfTrick(int16_t trickNo) const;

  // The cards a seat played in all steps.
  std::vector<card> SeatCards(int16_t seat) const;

 private:
  std::vector<HandStep> m_steps;
  std::vector<ReplayTrick> m_tricks;
  int16_t m_currentTrick = 0;
  int16_t m_trickCount = 0;
  int16_t m_currentStep = -1;
};
