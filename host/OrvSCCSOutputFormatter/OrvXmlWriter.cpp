#include "OrvXmlWriter.h"

#include <string>

namespace {

const char16_t kDeclaration[] =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";
const char16_t kReplacement = 0xFFFD;

// The references that escaped text may hold, without their leading '&'.
const char16_t* const kReferences[] = {u"amp;", u"lt;", u"gt;", u"quot;",
                                       u"apos;"};

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Tab, line feed and carriage return are the only controls XML 1.0 allows;
// U+FFFE and U+FFFF are not characters at all.
bool IsForbiddenInXml(char16_t unit) {
  if (unit < 0x20) return unit != u'\t' && unit != u'\n' && unit != u'\r';
  return unit == 0xFFFE || unit == 0xFFFF;
}

// Length of the reference that starts right after the '&' at `at`, its ';'
// included, or 0 when no reference that EscapeDOMChars writes starts there.
std::size_t ReferenceLength(const char16_t* at, const char16_t* end) {
  for (const char16_t* reference : kReferences) {
    std::size_t length = std::char_traits<char16_t>::length(reference);
    if (static_cast<std::size_t>(end - at) >= length &&
        std::char_traits<char16_t>::compare(at, reference, length) == 0) {
      return length;
    }
  }
  return 0;
}

}  // namespace

OrvXmlWriter::OrvXmlWriter() : text_(kDeclaration) {}

void OrvXmlWriter::OpenElement(const char16_t* name) {
  if (!open_.empty()) {
    CloseStartTag();
    open_.back().hasChildElements = true;
    AppendIndentation(open_.size());
  }
  text_ += u'<';
  text_ += name;
  open_.push_back({name, true, false});
}

void OrvXmlWriter::AddAttribute(const char16_t* name, const I18NString& value) {
  const std::u16string_view units(value.data(), value.size());
  text_ += u' ';
  text_ += name;
  text_ += u"=\"";
  AppendEscaped(units.data(), units.data() + units.size(), true);
  text_ += u'"';
}

void OrvXmlWriter::AddAttribute(const char16_t* name, const char16_t* value) {
  AddAttribute(name, I18NString(std::u16string(value)));
}

void OrvXmlWriter::AddAttribute(const char16_t* name, bool value) {
  AddAttribute(name, value ? u"true" : u"false");
}

void OrvXmlWriter::AddAttribute(const char16_t* name, long value) {
  std::string digits = std::to_string(value);
  AddAttribute(name, I18NString(std::u16string(digits.begin(), digits.end())));
}

void OrvXmlWriter::AddText(const I18NString& text) {
  if (text.empty()) return;
  CloseStartTag();
  const std::u16string_view units(text.data(), text.size());
  AppendEscaped(units.data(), units.data() + units.size(), false);
}

void OrvXmlWriter::AddEscapedText(const I18NString& markup) {
  if (markup.empty()) return;
  CloseStartTag();
  const std::u16string_view units(markup.data(), markup.size());
  const char16_t* piece = units.data();
  const char16_t* const end = units.data() + units.size();
  for (const char16_t* at = piece; at != end; ++at) {
    if (*at != u'&') continue;
    std::size_t length = ReferenceLength(at + 1, end);
    if (length == 0) continue;  // a bare '&' is escaped with its piece
    AppendEscaped(piece, at, false);
    text_.append(at, length + 1);
    at += length;
    piece = at + 1;
  }
  AppendEscaped(piece, end, false);
}

void OrvXmlWriter::CloseElement() {
  OpenTag tag = open_.back();
  open_.pop_back();
  if (tag.startTagOpen) {
    text_ += u"/>";
    return;
  }
  if (tag.hasChildElements) AppendIndentation(open_.size());
  text_ += u"</";
  text_ += tag.name;
  text_ += u'>';
}

I18NString OrvXmlWriter::Finish() {
  while (!open_.empty()) CloseElement();
  text_ += u'\n';
  return I18NString(std::move(text_));
}

void OrvXmlWriter::CloseStartTag() {
  OpenTag& tag = open_.back();
  if (!tag.startTagOpen) return;
  text_ += u'>';
  tag.startTagOpen = false;
}

void OrvXmlWriter::AppendIndentation(std::size_t depth) {
  text_ += u'\n';
  text_.append(2 * depth, u' ');
}

void OrvXmlWriter::AppendEscaped(const char16_t* begin, const char16_t* end,
                                 bool inAttribute) {
  for (const char16_t* at = begin; at != end; ++at) {
    char16_t unit = *at;
    if (IsHighSurrogate(unit) && at + 1 != end && IsLowSurrogate(at[1])) {
      text_.append(at, 2);
      ++at;
      continue;
    }
    switch (unit) {
      case u'&':
        text_ += u"&amp;";
        break;
      case u'<':
        text_ += u"&lt;";
        break;
      case u'>':
        text_ += u"&gt;";
        break;
      case u'"':
        text_ += inAttribute ? u"&quot;" : u"\"";
        break;
      // A parser normalises raw tab and line feed in attribute values to
      // blanks and every raw carriage return away, so these go as references
      // wherever they would otherwise be lost.
      case u'\t':
        text_ += inAttribute ? u"&#x9;" : u"\t";
        break;
      case u'\n':
        text_ += inAttribute ? u"&#xA;" : u"\n";
        break;
      case u'\r':
        text_ += u"&#xD;";
        break;
      default:
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit) ||
            IsForbiddenInXml(unit)) {
          text_ += kReplacement;
        } else {
          text_ += unit;
        }
    }
  }
}

void OrvOpenResult(OrvXmlWriter& writer, int commandId, const char16_t* query) {
  writer.OpenElement(u"result");
  writer.AddAttribute(u"command", static_cast<long>(commandId));
  writer.AddAttribute(u"query", query);
}
