#include "OrvXmlWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "I18NUTF8.h"
#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "OrvXmlReferences.h"

namespace {

const char16_t kDeclaration[] = u"" ORV_XML_DECLARATION;
const char16_t kReplacement = 0xFFFD;

// The room a document starts with: most documents are a few lines.
const std::size_t kFirstCapacity = 1024;

// For each unit below U+0100, whether it stands in the document as it is.
// Tab, line feed and carriage return are the only controls XML 1.0 allows
// below U+0080; a parser normalises raw tab and line feed in attribute
// values to blanks and every raw carriage return away, so these go as
// references wherever they would otherwise be lost. One lookup decides for
// every unit of narrow text.
using AsciiTable = std::array<bool, 0x100>;

constexpr AsciiTable OrdinaryAscii(bool inAttribute) {
  AsciiTable table{};
  for (std::size_t unit = 0x20; unit < table.size(); ++unit) table[unit] = true;
  table[u'&'] = table[u'<'] = table[u'>'] = false;
  if (inAttribute) {
    table[u'"'] = false;
  } else {
    table[u'\t'] = table[u'\n'] = true;
  }
  return table;
}

constexpr AsciiTable kOrdinaryInText = OrdinaryAscii(false);
constexpr AsciiTable kOrdinaryInAttribute = OrdinaryAscii(true);

// True when `unit` is copied as it is: not markup, not a control that needs
// a reference, not a surrogate (pairs are checked apart) and not U+FFFE or
// U+FFFF, which are no characters at all.
inline bool IsOrdinary(char16_t unit, const AsciiTable& ascii) {
  if (unit < 0x100) return ascii[unit];
  return unit < 0xD800 || (unit > 0xDFFF && unit < 0xFFFE);
}
inline bool IsOrdinary(unsigned char unit, const AsciiTable& ascii) {
  return ascii[unit];
}

inline bool StartsPair(const char16_t* at, const char16_t* end) {
  return I18NIsHighSurrogate(*at) && at + 1 != end && I18NIsLowSurrogate(at[1]);
}
inline bool StartsPair(const unsigned char*, const unsigned char*) {
  return false;
}

// What stands in the document for `unit`, which is not ordinary
// and not the start of a surrogate pair.
const char16_t* SpecialReplacement(char16_t unit, bool inAttribute) {
  static const char16_t kReplacementText[] = {kReplacement, 0};
  switch (unit) {
    case u'&':
    case u'<':
    case u'>':
      return OrvXmlReferenceFor(unit);
    case u'"':
      return inAttribute ? OrvXmlReferenceFor(unit) : u"\"";
    case u'\t':
      return inAttribute ? u"&#x9;" : u"\t";
    case u'\n':
      return inAttribute ? u"&#xA;" : u"\n";
    case u'\r':
      return u"&#xD;";
    default:
      return kReplacementText;
  }
}

// Length of the reference that starts right after the '&' at `at`, its ';'
// included, or 0 when no reference that OrvXmlEscape writes starts there.
template <typename Unit>
std::size_t ReferenceLength(const Unit* at, const Unit* end) {
  for (const OrvXmlReference& entry : kOrvXmlReferences) {
    // Past the '&' that every reference begins with.
    const char16_t* reference = entry.reference + 1;
    std::size_t length = std::char_traits<char16_t>::length(reference);
    if (static_cast<std::size_t>(end - at) >= length &&
        std::equal(reference, reference + length, at)) {
      return length;
    }
  }
  return 0;
}

}  // namespace

OrvXmlWriter::OrvXmlWriter()
    : narrow_(document_.ReserveNarrow(kFirstCapacity)),
      wide_(nullptr),
      capacity_(kFirstCapacity),
      length_(0) {
  Append(kDeclaration);
}

