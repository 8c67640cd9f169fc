#include "adverts.h"

#include <msxml2.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "chat_platform.h"
#include "gbk_codec.h"
#include "winkit/com_ptr.h"

namespace parley {
namespace {

// "Msxml2.DOMDocument": {F6D90F11-9C73-11D3-B32E-00C04F990BB4}.
const CLSID kDomDocument = {0xf6d90f11, 0x9c73, 0x11d3,
                            {0xb3, 0x2e, 0x00, 0xc0, 0x4f, 0x99, 0x0b, 0xb4}};

std::u16string ToU16(BSTR text) {
  if (!text) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text)
      : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* Put() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  BSTR get() const { return b_; }

 private:
  BSTR b_ = nullptr;
};

class MsxmlReader : public XmlReader {
 public:
  explicit MsxmlReader(winkit::ComPtr<IXMLDOMDocument> document) : document_(std::move(document)) {
    document_->put_async(VARIANT_FALSE);
    document_->put_validateOnParse(VARIANT_FALSE);
    document_->put_resolveExternals(VARIANT_FALSE);
  }

  bool Parse(const std::wstring& text, chat::XmlElement& root) override {
    Bstr source(text);
    VARIANT_BOOL ok = VARIANT_FALSE;
    if (FAILED(document_->loadXML(source.get(), &ok)) || ok != VARIANT_TRUE) return false;
    winkit::ComPtr<IXMLDOMElement> element;
    if (FAILED(document_->get_documentElement(element.Put())) || !element) return false;
    size_t count = 0;
    Convert(element.Get(), root, 0, count);
    return true;
  }

 private:
  static void Convert(IXMLDOMNode* node, chat::XmlElement& out, int depth, size_t& count) {
    ++count;
    Bstr name;
    if (SUCCEEDED(node->get_nodeName(name.Put()))) out.name = ToU16(name.get());
    Bstr text;
    if (SUCCEEDED(node->get_text(text.Put()))) out.text = ToU16(text.get());
    winkit::ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (SUCCEEDED(node->get_attributes(attributes.Put())) && attributes) {
      long n = 0;
      attributes->get_length(&n);
      for (long i = 0; i < n && i < 256; ++i) {
        winkit::ComPtr<IXMLDOMNode> attribute;
        if (FAILED(attributes->get_item(i, attribute.Put())) || !attribute) continue;
        Bstr key, value;
        attribute->get_nodeName(key.Put());
        attribute->get_text(value.Put());
        out.attributes.emplace_back(ToU16(key.get()), ToU16(value.get()));
      }
    }
    if (depth + 1 >= kMaxXmlDepth) return;
    winkit::ComPtr<IXMLDOMNodeList> children;
    if (FAILED(node->get_childNodes(children.Put())) || !children) return;
    long n = 0;
    children->get_length(&n);
    for (long i = 0; i < n && count < kMaxXmlElements; ++i) {
      winkit::ComPtr<IXMLDOMNode> child;
      if (FAILED(children->get_item(i, child.Put())) || !child) continue;
      DOMNodeType type = NODE_INVALID;
      if (FAILED(child->get_nodeType(&type)) || type != NODE_ELEMENT) continue;
      out.children.emplace_back();
      Convert(child.Get(), out.children.back(), depth + 1, count);
    }
  }

  winkit::ComPtr<IXMLDOMDocument> document_;
};

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

std::unique_ptr<XmlReader> CreateSystemXmlReader() {
  winkit::ComPtr<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(kDomDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument,
                              document.PutVoid())) ||
      !document)
    return nullptr;
  return std::make_unique<MsxmlReader>(std::move(document));
}

std::wstring DecodeXmlBytes(const std::string& bytes) {
  std::wstring text;
  if (StartsWith(bytes, "\xff\xfe")) {
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  } else {
    bool utf8 = StartsWith(bytes, "\xef\xbb\xbf");
    std::string body = utf8 ? bytes.substr(3) : bytes;
    if (!utf8 && StartsWith(body, "<?xml")) {
      std::string declaration = body.substr(0, std::min<size_t>(body.find("?>"), 200));
      std::transform(declaration.begin(), declaration.end(), declaration.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      utf8 = declaration.find("utf-8") != std::string::npos;
    }
    if (utf8) {
      const int n = MultiByteToWideChar(CP_UTF8, 0, body.data(), static_cast<int>(body.size()),
                                        nullptr, 0);
      text.resize(static_cast<size_t>(std::max(n, 0)));
      if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, body.data(), static_cast<int>(body.size()), text.data(), n);
    } else {
      const std::u16string wide = chat::GbkToWide(body);
      text.assign(wide.begin(), wide.end());
    }
  }
  // Drop the declaration: its encoding no longer holds.
  size_t start = 0;
  while (start < text.size() && iswspace(text[start])) ++start;
  if (text.compare(start, 5, L"<?xml") == 0) {
    const size_t end = text.find(L"?>", start);
    if (end != std::wstring::npos) text.erase(0, end + 2);
  }
  return text;
}

AdvertReadResult ReadAdvertDocument(XmlReader& reader, const std::wstring& text,
                                    const chat::AppPathSource& appPath) {
  AdvertReadResult result;
  chat::XmlElement root;
  if (!reader.Parse(text, root)) return result;
  result.parsed = true;
  result.advertRoot = root.name == chat::kAdvertElementName;
  for (const chat::XmlElement& child : root.children) {
    if (child.name != chat::kAdvertElementName) continue;
    std::string error;
    if (auto advert = chat::ParseAdvertElement(child, appPath, &error))
      result.adverts.push_back(std::move(*advert));
    else
      result.errors.push_back(error);
  }
  return result;
}

AdvertReadResult ReadAdvertXml(XmlReader& reader, const std::wstring& text,
                               const chat::AppPathSource& appPath) {
  AdvertReadResult result;
  chat::XmlElement root;
  if (!reader.Parse(text, root)) return result;
  result.parsed = true;
  if (root.name != chat::kAdvertElementName) return result;
  result.advertRoot = true;
  std::string error;
  if (auto advert = chat::ParseAdvertElement(root, appPath, &error))
    result.adverts.push_back(std::move(*advert));
  else
    result.errors.push_back(error);
  return result;
}

chat::AppPathSource InstallationFolder() {
  return []() -> std::optional<std::u16string> {
    char buffer[260];
    if (!ReadAppPath(buffer, sizeof buffer)) return std::nullopt;
    return chat::GbkToWide(buffer);
  };
}

}  // namespace parley
