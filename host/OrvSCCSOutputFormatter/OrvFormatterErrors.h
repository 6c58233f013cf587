#ifndef ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_
#define ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_

#include <string>

#include "I18NString.h"

// Throws OrvException `code` carrying OrvMessage(`code`, `detail`), the way
// the host raises every failure (message, exception, the message streamed
// into it, raise), at `file`:`line` in `function` (static texts).
[[noreturn]] void OrvRaiseAt(unsigned long code, const I18NString& detail,
                             const char* file, int line, const char* function);

// OrvRaiseAt from `function` ("Class::Operation()"), with the file and line
// it is written on as the throw site.
#define ORV_RAISE(code, detail, function) \
  OrvRaiseAt((code), (detail), __FILE__, __LINE__, (function))

// `text` (8-bit, UTF-8 as command-line words and system messages are on
// this platform) as an I18NString; invalid bytes become U+FFFD.
I18NString OrvFromUtf8(const std::string& text);

#endif  // ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_
