// Decoding the client's bytes: the encodings the client writes in, invalid
// bytes, the process's default encoding and the names of the encodings.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "EncodingCases.h"
#include "I18NCodePages.h"
#include "I18NDecode.h"
#include "I18NEncoding.h"
#include "I18NString.h"
#include "WexException.h"

namespace {

const char16_t kFffd = 0xFFFD;

void CountReplacement(void* userData) { ++*static_cast<int*>(userData); }

TEST_P(I18NDecodeTest, DecodesAndReplacesInvalidBytes) {
  const DecodeCase& c = GetParam();
  int replacements = 0;
  I18NString text(c.bytes.data(), c.encoding, static_cast<int>(c.bytes.size()),
                  CountReplacement, &replacements);
  EXPECT_EQ(text.units(), c.expected) << c.encoding;
  EXPECT_EQ(replacements, c.replacements) << c.encoding;
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, I18NDecodeTest,
    ::testing::Values(
        DecodeCase{"UTF-8", "caf\xC3\xA9", u"caf\u00e9", 0},
        DecodeCase{"UTF-8", "\xF0\x9F\x98\x80!", u"\U0001F600!", 0},
        // Every byte that starts no valid sequence gives one U+FFFD.
        DecodeCase{"UTF-8",
                   "a\xFF"
                   "b",
                   std::u16string(u"a") + kFffd + u"b", 1},
        DecodeCase{"UTF-8",
                   "a\xE2\x82"
                   "b",
                   std::u16string(u"a") + kFffd + kFffd + u"b", 2},
        // An incomplete sequence at the end is one U+FFFD.
        DecodeCase{"UTF-8", "ab\xE2\x82", std::u16string(u"ab") + kFffd, 1},
        DecodeCase{"UTF-8", std::string("a\0\xC3\xA9\0", 5),
                   std::u16string(u"a\0\u00e9\0", 4), 0},
        DecodeCase{"windows-1252", "\x80 \x93quoted\x94",
                   u"\u20ac \u201cquoted\u201d", 0},
        DecodeCase{"windows-1252", "a\x81z\xE9",
                   std::u16string(u"a") + kFffd + u"z\u00e9", 1},
        DecodeCase{"windows-1252", std::string("\r\n\0x", 4),
                   std::u16string(u"\r\n\0x", 4), 0},
        DecodeCase{"IBM437", "\x82\xB3\xC4\xDB", u"\u00e9\u2502\u2500\u2588",
                   0},
        DecodeCase{"ISO-8859-1", "\xA0\xFF", u"\u00a0\u00ff", 0},
        DecodeCase{"UTF-8", "", u"", 0},
        // One unit per byte as Windows maps it: an accent is never composed
        // with the letter before it, nor an invalid byte moved.
        DecodeCase{"windows-1258",
                   "a\xEC"
                   "b",
                   u"a\u0301b", 0},
        DecodeCase{"windows-1255",
                   "ab\x81"
                   "cd",
                   std::u16string(u"ab") + kFffd + u"cd", 1},
        DecodeCase{"windows-1255", "\xCA", u"\u05ba", 0},
        // A pair that decodes to nothing is one U+FFFD for its first byte;
        // the byte after it is read again, a line feed included.
        DecodeCase{"CP949", "a\xA2\xE8\nb",
                   std::u16string(u"a") + kFffd + kFffd + u"\nb", 2},
        DecodeCase{"CP949", "\xB0\xA1\xA2\xE6", u"\uac00\u20ac", 0},
        DecodeCase{"Shift_JIS", "\\~\x82\xA0\xB1", u"\\~\u3042\uff71", 0},
        // C1 controls and the private use area are no characters: 0x80 and
        // the user-defined pairs (here F0 40, then '@' read alone).
        DecodeCase{"CP932", "\x80\xF0\x40",
                   std::u16string(1, kFffd) + kFffd + u"@", 2},
        DecodeCase{"CP932", "\x82", std::u16string(1, kFffd), 1},
        DecodeCase{"GB2312", "\xA1\xA4\x80", u"\u00b7\u20ac", 0},
        DecodeCase{"Big5", "\xA4\x40\xC6\xA1",
                   std::u16string(u"\u4e00") + kFffd + kFffd, 2},
        // Every byte above 0x7F is invalid in US-ASCII: none loses its top
        // bit.
        DecodeCase{"CP20127", "\x8A\xC1", std::u16string(1, kFffd) + kFffd, 2},
        DecodeCase{"ISO-8859-7", "\xA1\xA4", std::u16string(u"\u02bd") + kFffd,
                   1},
        DecodeCase{"KOI8-U", "\xAE\xA4", u"\u045e\u0454", 0}));

// Every decoder passes ASCII through untouched, which the client's marker
// texts and the ASCII fast paths rely on, and no table gives U+FFFD for a
// byte it decodes.
TEST(I18NCodePageTablesTest, EveryTableDecodesAsciiToItself) {
  for (std::size_t i = 0; i < kI18NCodePageTableCount; ++i) {
    const I18NCodePageTable& table = kI18NCodePageTables[i];
    for (unsigned byte = 0; byte < 0x80; ++byte) {
      ASSERT_EQ(table.singles[byte], byte) << table.number;
      if (table.leadRows != nullptr) {
        ASSERT_EQ(table.leadRows[byte], 0);
      }
    }
    EXPECT_NE(I18NFindCodePageNumber(table.number), nullptr) << table.number;
  }
}

TEST(I18NDecodeLengthTest, MinusOneStopsAtTheFirstZero) {
  EXPECT_EQ(I18NString("ab\0cd", "UTF-8", -1).units(), u"ab");
  EXPECT_EQ(I18NString("\xE9t\xE9\0x", "windows-1252", -1).units(),
            u"\u00e9t\u00e9");
}

TEST(I18NDecodeLargeInputTest, DecodesTensOfMegabytesAndGoesOnAfterErrors) {
  // 16 MiB of windows-1252 with an undefined byte every 4 KiB.
  std::string bytes(16 << 20, '\xE9');
  int invalid = 0;
  for (size_t i = 4096; i < bytes.size(); i += 4096, ++invalid)
    bytes[i] = '\x81';
  int replacements = 0;
  I18NString text(bytes.data(), "windows-1252", static_cast<int>(bytes.size()),
                  CountReplacement, &replacements);
  ASSERT_EQ(text.length(), static_cast<int>(bytes.size()));
  EXPECT_EQ(replacements, invalid);
  EXPECT_EQ(text.units()[4095], 0xE9);
  EXPECT_EQ(text.units()[4096], kFffd);
  EXPECT_EQ(text.units().back(), 0xE9);
}

TEST(I18NDecodeUnknownTest, UnknownEncodingThrowsWithoutCode) {
  try {
    I18NString text("abc", "NO-SUCH-ENCODING-42");
    FAIL() << "no exception";
  } catch (const WexException& exception) {
    EXPECT_FALSE(exception.hasCode());
    EXPECT_NE(exception.getText().find(I18NString(u"NO-SUCH-ENCODING-42"), 0),
              -1);
  }
  // Pure ASCII text must not slip past the check.
  EXPECT_THROW(I18NString("", "NO-SUCH-ENCODING-42"), WexException);
  // The conversion library would take an empty name for the locale's.
  EXPECT_THROW(I18NString("abc", ""), WexException);
}

// Gives the process its default encoding back after each test.
class I18NDefaultEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = I18NGetPlatformDefaultEncoding(); }
  void TearDown() override {
    I18NSetPlatformDefaultEncoding(previous_.c_str());
  }

 private:
  std::string previous_;
};

