#include "I18NString.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "I18NEncoding.h"
#include "I18NIconv.h"
#include "WexMemory.h"

// The shared storage: a reference count and a capacity, followed in the same
// block by capacity + 1 code units (the last place is for a terminator).
class I18NString::Buffer {
 public:
  // A buffer with one reference and room for `capacity` units.
  static Buffer* Create(std::size_t capacity) {
    void* block = std::malloc(BlockSize(capacity));
    if (block == nullptr) throw std::bad_alloc();
    WexAdviseHugePages(block, BlockSize(capacity));
    return new (block) Buffer(capacity);
  }

  // `buffer` moved to a block with room for `capacity` units, its units
  // kept as far as they fit. REQUIRES: the only reference is the caller's.
  static Buffer* Resize(Buffer* buffer, std::size_t capacity) {
    void* block = std::realloc(buffer, BlockSize(capacity));
    if (block == nullptr) throw std::bad_alloc();
    WexAdviseHugePages(block, BlockSize(capacity));
    buffer = static_cast<Buffer*>(block);
    buffer->capacity_ = capacity;
    return buffer;
  }

  void Acquire() { ++references_; }

  // Drops one reference and frees the block with the last one.
  static void Release(Buffer* buffer) {
    if (buffer != nullptr && --buffer->references_ == 0) std::free(buffer);
  }

  bool Shared() const { return references_ > 1; }
  std::size_t Capacity() const { return capacity_; }
  char16_t* Units() { return reinterpret_cast<char16_t*>(this + 1); }

 private:
  explicit Buffer(std::size_t capacity) : capacity_(capacity) {}

  static std::size_t BlockSize(std::size_t capacity) {
    return sizeof(Buffer) + (capacity + 1) * sizeof(char16_t);
  }

  std::size_t references_ = 1;
  std::size_t capacity_;
};

I18NStringBuilder::~I18NStringBuilder() {
  I18NString::Buffer::Release(buffer_);
}

char16_t* I18NStringBuilder::Reserve(std::size_t capacity) {
  if (buffer_ == nullptr) {
    buffer_ = I18NString::Buffer::Create(capacity);
  } else if (capacity > buffer_->Capacity()) {
    buffer_ = I18NString::Buffer::Resize(buffer_, capacity);
  }
  return buffer_->Units();
}

I18NString I18NStringBuilder::Take(std::size_t length) {
  if (length == 0) {
    I18NString::Buffer::Release(buffer_);
    buffer_ = nullptr;
    return I18NString();
  }
  // Builders reserve ahead; what is left over is returned (a large block
  // shrinks in place).
  if (length < buffer_->Capacity())
    buffer_ = I18NString::Buffer::Resize(buffer_, length);
  buffer_->Units()[length] = 0;
  I18NString::Buffer* buffer = buffer_;
  buffer_ = nullptr;
  return I18NString(buffer, length);
}

// Lets the decoder write straight into a new string's buffer.
class I18NStringSink : public I18NUnitSink {
 public:
  char16_t* Reserve(std::size_t capacity) override {
    return builder_.Reserve(capacity);
  }

  // The first `length` units as a string; the sink is empty afterwards.
  I18NString Take(std::size_t length) { return builder_.Take(length); }

 private:
  I18NStringBuilder builder_;
};

namespace {

const char16_t kNoUnits[] = u"";

// Needles up to this length are searched by their first unit and compared
// in full at each candidate, which costs at most the needle's length per
// text position; longer ones use the prefix table below, so no search costs
// more than text plus needle.
const size_t kShortNeedle = 32;

// Position of the first unit equal to `unit` in [begin, end), else end.
// The texts are megabytes long and the needles' first units (line feeds,
// asterisks) are sparse, so eight units are compared at a time.
const char16_t* FindUnit(const char16_t* begin, const char16_t* end,
                         char16_t unit) {
  const char16_t* at = begin;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
  for (; end - at >= 8; at += 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted));
    if (mask != 0) return at + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
  }
#endif
  while (at != end && *at != unit) ++at;
  return at;
}

