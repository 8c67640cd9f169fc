// The base play table's defaults for a card game of playing cards that plays in tricks: the
// set-up of display and engine, the start of a hand, the automatic play, the card encoding, the
// picture folder and the trick-by-trick replay. The mahjong table replaces what it uses.
#include "vyr_poke_play_table.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "archive.h"
#include "hand_storage.h"
#include "person_records.h"
#include "play_table_texts.h"
#include "playing_card_codec.h"

namespace {

// The display's playing cards: 13 to a row, 15 pixels apart, 25 pixels raised when chosen.
constexpr int16_t kPokeRowCards = 13, kPokeSpacing = 15, kPokeRaise = 25;
constexpr int32_t kPokeFlags = 0x8000;
constexpr int16_t kPokeType = 2;
// The trump a new hand starts with.
constexpr int16_t kStartTrumpColor = 2, kStartTrumpValue = 0;

}  // namespace

void CVyrPokePlayTableImp::InitTable() {
  if (m_display) {
    m_display->InitTable(m_settings.seatsPerTable, IsPlayer() ? 1 : 0, kPokeType);
    m_display->SetCardBitmap(m_look.cardFace, m_look.cardBack);
    m_display->SetBkBitmap(m_look.background);
    m_display->InitPoke(kPokeRowCards, kPokeSpacing, kPokeRaise, 0, kPokeFlags);
    m_display->SetSubType(m_settings.subType);
    m_display->SetAdvUrl(m_look.advertUrl.c_str());
    m_display->SetPokeSeparater(1);
  }
  for (int16_t loc = 0; loc < m_settings.seatsPerTable; ++loc) ShowSeatPerson(loc);
}

void CVyrPokePlayTableImp::InitArithmetic() {
  if (m_rules) m_rules->SetSubType(m_settings.subType);
}

int16_t CVyrPokePlayTableImp::FromCardsToChars(int16_t& count, uint8_t* codes,
                                               const std::vector<card>& cards) {
  std::vector<std::string> complaints;
  const auto given = static_cast<int16_t>(std::min<size_t>(cards.size(), kMostPlayingCards));
  count = CodesFromPlayingCards(given, cards.data(), codes, complaints);
  for (const std::string& text : complaints) ShowMessageNotice(text.c_str(), false);
  return count;
}

void CVyrPokePlayTableImp::OnHandStart(int16_t handNo, int16_t more) {
  m_handStarted = 1;
  if (more == 0) {
    m_gameOver = 1;
    CloseSocket();
    ShowMessageNotice(kTextNetworkFaultGameOver, true);
    return;
  }
  CloseWaitDialog();
  if (m_display) {
    if (!IsPlayer()) m_display->ResetTable();
    m_display->SetTrump(kStartTrumpColor, kStartTrumpValue);
    m_display->ShowControlButtons(1);
  }
  if (m_auxViews[0]) m_auxViews[0]->SetHandNo(handNo);
  if (m_rules) m_rules->SetHandNo(handNo);
  m_exitRequestsSent = 0;
  if (IsPlayer()) StartDeal(0);
}

void CVyrPokePlayTableImp::StartOneHand(int16_t seat) {
  m_replay.Clear();
  CloseWaitDialog();
  if (m_rules) m_rules->StartOneHand(-1, GetLocFromSeatNo(seat));
  if (m_display) {
    m_display->StartOneHand();
    m_display->ShowControlButtons(1);
    m_display->HideStartSign();
  }
  if (m_auxViews[0] && m_rules) m_auxViews[0]->SetHandNo(m_rules->GetHandNo());
}

void CVyrPokePlayTableImp::AutoSend() {
  if (!IsPlayer() || !m_rules) return;
  std::vector<card> cards;
  m_rules->AutoSendCards(cards);
}

void CVyrPokePlayTableImp::AddHotRegion(const HotRegionRecord& region) {
  (void)region;
  ShowMessageNotice(kTextNotOverridden, false);
}

std::string CVyrPokePlayTableImp::GetImageDir() {
  const std::string program = GetProgramPath();
  const size_t slash = program.find_last_of("\\/");
  // Without a folder in the path the pictures are looked for beside the working folder.
  if (slash == std::string::npos) return "image";
  return program.substr(0, slash) + "\\image";
}

void CVyrPokePlayTableImp::SetSound(int value) {
  m_sound = value;
  Guarded([&] {
    if (m_display) m_display->ResetSound(value != 0 ? 1 : 0);
  });
}

// --- The hand record ---

