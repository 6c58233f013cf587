#include "OrvCodeConverter.h"

#include <cerrno>

#include "I18NIconv.h"

namespace {

const char16_t kQuestionMark = u'?';

// Grows `bytes` geometrically while iconv writes into its free tail.
class ByteSink {
 public:
  explicit ByteSink(size_t expected) : bytes_(expected + 16, '\0') {}

  char* Cursor() { return &bytes_[used_]; }
  size_t Left() const { return bytes_.size() - used_; }
  void Advance(char* cursor) { used_ = cursor - bytes_.data(); }
  void Grow() { bytes_.resize(bytes_.size() * 2); }

  std::string Take() {
    bytes_.resize(used_);
    return std::move(bytes_);
  }

 private:
  std::string bytes_;
  size_t used_ = 0;
};

// Converts all of `in` (native UTF-16 bytes); returns false when the
// encoder stopped at a character it cannot convert, with `in` pointing at it.
bool ConvertRun(iconv_t encoder, char*& in, size_t& inLeft, ByteSink& sink) {
  while (true) {
    char* out = sink.Cursor();
    size_t outLeft = sink.Left();
    size_t result = in != nullptr
                        ? iconv(encoder, &in, &inLeft, &out, &outLeft)
                        : iconv(encoder, nullptr, nullptr, &out, &outLeft);
    int error = errno;
    sink.Advance(out);
    if (result != static_cast<size_t>(-1)) return true;
    if (error != E2BIG) return false;
    sink.Grow();
  }
}

// Code units the encoder could not take at `unit`: a whole surrogate pair,
// or one unit (a lone surrogate or a character of the Basic Plane).
size_t UnitsToSkip(const char16_t* unit, size_t unitsLeft) {
  bool pair = unitsLeft >= 2 && unit[0] >= 0xD800 && unit[0] <= 0xDBFF &&
              unit[1] >= 0xDC00 && unit[1] <= 0xDFFF;
  return pair ? 2 : 1;
}

void WriteQuestionMark(iconv_t encoder, ByteSink& sink) {
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(&kQuestionMark));
  size_t inLeft = sizeof(kQuestionMark);
  ConvertRun(encoder, in, inLeft, sink);
}

std::string Encode(iconv_t encoder, const std::u16string& units) {
  ByteSink sink(units.size());
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units.data()));
  size_t inLeft = units.size() * sizeof(char16_t);
  while (!ConvertRun(encoder, in, inLeft, sink)) {
    // The encoder stops in front of a character that it cannot represent
    // (EILSEQ) or a high surrogate that ends the text (EINVAL).
    size_t skipped =
        UnitsToSkip(reinterpret_cast<const char16_t*>(in), inLeft / 2);
    in += skipped * sizeof(char16_t);
    inLeft -= skipped * sizeof(char16_t);
    WriteQuestionMark(encoder, sink);
  }
  // Back to the initial shift state, as a stateful encoding requires.
  char* flush = nullptr;
  size_t none = 0;
  ConvertRun(encoder, flush, none, sink);
  return sink.Take();
}

}  // namespace

OrvCodeConverter::OrvCodeConverter(const char* encoding,
                                   const I18NString& text) {
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  iconv_t encoder = I18NAcquireConverter(encoding, kI18NNativeUtf16);
  if (encoder == nullptr)
    I18NRaiseUnknownEncoding(encoding, "OrvCodeConverter::OrvCodeConverter()");
  bytes_ = Encode(encoder, text.units());
}

const char* OrvCodeConverter::toCharPtr(I18NConverter* /*converter*/) {
  return bytes_.c_str();
}
