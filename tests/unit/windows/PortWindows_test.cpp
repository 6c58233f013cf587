// The Windows port: encoding names, decoding through the code pages with one
// U+FFFD per invalid sequence (the expected units are what the POSIX build
// decodes the same bytes to), encoding, the default encoding, and files
// opened by wide names.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "I18NDecode.h"
#include "I18NEncoding.h"
#include "OrvCodeConverter.h"
#include "PortSystem.h"
#include "WindowsCodePages.h"

namespace {

struct NameRow {
  const char* name;
  unsigned codePage;  // 0: the name is unknown
};

TEST(WindowsCodePages, NamesAndAliasesFindTheirCodePage) {
  const NameRow rows[] = {
      {"windows-1252", 1252},
      {"CP1252", 1252},
      {"cp1252", 1252},
      {"MS-ANSI", 1252},
      {"LATIN1", 28591},
      {"ISO_8859-1", 28591},
      {"iso-8859-15", 28605},
      {"437", 437},
      {"CP437", 437},
      {"IBM866", 866},
      {"KOI8-R", 20866},
      {"shift_jis", 932},
      {"SJIS", 932},
      {"GB2312", 936},
      {"gbk", 936},
      {"Big5", 950},
      {"EUC-KR", 949},
      {"utf8", 65001},
      {"CP874", 874},
      {"IBM-437", 0},
      {"WINDOWS1252", 0},
      {"", 0},
      {"CP", 0},
      {"CP12x", 0},
      {"CP123456", 0},
      {"windows-1252x", 0},
      {"*", 0},
  };
  for (const NameRow& row : rows) {
    WindowsEncoding encoding{0, WindowsByteRange::kWhole};
    const bool found = WindowsFindEncoding(row.name, encoding);
    EXPECT_EQ(found, row.codePage != 0) << row.name;
    if (found) {
      EXPECT_EQ(encoding.codePage, row.codePage) << row.name;
    }
  }
}

TEST(WindowsCodePages, CodePageNamesAreFoundAgain) {
  for (unsigned codePage : {1252u, 932u, 949u, 936u, 65001u, 874u}) {
    WindowsEncoding encoding{0, WindowsByteRange::kWhole};
    const std::string name = WindowsCodePageName(codePage);
    ASSERT_TRUE(WindowsFindEncoding(name.c_str(), encoding)) << name;
    EXPECT_EQ(encoding.codePage, codePage) << name;
    EXPECT_EQ(encoding.range, WindowsByteRange::kWhole) << name;
  }
  EXPECT_EQ(WindowsCodePageName(1252), "windows-1252");
}

struct Sink : I18NUnitSink {
  std::u16string units;
  char16_t* Reserve(std::size_t capacity) override {
    if (units.size() < capacity) units.resize(capacity);
    return &units[0];
  }
};

struct DecodeRow {
  const char* encoding;
  std::string bytes;
  std::u16string units;
};

std::u16string Decoded(const char* encoding, const std::string& bytes,
                       bool byLibrary) {
  Sink sink;
  const std::size_t used =
      byLibrary ? I18NDecodeBytesWithLibrary(bytes.data(), bytes.size(),
                                             encoding, nullptr, nullptr, sink)
                : I18NDecodeBytes(bytes.data(), bytes.size(), encoding, nullptr,
                                  nullptr, sink);
  return sink.units.substr(0, used);
}

TEST(WindowsDecoding, InvalidSequencesBecomeOneReplacementEach) {
  const DecodeRow rows[] = {
      {"windows-1252", "\x80\x81\x8D\xE9", u"\u20AC\uFFFD\uFFFD\u00E9"},
      {"windows-1253", "\xAA\xB5", u"\uFFFD\u00B5"},
      {"windows-1250", "\x81\x8A", u"\uFFFD\u0160"},
      {"ISO-8859-1", "\x81\xFF", u"\u0081\u00FF"},
      {"IBM437", "\x80\xFF", u"\u00C7\u00A0"},
      {"KOI8-R", "\xC1\xFF", u"\u0430\u042A"},
      {"Shift_JIS", "\x82\xA0", u"\u3042"},
      {"Shift_JIS", "\x81\x20x", u"\uFFFD x"},
      {"Shift_JIS", "a\x88", u"a\uFFFD"},
      {"Shift_JIS", "\xFF", u"\uFFFD"},
      {"GBK", "\xC4\xE3\x80", u"\u4F60\u20AC"},
      {"GBK", "\xA1\x41", u"\uFFFD\u0041"},
      {"GB2312", "\xC9\xA1\x80\x81\x40", u"\u4F1E\uFFFD\uFFFD\u0040"},
      {"Big5", "\xA4\x40\xA1\x41", u"\u4E00\uFF0C"},
      {"EUC-KR", "\xB0\xA1\x81\x20", u"\uAC00\u0081 "},
      {"EUC-KR", "\x82\xA0\xC9\xA1", u"\u0082\uFFFD\uFFFD\uFFFD"},
      {"UTF-8", "\xE3\x81\x82\xE3\x41", u"\u3042\uFFFD\u0041"},
      {"UTF-8", "\xF0\x9F\x98\x80\xC0\xAF", u"\U0001F600\uFFFD\uFFFD"},
      {"UTF-8", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"UTF-8", "x\xE3\x81", u"x\uFFFD"},
  };
  for (const DecodeRow& row : rows) {
    for (bool byLibrary : {false, true}) {
      EXPECT_EQ(Decoded(row.encoding, row.bytes, byLibrary), row.units)
          << row.encoding << (byLibrary ? " by the code page alone" : "");
    }
  }
}

struct EncodeRow {
  const char* encoding;
  std::u16string units;
  std::string bytes;
};

TEST(WindowsEncoding, CharactersTheEncodingLacksBecomeQuestionMarks) {
  const EncodeRow rows[] = {
      {"windows-1252", u"Zo\u00EB\u20AC", "Zo\xEB\x80"},
      {"windows-1252", u"\u0081\u03A9\u0141", "???"},
      {"windows-1250", u"\u0141", "\xA3"},
      {"Shift_JIS", u"\u3042a",
       "\x82\xA0"
       "a"},
      {"EUC-KR", u"\uAC00\uAC02", "\xB0\xA1?"},
      {"UTF-8", u"\u00EB\U0001F600", "\xC3\xAB\xF0\x9F\x98\x80"},
      {"UTF-8", u"a\xD800", "a?"},
  };
  for (const EncodeRow& row : rows) {
    OrvCodeConverter converter(row.encoding, I18NString(row.units));
    EXPECT_EQ(std::string(converter.toCharPtr(nullptr)), row.bytes)
        << row.encoding;
  }
}

TEST(WindowsEncoding, DefaultIsTheAnsiCodePageByName) {
  EXPECT_EQ(std::string(I18NGetPlatformDefaultEncoding()),
            WindowsCodePageName(GetACP()));
  EXPECT_TRUE(I18NIsKnownEncoding(I18NGetPlatformDefaultEncoding()));
}

TEST(WindowsInput, FilesOpenByNamesOutsideTheAnsiCodePage) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / L"vss-port-test";
  std::filesystem::create_directories(folder);
  for (const wchar_t* name :
       {L"\u0394\u03BF\u03BA\u03B9\u03BC\u03AE.txt", L"\u8A66\u9A13.txt",
        L"\u0422\u0435\u0441\u0442"}) {
    const std::filesystem::path path = folder / name;
    { std::ofstream(path, std::ios::binary) << "abc"; }
    PortInput input;
    ASSERT_EQ(input.Open(path.u8string().c_str()), 0u) << path.u8string();
    PortInputKind kind = PortInputKind::kStream;
    std::size_t size = 0;
    ASSERT_EQ(input.Inspect(kind, size), 0u);
    EXPECT_EQ(kind, PortInputKind::kRegularFile);
    EXPECT_EQ(size, 3u);
    unsigned char bytes[8];
    std::size_t count = 0;
    ASSERT_EQ(input.Read(bytes, sizeof bytes, count), 0u);
    EXPECT_EQ(std::string(bytes, bytes + count), "abc");
  }
  std::filesystem::remove_all(folder);
}

TEST(WindowsInput, UnreadableInputIsNamedAsOnPosix) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / L"vss-port-\u03B1";
  std::filesystem::create_directories(folder);
  PortInput directory;
  EXPECT_EQ(PortErrorText(directory.Open(folder.u8string().c_str())),
            "Is a directory");
  PortInput missing;
  EXPECT_EQ(
      PortErrorText(missing.Open((folder / L"\u03B2").u8string().c_str())),
      "No such file or directory");
  std::filesystem::remove_all(folder);
}

}  // namespace
