#include "I18NConverters.h"

#include <cstring>
#include <new>
#include <string>
#include <unordered_map>

#include "I18NString.h"
#include "WexException.h"

namespace {

const char16_t kReplacementCharacter = 0xFFFD;

// Owns the open converters and closes them when the process exits.
class ConverterCache {
 public:
  ConverterCache() = default;
  ConverterCache(const ConverterCache&) = delete;
  ConverterCache& operator=(const ConverterCache&) = delete;

  ~ConverterCache() {
    for (auto& entry : converters_) {
      if (entry.second != nullptr) PortCloseConverter(entry.second);
    }
  }

  // The converter, opened on first use; null when the encoding is unknown
  // (remembered too, so a bad name costs one attempt). Throws
  // std::bad_alloc when a known encoding could not be opened; that is not
  // remembered, so a later request tries again.
  PortConverter* Get(const char* encoding, bool toUtf16) {
    std::string key(1, toUtf16 ? 'd' : 'e');
    key.append(encoding);
    auto found = converters_.find(key);
    if (found != converters_.end()) return found->second;
    PortConverter* converter = nullptr;
    if (PortOpenConverter(encoding, toUtf16, converter) ==
        PortOpenResult::kNoMemory)
      throw std::bad_alloc();
    try {
      converters_.emplace(std::move(key), converter);
    } catch (...) {
      if (converter != nullptr) PortCloseConverter(converter);
      throw;
    }
    return converter;
  }

 private:
  std::unordered_map<std::string, PortConverter*> converters_;
};

ConverterCache& Converters() {
  static ConverterCache cache;
  return cache;
}

bool IsLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9');
}

// True when `encoding` can name an encoding at all: it holds a letter or a
// digit and no control character. A converter may read what is left after
// dropping what it ignores (an empty name, "*", ",", a control character)
// as the locale's encoding, which the name did not ask for.
// A "//" suffix (TRANSLIT, IGNORE) is refused too: it asks the converter
// for its own treatment of invalid bytes and missing characters, while the
// handler gives every invalid byte one U+FFFD and every missing character a
// '?', and decodes single-byte encodings and UTF-8 without the converter;
// the same name would then decode differently from one text to the next.
bool CanNameAnEncoding(const char* encoding) {
  bool letterOrDigit = false;
  for (const char* c = encoding; *c != '\0'; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (byte < 0x20 || byte == 0x7F) return false;
    letterOrDigit = letterOrDigit || IsLetterOrDigit(*c);
  }
  return letterOrDigit && std::strstr(encoding, "//") == nullptr;
}

}  // namespace

PortConverter* I18NAcquireConverter(const char* encoding, bool toUtf16) {
  if (!CanNameAnEncoding(encoding)) return nullptr;
  PortConverter* converter = Converters().Get(encoding, toUtf16);
  if (converter != nullptr) PortResetConverter(converter);
  return converter;
}

void I18NRaiseUnknownEncoding(const char* encoding, const char* function) {
  std::u16string text = u"The encoding \"";
  for (const char* c = encoding; *c != '\0'; ++c) {
    // The name is shown as it was given; a byte that is no ASCII character
    // cannot be decoded without a known encoding, so it is shown as U+FFFD.
    unsigned char byte = static_cast<unsigned char>(*c);
    text.push_back(byte < 0x80 ? byte : kReplacementCharacter);
  }
  text += u"\" is not known to the conversion library.";
  WexException exception;
  exception << I18NString(std::move(text));
  static const WexSourceLocation kLocation = {"I18NConverters.cpp", __LINE__};
  exception.raise(&kLocation, function, "WEX_THROW");
}
