#include "I18NDecode.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "I18NConverters.h"
#include "I18NEncoding.h"
#include "I18NUnits.h"
#include "WexException.h"

namespace {

const char16_t kReplacementCharacter = 0xFFFD;

// The decoding of a single-byte encoding.
struct ByteTable {
  char16_t units[256];
  // False for a byte the encoding leaves undefined: it becomes U+FFFD.
  bool valid[256];
};

// What decoding an encoding does to ASCII bytes, worked out once per name.
struct AsciiProfile {
  bool known = false;
  // Tab, LF, CR and the printable characters decode one for one.
  bool printable = false;
  // Every byte 0x00..0x7F decodes to itself on its own and in the printable
  // run: then text without a byte above 0x7F can be widened directly.
  bool identity = false;
  // Whether the byte table below was worked out yet (on the first text with
  // a byte above 0x7F, so that queries with ASCII text never pay for it).
  bool tableProbed = false;
  // For an encoding whose every byte decodes alone, and at once, to one
  // code unit or is invalid: the decoding of each byte. Null otherwise.
  std::unique_ptr<ByteTable> table;
};

// True when the descriptor turns `bytes` into exactly the same values as
// code units, one per byte, with no error and nothing left in its state.
bool DecodesToItself(PortConverter* decoder, const char* bytes, size_t length) {
  PortResetConverter(decoder);
  char16_t units[256];
  const char* in = bytes;
  size_t inLeft = length;
  char16_t* out = units;
  size_t outLeft = 256;
  if (PortDecode(decoder, in, inLeft, out, outLeft) != PortStep::kDone)
    return false;
  const char* end = nullptr;
  if (PortDecode(decoder, end, inLeft, out, outLeft) != PortStep::kDone)
    return false;
  size_t produced = static_cast<size_t>(out - units);
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
  PortConverter* decoder = I18NAcquireConverter(encoding, true);
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

AsciiProfile& ProfileOf(const char* encoding) {
  static std::unordered_map<std::string, AsciiProfile> profiles;
  // Nearly every request names the encoding of the one before it; the
  // map's nodes stay where they are, so the last one found can be kept.
  static const std::string* lastName = nullptr;
  static AsciiProfile* lastProfile = nullptr;
  if (lastName != nullptr && *lastName == encoding) return *lastProfile;
  std::string name(encoding);
  auto found = profiles.find(name);
  if (found == profiles.end())
    found = profiles.emplace(std::move(name), WorkOutProfile(encoding)).first;
  lastName = &found->first;
  lastProfile = &found->second;
  return found->second;
}

// How one byte alone decodes.
enum class ByteDecoding { kOneUnit, kInvalid, kOther };

ByteDecoding DecodeOneByte(PortConverter* decoder, unsigned char byte,
                           char16_t& unit) {
  PortResetConverter(decoder);
  const char single = static_cast<char>(byte);
  const char* in = &single;
  size_t inLeft = 1;
  char16_t units[4];
  char16_t* out = units;
  size_t outLeft = 4;
  const PortStep step = PortDecode(decoder, in, inLeft, out, outLeft);
  if (step == PortStep::kInvalid) return ByteDecoding::kInvalid;
  if (step != PortStep::kDone) return ByteDecoding::kOther;
  const size_t produced = static_cast<size_t>(out - units);
  // A unit held back until the flush means the decoder looks at the next
  // byte before it decides (it may combine characters): no table then.
  const char* end = nullptr;
  if (PortDecode(decoder, end, inLeft, out, outLeft) != PortStep::kDone ||
      static_cast<size_t>(out - units) != produced) {
    return ByteDecoding::kOther;
  }
  if (inLeft != 0 || produced != 1) return ByteDecoding::kOther;
  unit = units[0];
  return ByteDecoding::kOneUnit;
}

// The table of a single-byte encoding, or null when some byte does not
// decode alone to one unit or fail.
std::unique_ptr<ByteTable> WorkOutTable(const char* encoding) {
  PortConverter* decoder = I18NAcquireConverter(encoding, true);
  auto table = std::make_unique<ByteTable>();
  for (int byte = 0; byte < 256; ++byte) {
    char16_t unit = 0;
    switch (DecodeOneByte(decoder, static_cast<unsigned char>(byte), unit)) {
      case ByteDecoding::kOneUnit:
        table->units[byte] = unit;
        table->valid[byte] = true;
        break;
      case ByteDecoding::kInvalid:
        table->units[byte] = kReplacementCharacter;
        table->valid[byte] = false;
        break;
      case ByteDecoding::kOther:
        return nullptr;
    }
  }
  return table;
}

const ByteTable* TableOf(AsciiProfile& profile, const char* encoding) {
  if (!profile.tableProbed) {
    profile.table = WorkOutTable(encoding);
    profile.tableProbed = true;
  }
  return profile.table.get();
}

// True when the first `count` characters of `name` are `upper` (capitals)
// in any case.
bool StartsWithInAnyCase(const char* name, const char* upper, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const char c = name[i];
    if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != upper[i]) return false;
  }
  return true;
}

