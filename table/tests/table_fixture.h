// Fakes for the table model's seams: a surface that records every drawing step, window timers
// that remember which run, and holders whose sprites are measured as the generated tile art is.
#pragma once
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "comm_mj_table.h"

namespace table::testing {

inline std::string Str(const Rect& r) {
  std::ostringstream o;
  o << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
  return o.str();
}

struct Step {
  std::string what;  // "restore", "holder", "parts", "mark", "image", "faded", "sound", ...
  Rect rect;
  int arg = 0;       // mark, image, sound or holder index
  float opacity = 1;
  const sprites::SpriteHolderCore* holder = nullptr;
  std::vector<Rect> parts;

  explicit Step(std::string w, Rect r = {}, int a = 0, float o = 1)
      : what(std::move(w)), rect(r), arg(a), opacity(o) {}
};

class RecordingSurface : public TableSurface {
 public:
  Rect client{0, 0, 1024, 768};
  sprites::BitmapSize clock{64, 64};
  sprites::BitmapSize meldArea{200, 200};
  std::set<Mark> marks{Mark::Ready, Mark::Banker, Mark::ReadyHand};
  std::vector<Step> steps;
  std::vector<int> buttonsChanged;
  int scoreListChanges = 0;
  std::vector<TextRun> composedTexts;

  Rect ClientRect() const override { return client; }
  sprites::BitmapSize ClockSize() const override { return clock; }
  sprites::BitmapSize MeldAreaSize() const override { return meldArea; }
  void ComposeBackground(const Rect&, const std::vector<TextRun>& texts) override {
    composedTexts = texts;
    steps.push_back(Step("compose"));
  }
  void RestoreBackground(const Rect& r) override { steps.push_back(Step("restore", r)); }
  void DrawHolder(sprites::SpriteHolderCore& h, const Rect& r) override {
    Step s("holder", r);
    s.holder = &h;
    steps.push_back(s);
  }
  void DrawHolderParts(sprites::SpriteHolderCore& h, const Rect& whole,
                       const std::vector<Rect>& parts) override {
    Step s("parts", whole);
    s.holder = &h;
    s.parts = parts;
    steps.push_back(s);
  }
  void DrawMark(Mark m, const Rect& r) override { steps.push_back(Step("mark", r, int(m))); }
  bool HasMark(Mark m) const override { return marks.count(m) != 0; }
  void DrawImage(SkinImage i, const Rect& r, float opacity) override {
    steps.push_back(Step("image", r, int(i), opacity));
  }
  void DrawFadedImage(SkinImage i, int32_t x, int32_t y, float opacity) override {
    steps.push_back(Step("faded", {x, y, x + 200, y + 200}, int(i), opacity));
  }
  void PlaySound(Sound s, int times) override { steps.push_back(Step("sound", {}, int(s), float(times))); }
  void ButtonChanged(int id) override { buttonsChanged.push_back(id); }
  void ScoreListChanged() override { ++scoreListChanges; }
  int32_t MeasureLineHeight(const std::string&) override { return 12; }

