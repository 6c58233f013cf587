// The checked-out status parser: the answers without a listing, and the user
// column, a window of bytes 20 to 33 counted in the default encoding.
#include "OrvSSCheckOut.h"

#include <gtest/gtest.h>

#include <string>

#include "I18NEncoding.h"

namespace {

struct Status {
  bool isCheckedOut;
  std::u16string user;
};

Status ParseStatus(const std::u16string& clientOutput) {
  OrvInputParams params;
  params.SetCommandID(3);
  params.SetClientOutput(I18NString(clientOutput));
  OrvSSCheckOut command(params);
  command.ProceesOutPut();
  return {command.IsCheckedOut(), command.CheckedOutBy().units()};
}

// Makes `encoding` the process default for one test and puts the previous
// default back afterwards.
class DefaultEncoding {
 public:
  explicit DefaultEncoding(const char* encoding)
      : previous_(I18NGetPlatformDefaultEncoding()) {
    I18NSetPlatformDefaultEncoding(encoding);
  }
  ~DefaultEncoding() { I18NSetPlatformDefaultEncoding(previous_.c_str()); }

 private:
  std::string previous_;
};

// Twenty bytes of file-name column in any ASCII-compatible encoding.
const std::u16string kNameColumn = u"parser.cpp          ";
const std::u16string kHeading = u"$/proj:\n";

struct StatusCase {
  const char* label;
  std::u16string clientOutput;
  bool isCheckedOut;
  std::u16string user;
};

void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.label; }

class StatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(StatusTest, ReadsTheUserColumn) {
  const DefaultEncoding singleByte("windows-1252");
  const StatusCase& c = GetParam();
  const Status status = ParseStatus(c.clientOutput);
  EXPECT_EQ(status.user, c.user);
  EXPECT_EQ(status.isCheckedOut, c.isCheckedOut);
}

INSTANTIATE_TEST_SUITE_P(
    NotCheckedOut, StatusTest,
    testing::Values(
        StatusCase{"no checked out files", u"No checked out files found.\n",
                   false, u""},
        StatusCase{"no checked out files after a listing line",
                   kHeading + kNameColumn +
                       u"Alice         Exc\nNo checked out files found.\n",
                   false, u""},
        StatusCase{"no colon at all", kNameColumn + u"Alice         Exc\n",
                   false, u""},
        StatusCase{"empty output", u"", false, u""},
        StatusCase{"colon as the last character", u"$/proj:", false, u""},
        StatusCase{"colon as the next-to-last character", u"$/proj:\n", false,
                   u""}));

INSTANTIATE_TEST_SUITE_P(
    Window, StatusTest,
    testing::Values(
        StatusCase{"full listing line",
                   kHeading + kNameColumn +
                       u"Alice         Exc  08-02-21 14:58  C:\\work\\proj\n",
                   true, u"Alice"},
        StatusCase{"only the first listing line counts",
                   kHeading + kNameColumn + u"Alice         Exc\n" +
                       kNameColumn + u"Bob           Exc\n",
                   true, u"Alice"},
        StatusCase{"exactly 20 bytes", kHeading + u"abcdefghijklmnopqrst",
                   false, u""},
        StatusCase{"fewer than 20 bytes", kHeading + u"short", false, u""},
        StatusCase{"21 bytes", kHeading + u"abcdefghijklmnopqrstU", true, u"U"},
        StatusCase{"33 bytes", kHeading + kNameColumn + u"ABCDEFGHIJKLM", true,
                   u"ABCDEFGHIJKLM"},
        StatusCase{"34 bytes", kHeading + kNameColumn + u"ABCDEFGHIJKLMN", true,
                   u"ABCDEFGHIJKLMN"},
        StatusCase{"a name longer than 14 bytes is cut",
                   kHeading + kNameColumn + u"ABCDEFGHIJKLMNOP Exc\n", true,
                   u"ABCDEFGHIJKLMN"},
        StatusCase{"the window runs into the next line",
                   kHeading + kNameColumn + u"Al\nb.c  Bob\n", true,
                   u"Al\nb.c  Bob"},
        StatusCase{"blanks only", kHeading + kNameColumn + u"              x",
                   false, u""},
        StatusCase{"tabs and blanks around the name are trimmed",
                   kHeading + kNameColumn + u"\t Bob \t       Exc\n", true,
                   u"Bob"},
        StatusCase{"CR LF after the colon shifts the window by one",
                   u"$/proj:\r\n0123456789012345678XAlice        Exc\n", true,
                   u"XAlice"},
        StatusCase{"a colon in the window is part of the name",
                   kHeading + kNameColumn + u"Al:ce         Exc\n", true,
                   u"Al:ce"},
        StatusCase{"a later heading colon does not move the window",
                   kHeading + kNameColumn + u"Alice         Exc\n$/other:\n" +
                       kNameColumn + u"Bob           Exc\n",
                   true, u"Alice"},
        StatusCase{"blanks after the heading's colon: the cut drops one",
                   u"$/proj:  \n" + kNameColumn + u"Alice         Exc\n", true,
                   u"Alice"},
        StatusCase{"a heading wrapped over two lines",
                   u"$/projects/customer-portal/releases/2021-spring/"
                   u"frontend/src/components/dialog\n"
                   u"s/settings:\n" +
                       kNameColumn +
                       u"Alice         Exc  08-02-21 14:58  C:\\w\n",
                   true, u"Alice"},
        StatusCase{"a log-in prompt", u"Username: ", false, u""}));

