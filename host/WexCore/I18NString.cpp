#include "I18NString.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "I18NDecode.h"
#include "I18NEncoding.h"
#include "I18NUTF8.h"
#include "I18NUnits.h"
#include "WexException.h"

using i18n_units::FitsNarrow;
using i18n_units::Narrow;
using i18n_units::Widen;

namespace {

// `count` as a string's length or offset, or a buffer's capacity, which
// stay below I18NString::kMaxLength; throws WexException beyond it.
std::uint32_t CheckedLength(std::size_t count);

}  // namespace

// The shared storage: a reference count, a capacity and a width, followed in
// the same block by capacity + 1 code units of that width (the last place is
// for a terminator). The header is kept small: a history holds millions of
// buffers of a few units each.
class I18NString::Buffer {
 public:
  // A buffer with one reference and room for `capacity` units.
  static Buffer* Create(std::size_t capacity, bool narrow) {
    const std::uint32_t room = CheckedLength(capacity);
    void* block = std::malloc(BlockSize(room, narrow));
    if (block == nullptr) throw std::bad_alloc();
    return new (block) Buffer(room, narrow);
  }

  // `buffer` moved to a block with room for `capacity` units of width
  // `narrow`, its bytes kept as far as they fit (the caller rearranges them
  // when the width changes). REQUIRES: the only reference is the caller's.
  static Buffer* Resize(Buffer* buffer, std::size_t capacity, bool narrow) {
    const std::uint32_t room = CheckedLength(capacity);
    void* block = std::realloc(buffer, BlockSize(room, narrow));
    if (block == nullptr) throw std::bad_alloc();
    buffer = static_cast<Buffer*>(block);
    buffer->capacity_ = room;
    buffer->narrow_ = narrow;
    return buffer;
  }
  static Buffer* Resize(Buffer* buffer, std::size_t capacity) {
    return Resize(buffer, capacity, buffer->narrow_);
  }

  // A string's reference; there are never more strings than the 2^32 that
  // would wrap it (each is sixteen bytes, and texts are below 2^31 units).
  void Acquire() { ++references_; }

  // Drops one reference and frees the block with the last one.
  static void Release(Buffer* buffer) {
    if (buffer != nullptr && --buffer->references_ == 0) std::free(buffer);
  }

  bool Shared() const { return references_ > 1; }
  bool Narrow() const { return narrow_; }
  std::size_t Capacity() const { return capacity_; }
  char16_t* Units() { return reinterpret_cast<char16_t*>(this + 1); }
  unsigned char* Bytes() { return reinterpret_cast<unsigned char*>(this + 1); }

  // Writes the terminator after `length` units.
  void Terminate(std::size_t length) {
    if (narrow_) {
      Bytes()[length] = 0;
    } else {
      Units()[length] = 0;
    }
  }

 private:
  Buffer(std::uint32_t capacity, bool narrow)
      : capacity_(capacity), narrow_(narrow) {}

  static std::size_t BlockSize(std::uint32_t capacity, bool narrow) {
    return sizeof(Buffer) +
           (std::size_t{capacity} + 1) * (narrow ? 1 : sizeof(char16_t));
  }

  std::uint32_t references_ = 1;
  std::uint32_t capacity_;
  bool narrow_;
};

namespace {

const char16_t kNoUnits[] = u"";

[[noreturn]] void RaiseTooLong() {
  WEX_RAISE(WexException(),
            I18NString(std::u16string(
                u"The text would hold more than 2147483647 characters.")),
            "I18NString::I18NString()");
}

std::uint32_t CheckedLength(std::size_t count) {
  if (count > I18NString::kMaxLength) RaiseTooLong();
  return static_cast<std::uint32_t>(count);
}

}  // namespace

template <typename Read>
auto I18NString::Visit(const I18NString& text, Read&& read) {
  if (text.buffer_ != nullptr && text.buffer_->Narrow()) {
    const unsigned char* units = text.buffer_->Bytes() + text.offset_;
    return read(units, text.length_);
  }
  const char16_t* units =
      text.buffer_ == nullptr ? kNoUnits : text.buffer_->Units() + text.offset_;
  return read(units, text.length_);
}

I18NStringBuilder::~I18NStringBuilder() {
  I18NString::Buffer::Release(buffer_);
}

char16_t* I18NStringBuilder::Reserve(std::size_t capacity) {
  if (buffer_ == nullptr) {
    buffer_ = I18NString::Buffer::Create(capacity, false);
  } else if (capacity > buffer_->Capacity()) {
    buffer_ = I18NString::Buffer::Resize(buffer_, capacity);
  }
  return buffer_->Units();
}

