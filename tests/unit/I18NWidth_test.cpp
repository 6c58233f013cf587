// I18NString keeps text whose units are all below U+0100 one byte per unit
// and other text two bytes per unit. That choice must never show: each case
// runs with every operand held in every way its value allows (narrow, wide,
// and a view into the middle of a buffer of either width) and is checked
// against std::u16string. The decoders, the document writer and the output
// path, which have one-byte paths of their own, are checked against the
// conversion library and against their two-byte results.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FormatterTestSupport.h"
#include "I18NDecode.h"
#include "I18NEncoding.h"
#include "I18NString.h"
#include "OrvStdOut.h"
#include "OrvXmlEscape.h"
#include "OrvXmlWriter.h"

namespace {

using Model = std::u16string;

struct Holding {
  bool narrow;
  bool view;
  const char* name;
};
const Holding kHoldings[] = {{true, false, "narrow"},
                             {false, false, "wide"},
                             {true, true, "narrow view"},
                             {false, true, "wide view"}};

bool FitsNarrow(const Model& m) {
  return std::all_of(m.begin(), m.end(), [](char16_t u) { return u < 0x100; });
}

// `value` held as `how`, wide where units at or above U+0100 keep it from
// being narrow. Latin text is made wide as callers make it: by data(). No
// other string shares the buffer.
I18NString Hold(const Model& value, const Holding& how) {
  const bool narrow = how.narrow && FitsNarrow(value);
  I18NString whole(how.view ? u"\u00AB" + value + u"\u00BB" : value);
  if (!narrow) whole.data();
  const int length = static_cast<int>(value.size());
  I18NString held = how.view ? whole.substring(1, 1 + length) : whole;
  EXPECT_EQ(held.isNarrow(), narrow && !value.empty()) << how.name;
  return held;
}

// The units, read from a copy so that `s` keeps its width.
Model Units(const I18NString& s) { return I18NString(s).units(); }

void ExpectValue(const I18NString& s, const Model& m, const std::string& what) {
  EXPECT_EQ(Units(s), m) << what;
  ASSERT_EQ(s.length(), static_cast<int>(m.size())) << what;
  for (int i = 0; i < s.length(); ++i) EXPECT_EQ(s.at(i), m[i]) << what;
}

// One operand of an operation: its value, how it is held, and the string.
struct Operand {
  const Model& value;
  const Holding& how;
  I18NString string;
  std::string label;
};
using Operands = std::vector<Operand>;

// Calls `check` with `values` held in every combination of the ways each
// can be held.
void ForEachHolding(const std::vector<Model>& values,
                    const std::function<void(const Operands&)>& check,
                    Operands&& done = Operands()) {
  if (done.size() == values.size()) return check(done);
  const Model& value = values[done.size()];
  for (const Holding& how : kHoldings) {
    if (how.narrow && !FitsNarrow(value)) continue;
    done.push_back(
        {value, how, Hold(value, how),
         std::string(how.name) + " " + testing::PrintToString(value)});
    ForEachHolding(values, check, std::move(done));
    done.pop_back();
  }
}

// Applies `change` to a string of `o`'s value and holding whose buffer no
// other string shares, and to a copy of `o.string`, which keeps its value.
void ExpectChange(const Operand& o, const Model& expected,
                  const std::string& what,
                  const std::function<void(I18NString&)>& change) {
  I18NString own = Hold(o.value, o.how);
  change(own);
  ExpectValue(own, expected, o.label + what + " (own buffer)");
  I18NString copy = o.string;
  change(copy);
  ExpectValue(copy, expected, o.label + what);
  ExpectValue(o.string, o.value, o.label);
}

// UTF-8 of text without surrogates.
std::string Utf8(const Model& m) {
  std::string out;
  for (char16_t u : m) {
    if (u < 0x80) {
      out += static_cast<char>(u);
      continue;
    }
    if (u >= 0x800) out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(u >= 0x800 ? 0x80 | ((u >> 6) & 0x3F)
                                        : 0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

// Needles cut from it are longer than 64 units (the search then takes the
// prefix table) or 36 (the first-and-last-unit filter).
const Model kLong = Model(70, u'a') + u"\u00E9b" + Model(70, u'a') + u"\u00E9c";

// Latin texts, then wide ones. Units whose low byte equals a Latin unit
// nearby (U+01E9 and e-acute, U+0161 and 'a', U+0100 and U+0000) catch
// narrow text compared by that byte alone.
// clang-format off
const std::vector<Model> kTexts = {
    u"", u"a", u"abcabc", u"caf\u00E9 & \u00E9t\u00E9 <na\u00EFve>\u00FF",
    Model{0, 0xFF, u'x', 0xFF, 0x80, u'"', u'\'', 0}, kLong,
    u"\u20AC", u"5\u20AC \"caf\u00E9\"\u20AC", u"\u0161\u01E9a&bc\u00E9",
    kLong + u"\u20AC&" + kLong};
const std::vector<Model> kExtraNeedles = {
    u"\u01E9", u"caf\u01E9", u"\u00E9", u"\u0161", u"\u20AC",
    kLong.substr(36, 36), kLong.substr(2, 70), kLong.substr(72),
    Model(34, u'a') + u"\u01E9b", Model(68, u'a') + u"\u01E9b"};
// clang-format on
const unsigned kUnits[] = {u'a',  0xE9,  0xFF,  0,      0x20AC,
                           0x1E9, 0x161, 0x100, 0x10061};

std::vector<int> Positions(const Model& m) {
  const int n = static_cast<int>(m.size());
  return {-1, 0, 1, 3, n / 2, n - 1, n, n + 1};
}

TEST(I18NWidthTest, FindAgreesInEveryWidth) {
  std::vector<Model> needles = kTexts;
  needles.insert(needles.end(), kExtraNeedles.begin(), kExtraNeedles.end());
  for (const Model& text : kTexts) {
    const int n = static_cast<int>(text.size());
    for (const Model& needle : needles) {
      ForEachHolding({text, needle}, [&](const Operands& o) {
        for (int from : Positions(text)) {
          const std::size_t found = text.find(needle, std::max(from, 0));
          EXPECT_EQ(o[0].string.find(o[1].string, from),
                    from < 0 || from > n || found == Model::npos
                        ? -1
                        : static_cast<int>(found))
              << o[0].label << " find " << o[1].label << " from " << from;
        }
        ExpectValue(o[1].string, needle, o[1].label);
      });
    }
    ForEachHolding({text}, [&](const Operands& o) {
      for (unsigned ch : kUnits) {
        for (int from : Positions(text)) {
          std::size_t found = Model::npos;
          if (ch <= 0xFFFF && from >= 0 && from <= n)
            found = text.find(static_cast<char16_t>(ch), from);
          EXPECT_EQ(o[0].string.find(ch, from),
                    found == Model::npos ? -1 : static_cast<int>(found))
              << o[0].label << " find unit " << ch << " from " << from;
        }
      }
      ExpectValue(o[0].string, text, o[0].label);
    });
  }
}

TEST(I18NWidthTest, TrimsSubstringAndEraseAgreeInEveryWidth) {
  for (const Model& text : kTexts) {
    const int n = static_cast<int>(text.size());
    ForEachHolding({text}, [&](const Operands& o) {
      for (unsigned ch : kUnits) {
        const std::string what = " unit " + std::to_string(ch);
        Model leading = text, trailing = text;
        while (!leading.empty() && leading.front() == ch) leading.erase(0, 1);
        while (!trailing.empty() && trailing.back() == ch) trailing.pop_back();
        ExpectChange(o[0], leading, what + " trimLeading",
                     [&](I18NString& s) { s.trimLeading(ch); });
        ExpectChange(o[0], trailing, what + " trimTrailing",
                     [&](I18NString& s) { s.trimTrailing(ch); });
      }
      for (int start : Positions(text)) {
        const std::string at = " " + std::to_string(start) + ",";
        for (int end : Positions(text)) {
          const int stop = end == -1 || end > n ? n : end;
          ExpectValue(o[0].string.substring(start, end),
                      start < 0 || start >= stop
                          ? Model()
                          : text.substr(start, stop - start),
                      o[0].label + " substring" + at + std::to_string(end));
        }
        for (int count : {-1, 0, 1, 2, n}) {
          Model erased = text;
          if (start >= 0 && start < n)
            erased.erase(start, count == -1 ? Model::npos : count);
          ExpectChange(o[0], erased, " erase" + at + std::to_string(count),
                       [&](I18NString& s) { s.erase(start, count); });
        }
      }
    });
  }
}

TEST(I18NWidthTest, AppendAndEqualityAgreeInEveryWidth) {
  for (const Model& a : kTexts) {
    for (const Model& b : kTexts) {
      ForEachHolding({a, b}, [&](const Operands& o) {
        const std::string& other = o[1].label;
        EXPECT_EQ(o[0].string == o[1].string, a == b) << o[0].label << other;
        EXPECT_EQ(o[0].string != o[1].string, a != b) << o[0].label << other;
        ExpectChange(o[0], a + b, " += " + other,
                     [&](I18NString& s) { s += o[1].string; });
        // Room reserved ahead is written into in place, where the text
        // must change width when the other needs it.
        ExpectChange(o[0], a + b, " reserved += " + other, [&](I18NString& s) {
          s.reserve(a.size() + b.size() + 8);
          s += o[1].string;
        });
        ExpectValue(o[1].string, b, other);
      });
    }
    const Model part = a.size() > 2 ? a.substr(1, a.size() - 2) : Model();
    ForEachHolding({a}, [&](const Operands& o) {
      ExpectChange(o[0], a + a, " += itself", [](I18NString& s) { s += s; });
      ExpectChange(o[0], a + part, " += a part of itself",
                   [](I18NString& s) { s += s.substring(1, s.length() - 1); });
    });
  }
}

struct ReplaceCase {
  Model text, target, replacement;
};

TEST(I18NWidthTest, ReplaceAllAgreesInEveryWidth) {
  const ReplaceCase kCases[] = {
      // A replacement that cannot be narrow while the text is.
      {u"caf\u00E9 caf\u00E9", u"\u00E9", u"\u20AC"},
      {u"caf\u00E9 caf\u00E9", u"caf", u""},
      {u"a-b-c-", u"-", u"\u00E9\u00E8\u00EA"},
      {u"\u00E9x\u00E9", u"\u00E9", u"yy"},
      {u"x\u20ACx\u20AC", u"\u20AC", u"\u00E9"},
      {u"aaa", u"\u0161", u"b"},
      {u"caf\u00E9", u"\u01E9", u"e"},
      {u"abab", u"ab", u"\u20ACab"},
      {u"\u00E9\u00E9\u00E9", u"\u00E9\u00E9", u"\u00E9"},
      {u"abc", u"abc", u""},
      {u"abc", u"", u"x"},
      {kLong + kLong, kLong.substr(2, 70), u"\u20AC"},
      {kLong + u"\u20AC", kLong.substr(72), u"-"}};
  for (const ReplaceCase& c : kCases) {
    Model expected;
    std::size_t read = 0;
    for (std::size_t hit; !c.target.empty() &&
                          (hit = c.text.find(c.target, read)) != Model::npos;
         read = hit + c.target.size()) {
      expected += c.text.substr(read, hit - read) + c.replacement;
    }
    expected += c.text.substr(read);
    ForEachHolding({c.text, c.target, c.replacement}, [&](const Operands& o) {
      ExpectChange(
          o[0], expected, " replace " + o[1].label + " by " + o[2].label,
          [&](I18NString& s) { s.replaceAll(o[1].string, o[2].string); });
      ExpectValue(o[1].string, c.target, o[1].label);
      ExpectValue(o[2].string, c.replacement, o[2].label);
      // The text as its own target, and as its own replacement.
      ExpectChange(o[0], c.text.empty() ? c.text : c.replacement,
                   " replace itself",
                   [&](I18NString& s) { s.replaceAll(s, o[2].string); });
      ExpectChange(o[0], c.text, " replace by itself", [&](I18NString& s) {
        s.replaceAll(Hold(c.text, o[0].how), s);
      });
    });
  }
}

void ExpectTerminated(const I18NString& s, const Model& m,
                      const std::string& what) {
  const auto* units = static_cast<const char16_t*>(s.getExternalBuffer());
  EXPECT_EQ(Model(units, m.size() + 1), m + Model(1, 0)) << what;
  ExpectValue(s, m, what);
}

TEST(I18NWidthTest, ExternalBufferUtf8AndEscapesAgreeInEveryWidth) {
  std::vector<Model> texts = kTexts;
  texts.emplace_back();
  for (char16_t u = 1; u <= 0xFF; ++u) texts.back() += u;
  const Model kSpecial = u"&<>\"'";
  const Model kReferences[] = {u"&amp;", u"&lt;", u"&gt;", u"&quot;",
                               u"&apos;"};
  for (const Model& text : texts) {
    const Model start = text.substr(0, text.empty() ? 0 : text.size() - 1);
    const int startLength = static_cast<int>(start.size());
    Model escaped;
    for (char16_t u : text) {
      const std::size_t special = kSpecial.find(u);
      escaped += special == Model::npos ? Model(1, u) : kReferences[special];
    }
    ForEachHolding({text}, [&](const Operands& o) {
      ExpectChange(o[0], escaped, " escaped",
                   [](I18NString& s) { OrvXmlEscape(s); });
      // A view of the start is followed by more text, not by a zero: in a
      // buffer it shares with the whole text, and in one of its own.
      ExpectTerminated(o[0].string.substring(0, startLength), start,
                       o[0].label);
      ExpectValue(o[0].string, text, o[0].label);
      const I18NString alone = Hold(text, o[0].how).substring(0, startLength);
      ExpectTerminated(alone, start, o[0].label);
      EXPECT_EQ(o[0].string.toUTF8(), Utf8(text)) << o[0].label;
      ExpectTerminated(o[0].string, text, o[0].label);
    });
  }
}

// ---- Decoding: the one-byte paths against wide decoding throughout.

class WideSink : public I18NUnitSink {
 public:
  char16_t* Reserve(std::size_t capacity) override {
    if (capacity > units.size()) units.resize(capacity);
    return &units[0];
  }
  Model units = Model(1, 0);
};

void Count(void* userData) { ++*static_cast<int*>(userData); }

// Decodes `bytes` by the constructor and in place, and expects what decoding
// into a sink that takes wide units only gives: the same units and
// replacements, and narrow text exactly when every unit fits.
void ExpectDecodesAsWide(const std::string& bytes, const char* encoding) {
  int wideCount = 0, count = 0, inPlaceCount = 0;
  WideSink sink;
  const std::size_t written = I18NDecodeBytes(
      bytes.data(), bytes.size(), encoding, Count, &wideCount, sink);
  const Model expected = sink.units.substr(0, written);
  const I18NString decoded(bytes.data(), encoding,
                           static_cast<int>(bytes.size()), Count, &count);
  I18NStringBuilder builder;
  std::copy(bytes.begin(), bytes.end(), builder.ReserveNarrow(bytes.size()));
  const I18NString inPlace =
      I18NDecodeInPlace(builder, bytes.size(), encoding, Count, &inPlaceCount);
  const std::string label = encoding + testing::PrintToString(bytes);
  const bool narrow = !expected.empty() && FitsNarrow(expected);
  EXPECT_EQ(decoded.isNarrow(), narrow) << label;
  EXPECT_EQ(inPlace.isNarrow(), narrow) << label << " in place";
  EXPECT_EQ(Units(decoded), expected) << label;
  EXPECT_EQ(Units(inPlace), expected) << label << " in place";
  EXPECT_EQ(count, wideCount) << label;
  EXPECT_EQ(inPlaceCount, wideCount) << label << " in place";
}

struct DecodeCase {
  const char* encoding;
  std::string latin;                 // bytes that decode below U+0100
  std::vector<std::string> forcing;  // bytes that do not, or are invalid
};

TEST(I18NWidthDecodeTest, TurningWideMidTextAgreesWithWideDecoding) {
  const DecodeCase kCases[] = {
      {"windows-1252", "\xE9\xFC\xA0\xFF", {"\x80", "\x81", "\x9C"}},
      {"IBM437", "\x80\x81\x82\xFF", {"\xB0", "\x9F", "\xE0"}},
      {"ISO-8859-1", "\xE9\xFF\xA0", {"\x80"}},
      {"Shift_JIS", "\x41", {"\x82\xA0", "\x81", "\xA0", "\xE0\x0A"}},
      {"UTF-8",
       "\xC3\xA9\xC2\x80\xC3\xBF",
       {"\xE2\x82\xAC", "\x80", "\xFF", "\xC0\x80", "\xED\xA0\x80",
        "\xF0\x9F\x98\x80", "\xC3", "\xE2\x82"}}};
  const std::string ascii = "twenty ASCII bytes..";
  for (const DecodeCase& c : kCases) {
    for (const std::string& forcing : c.forcing) {
      // The forcing bytes last (a cut-off sequence there is one U+FFFD),
      // and followed by more narrow-fitting text and more forcing bytes.
      for (const std::string& tail :
           {std::string(), ascii + c.latin + forcing + c.latin}) {
        ExpectDecodesAsWide(ascii + c.latin + forcing + tail, c.encoding);
      }
    }
    for (int byte = 0; byte < 256; ++byte) {
      const std::string single(1, static_cast<char>(byte));
      ExpectDecodesAsWide(single, c.encoding);
      ExpectDecodesAsWide(ascii + single, c.encoding);
    }
  }
}

// ---- Documents and output.

// A document of one element per value (as attribute, text, and escaped
// text), every value held as `how`.
I18NString Document(const std::vector<Model>& values, const Holding& how) {
  OrvXmlWriter writer;
  writer.OpenElement(u"result");
  for (const Model& value : values) {
    writer.OpenElement(u"item");
    writer.AddAttribute(u"value", Hold(value, how));
    writer.OpenElement(u"text");
    writer.AddText(Hold(value, how));
    writer.CloseElement();
    writer.OpenElement(u"markup");
    writer.AddEscapedText(Hold(u"&amp;" + value + u"&lt;&x", how));
    writer.CloseElement();
    writer.CloseElement();
  }
  return writer.Finish();
}

TEST(I18NWidthWriterTest, DocumentTurnsWideWithoutChangingItsStart) {
  std::vector<Model> values;
  for (int i = 0; i < 80; ++i)
    values.push_back(u"caf\u00E9 \"&<>'\t\r\n\u00FF\u0080 " +
                     Model(i % 7, 'x'));
  for (std::size_t wideAt : {0u, 40u, 79u}) {
    // '~' stands where the euro sign goes, and nowhere else.
    std::vector<Model> latin = values, mixed = values;
    latin[wideAt] += u"~";
    mixed[wideAt] += u"\u20AC";
    const I18NString narrowDocument = Document(latin, kHoldings[0]);
    ASSERT_TRUE(narrowDocument.isNarrow());
    Model expected = Units(narrowDocument);
    ASSERT_GT(expected.find(u'~'), wideAt > 0 ? 1024u : 0u);
    std::replace(expected.begin(), expected.end(), u'~', u'\u20AC');
    for (const Holding& how : kHoldings) {
      const I18NString document = Document(mixed, how);
      EXPECT_FALSE(document.isNarrow());
      EXPECT_EQ(Units(document), expected) << how.name << " at " << wideAt;
      // The Latin values alone give the same document in every holding.
      EXPECT_EQ(Units(Document(latin, how)), Units(narrowDocument)) << how.name;
    }
  }
}

TEST(I18NWidthWriterTest, NarrowTextGoesOutAsUtf8) {
  Model latin;
  for (char16_t u = 0x80; u <= 0xFF; ++u) latin += u;
  // Past two 64 KiB output blocks, starting 0 to 4 units off.
  for (std::size_t shift = 0; shift <= 4; ++shift) {
    Model text(shift, u'a');
    while (text.size() < 3 * 64 * 1024 / 2) text += latin + u"<ok>";
    for (const Holding& how : kHoldings) {
      formatter_test::TempFile output("");
      const int fd = open(output.path().c_str(), O_WRONLY | O_TRUNC);
      ASSERT_GE(fd, 0);
      EXPECT_EQ(OrvWriteToDescriptor(fd, Hold(text, how)), 0u);
      close(fd);
      EXPECT_TRUE(formatter_test::ReadFile(output.path()) == Utf8(text))
          << how.name << " shift " << shift;
    }
  }
}

}  // namespace
