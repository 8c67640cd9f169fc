// Fuzz target: the mahjong bodies through the whole receive path, onto the real table model
// (and, when the script asks, the real rules engine). The script's form is mj_fuzz_script.h's; a
// message's body goes out as a correctly signed frame, so it reaches the mahjong dispatch.
//
// After every message the table has asked for exactly one header, unless it closed the
// connection, and the hand record stays within its bounds. After a recovery snapshot the table
// took:
//   - 651 and 652 leave no tile in any seat's hand;
//   - 653, 654 and 655 leave no seat with more concealed tiles than 14 or than the snapshot
//     itself gives (a snapshot over a shown hand must not show its tiles twice);
//   - after 653 and 654, the own hand on the display is the one the engine holds, when the real
//     engine plays and the own tiles are all real tiles.
// Seeds: the tests' hands (KORVEL_MJ_RECEIVE_SEEDS, see mj_fakes.h). KORVEL_FUZZ_ID_REPORT=1
// lists at exit how often each id reached its handler.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "mj_fuzz_script.h"
#include "mj_model_table.h"
#include "mj_real_engine.h"
#include "tile_codec.h"

namespace {

std::map<uint16_t, unsigned long> g_reached;

void ReportIds() {
  std::fprintf(stderr, "ids that reached their handler:");
  for (const auto& [id, count] : g_reached) std::fprintf(stderr, " %u:%lu", id, count);
  std::fprintf(stderr, "\n");
}

// A tile of the set, as the engine takes it.
bool RealTileCode(uint8_t code) {
  const card c = TileFromCode(code);
  if (c.m_nColor < 0 || c.m_nColor > 6 || c.m_nValue < 1 || c.m_nValue > 9) return false;
  if (c.m_nValue >= 5) return c.m_nColor <= 2;
  return !(c.m_nValue == 4 && c.m_nColor == 4);
}

// A zero-terminated tile string of a body: its codes (at most size bytes).
std::vector<uint8_t> Codes(const std::vector<uint8_t>& body, size_t at, size_t size) {
  std::vector<uint8_t> codes;
  for (size_t i = at; i < at + size && i < body.size() && body[i] != 0; ++i) codes.push_back(body[i]);
  return codes;
}
uint16_t U16(const std::vector<uint8_t>& body, size_t at) {
  return at + 1 < body.size() ? static_cast<uint16_t>(body[at] << 8 | body[at + 1]) : 0;
}

template <class Session>
void CheckSnapshot(Session& s, uint16_t id, const std::vector<uint8_t>& body, int16_t mySeat,
                   bool player) {
  ModelMjTable& display = s.display;
  if (id == 651 || id == 652) {
    for (int16_t l = 0; l < 2; ++l)
      if (display.Concealed(l) != 0) __builtin_trap();
    return;
  }
  // The counts the snapshot gives: the own string, the other seat's count.
  size_t own = 14, counts = 196;
  if (id == 654) counts = 198;
  if (id == 655) {
    own = 14 + 20 * static_cast<size_t>(mySeat & 1);
    counts = 218;
  }
  const std::vector<uint8_t> mine = Codes(body, own, 20);
  int bound = std::max<int>(14, static_cast<int>(mine.size()));
  for (int seat = 0; seat < 2; ++seat)
    bound = std::max<int>(bound, std::min<int>(U16(body, counts + 2 * static_cast<size_t>(seat)), 20));
  for (int16_t l = 0; l < 2; ++l)
    if (display.Concealed(l) > bound) __builtin_trap();

  if constexpr (requires { s.engine.Glue(); }) {
    if (!player || id == 655) return;
    if (id == 654 && U16(body, 190) == static_cast<uint16_t>(mySeat)) return;
    if (!std::all_of(mine.begin(), mine.end(), RealTileCode)) return;
    if (display.OwnTiles() != StateOf(s.engine).hand) __builtin_trap();
  }
}

template <class Engine>
void Drive(const uint8_t* data, size_t size, int16_t mySeat, bool player) {
  MjSessionT<Engine, ModelMjTable> s(mySeat);
  s.settings.PlayerFlag = player ? 1 : 0;
  s.table.SetDiceSource([] { return 4u; });
  while (size >= 2) {
    const uint8_t selector = data[0];
    size_t length = data[1];
    data += 2;
    size -= 2;
    if (length > size) length = size;
    std::vector<uint8_t> body(data, data + length);
    data += length;
    size -= length;

    if (selector < 2 * kMjFuzzIdCount) {
      const uint16_t id = kMjFuzzIds[selector % kMjFuzzIdCount];
      const size_t record = MjBodySize(id);
      if (selector < kMjFuzzIdCount && body.size() < record) body.resize(record, 0);
      if (s.pending.size() != 1) {
        // Closed by a handler: the reconnect asks for a header again.
        const size_t mark = s.Mark();
        s.table.OnSocketConnect(1);
        s.pending = s.RequestsSince(mark);
        if (s.pending.size() != 1) __builtin_trap();
      }
      const bool snapshot = id >= 651 && id <= 655;
      const bool reaches = record != 0 && body.size() >= record &&
                           (snapshot || id == 602 || s.table.IgnoresMjData() == 0);
      const size_t closes = static_cast<size_t>(s.socket.closes);
      const size_t mark = s.Mark();
      if (!s.Send(id, body)) __builtin_trap();
      if (s.pending.size() != 1 && static_cast<size_t>(s.socket.closes) == closes) __builtin_trap();
      if (reaches) {
        ++g_reached[id];
        // A snapshot whose seats the table took rebuilt the hand (each starts a new one).
        const CallLog since = s.Since(mark);
        if (snapshot && std::find(since.begin(), since.end(), "T.StartOneHand()") != since.end())
          CheckSnapshot(s, id, body, mySeat, player);
      }
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
    const CMjHandRecord& r = s.table.HandRecord();
    if (r.steps.size() > CMjHandRecord::kMaxSteps ||
        r.draws.size() + r.discards.size() + r.melds.size() + r.kongs.size() + r.tings.size() >
            r.steps.size())
      __builtin_trap();
    if (s.log.size() > 20000) s.log.clear();
    if (s.socket.sent.size() > 1000) s.socket.sent.clear();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool report = [] {
    if (std::getenv("KORVEL_FUZZ_ID_REPORT")) std::atexit(ReportIds);
    return true;
  }();
  (void)report;
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const auto seat = static_cast<int16_t>(flags & 1);
  const bool player = (flags & kMjFuzzWatching) == 0;
  if (flags & kMjFuzzRealEngine) {
    Drive<GlueArithmetic>(data + 1, size - 1, seat, player);
  } else {
    Drive<FakeMjArithmetic>(data + 1, size - 1, seat, player);
  }
  return 0;
}
