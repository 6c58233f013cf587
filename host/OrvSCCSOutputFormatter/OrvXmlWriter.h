#ifndef ORVSCCSOUTPUTFORMATTER_ORVXMLWRITER_H_
#define ORVSCCSOUTPUTFORMATTER_ORVXMLWRITER_H_

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "I18NString.h"

// The XML declaration that opens every document, on a line of its own. A
// narrow literal, so that a fixed document is joined to it as it is
// compiled.
#define ORV_XML_DECLARATION \
  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"

// Writes one XML 1.0 document as UTF-16 text, element by element: the XML
// declaration on a line of its own, then the elements indented two blanks per
// level, then a closing line feed. Attributes stand in the order in which they
// were added.
//
// Every text is made fit for XML 1.0 on the way in: a character that XML 1.0
// cannot carry (controls other than tab, line feed and carriage return,
// U+FFFE, U+FFFF, an unpaired surrogate) becomes U+FFFD; tab, line feed and
// carriage return in attribute values, and carriage return in text, become
// character references, so a parser reads the values back exactly. Elements
// hold either child elements or text, never both, so indentation never adds
// white space to a text.
class OrvXmlWriter {
 public:
  // Starts the document with its XML declaration.
  OrvXmlWriter();
  OrvXmlWriter(const OrvXmlWriter&) = delete;
  OrvXmlWriter& operator=(const OrvXmlWriter&) = delete;

  // Opens element `name` inside the element open now (or as the root).
  void OpenElement(const char16_t* name);

  // Adds an attribute to the element just opened, before any of its content;
  // an 8-bit `value` is ASCII.
  void AddAttribute(const char16_t* name, const I18NString& value);
  void AddAttribute(const char16_t* name, const char* value);
  void AddAttribute(const char16_t* name, bool value);
  void AddAttribute(const char16_t* name, long value);

  // Adds `text` as the content of the element open now.
  void AddText(const I18NString& text);

  // Adds text that is already escaped for markup (OrvXmlEscape): the
  // references &amp; &lt; &gt; &quot; &apos; stand as they are; every other
  // character is treated as AddText() treats it (so a '&' that starts no
  // such reference is escaped).
  void AddEscapedText(const I18NString& markup);

  // Closes the element open now.
  void CloseElement();

  // Adds elements of one shape, one after another, inside the element open
  // when the run starts, each without content: `opening`, a value escaped
  // as an attribute value, and a closing picked per element; for a
  // listing's items, <item name=" and " project="true"/>. The markup is the
  // caller's own and makes each element whole; the run adds the
  // indentation. The line feed, the indentation and `opening` are joined
  // once, so each element costs three pieces of markup instead of one for
  // every name, quote and sign: a listing has a million elements.
  // REQUIRES: `opening` and each closing are ASCII, and `opening` outlives
  // the run; while the run is in use, the writer opens and closes no
  // element.
  class ElementRun {
   public:
    ElementRun(OrvXmlWriter& writer, std::string_view opening);

    // Adds one element.
    void Add(const I18NString& value, std::string_view closing);

   private:
    // Ends the start tag of the element the run is in, and joins the line
    // feed, the indentation and the opening.
    void Start();

    OrvXmlWriter& writer_;
    std::string_view opening_;
    std::string indentedOpening_;  // empty until the first element
  };

  // Closes every element still open and returns the whole document, which
  // ends with a line feed. The writer is spent afterwards.
  I18NString Finish();

  // Code units written so far.
  std::size_t Length() const { return length_; }

 private:
  struct OpenTag {
    const char16_t* name;
    std::size_t nameLength;
    bool startTagOpen;
    bool hasChildElements;
  };

  void CloseStartTag();
  void AppendIndentation(std::size_t depth);
  // `Unit` is unsigned char for narrow text, char16_t for wide.
  template <typename Unit>
  void AppendAttribute(const char16_t* name, const Unit* begin,
                       const Unit* end);
  template <typename Unit>
  void AppendEscaped(const Unit* begin, const Unit* end, bool inAttribute);
  // The units of `text`, in the width they are stored in, escaped.
  void AppendEscaped(const I18NString& text, bool inAttribute);
  template <typename Unit>
  void AppendEscapedMarkup(const Unit* begin, const Unit* end);

  // Every unit of the document goes through these, straight into the
  // storage of the string Finish() returns, so the document is written once
  // and never copied. The document is narrow (one byte per unit) until the
  // first unit at or above U+0100 is appended, and wide from then on.
  // The common case, narrow units into a narrow document with room for
  // them, is inline: a listing's document is millions of short pieces.
  void Append(const char16_t* units, std::size_t count) {
    if (narrow_ != nullptr && count <= capacity_ - length_) {
      // Narrowed and checked in one pass; what was narrowed is dropped when
      // a unit did not fit.
      char16_t seen = 0;
      unsigned char* out = narrow_ + length_;
      for (std::size_t i = 0; i < count; ++i) {
        seen |= units[i];
        out[i] = static_cast<unsigned char>(units[i]);
      }
      if (seen < 0x100) {
        length_ += count;
        return;
      }
    }
    AppendSlowly(units, count);
  }
  void Append(char16_t unit) { Append(&unit, 1); }
  void Append(const unsigned char* units, std::size_t count) {
    if (narrow_ != nullptr && count <= capacity_ - length_) {
      CopyBytes(narrow_ + length_, units, count);
      length_ += count;
      return;
    }
    AppendSlowly(units, count);
  }
  // Copies `count` bytes. Most pieces of a document are a few bytes of
  // markup or a name, for which a call to memcpy costs more than the copy:
  // those are copied in two overlapping moves of a fixed size.
  static void CopyBytes(unsigned char* out, const unsigned char* in,
                        std::size_t count) {
    if (count >= 8 && count <= 16) {
      std::memcpy(out, in, 8);
      std::memcpy(out + count - 8, in + count - 8, 8);
    } else if (count >= 4 && count < 8) {
      std::memcpy(out, in, 4);
      std::memcpy(out + count - 4, in + count - 4, 4);
    } else if (count < 4) {
      for (std::size_t i = 0; i < count; ++i) out[i] = in[i];
    } else {
      std::memcpy(out, in, count);
    }
  }
  void Append(const char16_t* text);
  // The caller's ASCII markup.
  void Append(std::string_view markup) {
    Append(reinterpret_cast<const unsigned char*>(markup.data()),
           markup.size());
  }
  // A string literal of the writer's own markup, its length known.
  template <std::size_t N>
  void AppendLiteral(const char16_t (&text)[N]) {
    Append(text, N - 1);
  }
  // Append() when the document must grow or turn wide first.
  void AppendSlowly(const char16_t* units, std::size_t count);
  void AppendSlowly(const unsigned char* units, std::size_t count);
  // Makes room for `count` more units: the storage at least doubles, so a
  // document of tens of megabytes is moved a few times at most (and not at
  // all where the block can grow where it lies).
  void Grow(std::size_t count);
  // Turns the document wide, keeping what it holds.
  void WidenDocument();

  I18NStringBuilder document_;
  unsigned char* narrow_;  // the storage while the document is narrow
  char16_t* wide_;         // the storage once it is wide, else null
  std::size_t capacity_;
  std::size_t length_;
  std::vector<OpenTag> open_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVXMLWRITER_H_