void OrvXmlWriter::OpenElement(const char16_t* name) {
  if (!open_.empty()) {
    CloseStartTag();
    open_.back().hasChildElements = true;
    AppendIndentation(open_.size());
  }
  const std::size_t nameLength = std::char_traits<char16_t>::length(name);
  Append(u'<');
  Append(name, nameLength);
  open_.push_back({name, nameLength, true, false});
}

void OrvXmlWriter::AddAttribute(const char16_t* name, const I18NString& value) {
  if (value.isNarrow()) {
    const unsigned char* units = value.narrowData();
    AppendAttribute(name, units, units + value.size());
  } else {
    const char16_t* units = value.data();
    AppendAttribute(name, units, units + value.size());
  }
}

void OrvXmlWriter::AddAttribute(const char16_t* name, const char* value) {
  const auto* units = reinterpret_cast<const unsigned char*>(value);
  AppendAttribute(name, units, units + std::strlen(value));
}

void OrvXmlWriter::AddAttribute(const char16_t* name, bool value) {
  // Neither word needs escaping.
  Append(u' ');
  Append(name);
  if (value) {
    AppendLiteral(u"=\"true\"");
  } else {
    AppendLiteral(u"=\"false\"");
  }
}

void OrvXmlWriter::AddAttribute(const char16_t* name, long value) {
  char digits[24];
  const int count = std::snprintf(digits, sizeof(digits), "%ld", value);
  char16_t units[sizeof(digits)];
  std::copy(digits, digits + count, units);
  AppendAttribute(name, units, units + count);
}

void OrvXmlWriter::AddText(const I18NString& text) {
  if (text.empty()) return;
  CloseStartTag();
  AppendEscaped(text, false);
}

void OrvXmlWriter::AddEscapedText(const I18NString& markup) {
  if (markup.empty()) return;
  CloseStartTag();
  if (markup.isNarrow()) {
    const unsigned char* units = markup.narrowData();
    AppendEscapedMarkup(units, units + markup.size());
  } else {
    const char16_t* units = markup.data();
    AppendEscapedMarkup(units, units + markup.size());
  }
}

template <typename Unit>
void OrvXmlWriter::AppendEscapedMarkup(const Unit* begin, const Unit* end) {
  const Unit* piece = begin;
  for (const Unit* at = piece; at != end; ++at) {
    if (*at != u'&') continue;
    std::size_t length = ReferenceLength(at + 1, end);
    if (length == 0) continue;  // a bare '&' is escaped with its piece
    AppendEscaped(piece, at, false);
    Append(at, length + 1);
    at += length;
    piece = at + 1;
  }
  AppendEscaped(piece, end, false);
}

OrvXmlWriter::ElementRun::ElementRun(OrvXmlWriter& writer,
                                     std::string_view opening)
    : writer_(writer), opening_(opening) {}

void OrvXmlWriter::ElementRun::Start() {
  writer_.CloseStartTag();
  writer_.open_.back().hasChildElements = true;
  indentedOpening_ = "\n";
  indentedOpening_.append(2 * writer_.open_.size(), ' ');
  indentedOpening_.append(opening_);
}

void OrvXmlWriter::ElementRun::Add(const I18NString& value,
                                   std::string_view closing) {
  // An element in the run's element, once there is one, ends its start tag.
  if (indentedOpening_.empty()) Start();
  writer_.Append(indentedOpening_);
  writer_.AppendEscaped(value, true);
  writer_.Append(closing);
}

void OrvXmlWriter::CloseElement() {
  OpenTag tag = open_.back();
  open_.pop_back();
  if (tag.startTagOpen) {
    AppendLiteral(u"/>");
    return;
  }
  if (tag.hasChildElements) AppendIndentation(open_.size());
  AppendLiteral(u"</");
  Append(tag.name, tag.nameLength);
  Append(u'>');
}

I18NString OrvXmlWriter::Finish() {
  while (!open_.empty()) CloseElement();
  Append(u'\n');
  return document_.Take(length_);
}

