#ifndef TESTS_E2E_XMLMEANING_H_
#define TESTS_E2E_XMLMEANING_H_

#include <map>
#include <string>
#include <vector>

// The meaning of an XML element as a reader sees it: its name, attributes,
// child elements in order, and its text with references decoded. White-space
// text between child elements (indentation) is not part of the meaning; the
// text of an element without child elements is kept exactly.
struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::vector<XmlElement> children;
  std::string text;
};

bool operator==(const XmlElement& a, const XmlElement& b);

// A readable rendering of `element`, for failure messages.
std::string Describe(const XmlElement& element);

// Parses the UTF-8 document `bytes` without validation. Returns false and
// sets `error` when it is not well-formed.
bool ParseXml(const std::string& bytes, XmlElement& root, std::string& error);

// Validates the UTF-8 document `bytes` against the schema at `schemaPath`.
// Returns the first problem found, or an empty text when it is valid.
std::string ValidateXml(const std::string& bytes,
                        const std::string& schemaPath);

#endif  // TESTS_E2E_XMLMEANING_H_