// True for the names the conversion library knows UTF-8 by: "UTF-8" and
// "UTF8" in any case.
bool IsUtf8Name(const char* encoding) {
  const char* name = encoding;
  if (!StartsWithInAnyCase(name, "UTF", 3)) return false;
  name += 3;
  if (*name == '-') ++name;
  return std::strcmp(name, "8") == 0;
}

// True when no byte is above 0x7F; a client output of hundreds of
// megabytes is looked at sixteen bytes at a time.
bool IsPlainAscii(const char* bytes, size_t length) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; length - i >= 16; i += 16) {
    const __m128i block =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    if (_mm_movemask_epi8(block) != 0) return false;
  }
#endif
  for (; i < length; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

// Keeps the decoder's output in the caller's array, which grows
// geometrically, so large inputs convert in a few big platform calls.
class GrowingOutput {
 public:
  GrowingOutput(I18NUnitSink& sink, size_t expectedUnits)
      : sink_(sink),
        capacity_(expectedUnits + 16),
        units_(sink.Reserve(capacity_)) {}

  char16_t* Cursor() { return units_ + used_; }
  size_t UnitsLeft() const { return capacity_ - used_; }

  // Takes over the cursor that the decoder advanced.
  void Advance(char16_t* cursor) {
    used_ = static_cast<size_t>(cursor - units_);
  }

  void Grow() {
    capacity_ *= 2;
    units_ = sink_.Reserve(capacity_);
  }

  void Append(char16_t unit) {
    if (used_ == capacity_) Grow();
    units_[used_++] = unit;
  }

  size_t Used() const { return used_; }

 private:
  I18NUnitSink& sink_;
  size_t capacity_;
  char16_t* units_;
  size_t used_ = 0;
};

// Lets a stateful decoder write what it still owes at the end of the input.
void Flush(PortConverter* decoder, GrowingOutput& output) {
  while (true) {
    char16_t* out = output.Cursor();
    size_t outLeft = output.UnitsLeft();
    const char* end = nullptr;
    size_t none = 0;
    const PortStep step = PortDecode(decoder, end, none, out, outLeft);
    output.Advance(out);
    if (step != PortStep::kOutputFull) return;
    output.Grow();
  }
}

// Runs the decoder over the whole input; returns the number of replacements.
size_t Decode(PortConverter* decoder, const char* bytes, size_t length,
              GrowingOutput& output) {
  size_t replacements = 0;
  const char* in = bytes;
  size_t inLeft = length;
  while (inLeft > 0) {
    char16_t* out = output.Cursor();
    size_t outLeft = output.UnitsLeft();
    const PortStep step = PortDecode(decoder, in, inLeft, out, outLeft);
    output.Advance(out);
    if (step == PortStep::kDone) break;
    if (step == PortStep::kOutputFull) {
      output.Grow();
      continue;
    }
    output.Append(kReplacementCharacter);
    ++replacements;
    if (step == PortStep::kInvalid) {
      // One U+FFFD per byte that starts no valid sequence; the next byte may
      // start one again.
      ++in;
      --inLeft;
    } else {
      // The input ends inside a sequence.
      inLeft = 0;
    }
  }
  Flush(decoder, output);
  return replacements;
}

// Decodes by the byte table; returns the number of replacements. With
// `asciiIsIdentity`, runs of sixteen ASCII bytes are widened without the
// table.
size_t DecodeByTable(const ByteTable& table, bool asciiIsIdentity,
                     const char* bytes, size_t length, char16_t* out) {
  size_t replacements = 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (asciiIsIdentity && length - i >= 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (_mm_movemask_epi8(block) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                       _mm_unpacklo_epi8(block, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8),
                       _mm_unpackhi_epi8(block, zero));
      i += 16;
      continue;
    }
    for (size_t end = i + 16; i < end; ++i) {
      out[i] = table.units[in[i]];
      replacements += table.valid[in[i]] ? 0 : 1;
    }
  }
#else
  (void)asciiIsIdentity;
#endif
  for (; i < length; ++i) {
    out[i] = table.units[in[i]];
    replacements += table.valid[in[i]] ? 0 : 1;
  }
  return replacements;
}

