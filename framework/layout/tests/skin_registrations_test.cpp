#include "skin_registrations.h"

#include <gtest/gtest.h>

namespace layout {
namespace {

TEST(SkinRegistrations, RegisterUnregisterAndAppend) {
  SkinRegistrations r;
  r.Register(1, 11);
  r.Register(2, 12);
  r.Register(1, 99);  // already there: nothing changes
  r.Register(3, 13);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r.notify(0), 11u);
  r.Unregister(7);  // never registered
  EXPECT_EQ(r.size(), 3u);
  r.Unregister(2);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r.window(1), 3u);
  EXPECT_EQ(r.notify(1), 13u) << "the notification window goes with its window";

  SkinRegistrations other;
  other.Register(5, 15);
  r.Append(other);
  r.Append(other);  // assigning twice doubles the pairs
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r.window(3), 5u);
  r.Append(r);
  EXPECT_EQ(r.size(), 8u);
  r.Clear();
  EXPECT_TRUE(r.empty());
}

}  // namespace
}  // namespace layout
