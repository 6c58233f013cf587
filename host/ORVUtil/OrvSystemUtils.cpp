#include "OrvSystemUtils.h"

void OrvSystemUtils::TrimLeft(I18NString& text) {
  const std::u16string_view units(text.data(), text.size());
  int start = 0;
  while (start < text.length() && IsWhiteSpace(units[start])) ++start;
  text.erase(0, start);
}

void OrvSystemUtils::TrimRight(I18NString& text) {
  const std::u16string_view units(text.data(), text.size());
  int end = text.length();
  while (end > 0 && IsWhiteSpace(units[end - 1])) --end;
  text.erase(end, -1);
}

bool OrvSystemUtils::IsWhiteSpace(unsigned int unit) {
  return unit == ' ' || unit == '\t' || unit == '\n' || unit == '\v' ||
         unit == '\f' || unit == '\r';
}
