// Any bytes as "faceconfig.ini" (every picture it names exists, some too large to read), and
// the same bytes cut into an advert element tree; then a hundred ticks of the adverts.
#include <cstdint>
#include <string>

#include "advert_engine.h"
#include "face_store.h"

namespace {

// Builds an element tree from bytes: '<' opens a child named by the next byte, '>' closes it,
// '=' starts an attribute, anything else is text.
chat::XmlElement Tree(const uint8_t* data, size_t size) {
  static const char16_t* const kNames[] = {u"CHATADV", u"VALIDFLAG", u"ITEMINFO", u"ISSUETIME",
                                           u"FREQENCE", u"IssueDate", u"x"};
  static const char16_t* const kKeys[] = {u"advtype", u"chatstyle", u"type", u"url", u"newline",
                                          u"blank", u"color", u"localpath", u"interval",
                                          u"times", u"delay"};
  chat::XmlElement root{u"CHATADV", {}, {}, {}};
  std::vector<chat::XmlElement*> open{&root};
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    if (b == '<' && i + 1 < size && open.size() < 12) {
      open.back()->children.push_back({kNames[data[++i] % 7], {}, {}, {}});
      open.push_back(&open.back()->children.back());
    } else if (b == '>' && open.size() > 1) {
      open.pop_back();
    } else if (b == '=' && i + 2 < size) {
      const char16_t* key = kKeys[data[++i] % 11];
      std::u16string value;
      for (uint8_t n = data[++i] % 12; n > 0 && i + 1 < size; --n) value += static_cast<char16_t>(data[++i]);
      open.back()->attributes.emplace_back(key, value);
    } else {
      open.back()->text += static_cast<char16_t>(b);
    }
  }
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string config(reinterpret_cast<const char*>(data), size);
  chat::FaceStore store([&](const std::string& path, size_t max_bytes) {
    chat::FileRead r;
    if (path.size() > 3 && path.back() == 'n') {  // "...faceconfig.ini"
      r.status = chat::FileRead::kRead;
      r.bytes.assign(config.begin(), config.end());
    } else {
      r.status = path.size() % 3 == 0 ? chat::FileRead::kUnreadable : chat::FileRead::kRead;
      if (r.status == chat::FileRead::kRead) r.bytes.assign(std::min<size_t>(path.size(), max_bytes), 'G');
    }
    return r;
  });
  store.InitFlag("C:\\game");
  for (int list = 0; list < chat::kPictureListCount; ++list)
    if (store.List(list).size() > static_cast<size_t>(chat::FaceStore::kMaxItems)) __builtin_trap();
  for (const chat::FaceItem& f : store.List(chat::kFaceList))
    if (f.key.empty() || f.key.size() > 31 || f.tip.size() > 31) __builtin_trap();
  (void)store.FacesForLines();

  chat::AdvertEngine engine;
  const chat::XmlElement tree = Tree(data, size);
  std::string error;
  const auto app = [] { return std::optional<std::u16string>(u"C:\\game"); };
  if (auto advert = chat::ParseAdvertElement(tree, app, &error)) engine.Add(*advert);
  for (const chat::XmlElement& child : tree.children)
    if (auto advert = chat::ParseAdvertElement(child, app, &error)) engine.Add(*advert);
  engine.SetChatStyle(size % 5 == 0 ? -1 : 3);
  engine.Start();
  for (int t = 0; t < 100; ++t) {
    engine.OnAdvertTimer();
    if (const auto paint = engine.OnBannerTimer())
      if (paint->text.size() > engine.BannerText().size()) __builtin_trap();
  }
  return 0;
}
