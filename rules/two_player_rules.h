// CKorvel: the two-player rules, the only rules class the control creates. It replaces the
// base's win and ready tests (seven pairs and the standard hand only), the fan table (54
// patterns, each with its test), the fan points and the score, and adds five extra flags.
#pragma once
#include <cstdint>

#include "mj_gb.h"

class CKorvel : public CMj_Gb {
 public:
  static constexpr int kExtraFlagCount = 5;
  // Room for every code GetFans can report.
  static constexpr int kMaxFanCodes = kExtraFlagCount + kMaxFanRows;

  CKorvel() = default;

  bool CheckHu(const card* tiles, int t, GroupList& groups, int& shape, int w) override;
  bool CheckTing(const card* tiles, int t, GroupList& groups, int w) override;
  void InitFanTable() override;
  int GetFanScore(FanType type) const override;

  // The fans of the last count: first the extra codes of the flags equal to 1, then the type
  // of every found fan in table order. Writes at most `capacity` codes; answers how many
  // there are.
  int GetFans(FanType* out, int capacity) const;
  // The extra flags (0 at construction; no operation of the engine sets them).
  int16_t GetExtraFlag(int i) const {
    return i >= 0 && i < kExtraFlagCount ? m_nExtraFlags[i] : 0;
  }

 protected:
  int16_t m_nExtraFlags[kExtraFlagCount] = {0, 0, 0, 0, 0};
};
