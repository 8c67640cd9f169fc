// Proxy replies and receive segmentation from arbitrary bytes: the first byte picks the proxy
// kind and the chunk size, the rest is what the proxy sends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "socket_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  vyrsock::ProxySettings proxy{vyrsock::ProxyKindFromCode(1 + data[0] % 4), "127.0.0.1", 1080,
                               "user", "password"};
  size_t chunk = 1 + (data[0] >> 2);
  vyrsock::ProxyHandshake h(proxy, (data[0] & 0x80) ? "game.host" : "127.0.0.1", 7000);
  vyrsock::ReceiveBuffer after;
  std::vector<uint8_t> got;
  size_t pos = 1;
  while (pos < size) {
    size_t n = std::min(chunk, size - pos);
    h.TakeOutput();
    size_t used = h.state() == vyrsock::ProxyHandshake::State::Running ? h.Feed(data + pos, n) : 0;
    if (used > n) __builtin_trap();
    after.Append(data + pos + used, n - used);
    after.Request(chunk);
    if (after.Ready()) {
      after.Take(&got);
      if (got.size() != chunk) __builtin_trap();
    }
    pos += n;
  }
  return 0;
}
