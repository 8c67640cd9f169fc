#include "trick_replay.h"

#include <algorithm>
#include <limits>

void TrickReplay::Clear() {
  m_steps.clear();
  m_tricks.clear();
  m_currentTrick = 0;
  m_trickCount = 0;
  m_currentStep = -1;
}

void TrickReplay::SetSteps(std::vector<HandStep> steps) {
  Clear();
  m_steps = std::move(steps);
  // The index is a short: a longer list is replayed up to what it can count.
  if (m_steps.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    m_steps.resize(std::numeric_limits<int16_t>::max());
  }
  m_currentStep = 0;
}

void TrickReplay::AppendTrick(int16_t trickNo, int16_t seats) {
  if (m_trickCount == std::numeric_limits<int16_t>::max()) return;
  ReplayTrick trick;
  trick.number = trickNo;
  trick.seatCards.resize(static_cast<size_t>(std::max<int16_t>(seats, 0)));
  for (const HandStep& step : m_steps) {
    const int16_t seat = step.values[kSeatValue];
    if (step.values[kTrickValue] != trickNo || seat < 0 || seat >= seats) continue;
    auto& cards = trick.seatCards[static_cast<size_t>(seat)];
    cards.insert(cards.end(), step.cards.begin(), step.cards.end());
  }
  m_tricks.push_back(std::move(trick));
  m_trickCount = static_cast<int16_t>(m_tricks.size());
  if (m_currentTrick == 0) m_currentTrick = 1;
}

void TrickReplay::BuildTricks(int16_t seats) {
  m_tricks.clear();
  m_trickCount = 0;
  m_currentTrick = 0;
  std::vector<int16_t> numbers;
  for (const HandStep& step : m_steps) {
    const int16_t no = step.values[kTrickValue];
    if (std::find(numbers.begin(), numbers.end(), no) == numbers.end()) numbers.push_back(no);
  }
  for (int16_t no : numbers) AppendTrick(no, seats);
}

const ReplayTrick* TrickReplay::CurrentTrick() const {
  if (m_currentTrick < 1 || m_currentTrick > m_trickCount) return nullptr;
  return &m_tricks[static_cast<size_t>(m_currentTrick - 1)];
}

bool TrickReplay::Back() {
  if (m_currentTrick <= 1) return false;
  --m_currentTrick;
  return true;
}

bool TrickReplay::Forward() {
  if (m_currentTrick >= m_trickCount) return false;
  ++m_currentTrick;
  return true;
}

bool TrickReplay::SelectTrick(int16_t trickNo) {
  for (size_t i = 0; i < m_tricks.size(); ++i) {
    if (m_tricks[i].number != trickNo) continue;
    m_currentTrick = static_cast<int16_t>(i + 1);
    return true;
  }
  return false;
}

const HandStep* TrickReplay::NextStep() {
  if (m_currentStep < 0 || static_cast<size_t>(m_currentStep) >= m_steps.size()) return nullptr;
  return &m_steps[static_cast<size_t>(m_currentStep++)];
}

bool TrickReplay::UndoStep() {
  if (m_currentStep <= 0) return false;
  --m_currentStep;
  return true;
}

std::vector<size_t> TrickReplay::StepsOfTrick(int16_t trickNo) const {
  std::vector<size_t> indexes;
  for (size_t i = 0; i < m_steps.size(); ++i) {
    if (m_steps[i].values[kTrickValue] == trickNo) indexes.push_back(i);
  }
  return indexes;
}

std::vector<card> TrickReplay::SeatCards(int16_t seat) const {
  std::vector<card> cards;
  for (const HandStep& step : m_steps) {
    if (step.values[kSeatValue] == seat) cards.insert(cards.end(), step.cards.begin(), step.cards.end());
  }
  return cards;
}