// Asked for one file, the client prints its checkout line without a heading:
// the first colon is the time's or the local folder's, and the line that
// holds it is the one the user column is read from.
const std::u16string kOneFile = u"main_window.cpp     ";
const std::u16string kFolder = u"  C:\\Documents and Settings\\szabo\\src\n";

INSTANTIATE_TEST_SUITE_P(
    NoHeading, StatusTest,
    testing::Values(
        StatusCase{"a 24-hour time",
                   kOneFile + u"Szabo         Exc  08-02-21 14:58" + kFolder,
                   true, u"Szabo"},
        StatusCase{"a 12-hour time",
                   kOneFile + u"Szabo         Exc   8/02/21  4:18p" + kFolder,
                   true, u"Szabo"},
        StatusCase{"a shared checkout, without Exc",
                   kOneFile + u"Szabo              08-02-21 14:58" + kFolder,
                   true, u"Szabo"},
        StatusCase{"a user cut at 13 characters by the client",
                   kOneFile + u"Christopherse Exc  08-02-21 14:58" + kFolder,
                   true, u"Christopherse"},
        StatusCase{"no date or time: the local folder's colon",
                   kOneFile + u"Szabo         Exc" + kFolder, true, u"Szabo"},
        StatusCase{
            "the line after a blank line",
            u"\n" + kOneFile + u"Szabo         Exc  08-02-21 14:58" + kFolder,
            true, u"Szabo"},
        StatusCase{"only the first line counts",
                   kOneFile + u"Szabo         Exc  08-02-21 14:58" + kFolder +
                       kNameColumn + u"Alice         Exc  08-02-21 14:58" +
                       kFolder,
                   true, u"Szabo"},
        StatusCase{"a prompt followed by text: a line of 20 bytes",
                   u"Username: Password: ", false, u""}));

// The window counts bytes of the default encoding, not characters: an accented
// file name takes more bytes in UTF-8 than in windows-1252.
struct EncodedCase {
  const char* label;
  const char* encoding;
  std::u16string clientOutput;
  std::u16string user;
};

void PrintTo(const EncodedCase& c, std::ostream* out) { *out << c.label; }

class EncodedStatusTest : public testing::TestWithParam<EncodedCase> {};

TEST_P(EncodedStatusTest, CountsBytesOfTheDefaultEncoding) {
  const EncodedCase& c = GetParam();
  const DefaultEncoding encoding(c.encoding);
  const Status status = ParseStatus(c.clientOutput);
  EXPECT_EQ(status.user, c.user);
  EXPECT_TRUE(status.isCheckedOut);
}

// "résumé.txt" is 10 characters: 10 bytes in windows-1252, 12 in UTF-8.
const std::u16string kTwentyCharacters = u"résumé.txt          ";
const std::u16string kTwentyUtf8Bytes = u"résumé.txt        ";

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodedStatusTest,
    testing::Values(
        EncodedCase{"windows-1252: one byte per accented letter",
                    "windows-1252",
                    kHeading + kTwentyCharacters + u"ABCDEFGHIJKLMN Exc\n",
                    u"ABCDEFGHIJKLMN"},
        EncodedCase{"UTF-8: the same text moves the window by two bytes",
                    "UTF-8",
                    kHeading + kTwentyCharacters + u"ABCDEFGHIJKLMN Exc\n",
                    u"ABCDEFGHIJKL"},
        EncodedCase{"UTF-8: a name column padded to 20 bytes", "UTF-8",
                    kHeading + kTwentyUtf8Bytes + u"Alice         Exc\n",
                    u"Alice"},
        EncodedCase{"windows-1252: an accented user name", "windows-1252",
                    kHeading + kNameColumn + u"Zoë           Exc\n", u"Zoë"},
        EncodedCase{"UTF-8: an accented user name", "UTF-8",
                    kHeading + kNameColumn + u"Zoë          Exc\n", u"Zoë"},
        EncodedCase{"windows-1252: one file's line, accented, no heading",
                    "windows-1252",
                    u"Résumé des tâches.t Zoë           Exc  "
                    u"08-03-04 11:05a  C:\\work\\docs\n",
                    u"Zoë"},
        EncodedCase{"UTF-8: a letter cut in two at the window's end", "UTF-8",
                    kHeading + kNameColumn + u"ABCDEFGHIJKLMë\n",
                    u"ABCDEFGHIJKLM\uFFFD"}));

}  // namespace
