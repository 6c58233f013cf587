// The Windows port: the handler's code page tables against Windows' own
// decoding, the default encoding, and files opened by wide names.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "I18NCodePages.h"
#include "I18NEncoding.h"
#include "PortSystem.h"

namespace {

const char16_t kInvalid = 0xFFFD;

// What Windows decodes `bytes` to, as the handler takes it: one unit, or
// U+FFFD when MultiByteToWideChar refuses them or gives anything but one
// character (a C1 control and the private use area are none).
char16_t WindowsDecodes(unsigned codePage, const unsigned char* bytes,
                        int length) {
  wchar_t units[4];
  const int count = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS,
                                        reinterpret_cast<const char*>(bytes),
                                        length, units, 4);
  if (count != 1) return kInvalid;
  const char16_t unit = static_cast<char16_t>(units[0]);
  if ((unit >= 0x80 && unit <= 0x9F) || (unit >= 0xE000 && unit <= 0xF8FF))
    return kInvalid;
  return unit;
}

// What the table decodes the pair `lead`, `trail` to.
char16_t TableDecodes(const I18NCodePageTable& table, unsigned lead,
                      unsigned trail) {
  if (table.leadRows == nullptr || table.leadRows[lead] == 0) return kInvalid;
  if (trail < kI18NFirstTrail || trail >= kI18NFirstTrail + kI18NTrailCount)
    return kInvalid;
  return table.pairs[table.leadRows[lead] - 1][trail - kI18NFirstTrail];
}

// Where the handler decodes otherwise than Windows, on purpose.
bool IsAcceptedDifference(unsigned codePage, unsigned byte) {
  // US-ASCII: Windows drops the top bit of a byte above 0x7F (0x8A becomes
  // a line feed); the handler takes such a byte as invalid.
  return codePage == 20127 && byte >= 0x80;
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof(text), value > 0xFF ? "%04X" : "%02X", value);
  return text;
}

// Every byte and every pair of every table, against the code page of the
// system the tests run on.
TEST(WindowsCodePages, EveryTableDecodesAsMultiByteToWideChar) {
  std::vector<unsigned> missing;
  std::size_t pairsCompared = 0;
  for (std::size_t i = 0; i < kI18NCodePageTableCount; ++i) {
    const I18NCodePageTable& table = kI18NCodePageTables[i];
    const unsigned codePage = table.number;
    if (!IsValidCodePage(codePage)) {
      missing.push_back(codePage);
      continue;
    }
    // Past a few differences in one code page, the rest tell nothing new.
    int differences = 0;
    for (unsigned first = 0; first < 0x100 && differences < 20; ++first) {
      const unsigned char single[] = {static_cast<unsigned char>(first)};
      const char16_t alone = WindowsDecodes(codePage, single, 1);
      if (!IsAcceptedDifference(codePage, first) &&
          table.singles[first] != alone) {
        ADD_FAILURE() << "code page " << codePage << " byte " << Hex(first)
                      << ": the table has " << Hex(table.singles[first])
                      << ", Windows " << Hex(alone);
        ++differences;
      }
      const bool opensPairs =
          IsDBCSLeadByteEx(codePage, single[0]) ||
          (table.leadRows != nullptr && table.leadRows[first] != 0);
      for (unsigned trail = 0; opensPairs && trail < 0x100; ++trail) {
        const unsigned char pair[] = {single[0],
                                      static_cast<unsigned char>(trail)};
        const char16_t windows = WindowsDecodes(codePage, pair, 2);
        ++pairsCompared;
        if (TableDecodes(table, first, trail) == windows) continue;
        ADD_FAILURE() << "code page " << codePage << " pair " << Hex(first)
                      << Hex(trail) << ": the table has "
                      << Hex(TableDecodes(table, first, trail)) << ", Windows "
                      << Hex(windows);
        ++differences;
      }
    }
  }
  // Some systems lack a code page (this Wine has no 858): its table cannot
  // be compared there.
  for (unsigned codePage : missing)
    std::printf("code page %u is not on this system: not compared\n", codePage);
  EXPECT_LE(missing.size(), 1u);
  // The four double-byte code pages open some 390 rows of 256 pairs.
  EXPECT_GT(pairsCompared, 390u * 256u);
}

TEST(WindowsEncoding, DefaultIsTheAnsiCodePageByName) {
  const I18NCodePage* ansi = I18NFindCodePageNumber(GetACP());
  ASSERT_NE(ansi, nullptr) << GetACP();
  EXPECT_STREQ(I18NGetPlatformDefaultEncoding(), ansi->name);
  EXPECT_EQ(std::string(I18NEnvironmentEncoding()),
            "CP" + std::to_string(GetACP()));
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
