#include "I18NConverters.h"

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

  // The converter, opened on first use; null when the encoding cannot be
  // converted (remembered too, so a bad name costs one attempt).
  PortConverter* Get(const char* encoding, bool toUtf16) {
    std::string key(1, toUtf16 ? 'd' : 'e');
    key.append(encoding);
    auto found = converters_.find(key);
    if (found != converters_.end()) return found->second;
    PortConverter* converter = nullptr;
    PortOpenConverter(encoding, toUtf16, converter);
    converters_.emplace(std::move(key), converter);
    return converter;
  }

 private:
  std::unordered_map<std::string, PortConverter*> converters_;
};

ConverterCache& Converters() {
  static ConverterCache cache;
  return cache;
}

}  // namespace

PortConverter* I18NAcquireConverter(const char* encoding, bool toUtf16) {
  // The platform may read an empty name as the locale's encoding; here it
  // names no encoding.
  if (*encoding == '\0') return nullptr;
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