// Position of `needle` (at least one unit) in [begin, end), else end.
// Candidates are positions where both the needle's first and its last unit
// stand; only those are compared in full. The client's markers begin with
// units that are common in the text (line feeds, letters), and the pair
// thins the candidates out far more than the first unit alone.
const char16_t* FindShortNeedle(const char16_t* begin, const char16_t* end,
                                const char16_t* needle, size_t needleLength) {
  if (static_cast<size_t>(end - begin) < needleLength) return end;
  const char16_t* lastStart = end - needleLength;
  const size_t last = needleLength - 1;
  const size_t restBytes = last * sizeof(char16_t);
  const char16_t* at = begin;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi16(static_cast<short>(needle[0]));
  const __m128i final = _mm_set1_epi16(static_cast<short>(needle[last]));
  for (; lastStart - at >= 8; at += 8) {
    __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + last));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpeq_epi16(starts, first), _mm_cmpeq_epi16(ends, final))));
    while (mask != 0) {
      const char16_t* candidate = at + __builtin_ctz(mask) / 2;
      // A needle of one or two units has matched in full already.
      if (last <= 1 || std::memcmp(candidate + 1, needle + 1, restBytes) == 0)
        return candidate;
      mask &= mask - 1;  // the candidate's low byte of the pair
      mask &= mask - 1;  // and its high byte
    }
  }
#endif
  for (;; ++at) {
    at = FindUnit(at, lastStart + 1, needle[0]);
    if (at > lastStart) return end;
    if (std::memcmp(at + 1, needle + 1, restBytes) == 0) return at;
  }
}

// Knuth-Morris-Pratt: position of `needle` in `text` at or after `from`.
size_t FindLongNeedle(const char16_t* text, size_t textLength,
                      const char16_t* needle, size_t needleLength,
                      size_t from) {
  // border[i]: length of the longest proper border of needle[0..i].
  std::vector<size_t> border(needleLength, 0);
  for (size_t i = 1, k = 0; i < needleLength; ++i) {
    while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
    if (needle[i] == needle[k]) ++k;
    border[i] = k;
  }
  for (size_t i = from, matched = 0; i < textLength; ++i) {
    while (matched > 0 && text[i] != needle[matched])
      matched = border[matched - 1];
    if (text[i] == needle[matched]) ++matched;
    if (matched == needleLength) return i + 1 - needleLength;
  }
  return textLength;
}