unsigned char* I18NStringBuilder::ReserveNarrow(std::size_t capacity) {
  if (buffer_ == nullptr) {
    buffer_ = I18NString::Buffer::Create(capacity, true);
  } else if (capacity > buffer_->Capacity()) {
    buffer_ = I18NString::Buffer::Resize(buffer_, capacity);
  }
  return buffer_->Bytes();
}

char16_t* I18NStringBuilder::Widen(std::size_t length, std::size_t capacity) {
  if (buffer_ == nullptr || !buffer_->Narrow()) return Reserve(capacity);
  capacity = std::max(capacity, buffer_->Capacity());
  buffer_ = I18NString::Buffer::Resize(buffer_, capacity, false);
  // In place, from the last unit down: unit i moves to bytes 2i and 2i + 1,
  // never below byte i, which is read before it is overwritten.
  const unsigned char* bytes = buffer_->Bytes();
  char16_t* units = buffer_->Units();
  for (std::size_t i = length; i-- > 0;) units[i] = bytes[i];
  return units;
}

I18NString I18NStringBuilder::Take(std::size_t length) {
  CheckedLength(length);
  if (length == 0) {
    I18NString::Buffer::Release(buffer_);
    buffer_ = nullptr;
    return I18NString();
  }
  // Builders reserve ahead; what is left over is returned (a large block
  // shrinks in place).
  if (length < buffer_->Capacity())
    buffer_ = I18NString::Buffer::Resize(buffer_, length);
  buffer_->Terminate(length);
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
  unsigned char* ReserveNarrow(std::size_t capacity) override {
    return builder_.ReserveNarrow(capacity);
  }
  char16_t* Widen(std::size_t length, std::size_t capacity) override {
    return builder_.Widen(length, capacity);
  }

  // The first `length` units as a string; the sink is empty afterwards.
  I18NString Take(std::size_t length) { return builder_.Take(length); }

 private:
  I18NStringBuilder builder_;
};

namespace {

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
char16_t UnitAt(const void* text, size_t index) {
  char16_t unit;
  std::memcpy(&unit, static_cast<const char*>(text) + 2 * index, 2);
  return unit;
}

size_t CountUnitsBeforeZero(const void* text) {
  size_t count = 0;
  while (UnitAt(text, count) != 0) ++count;
  return count;
}

// Copies `count` units to `out`, of either width, the same or wider.
void CopyUnits(const unsigned char* units, size_t count, unsigned char* out) {
  std::memcpy(out, units, count);
}
void CopyUnits(const char16_t* units, size_t count, char16_t* out) {
  std::memcpy(out, units, count * sizeof(char16_t));
}
void CopyUnits(const unsigned char* units, size_t count, char16_t* out) {
  Widen(units, count, out);
}

// A needle in the width of the text it is looked for in: its own units when
// the widths agree (no copy), else a converted copy, or nothing when it
// cannot stand in narrow text.
class NeedleInWidth {
 public:
  NeedleInWidth(const I18NString& needle, bool narrow) {
    const size_t length = static_cast<size_t>(needle.length());
    if (narrow && needle.isNarrow()) {
      bytes_ = needle.narrowData();
    } else if (!narrow && !needle.isNarrow()) {
      units_ = needle.data();
    } else if (narrow) {
      const char16_t* units = needle.data();
      fits_ = FitsNarrow(units, length);
      if (fits_) ownBytes_.assign(units, units + length);
      bytes_ = ownBytes_.data();
    } else {
      const unsigned char* bytes = needle.narrowData();
      ownUnits_.assign(bytes, bytes + length);
      units_ = ownUnits_.data();
    }
  }
  NeedleInWidth(const NeedleInWidth&) = delete;
  NeedleInWidth& operator=(const NeedleInWidth&) = delete;

  bool Fits() const { return fits_; }
  const unsigned char* Bytes() const { return bytes_; }
  const char16_t* Units() const { return units_; }

 private:
  bool fits_ = true;
  const unsigned char* bytes_ = nullptr;
  const char16_t* units_ = nullptr;
  std::basic_string<unsigned char> ownBytes_;
  std::u16string ownUnits_;
};

}  // namespace

I18NString::I18NString() = default;