TEST_F(I18NDefaultEncodingTest, NullEncodingMeansTheDefault) {
  I18NSetPlatformDefaultEncoding("windows-1252");
  EXPECT_STREQ(I18NGetPlatformDefaultEncoding(), "windows-1252");
  EXPECT_EQ(I18NString("\x80", nullptr).units(), u"\u20ac");
  I18NString assigned;
  assigned = "\x93";
  EXPECT_EQ(assigned.units(), u"\u201c");

  I18NSetPlatformDefaultEncoding("IBM437");
  EXPECT_EQ(I18NString("\x80", nullptr).units(), u"\u00c7");
}

TEST_F(I18NDefaultEncodingTest, WithoutASettingTheLocaleCodesetIsKnown) {
  I18NSetPlatformDefaultEncoding(nullptr);
  const char* name = I18NGetPlatformDefaultEncoding();
  ASSERT_NE(name, nullptr);
  EXPECT_TRUE(I18NIsKnownEncoding(name)) << name;
}

TEST(I18NEncodingPredicateTest, KnownEncodings) {
  // The usual names, in any case; each code page by "CP" and its number too.
  for (const char* name :
       {"UTF-8",   "utf8",        "CP65001",   "windows-1252", "cp1252",
        "CP1252",  "latin1",      "Shift_JIS", "SJIS",         "CP932",
        "MS932",   "GBK",         "CP936",     "GB2312",       "Big5",
        "IBM437",  "ISO-8859-15", "koi8-u",    "US-ASCII",     "ANSI_X3.4-1968",
        "CP28591", "CP20127"}) {
    EXPECT_TRUE(I18NIsKnownEncoding(name)) << name;
  }
  // Only the names of the list, exactly: no blanks, separators or suffixes
  // that another library would drop, no encoding the client cannot write,
  // and no name for the machine's current code page.
  for (const char* name : {"NO-SUCH-ENCODING-42",
                           "",
                           "UTF-9",
                           "cp 1252",
                           " CP1252",
                           "UTF-8,",
                           "UTF-8/",
                           "UTF-8//TRANSLIT",
                           "ISO-10646/UTF8/",
                           "ISO_8859-1:1987",
                           "EUC-JP",
                           "UTF-16LE",
                           "IBM037",
                           "CP0",
                           "CP1",
                           "CP2",
                           "CP3",
                           "CP1361",
                           "CP10000",
                           "CP20932",
                           "CP65000",
                           "MACINTOSH",
                           "TIS-620"}) {
    EXPECT_FALSE(I18NIsKnownEncoding(name)) << name;
  }
  EXPECT_FALSE(I18NIsKnownEncoding(nullptr));
}

}  // namespace

