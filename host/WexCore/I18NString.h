#ifndef WEXCORE_I18NSTRING_H_
#define WEXCORE_I18NSTRING_H_

#include <cstddef>
#include <cstdint>
#include <string>

// Called once for every byte sequence that a conversion could not decode and
// replaced with U+FFFD. `userData` is the pointer handed to the conversion.
typedef void (*I18NConversionCallback)(void* userData);

// I18NString is a value type holding text as UTF-16 code units.
//
// Positions, length() and size() all count 16-bit code units: a character
// outside the Basic Multilingual Plane counts twice. Position -1 means
// "nothing found" as a result and "the end of the text" as an end position.
//
// Storage: text whose units are all below U+0100 is usually stored one byte
// per unit (narrow), which halves the memory of the client's mostly Latin
// texts and of the documents; other text two bytes per unit (wide). The
// width never shows in the text: every operation gives the same result for
// either. Appending a unit at or above U+0100 to narrow text widens it.
//
// Ownership: strings share their storage. The code units live in a
// reference-counted buffer, and a string is a view of a range of it: copying
// a string, and taking a substring, costs no allocation and no copying of
// text. The buffer is never changed while another string can see it: a
// change (erase, the trims, +=, replaceAll, assignment of 8-bit text) first
// gives the string a private copy when its buffer is shared, except where
// narrowing the view is enough (trims, and erasing up to either end).
// Copies therefore behave as independent values. A short substring keeps
// the whole buffer it views alive. The text may hold any code unit, U+0000
// included. Not safe to share between threads: the count is not atomic.
class I18NString {
 public:
  // The most code units a text holds (positions are int). An operation that
  // would make a longer text throws WexException instead.
  static constexpr std::size_t kMaxLength = 0x7FFFFFFF;

  // An empty text.
  I18NString();

  // Decodes `length` bytes of `text` (every byte up to the first zero byte
  // when `length` is negative) from `encoding`, or from the platform default
  // encoding when `encoding` is null. Every byte that starts no valid
  // sequence, and an incomplete sequence at the end, becomes one U+FFFD,
  // and decoding goes on; once decoding is done, `callback` (when not null)
  // is called with `userData` once per U+FFFD put in. A null `text` gives an
  // empty string.
  // Throws WexException when `encoding` is unknown.
  I18NString(const char* text, const char* encoding, int length = -1,
             I18NConversionCallback callback = nullptr,
             void* userData = nullptr);

  // Copies `length` UTF-16 code units from `text` (every unit up to the first
  // zero unit when `length` is -1), narrow when they all fit. The units are
  // taken as they are;
  // `callback` and `userData` are accepted for symmetry and never called.
  // A null `text` gives an empty string.
  I18NString(const void* text, int length,
             I18NConversionCallback callback = nullptr,
             void* userData = nullptr);

  // Takes the code units of `units` as they are.
  explicit I18NString(std::u16string units);

  // Copies share the buffer; a moved-from string is empty.
  I18NString(const I18NString& other);
  I18NString(I18NString&& other) noexcept;
  I18NString& operator=(const I18NString& other);
  I18NString& operator=(I18NString&& other) noexcept;
  ~I18NString();

  // Replaces the text with 8-bit `text` decoded from the platform default
  // encoding, as the 8-bit constructor does; null makes the string empty.
  I18NString& operator=(const char* text);

  // Appends `other`.
  I18NString& operator+=(const I18NString& other);

  // Gives the string a buffer of its own with room for at least `capacity`
  // code units, its text and width unchanged (an empty string's is narrow),
  // so that appending text that keeps the width up to that length allocates
  // nothing more. For texts built piece by piece whose final
  // length is known (documents): growing by doubling would copy them again.
  void reserve(std::size_t capacity);

  // Position of the first occurrence of `needle` that starts at or after
  // `from`, else -1. A `from` below 0 or past the end finds nothing; an empty
  // needle is found at `from` when 0 <= from <= length().
  int find(const I18NString& needle, int from = 0) const;

  // Position of the first code unit equal to `ch` at or after `from`, else -1.
  // A `from` below 0 or past the end finds nothing.
  int find(unsigned int ch, int from = 0) const;

  // The number of code units equal to `ch`.
  int count(unsigned int ch) const;

  // The text from `start` up to, not including, `end`; an `end` of -1 (or one
  // past the text) means the end of the text. Empty when `start` is below 0,
  // not below the end, or past the text.
  I18NString substring(int start, int end) const;

  // pos + 1 when 0 <= pos < length(), else -1.
  int incrementOffset(int pos) const;

  // Removes `count` code units from `start` on; a `count` of -1 (or more
  // than remain) removes everything from `start`. A `start` outside
  // [0, length()), or any other negative `count`, removes nothing.
  void erase(int start, int count);

  // Removes every leading (trailing) code unit equal to `ch`.
  void trimLeading(unsigned int ch);
  void trimTrailing(unsigned int ch);

