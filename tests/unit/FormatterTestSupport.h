// Helpers shared by the formatter library's tests: the XML platform, files
// that live as long as a test, standard streams redirected to files, and
// parsing a document against schema/result.xsd.
#ifndef TESTS_UNIT_FORMATTERTESTSUPPORT_H_
#define TESTS_UNIT_FORMATTERTESTSUPPORT_H_

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "I18NString.h"

#ifndef VSS_SCHEMA_PATH
#error "VSS_SCHEMA_PATH must name schema/result.xsd"
#endif

namespace formatter_test {

// Starts the XML platform for the tests of one suite.
class XmlPlatformSuite : public testing::Test {
 protected:
  static void SetUpTestSuite() { xercesc::XMLPlatformUtils::Initialize(); }
  static void TearDownTestSuite() { xercesc::XMLPlatformUtils::Terminate(); }
};

// A file with the given bytes, removed when the test ends.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes) {
    char name[] = "/tmp/vss-formatter-test-XXXXXX";
    int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
    close(fd);
    path_ = name;
  }
  ~TempFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Points file descriptor `fd` (0 or 1) at `path` while it lives.
class RedirectedDescriptor {
 public:
  RedirectedDescriptor(int fd, const char* path, int flags) : fd_(fd) {
    std::fflush(stdout);
    saved_ = dup(fd);
    int target = open(path, flags, 0600);
    EXPECT_GE(target, 0) << path;
    dup2(target, fd);
    close(target);
  }
  ~RedirectedDescriptor() {
    std::fflush(stdout);
    dup2(saved_, fd_);
    close(saved_);
  }

 private:
  int fd_;
  int saved_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline I18NString U(const std::u16string& units) { return I18NString(units); }

// Collects every message the parser reports.
class CollectingErrorHandler : public xercesc::HandlerBase {
 public:
  void warning(const xercesc::SAXParseException& e) override { Add(e); }
  void error(const xercesc::SAXParseException& e) override { Add(e); }
  void fatalError(const xercesc::SAXParseException& e) override { Add(e); }
  const std::string& messages() const { return messages_; }

 private:
  void Add(const xercesc::SAXParseException& e) {
    char* text = xercesc::XMLString::transcode(e.getMessage());
    messages_ +=
        "line " + std::to_string(e.getLineNumber()) + ": " + text + "\n";
    xercesc::XMLString::release(&text);
  }
  std::string messages_;
};

// A document parsed and validated against schema/result.xsd.
class ParsedDocument {
 public:
  explicit ParsedDocument(const std::string& utf8) {
    parser_.setDoNamespaces(true);
    parser_.setDoSchema(true);
    parser_.setValidationSchemaFullChecking(true);
    parser_.setValidationScheme(xercesc::XercesDOMParser::Val_Always);
    parser_.setExternalNoNamespaceSchemaLocation(VSS_SCHEMA_PATH);
    parser_.setErrorHandler(&errors_);
    xercesc::MemBufInputSource source(
        reinterpret_cast<const XMLByte*>(utf8.data()), utf8.size(), "document");
    parser_.parse(source);
  }

  // Empty when the document is well-formed and valid.
  const std::string& errors() const { return errors_.messages(); }

  xercesc::DOMElement* root() {
    return parser_.getDocument()->getDocumentElement();
  }

 private:
  CollectingErrorHandler errors_;
  xercesc::XercesDOMParser parser_;
};

inline std::u16string Attribute(const xercesc::DOMElement* element,
                                const char16_t* name) {
  return element->getAttribute(name);
}

inline std::u16string TextOf(const xercesc::DOMNode* node) {
  return node->getTextContent();
}

}  // namespace formatter_test

#endif  // TESTS_UNIT_FORMATTERTESTSUPPORT_H_