I18NString::I18NString(Buffer* buffer, std::size_t length)
    : buffer_(buffer), length_(static_cast<std::uint32_t>(length)) {}

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
  bool narrow = true;
  for (size_t i = 0; narrow && i < count; ++i) narrow = UnitAt(text, i) < 0x100;
  length_ = CheckedLength(count);
  buffer_ = Buffer::Create(count, narrow);
  if (narrow) {
    for (size_t i = 0; i < count; ++i)
      buffer_->Bytes()[i] = static_cast<unsigned char>(UnitAt(text, i));
  } else {
    std::memcpy(buffer_->Units(), text, 2 * count);
  }
  buffer_->Terminate(count);
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

bool I18NString::isNarrow() const {
  return buffer_ != nullptr && buffer_->Narrow();
}

void I18NString::makeUnique(std::size_t capacity, bool wide) {
  // New text starts narrow; appending wide units widens it.
  const bool narrow = (buffer_ == nullptr || buffer_->Narrow()) && !wide;
  if (buffer_ != nullptr && !buffer_->Shared() && narrow == isNarrow()) {
    if (offset_ > 0) {
      const size_t unitBytes = narrow ? 1 : sizeof(char16_t);
      unsigned char* bytes = buffer_->Bytes();
      std::memmove(bytes, bytes + offset_ * unitBytes, length_ * unitBytes);
      offset_ = 0;
    }
    if (capacity > buffer_->Capacity())
      buffer_ = Buffer::Resize(buffer_, capacity);
    return;
  }
  Buffer* own = Buffer::Create(capacity, narrow);
  Visit(*this, [&](const auto* units, size_t length) {
    // Only narrow text is kept narrow.
    if constexpr (sizeof(*units) == 1) {
      if (narrow) {
        CopyUnits(units, length, own->Bytes());
        return 0;
      }
    }
    CopyUnits(units, length, own->Units());
    return 0;
  });
  own->Terminate(length_);
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
  makeUnique(std::max<std::size_t>(capacity, length_));
}

I18NString& I18NString::operator+=(const I18NString& other) {
  if (other.empty()) return *this;
  // An empty string takes the other's buffer, unless it has room of its own
  // for the text (see reserve()) and can hold it in its width.
  if (empty() && (buffer_ == nullptr || buffer_->Shared() ||
                  other.length_ > buffer_->Capacity() - offset_ ||
                  (isNarrow() && !other.isNarrow()))) {
    return *this = other;
  }
  // The other text may live in this buffer, which can move below.
  const I18NString appended(other);
  const bool widen = isNarrow() && !appended.isNarrow() &&
                     !FitsNarrow(appended.data(), appended.length_);
  const std::uint32_t total =
      CheckedLength(std::size_t{length_} + appended.length_);
  std::size_t capacity = buffer_->Capacity();
  // A private buffer grows geometrically, so appending piece by piece stays
  // linear.
  if (buffer_->Shared() || widen || total > capacity - offset_)
    capacity = std::max<std::size_t>(total, std::size_t{2} * length_);
  makeUnique(capacity, widen);
  Visit(appended, [&](const auto* units, size_t length) {
    if (!isNarrow()) {
      CopyUnits(units, length, buffer_->Units() + length_);
    } else if constexpr (sizeof(*units) == 1) {
      CopyUnits(units, length, buffer_->Bytes() + length_);
    } else {
      Narrow(units, length, buffer_->Bytes() + length_);
    }
    return 0;
  });
  length_ = total;
  buffer_->Terminate(length_);
  return *this;
}

int I18NString::find(const I18NString& needle, int from) const {
  // A caller that walks the text with incrementOffset hands in -1 at the
  // end; starting over at 0 then would loop for ever.
  if (from < 0 || from > length()) return -1;
  if (needle.empty()) return from;
  const NeedleInWidth wanted(needle, isNarrow());
  if (!wanted.Fits()) return -1;
  const size_t found = Visit(*this, [&](const auto* units, size_t length) {
    if constexpr (sizeof(*units) == 1) {
      return i18n_units::Find(units, length, wanted.Bytes(), needle.length_,
                              static_cast<size_t>(from));
    } else {
      return i18n_units::Find(units, length, wanted.Units(), needle.length_,
                              static_cast<size_t>(from));
    }
  });
  return found == length_ ? -1 : static_cast<int>(found);
}

