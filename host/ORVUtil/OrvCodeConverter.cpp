#include "OrvCodeConverter.h"

#include "I18NConverters.h"

namespace {

const char16_t kQuestionMark = u'?';

// Grows `bytes` geometrically while the encoder writes into its free tail.
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

// Converts all of `in` (with `in` null: returns the encoder to its initial
// shift state); returns false when the encoder stopped at a character it
// cannot convert, with `in` pointing at it.
bool ConvertRun(PortConverter* encoder, const char16_t*& in, size_t& inLeft,
                ByteSink& sink) {
  while (true) {
    char* out = sink.Cursor();
    size_t outLeft = sink.Left();
    const PortStep step = PortEncode(encoder, in, inLeft, out, outLeft);
    sink.Advance(out);
    if (step == PortStep::kDone) return true;
    if (step != PortStep::kOutputFull) return false;
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

void WriteQuestionMark(PortConverter* encoder, ByteSink& sink) {
  const char16_t* in = &kQuestionMark;
  size_t inLeft = 1;
  ConvertRun(encoder, in, inLeft, sink);
}

std::string Encode(PortConverter* encoder, const std::u16string& units) {
  ByteSink sink(units.size());
  const char16_t* in = units.data();
  size_t inLeft = units.size();
  while (!ConvertRun(encoder, in, inLeft, sink)) {
    // The encoder stops in front of a character that it cannot represent
    // or a high surrogate that ends the text.
    size_t skipped = UnitsToSkip(in, inLeft);
    in += skipped;
    inLeft -= skipped;
    WriteQuestionMark(encoder, sink);
  }
  // Back to the initial shift state, as a stateful encoding requires.
  const char16_t* flush = nullptr;
  size_t none = 0;
  ConvertRun(encoder, flush, none, sink);
  return sink.Take();
}

}  // namespace

OrvCodeConverter::OrvCodeConverter(const char* encoding,
                                   const I18NString& text) {
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  PortConverter* encoder = I18NAcquireConverter(encoding, false);
  if (encoder == nullptr)
    I18NRaiseUnknownEncoding(encoding, "OrvCodeConverter::OrvCodeConverter()");
  bytes_ = Encode(encoder, text.units());
}

const char* OrvCodeConverter::toCharPtr(I18NConverter* /*converter*/) {
  return bytes_.c_str();
}
