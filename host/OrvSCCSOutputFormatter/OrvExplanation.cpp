#include "OrvExplanation.h"

#include <algorithm>
#include <cstring>

#include "OrvInputParams.h"
#include "PortSystem.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
const unsigned int kLineFeed = '\n';

void AppendHexByte(std::string& out, unsigned char byte) {
  out += "\\x";
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

// Appends the UTF-8 `text` (`size` bytes) with the quote, the backslash and
// every control character escaped, so that a line of the explanation stays
// one line.
void AppendEscaped(std::string& out, const char* text, std::size_t size) {
  for (const char* at = text; at != text + size; ++at) {
    const char c = *at;
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          AppendHexByte(out, byte);
        } else {
          out += c;
        }
    }
  }
}

}  // namespace

OrvQuotedText::OrvQuotedText(const char* text)
    : utf8(text), size(std::strlen(text)) {}

OrvQuotedText::OrvQuotedText(const std::string& text)
    : utf8(text.data()), size(text.size()) {}

OrvExplanation::~OrvExplanation() { Flush(); }

void OrvExplanation::Flush() noexcept {
  if (!enabled_) return;
  if (lost_) {
    lost_ = false;
    // Appending to held text may need memory too; without it, the note
    // goes as a fixed text of its own.
    static const char kLostNote[] =
        "explanation: some lines are missing: there was no memory for them\n";
    if (!lines_.empty()) {
      PortWriteDiagnostics(lines_.data(), lines_.size());
      lines_.clear();
    }
    PortWriteDiagnostics(kLostNote, sizeof(kLostNote) - 1);
    return;
  }
  if (lines_.empty()) return;
  // Standard error that cannot be written to takes the lines with it: the
  // answer on standard output does not depend on them.
  PortWriteDiagnostics(lines_.data(), lines_.size());
  lines_.clear();
}

void OrvExplanation::AppendPlace(const OrvPlace& place) {
  if (place.first < 0) {
    lines_ += "command line: ";
  } else if (place.first == 0) {
    lines_ += "client output: ";
  } else if (place.last > place.first) {
    lines_ += "lines " + std::to_string(place.first) + "-" +
              std::to_string(place.last) + ": ";
  } else {
    lines_ += "line " + std::to_string(place.first) + ": ";
  }
}

void OrvExplanation::Append(const OrvCount& count) {
  lines_ += std::to_string(count.number);
  lines_ += ' ';
  lines_ += count.number == 1 ? count.one : count.many;
}

void OrvExplanation::Append(const OrvQuoted& quoted) {
  const bool cut = quoted.text.length() > quoted.maxUnits;
  const I18NString shown =
      cut ? quoted.text.substring(0, quoted.maxUnits) : quoted.text;
  const std::string utf8 = shown.toUTF8();
  lines_ += '"';
  AppendEscaped(lines_, utf8.data(), utf8.size());
  lines_ += '"';
  if (cut) lines_ += "...";
}

void OrvExplanation::Append(const OrvQuotedText& quoted) {
  if (quoted.utf8 == nullptr) return;
  lines_ += '"';
  AppendEscaped(lines_, quoted.utf8, quoted.size);
  lines_ += '"';
}

void OrvExplanation::Append(const OrvQuotedBytes& quoted) {
  lines_ += '"';
  for (std::size_t i = 0; i < quoted.count; ++i) {
    const unsigned char byte = static_cast<unsigned char>(quoted.bytes[i]);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      lines_ += static_cast<char>(byte);
    } else if (byte == '"' || byte == '\\') {
      lines_ += '\\';
      lines_ += static_cast<char>(byte);
    } else {
      AppendHexByte(lines_, byte);
    }
  }
  lines_ += '"';
}

int OrvLineCounter::LineOf(int position) {
  position = std::max(0, std::min(position, text_.length()));
  if (position < counted_) {
    counted_ = 0;
    line_ = 1;
  }
  for (int lineFeed = text_.find(kLineFeed, counted_);
       lineFeed != -1 && lineFeed < position;
       lineFeed = text_.find(kLineFeed, lineFeed + 1)) {
    ++line_;
  }
  counted_ = position;
  return line_;
}

OrvExplanation& OrvInputParams::GetExplanation() const {
  // Never enabled, so it holds nothing and writes nothing.
  static OrvExplanation silent;
  return explanation_ != nullptr ? *explanation_ : silent;
}
