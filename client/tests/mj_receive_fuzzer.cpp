// Fuzz target: the mahjong bodies through the whole receive path. The input is a script: its
// first byte chooses the seat, whether the local user plays and whether the real rules engine
// sits behind the table; then each step is a selector byte, a length byte and that many body
// bytes. A selector names a mahjong id (the body goes out as a correctly signed frame, so it
// reaches the mahjong dispatch) or a player action. After every message the table has asked for
// exactly one header, unless it closed the connection.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "mj_real_engine.h"

namespace {

constexpr uint16_t kIds[] = {601, 602, 606, 607, 611, 616, 617, 621, 622, 623, 626, 627, 628,
                             631, 636, 637, 638, 639, 641, 642, 651, 652, 653, 654, 655, 699};

template <class Engine>
void Drive(const uint8_t* data, size_t size, int16_t mySeat, bool player) {
  MjSessionT<Engine> s(mySeat);
  s.settings.PlayerFlag = player ? 1 : 0;
  s.table.SetDiceSource([] { return 4u; });
  while (size >= 2) {
    const uint8_t selector = data[0];
    size_t length = data[1];
    data += 2;
    size -= 2;
    if (length > size) length = size;
    const std::vector<uint8_t> body(data, data + length);
    data += length;
    size -= length;

    if (selector < 2 * std::size(kIds)) {
      const uint16_t id = kIds[selector % std::size(kIds)];
      if (s.pending.size() != 1) {
        // Closed by a handler: the reconnect asks for a header again.
        const size_t mark = s.Mark();
        s.table.OnSocketConnect(1);
        s.pending = s.RequestsSince(mark);
        if (s.pending.size() != 1) __builtin_trap();
      }
      const size_t closes = static_cast<size_t>(s.socket.closes);
      if (!s.Send(id, body)) __builtin_trap();
      if (s.pending.size() != 1 && static_cast<size_t>(s.socket.closes) == closes) __builtin_trap();
    } else {
      const card tile{body.empty() ? 0 : body[0] & 7, body.empty() ? 0 : body[0] >> 3};
      switch (selector % 12) {
        case 0: s.table.OnChi(); break;
        case 1: s.table.OnPeng(); break;
        case 2: s.table.OnGang(); break;
        case 3: s.table.OnHuDeclare(); break;
        case 4: s.table.OnTingDeclare(); break;
        case 5: s.table.InfoDlg().OnBoardClick(static_cast<int16_t>(length % 5) - 1); break;
        case 6: s.table.OnTimeOut(0); break;
        case 7: s.table.ThrowDice(); break;
        case 8: s.table.OnRequestSend(1, &tile); break;
        case 9: s.table.OnGuo(); break;
        case 10: s.table.OnNetworkEnd(2); break;
        default: s.timers.Advance(1500); break;
      }
    }
    if (s.log.size() > 20000) s.log.clear();
    if (s.socket.sent.size() > 1000) s.socket.sent.clear();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const auto seat = static_cast<int16_t>(flags & 1);
  const bool player = (flags & 2) == 0;
  if (flags & 4) {
    Drive<GlueArithmetic>(data + 1, size - 1, seat, player);
  } else {
    Drive<FakeMjArithmetic>(data + 1, size - 1, seat, player);
  }
  return 0;
}
