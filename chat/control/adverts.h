// The chat's adverts on Windows: the advert file and advert XML handed in at run time, read
// with the platform's XML parser into the portable advert records (advert_engine.h).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "advert_engine.h"

namespace parley {

// The platform's XML parser behind a small interface: a document's text in, its element tree
// out. False when the text is not well-formed XML.
class XmlReader {
 public:
  virtual ~XmlReader() = default;
  virtual bool Parse(const std::wstring& text, chat::XmlElement& root) = 0;
};

// The system's DOM document ("Msxml2.DOMDocument"); null when it is not installed. COM must be
// initialised on the calling thread.
std::unique_ptr<XmlReader> CreateSystemXmlReader();

// Trees are cut at this depth and element count; advert files are far smaller.
inline constexpr int kMaxXmlDepth = 16;
inline constexpr size_t kMaxXmlElements = 4096;

// The text of an XML file or of a GBK string as UTF-16: a UTF-8 or UTF-16 byte-order mark, or an
// encoding declaration naming UTF-8, decides; anything else is GBK. The XML declaration is
// dropped, since the text is no longer in the encoding it names.
std::wstring DecodeXmlBytes(const std::string& bytes);

struct AdvertReadResult {
  bool parsed = false;                 // the text was XML with a document element
  bool advertRoot = false;             // that element was "CHATADV"
  std::vector<chat::CAdvItem> adverts;
  std::vector<std::string> errors;     // adverts dropped, for the error log
};

// The advert file: every "CHATADV" child of the document element.
AdvertReadResult ReadAdvertDocument(XmlReader& reader, const std::wstring& text,
                                    const chat::AppPathSource& appPath);
// Advert XML handed in: one "CHATADV" document element, or nothing.
AdvertReadResult ReadAdvertXml(XmlReader& reader, const std::wstring& text,
                               const chat::AppPathSource& appPath);

// The installation folder as the advert reader wants it.
chat::AppPathSource InstallationFolder();

}  // namespace parley
