// Timer ids and periods of the framework's table window. The game's own timers use other ids.
#pragma once
#include <cstdint>

enum PlayTableTimer : uint32_t {
  kTimerKeepAlive = 201,
  kTimerReconnectWatchdog = 203,
  kTimerJoinWatchdog = 204,
  kTimerSilenceWatchdog = 205,
  kTimerExitRequestHold = 212,
  kTimerKeepAlive2 = 215,
};
constexpr uint32_t kKeepAlivePeriod = 30000;
constexpr uint32_t kWatchdogPeriod = 45000;
constexpr uint32_t kJoinWatchdogPeriod = 57606648;
constexpr uint32_t kExitRequestHoldPeriod = 45000;
// The fourth lost connection (or watchdog expiry) in a row ends the game.
constexpr int16_t kGiveUpCount = 4;
