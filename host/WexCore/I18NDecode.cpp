#include "I18NDecode.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>
#include <string>

#include "I18NCodePages.h"
#include "I18NEncoding.h"
#include "I18NUnits.h"

namespace {

const char16_t kReplacementCharacter = 0xFFFD;

// The encoding named `encoding`; throws WexException for a name outside the
// list.
const I18NCodePage& KnownCodePage(const char* encoding) {
  // Nearly every request names the encoding of the one before it.
  static std::string lastName;
  static const I18NCodePage* last = nullptr;
  if (last != nullptr && lastName == encoding) return *last;
  const I18NCodePage* found = I18NFindCodePage(encoding);
  if (found == nullptr) I18NRaiseUnknownEncoding(encoding);
  lastName = encoding;
  last = found;
  return *found;
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

// Decodes a code page of single bytes by its table; returns the number of
// replacements. Runs of sixteen ASCII bytes are widened without the table.
size_t DecodeSingles(const char16_t* singles, const char* bytes, size_t length,
                     char16_t* out) {
  size_t replacements = 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (length - i >= 16) {
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
      out[i] = singles[in[i]];
      replacements += out[i] == kReplacementCharacter ? 1 : 0;
    }
  }
#endif
  for (; i < length; ++i) {
    out[i] = singles[in[i]];
    replacements += out[i] == kReplacementCharacter ? 1 : 0;
  }
  return replacements;
}

// Decodes a code page of bytes and byte pairs by its tables; returns the
// units written and counts the replacements. A pair that decodes to no
// character, or a first byte that ends the input, gives one U+FFFD for its
// first byte, and decoding goes on with the byte after it.
size_t DecodePairs(const I18NCodePageTable& table, const char* bytes,
                   size_t length, char16_t* out, size_t& replacements) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t written = 0;
  size_t at = 0;
  while (at < length) {
    const unsigned char byte = in[at];
    const unsigned row = table.leadRows[byte];
    if (row != 0 && at + 1 < length) {
      const unsigned trail = in[at + 1];
      if (trail >= kI18NFirstTrail && trail < 0xFF) {
        const char16_t unit = table.pairs[row - 1][trail - kI18NFirstTrail];
        if (unit != kReplacementCharacter) {
          out[written++] = unit;
          at += 2;
          continue;
        }
      }
    }
    out[written] = table.singles[byte];
    replacements += out[written] == kReplacementCharacter ? 1 : 0;
    ++written;
    ++at;
  }
  return written;
}

// Decodes by the table of single bytes into one byte per unit for as long as
// every unit is below U+0100 and valid; returns the number of bytes decoded
// so. A byte that opens pairs stops it too (it is U+FFFD alone). Runs of
// sixteen ASCII bytes are copied as they are.
size_t DecodeSinglesNarrow(const char16_t* singles, const char* bytes,
                           size_t length, unsigned char* out) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
#if defined(__SSE2__)
  while (length - i >= 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (_mm_movemask_epi8(block) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), block);
    i += 16;
  }
#endif
  for (; i < length; ++i) {
    const char16_t unit = singles[in[i]];
    if (unit > 0xFF) break;
    out[i] = static_cast<unsigned char>(unit);
  }
  return i;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The number of bytes of the sequence that `lead` opens, 0 for a byte that
// opens none. F5..F7 open four-byte sequences that later fail as beyond
// U+10FFFF.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead < 0xE0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

// The length of a sequence when deciding whether the input ends inside one:
// F8..FB and FC..FD still count as the openers of the five- and six-byte
// forms of old, which are otherwise refused.
size_t SpanAtTheEnd(unsigned char lead) {
  if ((lead & 0xFC) == 0xF8) return 5;
  if ((lead & 0xFE) == 0xFC) return 6;
  return SequenceLength(lead);
}

// Decodes UTF-8: a byte that starts no
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
  // The callback runs after the decoding, so that it may itself decode
  // text.
  if (callback == nullptr) return;
  for (size_t i = 0; i < replacements; ++i) callback(userData);
}

// Decodes bytes from the start into one byte per unit for as long as every
// unit is below U+0100; returns the bytes decoded so, and the units written
// in `written`. `out` may be `bytes` itself: no unit is written before the
// bytes it comes from are read.
size_t DecodeNarrowPrefix(const I18NCodePage& encoding, const char* bytes,
                          size_t length, unsigned char* out, size_t& written) {
  if (encoding.table == nullptr)
    return DecodeUtf8Narrow(bytes, length, out, written);
  written = DecodeSinglesNarrow(encoding.table->singles, bytes, length, out);
  return written;
}

// Decodes into `out`, which has room for one unit per byte; returns the
// units written and counts the replacements.
size_t DecodeWide(const I18NCodePage& encoding, const char* bytes,
                  size_t length, char16_t* out, size_t& replacements) {
  const I18NCodePageTable* table = encoding.table;
  if (table == nullptr) return DecodeUtf8(bytes, length, out, replacements);
  if (table->leadRows != nullptr)
    return DecodePairs(*table, bytes, length, out, replacements);
  replacements += DecodeSingles(table->singles, bytes, length, out);
  return length;
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
  const I18NCodePage& codePage = KnownCodePage(encoding);
  // The client's marker texts are ASCII literals and are built often; every
  // encoding decodes ASCII to itself.
  if (IsPlainAscii(bytes, length)) {
    if (unsigned char* narrow = sink.ReserveNarrow(length)) {
      std::memcpy(narrow, bytes, length);
    } else {
      i18n_units::Widen(reinterpret_cast<const unsigned char*>(bytes), length,
                        sink.Reserve(length));
    }
    return length;
  }
  // Text is decoded one byte per unit while it fits (when the sink takes
  // that), then widened once and decoded on at two bytes per unit.
  size_t read = 0;
  size_t written = 0;
  char16_t* out;
  if (unsigned char* narrow = sink.ReserveNarrow(length)) {
    read = DecodeNarrowPrefix(codePage, bytes, length, narrow, written);
    if (read == length) return written;
    out = sink.Widen(written, written + (length - read));
  } else {
    out = sink.Reserve(length);
  }
  size_t replacements = 0;
  written += DecodeWide(codePage, bytes + read, length - read, out + written,
                        replacements);
  ReportReplacements(replacements, callback, userData);
  return written;
}

I18NString I18NDecodeInPlace(I18NStringBuilder& bytes, size_t length,
                             const char* encoding,
                             I18NConversionCallback callback, void* userData) {
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  const I18NCodePage& codePage = KnownCodePage(encoding);
  unsigned char* storage = bytes.ReserveNarrow(length);
  if (IsPlainAscii(reinterpret_cast<const char*>(storage), length))
    return bytes.Take(length);
  size_t written = 0;
  const size_t read =
      DecodeNarrowPrefix(codePage, reinterpret_cast<const char*>(storage),
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