template <typename Unit>
void OrvXmlWriter::AppendAttribute(const char16_t* name, const Unit* begin,
                                   const Unit* end) {
  Append(u' ');
  Append(name);
  AppendLiteral(u"=\"");
  AppendEscaped(begin, end, true);
  Append(u'"');
}

void OrvXmlWriter::CloseStartTag() {
  OpenTag& tag = open_.back();
  if (!tag.startTagOpen) return;
  Append(u'>');
  tag.startTagOpen = false;
}

void OrvXmlWriter::AppendIndentation(std::size_t depth) {
  // The line feed and the indentation of the commonest depths in one piece.
  static const char16_t kIndented[] = u"\n      ";
  const std::size_t shallow = std::min<std::size_t>(depth, 3);
  Append(kIndented, 1 + 2 * shallow);
  for (std::size_t level = shallow; level < depth; ++level) Append(u"  ", 2);
}

template <typename Unit>
void OrvXmlWriter::AppendEscaped(const Unit* begin, const Unit* end,
                                 bool inAttribute) {
  const AsciiTable& ascii =
      inAttribute ? kOrdinaryInAttribute : kOrdinaryInText;
  // Ordinary units are copied a run at a time; only the few others are
  // looked at one by one.
  const Unit* run = begin;
  const Unit* at = begin;
  while (at != end) {
    const Unit unit = *at;
    if (IsOrdinary(unit, ascii)) {
      ++at;
      continue;
    }
    if (StartsPair(at, end)) {
      at += 2;
      continue;
    }
    Append(run, static_cast<std::size_t>(at - run));
    Append(SpecialReplacement(unit, inAttribute));
    run = ++at;
  }
  Append(run, static_cast<std::size_t>(end - run));
}

void OrvXmlWriter::AppendEscaped(const I18NString& text, bool inAttribute) {
  if (text.isNarrow()) {
    const unsigned char* units = text.narrowData();
    AppendEscaped(units, units + text.size(), inAttribute);
  } else {
    const char16_t* units = text.data();
    AppendEscaped(units, units + text.size(), inAttribute);
  }
}

void OrvXmlWriter::AppendSlowly(const char16_t* units, std::size_t count) {
  if (count > capacity_ - length_) Grow(count);
  if (narrow_ != nullptr) {
    char16_t seen = 0;
    for (std::size_t i = 0; i < count; ++i) seen |= units[i];
    if (seen < 0x100) {
      std::copy(units, units + count, narrow_ + length_);
      length_ += count;
      return;
    }
    WidenDocument();
  }
  std::memcpy(wide_ + length_, units, count * sizeof(char16_t));
  length_ += count;
}

void OrvXmlWriter::AppendSlowly(const unsigned char* units, std::size_t count) {
  if (count > capacity_ - length_) Grow(count);
  if (wide_ != nullptr) {
    std::copy(units, units + count, wide_ + length_);
  } else {
    std::memcpy(narrow_ + length_, units, count);
  }
  length_ += count;
}

void OrvXmlWriter::Append(const char16_t* text) {
  Append(text, std::char_traits<char16_t>::length(text));
}

void OrvXmlWriter::Grow(std::size_t count) {
  const std::size_t needed = length_ + count;
  // Found out before the storage grows past what the string can hold.
  if (needed > I18NString::kMaxLength) {
    ORV_RAISE(ORV_MSG_ANSWER_TOO_LARGE, I18NString(), "OrvXmlWriter::Grow()");
  }
  capacity_ = std::min(std::max(needed, 2 * capacity_), I18NString::kMaxLength);
  if (wide_ != nullptr) {
    wide_ = document_.Reserve(capacity_);
  } else {
    narrow_ = document_.ReserveNarrow(capacity_);
  }
}

void OrvXmlWriter::WidenDocument() {
  wide_ = document_.Widen(length_, capacity_);
  narrow_ = nullptr;
}
