// The record of one hand as the client saw it: the set-up (hand, banker, wall, deal or recovery
// snapshot), every play message body in arrival order with its step kind, and the end (a win or
// an empty wall). The play table fills it as the hand is played; saving, loading and replaying
// it work from these lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive.h"
#include "mj_messages.h"
#include "records/table_person.h"

enum class HandFileError;

enum MjStepKind : int16_t {
  kStepDraw = 0,            // 621, draws
  kStepDiscard = 1,         // 616, discards
  kStepMeld = 2,            // 622, melds
  kStepAddedKong = 3,       // 623, kongs
  kStepKongOnDiscard = 4,   // 639, kongs
  kStepConcealedKong = 5,   // 637, kongs
  kStepTing = 6,            // 631, tings
  kStepWin = 7,             // 627, result
  kStepWallEmpty = 8,       // 628, wallEmpty
};

// Where a replay starts.
enum MjRecordStage : int16_t { kStageFromDeal = 0, kStageFromTurn = 1, kStageFromDiscard = 2 };

struct CMjHandRecord {
  // A hand has well under two hundred steps; a server that sends more is not recorded further.
  static constexpr size_t kMaxSteps = 1024;

  int32_t userId = 0;
  std::string comInfo;
  int16_t subType = 0;
  int16_t seats = 2;
  std::vector<TablePerson> persons;
  int16_t hand = 0;
  int16_t banker = 0;
  int16_t wallSize = 0;
  int16_t stage = kStageFromDeal;
  CMjMessage_Deal deal;
  CMjMessage_Resume3 snapshot3;
  CMjMessage_Resume4 snapshot4;
  std::vector<int16_t> steps;
  std::vector<CMjMessage_Draw> draws;
  std::vector<CMjMessage_Discard> discards;
  std::vector<CMjMessage_Meld> melds;
  std::vector<CMjMessage_KongDraw> kongs;
  std::vector<CMjMessage_Ting> tings;
  CMjMessage_HuResult result;
  CMjMessage_WallEmpty wallEmpty;

  // The archive form of the record as a saved file holds it after the list head
  // (mj_hand_file.cpp). Load reads the same items and appends the entries to the lists; on
  // any error the record is left as it was.
  void Serialize(ArchiveWriter& archive) const;
  HandFileError Load(ArchiveReader& archive);

  // Nothing of a hand has been recorded: no hand start, no snapshot, no step.
  bool IsEmpty() const { return hand == 0 && stage == kStageFromDeal && steps.empty(); }

  // Empties the six lists; the other fields are kept.
  void Reset() {
    steps.clear();
    draws.clear();
    discards.clear();
    melds.clear();
    kongs.clear();
    tings.clear();
  }

  // Appends a body to its list with its step kind (nothing past kMaxSteps).
  template <class Body>
  void Append(MjStepKind kind, std::vector<Body>& list, const Body& body) {
    if (steps.size() >= kMaxSteps) return;
    steps.push_back(kind);
    list.push_back(body);
  }
  // The single-record steps.
  void AppendWin(const CMjMessage_HuResult& body) {
    if (steps.size() >= kMaxSteps) return;
    steps.push_back(kStepWin);
    result = body;
  }
  void AppendWallEmpty(const CMjMessage_WallEmpty& body) {
    if (steps.size() >= kMaxSteps) return;
    steps.push_back(kStepWallEmpty);
    wallEmpty = body;
  }
  // A snapshot taken during the play: the record starts afresh from it.
  void StartFrom(const CMjMessage_Resume3& snapshot) {
    Reset();
    stage = kStageFromTurn;
    snapshot3 = snapshot;
  }
  void StartFrom(const CMjMessage_Resume4& snapshot) {
    Reset();
    stage = kStageFromDiscard;
    snapshot4 = snapshot;
  }
};
