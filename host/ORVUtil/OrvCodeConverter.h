#ifndef ORVUTIL_ORVCODECONVERTER_H_
#define ORVUTIL_ORVCODECONVERTER_H_

#include <string>

#include "I18NEncoding.h"
#include "I18NString.h"

// Converts an I18NString to 8-bit text in a named encoding.
//
// Ownership: the converter owns the converted bytes; the pointer that
// toCharPtr() returns stays valid until the converter is destroyed.
class OrvCodeConverter {
 public:
  // Converts `text` to `encoding` (null: the platform default encoding).
  // A character that the encoding cannot represent becomes '?'.
  // Throws WexException when the encoding is unknown.
  OrvCodeConverter(const char* encoding, const I18NString& text);

  // The converted text, zero-terminated. `converter` must be null (the
  // library's own converter is used).
  const char* toCharPtr(I18NConverter* converter);

  // Number of converted bytes, the terminator not counted.
  int byteLength() const { return static_cast<int>(bytes_.size()); }

 private:
  std::string bytes_;
};

#endif  // ORVUTIL_ORVCODECONVERTER_H_
