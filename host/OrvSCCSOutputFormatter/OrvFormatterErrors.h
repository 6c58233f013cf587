#ifndef ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_
#define ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_

#include <string>

#include "I18NString.h"
#include "OrvException.h"
#include "OrvMessage.h"

// Throws OrvException `code` carrying the text of OrvMessage(`code`,
// `detail`), the way the host raises every failure, with the line it is
// written on as the throw site.
#define ORV_RAISE(code, detail) \
  WEX_RAISE(OrvException(code), OrvMessage((code), (detail)).getText())

// `text` (8-bit, UTF-8 as command-line words and system messages are on
// this platform) as an I18NString; invalid bytes become U+FFFD.
I18NString OrvFromUtf8(const std::string& text);

#endif  // ORVSCCSOUTPUTFORMATTER_ORVFORMATTERERRORS_H_
