#include "OrvExplanation.h"

#include <algorithm>
#include <cstring>

#include "OrvInputParams.h"
#include "PortSystem.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
const unsigned int kLineFeed = '\n';

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

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
  // Standard error that cannot be written to takes the lines with it: the
  // answer on standard output does not depend on them.
  if (!lines_.empty()) Write(lines_.data(), lines_.size());
  lines_.clear();
  if (!lost_) return;
  lost_ = false;
  // Appending to the held text may need memory too: the note is a fixed
  // text of its own.
  static const char kLostNote[] =
      "explanation: some lines are missing: there was no memory for them\n";
  Write(kLostNote, sizeof(kLostNote) - 1);
}

void OrvExplanation::Write(const char* text, std::size_t count) noexcept {
  if (writer_ != nullptr) {
    writer_(text, count, context_);
  } else {
    PortWriteDiagnostics(text, count);
  }
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

std::string OrvCountText(long long number, const char* one, const char* many) {
  return std::to_string(number) + " " + (number == 1 ? one : many);
}

void OrvExplanation::Append(const OrvCount& count) {
  lines_ += OrvCountText(count.number, count.one, count.many);
}

std::string OrvQuote(const I18NString& text, int maxUnits) {
  const bool cut = text.length() > maxUnits;
  int end = maxUnits;
  // A cut between the halves of a pair would show a U+FFFD of its own.
  if (cut && end > 0 && IsHighSurrogate(text.at(end - 1))) --end;
  const std::string utf8 = (cut ? text.substring(0, end) : text).toUTF8();
  std::string quoted = "\"";
  AppendEscaped(quoted, utf8.data(), utf8.size());
  quoted += '"';
  if (cut) quoted += "...";
  return quoted;
}

void OrvExplanation::Append(const OrvQuoted& quoted) {
  lines_ += OrvQuote(quoted.text, quoted.maxUnits);
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
