// The output path on documents larger than its blocks: the writer's growing
// storage and the 64 KiB blocks in which documents are encoded and written.
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "FormatterTestSupport.h"
#include "OrvStdOut.h"
#include "OrvXmlWriter.h"

namespace {

using formatter_test::ReadFile;
using formatter_test::U;

const std::size_t kBlockBytes = 64 * 1024;

// One character of each UTF-8 length after the first, and an unpaired
// surrogate, which goes out as U+FFFD.
const char16_t kWideCharacters[] = u"\u00E9\u20AC\U0001F600\xD800";
const char kWideCharactersUtf8[] =
    "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD";

// A text whose wide characters start `shift` bytes before the end of the
// first block and repeat past the end of the second one, so that every
// kind of character straddles some block boundary.
std::u16string StraddlingText(std::size_t shift) {
  std::u16string text(kBlockBytes - shift, u'a');
  for (int repeat = 0; repeat < 9000; ++repeat) {
    text += kWideCharacters;
    text += u"b";
  }
  return text;
}

std::string StraddlingUtf8(std::size_t shift) {
  std::string bytes(kBlockBytes - shift, 'a');
  for (int repeat = 0; repeat < 9000; ++repeat) {
    bytes += kWideCharactersUtf8;
    bytes += "b";
  }
  return bytes;
}

TEST(ChunkedOutputTest, CharactersStraddlingBlocksReachAFileWhole) {
  for (std::size_t shift = 0; shift <= 4; ++shift) {
    SCOPED_TRACE(shift);
    formatter_test::TempFile output("");
    const int fd = open(output.path().c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    const uint32_t status = OrvWriteToDescriptor(fd, U(StraddlingText(shift)));
    close(fd);
    EXPECT_EQ(status, 0u);
    const std::string written = ReadFile(output.path());
    EXPECT_GT(written.size(), 2 * kBlockBytes);
    EXPECT_TRUE(written == StraddlingUtf8(shift));
  }
}

TEST(ChunkedOutputTest, PipeReaderGetsEveryBlockInOrder) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  std::string received;
  // The pipe holds less than the document: someone must read meanwhile.
  std::thread reader([&received, readEnd = pipeEnds[0]] {
    char buffer[4096];
    ssize_t got;
    while ((got = read(readEnd, buffer, sizeof(buffer))) > 0)
      received.append(buffer, static_cast<std::size_t>(got));
  });
  const uint32_t status =
      OrvWriteToDescriptor(pipeEnds[1], U(StraddlingText(3)));
  close(pipeEnds[1]);
  reader.join();
  close(pipeEnds[0]);
  EXPECT_EQ(status, 0u);
  EXPECT_TRUE(received == StraddlingUtf8(3));
}

TEST(ChunkedOutputTest, ReaderGoneMidwayIsAFailure) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  close(pipeEnds[0]);
  const uint32_t status =
      OrvWriteToDescriptor(pipeEnds[1], U(StraddlingText(0)));
  close(pipeEnds[1]);
  EXPECT_EQ(status, static_cast<uint32_t>(EPIPE));
}

// The escaping the writer promises, one unit at a time, to compare with.
std::u16string EscapedByHand(const std::u16string& text, bool inAttribute) {
  std::u16string escaped;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t unit = text[at];
    const bool paired = unit >= 0xD800 && unit <= 0xDBFF &&
                        at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
                        text[at + 1] <= 0xDFFF;
    if (paired) {
      escaped += text.substr(at++, 2);
    } else if (unit == u'&') {
      escaped += u"&amp;";
    } else if (unit == u'<') {
      escaped += u"&lt;";
    } else if (unit == u'>') {
      escaped += u"&gt;";
    } else if (unit == u'"' && inAttribute) {
      escaped += u"&quot;";
    } else if (unit == u'\t' && inAttribute) {
      escaped += u"&#x9;";
    } else if (unit == u'\n' && inAttribute) {
      escaped += u"&#xA;";
    } else if (unit == u'\r') {
      escaped += u"&#xD;";
    } else if ((unit < 0x20 && unit != u'\t' && unit != u'\n') ||
               (unit >= 0xD800 && unit <= 0xDFFF) || unit >= 0xFFFE) {
      escaped += char16_t{0xFFFD};
    } else {
      escaped += unit;
    }
  }
  return escaped;
}

// Long runs of ordinary text broken by every kind of unit the writer treats
// apart, long enough that the writer's storage grows several times.
std::u16string MixedText() {
  const std::u16string specials =
      u"&<>\"'\t\n\r\x01\xFFFE\xFFFF\xD800\xDC00\U0001F600\xDC00\xD800";
  std::u16string text;
  for (std::size_t run = 1; text.size() < 200000; run = run * 3 % 7919) {
    text.append(run, u'x');
    text += specials[run % specials.size()];
  }
  return text;
}

TEST(WriterBlocksTest, LongTextsComeOutEscapedExactly) {
  const std::u16string text = MixedText();
  OrvXmlWriter writer;
  writer.OpenElement(u"a");
  writer.AddAttribute(u"v", U(text));
  writer.AddText(U(text));
  const I18NString document = writer.Finish();

  const std::u16string expected =
      u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
      u"<a v=\"" +
      EscapedByHand(text, true) + u"\">" + EscapedByHand(text, false) +
      u"</a>\n";
  EXPECT_EQ(document.length(), static_cast<int>(expected.size()));
  EXPECT_TRUE(document.units() == expected);
}

