#include "FuzzSupport.h"

#include <cstdio>
#include <memory>
#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLString.hpp>

#include "I18NEncoding.h"
#include "OrvClientInput.h"

namespace fuzz {
namespace {

// Single bytes, UTF-8's sequences and the pairs of two double-byte code
// pages.
const char* const kEncodings[] = {"UTF-8", "windows-1252", "IBM437",
                                  "Shift_JIS", "CP949"};
const size_t kEncodingCount = sizeof(kEncodings) / sizeof(kEncodings[0]);
const char kDeclaration[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";

// Keeps the first error that the parser reports, so that a finding says
// what was wrong with the document.
class RecordingErrorHandler : public xercesc::ErrorHandler {
 public:
  void warning(const xercesc::SAXParseException&) override {}
  void error(const xercesc::SAXParseException& e) override { Record(e); }
  void fatalError(const xercesc::SAXParseException& e) override { Record(e); }
  void resetErrors() override { failed_ = false; }

  bool failed() const { return failed_; }

 private:
  void Record(const xercesc::SAXParseException& e) {
    if (failed_) return;
    failed_ = true;
    char* text = xercesc::XMLString::transcode(e.getMessage());
    std::fprintf(stderr, "document rejected at %llu:%llu: %s\n",
                 static_cast<unsigned long long>(e.getLineNumber()),
                 static_cast<unsigned long long>(e.getColumnNumber()), text);
    xercesc::XMLString::release(&text);
  }

  bool failed_ = false;
};

// One validating parser for the whole run, with the result schema loaded
// and cached: loading it per input would cost more than the query itself.
struct Validator {
  RecordingErrorHandler errors;
  std::unique_ptr<xercesc::XercesDOMParser> parser;
};

Validator* g_validator = nullptr;

// Every line an explanation writes starts with a place and holds no control
// character: it stays one line of text, whatever the client output held.
bool IsExplanationLine(const std::string& line) {
  for (const char* place : {"line ", "lines ", "client output: "}) {
    if (line.rfind(place, 0) != 0) continue;
    for (const char c : line) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
  }
  return false;
}

void CheckExplanation(const char* text, std::size_t count, void*) {
  Require(count > 0 && text[count - 1] == '\n',
          "explanation written in pieces that are not whole lines");
  const std::string lines(text, count);
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t end = lines.find('\n', start);
    Require(IsExplanationLine(lines.substr(start, end - start)),
            "explanation line without a place, or with a control character");
    start = end + 1;
  }
}

// The explanation of the inputs that explain themselves, checked as it is
// written; it outlives every query.
OrvExplanation& CheckedExplanation() {
  static OrvExplanation* explanation = [] {
    OrvExplanation* made = new OrvExplanation();
    made->Enable(&CheckExplanation, nullptr);
    return made;
  }();
  return *explanation;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool IsForbiddenInXml(char16_t unit) {
  return (unit < 0x20 && unit != 0x09 && unit != 0x0A && unit != 0x0D) ||
         unit == 0xFFFE || unit == 0xFFFF;
}

std::u16string Utf16(const char* ascii) {
  return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

}  // namespace

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  __builtin_trap();
}

namespace {

void InitialiseXml() {
  xercesc::XMLPlatformUtils::Initialize();
  g_validator = new Validator;
  g_validator->parser = std::make_unique<xercesc::XercesDOMParser>();
  xercesc::XercesDOMParser& parser = *g_validator->parser;
  parser.setErrorHandler(&g_validator->errors);
  parser.setDoNamespaces(true);
  parser.setDoSchema(true);
  parser.setValidationScheme(xercesc::XercesDOMParser::Val_Always);
  parser.setValidationSchemaFullChecking(true);
  parser.setValidationConstraintFatal(true);
  parser.setLoadExternalDTD(false);
  Require(
      parser.loadGrammar(VSS_RESULT_SCHEMA, xercesc::Grammar::SchemaGrammarType,
                         true) != nullptr,
      "schema/result.xsd could not be loaded");
  Require(!g_validator->errors.failed(), "schema/result.xsd has errors");
  parser.useCachedGrammarInParse(true);
}

}  // namespace

OrvInputParams MakeInput(const uint8_t* data, size_t size, int commandId) {
  const char* encoding = kEncodings[size == 0 ? 0 : data[0] % kEncodingCount];
  const std::string bytes =
      size == 0
          ? std::string()
          : std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
  I18NSetPlatformDefaultEncoding(encoding);

  OrvInputParams params;
  params.SetCommandID(commandId);
  params.SetClientOutput(OrvDecodeClientOutput(bytes));
  params.SetSourceName("-");
  // Half the inputs are explained as well: --explain must not change the
  // answer, and its own reading of the client output must hold up too.
  if (size > 0 && (data[0] / 3) % 2 == 1) {
    OrvExplanation& explanation = CheckedExplanation();
    explanation.Flush();
    params.SetExplanation(&explanation);
  }
  return params;
}

const xercesc::DOMElement& ParseDocument(const I18NString& document) {
  const std::string utf8 = document.toUTF8();
  const std::string declaration(kDeclaration);
  Require(utf8.compare(0, declaration.size(), declaration) == 0,
          "document does not begin with the XML declaration");
  Require(!utf8.empty() && utf8.back() == '\n',
          "document does not end with a line feed");

  xercesc::XercesDOMParser& parser = *g_validator->parser;
  parser.resetDocumentPool();
  g_validator->errors.resetErrors();
  xercesc::MemBufInputSource source(
      reinterpret_cast<const XMLByte*>(utf8.data()), utf8.size(), "document");
  parser.parse(source);
  Require(!g_validator->errors.failed() && parser.getErrorCount() == 0,
          "document is not well-formed or not valid against result.xsd");
  const xercesc::DOMDocument* parsed = parser.getDocument();
  Require(parsed != nullptr && parsed->getDocumentElement() != nullptr,
          "document has no root element");
  return *parsed->getDocumentElement();
}

std::u16string XmlVisible(const std::u16string& held) {
  std::u16string visible;
  visible.reserve(held.size());
  for (size_t i = 0; i < held.size(); ++i) {
    const char16_t unit = held[i];
    if (IsHighSurrogate(unit) && i + 1 < held.size() &&
        IsLowSurrogate(held[i + 1])) {
      visible.push_back(unit);
      visible.push_back(held[++i]);
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) ||
               IsForbiddenInXml(unit)) {
      visible.push_back(0xFFFD);
    } else {
      visible.push_back(unit);
    }
  }
  return visible;
}

std::u16string Unescape(const std::u16string& escaped) {
  static const struct {
    const char16_t* reference;
    char16_t character;
  } kReferences[] = {{u"&amp;", u'&'},
                     {u"&lt;", u'<'},
                     {u"&gt;", u'>'},
                     {u"&quot;", u'"'},
                     {u"&apos;", u'\''}};
  std::u16string plain;
  plain.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size();) {
    bool replaced = false;
    for (const auto& ref : kReferences) {
      const std::u16string_view reference(ref.reference);
      if (escaped.compare(i, reference.size(), reference) == 0) {
        plain.push_back(ref.character);
        i += reference.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) plain.push_back(escaped[i++]);
  }
  return plain;
}

void ExpectAttribute(const xercesc::DOMElement& element, const char* name,
                     const std::u16string& expected) {
  const std::u16string attributeName = Utf16(name);
  Require(element.hasAttribute(attributeName.c_str()), name);
  const std::u16string actual(element.getAttribute(attributeName.c_str()));
  if (actual != XmlVisible(expected)) {
    std::fprintf(stderr, "attribute %s differs from the value held\n", name);
    __builtin_trap();
  }
}

void ExpectAttribute(const xercesc::DOMElement& element, const char* name,
                     const char* expected) {
  ExpectAttribute(element, name, Utf16(expected));
}

void ExpectName(const xercesc::DOMElement& element, const char* name) {
  Require(std::u16string(element.getTagName()) == Utf16(name), name);
}

bool HoldsMarker(const std::u16string& text, const char* marker) {
  return text.find(Utf16(marker)) != std::u16string::npos;
}

const char* BoolText(bool value) { return value ? "true" : "false"; }

std::u16string TextOf(const xercesc::DOMElement& element) {
  const XMLCh* text = element.getTextContent();
  return text == nullptr ? std::u16string() : std::u16string(text);
}

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::InitialiseXml();
  return 0;
}