// Decodes by the byte table into one byte per unit for as long as every
// unit is below U+0100 and valid; returns the number of bytes decoded so.
// With `asciiIsIdentity`, runs of sixteen ASCII bytes are copied as they
// are.
size_t DecodeByTableNarrow(const ByteTable& table, bool asciiIsIdentity,
                           const char* bytes, size_t length,
                           unsigned char* out) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
#if defined(__SSE2__)
  while (asciiIsIdentity && length - i >= 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (_mm_movemask_epi8(block) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), block);
    i += 16;
  }
#else
  (void)asciiIsIdentity;
#endif
  for (; i < length; ++i) {
    const char16_t unit = table.units[in[i]];
    if (unit > 0xFF || !table.valid[in[i]]) break;
    out[i] = static_cast<unsigned char>(unit);
  }
  return i;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The number of bytes of the sequence that `lead` opens, 0 for a byte that
// opens none. As the conversion library does, F5..F7 open four-byte
// sequences that later fail as beyond U+10FFFF.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead < 0xE0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

// The length the conversion library gives a sequence when it looks whether
// the input ends inside one: F8..FB and FC..FD still count as the openers
// of the five- and six-byte forms of old, which it otherwise refuses.
size_t SpanAtTheEnd(unsigned char lead) {
  if ((lead & 0xFC) == 0xF8) return 5;
  if ((lead & 0xFE) == 0xFC) return 6;
  return SequenceLength(lead);
}

// Decodes UTF-8 by the conversion library's rules: a byte that starts no
// complete, shortest, non-surrogate sequence up to U+10FFFF becomes U+FFFD
// and decoding resumes at the next byte; a valid beginning of a sequence cut
// off by the end of the input becomes one U+FFFD. Writes at most one unit
// per byte; returns the units written and counts the replacements.
size_t DecodeUtf8(const char* bytes, size_t length, char16_t* out,
                  size_t& replacements) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t written = 0;
  size_t at = 0;
  while (at < length) {
    // Client outputs are mostly ASCII: widen a run of it in a tight loop.
    while (at < length && in[at] < 0x80) out[written++] = in[at++];
    if (at == length) break;
    const size_t count = SequenceLength(in[at]);
    const size_t span = SpanAtTheEnd(in[at]);
    if (span != 0 && at + span > length) {
      size_t valid = 1;
      while (at + valid < length && IsContinuation(in[at + valid])) ++valid;
      if (at + valid == length) {
        out[written++] = kReplacementCharacter;
        ++replacements;
        break;
      }
    }
    char32_t code = 0;
    size_t taken = 0;
    if (count != 0 && at + count <= length) {
      code = in[at] & (0x7F >> count);
      taken = 1;
      while (taken < count && IsContinuation(in[at + taken])) {
        code = (code << 6) | (in[at + taken] & 0x3F);
        ++taken;
      }
    }
    const bool shortest = count < 3 || (code >> (5 * count - 4)) != 0;
    if (taken != count || count == 0 || !shortest ||
        (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
      out[written++] = kReplacementCharacter;
      ++replacements;
      ++at;
      continue;
    }
    if (code < 0x10000) {
      out[written++] = static_cast<char16_t>(code);
    } else {
      code -= 0x10000;
      out[written++] = static_cast<char16_t>(0xD800 + (code >> 10));
      out[written++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
    at += count;
  }
  return written;
}

// Decodes UTF-8 into one byte per unit for as long as every character is
// below U+0100: ASCII, and the two-byte sequences C2 80 to C3 BF. Stops at
// the first other byte, where DecodeUtf8 takes over; returns the bytes
// decoded, and the units written in `written`.
size_t DecodeUtf8Narrow(const char* bytes, size_t length, unsigned char* out,
                        size_t& written) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t at = 0;
  written = 0;
  while (at < length) {
    if (in[at] < 0x80) {
      out[written++] = in[at++];
    } else if ((in[at] == 0xC2 || in[at] == 0xC3) && at + 1 < length &&
               IsContinuation(in[at + 1])) {
      out[written++] = static_cast<unsigned char>(((in[at] & 0x1F) << 6) |
                                                  (in[at + 1] & 0x3F));
      at += 2;
    } else {
      break;
    }
  }
  return at;
}

void ReportReplacements(size_t replacements, I18NConversionCallback callback,
                        void* userData) {
  // The callback runs after the conversion, so that it may itself decode
  // text without disturbing the shared descriptor.
  if (callback == nullptr) return;
  for (size_t i = 0; i < replacements; ++i) callback(userData);
}

}  // namespace

