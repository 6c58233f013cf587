#include "XmlMeaning.h"

#include <memory>
#include <sstream>
#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLString.hpp>

using namespace xercesc;

namespace {

std::string ToUtf8(const XMLCh* text) {
  // XMLString::transcode() would use the locale's code page; the documents
  // are compared as UTF-8 whatever the locale.
  std::string out;
  if (text == nullptr) return out;
  for (const XMLCh* p = text; *p != 0; ++p) {
    char32_t c = *p;
    if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void EnsurePlatform() {
  static bool initialised = [] {
    XMLPlatformUtils::Initialize();
    return true;
  }();
  (void)initialised;
}

// Collects the first error the parser reports.
class FirstError : public ErrorHandler {
 public:
  void warning(const SAXParseException&) override {}
  void error(const SAXParseException& e) override { Record(e); }
  void fatalError(const SAXParseException& e) override { Record(e); }
  void resetErrors() override { message.clear(); }
  std::string message;

 private:
  void Record(const SAXParseException& e) {
    if (!message.empty()) return;
    std::ostringstream text;
    text << "line " << e.getLineNumber() << ", column " << e.getColumnNumber()
         << ": " << ToUtf8(e.getMessage());
    message = text.str();
  }
};

bool IsWhiteSpaceOnly(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

XmlElement Convert(const DOMElement* element) {
  XmlElement out;
  out.name = ToUtf8(element->getTagName());
  const DOMNamedNodeMap* attributes = element->getAttributes();
  for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
    const DOMNode* attribute = attributes->item(i);
    out.attributes[ToUtf8(attribute->getNodeName())] =
        ToUtf8(attribute->getNodeValue());
  }
  std::string text;
  for (const DOMNode* child = element->getFirstChild(); child != nullptr;
       child = child->getNextSibling()) {
    if (child->getNodeType() == DOMNode::ELEMENT_NODE) {
      out.children.push_back(Convert(static_cast<const DOMElement*>(child)));
    } else {
      text += ToUtf8(child->getTextContent());
    }
  }
  if (out.children.empty() || !IsWhiteSpaceOnly(text)) out.text = text;
  return out;
}

void DescribeInto(const XmlElement& element, int depth, std::ostream& out) {
  out << std::string(2 * depth, ' ') << '<' << element.name;
  for (const auto& [name, value] : element.attributes) {
    out << ' ' << name << "=\"" << value << '"';
  }
  out << '>';
  if (!element.text.empty()) out << "[" << element.text << "]";
  out << '\n';
  for (const XmlElement& child : element.children) {
    DescribeInto(child, depth + 1, out);
  }
}

}  // namespace

bool operator==(const XmlElement& a, const XmlElement& b) {
  return a.name == b.name && a.attributes == b.attributes && a.text == b.text &&
         a.children == b.children;
}

std::string Describe(const XmlElement& element) {
  std::ostringstream out;
  DescribeInto(element, 0, out);
  return out.str();
}

bool ParseXml(const std::string& bytes, XmlElement& root, std::string& error) {
  EnsurePlatform();
  XercesDOMParser parser;
  FirstError errors;
  parser.setErrorHandler(&errors);
  parser.setValidationScheme(XercesDOMParser::Val_Never);
  MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()),
                           bytes.size(), "document");
  try {
    parser.parse(source);
  } catch (...) {
    error = "the parser threw";
    return false;
  }
  if (!errors.message.empty() || parser.getErrorCount() != 0) {
    error = errors.message.empty() ? "not well-formed" : errors.message;
    return false;
  }
  const DOMDocument* document = parser.getDocument();
  if (document == nullptr || document->getDocumentElement() == nullptr) {
    error = "no root element";
    return false;
  }
  root = Convert(document->getDocumentElement());
  return true;
}

std::string ValidateXml(const std::string& bytes,
                        const std::string& schemaPath) {
  EnsurePlatform();
  XercesDOMParser parser;
  FirstError errors;
  parser.setErrorHandler(&errors);
  parser.setDoNamespaces(true);
  parser.setDoSchema(true);
  parser.setValidationSchemaFullChecking(true);
  parser.setValidationScheme(XercesDOMParser::Val_Always);
  std::unique_ptr<XMLCh[]> location(new XMLCh[schemaPath.size() + 1]);
  for (size_t i = 0; i < schemaPath.size(); ++i) {
    location[i] = static_cast<unsigned char>(schemaPath[i]);
  }
  location[schemaPath.size()] = 0;
  parser.setExternalNoNamespaceSchemaLocation(location.get());
  MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()),
                           bytes.size(), "document");
  try {
    parser.parse(source);
  } catch (...) {
    return "the validating parser threw";
  }
  if (!errors.message.empty()) return errors.message;
  if (parser.getErrorCount() != 0) return "invalid";
  return std::string();
}
