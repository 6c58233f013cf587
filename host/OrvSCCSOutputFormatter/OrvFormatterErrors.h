#ifndef ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_
#define ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_

#include <string>

#include "I18NString.h"

// Throws OrvException `code` carrying OrvMessage(`code`, `detail`), raised
// at `file`:`line` in `function` (all static texts) the way the host raises
// every failure.
[[noreturn]] void OrvRaiseFailure(unsigned long code, const I18NString& detail,
                                  const char* file, int line,
                                  const char* function);

// `text` (8-bit, UTF-8 as command-line words and system messages are on
// this platform) as an I18NString; invalid bytes become U+FFFD.
I18NString OrvFromUtf8(const std::string& text);

#endif  // ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_