int I18NString::find(unsigned int ch, int from) const {
  if (from < 0 || from > length() || ch > 0xFFFF) return -1;
  if (isNarrow() && ch > 0xFF) return -1;
  return Visit(*this, [&](const auto* units, size_t length) {
    using Unit = std::remove_cv_t<std::remove_pointer_t<decltype(units)>>;
    const Unit* found = i18n_units::FindUnit(units + from, units + length,
                                             static_cast<Unit>(ch));
    return found == units + length ? -1 : static_cast<int>(found - units);
  });
}

int I18NString::count(unsigned int ch) const {
  if (ch > 0xFFFF || (isNarrow() && ch > 0xFF)) return 0;
  return Visit(*this, [&](const auto* units, size_t length) {
    using Unit = std::remove_cv_t<std::remove_pointer_t<decltype(units)>>;
    return static_cast<int>(
        i18n_units::CountUnit(units, units + length, static_cast<Unit>(ch)));
  });
}

I18NString I18NString::substring(int start, int end) const {
  if (end == -1 || end > length()) end = length();
  if (start < 0 || start >= end) return I18NString();
  I18NString part(*this);
  part.offset_ += static_cast<std::uint32_t>(start);
  part.length_ = static_cast<std::uint32_t>(end - start);
  return part;
}

int I18NString::incrementOffset(int pos) const {
  return pos >= 0 && pos < length() ? pos + 1 : -1;
}

char16_t I18NString::at(int pos) const {
  return Visit(*this, [&](const auto* units, size_t) {
    return static_cast<char16_t>(units[pos]);
  });
}

void I18NString::erase(int start, int count) {
  if (start < 0 || start >= length() || count < -1) return;
  const size_t first = static_cast<size_t>(start);
  const size_t remaining = length_ - first;
  if (count == -1 || static_cast<size_t>(count) >= remaining) {
    // Cutting off the end only narrows the view.
    length_ = static_cast<std::uint32_t>(first);
  } else if (count > 0 && first == 0) {
    offset_ += static_cast<std::uint32_t>(count);
    length_ -= static_cast<std::uint32_t>(count);
  } else if (count > 0) {
    makeUnique(length_);
    const size_t unitBytes = isNarrow() ? 1 : sizeof(char16_t);
    unsigned char* bytes = buffer_->Bytes();
    const size_t kept = first + static_cast<size_t>(count);
    std::memmove(bytes + first * unitBytes, bytes + kept * unitBytes,
                 (length_ - kept) * unitBytes);
    length_ -= static_cast<std::uint32_t>(count);
    buffer_->Terminate(length_);
  }
  if (length_ == 0) release();
}

void I18NString::trimLeading(unsigned int ch) {
  if (ch > 0xFFFF) return;
  const size_t count = Visit(*this, [&](const auto* units, size_t length) {
    size_t leading = 0;
    while (leading < length && units[leading] == ch) ++leading;
    return leading;
  });
  offset_ += static_cast<std::uint32_t>(count);
  length_ -= static_cast<std::uint32_t>(count);
  if (length_ == 0) release();
}

void I18NString::trimTrailing(unsigned int ch) {
  if (ch > 0xFFFF) return;
  length_ = Visit(*this, [&](const auto* units, size_t length) {
    while (length > 0 && units[length - 1] == ch) --length;
    return static_cast<std::uint32_t>(length);
  });
  if (length_ == 0) release();
}

namespace {

// Writes `in` with every occurrence of `target` (searched from the start
// and resumed after each replaced one) replaced by `replacement`, all of one
// width, to `out`; returns the units written. `out` may be `in` itself when
// the replacement is no longer than the target: writing then stays behind
// reading.
template <typename Unit>
size_t ReplaceUnits(const Unit* in, size_t length, const Unit* target,
                    size_t targetLength, const Unit* replacement,
                    size_t replacementLength, Unit* out) {
  size_t read = 0;
  size_t written = 0;
  for (;;) {
    const size_t hit = i18n_units::Find(in, length, target, targetLength, read);
    const size_t kept = hit - read;
    std::memmove(out + written, in + read, kept * sizeof(Unit));
    written += kept;
    if (hit == length) return written;
    std::memcpy(out + written, replacement, replacementLength * sizeof(Unit));
    written += replacementLength;
    read = hit + targetLength;
  }
}

}  // namespace

