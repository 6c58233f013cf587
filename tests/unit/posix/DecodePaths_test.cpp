// UTF-8, windows-1252 and IBM437 decode exactly as glibc's iconv decodes
// them, invalid bytes included (one U+FFFD per byte that starts no valid
// sequence, one for a valid beginning cut off by the end): documents read
// from these encodings have always been decoded so.

#include <errno.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "I18NDecode.h"

namespace {

class TextSink : public I18NUnitSink {
 public:
  char16_t* Reserve(std::size_t capacity) override {
    if (capacity > units.size()) units.resize(capacity);
    return &units[0];
  }
  std::u16string units;
};

struct Decoded {
  std::u16string units;
  int replacements = 0;
};

void Count(void* userData) { ++*static_cast<int*>(userData); }

Decoded Fast(const std::string& bytes, const char* encoding) {
  Decoded result;
  TextSink sink;
  sink.units.resize(1);
  std::size_t written = I18NDecodeBytes(bytes.data(), bytes.size(), encoding,
                                        Count, &result.replacements, sink);
  result.units = sink.units.substr(0, written);
  return result;
}

// iconv's decoding, resuming after each invalid byte.
Decoded Library(const std::string& bytes, const char* encoding) {
  Decoded result;
  iconv_t decoder = iconv_open("UTF-16LE", encoding);
  if (decoder == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv lacks " << encoding;
    return result;
  }
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (true) {
    char16_t units[256];
    char* out = reinterpret_cast<char*>(units);
    std::size_t outLeft = sizeof(units);
    const std::size_t done = iconv(decoder, &in, &inLeft, &out, &outLeft);
    const int error = done == static_cast<std::size_t>(-1) ? errno : 0;
    result.units.append(units, (sizeof(units) - outLeft) / sizeof(char16_t));
    if (error == E2BIG) continue;
    if (error == 0) break;
    result.units += u'\xFFFD';
    ++result.replacements;
    if (error == EINVAL) break;  // the input ends inside a sequence
    ++in;
    --inLeft;
  }
  iconv_close(decoder);
  return result;
}

void ExpectSame(const std::string& bytes, const char* encoding,
                const std::string& label) {
  const Decoded fast = Fast(bytes, encoding);
  const Decoded library = Library(bytes, encoding);
  EXPECT_EQ(fast.units, library.units) << encoding << " " << label;
  EXPECT_EQ(fast.replacements, library.replacements)
      << encoding << " " << label;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
    hex += ' ';
  }
  return hex;
}

TEST(DecodeTableTest, EveryByteAgreesWithTheLibrary) {
  for (const char* encoding : {"windows-1252", "IBM437"}) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
      const std::string single(1, static_cast<char>(byte));
      ExpectSame(single, encoding, Hex(single));
      all += single;
    }
    // In runs, with sixteen-byte ASCII blocks among them.
    const std::string ascii(40, 'a');
    ExpectSame(ascii + all + ascii + all + "tail", encoding, "all bytes");
  }
}

TEST(DecodeTableTest, TableIsUsedForWindows1252UndefinedBytes) {
  const Decoded decoded = Fast("\x81\x8D\x8F\x90\x9D x", "windows-1252");
  EXPECT_EQ(decoded.units, std::u16string(5, u'\xFFFD') + u" x");
  EXPECT_EQ(decoded.replacements, 5);
}

TEST(DecodeUtf8Test, SequencesAgreeWithTheLibrary) {
  const std::string sequences[] = {
      "a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF",
      "\xEF\xBF\xBD", "\xEF\xBB\xBF", "\xDF\xBF", "\xE0\xA0\x80",
      "\xF0\x90\x80\x80",
      // Overlong forms, surrogates, beyond U+10FFFF.
      "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF",
      "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
      "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xF7\xBF\xBF\xBF",
      // Lone and stray bytes, cut sequences.
      "\x80", "\xBF", "\xF8\x88\x80\x80\x80", "\xFC\x84\x80\x80\x80\x80",
      "\xFE", "\xFF", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xC3\x41",
      "\xE2\x41\x82", "\xF0\x9F\x41\x80", "\xE2\x82\xC3\xA9",
      std::string("\xC3\0", 2), "\xF8\x80\x80\x80", "\xFB\xBF\xBF\xBF",
      "\xFC\x80\x80\x80\x80", "\xFD\x80\x80\x41\x80"};
  for (const std::string& sequence : sequences) {
    ExpectSame(sequence, "UTF-8", Hex(sequence));
    ExpectSame("ab" + sequence + "cd", "UTF-8", "ab " + Hex(sequence) + " cd");
    ExpectSame("ab" + sequence, "UTF-8", "ab " + Hex(sequence) + " at end");
  }
}

TEST(DecodeUtf8Test, EveryShortSequenceAgreesWithTheLibrary) {
  // Bytes that stand for each class a decoder tells apart.
  const unsigned char kTrail[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90,
                                  0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xE0,
                                  0xED, 0xF0, 0xF4, 0xFF};
  std::string joined;
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (unsigned char second : kTrail) {
      const std::string two = {static_cast<char>(lead),
                               static_cast<char>(second)};
      ExpectSame(two, "UTF-8", Hex(two));
      for (unsigned char third : kTrail) {
        for (unsigned char fourth : kTrail) {
          joined += two;
          joined += static_cast<char>(third);
          joined += static_cast<char>(fourth);
          joined += '|';
        }
      }
    }
  }
  ExpectSame(joined, "UTF-8", "all four-byte combinations");
  for (int lead = 0; lead < 0x100; ++lead) {
    for (unsigned char second : kTrail) {
      for (unsigned char third : kTrail) {
        const std::string three = {static_cast<char>(lead),
                                   static_cast<char>(second),
                                   static_cast<char>(third)};
        ExpectSame(three, "UTF-8", Hex(three) + " at end");
      }
    }
  }
  const unsigned char kFewTrails[] = {0x41, 0x80, 0xBF, 0xC2};
  for (int lead = 0xF0; lead < 0x100; ++lead) {
    for (unsigned char second : kFewTrails) {
      for (unsigned char third : kFewTrails) {
        for (unsigned char fourth : kFewTrails) {
          const std::string four = {
              static_cast<char>(lead), static_cast<char>(second),
              static_cast<char>(third), static_cast<char>(fourth)};
          ExpectSame(four, "UTF-8", Hex(four) + " at end");
        }
      }
    }
  }
}

TEST(DecodeUtf8Test, NamesOfUtf8TakeTheSamePath) {
  for (const char* name : {"UTF-8", "utf-8", "UTF8", "utf8"})
    ExpectSame("x\xC3\xA9\xFF\xE2\x82", name, name);
}

}  // namespace
