// Standard streams and FILEs that a host may hand over badly, run the same on
// Linux and on Windows: a standard output that is closed, the null device, a
// file opened for appending or a pipe whose reader has gone; a standard input
// that is closed or the null device; a FILE that is a folder, a device name
// that Windows reserves, a path longer than 260 characters, or of over 4 GiB.
// Each case states the documented answer; HandlerProcess sets the streams up
// the way each system does.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

// The FILE a case names.
enum class Client {
  kExample,        // the example client output, diff-different.txt
  kStandardInput,  // none: the client output is standard input
  kFolder,         // a folder
  kFolderEntry,    // Case::file inside a folder
  kLongPath,       // the example, copied to a path of over 260 characters
  kHugeFile,       // a file of 4 GiB and one byte, without a byte on disk
  kName,           // Case::file as it stands
};

struct Case {
  const char* name;
  StandardInput input;
  StandardOutput output;
  Client client;
  const char* file;  // Client::kName, kFolderEntry
  int exitStatus;
  // What standard output holds afterwards: the document of this example
  // (preceded, when appending, by what the file held before), "unreadable"
  // for the document saying the client output cannot be read, "too large"
  // for the one saying it is too large, or nullptr
  // when the output goes nowhere the test can read back.
  const char* document;
  // For "unreadable": the system's reason in it, or nullptr where it differs
  // from one system to the other.
  const char* reason;
};

const char kUnreadable[] = "unreadable";
const char kTooLarge[] = "too large";

const Case kCases[] = {
    // The answer is lost; no result reached the host, so the exit status is
    // 0, and nothing is said on standard error.
    {"OutputClosed", StandardInput::kNullDevice, StandardOutput::kClosed,
     Client::kExample, nullptr, 0, nullptr, nullptr},
    {"OutputToPipeWithoutReader", StandardInput::kNullDevice,
     StandardOutput::kPipeWithoutReader, Client::kExample, nullptr, 0, nullptr,
     nullptr},
    // The null device takes the whole answer: a result was written.
    {"OutputToNullDevice", StandardInput::kNullDevice,
     StandardOutput::kNullDevice, Client::kExample, nullptr, 1, nullptr,
     nullptr},
    // `>>`: the answer follows what the file held; nothing of that is lost.
    {"OutputAppendedToFile", StandardInput::kNullDevice,
     StandardOutput::kAppendedToFile, Client::kExample, nullptr, 1,
     "diff-different", nullptr},
    // No standard input at all cannot be read: that is a failure, not an
    // empty client output.
    {"InputClosed", StandardInput::kClosed, StandardOutput::kCaptured,
     Client::kStandardInput, nullptr, 0, kUnreadable, "Bad file descriptor"},
    // The null device is an empty client output: a comparison that says
    // neither sentence.
    {"InputFromNullDevice", StandardInput::kNullDevice,
     StandardOutput::kCaptured, Client::kStandardInput, nullptr, 0,
     "diff-unrecognised", nullptr},
    {"FileIsFolder", StandardInput::kNullDevice, StandardOutput::kCaptured,
     Client::kFolder, nullptr, 0, kUnreadable, "Is a directory"},
    // A name that Windows reserves for a device is never read as a client
    // output there (the console would wait for a person to type): on Windows
    // it is a device, not a file; elsewhere, a file that does not exist.
    {"FileNamedCon", StandardInput::kNullDevice, StandardOutput::kCaptured,
     Client::kName, "CON", 0, kUnreadable, nullptr},
    {"FileNamedNul", StandardInput::kNullDevice, StandardOutput::kCaptured,
     Client::kName, "NUL", 0, kUnreadable, nullptr},
    {"FileNamedAux", StandardInput::kNullDevice, StandardOutput::kCaptured,
     Client::kName, "AUX", 0, kUnreadable, nullptr},
    {"FileNamedCom1", StandardInput::kNullDevice, StandardOutput::kCaptured,
     Client::kName, "COM1", 0, kUnreadable, nullptr},
    {"FileNamedConInAFolder", StandardInput::kNullDevice,
     StandardOutput::kCaptured, Client::kFolderEntry, "CON", 0, kUnreadable,
     nullptr},
    // A long path is read like any other.
    {"FilePathOver260Characters", StandardInput::kNullDevice,
     StandardOutput::kCaptured, Client::kLongPath, nullptr, 1, "diff-different",
     nullptr},
    // Too large by its size alone, whose low 32 bits say one byte: a 32-bit
    // build must not take it for a small file.
    {"FileOver4GiB", StandardInput::kNullDevice, StandardOutput::kCaptured,
     Client::kHugeFile, nullptr, 0, kTooLarge, nullptr},
};