I18NString DecodeText(const char* text, const char* encoding, int length,
                      I18NConversionCallback callback, void* userData) {
  if (text == nullptr) return I18NString();
  size_t byteCount =
      length < 0 ? std::strlen(text) : static_cast<size_t>(length);
  if (encoding == nullptr) encoding = I18NGetPlatformDefaultEncoding();
  I18NStringSink sink;
  size_t units =
      I18NDecodeBytes(text, byteCount, encoding, callback, userData, sink);
  return sink.Take(units);
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

I18NString::I18NString(Buffer* buffer, std::size_t length)
    : buffer_(buffer), length_(length) {}

I18NString::I18NString(const char* text, const char* encoding, int length,
                       I18NConversionCallback callback, void* userData)
    : I18NString(DecodeText(text, encoding, length, callback, userData)) {}

I18NString::I18NString(const void* text, int length,
                       I18NConversionCallback /*callback*/,
                       void* /*userData*/) {
  if (text == nullptr) return;
  size_t count =
      length < 0 ? CountUnitsBeforeZero(text) : static_cast<size_t>(length);
  if (count == 0) return;
  buffer_ = Buffer::Create(count);
  std::memcpy(buffer_->Units(), text, 2 * count);
  buffer_->Units()[count] = 0;
  length_ = count;
}

I18NString::I18NString(std::u16string units)
    : I18NString(units.data(), static_cast<int>(units.size())) {}

I18NString::I18NString(const I18NString& other)
    : buffer_(other.buffer_), offset_(other.offset_), length_(other.length_) {
  if (buffer_ != nullptr) buffer_->Acquire();
}

I18NString::I18NString(I18NString&& other) noexcept
    : buffer_(other.buffer_), offset_(other.offset_), length_(other.length_) {
  other.buffer_ = nullptr;
  other.offset_ = 0;
  other.length_ = 0;
}

I18NString& I18NString::operator=(const I18NString& other) {
  // Acquiring first keeps a self-assignment's buffer alive.
  if (other.buffer_ != nullptr) other.buffer_->Acquire();
  Buffer::Release(buffer_);
  buffer_ = other.buffer_;
  offset_ = other.offset_;
  length_ = other.length_;
  return *this;
}

I18NString& I18NString::operator=(I18NString&& other) noexcept {
  if (this != &other) {
    Buffer::Release(buffer_);
    buffer_ = other.buffer_;
    offset_ = other.offset_;
    length_ = other.length_;
    other.buffer_ = nullptr;
    other.offset_ = 0;
    other.length_ = 0;
  }
  return *this;
}

I18NString::~I18NString() { Buffer::Release(buffer_); }

void I18NString::release() {
  Buffer::Release(buffer_);
  buffer_ = nullptr;
  offset_ = 0;
  length_ = 0;
}

void I18NString::makeUnique(std::size_t capacity) {
  if (buffer_ != nullptr && !buffer_->Shared()) {
    if (offset_ > 0) {
      char16_t* units = buffer_->Units();
      std::memmove(units, units + offset_, length_ * sizeof(char16_t));
      offset_ = 0;
    }
    if (capacity > buffer_->Capacity())
      buffer_ = Buffer::Resize(buffer_, capacity);
    return;
  }
  Buffer* own = Buffer::Create(capacity);
  std::memcpy(own->Units(), data(), length_ * sizeof(char16_t));
  own->Units()[length_] = 0;
  Buffer::Release(buffer_);
  buffer_ = own;
  offset_ = 0;
}

I18NString& I18NString::operator=(const char* text) {
  *this = DecodeText(text, nullptr, -1, nullptr, nullptr);
  return *this;
}

void I18NString::reserve(std::size_t capacity) {
  if (capacity == 0) return;
  if (buffer_ != nullptr && !buffer_->Shared() &&
      capacity <= buffer_->Capacity() - offset_) {
    return;
  }
  makeUnique(std::max(capacity, length_));
}

I18NString& I18NString::operator+=(const I18NString& other) {
  if (other.empty()) return *this;
  // An empty string takes the other's buffer, unless it has room of its own
  // for the text (see reserve()).
  if (empty() && (buffer_ == nullptr || buffer_->Shared() ||
                  other.length_ > buffer_->Capacity() - offset_)) {
    return *this = other;
  }
  // The other text may live in this buffer, which can move below.
  const I18NString appended(other);
  const std::size_t total = length_ + appended.length_;
  std::size_t capacity = buffer_->Capacity();
  // A private buffer grows geometrically, so appending piece by piece stays
  // linear.
  if (buffer_->Shared() || total > capacity - offset_)
    capacity = std::max(total, 2 * length_);
  makeUnique(capacity);
  std::memcpy(buffer_->Units() + offset_ + length_, appended.data(),
              appended.length_ * sizeof(char16_t));
  length_ = total;
  buffer_->Units()[length_] = 0;
  return *this;
}

int I18NString::find(const I18NString& needle, int from) const {
  // A caller that walks the text with incrementOffset hands in -1 at the
  // end; starting over at 0 then would loop for ever.
  if (from < 0 || from > length()) return -1;
  if (needle.empty()) return from;
  const char16_t* text = data();
  size_t found;
  if (needle.length_ <= kShortNeedle) {
    found = FindShortNeedle(text + from, text + length_, needle.data(),
                            needle.length_) -
            text;
  } else {
    found = FindLongNeedle(text, length_, needle.data(), needle.length_,
                           static_cast<size_t>(from));
  }
  return found == length_ ? -1 : static_cast<int>(found);
}

int I18NString::find(unsigned int ch, int from) const {
  if (from < 0 || from > length() || ch > 0xFFFF) return -1;
  const char16_t* text = data();
  const char16_t* found =
      FindUnit(text + from, text + length_, static_cast<char16_t>(ch));
  return found == text + length_ ? -1 : static_cast<int>(found - text);
}

I18NString I18NString::substring(int start, int end) const {
  if (end == -1 || end > length()) end = length();
  if (start < 0 || start >= end) return I18NString();
  I18NString part(*this);
  part.offset_ += static_cast<size_t>(start);
  part.length_ = static_cast<size_t>(end - start);
  return part;
}

int I18NString::incrementOffset(int pos) const {
  return pos >= 0 && pos < length() ? pos + 1 : -1;
}

void I18NString::erase(int start, int count) {
  if (start < 0 || start >= length() || count < -1) return;
  const size_t first = static_cast<size_t>(start);
  const size_t remaining = length_ - first;
  if (count == -1 || static_cast<size_t>(count) >= remaining) {
    // Cutting off the end only narrows the view.
    length_ = first;
  } else if (count > 0 && first == 0) {
    offset_ += static_cast<size_t>(count);
    length_ -= static_cast<size_t>(count);
  } else if (count > 0) {
    makeUnique(length_);
    char16_t* units = buffer_->Units();
    const size_t kept = first + static_cast<size_t>(count);
    std::memmove(units + first, units + kept,
                 (length_ - kept) * sizeof(char16_t));
    length_ -= static_cast<size_t>(count);
    units[length_] = 0;
  }
  if (length_ == 0) release();
}

void I18NString::trimLeading(unsigned int ch) {
  if (ch > 0xFFFF) return;
  const char16_t* units = data();
  size_t count = 0;
  const char16_t unit = static_cast<char16_t>(ch);
  while (count < length_ && units[count] == unit) ++count;
  offset_ += count;
  length_ -= count;
  if (length_ == 0) release();
}

void I18NString::trimTrailing(unsigned int ch) {
  if (ch > 0xFFFF) return;
  const char16_t* units = data();
  const char16_t unit = static_cast<char16_t>(ch);
  while (length_ > 0 && units[length_ - 1] == unit) --length_;
  if (length_ == 0) release();
}

void I18NString::replaceAll(const I18NString& target,
                            const I18NString& replacement) {
  if (target.empty()) return;
  int hit = find(target, 0);
  if (hit == -1) return;
  // Either text may live in this buffer; holding them makes it shared, so
  // it is then not rewritten in place.
  const I18NString from(target);
  const I18NString to(replacement);
  std::size_t resultLength = length_;
  if (to.length_ > from.length_) {
    for (int at = hit; at != -1; at = find(from, at + from.length()))
      resultLength += to.length_ - from.length_;
  }
  // A replacement no longer than the target writes behind the point the
  // search reads, so a private buffer can be rewritten in place.
  const bool inPlace = to.length_ <= from.length_ && !buffer_->Shared();
  if (inPlace) makeUnique(length_);
  Buffer* result = inPlace ? buffer_ : Buffer::Create(resultLength);
  const char16_t* in = data();
  char16_t* out = result->Units();
  std::size_t read = 0;
  std::size_t written = 0;
  // The client output's line ends are folded with this: a million short
  // searches, so the short-needle search is called without find()'s checks.
  const char16_t* const end = in + length_;
  auto next = [&](std::size_t start) -> int {
    if (from.length_ > kShortNeedle) return find(from, static_cast<int>(start));
    const char16_t* found =
        FindShortNeedle(in + start, end, from.data(), from.length_);
    return found == end ? -1 : static_cast<int>(found - in);
  };
  for (; hit != -1; hit = next(static_cast<std::size_t>(hit) + from.length_)) {
    const std::size_t kept = static_cast<std::size_t>(hit) - read;
    std::memmove(out + written, in + read, kept * sizeof(char16_t));
    written += kept;
    std::memcpy(out + written, to.data(), to.length_ * sizeof(char16_t));
    written += to.length_;
    read = static_cast<std::size_t>(hit) + from.length_;
  }
  std::memmove(out + written, in + read, (length_ - read) * sizeof(char16_t));
  written += length_ - read;
  out[written] = 0;
  if (inPlace) {
    // The block is handed back; a large one shrinks where it lies.
    if (written > 0) buffer_ = Buffer::Resize(buffer_, written);
  } else {
    Buffer::Release(buffer_);
    buffer_ = result;
    offset_ = 0;
  }
  length_ = written;
  if (length_ == 0) release();
}

const char16_t* I18NString::data() const {
  return buffer_ == nullptr ? kNoUnits : buffer_->Units() + offset_;
}

const void* I18NString::getExternalBuffer() const {
  if (length_ == 0) return kNoUnits;
  char16_t* units = buffer_->Units() + offset_;
  // Every unit up to the last one written into the buffer, and a zero after
  // it, is initialised, and no view reaches past that zero: reading the unit
  // after the text is safe.
  if (units[length_] == 0) return units;
  if (buffer_->Shared()) {
    Buffer* own = Buffer::Create(length_);
    std::memcpy(own->Units(), units, length_ * sizeof(char16_t));
    Buffer::Release(buffer_);
    buffer_ = own;
    offset_ = 0;
    units = own->Units();
  }
  units[length_] = 0;
  return units;
}

namespace {

// The number of leading units below U+0080 in units[0..length), counted in
// blocks of eight (so possibly fewer than there are): documents are mostly
// ASCII, and blocks of it take one test instead of eight.
size_t AsciiBlocks(const char16_t* units, size_t length) {
  size_t count = 0;
#if defined(__SSE2__)
  const __m128i aboveAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; length - count >= 8; count += 8) {
    __m128i block =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + count));
    __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(block, aboveAscii), zero);
    if (_mm_movemask_epi8(ascii) != 0xFFFF) break;
  }