  std::vector<Step> Of(const std::string& what) const {
    std::vector<Step> out;
    for (const auto& s : steps)
      if (s.what == what) out.push_back(s);
    return out;
  }
  void Clear() {
    steps.clear();
    buttonsChanged.clear();
  }
};

class FakeTimers : public TimerHost {
 public:
  std::map<uint32_t, uint32_t> running;  // id -> period
  std::vector<std::string> log;
  void SetTimer(uint32_t id, uint32_t ms) override {
    running[id] = ms;
    log.push_back("set " + std::to_string(id));
  }
  void KillTimer(uint32_t id) override {
    running.erase(id);
    log.push_back("kill " + std::to_string(id));
  }
  bool Runs(uint32_t id) const { return running.count(id) != 0; }
};

// The sizes of the generated tile art (tools/tile_art), image and mask side by side.
inline sprites::SpriteBitmapSizes ArtSizes(const SpriteSpec& spec) {
  sprites::SpriteBitmapSizes s;
  const int a = sprites::CMj_Poke::AngleIndex(spec.angle);
  const bool turned = (a % 2) == 1;
  switch (spec.set) {
    case TileSet::Small:
      s.faceSheet = turned ? sprites::BitmapSize{8 * 30, 9 * 22} : sprites::BitmapSize{9 * 22, 8 * 30};
      s.frame = turned ? sprites::BitmapSize{a == 3 ? 72 : 74, 27} : sprites::BitmapSize{54, 37};
      s.faceDown = turned ? sprites::BitmapSize{74, 27} : sprites::BitmapSize{54, 37};
      break;
    case TileSet::Large:
      if (a == 0) {
        s.faceSheet = {9 * 36, 8 * 46};
        s.frame = spec.mode == 1 ? sprites::BitmapSize{76, 52} : sprites::BitmapSize{80, 66};
        s.faceDown = {76, 52};
      }
      break;
    case TileSet::Medium:
      if (a == 0) {
        s.faceSheet = {9 * 28, 8 * 36};
        s.frame = spec.mode == 1 ? sprites::BitmapSize{64, 42} : sprites::BitmapSize{68, 51};
        s.faceDown = {64, 42};
      }
      break;
  }
  s.extra[0] = {54, 37};
  s.extra[1] = {52, 38};
  s.extra[2] = {60, 44};
  s.extra[3] = {46, 30};
  s.extra[4] = {60, 23};
  return s;
}

class ArtHolderFactory : public HolderFactory {
 public:
  std::vector<SpriteSpec> made;
  std::unique_ptr<sprites::SpriteHolderCore> NewHolder() override {
    return std::make_unique<sprites::SpriteHolderCore>(sprites::SpriteBuild::Table);
  }
  void CreateSprite(sprites::SpriteHolderCore& h, const SpriteSpec& spec) override {
    made.push_back(spec);
    h.CreateSprite(spec.kind, spec.angle, spec.margin, spec.mode, spec.background,
                   ArtSizes(spec));
  }
};

// A table as InitTable leaves it: sprites made, fan names, buttons and the score list.
struct TableFixture {
  RecordingSurface surface;
  FakeTimers timers;
  ArtHolderFactory factory;
  std::unique_ptr<CCommMjTable> table;
  TablePerson players[2];

  explicit TableFixture(bool big = true, bool avatar = true, bool play = true) {
    if (!big) surface.client = {0, 0, 800, 600};
    table = std::make_unique<CCommMjTable>(surface, timers, factory, big);
    table->avatarLook = avatar;
    table->playMode = play;
    table->InitPoke(0, 0, 0, 0, 0x8000);
    table->InitFanNames();
    table->CreateButtons();
    table->InitScoreList(0, 1);
    std::snprintf(players[0].username, 34, "me");
    std::snprintf(players[0].nickname, 34, "Me");
    std::snprintf(players[1].username, 34, "you");
    std::snprintf(players[1].nickname, 34, "You");
    table->SetPersonLocation(0, 0, &players[0]);
    table->SetPersonLocation(1, 0, &players[1]);
  }
  CCommMjTable& t() { return *table; }
  CMjLocation& seat(int s) { return *table->Seat(s); }
  std::vector<card> OwnHand() {
    std::vector<card> out;
    uint16_t n = 0;
    seat(0).hand().GetCount(n);
    for (uint16_t i = 0; i < n; ++i) {
      uint16_t v = 0, c = 0;
      seat(0).hand().GetCardAt(static_cast<int16_t>(i), v, c);
      out.push_back({c, v});
    }
    return out;
  }
  uint16_t Count(sprites::SpriteHolderCore& h) {
    uint16_t n = 0;
    h.GetCount(n);
    return n;
  }
  void Deal(std::vector<card> hand) {
    table->AddCardsToMyHandWithSort(static_cast<int16_t>(hand.size()), hand.data());
  }
};

}  // namespace table::testing