void I18NString::replaceAll(const I18NString& target,
                            const I18NString& replacement) {
  if (target.empty()) return;
  int hit = find(target, 0);
  if (hit == -1) return;
  // Either text may be this string or live in its buffer: holding them
  // makes that buffer shared, so it is then never rewritten in place.
  const I18NString targetHeld(target);
  const I18NString replacementHeld(replacement);
  // Narrow text stays narrow when the replacement fits.
  if (isNarrow() && !NeedleInWidth(replacementHeld, true).Fits())
    makeUnique(length_, true);
  const NeedleInWidth from(targetHeld, isNarrow());
  const NeedleInWidth to(replacementHeld, isNarrow());
  std::size_t resultLength = length_;
  if (replacementHeld.length_ > targetHeld.length_) {
    for (int at = hit; at != -1;
         at = find(targetHeld, at + targetHeld.length()))
      resultLength += replacementHeld.length_ - targetHeld.length_;
  }
  // A replacement no longer than the target writes behind the point the
  // search reads, so a private buffer can be rewritten in place.
  const bool inPlace =
      replacementHeld.length_ <= targetHeld.length_ && !buffer_->Shared();
  if (inPlace) makeUnique(length_);
  CheckedLength(resultLength);
  Buffer* result = inPlace ? buffer_ : Buffer::Create(resultLength, isNarrow());
  const size_t written = Visit(*this, [&](const auto* units, size_t length) {
    if constexpr (sizeof(*units) == 1) {
      return ReplaceUnits(units, length, from.Bytes(), targetHeld.length_,
                          to.Bytes(), replacementHeld.length_, result->Bytes());
    } else {
      return ReplaceUnits(units, length, from.Units(), targetHeld.length_,
                          to.Units(), replacementHeld.length_, result->Units());
    }
  });
  if (inPlace) {
    // The block is handed back; a large one shrinks where it lies.
    if (written > 0) buffer_ = Buffer::Resize(buffer_, written);
  } else {
    Buffer::Release(buffer_);
    buffer_ = result;
    offset_ = 0;
  }
  length_ = static_cast<std::uint32_t>(written);
  if (length_ == 0) {
    release();
  } else {
    buffer_->Terminate(length_);
  }
}

const char16_t* I18NString::data() const {
  if (buffer_ == nullptr || length_ == 0) return kNoUnits;
  if (buffer_->Narrow()) {
    Buffer* wide = Buffer::Create(length_, false);
    Widen(buffer_->Bytes() + offset_, length_, wide->Units());
    wide->Terminate(length_);
    Buffer::Release(buffer_);
    buffer_ = wide;
    offset_ = 0;
  }
  return buffer_->Units() + offset_;
}

std::u16string I18NString::units() const {
  return Visit(*this, [](const auto* units, size_t length) {
    return std::u16string(units, units + length);
  });
}

const unsigned char* I18NString::narrowData() const {
  return buffer_->Bytes() + offset_;
}

const void* I18NString::getExternalBuffer() const {
  if (length_ == 0) return kNoUnits;
  // A narrow text gets a wide, terminated copy of its own.
  char16_t* units = const_cast<char16_t*>(data());
  // Every unit up to the last one written into the buffer, and a zero after
  // it, is initialised, and no view reaches past that zero: reading the unit
  // after the text is safe.
  if (units[length_] == 0) return units;
  if (buffer_->Shared()) {
    Buffer* own = Buffer::Create(length_, false);
    std::memcpy(own->Units(), units, length_ * sizeof(char16_t));
    Buffer::Release(buffer_);
    buffer_ = own;
    offset_ = 0;
    units = own->Units();
  }
  units[length_] = 0;
  return units;
}

std::string I18NString::toUTF8() const {
  std::string out;
  out.reserve(length_);
  Visit(*this, [&](const auto* units, size_t length) {
    const auto* const end = units + length;
    for (const auto* at = units; at != end;) {
      char bytes[kI18NMaxUTF8Bytes];
      char* written = bytes;
      at = I18NEncodeUTF8(at, end, written);
      out.append(bytes, static_cast<size_t>(written - bytes));
    }
    return 0;
  });
  return out;
}

bool operator==(const I18NString& a, const I18NString& b) {
  if (a.length() != b.length()) return false;
  if (a.isNarrow() && b.isNarrow())
    return std::memcmp(a.narrowData(), b.narrowData(), a.length()) == 0;
  if (!a.isNarrow() && !b.isNarrow()) {
    return std::memcmp(a.data(), b.data(), a.length() * sizeof(char16_t)) == 0;
  }
  for (int i = 0; i < a.length(); ++i) {
    if (a.at(i) != b.at(i)) return false;
  }
  return true;
}

bool operator!=(const I18NString& a, const I18NString& b) { return !(a == b); }
