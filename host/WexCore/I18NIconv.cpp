#include "I18NIconv.h"

#include <cerrno>
#include <string>
#include <unordered_map>

#include "I18NEncoding.h"
#include "WexException.h"

namespace {

const char16_t kReplacementCharacter = 0xFFFD;

// Owns the open descriptors and closes them when the process exits.
class ConverterCache {
 public:
  ConverterCache() = default;
  ConverterCache(const ConverterCache&) = delete;
  ConverterCache& operator=(const ConverterCache&) = delete;

  ~ConverterCache() {
    for (auto& entry : descriptors_) {
      if (entry.second != nullptr) iconv_close(entry.second);
    }
  }

  // The descriptor for the pair, opened on first use; null when the pair
  // cannot be converted (remembered too, so a bad name costs one attempt).
  iconv_t Get(const char* to, const char* from) {
    std::string key(to);
    key.push_back('\0');
    key.append(from);
    auto found = descriptors_.find(key);
    if (found != descriptors_.end()) return found->second;
    iconv_t descriptor = iconv_open(to, from);
    if (descriptor == reinterpret_cast<iconv_t>(-1)) descriptor = nullptr;
    descriptors_.emplace(std::move(key), descriptor);
    return descriptor;
  }

 private:
  std::unordered_map<std::string, iconv_t> descriptors_;
};

ConverterCache& Converters() {
  static ConverterCache cache;
  return cache;
}

// What decoding an encoding does to ASCII bytes, worked out once per name.
struct AsciiProfile {
  bool known = false;
  // Tab, LF, CR and the printable characters decode one for one.
  bool printable = false;
  // Every byte 0x00..0x7F decodes to itself on its own and in the printable
  // run: then text without a byte above 0x7F can be widened directly.
  bool identity = false;
};

// True when the descriptor turns `bytes` into exactly the same values as
// code units, one per byte, with no error and nothing left in its state.
bool DecodesToItself(iconv_t decoder, const char* bytes, size_t length) {
  iconv(decoder, nullptr, nullptr, nullptr, nullptr);
  char16_t units[256];
  char* in = const_cast<char*>(bytes);
  size_t inLeft = length;
  char* out = reinterpret_cast<char*>(units);
  size_t outLeft = sizeof(units);
  if (iconv(decoder, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1))
    return false;
  if (iconv(decoder, nullptr, nullptr, &out, &outLeft) ==
      static_cast<size_t>(-1))
    return false;
  size_t produced = (sizeof(units) - outLeft) / sizeof(char16_t);
  if (produced != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (units[i] != static_cast<unsigned char>(bytes[i])) return false;
  }
  return true;
}

std::string PrintableAsciiBytes() {
  std::string bytes = "\t\n\r";
  for (char c = 0x20; c <= 0x7E; ++c) bytes.push_back(c);
  return bytes;
}

AsciiProfile WorkOutProfile(const char* encoding) {
  AsciiProfile profile;
  iconv_t decoder = I18NAcquireConverter(kI18NNativeUtf16, encoding);
  if (decoder == nullptr) return profile;
  profile.known = true;
  std::string printable = PrintableAsciiBytes();
  profile.printable =
      DecodesToItself(decoder, printable.data(), printable.size());
  profile.identity = profile.printable;
  for (int byte = 0; profile.identity && byte < 0x80; ++byte) {
    char single = static_cast<char>(byte);
    profile.identity = DecodesToItself(decoder, &single, 1);
  }
  return profile;
}

const AsciiProfile& ProfileOf(const char* encoding) {
  static std::unordered_map<std::string, AsciiProfile> profiles;
  std::string name(encoding);
  auto found = profiles.find(name);
  if (found == profiles.end()) {
    AsciiProfile profile = WorkOutProfile(encoding);
    found = profiles.emplace(std::move(name), profile).first;
  }
  return found->second;
}

bool IsPlainAscii(const char* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

// Accumulates the decoder's output in a buffer that grows geometrically, so
// large inputs convert in a few big iconv calls.
class Utf16Sink {
 public:
  explicit Utf16Sink(size_t expectedUnits) : units_(expectedUnits + 16, 0) {}

  char* Cursor() { return reinterpret_cast<char*>(&units_[used_]); }
  size_t BytesLeft() const { return (units_.size() - used_) * 2; }

  // Takes over the cursor that iconv advanced.
  void Advance(char* cursor) {
    used_ = (cursor - reinterpret_cast<char*>(units_.data())) / 2;
  }

  void Grow() { units_.resize(units_.size() * 2); }

  void Append(char16_t unit) {
    if (used_ == units_.size()) Grow();
    units_[used_++] = unit;
  }

  std::u16string Take() {
    units_.resize(used_);
    return std::move(units_);
  }

 private:
  std::u16string units_;
  size_t used_ = 0;
};

// Lets a stateful decoder write what it still owes at the end of the input.
void Flush(iconv_t decoder, Utf16Sink& sink) {
  while (true) {
    char* out = sink.Cursor();
    size_t outLeft = sink.BytesLeft();
    size_t result = iconv(decoder, nullptr, nullptr, &out, &outLeft);
    int error = errno;
    sink.Advance(out);
    if (result != static_cast<size_t>(-1) || error != E2BIG) return;
    sink.Grow();
  }
}

// Runs the decoder over the whole input; returns the number of replacements.
size_t Decode(iconv_t decoder, const char* bytes, size_t length,
              Utf16Sink& sink) {
  size_t replacements = 0;
  char* in = const_cast<char*>(bytes);
  size_t inLeft = length;
  while (inLeft > 0) {
    char* out = sink.Cursor();
    size_t outLeft = sink.BytesLeft();
    size_t result = iconv(decoder, &in, &inLeft, &out, &outLeft);
    int error = errno;
    sink.Advance(out);
    if (result != static_cast<size_t>(-1)) break;
    if (error == E2BIG) {
      sink.Grow();
      continue;
    }
    sink.Append(kReplacementCharacter);
    ++replacements;
    if (error == EILSEQ) {
      // One U+FFFD per byte that starts no valid sequence; the next byte may
      // start one again.
      ++in;
      --inLeft;
    } else {
      // EINVAL: the input ends inside a sequence.
      inLeft = 0;
    }
  }
  Flush(decoder, sink);
  return replacements;
}

}  // namespace

iconv_t I18NAcquireConverter(const char* to, const char* from) {
  // The conversion library reads an empty name as the locale's codeset;
  // here it names no encoding.
  if (*to == '\0' || *from == '\0') return nullptr;
  iconv_t descriptor = Converters().Get(to, from);
  if (descriptor != nullptr)
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  return descriptor;
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
  static const WexSourceLocation kLocation = {"I18NIconv.cpp", __LINE__};
  exception.raise(&kLocation, function, "WEX_THROW");
}

bool I18NIsAsciiCompatibleEncoding(const char* name) {
  return name != nullptr && ProfileOf(name).printable;
}

std::u16string I18NDecodeBytes(const char* bytes, size_t length,
                               const char* encoding,
                               I18NConversionCallback callback,
                               void* userData) {
  const AsciiProfile& profile = ProfileOf(encoding);
  if (!profile.known)
    I18NRaiseUnknownEncoding(encoding, "I18NString::I18NString()");
  // The client's marker texts are ASCII literals and are built often: they
  // skip the conversion library altogether.
  if (profile.identity && IsPlainAscii(bytes, length)) {
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(bytes);
    return std::u16string(begin, begin + length);
  }
  Utf16Sink sink(length);
  size_t replacements = Decode(I18NAcquireConverter(kI18NNativeUtf16, encoding),
                               bytes, length, sink);
  // The callback runs after the conversion, so that it may itself decode
  // text without disturbing the shared descriptor.
  if (callback != nullptr) {
    for (size_t i = 0; i < replacements; ++i) callback(userData);
  }
  return sink.Take();
}