TEST(WriterBlocksTest, ManySmallElementsComeOutInOrder) {
  OrvXmlWriter writer;
  writer.OpenElement(u"r");
  std::u16string expected =
      u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<r>";
  for (long item = 0; item < 20000; ++item) {
    writer.OpenElement(u"i");
    writer.AddAttribute(u"n", item);
    writer.CloseElement();
    const std::string digits = std::to_string(item);
    expected +=
        u"\n  <i n=\"" + std::u16string(digits.begin(), digits.end()) + u"\"/>";
  }
  expected += u"\n</r>\n";
  EXPECT_TRUE(writer.Finish().units() == expected);
}

}  // namespace

namespace {

TEST(WriterBlocksTest, LengthCountsEveryUnitOfTheDocument) {
  const I18NString text = U(MixedText());
  OrvXmlWriter writer;
  writer.OpenElement(u"r");
  for (long item = 0; item < 3; ++item) {
    writer.OpenElement(u"i");
    writer.AddAttribute(u"v", text);
    writer.AddAttribute(u"n", item);
    writer.AddText(text);
    writer.CloseElement();
  }
  writer.OpenElement(u"e");
  writer.AddEscapedText(U(u"a &amp; &bogus; < \r" + MixedText()));
  const std::size_t beforeClosing = writer.Length();
  const I18NString document = writer.Finish();
  EXPECT_GT(document.length(), 600000);
  // Finish() adds only the end tags and the final line feed.
  EXPECT_EQ(writer.Length(), static_cast<std::size_t>(document.length()));
  EXPECT_EQ(writer.Length() - beforeClosing,
            std::char_traits<char16_t>::length(u"</e>\n</r>\n"));
}

// Units written through a builder, growing it in steps that do and do not
// fit the room it has, come out as one string in order.
TEST(I18NStringBuilderTest, GrowingKeepsEveryUnitWritten) {
  I18NStringBuilder builder;
  std::u16string expected;
  std::size_t capacity = 3;
  char16_t* units = builder.Reserve(capacity);
  for (std::size_t at = 0; at < 300000; ++at) {
    if (at == capacity) {
      capacity = capacity * 3 / 2 + 1;
      units = builder.Reserve(capacity);
    }
    units[at] = static_cast<char16_t>(u'a' + at % 26);
    expected += units[at];
  }
  // Reserving less than there is room for keeps the storage as it is.
  EXPECT_EQ(builder.Reserve(1), units);
  const I18NString text = builder.Take(expected.size());
  EXPECT_TRUE(text.units() == expected);
  // The taken text is terminated, as external buffers must be.
  EXPECT_EQ(static_cast<const char16_t*>(text.getExternalBuffer())[300000], 0);
}

TEST(I18NStringBuilderTest, TakingNothingGivesAnEmptyTextAndFreesTheRoom) {
  I18NStringBuilder builder;
  builder.Reserve(1000)[0] = u'x';
  EXPECT_TRUE(builder.Take(0).empty());
  // Taken or not, the builder starts again from nothing; a builder dropped
  // with storage frees it (the memory checkers would see a leak).
  I18NStringBuilder dropped;
  dropped.Reserve(5000);
  I18NStringBuilder reused;
  reused.Reserve(10)[0] = u'a';
  EXPECT_TRUE(reused.Take(1) == U(u"a"));
  reused.Reserve(10)[0] = u'b';
  EXPECT_TRUE(reused.Take(1) == U(u"b"));
}

// Where the units of `text` are stored, in either width.
const void* Storage(const I18NString& text) {
  if (text.isNarrow()) return text.narrowData();
  return text.data();
}

TEST(I18NStringReserveTest, AppendingWithinTheRoomKeepsTheBuffer) {
  // Room is reserved one byte per unit: units that need two widen the text
  // anew, and only the value is checked for them.
  for (const char16_t unit : {u'p', u'\u20AC'}) {
    I18NString text;
    text.reserve(100000);
    const I18NString piece = U(std::u16string(1000, unit));
    text += piece;
    const void* const buffer = Storage(text);
    for (int count = 1; count < 100; ++count) text += piece;
    if (unit == u'p') {
      // The first piece went into the reserved room, not into a shared
      // buffer, and so did the others.
      EXPECT_NE(buffer, Storage(piece));
      EXPECT_EQ(Storage(text), buffer);
    }
    EXPECT_TRUE(text.units() == std::u16string(100000, unit));
  }
}

TEST(I18NStringReserveTest, SharedTextIsLeftAlone) {
  I18NString original = U(u"shared");
  I18NString copy = original;
  copy.reserve(1000);
  copy += U(u" and more");
  EXPECT_TRUE(original == U(u"shared"));
  EXPECT_TRUE(copy == U(u"shared and more"));
  // Reserving less than the text holds changes nothing.
  copy.reserve(2);
  EXPECT_TRUE(copy == U(u"shared and more"));
}

}  // namespace
