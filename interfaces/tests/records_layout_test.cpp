// The shared records carry static_asserts on their sizes and offsets; this test makes the
// native build compile them and checks what a static_assert cannot: how the fields read back.
#include "records/card.h"
#include "records/lobby_records.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(RecordsLayout, PersonFieldsLandAtTheirOffsets) {
  unsigned char raw[sizeof(PERSON)] = {};
  const uint32_t id = 0x01020304;
  std::memcpy(raw + 0, &id, 4);
  std::memcpy(raw + 4, "alice", 6);
  const int16_t seat = 1;
  std::memcpy(raw + 156, &seat, 2);
  const int16_t dislike = -1;
  std::memcpy(raw + 282, &dislike, 2);
  PERSON p;
  std::memcpy(&p, raw, sizeof p);
  EXPECT_EQ(p.id, id);
  EXPECT_STREQ(p.username, "alice");
  EXPECT_EQ(p.seatno, 1);
  EXPECT_EQ(p.ismydislike, -1);
}

TEST(RecordsLayout, CardEquality) {
  EXPECT_TRUE((card{2, 5} == card{2, 5}));
  EXPECT_FALSE((card{2, 5} == card{1, 5}));
  EXPECT_FALSE((card{-1, -1} == card{0, 0}));
}
