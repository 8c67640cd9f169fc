// Feeds random tile lists and operations through a rules object (the two-player rules or the
// four-player base): deal, draws, discards, claims, melds, win and ready tests, fan count and
// score; and random tiles through the searches of the 16-tile game that no rules object calls.
// Any tile values at all, including ones no set holds, must be handled without a crash or a
// sanitizer report.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "korvel_rules.h"
#include "special_shapes.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Mostly real faces, sometimes anything.
  card Tile() {
    const uint8_t b = Byte();
    if (b >= 0xF0) return {static_cast<int8_t>(Byte()), static_cast<int8_t>(Byte())};
    const int32_t color = b % 8;
    return {color, 1 + (b / 8) % 9};
  }
  std::vector<card> Tiles(int most) {
    std::vector<card> out(Byte() % (most + 1));
    for (card& c : out) c = Tile();
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const uint8_t first = in.Byte();
  std::unique_ptr<CMj_Gb> owner;
  CKorvel* korvel = nullptr;
  if (first & 2) {
    owner = std::make_unique<CMj_Gb>();
  } else {
    auto two_player = std::make_unique<CKorvel>();
    korvel = two_player.get();
    owner = std::move(two_player);
  }
  CMj_Gb& rules = *owner;
  if (first & 1) rules.StartNewHand();
  rules.SetLowFan(static_cast<int16_t>(in.Byte() % 6));
  std::vector<card> deal = in.Tiles(16);
  rules.AddCardsToMyHand(deal.data(), static_cast<int>(deal.size()));

  int steps = 0;
  while (!in.empty() && steps++ < 64) {
    card tile = in.Tile();
    card out[4];
    int16_t kind = 0;
    switch (in.Byte() % 16) {
      case 0: rules.AddCardsToMyHand(&tile, 1); break;
      case 1: rules.SetRecvCards(in.Byte() % 3, 1, &tile); break;
      case 2: {
        std::vector<card> tiles = in.Tiles(5);
        rules.ExposeCard(in.Byte() % 2, in.Byte() % 7, static_cast<int>(tiles.size()),
                         tiles.data());
        break;
      }
      case 3: {
        std::vector<card> tiles = in.Tiles(5);
        rules.ExposeCard_InRecover(0, in.Byte() % 7, static_cast<int>(tiles.size()),
                                   tiles.data());
        break;
      }
      case 4:
        rules.CanChi(tile);
        rules.GetEatCards(in.Byte() % 4 - 1, out);
        break;
      case 5:
        rules.CanPeng(tile);
        rules.GetPengCards(out);
        break;
      case 6:
        rules.CanGangOnSended(tile);
        rules.GetGangCards(in.Byte() % 4 - 1, out, kind);
        break;
      case 7:
        rules.CanGangAfterMo(tile);
        rules.GetHideGangCards(out);
        break;
      case 8: rules.CanHuOnMo(); break;
      case 9: rules.CanHuOnSended(tile); break;
      case 10: rules.CanDeclareListen(); break;
      case 11: rules.SetHuInfo(in.Byte() % 3, 1, tile); break;
      case 12: {
        int16_t banker, fans, base;
        rules.CalculateScore(banker, fans, base);
        if (korvel != nullptr) {
          FanType codes[CKorvel::kMaxFanCodes];
          korvel->GetFans(codes, CKorvel::kMaxFanCodes);
        }
        break;
      }
      case 13: {
        std::vector<card> tiles = in.Tiles(4);
        rules.DeleteCardsFromMyHand(static_cast<int>(tiles.size()), tiles.data());
        break;
      }
      case 14: {
        if (in.Byte() % 4 == 0) {
          // The 16-tile game's members, straight on the tiles (no rules object calls them).
          std::vector<card> tiles = in.Tiles(24);
          const int w = in.Byte() % 9;
          GroupList groups;
          int shape = 0;
          win_search::StandardWin16(tiles.data(), static_cast<int>(tiles.size()), w, groups,
                                    shape);
          win_search::StandardReady16(tiles.data(), static_cast<int>(tiles.size()), w);
          break;
        }
        card chosen;
        rules.AutoSendCards(chosen);
        rules.SetCardAfterGang(tile);
        rules.SetTingStatus(in.Byte() % 2);
        break;
      }
      default: {
        std::vector<card> tiles = in.Tiles(8);
        rules.SetRecvCardsInRecover(static_cast<int>(tiles.size()), tiles.data());
        break;
      }
    }
  }
  return 0;
}
