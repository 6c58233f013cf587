#include "OrvCodeConverter.h"

#include "I18NCodePages.h"

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character at `units[at]` (a whole surrogate pair, or one unit, a lone
// surrogate included); advances `at` past it.
char32_t NextCharacter(const std::u16string& units, size_t& at) {
  const char16_t unit = units[at++];
  if (IsHighSurrogate(unit) && at < units.size() && IsLowSurrogate(units[at])) {
    const char16_t low = units[at++];
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
           (low - 0xDC00);
  }
  return unit;
}

}  // namespace

OrvCodeConverter::OrvCodeConverter(const char* encoding,
                                   const I18NString& text) {
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  const I18NCodePage* codePage = I18NFindCodePage(encoding);
  if (codePage == nullptr) I18NRaiseUnknownEncoding(encoding);
  const std::u16string& units = text.units();
  bytes_.reserve(units.size());
  for (size_t at = 0; at < units.size();) {
    if (!I18NEncodeCharacter(*codePage, NextCharacter(units, at), bytes_))
      bytes_.push_back('?');
  }
}

const char* OrvCodeConverter::toCharPtr(I18NConverter* /*converter*/) {
  return bytes_.c_str();
}
