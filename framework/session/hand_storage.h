// CHandStorage: the framework's own hand record, the default a card game built on the base play
// table saves and loads (the mahjong table keeps a record of its own). It holds who recorded the
// hand, the session's comment text, sub type and seats per table, the persons at the table, and
// the steps of the hand.
//
// Archive forms (numbers little-endian, strings as archive strings, persons in their archive
// form):
//   head only   s32 user id; string comment; s16 sub type; s16 seats per table;
//               s32 person count n; n persons
//   with steps  the head, then s32 step count m; m steps
//   HandStep    s16, s16, s16; s32 card count c; c times (s32 colour, s32 value)
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive.h"
#include "records/card.h"
#include "records/table_person.h"

struct HandStep {
  // The recorded step's three values: the trick number, the seat, and the step's own word.
  std::array<int16_t, 3> values{};
  std::vector<card> cards;

  void Serialize(ArchiveWriter& archive) const;
  // Empties the card list, then reads the step. On truncated or malformed input it returns
  // false (the step then holds what was read so far).
  bool Load(ArchiveReader& archive);
};

class CHandStorage {
 public:
  CHandStorage() = default;
  virtual ~CHandStorage() = default;

  virtual void SerializeWithSteps(ArchiveWriter& archive) const;
  virtual void SerializeHead(ArchiveWriter& archive) const;
  // Loading appends the persons (and steps) read to the lists. On truncated or malformed input
  // they return false; a count larger than the rest of the input can hold is refused.
  bool LoadWithSteps(ArchiveReader& archive);
  bool LoadHead(ArchiveReader& archive);

  int32_t userId = 0;
  std::string comment;
  int16_t subType = 0;
  int16_t seatsPerTable = 0;
  std::vector<TablePerson> persons;
  std::vector<HandStep> steps;
};