#else
  (void)units;
  (void)length;
#endif
  return count;
}

// Narrows `count` units below U+0080 to bytes.
void NarrowAscii(const char16_t* units, size_t count, char* out) {
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<char>(units[i]);
}

bool StartsPair(const char16_t* units, size_t at, size_t length) {
  return IsHighSurrogate(units[at]) && at + 1 < length &&
         IsLowSurrogate(units[at + 1]);
}

// The bytes of the UTF-8 form of units[0..length): every unit below U+0080
// takes one, below U+0800 two, a surrogate pair four, any other unit three
// (an unpaired surrogate becomes U+FFFD).
size_t Utf8Length(const char16_t* units, size_t length) {
  size_t bytes = 0;
  for (size_t i = 0; i < length;) {
    const size_t ascii = AsciiBlocks(units + i, length - i);
    bytes += ascii;
    i += ascii;
    if (i == length) break;
    const char16_t unit = units[i];
    if (StartsPair(units, i, length)) {
      bytes += 4;
      i += 2;
    } else {
      bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
      ++i;
    }
  }
  return bytes;
}

char* PutUtf8(char* out, char32_t code) {
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
  return out;
}

}  // namespace

std::string I18NString::toUTF8() const {
  const char16_t* units = data();
  const size_t length = length_;
  // Sized exactly first: documents run to tens of megabytes, and growing
  // byte by byte would copy them again and again.
  std::string out;
  const size_t bytes = Utf8Length(units, length);
  out.reserve(bytes);
  WexAdviseHugePages(&out[0], bytes);
  out.resize(bytes);
  char* at = &out[0];
  for (size_t i = 0; i < length;) {
    const size_t ascii = AsciiBlocks(units + i, length - i);
    NarrowAscii(units + i, ascii, at);
    at += ascii;
    i += ascii;
    if (i == length) break;
    const char16_t unit = units[i];
    if (StartsPair(units, i, length)) {
      const char32_t high = unit - 0xD800;
      const char32_t low = units[i + 1] - 0xDC00;
      at = PutUtf8(at, 0x10000 + (high << 10) + low);
      i += 2;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      at = PutUtf8(at, 0xFFFD);
      ++i;
    } else {
      at = PutUtf8(at, unit);
      ++i;
    }
  }
  return out;
}

bool operator==(const I18NString& a, const I18NString& b) {
  return a.length() == b.length() &&
         std::memcmp(a.data(), b.data(), a.length() * sizeof(char16_t)) == 0;
}

bool operator!=(const I18NString& a, const I18NString& b) { return !(a == b); }
