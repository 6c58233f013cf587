#include "OrvSystemUtils.h"

void OrvSystemUtils::TrimLeft(I18NString& text) {
  int start = 0;
  while (start < text.length() && IsWhiteSpace(text.at(start))) ++start;
  text.erase(0, start);
}

void OrvSystemUtils::TrimRight(I18NString& text) {
  int end = text.length();
  while (end > 0 && IsWhiteSpace(text.at(end - 1))) --end;
  text.erase(end, -1);
}

bool OrvSystemUtils::IsWhiteSpace(unsigned int unit) {
  return unit == ' ' || unit == '\t' || unit == '\n' || unit == '\v' ||
         unit == '\f' || unit == '\r';
}