bool I18NIsAsciiCompatibleEncoding(const char* name) {
  return name != nullptr && ProfileOf(name).printable;
}

namespace {

// The most bytes I18NDescribeAsciiChanges names one by one.
const size_t kChangesNamed = 8;

std::string Hex(unsigned value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    text.push_back(kDigits[(value >> shift) & 0xF]);
  return text;
}

// What the ASCII byte `byte` becomes alone, or an empty text when it stays.
std::string ChangeOf(PortConverter* decoder, unsigned char byte) {
  char16_t unit = 0;
  const std::string hexByte = "0x" + Hex(byte, 2);
  if (DecodeOneByte(decoder, byte, unit) != ByteDecoding::kOneUnit)
    return hexByte + " does not decode alone";
  if (unit == byte) return std::string();
  return hexByte + " decodes to U+" + Hex(unit, 4);
}

}  // namespace

std::string I18NDescribeAsciiChanges(const char* name) {
  PortConverter* decoder = I18NAcquireConverter(name, true);
  if (decoder == nullptr)
    I18NRaiseUnknownEncoding(name, "I18NDescribeAsciiChanges()");
  std::string described;
  size_t changes = 0;
  for (char byte : PrintableAsciiBytes()) {
    const std::string change =
        ChangeOf(decoder, static_cast<unsigned char>(byte));
    if (change.empty()) continue;
    if (++changes > kChangesNamed) continue;
    if (!described.empty()) described += ", ";
    described += change;
  }
  if (changes > kChangesNamed)
    described += " and " + std::to_string(changes - kChangesNamed) + " more";
  // Each byte may stay as it is alone and still not in a run of text (a
  // stateful encoding).
  return described.empty() ? "ASCII text does not decode to itself" : described;
}

size_t I18NDecodeBytesWithLibrary(const char* bytes, size_t length,
                                  const char* encoding,
                                  I18NConversionCallback callback,
                                  void* userData, I18NUnitSink& sink) {
  PortConverter* decoder = I18NAcquireConverter(encoding, true);
  if (decoder == nullptr)
    I18NRaiseUnknownEncoding(encoding, "I18NString::I18NString()");
  GrowingOutput output(sink, length);
  size_t replacements = Decode(decoder, bytes, length, output);
  ReportReplacements(replacements, callback, userData);
  return output.Used();
}