const char kDeclaration[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";
const char kTextBefore[] = "an earlier answer\n";

fs::path Example(const std::string& name) {
  return fs::path(VSS_EXAMPLES_DIR) / name;
}

// A folder of the case's own, empty at the start and gone at the end.
class Scratch {
 public:
  explicit Scratch(const std::string& name)
      : dir_(fs::temp_directory_path() / ("vss-hostile-streams-" + name)) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

// The example's client output copied below `dir`, to a path of over 260
// characters. The folders' own paths stay under 248 characters, Windows'
// limit for a folder without the extended-length prefix: the C++ library
// makes deeper ones under Wine, but cannot remove them.
fs::path LongPathCopy(const fs::path& dir) {
  const fs::path folder =
      dir / std::string(50, 'a') / std::string(50, 'b') / std::string(50, 'c');
  fs::create_directories(folder);
  const fs::path copy =
      folder / ("diff-different-" + std::string(100, 'x') + ".txt");
  fs::copy_file(Example("diff-different.txt"), copy);
  return copy;
}

// The FILE argument of `c`, made in `dir`; empty for standard input.
std::string FileArgument(const Case& c, const fs::path& dir) {
  switch (c.client) {
    case Client::kExample:
      return Example("diff-different.txt").u8string();
    case Client::kStandardInput:
      return std::string();
    case Client::kFolder:
      return dir.u8string();
    case Client::kFolderEntry:
      return (dir / c.file).u8string();
    case Client::kLongPath:
      return LongPathCopy(dir).u8string();
    case Client::kHugeFile: {
      const fs::path huge = dir / "huge.txt";
      std::ofstream(huge, std::ios::binary) << "x";
      fs::resize_file(huge, (std::uintmax_t{1} << 32) + 1);
      return huge.u8string();
    }
    case Client::kName:
      return c.file;
  }
  return std::string();
}

class HostileStreams : public testing::TestWithParam<Case> {};

TEST_P(HostileStreams, AnswerAsDocumented) {
  const Case& c = GetParam();
  const Scratch scratch(c.name);
  std::vector<std::string> arguments = {"diff", "--encoding", "windows-1252"};
  const std::string file = FileArgument(c, scratch.dir());
  if (c.client == Client::kLongPath) {
    ASSERT_GT(file.size(), 260u);
  }
  if (!file.empty()) arguments.push_back(file);
  StandardStreams streams;
  streams.input = c.input;
  streams.output = c.output;
  if (c.output == StandardOutput::kAppendedToFile) {
    streams.outputFile = (scratch.dir() / "answers.xml").u8string();
    std::ofstream(fs::u8path(streams.outputFile), std::ios::binary)
        << kTextBefore;
  }

  const HandlerRun run = RunHandlerWith(streams, arguments);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, c.exitStatus);
  EXPECT_EQ(run.standardError, "");
  if (c.document == nullptr) return;
  if (c.document == std::string(kTooLarge)) {
    EXPECT_EQ(run.standardOutput,
              kDeclaration +
                  std::string("<error code=\"0x56170003\">The client output "
                              "is too large: '") +
                  file + "' holds more than 1073741824 bytes</error>\n");
    return;
  }
  if (c.document != std::string(kUnreadable)) {
    const std::string before =
        c.output == StandardOutput::kAppendedToFile ? kTextBefore : "";
    EXPECT_EQ(run.standardOutput,
              before + ReadFile(Example(std::string(c.document) + ".xml")));
    return;
  }
  const std::string start =
      kDeclaration +
      std::string(
          "<error code=\"0x56170002\">The client output cannot be "
          "read: ") +
      (file.empty() ? "standard input" : "'" + file + "'") + ": ";
  const std::string end = "</error>\n";
  if (c.reason != nullptr) {
    EXPECT_EQ(run.standardOutput, start + c.reason + end);
    return;
  }
  // Some reason, whichever the system gives.
  const std::string& output = run.standardOutput;
  ASSERT_GT(output.size(), start.size() + end.size()) << output;
  EXPECT_EQ(output.substr(0, start.size()), start);
  EXPECT_EQ(output.substr(output.size() - end.size()), end);
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileStreams, testing::ValuesIn(kCases),
                         CaseName);

}  // namespace
