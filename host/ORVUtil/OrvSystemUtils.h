#ifndef ORVUTIL_ORVSYSTEMUTILS_H_
#define ORVUTIL_ORVSYSTEMUTILS_H_

#include "I18NString.h"

// Text helpers of the utility library. White space means exactly blank, tab,
// line feed, vertical tab, form feed and carriage return.
class OrvSystemUtils {
 public:
  // Removes leading white space from `text`, in place.
  static void TrimLeft(I18NString& text);

  // Removes trailing white space from `text`, in place.
  static void TrimRight(I18NString& text);

  // True when `unit` is one of the six white-space characters.
  static bool IsWhiteSpace(unsigned int unit);
};

#endif  // ORVUTIL_ORVSYSTEMUTILS_H_