namespace {

AsciiProfile& KnownProfileOf(const char* encoding) {
  AsciiProfile& profile = ProfileOf(encoding);
  if (!profile.known)
    I18NRaiseUnknownEncoding(encoding, "I18NString::I18NString()");
  return profile;
}

// Decodes bytes from the start into one byte per unit for as long as every
// unit is below U+0100; returns the bytes decoded so, and the units written
// in `written`. `out` may be `bytes` itself: no unit is written before the
// bytes it comes from are read. Encodings the conversion library decodes
// (no table, not UTF-8) are not decoded so.
size_t DecodeNarrowPrefix(AsciiProfile& profile, const char* encoding,
                          const ByteTable* table, const char* bytes,
                          size_t length, unsigned char* out, size_t& written) {
  written = 0;
  if (IsUtf8Name(encoding))
    return DecodeUtf8Narrow(bytes, length, out, written);
  if (table == nullptr) return 0;
  written = DecodeByTableNarrow(*table, profile.identity, bytes, length, out);
  return written;
}

// True when `bytes` decode to themselves, one unit per byte: ASCII in an
// encoding that writes ASCII as itself. The client's marker texts are such
// literals and are built often; they skip the tables and the conversion
// library altogether, so queries with ASCII text never work a table out.
bool DecodesAsAscii(const AsciiProfile& profile, const char* bytes,
                    size_t length) {
  return profile.identity && IsPlainAscii(bytes, length);
}

// Decodes into the wide units of an I18NStringBuilder after the first
// `offset` units, which it holds narrow or wide and keeps.
class OffsetSink : public I18NUnitSink {
 public:
  OffsetSink(I18NStringBuilder& builder, size_t offset)
      : builder_(builder), offset_(offset) {}
  char16_t* Reserve(size_t capacity) override {
    return builder_.Widen(offset_, offset_ + capacity) + offset_;
  }

 private:
  I18NStringBuilder& builder_;
  size_t offset_;
};

}  // namespace

size_t I18NDecodeBytes(const char* bytes, size_t length, const char* encoding,
                       I18NConversionCallback callback, void* userData,
                       I18NUnitSink& sink) {
  AsciiProfile& profile = KnownProfileOf(encoding);
  if (DecodesAsAscii(profile, bytes, length)) {
    if (unsigned char* narrow = sink.ReserveNarrow(length)) {
      std::memcpy(narrow, bytes, length);
    } else {
      i18n_units::Widen(reinterpret_cast<const unsigned char*>(bytes), length,
                        sink.Reserve(length));
    }
    return length;
  }
  const bool utf8 = IsUtf8Name(encoding);
  const ByteTable* table = utf8 ? nullptr : TableOf(profile, encoding);
  // Text is decoded one byte per unit while it fits (when the sink takes
  // that), then widened once and decoded on at two bytes per unit.
  size_t read = 0;
  size_t written = 0;
  char16_t* out;
  if (unsigned char* narrow = sink.ReserveNarrow(length)) {
    read = DecodeNarrowPrefix(profile, encoding, table, bytes, length, narrow,
                              written);
    if (read == length) return written;
    out = sink.Widen(written, written + (length - read));
  } else {
    out = sink.Reserve(length);
  }
  if (!utf8 && table == nullptr) {
    return I18NDecodeBytesWithLibrary(bytes, length, encoding, callback,
                                      userData, sink);
  }
  size_t replacements = 0;
  if (utf8) {
    written +=
        DecodeUtf8(bytes + read, length - read, out + written, replacements);
  } else {
    replacements = DecodeByTable(*table, profile.identity, bytes + read,
                                 length - read, out + written);
    written += length - read;
  }
  ReportReplacements(replacements, callback, userData);
  return written;
}

I18NString I18NDecodeInPlace(I18NStringBuilder& bytes, size_t length,
                             const char* encoding,
                             I18NConversionCallback callback, void* userData) {
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  AsciiProfile& profile = KnownProfileOf(encoding);
  unsigned char* storage = bytes.ReserveNarrow(length);
  if (DecodesAsAscii(profile, reinterpret_cast<const char*>(storage), length))
    return bytes.Take(length);
  const ByteTable* table =
      IsUtf8Name(encoding) ? nullptr : TableOf(profile, encoding);
  size_t written = 0;
  const size_t read = DecodeNarrowPrefix(profile, encoding, table,
                                         reinterpret_cast<const char*>(storage),
                                         length, storage, written);
  if (read == length) return bytes.Take(written);
  // Widening moves the units over the bytes not yet read: those are taken
  // out of the way first.
  const std::string rest(storage + read, storage + length);
  OffsetSink sink(bytes, written);
  written += I18NDecodeBytes(rest.data(), rest.size(), encoding, callback,
                             userData, sink);
  return bytes.Take(written);
}
