// The play table's timers by id as window timers. They run on a hidden window of their own, so
// that their ids never meet the frame's other timers, and each WM_TIMER goes to the table's
// timer entry (CVyrPokePlayTableImp::OnGameTimer).
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "play_table_seams.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

class TableWindowTimers : public winkit::Window, public ITableTimers {
 public:
  using Target = std::function<void(uint32_t id)>;

  TableWindowTimers() = default;
  ~TableWindowTimers() override;
  // Creates the timers' window; false when it cannot be made.
  bool Create();
  // Where expiring timers go (usually the play table's OnGameTimer).
  void SetTarget(Target target) { target_ = std::move(target); }

  // Setting an id that runs restarts it. A timer that cannot be set throws winkit::ComError.
  void SetTimer(uint32_t id, uint32_t milliseconds) override;
  void KillTimer(uint32_t id) override;

  BEGIN_MSG_MAP(TableWindowTimers)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

 private:
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  Target target_;
};
