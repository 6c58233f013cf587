#ifndef WEXCORE_I18NUTF8_H_
#define WEXCORE_I18NUTF8_H_

// UTF-16 surrogates and the UTF-8 encoder that every writer of UTF-8 shares:
// the string class and the document writer.

#include <cstddef>

// True for the first unit of a surrogate pair.
inline bool I18NIsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// True for the second unit of a surrogate pair.
inline bool I18NIsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The most bytes one character takes in UTF-8.
inline constexpr std::size_t kI18NMaxUTF8Bytes = 4;

// Writes `code` (a code point that is no surrogate) to `out` in UTF-8 and
// advances `out`. REQUIRES: `out` has room for kI18NMaxUTF8Bytes.
inline void I18NPutUTF8(char32_t code, char*& out) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Encodes the character that starts at `at` into `out` as I18NPutUTF8 does:
// a surrogate pair as one character, an unpaired surrogate as U+FFFD.
// Returns the unit after the character. REQUIRES: at != end.
inline const char16_t* I18NEncodeUTF8(const char16_t* at, const char16_t* end,
                                      char*& out) {
  char32_t code = *at++;
  if (I18NIsHighSurrogate(static_cast<char16_t>(code)) && at != end &&
      I18NIsLowSurrogate(*at)) {
    code = 0x10000 + ((code - 0xD800) << 10) + (*at++ - 0xDC00);
  } else if (code >= 0xD800 && code <= 0xDFFF) {
    code = 0xFFFD;
  }
  I18NPutUTF8(code, out);
  return at;
}

// The same for text stored one byte a unit (every unit below U+0100).
inline const unsigned char* I18NEncodeUTF8(const unsigned char* at,
                                           const unsigned char*, char*& out) {
  I18NPutUTF8(*at, out);
  return at + 1;
}

#endif  // WEXCORE_I18NUTF8_H_
