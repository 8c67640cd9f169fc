// Judging a hand that is set never touches the heap: win, ready, claim and fan count paths.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "korvel_rules.h"
#include "rules_fixture.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

struct Scenario {
  const char* hand;
  const char* win;
};

TEST(AllocationTest, JudgingAHandAllocatesNothing) {
  const Scenario scenarios[] = {
      {"123m 456p 789s 222p 5m", "5m"},
      {"1112345678999m", "1j"},
      {"1133m 5577p 99s 22w 3d", "3d"},
      {"147m 258p 369s 111w 2d", "2d"},
      {"159m 159p 159s 123w 1d", "5w"},
      {"1234m 6789m 1p 1j 99s", "1p"},
  };
  CKorvel rules;
  for (const Scenario& s : scenarios) {
    HandSetup setup;
    setup.concealed = s.hand;
    setup.discards = "9m";
    SetUpHand(rules, setup);
    rules.SetLowFan(1);
    const card win = Tile(s.win);
    const card discard = Tile("5m");

    const long before = g_allocations.load();
    rules.CanDeclareListen();
    rules.CanChi(discard);
    rules.CanPeng(discard);
    rules.CanGangOnSended(discard);
    rules.CanHuOnSended(win);
    rules.AddCardsToMyHand(&win, 1);
    rules.CanGangAfterMo(win);
    rules.CanHuOnMo();
    rules.SetHuInfo(HuSelfDrawn, -1, win);
    int16_t banker, fans, base;
    rules.CalculateScore(banker, fans, base);
    FanType codes[CKorvel::kMaxFanCodes];
    rules.GetFans(codes, CKorvel::kMaxFanCodes);
    EXPECT_EQ(g_allocations.load(), before) << s.hand;
  }
}

}  // namespace