void CVyrPokePlayTableImp::SaveHandRecord() {
  if (!m_recordFiles) return;
  IRecordFiles& files = *m_recordFiles;
  try {
    const std::string path = files.AskSavePath();
    if (path.empty()) return;  // cancelled: nothing written, nothing said
    CHandStorage record;
    const TablePerson* me = GetMe();
    const int16_t desk = me ? me->deskno : -1;
    if (const TablePerson* p = FindPersonAt(desk, GetMySeatNo(), kStatusPlaying))
      record.userId = static_cast<int32_t>(p->id);
    record.comment = GetComInfo();
    record.subType = m_settings.subType;
    record.seatsPerTable = m_settings.seatsPerTable;
    for (const auto& p : m_persons)
      if (p->status == kStatusPlaying && p->deskno == desk) record.persons.push_back(*p);
    record.steps = m_replay.Steps();
    ArchiveWriter archive;
    record.SerializeWithSteps(archive);
    files.ShowMessage(files.WriteFile(path, archive.GetBytes()) ? kTextRecordSaved
                                                                : kTextRecordSaveFailed);
  } catch (...) {
    // A dialog or a file call that failed: the record was not saved.
    Guarded([&] { files.ShowMessage(kTextRecordSaveFailed); });
  }
}

void CVyrPokePlayTableImp::LoadHandRecord() {
  if (!m_recordFiles) return;
  IRecordFiles& files = *m_recordFiles;
  Guarded([&] {
    std::vector<uint8_t> bytes;
    CHandStorage record;
    const bool read = files.ReadFile(GetReviewFileName(), bytes);
    ArchiveReader archive(bytes);
    if (!read || !record.LoadWithSteps(archive)) {
      files.ShowMessage(kTextRecordUnreadable);
      return;
    }
    SetReplaySteps(std::move(record.steps));
    // The hand of the player who recorded it: the cards that seat played.
    std::vector<card> hand;
    for (const TablePerson& p : record.persons)
      if (static_cast<int32_t>(p.id) == record.userId) {
        hand = m_replay.SeatCards(p.seatno);
        break;
      }
    if (m_display) {
      m_display->DeleteAllFromMyHand();
      const auto count = static_cast<int16_t>(std::min<size_t>(hand.size(), INT16_MAX));
      m_display->AddCardsToMyHandWithSort(count, hand.data());
    }
  });
}

// --- The trick replay ---

void CVyrPokePlayTableImp::SetReplaySteps(std::vector<HandStep> steps) {
  m_replay.SetSteps(std::move(steps));
  m_replay.BuildTricks(m_settings.seatsPerTable);
}

void CVyrPokePlayTableImp::ReplayUndoStep() { m_replay.UndoStep(); }

void CVyrPokePlayTableImp::ReplayNextStep() {
  const int16_t index = m_replay.CurrentStepIndex();
  if (m_replay.NextStep()) ShowRecordedStep(static_cast<size_t>(index));
}

void CVyrPokePlayTableImp::ShowReplayStep() {
  const ReplayTrick* trick = m_replay.CurrentTrick();
  if (trick && m_auxViews[0]) m_auxViews[0]->ShowTrick(trick->number, trick->seatCards);
}

void CVyrPokePlayTableImp::ReplayBack() {
  m_replay.Back();
  ShowReplayStep();
}

void CVyrPokePlayTableImp::ReplayForward() {
  m_replay.Forward();
  ShowReplayStep();
}

void CVyrPokePlayTableImp::ReplayPrevTrick() {
  if (!m_replay.Back()) return;
  for (size_t step : m_replay.StepsOfTrick(m_replay.CurrentTrick()->number)) ShowRecordedStep(step);
}

void CVyrPokePlayTableImp::ReplayNextTrick() {
  if (!m_replay.Forward()) return;
  for (size_t step : m_replay.StepsOfTrick(m_replay.CurrentTrick()->number)) ShowRecordedStep(step);
}

void CVyrPokePlayTableImp::ShowRecordedStep(size_t index) {
  if (index >= m_replay.Steps().size()) return;
  const HandStep& step = m_replay.Steps()[index];
  const int16_t trickNo = step.values[TrickReplay::kTrickValue];
  const ReplayTrick* trick = m_replay.CurrentTrick();
  if ((!trick || trick->number != trickNo) && m_replay.SelectTrick(trickNo)) ShowReplayStep();
  const int16_t loc = GetLocFromSeatNo(step.values[TrickReplay::kSeatValue]);
  if (loc >= 0 && m_display && !step.cards.empty()) {
    const auto count = static_cast<int16_t>(std::min<size_t>(step.cards.size(), INT16_MAX));
    m_display->SetRecvCards(loc, count, step.cards.data(), 0, 1, 0, 0);
  }
  ShowStepCards(step);
}

void CVyrPokePlayTableImp::CollectSeatCards(int16_t seat, std::vector<card>& cards) const {
  cards = m_replay.SeatCards(seat);
}

void CVyrPokePlayTableImp::ShowStepCards(const HandStep& step) {
  if (m_auxViews[1]) m_auxViews[1]->ShowStepCards(step.values[TrickReplay::kSeatValue], step.cards);
}