  // Replaces every occurrence of `target`, searched from the start and
  // resumed after each replaced one, with `replacement`. An empty `target`
  // changes nothing. Linear in the length of the text; in place, without
  // allocating, when the buffer is not shared and `replacement` is no longer
  // than `target`.
  void replaceAll(const I18NString& target, const I18NString& replacement);

  // True when the text holds no code unit.
  bool empty() const { return length_ == 0; }

  // Number of 16-bit code units.
  int length() const { return static_cast<int>(length_); }
  int size() const { return static_cast<int>(length_); }

  // The text as zero-terminated UTF-16, valid until the string is next
  // changed or destroyed; for I18NExternalBufferToUTF16. Points into the
  // shared buffer when a zero already follows the text there, or the buffer
  // is the string's alone (the zero is then written after the text);
  // otherwise the string first takes a private, terminated copy of its text
  // (the one change a const string undergoes: its value stays the same).
  const void* getExternalBuffer() const;

  // The length() code units, not necessarily followed by a zero; valid until
  // the string is next changed or destroyed. Never null. A narrow string
  // first exchanges its view for a wide private copy of its units (its
  // value stays the same), so code that reads long texts asks isNarrow()
  // and reads narrowData() instead.
  const char16_t* data() const;

  // True when the units are stored one byte each (see above).
  bool isNarrow() const;

  // The length() units, one byte each, not necessarily followed by a zero;
  // valid until the string is next changed or destroyed.
  // REQUIRES: isNarrow().
  const unsigned char* narrowData() const;

  // The code unit at `pos`. REQUIRES: 0 <= pos < length().
  char16_t at(int pos) const;

  // A copy of the code units, for tests and messages; the string keeps its
  // width. Hot paths read narrowData() or data() instead.
  std::u16string units() const;

  // The text encoded as UTF-8; an unpaired surrogate becomes U+FFFD.
  std::string toUTF8() const;

 private:
  class Buffer;
  friend class I18NStringBuilder;

  // Adopts `buffer` (one reference) holding `length` units from its start.
  // REQUIRES: length <= kMaxLength.
  I18NString(Buffer* buffer, std::size_t length);

  // Gives the string a buffer of its own that holds its text from the start
  // and has room for at least `capacity` units; `capacity` is at least
  // length_. The width is kept, unless `wide` asks for two bytes per unit.
  void makeUnique(std::size_t capacity, bool wide = false);

  // Calls `read(units, length)` with the string's units, a pointer to
  // unsigned char for narrow storage and to char16_t for wide, and returns
  // what it returns.
  template <typename Read>
  static auto Visit(const I18NString& text, Read&& read);

  // Drops the string's reference; leaves the string empty.
  void release();

  // The buffer viewed, or null for a text that never held a unit. Mutable so
  // that getExternalBuffer() can exchange a shared buffer for a terminated
  // private copy of the same text.
  mutable Buffer* buffer_ = nullptr;
  // Both below kMaxLength: a string is sixteen bytes, which counts in lists
  // of a million of them.
  mutable std::uint32_t offset_ = 0;
  std::uint32_t length_ = 0;
};

// Builds one string's code units in place: they are written straight into
// the storage the string will own, which grows on request, and Take() hands
// them over without copying them. For long texts written piece by piece
// (decoded client outputs, documents), which would otherwise be copied from
// a scratch array into the string. The storage is wide, or narrow (one byte
// per unit, every unit below U+0100) until Widen().
//
// Ownership: the builder owns its storage until Take(); a builder destroyed
// without it frees the storage. Not copyable.
class I18NStringBuilder {
 public:
  I18NStringBuilder() = default;
  I18NStringBuilder(const I18NStringBuilder&) = delete;
  I18NStringBuilder& operator=(const I18NStringBuilder&) = delete;
  ~I18NStringBuilder();

  // Wide storage, with room for at least `capacity` units; the units written
  // into it so far are kept (it may move). Throws std::bad_alloc when there
  // is no memory. REQUIRES: no narrow storage was reserved (see Widen()).
  char16_t* Reserve(std::size_t capacity);

  // Narrow storage, as Reserve(). REQUIRES: no wide storage was reserved.
  unsigned char* ReserveNarrow(std::size_t capacity);

  // Turns narrow storage wide: the first `length` units written keep their
  // values, and there is room for at least `capacity` units. Without narrow
  // storage, the same as Reserve(capacity).
  char16_t* Widen(std::size_t length, std::size_t capacity);

  // The first `length` units as a string; the storage shrinks to fit and the
  // builder is empty afterwards. REQUIRES: `length` is at most the capacity
  // last reserved, and those units were written.
  I18NString Take(std::size_t length);

 private:
  I18NString::Buffer* buffer_ = nullptr;
};

// Whole-text equality of the code units.
bool operator==(const I18NString& a, const I18NString& b);
bool operator!=(const I18NString& a, const I18NString& b);

#endif  // WEXCORE_I18NSTRING_H_