namespace {

std::string SourceFile(const std::string& name) {
  std::ifstream file(std::string(VSS_SOURCE_DIR) + "/" + name,
                     std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The text of `document` from `start` up to `end`, both lines of their own.
std::string Between(const std::string& document, const std::string& start,
                    const std::string& end) {
  const std::size_t from = document.find("\n" + start + "\n");
  const std::size_t to = document.find("\n" + end, from + 1);
  if (from == std::string::npos || to == std::string::npos) return "";
  return document.substr(from + start.size() + 2, to - from - start.size() - 2);
}

// "NAME NUMBER OTHER..." per encoding, as I18NListCodePages gives them.
std::vector<std::string> ListedEncodings() {
  std::vector<std::string> lines;
  for (const I18NCodePageNames& encoding : I18NListCodePages()) {
    std::string line = encoding.names[0];
    line += " " + std::to_string(encoding.encoding->number);
    for (std::size_t i = 1; i < encoding.names.size(); ++i)
      line += std::string(" ") + encoding.names[i];
    lines.push_back(line);
  }
  return lines;
}

// The words of each row of the first table in `table` whose rows start
// with `rowStart`, joined by blanks, once the characters in `separators` are
// blanks.
std::vector<std::string> TableRows(const std::string& table,
                                   const std::string& rowStart,
                                   const std::string& separators) {
  std::vector<std::string> rows;
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, rowStart.size(), rowStart) != 0) {
      if (rows.empty()) continue;
      break;  // the end of the first table
    }
    for (char& c : line) {
      if (separators.find(c) != std::string::npos) c = ' ';
    }
    std::istringstream words(line);
    std::string row;
    for (std::string word; words >> word;)
      row += (row.empty() ? "" : " ") + word;
    rows.push_back(row);
  }
  return rows;
}

// The README and the manual page list every name of every encoding, with
// its code page, in the handler's order, and no other.
TEST(I18NCodePagesDocumentationTest, ReadmeAndManualListEveryName) {
  const std::string readme =
      Between(SourceFile("README.md"), "### Encodings", "#");
  EXPECT_EQ(TableRows(readme, "| `", "|`,"), ListedEncodings());
  const std::string manual =
      Between(SourceFile("man/vss-handler.1"), "l r l.", ".TE");
  std::vector<std::string> rows = TableRows(manual, "", "|,");
  EXPECT_EQ(rows, ListedEncodings());
}

}  // namespace
