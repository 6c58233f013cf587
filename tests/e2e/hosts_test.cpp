// Runs the host examples in examples/hosts, the README's calling recipes, on
// every example in examples/: each host must get the very bytes of NAME.xml
// and the handler's exit status, and tell a result (status 1) from an error
// and from no query (status 0, with and without a document). On Windows the
// CreateProcessW host (windows_host.cpp) and the cmd.exe batch file
// (query.bat), under Wine; elsewhere the posix_spawn host (posix_host.c).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct HostCase {
  std::string name;
  std::vector<std::string> arguments;  // the handler's
  std::string document;                // what the handler prints
  std::string answer;  // what the host makes of it, as it reports it
};

std::vector<HostCase> Cases() {
  std::vector<HostCase> cases;
  for (const std::string& name : ExampleNames()) {
    const ExampleFiles files = ExampleFiles::Named(name);
    HostCase example{name, files.Arguments(), files.Document(), ""};
    XmlElement root;
    std::string error;
    if (ParseXml(example.document, root, error)) example.answer = root.name;
    cases.push_back(example);
  }
  // An identifier that selects no query: exit status 0 as after a failure,
  // but nothing printed.
  cases.push_back(
      {"no_query",
       {"7",
        ExampleFiles::Named(ExampleNames().front()).ClientOutput().string()},
       "",
       "no query"});
  return cases;
}

std::string CaseName(const testing::TestParamInfo<HostCase>& info) {
  return TestIdentifier(info.param.name);
}

// For gtest's messages.
void PrintTo(const HostCase& host, std::ostream* out) { *out << host.name; }

// What a host passed on: the document it got, the line it reported, and the
// exit status it got (-1 where the host does not pass it on).
struct HostRun {
  std::string document;
  std::string report;
  int exitStatus;
};

// `text` without the end of its last line: on Windows, a text-mode stream
// and cmd.exe's echo end a line with CR LF.
std::string Line(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

void ExpectAnswer(const HostRun& run, const HostCase& expected) {
  ASSERT_NE(expected.answer, "") << expected.name << ".xml is not well-formed";
  EXPECT_EQ(run.document, expected.document);
  EXPECT_EQ(Line(run.report), expected.answer);
  if (run.exitStatus != -1) {
    EXPECT_EQ(run.exitStatus, expected.answer == "result" ? 1 : 0);
  }
}

// A new folder named `name` and this process's id under the temporary
// folder: the builds of several worktrees may run their tests at once.
fs::path ScratchFolder(const std::string& name) {
#ifdef _WIN32
  const unsigned long id = GetCurrentProcessId();
#else
  const unsigned long id = static_cast<unsigned long>(getpid());
#endif
  const fs::path folder =
      fs::temp_directory_path() / (name + " " + std::to_string(id));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// Runs a host program that takes the handler's path, then its arguments.
HostRun RunHost(const std::string& host, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VSS_HANDLER_BINARY);
  const HandlerRun run = RunProgram(host, arguments);
  return {run.standardOutput, run.standardError, run.exitStatus};
}

// A listing whose document is far larger than any pipe's buffer: a host that
// waited before reading would wait for ever.
fs::path LargeListing(const fs::path& folder) {
  const fs::path file = folder / "large-listing.txt";
  std::ofstream out(file, std::ios::binary);
  out << "$/proj:\r\n";
  const int count = 40000;
  for (int i = 0; i < count; ++i) out << "file" << i << ".c\r\n";
  out << "\r\n" << count << " item(s)\r\n";
  return file;
}

// The host program: windows_host on Windows, posix_host elsewhere.
class HostProgram : public testing::TestWithParam<HostCase> {};

TEST_P(HostProgram, GetsTheDocumentAndTheExitStatus) {
  ExpectAnswer(RunHost(VSS_HOST_PROGRAM, GetParam().arguments), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Examples, HostProgram, testing::ValuesIn(Cases()),
                         CaseName);

TEST(HostProgramLargeAnswer, IsReadWhole) {
  const fs::path folder = ScratchFolder("vss-handler large answer");
  const fs::path file = LargeListing(folder);
  const std::vector<std::string> arguments = {"children", "--encoding",
                                              "windows-1252", file.string()};
  const HandlerRun direct = RunHandler(arguments);
  ASSERT_EQ(direct.exitStatus, 1);
  ASSERT_GT(direct.standardOutput.size(), 1u << 20);
  const HostRun run = RunHost(VSS_HOST_PROGRAM, arguments);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(Line(run.report), "result");
  EXPECT_TRUE(run.document == direct.standardOutput)
      << "the host got " << run.document.size() << " bytes of "
      << direct.standardOutput.size();
  fs::remove_all(folder);
}

#ifdef _WIN32

// query.bat runs vss-handler.exe from the PATH and leaves answer.xml in the
// current folder: a folder of the test's own, with the handler's folder first
// on the PATH, as an installation puts it there (unless `handlerOnPath` is
// false).
HostRun RunQueryBat(const std::vector<std::string>& arguments,
                    bool handlerOnPath = true) {
  const fs::path folder = ScratchFolder("vss-handler query.bat");
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  std::vector<wchar_t> buffer(32767);
  buffer.resize(GetEnvironmentVariableW(L"PATH", buffer.data(),
                                        static_cast<DWORD>(buffer.size())));
  const std::wstring path(buffer.begin(), buffer.end());
  if (handlerOnPath) {
    const fs::path handler = fs::absolute(fs::u8path(VSS_HANDLER_BINARY));
    SetEnvironmentVariableW(
        L"PATH", (handler.parent_path().wstring() + L";" + path).c_str());
  }
  const HandlerRun run =
      RunBatchFile(VSS_EXAMPLES_DIR "/hosts/query.bat", arguments);
  SetEnvironmentVariableW(L"PATH", path.c_str());
  fs::current_path(before);
  HostRun host{ReadFile(folder / "answer.xml"), run.standardOutput, -1};
  fs::remove_all(folder);
  return host;
}

class QueryBat : public testing::TestWithParam<HostCase> {};

TEST_P(QueryBat, LeavesTheDocumentAndTellsTheAnswer) {
  ExpectAnswer(RunQueryBat(GetParam().arguments), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Examples, QueryBat, testing::ValuesIn(Cases()),
                         CaseName);

// cmd.exe sets status 9009 when it finds no vss-handler.exe: a batch file
// that read "if errorlevel 1" would take that for a result.
TEST(QueryBatWithoutTheHandler, SaysItDidNotAnswer) {
  const HostRun run = RunQueryBat(
      ExampleFiles::Named(ExampleNames().front()).Arguments(), false);
  EXPECT_EQ(Line(run.report), "vss-handler.exe did not answer: status 9009");
}

// A FILE whose name and folder hold blanks reaches the handler whole through
// both recipes' quoting: the host's own and cmd.exe's %*.
TEST(WindowsRecipes, PassAFileWithBlanksInItsName) {
  const std::string example = "checkout-accented";
  const fs::path folder = ScratchFolder("vss-handler blanks");
  const fs::path file = folder / "client output.txt";
  fs::copy_file(fs::path(VSS_EXAMPLES_DIR) / (example + ".txt"), file,
                fs::copy_options::overwrite_existing);
  std::vector<std::string> arguments = ExampleFiles::Named(example).Arguments();
  arguments.back() = file.u8string();
  const HostCase expected{example, arguments,
                          ExampleFiles::Named(example).Document(), "result"};
  ExpectAnswer(RunHost(VSS_HOST_PROGRAM, arguments), expected);
  ExpectAnswer(RunQueryBat(arguments), expected);
  fs::remove_all(folder);
}

#endif

}  // namespace
