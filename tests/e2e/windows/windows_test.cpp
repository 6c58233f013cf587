// What only a Windows host sees: the system's ANSI code page as the default
// encoding, a FILE named outside that code page, and a client output with
// CR LF line ends handed over on standard input by a redirection. Each
// answer must be the very bytes the example's document holds, as on Linux.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

fs::path Example(const std::string& name) {
  return fs::path(VSS_EXAMPLES_DIR) / name;
}

void ExpectAnswer(const HandlerRun& run, const std::string& example) {
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.standardOutput, ReadFile(Example(example + ".xml")));
  EXPECT_EQ(run.standardError, "");
}

// The checked-out user "Zoë" is written in windows-1252 and its byte window
// counts in that code page: without --encoding, the system's ANSI code page
// must be taken, as the client wrote in it.
TEST(WindowsHost, DefaultEncodingIsTheAnsiCodePage) {
  ExpectAnswer(
      RunHandler({"checkout", Example("checkout-accented.txt").string()}),
      "checkout-accented");
}

// True when `name` has characters that the system's ANSI code page lacks.
bool IsOutsideTheAnsiCodePage(const std::wstring& name) {
  BOOL lacking = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(),
                      static_cast<int>(name.size()), nullptr, 0, nullptr,
                      &lacking);
  return lacking != FALSE;
}

// The file opens only when its wide name reaches the system: no ANSI code
// page holds both the Greek letter with its accent and the Japanese one. Each
// of the name's letters is beyond ASCII, and a locale that is not UTF-8 would
// make Wine strip the high bit of each of their bytes, which leaves another
// valid name ("N8N5N,-h)&.txt"): the test runs in the UTF-8 locale that
// cmake/wine-run sets.
TEST(WindowsHost, FileNamedOutsideTheAnsiCodePageOpens) {
  const fs::path folder = fs::temp_directory_path() / "vss-handler-names";
  fs::create_directories(folder);
  const fs::path named = folder / fs::u8path(u8"\u03b8\u03b5\u03ac-\u8a66.txt");
  ASSERT_TRUE(IsOutsideTheAnsiCodePage(named.filename().wstring()));
  fs::copy_file(Example("diff-different.txt"), named,
                fs::copy_options::overwrite_existing);
  ExpectAnswer(
      RunHandler({"diff", "--encoding", "windows-1252", named.u8string()}),
      "diff-different");
  fs::remove_all(folder);
}

// cmd.exe's "< file" hands the bytes over as they are, CR LF included; the
// handler folds the line ends itself.
TEST(WindowsHost, CrLfClientOutputOnStandardInput) {
  const std::string listing = ReadFile(Example("children-listing.txt"));
  ASSERT_NE(listing.find("\r\n"), std::string::npos)
      << "the example must hold CR LF line ends";
  ExpectAnswer(RunHandlerOn(Example("children-listing.txt").string(),
                            {"children", "--encoding", "windows-1252"}),
               "children-listing");
}

}  // namespace

namespace {

// Without --encoding, --explain and --help name the ANSI code page as the
// encoding in force, not the locale's.
TEST(WindowsHost, ExplainAndHelpNameTheAnsiCodePage) {
  const HandlerRun explained = RunHandler(
      {"checkout", "--explain", Example("checkout-accented.txt").string()});
  EXPECT_NE(explained.standardError.find(
                ", decoded as windows-1252 (the ANSI code page): "),
            std::string::npos)
      << explained.standardError;
  EXPECT_NE(RunHandler({"--help"})
                .standardOutput.find(
                    "Default here: windows-1252 (the ANSI code page).\n"),
            std::string::npos);
}

}  // namespace
