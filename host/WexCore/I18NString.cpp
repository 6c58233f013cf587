#include "I18NString.h"

#include <cstring>
#include <utility>
#include <vector>

#include "I18NEncoding.h"
#include "I18NIconv.h"

namespace {

// Needles up to this length are searched with the library's find, which
// costs at most the needle's length per text position; longer ones use the
// prefix table below, so no search costs more than text plus needle.
const size_t kShortNeedle = 32;

// Knuth-Morris-Pratt: position of `needle` in `text` at or after `from`.
size_t FindLongNeedle(const std::u16string& text, const std::u16string& needle,
                      size_t from) {
  // border[i]: length of the longest proper border of needle[0..i].
  std::vector<size_t> border(needle.size(), 0);
  for (size_t i = 1, k = 0; i < needle.size(); ++i) {
    while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
    if (needle[i] == needle[k]) ++k;
    border[i] = k;
  }
  for (size_t i = from, matched = 0; i < text.size(); ++i) {
    while (matched > 0 && text[i] != needle[matched])
      matched = border[matched - 1];
    if (text[i] == needle[matched]) ++matched;
    if (matched == needle.size()) return i + 1 - needle.size();
  }
  return std::u16string::npos;
}

int ToPosition(size_t found) {
  return found == std::u16string::npos ? -1 : static_cast<int>(found);
}

std::u16string DecodeText(const char* text, const char* encoding, int length,
                          I18NConversionCallback callback, void* userData) {
  if (text == nullptr) return std::u16string();
  size_t byteCount =
      length < 0 ? std::strlen(text) : static_cast<size_t>(length);
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  return I18NDecodeBytes(text, byteCount, encoding, callback, userData);
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The text need not be aligned for char16_t, so it is read with memcpy.
size_t CountUnitsBeforeZero(const void* text) {
  const char* bytes = static_cast<const char*>(text);
  size_t count = 0;
  char16_t unit;
  std::memcpy(&unit, bytes, 2);
  while (unit != 0) {
    ++count;
    std::memcpy(&unit, bytes + 2 * count, 2);
  }
  return count;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

I18NString::I18NString() = default;

I18NString::I18NString(const char* text, const char* encoding, int length,
                       I18NConversionCallback callback, void* userData)
    : units_(DecodeText(text, encoding, length, callback, userData)) {}

I18NString::I18NString(const void* text, int length,
                       I18NConversionCallback /*callback*/,
                       void* /*userData*/) {
  if (text == nullptr) return;
  size_t count =
      length < 0 ? CountUnitsBeforeZero(text) : static_cast<size_t>(length);
  units_.resize(count);
  if (count > 0) std::memcpy(&units_[0], text, 2 * count);
}

I18NString::I18NString(std::u16string units) : units_(std::move(units)) {}

I18NString::I18NString(const I18NString& other) = default;
I18NString::I18NString(I18NString&& other) noexcept = default;
I18NString& I18NString::operator=(const I18NString& other) = default;
I18NString& I18NString::operator=(I18NString&& other) noexcept = default;

I18NString& I18NString::operator=(const char* text) {
  units_ = DecodeText(text, nullptr, -1, nullptr, nullptr);
  return *this;
}

I18NString& I18NString::operator+=(const I18NString& other) {
  units_ += other.units_;
  return *this;
}

int I18NString::find(const I18NString& needle, int from) const {
  // A caller that walks the text with incrementOffset hands in -1 at the
  // end; starting over at 0 then would loop for ever.
  if (from < 0 || from > length()) return -1;
  size_t start = static_cast<size_t>(from);
  if (needle.units_.size() <= kShortNeedle)
    return ToPosition(units_.find(needle.units_, start));
  return ToPosition(FindLongNeedle(units_, needle.units_, start));
}

int I18NString::find(unsigned int ch, int from) const {
  if (from < 0 || from > length() || ch > 0xFFFF) return -1;
  return ToPosition(
      units_.find(static_cast<char16_t>(ch), static_cast<size_t>(from)));
}

I18NString I18NString::substring(int start, int end) const {
  if (end == -1 || end > length()) end = length();
  if (start < 0 || start >= end) return I18NString();
  return I18NString(units_.substr(start, end - start));
}

int I18NString::incrementOffset(int pos) const {
  return pos >= 0 && pos < length() ? pos + 1 : -1;
}

void I18NString::erase(int start, int count) {
  if (start < 0 || start >= length()) return;
  if (count == -1) {
    units_.erase(start);
  } else if (count > 0) {
    units_.erase(start, count);
  }
}

void I18NString::trimLeading(unsigned int ch) {
  if (ch > 0xFFFF) return;
  units_.erase(0, units_.find_first_not_of(static_cast<char16_t>(ch)));
}

void I18NString::trimTrailing(unsigned int ch) {
  if (ch > 0xFFFF) return;
  size_t last = units_.find_last_not_of(static_cast<char16_t>(ch));
  units_.erase(last == std::u16string::npos ? 0 : last + 1);
}

std::string I18NString::toUTF8() const {
  std::string out;
  out.reserve(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    char16_t unit = units_[i];
    if (IsHighSurrogate(unit) && i + 1 < units_.size() &&
        IsLowSurrogate(units_[i + 1])) {
      char32_t high = unit - 0xD800;
      char32_t low = units_[++i] - 0xDC00;
      AppendUtf8(out, 0x10000 + (high << 10) + low);
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

bool operator==(const I18NString& a, const I18NString& b) {
  return a.units() == b.units();
}

bool operator!=(const I18NString& a, const I18NString& b) { return !(a == b); }
