// The mahjong play table's hand record: saved at the end of a hand, loaded for review and
// replayed step by step through the same rows as the messages it was made of.
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "mj_hand_file.h"
#include "mj_play_table_internal.h"
#include "mj_texts.h"

using namespace mj_play;

// ---------------------------------------------------------------------------------------------
// The hand record

void CMjPlayTableImp::SaveHandRecord() {
  if (Settings().reviewMode || RecordFiles() == nullptr) return;
  IMjRecordFiles& files = *RecordFiles();
  try {
    if (m_HandRecord.IsEmpty()) {
      files.ShowMessage(kTextNoRecordToSave);
      return;
    }
    const std::string path = files.AskSavePath();
    if (path.empty()) return;  // cancelled: nothing written, nothing said

    const TablePerson* me = GetMe();
    const int16_t desk = me ? me->deskno : -1;
    if (const TablePerson* p = FindPersonAt(desk, GetMySeatNo(), kStatusPlaying)) {
      m_HandRecord.userId = static_cast<int32_t>(p->id);
    }
    m_HandRecord.comInfo = GetComInfo();
    m_HandRecord.subType = Settings().subType;
    m_HandRecord.seats = GetSeatsPerTable();
    if (m_HandRecord.persons.empty()) {
      for (const TablePerson* p : GetPersons()) {
        if (p->status == kStatusPlaying && p->deskno == desk) m_HandRecord.persons.push_back(*p);
      }
    }
    const std::vector<uint8_t> bytes = StoreHandFile(m_ListHead, m_HandRecord);
    files.ShowMessage(files.WriteFile(path, bytes) ? kTextRecordSaved : kTextRecordSaveFailed);
  } catch (...) {
    // A dialog or a file call that failed: the record was not saved.
    Guard([&] { files.ShowMessage(kTextRecordSaveFailed); });
  }
}

void CMjPlayTableImp::LoadHandRecord() {
  if (RecordFiles() == nullptr) return;
  IMjRecordFiles& files = *RecordFiles();
  Guard([&] {
    std::vector<uint8_t> bytes;
    CMjHandRecord loaded;
    ListHead head = m_ListHead;
    if (!files.ReadFile(GetReviewFileName(), bytes) ||
        LoadHandFile(bytes.data(), bytes.size(), head, loaded) != HandFileError::None ||
        (loaded.stage == kStageFromDeal && !IsSeat(loaded.banker))) {
      files.ShowMessage(kTextRecordUnreadable);
      return;
    }
    m_ListHead = head;
    m_HandRecord = std::move(loaded);
    m_nDrawIndex = m_nDiscardIndex = m_nMeldIndex = m_nKongIndex = m_nTingIndex = 0;
    // The replay's next-step and automatic buttons answer only in review style.
    Table().SetReviewStyle(1);
    SeatRecordedPersons();
    m_playingRecord = true;
    try {
      SetUpRecordedHand();
    } catch (...) {
      m_playingRecord = false;
      throw;
    }
    m_playingRecord = false;
    Table().ShowControlButtons(1);
  });
}

// The record's players take their seats on the display, which draws no seat without a person:
// without them the replayed deal would never be shown whole. The display keeps the records'
// addresses; the loaded record stays as it is for the rest of the review.
void CMjPlayTableImp::SeatRecordedPersons() {
  for (const TablePerson& p : m_HandRecord.persons) {
    if (!IsSeat(p.seatno)) continue;
    Table().SetPersonLocation(Loc(p.seatno), GetPersonIcon(&p), &p);
  }
}

void CMjPlayTableImp::SetUpRecordedHand() {
  const CMjHandRecord& r = m_HandRecord;
  switch (r.stage) {
    case kStageFromDeal: {
      OnHandStart(r.hand, 1);
      const int16_t l = Loc(r.banker);
      StartOneHand(l);
      Table().InitWall(r.wallSize);
      // The prevailing wind turns every four hands, starting with hand 1.
      const auto wind = static_cast<int16_t>(((r.hand - 1) % 4 + 4) % 4);
      Table().SetBanker(l, wind);
      Arithmetic().SetBanker(l, wind);
      PlayRecorded(kMjDeal, r.deal);
      break;
    }
    case kStageFromTurn:
      PlayRecorded(kMjResume3, r.snapshot3);
      break;
    case kStageFromDiscard:
      PlayRecorded(kMjResume4, r.snapshot4);
      break;
    default:
      break;
  }
}

template <class Record>
void CMjPlayTableImp::PlayRecorded(uint16_t id, const Record& record) {
  const auto bytes = ToWireBytes(record);
  RunMjMessage(id, bytes.data(), bytes.size());
}

void CMjPlayTableImp::ReplayNextStep() {
  const CMjHandRecord& r = m_HandRecord;
  if (m_nReplayPos < 0 || static_cast<size_t>(m_nReplayPos) >= r.steps.size()) return;
  // The entry of a step's list that is next to be read; null when the list has run out.
  const auto next = [](const auto& list, int16_t& index) {
    using Entry = typename std::decay_t<decltype(list)>::value_type;
    const Entry* e = index >= 0 && static_cast<size_t>(index) < list.size()
                         ? &list[static_cast<size_t>(index)]
                         : nullptr;
    if (e) ++index;
    return e;
  };
  const int16_t kind = r.steps[static_cast<size_t>(m_nReplayPos)];
  // The step is taken before it runs: a control that fails during it does not make the replay
  // show it again.
  std::function<void()> run;
  switch (kind) {
    case kStepDraw:
      if (const auto* e = next(r.draws, m_nDrawIndex)) run = [this, m = *e] { PlayRecorded(kMjDraw, m); };
      break;
    case kStepDiscard:
      if (const auto* e = next(r.discards, m_nDiscardIndex)) {
        run = [this, m = *e] { PlayRecorded(kMjDiscard, m); };
      }
      break;
    case kStepMeld:
      if (const auto* e = next(r.melds, m_nMeldIndex)) run = [this, m = *e] { PlayRecorded(kMjMeld, m); };
      break;
    case kStepAddedKong:
    case kStepKongOnDiscard:
    case kStepConcealedKong:
      if (const auto* e = next(r.kongs, m_nKongIndex)) {
        uint16_t id = 0;
        for (const KongOfMessage& k : kKongMessages) {
          if (k.stepKind == kind) id = k.id;
        }
        run = [this, id, m = *e] { PlayRecorded(id, m); };
      }
      break;
    case kStepTing:
      if (const auto* e = next(r.tings, m_nTingIndex)) run = [this, m = *e] { PlayRecorded(kMjTing, m); };
      break;
    case kStepWin:
      run = [this, m = r.result] { PlayRecorded(kMjHuResult, m); };
      break;
    case kStepWallEmpty:
      run = [this, m = r.wallEmpty] { PlayRecorded(kMjWallEmpty, m); };
      break;
    default:
      // An unknown kind replays nothing and is passed over.
      ++m_nReplayPos;
      return;
  }
  if (!run) return;  // the step's list has run out: the replay stops here
  ++m_nReplayPos;
  m_playingRecord = true;
  Guard(run);
  m_playingRecord = false;
}

void CMjPlayTableImp::StartAutoReview() {
  if (Settings().reviewMode) SetTableTimer(kTimerReplayStep, kReplayStepPeriod);
}
